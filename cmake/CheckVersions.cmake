# The manual's title line and the newest release in the metadata must name the
# version the build carries, or a release ships stale documents.
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
