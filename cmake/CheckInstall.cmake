# Installs the build into a scratch root as a distribution would (prefix
# ROOT/usr), then checks that every file landed where desktops look for it and
# that the installed metadata still points at the installed desktop entry.
file(REMOVE_RECURSE ${ROOT})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${ROOT}/usr
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} failed (exit ${status})")
endif()

set(expected
    share/applications/${APP_ID}.desktop
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/metainfo/${APP_ID}.metainfo.xml
    share/man/man1/bitlens.1)
if(EXPECT_BINARY)
  list(APPEND expected bin/bitlens)
else()
  message(STATUS "no bitlens target in this build: the program itself is not checked")
endif()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${ROOT}/usr/${path})
    list(APPEND missing ${path})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed under ${ROOT}/usr: ${missing}")
endif()

find_program(APPSTREAMCLI appstreamcli REQUIRED)
execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${ROOT}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate-tree ${ROOT}:\n${report}")
endif()
