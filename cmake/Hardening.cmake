# Debian's hardening flags (dpkg-buildflags), so that the build the tests
# check is the one the package ships. Optimisation and debug information
# stay the build type's. Debug builds, at whose -O0 _FORTIFY_SOURCE does not
# work, and sanitizer builds go without.
option(BITLENS_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
string(TOUPPER "${CMAKE_BUILD_TYPE}" bitlens_build_type)
if(BITLENS_HARDENING AND DPKG_BUILDFLAGS AND NOT BITLENS_SANITIZE
   AND NOT bitlens_build_type STREQUAL "DEBUG")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              "DEB_CXXFLAGS_MAINT_STRIP=-g -O2" ${DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
  endforeach()
endif()
