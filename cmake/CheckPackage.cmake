# Makes the Debian package of the build in BUILD_DIR into OUTPUT, then runs
# lintian on it at the pedantic level: an error, a warning or a pedantic
# tag fails, since each is a policy point the package misses.
file(GLOB old_packages ${OUTPUT}/*.deb)
if(old_packages)
  file(REMOVE ${old_packages})
endif()
execute_process(COMMAND ${CPACK} -G DEB -B ${OUTPUT} --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
file(GLOB packages ${OUTPUT}/*.deb)
list(LENGTH packages count)
if(NOT status EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack in ${BUILD_DIR} (exit ${status}):\n${report}")
endif()

execute_process(COMMAND ${LINTIAN} --pedantic ${packages}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
string(REGEX MATCHALL "(^|\n)[EWP]: [^\n]*" tags "${report}")
if(NOT status EQUAL 0 OR tags)
  message(FATAL_ERROR "lintian --pedantic ${packages} (exit ${status}):\n${report}")
endif()
message(STATUS "${packages}: lintian --pedantic finds nothing")
