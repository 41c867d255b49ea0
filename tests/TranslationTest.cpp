// The window in German, as the program loads it for a German desktop
// (LANG=de_DE.UTF-8, set for this test): every text the window shows is
// translated, its mnemonics stay unique, and which language is chosen for
// which locale.
#include "WindowTestSupport.h"
#include "app/Translations.h"
#include "window/BitGrid.h"

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
// titles, labels, items, tooltips, placeholders, accessible names and
// descriptions, a grid's top bit as it is shown and spoken, the menus' titles
// and items, and the About box. Field contents and magnitudes are the
// program's own notation, the same in any language.
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
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            note(name + " placeholder", field->placeholderText());
        if (auto* grid = qobject_cast<BitGrid*>(widget)) {
            const int top = grid->bitWidth() - 1;
            note(name + " top bit tooltip", grid->bitToolTip(top));
            QAccessibleInterface* bit = QAccessible::queryAccessibleInterface(grid)->child(0);
            note(name + " top bit accessible name", bit->text(QAccessible::Name));
            note(name + " top bit accessible description", bit->text(QAccessible::Description));
        }
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

// Texts that German writes as English does: the logic operations and the
// status flags' letters, terms German takes over, the program's name.
const QStringList kSameInGerman = { "window title", "labelText text", "labelText accessible name",
    "labelUuid text", "labelUuid accessible name", "viewNotationUuid text",
    "viewNotationUuid tooltip", "operandUuidLabel text", "operandUuidLabel accessible name",
    "resultUuidLabel text", "resultUuidLabel accessible name", "operandUuid accessible name",
    "labelNumVersion accessible name", "labelBitGrid text", "labelBitGrid accessible name",
    "operandHeader text", "operandHeader accessible name", "operationLabel text",
    "operationLabel accessible name", "mathOperation accessible name", "mathOperation item 0",
    "mathOperation item 1", "mathOperation item 2", "mathOperation item 10",
    "mathOperation item 11", "mathOperation item 12", "mathOperation item 13",
    "resultZeroFlag text", "resultSignFlag text", "resultCarryFlag text", "resultOverflowFlag text",
    "resultDivideByZeroFlag text", "operandTextLabel text", "operandTextLabel accessible name",
    "operandNumVersionLabel text", "operandNumVersionLabel accessible name",
    "operandBitGridLabel text", "operandBitGridLabel accessible name", "resultTextLabel text",
    "resultTextLabel accessible name", "resultNumVersionLabel text",
    "resultNumVersionLabel accessible name", "resultBitGridLabel text",
    "resultBitGridLabel accessible name", "viewNotationText text", "viewNotationText tooltip",
    "viewNotationNumVersion tooltip" };

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
    void mnemonicsStayUnique();
    void mnemonicsReach_data();
    void mnemonicsReach();
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
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("german");
    const char* const rows[][3] = {
        { "", "fileMenu title", "&Datei" },
        { "", "editMenu title", "&Bearbeiten" },
        { "", "viewMenu title", "&Ansicht" },
        { "", "helpMenu title", "&Hilfe" },
        { "", "actionCopyAsLiteral text", "Als &Literal kopieren" },
        { "", "actionKeepOnTop text", "Im &Vordergrund halten" },
        { "", "notationsMenu title", "&Schreibweisen" },
        { "", "viewNotationFloat text", "Gleit&komma" },
        { "", "labelBinary text", "Bi&när" },
        { "", "labelHexadecimal text", "He&xadezimal" },
        { "", "labelFloat text", "Gleit&komma" },
        { "", "signedValueBox text", "&Mit Vorzeichen" },
        { "", "bitWidthPopup item 3", "64 Bit" },
        { "", "currentHexadecimal accessible name", "Wert, hexadezimal" },
        { "", "operandFloat accessible name", "Operand, Gleitkomma" },
        { "", "resultBinary tooltip", "Ergebnis, binär: schreibgeschützt, binär in Vierergruppen" },
        { "", "operandDecimal tooltip",
            "Dezimal, in der Bytereihenfolge der Zeile gelesen; ein führendes Minuszeichen macht "
            "die Zahl vorzeichenbehaftet (Alt+Umschalt+Z)" },
        { "", "currentBinaryMagnitude accessible name", "Wert, binäre Größe: 0" },
        { "", "mathOperation item 16", "arithmetisch nach rechts schieben" },
        { "", "mathOperation item 13", "XNOR" },
        { "", "resultCarryFlag accessible name", "Übertragsflag" },
        { "", "resultCarryFlag tooltip", "Übertragsflag: gilt nicht für „AND“" },
        { "click mathDisclosure|key mathOperation Down Down Down Down Return",
            "resultCarryFlag tooltip",
            "Übertragsflag: die Summe ohne Vorzeichen passt nicht in die Breite" },
        { "", "resultZeroFlag accessible description", "das Ergebnis ist innerhalb der Breite 0" },
        { "", "resultOctal accessible description", "schreibgeschützt, oktal in Vierergruppen" },
        { "", "currentBitGrid accessible name", "Wert, Bits" },
        { "", "currentBitGrid top bit accessible name", "Bit 31" },
        { "", "currentBitGrid top bit tooltip", "Bit 31 · Byte 3 · 2^31 = 2147483648" },
        { "key signedValueBox Space", "currentBitGrid top bit accessible description",
            "Byte 3, 2 hoch 31 ist 2147483648, das Vorzeichen" },
        { "key bitWidthPopup Up Up Up Return", "currentFloat placeholder", "16 Bit oder mehr" },
        { "type currentDecimal 9999999999999999999999999999999999999999",
            "currentOverflowWarning text", "über 128 Bit: die größte Zahl wird angezeigt" },
        { "", "About box title", "Über Bitlens" },
    };
    for (const auto& [steps, where, german] : rows)
        QTest::newRow(qPrintable(QString(where) + (*steps ? ", after " : "") + steps))
            << steps << where << QString::fromUtf8(german);
}

void TranslationTest::menusAndLabelsAreGerman()
{
    QFETCH(QString, steps);
    QFETCH(QString, where);
    QFETCH(QString, german);
    if (!run(steps))
        return;
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

void TranslationTest::mnemonicsStayUnique()
{
    QCOMPARE(DuplicateMnemonics(view), QStringList());
}

// The German letters, and Alt+Shift with a Value field's letter for the
// Operand field beside it.
void TranslationTest::mnemonicsReach_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("reaches");
    const char* const rows[][2] = { { "Alt+N", "currentBinary" }, { "Alt+Z", "currentDecimal" },
        { "Alt+V", "currentNumVersion" }, { "Alt+K", "currentFloat" }, { "Alt+E", "bitWidthPopup" },
        { "Alt+A", "viewMenu" }, { "Alt+Shift+N", "operandBinary" },
        { "Alt+Shift+K", "operandFloat" } };
    for (const auto& [keys, reaches] : rows)
        QTest::newRow(keys) << keys << reaches;
}

void TranslationTest::mnemonicsReach()
{
    QFETCH(QString, keys);
    QFETCH(QString, reaches);
    child<QWidget>("signedValueBox")->setFocus(Qt::TabFocusReason);
    PressInFocus(keys);
    if (reaches.endsWith("Menu")) {
        ExpectMenuOpen(reaches);
        return;
    }
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), reaches);
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
