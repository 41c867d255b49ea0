# The options every target of the project builds with, set on each target
# rather than for the whole tree, so that nothing reaches a target unseen:
# warnings, the sanitizers (BITLENS_SANITIZE) and Debian's hardening flags
# (dpkg-buildflags, so that the build the tests check is the one the package
# ships). Optimisation and debug information stay the build type's. Debug
# builds, at whose -O0 _FORTIFY_SOURCE does not work, and sanitizer builds
# go without hardening.
option(BITLENS_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(BITLENS_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)

set(BITLENS_COMPILE_OPTIONS -Wall -Wextra -Wpedantic)
set(BITLENS_LINK_OPTIONS)
if(BITLENS_SANITIZE)
  list(APPEND BITLENS_COMPILE_OPTIONS -fsanitize=address,undefined -fno-sanitize-recover=all
       -fno-omit-frame-pointer)
  list(APPEND BITLENS_LINK_OPTIONS -fsanitize=address,undefined)
endif()

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
      list(APPEND BITLENS_LINK_OPTIONS ${flags})
    else()
      list(APPEND BITLENS_COMPILE_OPTIONS ${flags})
    endif()
  endforeach()
endif()

function(bitlens_target_options target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
    return()
  endif()
  target_compile_options(${target} PRIVATE ${BITLENS_COMPILE_OPTIONS})
  if(NOT type STREQUAL "STATIC_LIBRARY" AND NOT type STREQUAL "OBJECT_LIBRARY")
    target_link_options(${target} PRIVATE ${BITLENS_LINK_OPTIONS})
  endif()
endfunction()

# Every target the calling folder makes, once the folder is read whole (a
# return() early in it included).
function(bitlens_folder_target_options)
  get_property(targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    bitlens_target_options(${target})
  endforeach()
endfunction()
macro(bitlens_options_for_this_folder)
  cmake_language(DEFER CALL bitlens_folder_target_options)
endmacro()
