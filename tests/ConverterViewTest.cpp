// The window as its user meets it: real key and mouse events on the real
// widgets, found by name, and only what the window shows is checked.
#include "BitGrid.h"
#include "WarningLabel.h"
#include "WindowTestSupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
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

const Script kScripts[] = {
    // Signs.
    { "empty decimal is unsigned 0", "type currentDecimal -5|type currentDecimal ",
        "currentHexadecimal=0000|signedValueBox=unchecked" },
    { "minus sign makes the row signed", "type currentDecimal -5",
        "signedValueBox=checked|currentHexadecimal=ffff fffb|bitWidthPopup=32 bits" },
    { "blank before the minus sign", "type currentDecimal  -5",
        "signedValueBox=checked|currentHexadecimal=ffff fffb|bitWidthPopup=32 bits" },
    { "no minus sign clears the box", "type currentDecimal -5|type currentDecimal 5",
        "signedValueBox=unchecked|currentHexadecimal=0005" },
    { "signed box reads all ones as -1", "type currentHexadecimal ffffffff|click signedValueBox",
        "currentDecimal=-1|currentHexadecimal=ffffffff|currentBinaryMagnitude=-1" },
    { "signed box cleared again",
        "type currentHexadecimal ffffffff|click signedValueBox|click signedValueBox",
        "currentDecimal=4294967295|currentMetricMagnitude=4.295 billion" },
    { "signed result box",
        "click mathDisclosure|type currentDecimal 1|type operandDecimal 2|"
        "choose mathOperation subtract|click signedResultBox",
        "resultDecimal=-1|resultHexadecimal=ffff ffff" },
    { "result keeps its sign on recompute",
        "click mathDisclosure|click signedResultBox|type currentDecimal 1|"
        "type operandDecimal 2|choose mathOperation subtract",
        "resultDecimal=-1|signedResultBox=checked" },

    // Width: chosen, and widened by what is typed.
    { "narrowing cuts the bits", "type currentHexadecimal 1234|choose bitWidthPopup 8 bits",
        "currentDecimal=52|currentHexadecimal=34|currentText=4" },
    { "negative stays negative when widened", "type currentDecimal -5|choose bitWidthPopup 64 bits",
        "currentDecimal=-5|currentHexadecimal=ffff ffff ffff fffb|signedValueBox=checked" },
    { "signed row no longer negative becomes unsigned",
        "type currentDecimal -256|choose bitWidthPopup 8 bits",
        "currentDecimal=0|signedValueBox=unchecked" },
    { "nine hexadecimal digits widen to 64", "type currentHexadecimal 1 0000 0000",
        "bitWidthPopup=64 bits|currentDecimal=4294967296" },
    { "64 bits never narrows", "choose bitWidthPopup 64 bits|type currentDecimal 7",
        "bitWidthPopup=64 bits|currentText=••••••••" },
    { "widening keeps the typed hexadecimal text",
        "choose bitWidthPopup 8 bits|type currentHexadecimal 1FF",
        "bitWidthPopup=16 bits|currentDecimal=511|currentHexadecimal=1FF" },
    { "little-endian 300 at 8 bits stays 300",
        "choose bitWidthPopup 8 bits|click currentLittleEndianRadio|type currentDecimal 300",
        "bitWidthPopup=16 bits|currentDecimal=300|currentHexadecimal=2c01" },
    { "operand widens all rows",
        "click mathDisclosure|type currentDecimal 1|type operandHexadecimal 1 0000 0000",
        "bitWidthPopup=64 bits|currentHexadecimal=0001|operandDecimal=4294967296" },
    { "widening keeps the typed operand decimal",
        "click mathDisclosure|choose bitWidthPopup 8 bits|click operandLittleEndianRadio|"
        "type operandDecimal 300",
        "bitWidthPopup=16 bits|operandDecimal=300|operandHexadecimal=2c01" },
    { "opening shows the operand at the present width",
        "click mathDisclosure|type operandHexadecimal 1234|click mathDisclosure|"
        "choose bitWidthPopup 8 bits|type currentHexadecimal ff|click mathDisclosure",
        "operandHexadecimal=34|operandDecimal=52|resultDecimal=52" },

    // Byte order.
    { "little-endian radio keeps the bits", "type currentDecimal 1|click currentLittleEndianRadio",
        "currentDecimal=16777216|currentHexadecimal=0001|currentBinaryMagnitude=16.000 MB" },
    { "swap keeps the decimal", "type currentDecimal 1|click swapEndianValue",
        "currentDecimal=1|currentHexadecimal=0100 0000|currentLittleEndianRadio=checked" },
    { "swap at 8 bits changes only the order",
        "choose bitWidthPopup 8 bits|type currentDecimal 5|click swapEndianValue",
        "currentDecimal=5|currentHexadecimal=05|currentLittleEndianRadio=checked" },
    { "swap of a signed positive row clears the sign",
        "type currentDecimal 1|click signedValueBox|click swapEndianValue",
        "currentDecimal=1|signedValueBox=unchecked" },
    { "operand swap and radio",
        "click mathDisclosure|type operandDecimal 1|click swapEndianOperand|"
        "click operandBigEndianRadio",
        "operandDecimal=16777216|operandHexadecimal=0100 0000" },
    { "result radio reads the result little-endian",
        "click mathDisclosure|type currentDecimal 255|type operandDecimal 1|"
        "click resultLittleEndianRadio",
        "resultDecimal=16777216|resultHexadecimal=0001|resultMetricMagnitude=16.777 million" },

    // Shift buttons.
    { "shift left widens 255 at 8 bits",
        "choose bitWidthPopup 8 bits|type currentDecimal 255|click shiftLeftValue",
        "currentDecimal=510|bitWidthPopup=16 bits" },
    { "shift left widens to 64", "type currentDecimal 2147483648|click shiftLeftValue",
        "currentDecimal=4294967296|bitWidthPopup=64 bits" },
    { "shift left at 64 drops the top bit",
        "choose bitWidthPopup 64 bits|type currentHexadecimal 8000 0000 0000 0001|"
        "click shiftLeftValue",
        "currentDecimal=2|bitWidthPopup=64 bits" },
    { "signed -2 shifts right to -1", "type currentDecimal -2|click shiftRightValue",
        "currentDecimal=-1|bitWidthPopup=32 bits" },
    { "signed -2 shifts left to -4", "type currentDecimal -2|click shiftLeftValue",
        "currentDecimal=-4|bitWidthPopup=32 bits" },
    { "operand shift recomputes the result",
        "click mathDisclosure|type currentDecimal 1|choose mathOperation add|"
        "type operandDecimal 3|click shiftLeftOperand|click shiftLeftOperand|"
        "click shiftRightOperand",
        "operandDecimal=6|resultDecimal=7" },

    // The math area.
    { "closing keeps the rows' texts",
        "click mathDisclosure|type operandDecimal 9|click mathDisclosure|click mathDisclosure",
        "expandedBox=shown|operandDecimal=9|resultDecimal=0" },
    { "closed area leaves the result as it was",
        "click mathDisclosure|choose mathOperation OR|type currentDecimal 1|"
        "click mathDisclosure|type currentDecimal 2",
        "resultDecimal=1|expandedBox=hidden" },
    { "choosing an operation recomputes at once",
        "click mathDisclosure|type currentDecimal 6|type operandDecimal 3|"
        "choose mathOperation multiply",
        "resultDecimal=18" },

    // The float field.
    { "float reads the width's format", "choose bitWidthPopup 16 bits|type currentFloat 65504",
        "currentHexadecimal=7bff|currentDecimal=31743|bitWidthPopup=16 bits" },
    { "float at 64 bits keeps the signed zero", "choose bitWidthPopup 64 bits|type currentFloat -0",
        "currentHexadecimal=8000 0000 0000 0000|currentFloat=-0|signedValueBox=unchecked" },
    { "float at 8 bits is read as a single", "choose bitWidthPopup 8 bits|type currentFloat 1",
        "bitWidthPopup=32 bits|currentHexadecimal=3f80 0000|currentFloat=1|"
        "operandFloat=0|currentBitGrid=3f800000@32" },
    { "8 bits have no float", "type currentFloat 2|choose bitWidthPopup 8 bits",
        "currentFloat=|currentHexadecimal=00|currentDecimal=0" },
    { "float in a little-endian row", "click currentLittleEndianRadio|type currentFloat 1",
        "currentHexadecimal=803f|currentDecimal=1065353216|currentBitGrid=803f@32" },
    { "little-endian radio rereads the float", "type currentFloat 1|click currentLittleEndianRadio",
        "currentFloat=4.6006e-41|currentHexadecimal=3f80 0000" },
    { "the sign box leaves the float alone", "type currentFloat -2|click signedValueBox",
        "currentFloat=-2|currentDecimal=-1073741824" },
    { "operand float at 8 bits widens every row",
        "click mathDisclosure|choose bitWidthPopup 8 bits|type currentDecimal 3|"
        "type operandFloat 0.5",
        "bitWidthPopup=32 bits|currentDecimal=3|operandHexadecimal=3f00 0000|"
        "resultDecimal=0|resultFloat=0" },
    { "result float of the bits added",
        "click mathDisclosure|type currentFloat 1|choose mathOperation add|type operandFloat 1",
        "resultHexadecimal=7f00 0000|resultFloat=1.7014118e+38" },

    // Bit grids: a change of the row in any way shows in its grid.
    { "grid follows typing", "type currentDecimal 300", "currentBitGrid=12c@32" },
    { "grid follows narrowing", "type currentDecimal 300|choose bitWidthPopup 8 bits",
        "currentBitGrid=2c@8" },
    { "grid follows widening", "type currentHexadecimal 1 0000 0000",
        "currentBitGrid=100000000@64" },
    { "grid marks the sign", "type currentHexadecimal ffffffff|click signedValueBox",
        "currentBitGrid=ffffffff@32 signed" },
    { "grid keeps the bits when the byte order changes",
        "type currentDecimal 1|click currentLittleEndianRadio", "currentBitGrid=1@32" },
    { "grid follows a swap", "type currentDecimal 1|click swapEndianValue",
        "currentBitGrid=1000000@32" },
    { "grid follows a shift", "type currentDecimal 3|click shiftLeftValue", "currentBitGrid=6@32" },
    { "result grid follows the math",
        "click mathDisclosure|type currentDecimal 6|type operandDecimal 3|"
        "choose mathOperation subtract",
        "resultBitGrid=3@32|operandBitGrid=3@32" },
    { "opening shows the operand grid at the present width",
        "click mathDisclosure|type operandHexadecimal 1234|click mathDisclosure|"
        "choose bitWidthPopup 8 bits|click mathDisclosure",
        "operandBitGrid=34@8|resultBitGrid=0@8" },

    // Edits in a grid: the row reads the bits as typed hexadecimal.
    { "a click sets a bit", "bit currentBitGrid 4",
        "currentDecimal=16|currentHexadecimal=0010|currentBitGrid=10@32" },
    { "a second click clears it", "bit currentBitGrid 31|bit currentBitGrid 31",
        "currentDecimal=0|currentBinary=0000" },
    { "a drag across a byte boundary", "drag currentBitGrid 5 10",
        "currentDecimal=2016|currentBinary=0111 1110 0000" },
    { "a drag from a set bit clears", "type currentHexadecimal ffff|drag currentBitGrid 12 3",
        "currentHexadecimal=e007|currentDecimal=57351" },
    { "a drag on the high line at 64 bits",
        "choose bitWidthPopup 64 bits|drag currentBitGrid 60 63",
        "currentHexadecimal=f000 0000 0000 0000|bitWidthPopup=64 bits" },
    { "bits typed from the top", "choose bitWidthPopup 8 bits|key currentBitGrid 1 0 1",
        "currentDecimal=160|currentBitGrid=a0@8" },
    { "a grid edit keeps the sign", "type currentDecimal -1|bit currentBitGrid 0",
        "currentDecimal=-2|signedValueBox=checked" },
    { "a grid edit in a little-endian row", "click currentLittleEndianRadio|bit currentBitGrid 0",
        "currentHexadecimal=0001|currentDecimal=16777216" },
    { "an operand grid edit recomputes the result",
        "click mathDisclosure|type currentDecimal 1|choose mathOperation add|"
        "bit operandBitGrid 1",
        "operandDecimal=2|resultDecimal=3|resultBitGrid=3@32" },
    { "the result grid refuses changes",
        "click mathDisclosure|type currentDecimal 5|choose mathOperation OR|"
        "bit resultBitGrid 3|drag resultBitGrid 0 7|key resultBitGrid Space 1",
        "resultDecimal=5|resultBitGrid=5@32|currentDecimal=5" },

    // Warnings for a typed number the row cannot hold: kept across the
    // widening it causes, gone with the row's next edit.
    { "too many hexadecimal digits", "type currentHexadecimal 1 0000 0000 0000 0001",
        "currentOverflowWarning=more than 64 bits: the low 64 are shown|bitWidthPopup=64 bits|"
        "currentDecimal=1" },
    { "a decimal beyond the range", "type currentDecimal 99999999999999999999",
        "currentOverflowWarning=beyond 64 bits: the largest is shown|"
        "currentHexadecimal=ffff ffff ffff ffff" },
    { "text of nine characters", "type currentText ABCDEFGHI",
        "currentOverflowWarning=more than 8 characters: 0 is shown|currentDecimal=0" },
    { "a text that fits shows none", "type currentHexadecimal ffff ffff ffff ffff",
        "currentOverflowWarning=hidden" },
    { "the next keystroke that fits clears it",
        "type currentHexadecimal 1 0000 0000 0000 0000|key currentHexadecimal Backspace",
        "currentOverflowWarning=hidden|currentHexadecimal=1 0000 0000 0000 000" },
    { "clearing the field clears it",
        "type currentHexadecimal 1 0000 0000 0000 0000|type currentHexadecimal ",
        "currentOverflowWarning=hidden" },
    { "a grid click clears it", "type currentDecimal 99999999999999999999|bit currentBitGrid 0",
        "currentOverflowWarning=hidden|currentDecimal=18446744073709551614" },
    { "a shift clears it", "type currentText ABCDEFGHI|click shiftLeftValue",
        "currentOverflowWarning=hidden" },
    { "a swap clears it", "type currentHexadecimal 1 0000 0000 0000 0000|click swapEndianValue",
        "currentOverflowWarning=hidden" },
    { "a byte-order change clears it",
        "type currentHexadecimal 1 0000 0000 0000 0000|click currentLittleEndianRadio",
        "currentOverflowWarning=hidden" },
    { "rewriting the warned text clears it",
        "type currentDecimal 99999999999999999999|click signedValueBox",
        "currentOverflowWarning=hidden|currentDecimal=-1" },
    { "a width chosen clears it",
        "type currentHexadecimal 1 0000 0000 0000 0000|choose bitWidthPopup 32 bits",
        "currentOverflowWarning=hidden|currentHexadecimal=0000" },
    { "the operand has its own",
        "click mathDisclosure|type operandHexadecimal 1 0000 0000 0000 0000|"
        "type currentDecimal 7",
        "operandOverflowWarning=more than 64 bits: the low 64 are shown|"
        "currentOverflowWarning=hidden|bitWidthPopup=64 bits" },
    { "an edit of the other row keeps it",
        "click mathDisclosure|type currentText ABCDEFGHI|type operandDecimal 1",
        "currentOverflowWarning=more than 8 characters: 0 is shown|"
        "operandOverflowWarning=hidden" },
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
    void operations_data();
    void operations();
    void operationPopupHoldsEveryOperationInOrder();
    void flags_data();
    void flags();
    void flagToolTipsFollowTheOperation_data();
    void flagToolTipsFollowTheOperation();
    void floatPlaceholderAtEightBits();
    void binaryToolTipsHoldTheWholeNumber();
    void warningStaysPutWhileTheTextStaysTooBig();
    void mathAreaGrowsAndShrinksTheWindow();
    void longAndForeignText_data();
    void longAndForeignText();
    void windowsAreIndependent();
    void magnitudeLabelsHoldTheirLongestTexts_data();
    void magnitudeLabelsHoldTheirLongestTexts();

private:
    void expect(const Shown& shown);
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
            actual = button->isChecked() ? "checked" : "unchecked";
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
    QTest::newRow("controls") << Shown { { "bitWidthPopup", "32 bits" }, { "mathOperation", "AND" },
        { "signedValueBox", "unchecked" }, { "signedOperandBox", "unchecked" },
        { "signedResultBox", "unchecked" }, { "mathDisclosure", "unchecked" },
        { "expandedBox", "hidden" }, { "currentOverflowWarning", "hidden" },
        { "operandOverflowWarning", "hidden" }, { "resultZeroFlag", "unchecked" } };
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

void ConverterViewTest::operations_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("operand");
    QTest::addColumn<QString>("result");
    const char* const rows[][5] = {
        { "AND", "12", "AND", "10", "8" },
        { "OR", "12", "OR", "10", "14" },
        { "XOR", "12", "XOR", "10", "6" },
        { "add", "12", "add", "10", "22" },
        { "add wraps within the width", "4294967295", "add", "1", "0" },
        { "subtract", "12", "subtract", "10", "2" },
        { "subtract below zero", "1", "subtract", "2", "4294967295" },
        { "multiply", "12", "multiply", "10", "120" },
        { "divide rounds toward zero", "7", "divide", "2", "3" },
        { "remainder", "7", "remainder", "2", "1" },
        { "shift right", "12", "shift right", "2", "3" },
        { "shift left", "12", "shift left", "2", "48" },
        { "NOT ignores the operand", "12", "NOT", "10", "4294967283" },
        { "NAND", "12", "NAND", "10", "4294967287" },
        { "NOR", "12", "NOR", "10", "4294967281" },
        { "XNOR", "12", "XNOR", "10", "4294967289" },
        { "rotate left wraps the top bit round", "2147483649", "rotate left", "1", "3" },
        { "rotate left by the width is none", "5", "rotate left", "32", "5" },
        { "rotate right", "1", "rotate right", "1", "2147483648" },
        { "arithmetic shift right copies the sign", "-8", "arithmetic shift right", "1",
            "4294967292" },
        { "arithmetic shift right of a positive number", "8", "arithmetic shift right", "3", "1" },
        { "signed divide rounds toward zero", "-7", "signed divide", "2", "4294967293" },
        { "signed divide of the most negative by -1", "-2147483648", "signed divide", "-1",
            "2147483648" },
        { "signed remainder takes the Value's sign", "-7", "signed remainder", "2", "4294967295" },
        { "negate", "5", "negate", "0", "4294967291" },
    };
    for (const auto& [name, value, operation, operand, result] : rows)
        QTest::newRow(name) << value << operation << operand << result;
}

void ConverterViewTest::operations()
{
    QFETCH(QString, value);
    QFETCH(QString, operation);
    QFETCH(QString, operand);
    QFETCH(QString, result);
    if (run("click mathDisclosure|type currentDecimal " + value + "|choose mathOperation "
            + operation + "|type operandDecimal " + operand))
        expect({ { "resultDecimal", result }, { "mathOperation", operation } });
}

void ConverterViewTest::operationPopupHoldsEveryOperationInOrder()
{
    const QStringList titles = { "AND", "OR", "XOR", "add", "subtract", "multiply", "divide",
        "remainder", "shift right", "shift left", "NOT", "NAND", "NOR", "XNOR", "rotate left",
        "rotate right", "arithmetic shift right", "signed divide", "signed remainder", "negate" };
    auto* popup = child<QComboBox>("mathOperation");
    QStringList shown;
    for (int i = 0; i < popup->count(); ++i)
        shown.append(popup->itemText(i));
    QCOMPARE(shown, titles);
}

void ConverterViewTest::flags_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("lit");
    // Value, operation, Operand, then the flags lit: Z N C V and D for ÷0.
    const char* const rows[][5] = {
        { "add wraps to zero with a carry", "4294967295", "add", "1", "Z C" },
        { "add past the signed range", "2147483647", "add", "1", "N V" },
        { "add within both ranges", "1", "add", "2", "" },
        { "subtract borrows", "1", "subtract", "2", "N C" },
        { "subtract below the signed range", "-2147483648", "subtract", "1", "V" },
        { "multiply past both ranges", "65536", "multiply", "65536", "Z C V" },
        { "divide by zero", "7", "divide", "0", "Z D" },
        { "signed remainder by zero", "-7", "signed remainder", "0", "Z D" },
        { "signed divide of the most negative by -1", "-2147483648", "signed divide", "-1", "N V" },
        { "shift left carries the top bit out", "2147483648", "shift left", "1", "Z C" },
        { "shift right carries bit 0 out", "1", "shift right", "1", "Z C" },
        { "shift by 0 carries nothing", "1", "shift left", "0", "" },
        { "rotate left carries the bit it wraps", "2147483648", "rotate left", "1", "C" },
        { "arithmetic shift right past the width", "-1", "arithmetic shift right", "40", "N C" },
        { "negate the most negative number", "-2147483648", "negate", "0", "N V" },
        { "negate zero", "0", "negate", "0", "Z" },
        { "XOR sets no carry", "5", "XOR", "5", "Z" },
        { "NOT sets the sign", "0", "NOT", "0", "N" },
    };
    for (const auto& [name, value, operation, operand, lit] : rows)
        QTest::newRow(name) << QString("click mathDisclosure|type currentDecimal %1|"
                                       "choose mathOperation %2|type operandDecimal %3")
                                   .arg(value, operation, operand)
                            << QString(lit);
    // A flag the new operation cannot set goes out.
    QTest::newRow("carry goes out with AND")
        << "click mathDisclosure|type currentDecimal 4294967295|choose mathOperation add|"
           "type operandDecimal 1|choose mathOperation AND"
        << "";
    QTest::newRow("divide by zero goes out with add")
        << "click mathDisclosure|type currentDecimal 7|choose mathOperation divide|"
           "choose mathOperation add"
        << "";
    QTest::newRow("width matters: a 64-bit add fits")
        << "click mathDisclosure|choose bitWidthPopup 64 bits|type currentDecimal 4294967295|"
           "choose mathOperation add|type operandDecimal 1"
        << "";
}

void ConverterViewTest::flags()
{
    QFETCH(QString, steps);
    QFETCH(QString, lit);
    if (!run(steps))
        return;
    const std::pair<const char*, const char*> flags[]
        = { { "Z", "resultZeroFlag" }, { "N", "resultSignFlag" }, { "C", "resultCarryFlag" },
              { "V", "resultOverflowFlag" }, { "D", "resultDivideByZeroFlag" } };
    QStringList shown;
    for (const auto& [letter, name] : flags)
        if (child<QAbstractButton>(name)->isChecked())
            shown.append(letter);
    QCOMPARE(shown.join(' '), lit);
    // Hidden with the math area.
    QTest::mouseClick(child<QToolButton>("mathDisclosure"), Qt::LeftButton);
    for (const auto& [letter, name] : flags)
        QVERIFY2(!child<QWidget>(name)->isVisible(), letter);
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
    QTest::newRow("long decimal paste is cut to 127")
        << "currentDecimal" << QString(300, '9') << QString(127, '9')
        << ParseShown("bitWidthPopup=64 bits|currentHexadecimal=ffff ffff ffff ffff");
    QTest::newRow("long text paste reads as no text")
        << "currentText" << QString(1000, QChar(0x263A)) << QString(127, QChar(0x263A))
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

// The magnitude labels keep one size whatever they show, so that their
// text changes never lay the window out again; their longest texts must fit.
// A keystroke that keeps the text too big keeps the warning as it is: no
// hiding and showing again, which would lay the row out and alert a screen
// reader on every key.
void ConverterViewTest::warningStaysPutWhileTheTextStaysTooBig()
{
    if (!run("type currentHexadecimal 1 0000 0000 0000 0000"))
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
