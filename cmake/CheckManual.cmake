# Renders the manual page with every groff warning on; any diagnostic fails,
# since man shows a broken page without complaint.
find_program(GROFF groff REQUIRED)
execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z ${MANUAL}
                RESULT_VARIABLE status ERROR_VARIABLE diagnostics)
if(NOT status EQUAL 0 OR NOT diagnostics STREQUAL "")
  message(FATAL_ERROR "groff on ${MANUAL} (exit ${status}):\n${diagnostics}")
endif()
