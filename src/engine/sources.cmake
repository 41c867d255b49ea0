# The engine's sources, for the program's build and for the fuzz build,
# which compiles them again with coverage instrumentation.
set(BITLENS_ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BaseConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Notation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FloatNotation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Magnitude.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MathOperation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Message.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Expression.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReadingNote.cpp)
# Within a room its own headers go by name; a header of another room goes
# by the room's folder ("engine/BaseConverter.h"). Code outside the tree may
# still include "BaseConverter.h" as it stands.
set(BITLENS_ENGINE_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/..)
