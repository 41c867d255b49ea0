#include "Translations.h"

#include "EmbeddedTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

const EmbeddedTranslation* FindTranslation(const QString& language)
{
    for (const EmbeddedTranslation* translation = kEmbeddedTranslations; translation->language;
         ++translation)
        if (language == QLatin1String(translation->language))
            return translation;
    return nullptr;
}

// The language the user reads best among those translated: the locale's
// languages in order ("de-AT", "de-Latn-AT", …), each whole, then with its
// last parts cut off ("de_AT", then "de"). English stops the search.
const EmbeddedTranslation* ChooseTranslation(const QLocale& locale)
{
    for (const QString& uiLanguage : locale.uiLanguages()) {
        QString language = uiLanguage;
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (language == QLatin1String("en") || language.startsWith(QLatin1String("en_")))
            return nullptr;
        for (;;) {
            if (const EmbeddedTranslation* found = FindTranslation(language))
                return found;
            const qsizetype cut = language.lastIndexOf(QLatin1Char('_'));
            if (cut < 0)
                break;
            language.truncate(cut);
        }
    }
    return nullptr;
}

} // namespace

QString LoadTranslations(QCoreApplication& app, const QLocale& locale)
{
    // The program speaks English as written: in the C locale not even the
    // list of the user's languages is asked for.
    if (locale.language() == QLocale::C)
        return {};
    const EmbeddedTranslation* translation = ChooseTranslation(locale);
    if (!translation)
        return {};
    auto* program = new QTranslator(&app);
    if (!program->load(translation->data, translation->size)) {
        delete program;
        return {};
    }
    QCoreApplication::installTranslator(program);

    // The toolkit's own in the same language, never in another one: a
    // window half in one language and half in another reads worse than one
    // whose standard dialogs stay English.
    auto* toolkit = new QTranslator(&app);
    if (toolkit->load(QLocale(QLatin1String(translation->language)), QStringLiteral("qtbase"),
            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(toolkit);
    else
        delete toolkit;
    return QLatin1String(translation->language);
}
