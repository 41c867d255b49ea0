# Writes OUTPUT, a C++ file that holds each compiled translation in QM_FILES
# as bytes of the program, named by its language (bitlens_de.qm is "de"):
# loading one then reads no file and registers no resource.
set(arrays "")
set(entries "")
set(index 0)
foreach(qm IN LISTS QM_FILES)
  get_filename_component(name "${qm}" NAME_WE)
  string(REGEX REPLACE "^bitlens_" "" language "${name}")
  file(READ "${qm}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "alignas(4) const unsigned char kTranslation${index}[] = {\n${bytes}\n};\n")
  string(APPEND entries "    { \"${language}\", kTranslation${index}, sizeof kTranslation${index} },\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Made by cmake/EmbedTranslations.cmake from resources/translations.
#include \"app/EmbeddedTranslations.h\"

namespace {
${arrays}} // namespace

const EmbeddedTranslation kEmbeddedTranslations[] = {
${entries}    { nullptr, nullptr, 0 },
};
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
