# Validates the AppStream metadata at the pedantic level, and the sizes of
# its screenshots against their files. The one pedantic note let through is
# the capital letter in the component id: the desktop entry's file name and
# the Wayland app id share the id and keep it.
find_program(APPSTREAMCLI appstreamcli REQUIRED)
execute_process(COMMAND ${APPSTREAMCLI} validate --pedantic --no-net ${METAINFO}
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
string(REGEX MATCHALL "(^|\n)[EWIP]: [^\n]*" issues "${report}")
list(FILTER issues EXCLUDE REGEX "P: [^ ]+ cid-contains-uppercase-letter")
if(NOT status EQUAL 0 OR issues)
  message(FATAL_ERROR "appstreamcli validate --pedantic ${METAINFO}:\n${report}")
endif()

# Each screenshot is as large as the metadata says: a software centre lays
# out its page by these sizes before the image arrives. The image is the
# tree's own file that the address names on the main branch.
file(READ ${METAINFO} metainfo)
string(REGEX MATCHALL "<image[^>]*>[^<]*</image>" images "${metainfo}")
if(NOT images)
  message(FATAL_ERROR "${METAINFO}: no screenshot image")
endif()
foreach(image IN LISTS images)
  if(NOT image MATCHES "width=\"([0-9]+)\"[^>]*height=\"([0-9]+)\"[^>]*>https://raw\\.githubusercontent\\.com/[^/]+/[^/]+/main/([^<]+)<")
    message(FATAL_ERROR "${METAINFO}: an image without its size or not in the tree: ${image}")
  endif()
  set(stated "${CMAKE_MATCH_1} x ${CMAKE_MATCH_2}")
  set(png ${SOURCE_DIR}/${CMAKE_MATCH_3})
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "${METAINFO}: ${png} does not exist")
  endif()
  # A PNG's header chunk comes first: its width and height, big-endian,
  # follow the 8-byte signature, the chunk's length and its name.
  file(READ ${png} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 24 8 chunk)
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT chunk STREQUAL "49484452")
    message(FATAL_ERROR "${png} is not a PNG image")
  endif()
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT stated STREQUAL "${width} x ${height}")
    message(FATAL_ERROR "${METAINFO} says ${stated} for ${png}, which is ${width} x ${height}")
  endif()
endforeach()
