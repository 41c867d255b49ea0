# The single-instance hand-over channel: Qt Core and Network only, no widgets.
find_package(Qt6 REQUIRED COMPONENTS Core Network Test)

add_library(bitlens_instance STATIC
  ${PROJECT_SOURCE_DIR}/src/SingleInstance.cpp
  ${PROJECT_SOURCE_DIR}/src/SingleInstance.h)
set_target_properties(bitlens_instance PROPERTIES AUTOMOC ON)
target_include_directories(bitlens_instance PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(bitlens_instance PUBLIC Qt6::Core Qt6::Network)

if(BUILD_TESTING)
  add_executable(instance_tests ${PROJECT_SOURCE_DIR}/tests/SingleInstanceTest.cpp)
  set_target_properties(instance_tests PROPERTIES AUTOMOC ON)
  target_link_libraries(instance_tests PRIVATE bitlens_instance Qt6::Test)
  add_test(NAME instance_tests COMMAND instance_tests)
  set_tests_properties(instance_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()
