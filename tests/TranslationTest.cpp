// The window in German, as the program loads it for a German desktop
// (LANG=de_DE.UTF-8, set for this test): every text the window shows is
// translated, its mnemonics stay unique, and which language is chosen for
// which locale.
#include "Translations.h"
#include "WindowTestSupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {

// Every text of the window a user reads or hears, by where it is shown:
// titles, labels, items, tooltips, accessible names and descriptions, the
// menus' titles and items, and the About box. Field contents and magnitudes
// are the program's own notation, the same in any language.
QMap<QString, QString> ShownTexts(ConverterView* window)
{
    QMap<QString, QString> texts;
    const auto note = [&texts](const QString& where, const QString& text) {
        if (!text.isEmpty())
            texts.insert(where, text);
    };
    note("window title", window->windowTitle());
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget); label && !name.endsWith("Magnitude"))
            note(name + " text", label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            note(name + " text", button->text());
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            note(name + " title", box->title());
        if (auto* popup = qobject_cast<QComboBox*>(widget))
            for (int item = 0; item < popup->count(); ++item)
                note(name + " item " + QString::number(item), popup->itemText(item));
        if (auto* menu = qobject_cast<QMenu*>(widget))
            note(name + " title", menu->title());
        note(name + " tooltip", widget->toolTip());
        note(name + " status tip", widget->statusTip());
        note(name + " what's this", widget->whatsThis());
        if (QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget)) {
            note(name + " accessible name", spoken->text(QAccessible::Name));
            note(name + " accessible description", spoken->text(QAccessible::Description));
        }
    }
    for (const QAction* action : window->findChildren<QAction*>()) {
        if (action->objectName().isEmpty() || action->isSeparator())
            continue;
        note(action->objectName() + " text", action->text());
        note(action->objectName() + " tooltip", action->toolTip());
        note(action->objectName() + " status tip", action->statusTip());
    }
    QTimer::singleShot(0, [&note] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        note("About box title", box->windowTitle());
        note("About box text", box->text());
        box->accept();
    });
    window->findChild<QAction*>("actionAbout")->trigger();
    return texts;
}

// Texts that German writes as English does: the logic operations, terms
// German takes over, the program's name.
const QStringList kSameInGerman = { "window title", "labelText text", "labelText accessible name",
    "labelNumVersion accessible name", "operandHeader text", "operandHeader accessible name",
    "operationLabel text", "operationLabel accessible name", "mathOperation accessible name",
    "mathOperation item 0", "mathOperation item 1", "mathOperation item 2" };

} // namespace

class TranslationTest : public WindowTest {
    Q_OBJECT

public:
    TranslationTest()
        : WindowTest(eActive)
    { }

private slots:
    void initTestCase();
    void menusAndLabelsAreGerman_data();
    void menusAndLabelsAreGerman();
    void nothingIsLeftInEnglish();
    void mnemonicsStayUniqueAndReachTheOperandRow();
    void chosenLanguage_data();
    void chosenLanguage();

private:
    void removeTranslations();
};

void TranslationTest::initTestCase()
{
    WindowTest::initTestCase();
    QCOMPARE(QLocale::system().language(), QLocale::German);
    QCOMPARE(LoadTranslations(*qApp), QString("de"));
}

void TranslationTest::removeTranslations()
{
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

void TranslationTest::menusAndLabelsAreGerman_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("german");
    const char* const rows[][2] = {
        { "fileMenu title", "&Datei" },
        { "editMenu title", "&Bearbeiten" },
        { "viewMenu title", "&Ansicht" },
        { "helpMenu title", "&Hilfe" },
        { "actionCopyAsLiteral text", "Als &Literal kopieren" },
        { "actionKeepOnTop text", "Im &Vordergrund halten" },
        { "labelBinary text", "Bi&när" },
        { "labelHexadecimal text", "He&xadezimal" },
        { "signedValueBox text", "&Mit Vorzeichen" },
        { "bitWidthPopup item 3", "64 Bit" },
        { "currentHexadecimal accessible name", "Wert, hexadezimal" },
        { "resultBinary tooltip", "Ergebnis, binär: schreibgeschützt, binär in Vierergruppen" },
        { "operandDecimal tooltip",
            "Dezimal, in der Bytereihenfolge der Zeile gelesen; ein führendes Minuszeichen macht "
            "die Zahl vorzeichenbehaftet (Alt+Umschalt+Z)" },
        { "currentBinaryMagnitude accessible name", "Wert, binäre Größe: 0" },
        { "About box title", "Über Bitlens" },
    };
    for (const auto& [where, german] : rows)
        QTest::newRow(where) << where << QString::fromUtf8(german);
}

void TranslationTest::menusAndLabelsAreGerman()
{
    QFETCH(QString, where);
    QFETCH(QString, german);
    QCOMPARE(ShownTexts(view).value(where), german);
}

// Each text against the same text of a window made without the
// translations: one left equal was not translated, unless German writes it
// the same. The toolkit's own texts come from its translation.
void TranslationTest::nothingIsLeftInEnglish()
{
    const QMap<QString, QString> german = ShownTexts(view);
    QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QString("&Rückgängig"));
    removeTranslations();
    auto* english = new ConverterView;
    const QMap<QString, QString> original = ShownTexts(english);
    delete english;
    QCOMPARE(LoadTranslations(*qApp), QString("de"));

    QCOMPARE(german.keys(), original.keys());
    QStringList untranslated;
    for (auto text = original.cbegin(); text != original.cend(); ++text)
        if (german.value(text.key()) == text.value() && !kSameInGerman.contains(text.key()))
            untranslated.append(text.key() + ": " + text.value());
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
    QVERIFY(german.size() > 150);
}

void TranslationTest::mnemonicsStayUniqueAndReachTheOperandRow()
{
    QCOMPARE(DuplicateMnemonics(view), QStringList());
    // Bi&när: the Operand row's binary field by Alt+Shift+N.
    child<QWidget>("currentDecimal")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::AltModifier | Qt::ShiftModifier);
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), QString("operandBinary"));
}

void TranslationTest::chosenLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("language");
    const char* const rows[][2] = { { "C", "" }, { "en_US", "" }, { "en_GB", "" }, { "fr_FR", "" },
        { "de_DE", "de" }, { "de_AT", "de" }, { "de_CH", "de" } };
    for (const auto& [locale, language] : rows)
        QTest::newRow(locale) << locale << language;
}

void TranslationTest::chosenLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QString, language);
    removeTranslations();
    QCOMPARE(LoadTranslations(*qApp, QLocale(locale)), language);
    // The program's and the toolkit's, or nothing at all.
    QCOMPARE(qApp->findChildren<QTranslator*>().size(), language.isEmpty() ? 0 : 2);
    removeTranslations();
    QCOMPARE(LoadTranslations(*qApp), QString("de"));
}

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
