// The language of the user's desktop: the program's own translation and the
// toolkit's (its dialogs and standard menus) in the same language.
#ifndef BITLENS_TRANSLATIONS_H
#define BITLENS_TRANSLATIONS_H

#include <QLocale>
#include <QString>

class QCoreApplication;

// Installs the translations for the first of `locale`'s languages that the
// program has, and returns that language ("de"), or nothing when English (the
// program's own language) comes first or none is translated. The toolkit's
// is loaded from its installed catalogues when there is one.
QString LoadTranslations(QCoreApplication& app, const QLocale& locale = QLocale::system());

#endif
