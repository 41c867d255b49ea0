# Installation into a prefix, the desktop integration files and the Debian
# package. Included last from the root list, after every target exists.
include(GNUInstallDirs)

set(BITLENS_APP_ID io.github.bitlens.Bitlens)
set(bitlens_resources ${PROJECT_SOURCE_DIR}/resources)
set(bitlens_manual ${PROJECT_SOURCE_DIR}/docs/bitlens.1)

if(TARGET bitlens)
  install(TARGETS bitlens RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${bitlens_resources}/${BITLENS_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${bitlens_resources}/${BITLENS_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${bitlens_resources}/${BITLENS_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${bitlens_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian looks for a package's licence under this name; elsewhere it is harmless.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/bitlens
        RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME bitlens)
set(CPACK_PACKAGE_VENDOR "The Bitlens developers")
set(CPACK_PACKAGE_CONTACT "The Bitlens developers <bitlens@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer's number converter")
set(CPACK_PACKAGE_DESCRIPTION [[
Bitlens shows one integer of up to 64 bits in eight notations at once:
binary, decimal, hexadecimal, octal, base 36, text, IPv4 address and a
packed version number. Typing into any field rewrites the others as you
type. Widths of 8 to 64 bits, signed or unsigned, either byte order, bit
shifts and a math area; bitlens --print converts on the command line.]])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The build keeps its debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries the program links decide its dependencies (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its display plugins at run time, out of dpkg-shlibdeps' sight, and
# without one no window opens; Debian only recommends them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
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
           COMMAND appstreamcli validate --no-net
                   ${bitlens_resources}/${BITLENS_APP_ID}.metainfo.xml)

  add_test(NAME manual_renders_cleanly
           COMMAND ${CMAKE_COMMAND} -DMANUAL=${bitlens_manual}
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckManual.cmake)

  add_test(NAME documents_carry_project_version
           COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DMANUAL=${bitlens_manual}
                   -DMETAINFO=${bitlens_resources}/${BITLENS_APP_ID}.metainfo.xml
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckVersions.cmake)

  if(TARGET bitlens)
    set(bitlens_expect_binary ON)
  else()
    set(bitlens_expect_binary OFF)
  endif()
  add_test(NAME install_puts_files_in_place
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR}
                   -DROOT=${PROJECT_BINARY_DIR}/install-check -DAPP_ID=${BITLENS_APP_ID}
                   -DEXPECT_BINARY=${bitlens_expect_binary}
                   -P ${CMAKE_CURRENT_LIST_DIR}/CheckInstall.cmake)
endif()
