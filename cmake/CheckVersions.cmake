# The manual's title line, the newest release in the metadata and the newest
# change log entry must name the version the build carries, or a release
# ships stale documents.
function(expect_version file text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${file}: ${what} names no version")
  endif()
  if(NOT "${CMAKE_MATCH_1}" STREQUAL "${VERSION}")
    message(FATAL_ERROR "${file}: ${what} names version ${CMAKE_MATCH_1}, the build is ${VERSION}")
  endif()
endfunction()

file(READ ${MANUAL} manual)
expect_version(${MANUAL} "${manual}" "\\.TH [^\n]*\"Bitlens ([^\"]+)\"" "the .TH line")
file(READ ${METAINFO} metainfo)
expect_version(${METAINFO} "${metainfo}" "<releases>[ \t\r\n]*<release version=\"([^\"]+)\""
  "the newest release")
file(STRINGS ${CHANGELOG} changelog LIMIT_COUNT 1)
expect_version(${CHANGELOG} "${changelog}" "^bitlens \\(([^)]+)\\)" "the newest entry")
