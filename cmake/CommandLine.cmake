# The command line (bitlens --print): a library main calls, and its tests.
# Included from the root CMakeLists.txt after the window's targets.

if(NOT TARGET Qt6::Core)
  find_package(Qt6 REQUIRED COMPONENTS Core Test)
elseif(NOT TARGET Qt6::Test)
  find_package(Qt6 REQUIRED COMPONENTS Test)
endif()

add_library(bitlens_cli STATIC ${PROJECT_SOURCE_DIR}/src/CommandLine.cpp)
target_compile_definitions(bitlens_cli PRIVATE BITLENS_VERSION="${PROJECT_VERSION}")
target_link_libraries(bitlens_cli PUBLIC bitlens_engine Qt6::Core)
# Field text conversion belongs to the window's library once it exists;
# until then the command line builds it itself.
if(TARGET bitlens_document)
  target_link_libraries(bitlens_cli PUBLIC bitlens_document)
else()
  target_sources(bitlens_cli PRIVATE ${PROJECT_SOURCE_DIR}/src/FieldText.cpp)
endif()

if(TARGET bitlens)
  target_link_libraries(bitlens PRIVATE bitlens_cli)
endif()

if(BUILD_TESTING)
  add_executable(command_line_tests ${PROJECT_SOURCE_DIR}/tests/CommandLineTest.cpp)
  set_target_properties(command_line_tests PROPERTIES AUTOMOC ON)
  target_link_libraries(command_line_tests PRIVATE bitlens_cli Qt6::Test)
  target_compile_definitions(command_line_tests PRIVATE BITLENS_VERSION="${PROJECT_VERSION}")
  add_test(NAME command_line_tests COMMAND command_line_tests)
endif()
