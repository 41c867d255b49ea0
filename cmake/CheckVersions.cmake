# The manual's title line, the newest release in the metadata and the newest
# change log entry must name the version the build carries, or a release
# ships stale documents.
file(READ ${MANUAL} manual)
if(NOT manual MATCHES "(^|\n)\\.TH [^\n]*\"Bitlens ([^\"]+)\"")
  message(FATAL_ERROR "${MANUAL}: no \"Bitlens <version>\" in the .TH line")
endif()
if(NOT "${CMAKE_MATCH_2}" STREQUAL "${VERSION}")
  message(FATAL_ERROR "${MANUAL} names version ${CMAKE_MATCH_2}, the build is ${VERSION}")
endif()

file(READ ${METAINFO} metainfo)
if(NOT metainfo MATCHES "<releases>[ \t\r\n]*<release version=\"([^\"]+)\"")
  message(FATAL_ERROR "${METAINFO}: no release listed")
endif()
if(NOT "${CMAKE_MATCH_1}" STREQUAL "${VERSION}")
  message(FATAL_ERROR "${METAINFO}: newest release is ${CMAKE_MATCH_1}, the build is ${VERSION}")
endif()

file(STRINGS ${CHANGELOG} changelog LIMIT_COUNT 1)
if(NOT changelog MATCHES "^bitlens \\(([^)]+)\\)")
  message(FATAL_ERROR "${CHANGELOG}: the first line names no version")
endif()
if(NOT "${CMAKE_MATCH_1}" STREQUAL "${VERSION}")
  message(FATAL_ERROR "${CHANGELOG}: newest entry is ${CMAKE_MATCH_1}, the build is ${VERSION}")
endif()
