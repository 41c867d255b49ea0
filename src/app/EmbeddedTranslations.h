// The program's compiled translations, held in the program itself.
#ifndef BITLENS_EMBEDDEDTRANSLATIONS_H
#define BITLENS_EMBEDDEDTRANSLATIONS_H

struct EmbeddedTranslation {
    const char* language; // as in the .ts file's name: "de", "pt_BR"
    const unsigned char* data;
    int size;
};

// Ends with an entry whose language is null.
extern const EmbeddedTranslation kEmbeddedTranslations[];

#endif
