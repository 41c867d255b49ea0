# What Bitlens reads and writes, for the program's build and the fuzz build.
set(BITLENS_FILES_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BitlensLayoutFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CHeaderFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CHeaderFileDefines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Json5.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutFileTypes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LayoutStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SvdFields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SvdFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SvdImport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SvdNumbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SvdOutline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SvdScan.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WavedromFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowStateStore.cpp)
# Its headers go by the room\'s folder ("files/...") from outside it.
set(BITLENS_FILES_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
