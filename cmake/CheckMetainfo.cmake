# Validates the AppStream metadata at the pedantic level. The one pedantic
# note let through is the capital letter in the component id: the desktop
# entry's file name and the Wayland app id share the id and keep it.
find_program(APPSTREAMCLI appstreamcli REQUIRED)
execute_process(COMMAND ${APPSTREAMCLI} validate --pedantic --no-net ${METAINFO}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
string(REGEX MATCHALL "(^|\n)[EWIP]: [^\n]*" issues "${report}")
list(FILTER issues EXCLUDE REGEX "P: [^ ]+ cid-contains-uppercase-letter")
if(NOT status EQUAL 0 OR issues)
  message(FATAL_ERROR "appstreamcli validate --pedantic ${METAINFO}:\n${report}")
endif()
