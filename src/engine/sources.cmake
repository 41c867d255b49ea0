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
  ${CMAKE_CURRENT_LIST_DIR}/ReadingNote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideInteger.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideNotation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WideFloat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BigNumber.cpp)
# Within a room its own headers go by name; from anywhere else a header goes
# by its room's folder ("engine/Notation.h"), so that every include that
# crosses rooms names the room. BaseConverter.h alone is also reached by its
# bare name, as code outside the tree includes it.
set(BITLENS_ENGINE_FORWARDING_DIR ${CMAKE_BINARY_DIR}/forwarding/engine)
file(CONFIGURE OUTPUT ${BITLENS_ENGINE_FORWARDING_DIR}/BaseConverter.h
     CONTENT "#include \"engine/BaseConverter.h\"\n")
set(BITLENS_ENGINE_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ${BITLENS_ENGINE_FORWARDING_DIR})
