# Installs the desktop entry, run by cmake --install (see Install.cmake).
# Outside the system's own prefix the entry names the program by its full
# path: GLib drops an entry whose Exec is not on the session's PATH, and the
# desktop's search with it. Takes BITLENS_DESKTOP_SOURCE, BITLENS_DESKTOP_STAGE,
# BITLENS_BINDIR and BITLENS_DATADIR (relative to the prefix) from the install
# code before it.
set(exec bitlens)
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(path "${CMAKE_INSTALL_PREFIX}/${BITLENS_BINDIR}/bitlens")
  if(path MATCHES "[\n\r]")
    message(FATAL_ERROR "a desktop entry cannot name ${path}: it holds a line break")
  endif()
  # The entry's rules: a path with a reserved character is quoted, and
  # within the quotes " ` $ \ are escaped; then the value's own escapes
  # double every backslash, and a % is a field code unless doubled.
  set(exec "${path}")
  if(path MATCHES "[ \t\"'\\><~|&;$*?#()`]")
    string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" exec "${path}")
    set(exec "\"${exec}\"")
  endif()
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "%" "%%" exec "${exec}")
endif()
file(READ "${BITLENS_DESKTOP_SOURCE}" entry)
string(REPLACE "\nExec=bitlens" "\nExec=${exec}" entry "${entry}")
get_filename_component(name "${BITLENS_DESKTOP_SOURCE}" NAME)
file(WRITE "${BITLENS_DESKTOP_STAGE}/${name}" "${entry}")
file(INSTALL "${BITLENS_DESKTOP_STAGE}/${name}"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/${BITLENS_DATADIR}/applications")
