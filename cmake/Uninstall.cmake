# Removes what `cmake --install BUILD_DIR --prefix PREFIX` puts in place. The
# list comes from installing once more into a scratch folder, not from the
# build's install manifest, which the last install of any prefix rewrote.
# Usage: cmake -DBUILD_DIR=build -DPREFIX=/usr/local -P cmake/Uninstall.cmake
get_filename_component(prefix ${PREFIX} ABSOLUTE)
set(stage ${BUILD_DIR}/uninstall-stage)
file(REMOVE_RECURSE ${stage})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${stage}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} into ${stage} failed (exit ${status})")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
file(REMOVE_RECURSE ${stage})
foreach(file IN LISTS installed)
  if(EXISTS /${file} OR IS_SYMLINK /${file})
    file(REMOVE /${file})
    message(STATUS "removed /${file}")
  endif()
endforeach()
# The folder that holds nothing but Bitlens's own files.
file(GLOB left ${prefix}/share/doc/bitlens/*)
if(NOT left AND IS_DIRECTORY ${prefix}/share/doc/bitlens)
  file(REMOVE ${prefix}/share/doc/bitlens)
endif()
