# The window's translations: resources/translations/bitlens_LANGUAGE.ts,
# made and refreshed by lupdate (make translations), compiled by lrelease at
# build time and held in the program (cmake/EmbedTranslations.cmake).
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

file(GLOB BITLENS_TS_FILES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/resources/translations/bitlens_*.ts)
# Where the translatable texts are, from the top of the source tree. No line
# numbers: a .ts file then changes only when a text does. The engine and the
# model mark their messages with a mark of their own, having no toolkit.
set(BITLENS_LUPDATE_ARGS -silent -locations none
    -tr-function-alias QT_TRANSLATE_NOOP+=BITLENS_TRANSLATABLE
    src/engine src/model src/files src/window src/app resources/ConverterDocument.ui)

add_custom_target(translations
  COMMAND Qt6::lupdate ${BITLENS_LUPDATE_ARGS} -no-obsolete -ts ${BITLENS_TS_FILES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Refreshing the .ts files from the sources"
  VERBATIM)

# Compiles every .ts file and adds their bytes to `target`'s sources.
function(bitlens_embed_translations target)
  set(qm_files "")
  foreach(ts IN LISTS BITLENS_TS_FILES)
    get_filename_component(name ${ts} NAME_WE)
    set(qm ${CMAKE_CURRENT_BINARY_DIR}/${name}.qm)
    add_custom_command(OUTPUT ${qm}
      COMMAND Qt6::lrelease -silent ${ts} -qm ${qm}
      DEPENDS ${ts}
      VERBATIM)
    list(APPEND qm_files ${qm})
  endforeach()
  set(embedded ${CMAKE_CURRENT_BINARY_DIR}/EmbeddedTranslations.cpp)
  add_custom_command(OUTPUT ${embedded}
    COMMAND ${CMAKE_COMMAND} "-DQM_FILES=${qm_files}" -DOUTPUT=${embedded}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedTranslations.cmake
    DEPENDS ${qm_files} ${PROJECT_SOURCE_DIR}/cmake/EmbedTranslations.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${embedded})
endfunction()
