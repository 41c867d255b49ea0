# Installs the build into a scratch root as a distribution would (prefix
# ROOT/usr), then checks that every file landed where desktops look for it and
# that the installed metadata still points at the installed desktop entry;
# then uninstalls it and checks that nothing is left. First, staged for the
# system's own prefix, the desktop entry names the program as the PATH has it.
file(REMOVE_RECURSE ${ROOT})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${ROOT}/staged
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET)
file(STRINGS ${ROOT}/staged/usr/share/applications/${APP_ID}.desktop exec REGEX "^Exec=")
if(NOT status EQUAL 0 OR NOT exec STREQUAL "Exec=bitlens;Exec=bitlens --new-window")
  message(FATAL_ERROR "installed for /usr (exit ${status}), the desktop entry says '${exec}'")
endif()
file(REMOVE_RECURSE ${ROOT})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${ROOT}/usr
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD_DIR} failed (exit ${status})")
endif()

set(expected
    share/applications/${APP_ID}.desktop
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/icons/hicolor/48x48/apps/${APP_ID}.png
    share/metainfo/${APP_ID}.metainfo.xml
    share/dbus-1/services/${APP_ID}.service
    share/gnome-shell/search-providers/${APP_ID}.search-provider.ini
    share/krunner/dbusplugins/${APP_ID}.desktop
    share/man/man1/bitlens.1.gz
    share/doc/bitlens/changelog.gz
    share/doc/bitlens/copyright)
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

# The bus starts the program the service file names: the installed one.
file(STRINGS ${ROOT}/usr/share/dbus-1/services/${APP_ID}.service exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${ROOT}/usr/bin/bitlens --search-service")
  message(FATAL_ERROR "the bus service file says '${exec}', not the installed program")
endif()

# Elsewhere the desktop entry names it by its full path, which need not be
# on the session's PATH, and is still a valid entry.
set(entry ${ROOT}/usr/share/applications/${APP_ID}.desktop)
file(STRINGS ${entry} exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${ROOT}/usr/bin/bitlens;Exec=${ROOT}/usr/bin/bitlens --new-window")
  message(FATAL_ERROR "the desktop entry says '${exec}', not the installed program")
endif()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${entry}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0 OR report MATCHES "error|warning|hint")
  message(FATAL_ERROR "desktop-file-validate ${entry}:\n${report}")
endif()

find_program(APPSTREAMCLI appstreamcli REQUIRED)
execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${ROOT}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate-tree ${ROOT}:\n${report}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${BUILD_DIR} -DPREFIX=${ROOT}/usr
                        -P ${CMAKE_CURRENT_LIST_DIR}/Uninstall.cmake
                RESULT_VARIABLE status OUTPUT_QUIET)
file(GLOB_RECURSE left LIST_DIRECTORIES false ${ROOT}/*)
if(NOT status EQUAL 0 OR left)
  message(FATAL_ERROR "uninstalling from ${ROOT}/usr (exit ${status}) left: ${left}")
endif()
