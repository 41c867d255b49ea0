# The model's sources, for the program's build and for the fuzz build.
set(BITLENS_MODEL_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BitFieldLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConverterModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConverterModelLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FieldBytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FieldReading.cpp
  ${CMAKE_CURRENT_LIST_DIR}/History.cpp)
# Its headers go by the room\'s folder ("model/...") from outside it.
set(BITLENS_MODEL_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/..)
