// The window as its user meets it: real key and mouse events on the real
// widgets, found by name, and only what the window shows is checked.
#include "WindowTestSupport.h"
#include "files/WindowStateStore.h"
#include "window/BitGrid.h"
#include "window/WarningLabel.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <map>

// What the window should show afterwards: widget name and its shown state
// (a text, a popup's title, "checked"/"unchecked", "shown"/"hidden", a
// warning's text or "hidden", a bit grid's bits in hexadecimal and its
// width: "ff@16", "ff@16 signed").
using Shown = QList<QPair<QString, QString>>;

namespace {

// A row's widget by the row's prefix and what the widget is. The Value
// row's IP address field is spelt as the window description has it.
QString RowWidget(const QString& row, const QString& what)
{
    return row == "current" && what == "IPAddress" ? "currentIpAddress" : row + what;
}

QString Checked(const QAbstractButton* button)
{
    return button->isChecked() ? "checked" : "unchecked";
}

// "NAME=SHOWN|..." as widget names and what each shows.
Shown ParseShown(const char* shown)
{
    Shown parsed;
    for (const QString& pair : QString::fromUtf8(shown).split('|'))
        parsed.append({ pair.section('=', 0, 0), pair.section('=', 1) });
    return parsed;
}

// A notation, what is typed into its field, how the window writes the same
// number in it, and what the row's other widgets then show.
const char* const kNotationCases[][4] = {
    { "Binary", "1010", "1010", "Decimal=10|Hexadecimal=000a|IPAddress=0.0.0.10" },
    { "Decimal", "4660", "4660",
        "Hexadecimal=1234|Binary=0001 0010 0011 0100|Octal=0001 1064|Quixadecimal=03 lg|"
        "Text=•••4" },
    { "Hexadecimal", "DEAD beef", "dead beef",
        "Decimal=3735928559|Octal=0336 5333 7357|IPAddress=222.173.190.239|"
        "NumVersion=222.10.13" },
    { "Octal", "777", "0777", "Decimal=511|Hexadecimal=01ff" },
    { "Quixadecimal", "zz", "zz", "Decimal=1295" },
    { "Text", "AB", "••AB", "Decimal=16706|Hexadecimal=4142" },
    { "IPAddress", "192.168.1.1", "192.168.1.1", "Decimal=3232235777|Hexadecimal=c0a8 0101" },
    { "NumVersion", "1.2.3b4", "1.2.3b4",
        "Hexadecimal=0123 6004|Decimal=19095556|MetricMagnitude=19.096 million" },
    { "Float", "1.5e0", "1.5", "Hexadecimal=3fc0 0000|Decimal=1069547520|BitGrid=3fc00000@32" },
};

// A script: the steps as run() takes them, then what the window shows
// afterwards, "NAME=SHOWN|...".
struct Script {
    const char* name;
    const char* steps;
    const char* shown;
};

// One script per control, through the real widgets: each control calls its
// verb, and the window shows what the verb changed. What the verbs do is
// tested on the document model itself.
const Script kScripts[] = {
    { "signed box", "type currentHexadecimal ffffffff|click signedValueBox",
        "currentDecimal=-1|currentHexadecimal=ffffffff|currentBinaryMagnitude=-1|"
        "currentBitGrid=ffffffff@32 signed" },
    { "width popup", "type currentHexadecimal 1234|choose bitWidthPopup 8 bits",
        "currentDecimal=52|currentHexadecimal=34|currentText=4|currentBitGrid=34@8" },
    { "widening shows in the popup", "type currentHexadecimal 1 0000 0000",
        "bitWidthPopup=64 bits|currentDecimal=4294967296|currentBitGrid=100000000@64" },
    { "Value byte order", "type currentDecimal 1|click currentLittleEndianRadio",
        "currentDecimal=16777216|currentHexadecimal=0001|currentBinaryMagnitude=16.000 MB" },
    { "Operand swap and byte order",
        "click mathDisclosure|type operandDecimal 1|click swapEndianOperand|"
        "click operandBigEndianRadio",
        "operandDecimal=16777216|operandHexadecimal=0100 0000" },
    { "Result byte order",
        "click mathDisclosure|type currentDecimal 255|type operandDecimal 1|"
        "click resultLittleEndianRadio",
        "resultDecimal=16777216|resultHexadecimal=0001|resultMetricMagnitude=16.777 million" },
    { "Value shifts",
        "choose bitWidthPopup 8 bits|type currentDecimal 255|click shiftLeftValue|"
        "click shiftRightValue|click shiftRightValue",
        "currentDecimal=127|bitWidthPopup=16 bits" },
    { "Operand shifts recompute the result",
        "click mathDisclosure|type currentDecimal 1|choose mathOperation add|"
        "type operandDecimal 3|click shiftLeftOperand|click shiftLeftOperand|"
        "click shiftRightOperand",
        "operandDecimal=6|resultDecimal=7|resultBitGrid=7@32" },
    { "operation popup",
        "click mathDisclosure|type currentDecimal 6|type operandDecimal 3|"
        "choose mathOperation multiply",
        "resultDecimal=18|operandBitGrid=3@32" },
    { "math area", "click mathDisclosure|type operandDecimal 9|click mathDisclosure",
        "expandedBox=hidden|operandDecimal=9" },
    { "a click in the grid", "bit currentBitGrid 4",
        "currentDecimal=16|currentHexadecimal=0010|currentBitGrid=10@32" },
    { "a drag in the grid", "drag currentBitGrid 5 10",
        "currentDecimal=2016|currentBinary=0111 1110 0000" },
    { "a drag on the high line at 64 bits",
        "choose bitWidthPopup 64 bits|drag currentBitGrid 60 63",
        "currentHexadecimal=f000 0000 0000 0000|bitWidthPopup=64 bits" },
    { "clicks on bits 127 and 64 at 128 bits",
        "choose bitWidthPopup 128 bits|bit currentBitGrid 127|bit currentBitGrid 64",
        "currentHexadecimal=8000 0000 0000 0001 0000 0000 0000 0000|currentBitGrid=0@128" },
    { "a drag across bit 64 at 128 bits", "choose bitWidthPopup 128 bits|drag currentBitGrid 66 61",
        "currentHexadecimal=0007 e000 0000 0000 0000|currentBitGrid=e000000000000000@128" },
    { "an operand grid edit recomputes the result",
        "click mathDisclosure|type currentDecimal 1|choose mathOperation add|"
        "bit operandBitGrid 1",
        "operandDecimal=2|resultDecimal=3|resultBitGrid=3@32" },
    { "bits typed from the top", "choose bitWidthPopup 8 bits|key currentBitGrid 1 0 1",
        "currentDecimal=160|currentBitGrid=a0@8" },
    { "the result grid refuses changes",
        "click mathDisclosure|type currentDecimal 5|choose mathOperation OR|"
        "bit resultBitGrid 3|drag resultBitGrid 0 7|key resultBitGrid Space 1",
        "resultDecimal=5|resultBitGrid=5@32|currentDecimal=5" },
    { "a warning", "type currentHexadecimal 1 0000 0000 0000 0000 0000 0000 0000 0001",
        "currentOverflowWarning=more than 128 bits: the low 128 are shown|bitWidthPopup=128 bits" },
    { "the operand's warning",
        "click mathDisclosure|type operandHexadecimal 1 0000 0000 0000 0000 0000 0000 0000 0000|"
        "type currentDecimal 7",
        "operandOverflowWarning=more than 128 bits: the low 128 are shown|"
        "currentOverflowWarning=hidden" },
    { "the float field", "choose bitWidthPopup 8 bits|type currentFloat 1",
        "bitWidthPopup=32 bits|currentHexadecimal=3f80 0000|currentFloat=1|"
        "operandFloat=0|currentBitGrid=3f800000@32" },
};

} // namespace

class ConverterViewTest : public WindowTest {
    Q_OBJECT

private slots:
    void matricesAndTags();
    void startsAtZero_data();
    void startsAtZero();
    void script_data();
    void script();
    void aClickIntoAWrittenFieldSelectsIt_data();
    void aClickIntoAWrittenFieldSelectsIt();
    void operationPopupHoldsEveryOperationInOrder();
    void flagsShowTheResultAndHideWithTheMathArea();
    void flagToolTipsFollowTheOperation_data();
    void flagToolTipsFollowTheOperation();
    void floatPlaceholderAtEightBits();
    void binaryToolTipsHoldTheWholeNumber();
    void warningStaysPutWhileTheTextStaysTooBig();
    void mathAreaGrowsAndShrinksTheWindow();
    void longAndForeignText_data();
    void longAndForeignText();
    void windowsAreIndependent();
    void aWideningKeystrokeWritesEachFieldOnce();
    void undoBringsBackExactlyWhatAFieldHeld();
    void aLongMessageIsWholeInItsTooltip();
    void magnitudeLabelsHoldTheirLongestTexts_data();
    void magnitudeLabelsHoldTheirLongestTexts();
    void notationsHideInEveryRow_data();
    void notationsHideInEveryRow();
    void notationChoiceStaysAndIsRemembered();

private:
    void expect(const Shown& shown);
    // The fixture's window replaced by one remembering its state in `folder`.
    Stores rememberingIn(const QTemporaryDir& folder);
};

void ConverterViewTest::expect(const Shown& shown)
{
    for (const auto& [name, expected] : shown) {
        QWidget* widget = child<QWidget>(name);
        QString actual;
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            actual = field->text();
        else if (auto* warning = qobject_cast<WarningLabel*>(widget))
            actual = warning->isHidden() ? "hidden" : warning->text();
        else if (auto* label = qobject_cast<QLabel*>(widget))
            actual = label->text();
        else if (auto* grid = qobject_cast<BitGrid*>(widget))
            actual = QString("%1@%2%3")
                         .arg(grid->bits(), 0, 16)
                         .arg(grid->bitWidth())
                         .arg(grid->isSigned() ? " signed" : "");
        else if (auto* popup = qobject_cast<QComboBox*>(widget))
            actual = popup->currentText();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            actual = Checked(button);
        else
            actual = widget->isVisible() ? "shown" : "hidden";
        QCOMPARE(name + ": " + actual, name + ": " + expected);
    }
}

// The radio matrices and swap buttons are told apart by group and tag.
void ConverterViewTest::matricesAndTags()
{
    for (const QString row : { "current", "operand", "result" }) {
        const auto* matrix = view->findChild<QButtonGroup*>(row + "EndianMatrix");
        QVERIFY(matrix);
        QVERIFY(matrix->exclusive());
        QCOMPARE(matrix->buttons().size(), 2);
        QVERIFY(matrix->buttons().contains(child<QRadioButton>(row + "BigEndianRadio")));
        QVERIFY(matrix->buttons().contains(child<QRadioButton>(row + "LittleEndianRadio")));
    }
    QCOMPARE(child<QPushButton>("swapEndianValue")->property("tag").toInt(), 1);
    QCOMPARE(child<QPushButton>("swapEndianOperand")->property("tag").toInt(), 2);
    for (const char* field : { "resultBinary", "resultDecimal", "resultNumVersion", "resultFloat" })
        QVERIFY(child<QLineEdit>(field)->isReadOnly());
    QVERIFY(child<BitGrid>("resultBitGrid")->isReadOnly());
    QVERIFY(!child<BitGrid>("operandBitGrid")->isReadOnly());
}

void ConverterViewTest::startsAtZero_data()
{
    QTest::addColumn<Shown>("shown");
    const Shown zero = { { "Binary", "0000" }, { "Decimal", "0" }, { "Hexadecimal", "0000" },
        { "Octal", "0000" }, { "Quixadecimal", "00" }, { "Text", "••••" },
        { "IPAddress", "0.0.0.0" }, { "NumVersion", "0.0" }, { "Float", "0" },
        { "BitGrid", "0@32" }, { "BinaryMagnitude", "0" }, { "MetricMagnitude", "0" },
        { "BigEndianRadio", "checked" }, { "LittleEndianRadio", "unchecked" } };
    for (const QString row : { "current", "operand", "result" }) {
        Shown shown;
        for (const auto& [what, text] : zero)
            shown.append({ RowWidget(row, what), text });
        QTest::newRow(qPrintable(row + " row")) << shown;
    }
    QTest::newRow("controls") << Shown { { "bitWidthPopup", "32 bits" },
        { "mathOperation", "AND  &" }, { "signedValueBox", "unchecked" },
        { "signedOperandBox", "unchecked" }, { "signedResultBox", "unchecked" },
        { "mathDisclosure", "unchecked" }, { "expandedBox", "hidden" },
        { "currentOverflowWarning", "hidden" }, { "operandOverflowWarning", "hidden" },
        { "resultZeroFlag", "unchecked" } };
}

void ConverterViewTest::startsAtZero()
{
    QFETCH(Shown, shown);
    expect(shown);
}

void ConverterViewTest::script_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<Shown>("shown");
    for (const Script& script : kScripts)
        QTest::newRow(script.name) << QString::fromUtf8(script.steps) << ParseShown(script.shown);
    // Each notation of the Value and the Operand row. The typed field keeps
    // what was typed (every keystroke checks it). With the Value row all
    // ones, the Result is the Operand: the Result row shows what the Operand
    // row does, and the notation typed into as the window writes it.
    for (const QString row : { "current", "operand" }) {
        for (const auto& [notation, typed, written, others] : kNotationCases) {
            const bool operand = row == "operand";
            QString steps = operand ? "click mathDisclosure|type currentHexadecimal ffffffff|" : "";
            steps += "type " + RowWidget(row, notation) + ' ' + QString::fromUtf8(typed);
            Shown shown;
            for (const auto& [what, text] : ParseShown(others)) {
                shown.append({ RowWidget(row, what), text });
                if (operand)
                    shown.append({ RowWidget("result", what), text });
            }
            if (operand)
                shown.append({ RowWidget("result", notation), QString::fromUtf8(written) });
            QTest::newRow(qPrintable(row + ' ' + notation)) << steps << shown;
        }
    }
}

void ConverterViewTest::script()
{
    QFETCH(QString, steps);
    QFETCH(Shown, shown);
    if (run(steps))
        expect(shown);
}

void ConverterViewTest::aClickIntoAWrittenFieldSelectsIt_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("selected");
    QTest::newRow("so that typing replaces it") << ""
                                                << "currentHexadecimal" << 1 << "0000";
    QTest::newRow("a second click places the cursor") << ""
                                                      << "currentDecimal" << 2 << "";
    QTest::newRow("and so does a click into one's own text") << "type currentDecimal 0x10 << 3"
                                                             << "currentDecimal" << 1 << "";
}

// Each time from another control.
void ConverterViewTest::aClickIntoAWrittenFieldSelectsIt()
{
    QFETCH(QString, steps);
    QFETCH(QString, field);
    QFETCH(int, clicks);
    QFETCH(QString, selected);
    if (!run(steps))
        return;
    child<QWidget>("signedValueBox")->setFocus(Qt::TabFocusReason);
    auto* target = child<QLineEdit>(field);
    for (int click = 0; click < clicks; ++click) {
        QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        QCoreApplication::processEvents();
    }
    QCOMPARE(target->selectedText(), selected);
}

void ConverterViewTest::operationPopupHoldsEveryOperationInOrder()
{
    // The C operator after the name where C has one for the rows' bits.
    const QStringList titles = { "AND  &", "OR  |", "XOR  ^", "add  +", "subtract  -",
        "multiply  *", "divide  /", "remainder  %", "shift right  >>", "shift left  <<", "NOT  ~",
        "NAND", "NOR", "XNOR", "rotate left", "rotate right", "arithmetic shift right",
        "signed divide", "signed remainder", "negate" };
    auto* popup = child<QComboBox>("mathOperation");
    QStringList shown;
    for (int i = 0; i < popup->count(); ++i)
        shown.append(popup->itemText(i));
    QCOMPARE(shown, titles);
}

void ConverterViewTest::flagsShowTheResultAndHideWithTheMathArea()
{
    if (!run("click mathDisclosure|type currentDecimal 4294967295|choose mathOperation add|"
             "type operandDecimal 1"))
        return;
    const std::pair<const char*, bool> flags[]
        = { { "resultZeroFlag", true }, { "resultSignFlag", false }, { "resultCarryFlag", true },
              { "resultOverflowFlag", false }, { "resultDivideByZeroFlag", false } };
    for (const auto& [name, lit] : flags)
        QCOMPARE(QString(name) + ": " + Checked(child<QAbstractButton>(name)),
            QString(name) + ": " + (lit ? "checked" : "unchecked"));
    QTest::mouseClick(child<QToolButton>("mathDisclosure"), Qt::LeftButton);
    for (const auto& [name, lit] : flags)
        QVERIFY2(!child<QWidget>(name)->isVisible(), name);
}

void ConverterViewTest::flagToolTipsFollowTheOperation_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("tip");
    const char* const rows[][3] = {
        { "AND", "resultZeroFlag", "Zero flag: the result is 0 within the width" },
        { "AND", "resultCarryFlag", "Carry flag: does not apply to AND" },
        { "add", "resultCarryFlag", "Carry flag: the unsigned sum does not fit in the width" },
        { "subtract", "resultCarryFlag",
            "Carry flag: the subtraction borrows: the Value is below the Operand, unsigned" },
        { "rotate right", "resultCarryFlag",
            "Carry flag: the last bit rotated round to the other end" },
        { "negate", "resultOverflowFlag",
            "Overflow flag: the Value is the most negative number: its negation does not fit" },
        { "signed remainder", "resultOverflowFlag",
            "Overflow flag: does not apply to signed remainder" },
        { "divide", "resultDivideByZeroFlag",
            "Divide-by-zero flag: the Operand is 0, so the result is 0" },
        { "NOT", "resultDivideByZeroFlag", "Divide-by-zero flag: does not apply to NOT" },
    };
    for (const auto& [operation, flag, tip] : rows)
        QTest::newRow(qPrintable(QString(operation) + ' ' + flag)) << operation << flag << tip;
}

void ConverterViewTest::flagToolTipsFollowTheOperation()
{
    QFETCH(QString, operation);
    QFETCH(QString, flag);
    QFETCH(QString, tip);
    if (!run("click mathDisclosure|choose mathOperation " + operation))
        return;
    QCOMPARE(child<QWidget>(flag)->toolTip(), tip);
    // Spoken after the flag's name, which it does not repeat.
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(child<QWidget>(flag));
    QCOMPARE(spoken->text(QAccessible::Name) + ": " + spoken->text(QAccessible::Description), tip);
}

void ConverterViewTest::floatPlaceholderAtEightBits()
{
    auto* field = child<QLineEdit>("currentFloat");
    QCOMPARE(field->placeholderText(), QString());
    if (!run("choose bitWidthPopup 8 bits"))
        return;
    QCOMPARE(field->text(), QString());
    QCOMPARE(field->placeholderText(), QString("16 bits or more"));
    if (!run("choose bitWidthPopup 16 bits"))
        return;
    QCOMPARE(field->text(), QString("0"));
    QCOMPARE(field->placeholderText(), QString());
}

// The grids show every bit; a binary field too narrow for its number
// shows the whole of it in its tooltip.
void ConverterViewTest::binaryToolTipsHoldTheWholeNumber()
{
    if (!run("click mathDisclosure|choose bitWidthPopup 64 bits|type operandDecimal -1|"
             "choose mathOperation NOT"))
        return;
    for (const char* name : { "operandBinary", "resultBinary" }) {
        auto* field = child<QLineEdit>(name);
        const QPoint where = field->rect().center();
        QHelpEvent help(QEvent::ToolTip, where, field->mapToGlobal(where));
        QApplication::sendEvent(field, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().startsWith(field->toolTip() + '\n'), name);
        QVERIFY2(QToolTip::text().endsWith('\n' + field->text()), name);
        QVERIFY(field->text().size() == 79 || field->text() == "0000");
        QToolTip::hideText();
    }
}

// Beside the Value row or below it, as the screen has room.
void ConverterViewTest::mathAreaGrowsAndShrinksTheWindow()
{
    auto* box = child<QGroupBox>("expandedBox");
    auto* disclosure = child<QToolButton>("mathDisclosure");
    const QSize closedSize = view->size();
    QTest::mouseClick(disclosure, Qt::LeftButton);
    QVERIFY(box->isVisible());
    const QSize openSize = view->size();
    QVERIFY2(openSize.width() > closedSize.width() || openSize.height() > closedSize.height(),
        qPrintable(QString("%1 x %2").arg(openSize.width()).arg(openSize.height())));
    QVERIFY(child<QLineEdit>("operandHexadecimal")->isEnabled());
    QVERIFY(child<QComboBox>("mathOperation")->isEnabled());

    QTest::mouseClick(disclosure, Qt::LeftButton);
    QVERIFY(!box->isVisible());
    QCOMPARE(view->size(), closedSize);
    QVERIFY(!child<QLineEdit>("operandHexadecimal")->isEnabled());
    QVERIFY(!child<QComboBox>("mathOperation")->isEnabled());
    QTest::mouseClick(disclosure, Qt::LeftButton);
    QCOMPARE(view->size(), openSize);
}

void ConverterViewTest::longAndForeignText_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<Shown>("shown");
    QTest::newRow("long decimal paste is cut to 159")
        << "currentDecimal" << QString(300, '9') << QString(159, '9')
        << ParseShown(
               "bitWidthPopup=128 bits|currentHexadecimal=ffff ffff ffff ffff ffff ffff ffff ffff");
    QTest::newRow("long text paste reads as no text")
        << "currentText" << QString(1000, QChar(0x263A)) << QString(159, QChar(0x263A))
        << ParseShown("currentDecimal=0");
    QTest::newRow("bullet is the placeholder byte")
        << "currentText" << QString("•A") << QString("•A") << ParseShown("currentHexadecimal=a541");
    QTest::newRow("latin-1 and beyond")
        << "currentText" << QString("é€😀") << QString("é€😀")
        << ParseShown("currentHexadecimal=00e9 3f3f|currentDecimal=15286079");
}

void ConverterViewTest::longAndForeignText()
{
    QFETCH(QString, field);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(Shown, shown);
    auto* target = child<QLineEdit>(field);
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(target->text(), kept);
    expect(shown);
}

void ConverterViewTest::windowsAreIndependent()
{
    newWindow();
    ConverterView* second = nullptr;
    for (ConverterView* window : Windows())
        if (window != view && window->isVisible())
            second = window;
    QVERIFY(second);

    TypeInto(second->findChild<QLineEdit*>("currentDecimal"), "255");
    QCOMPARE(second->findChild<QLineEdit*>("currentHexadecimal")->text(), QString("00ff"));
    expect({ { "currentHexadecimal", "0000" }, { "currentDecimal", "0" } });

    run("type currentHexadecimal 10");
    QCOMPARE(second->findChild<QLineEdit*>("currentDecimal")->text(), QString("255"));

    // Quit closes every window and asks nothing.
    QPointer<ConverterView> secondAlive(second);
    second->findChild<QAction*>("actionQuit")->trigger();
    QTRY_VERIFY(!secondAlive && !view);
}

// A keystroke that widens every row re-reads them at each width on the way,
// inside the model; the window then writes each field it shows at most once.
void ConverterViewTest::aWideningKeystrokeWritesEachFieldOnce()
{
    if (!run("click mathDisclosure|choose bitWidthPopup 8 bits|type operandDecimal 3|"
             "type currentHexadecimal 000000000000000|key currentHexadecimal Home"))
        return;
    std::map<QString, int> writes;
    for (QLineEdit* field : view->findChildren<QLineEdit*>())
        connect(field, &QLineEdit::textChanged, this,
            [&writes, field] { ++writes[field->objectName()]; });
    QTest::keyClicks(child<QLineEdit>("currentHexadecimal"), "8");
    QCOMPARE(child<QComboBox>("bitWidthPopup")->currentText(), QString("64 bits"));
    QVERIFY(writes.size() > 10);
    for (const auto& [name, count] : writes)
        QVERIFY2(count == 1, qPrintable(QString("%1 written %2 times").arg(name).arg(count)));
}

// The message line keeps its room: a longer message shows its start, and
// all of it in the tooltip.
void ConverterViewTest::aLongMessageIsWholeInItsTooltip()
{
    auto* warning = child<WarningLabel>("currentOverflowWarning");
    if (!run("type currentHexadecimal ffg"))
        return;
    QCOMPARE(warning->toolTip(), QString());
    if (!run("type currentHexadecimal ff" + QString(60, u'g')))
        return;
    QCOMPARE(warning->text(), "ignored: " + QString(60, u'g') + " (not a hexadecimal digit)");
    QCOMPARE(warning->toolTip(), warning->text());
}

// A paste past the field's length is cut to the field's 159 characters and
// says so; the cursor stays where the paste ended. The field's text comes
// back from the model exactly as it was.
void ConverterViewTest::undoBringsBackExactlyWhatAFieldHeld()
{
    auto* field = child<QLineEdit>("currentText");
    QApplication::clipboard()->setText(QString(156, u'a'));
    field->setFocus(Qt::TabFocusReason);
    field->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    const QString pasted = field->text();
    QCOMPARE(pasted, QString(156, u'a') + QString(3, u'\u2022'));
    QCOMPARE(field->cursorPosition(), 156);
    QCOMPARE(child<WarningLabel>("currentOverflowWarning")->text(),
        "cut to 159 characters; more than 16 characters: 0 is shown");
    if (!run("type currentDecimal 5"))
        return;
    for (const char* keys : { "Ctrl+Z", "Ctrl+Z", "Ctrl+Shift+Z" })
        PressInFocus(keys);
    QCOMPARE(field->text(), pasted);
}

// The magnitude labels keep one size whatever they show, so that their
// text changes never lay the window out again; their longest texts must fit.
// A keystroke that keeps the text too big keeps the warning as it is: no
// hiding and showing again, which would lay the row out and alert a screen
// reader on every key.
void ConverterViewTest::warningStaysPutWhileTheTextStaysTooBig()
{
    if (!run("type currentHexadecimal 1 0000 0000 0000 0000 0000 0000 0000 0000"))
        return;
    auto* warning = child<QWidget>("currentOverflowWarning");
    QVERIFY(warning->isVisible());
    struct ShowHideCount : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::Show || event->type() == QEvent::Hide;
            return false;
        }
    } shownOrHidden;
    warning->installEventFilter(&shownOrHidden);
    QTest::keyClicks(child<QLineEdit>("currentHexadecimal"), "123");
    QVERIFY(warning->isVisible());
    QCOMPARE(shownOrHidden.count, 0);
}

void ConverterViewTest::magnitudeLabelsHoldTheirLongestTexts_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<Shown>("shown");
    const char* const rows[][3] = {
        { "largest unsigned", "type currentHexadecimal ffffffffffffffff",
            "currentBinaryMagnitude=16384.000 PB|currentMetricMagnitude=18446.744 quadrillion" },
        { "most negative", "type currentDecimal -9223372036854775808",
            "currentBinaryMagnitude=-8192.000 PB|currentMetricMagnitude=-9223.372 quadrillion" },
        { "a whole 1024 of a lower unit", "type currentDecimal -1073741824",
            "currentBinaryMagnitude=-1024.000 MB|currentMetricMagnitude=-1.074 billion" },
        { "operand and result",
            "click mathDisclosure|type currentHexadecimal ffffffffffffffff|"
            "type operandDecimal -9223372036854775808",
            "operandMetricMagnitude=-9223.372 quadrillion|resultBinaryMagnitude=8192.000 PB|"
            "resultMetricMagnitude=9223.372 quadrillion" },
        { "largest at 128 bits", "type currentHexadecimal ffffffffffffffffffffffffffffffff",
            "currentBinaryMagnitude=302231454903657293676544.000 PB|"
            "currentMetricMagnitude=340282366920938463463374.607 quadrillion" },
        { "most negative at 128 bits",
            "type currentDecimal -170141183460469231731687303715884105728",
            "currentBinaryMagnitude=-151115727451828646838272.000 PB|"
            "currentMetricMagnitude=-170141183460469231731687.304 quadrillion" },
    };
    for (const auto& [name, steps, shown] : rows)
        QTest::newRow(name) << QString(steps) << ParseShown(shown);
}

void ConverterViewTest::magnitudeLabelsHoldTheirLongestTexts()
{
    QFETCH(QString, steps);
    QFETCH(Shown, shown);
    if (!run(steps))
        return;
    expect(shown);
    // Also at twice the font, and at their first size once the font is back:
    // a label re-measured with its old size in place used to grow instead.
    const QFont original = view->font();
    QFont larger = original;
    larger.setPointSizeF(2 * original.pointSizeF());
    std::map<QString, int> widths;
    for (const QFont& font : { original, larger, original }) {
        view->setFont(font);
        for (const QString row : { "current", "operand", "result" }) {
            for (const QString kind : { "Binary", "Metric" }) {
                const auto* label = child<QLabel>(row + kind + "Magnitude");
                QVERIFY2(label->sizeHint().width() <= label->width(),
                    qPrintable(label->objectName() + " cuts off " + label->text()));
                const int first
                    = widths.try_emplace(label->objectName(), label->width()).first->second;
                QVERIFY2(font != original || label->width() == first,
                    qPrintable(label->objectName() + " changed its width"));
            }
        }
    }
}

QTEST_MAIN(ConverterViewTest)
#include "ConverterViewTest.moc"

// --- Notations ---------------------------------------------------------------

namespace {

const QStringList kNotations = { "Binary", "Decimal", "Hexadecimal", "Octal", "Quixadecimal",
    "Text", "IPAddress", "NumVersion", "Float" };

// The notations' fields in every row and their Value labels that are not
// hidden, the math area open or not.
QStringList NotationsShown(QWidget* window, const QStringList& notations = kNotations)
{
    QStringList shown;
    for (const QString& notation : notations) {
        for (const QString row : { "current", "operand", "result" })
            if (!FindChild<QLineEdit>(window, RowWidget(row, notation))->isHidden())
                shown << row + notation;
        if (!FindChild<QLabel>(window, "label" + notation)->isHidden())
            shown << "label" + notation;
    }
    return shown;
}

} // namespace

Stores ConverterViewTest::rememberingIn(const QTemporaryDir& folder)
{
    Stores stores = Stores::atDefaultPlaces();
    stores.windowState = std::make_shared<WindowStateStore>(folder.filePath("window-state"));
    delete view;
    view = new ConverterView(stores);
    view->show();
    return stores;
}

void ConverterViewTest::notationsHideInEveryRow_data()
{
    QTest::addColumn<QString>("notation");
    for (const QString& notation : kNotations)
        QTest::newRow(qPrintable(notation)) << notation;
}

// Hidden, a notation goes from every row and takes no room; its fields
// still read the number, and the focus leaves them.
void ConverterViewTest::notationsHideInEveryRow()
{
    QFETCH(QString, notation);
    const QTemporaryDir folder;
    rememberingIn(folder);
    const QString typed
        = notation == "Octal" ? "type currentHexadecimal 1f" : "type currentOctal 37";
    auto* field = child<QLineEdit>(RowWidget("current", notation));
    const QSize size = view->size();
    field->setFocus();

    child<QAction>("viewNotation" + notation)->trigger();
    QCOMPARE(NotationsShown(view, { notation }), QStringList());
    QCOMPARE(NotationsShown(view).size(), 4 * (kNotations.size() - 1));
    QVERIFY(view->height() < size.height());
    QVERIFY(view->focusWidget() != field && view->focusWidget()->isVisible());
    if (!run(typed))
        return;
    const QString text = field->text();
    child<QAction>("viewNotation" + notation)->trigger();
    QCOMPARE(NotationsShown(view).size(), 4 * kNotations.size());
    QCOMPARE(view->size(), size);
    QVERIFY(run(typed.section(' ', 0, 1) + " 0|" + typed));
    QCOMPARE(field->text(), text);
}

// One notation always stays. The choice is the next start's, and a new
// window takes its opener's.
void ConverterViewTest::notationChoiceStaysAndIsRemembered()
{
    const QTemporaryDir folder;
    const Stores stores = rememberingIn(folder);
    for (const QString& notation : kNotations.mid(0, 8))
        child<QAction>("viewNotation" + notation)->trigger();
    auto* last = child<QAction>("viewNotationFloat");
    QVERIFY(!last->isEnabled());
    last->setChecked(false);
    QVERIFY(last->isChecked());
    QCOMPARE(NotationsShown(view).size(), 4);
    QCOMPARE(stores.windowState->load().hiddenNotations.size(), std::size_t(8));
    for (const char* shown : { "viewNotationText", "viewNotationDecimal" })
        child<QAction>(shown)->trigger();
    QVERIFY(last->isEnabled());
    const QStringList chosen = NotationsShown(view);

    const std::unique_ptr<ConverterView> next(new ConverterView(stores));
    QCOMPARE(NotationsShown(next.get()), chosen);
    QCOMPARE(next->focusWidget(), next->findChild<QLineEdit*>("currentDecimal"));
    stores.windowState->save({});
    newWindow();
    QCOMPARE(Windows().size(), 3);
    for (ConverterView* window : Windows())
        QCOMPARE(NotationsShown(window), chosen);
}
