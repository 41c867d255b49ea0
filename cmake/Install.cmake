# Installation into a prefix, the desktop integration files and the Debian
# package. Included last from the root list, after every target exists.
include(GNUInstallDirs)

set(BITLENS_APP_ID io.github.bitlens.Bitlens)
set(BITLENS_HOMEPAGE https://github.com/bitlens/bitlens)
set(BITLENS_MAINTAINER "The Bitlens developers <bitlens@users.noreply.github.com>")
set(bitlens_resources ${PROJECT_SOURCE_DIR}/resources)
set(bitlens_manual ${PROJECT_SOURCE_DIR}/docs/bitlens.1)
set(bitlens_changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)

if(TARGET bitlens)
  install(TARGETS bitlens RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The desktop entry names the program as the prefix needs, which only the
# install knows (--prefix, DESTDIR): it is written then.
install(CODE "
  set(BITLENS_DESKTOP_SOURCE \"${bitlens_resources}/${BITLENS_APP_ID}.desktop\")
  set(BITLENS_DESKTOP_STAGE \"${PROJECT_BINARY_DIR}/applications\")
  set(BITLENS_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(BITLENS_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallDesktopEntry.cmake)
install(FILES ${bitlens_resources}/${BITLENS_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Rendered sizes too, for the toolkits and themes that draw no SVG.
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${bitlens_resources}/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${BITLENS_APP_ID}.png)
endforeach()
install(FILES ${bitlens_resources}/${BITLENS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The desktop's search: the bus starts `bitlens --search-service` from the
# service file, GNOME Shell finds the provider by its .ini and KRunner by
# its plugin entry. The service file names the program by its full path,
# which only the install knows (--prefix, DESTDIR): it is written then.
install(FILES ${bitlens_resources}/${BITLENS_APP_ID}.search-provider.ini
        DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/search-providers)
install(FILES ${bitlens_resources}/${BITLENS_APP_ID}.krunner.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/krunner/dbusplugins RENAME ${BITLENS_APP_ID}.desktop)
install(CODE "
  set(BITLENS_EXEC \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/bitlens\")
  configure_file(\"${bitlens_resources}/${BITLENS_APP_ID}.service.in\"
                 \"${PROJECT_BINARY_DIR}/dbus/${BITLENS_APP_ID}.service\" @ONLY)
  file(INSTALL \"${PROJECT_BINARY_DIR}/dbus/${BITLENS_APP_ID}.service\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/dbus-1/services\")
")

# The manual page and the change log compressed as Debian has them, without
# a time stamp, so that the same tree gives the same files; man reads either.
set(bitlens_compressed)
foreach(source ${bitlens_manual} ${bitlens_changelog})
  get_filename_component(name ${source} NAME)
  set(compressed ${PROJECT_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/compressed
                     COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${source} ${compressed}
                     DEPENDS ${source} VERBATIM)
  list(APPEND bitlens_compressed ${compressed})
endforeach()
add_custom_target(bitlens_compressed_documents ALL DEPENDS ${bitlens_compressed})
install(FILES ${PROJECT_BINARY_DIR}/compressed/bitlens.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_BINARY_DIR}/compressed/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/bitlens)
# The licence in Debian's machine-readable form, under the name Debian looks for.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/bitlens)

set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME bitlens)
set(CPACK_PACKAGE_VENDOR "The Bitlens developers")
set(CPACK_PACKAGE_CONTACT "${BITLENS_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer's number converter")
set(CPACK_PACKAGE_DESCRIPTION [[
Bitlens shows one integer of up to 64 bits in nine notations at once:
binary, decimal, hexadecimal, octal, base 36, text, IPv4 address, a packed
version number and an IEEE-754 float, and as a grid of its bits. Typing
into any field rewrites the others as you type, and the fields take C
expressions. Bit fields name the parts of a register, with layouts from
wavedrom-style JSON, CMSIS-SVD files and C headers. Widths of 8 to 64
bits, signed or unsigned, either byte order, and a math area with status
flags; bitlens --print converts on the command line.]])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The build keeps its debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BITLENS_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${BITLENS_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries the program links decide its dependencies (dpkg-shlibdeps);
# the X11 display plugin comes with them. Wayland's plugin and the
# toolkit's own translations are packages of their own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A source archive carries the tree as checked in, not anyone's build folders.
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/" "\\.deb$")
include(CPack)

if(BUILD_TESTING)
  add_test(NAME desktop_entry_is_valid
           COMMAND desktop-file-validate ${bitlens_resources}/${BITLENS_APP_ID}.desktop)
  # Warnings and hints, not only errors: they name keys that menus ignore or
  # will drop, and an entry that menus list twice.
  set_tests_properties(desktop_entry_is_valid PROPERTIES FAIL_REGULAR_EXPRESSION "error:|warning:|hint:")

  add_test(NAME metainfo_is_valid
           COMMAND ${CMAKE_COMMAND} -DMETAINFO=${bitlens_resources}/${BITLENS_APP_ID}.metainfo.xml
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckMetainfo.cmake)

  add_test(NAME manual_renders_cleanly
           COMMAND ${CMAKE_COMMAND} -DMANUAL=${bitlens_manual}
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckManual.cmake)

  add_test(NAME documents_carry_project_version
           COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DMANUAL=${bitlens_manual}
                   -DMETAINFO=${bitlens_resources}/${BITLENS_APP_ID}.metainfo.xml
                   -DCHANGELOG=${bitlens_changelog}
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckVersions.cmake)

  if(TARGET bitlens)
    set(bitlens_expect_binary ON)
  else()
    set(bitlens_expect_binary OFF)
  endif()
  add_test(NAME install_and_uninstall_put_files_in_place
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                   -DROOT=${PROJECT_BINARY_DIR}/install-check -DAPP_ID=${BITLENS_APP_ID}
                   -DEXPECT_BINARY=${bitlens_expect_binary}
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckInstall.cmake)
  # Installing writes the build's install manifest: one at a time.
  set_tests_properties(install_and_uninstall_put_files_in_place PROPERTIES RESOURCE_LOCK install)

  # Debian's policy checker on the package, at its pedantic level.
  find_program(LINTIAN lintian REQUIRED)
  if(TARGET bitlens)
    add_test(NAME package_passes_lintian
             COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                     -DOUTPUT=${PROJECT_BINARY_DIR}/package-check -DCPACK=${CMAKE_CPACK_COMMAND}
                     -DLINTIAN=${LINTIAN}
                     -P ${CMAKE_CURRENT_LIST_DIR}/CheckPackage.cmake)
    set_tests_properties(package_passes_lintian PROPERTIES RESOURCE_LOCK install TIMEOUT 600)
  endif()
endif()
