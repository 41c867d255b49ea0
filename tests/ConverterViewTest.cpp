// The window as its user meets it: real key and mouse events on the real
// widgets, found by name, and only what the window shows is checked.
#include "ConverterView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolButton>

// What the window should show afterwards: widget name and its shown state
// (a text, a popup's title, "checked"/"unchecked", "shown"/"hidden").
using Shown = QList<QPair<QString, QString>>;

class ConverterViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void outletsAreThere_data();
    void outletsAreThere();
    void startsAtZero_data();
    void startsAtZero();
    void script_data();
    void script();
    void operations_data();
    void operations();
    void magnitudes_data();
    void magnitudes();
    void mathAreaWidensAndNarrowsTheWindow();
    void longAndForeignText_data();
    void longAndForeignText();
    void windowsAreIndependent();

private:
    template <class T> T* child(const QString& name);
    void run(const QStringList& steps);
    void type(QLineEdit* field, const QString& text);
    void click(QAbstractButton* button);
    void choose(QComboBox* popup, const QString& item);
    void expect(const Shown& shown);

    QPointer<ConverterView> view;
};

void ConverterViewTest::initTestCase()
{
    // Quit closes every window; the test run itself must go on.
    QApplication::setQuitOnLastWindowClosed(false);
}

void ConverterViewTest::init()
{
    view = new ConverterView;
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
}

void ConverterViewTest::cleanup()
{
    QList<QPointer<ConverterView>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* converter = qobject_cast<ConverterView*>(window))
            windows.append(converter);
    qDeleteAll(windows);
}

template <class T> T* ConverterViewTest::child(const QString& name)
{
    T* found = view->findChild<T*>(name);
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

// Selects the field's text as a user would, then types one character per
// key event; a keystroke must never change the field being typed in.
void ConverterViewTest::type(QLineEdit* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QString typed;
    for (const uint codePoint : text.toUcs4()) {
        const char32_t unit = codePoint;
        const QString character = QString::fromUcs4(&unit, 1);
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, character, Qt::NoModifier);
        typed += character;
        QCOMPARE(field->text(), typed);
    }
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), QString());
    }
}

// Check boxes and radios take the click on their indicator.
void ConverterViewTest::click(QAbstractButton* button)
{
    QPoint where = button->rect().center();
    const bool isCheckBox = qobject_cast<QCheckBox*>(button) != nullptr;
    if (isCheckBox || qobject_cast<QRadioButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        where = button->style()
                    ->subElementRect(
                        isCheckBox ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator,
                        &option, button)
                    .center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, where);
}

// Opens the popup's list from the keyboard, walks to the item, takes it.
void ConverterViewTest::choose(QComboBox* popup, const QString& item)
{
    const int target = popup->findText(item);
    QVERIFY2(target >= 0, qPrintable(item));
    QTest::keyClick(popup, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = popup->view();
    QTRY_VERIFY(list->isVisible());
    for (int at = popup->currentIndex(); at != target; at += target > at ? 1 : -1)
        QTest::keyClick(list, target > at ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
}

// Steps: "type FIELD TEXT", "click BUTTON", "choose POPUP ITEM".
void ConverterViewTest::run(const QStringList& steps)
{
    for (const QString& step : steps) {
        const QString verb = step.section(' ', 0, 0);
        const QString name = step.section(' ', 1, 1);
        const QString argument = step.section(' ', 2);
        if (verb == QLatin1String("type"))
            type(child<QLineEdit>(name), argument);
        else if (verb == QLatin1String("click"))
            click(child<QAbstractButton>(name));
        else if (verb == QLatin1String("choose"))
            choose(child<QComboBox>(name), argument);
        else
            QFAIL(qPrintable("unknown step: " + step));
        if (QTest::currentTestFailed())
            QFAIL(qPrintable("at step: " + step));
    }
}

void ConverterViewTest::expect(const Shown& shown)
{
    for (const auto& [name, expected] : shown) {
        QWidget* widget = child<QWidget>(name);
        QString actual;
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            actual = field->text();
        else if (auto* label = qobject_cast<QLabel*>(widget))
            actual = label->text();
        else if (auto* popup = qobject_cast<QComboBox*>(widget))
            actual = popup->currentText();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            actual = button->isChecked() ? "checked" : "unchecked";
        else
            actual = widget->isVisible() ? "shown" : "hidden";
        QCOMPARE(name + ": " + actual, name + ": " + expected);
    }
}

void ConverterViewTest::outletsAreThere_data()
{
    QTest::addColumn<QString>("className");
    const char* const rows[] = { "current", "operand", "result" };
    const char* const notations[] = { "Binary", "Decimal", "Hexadecimal", "Octal", "Quixadecimal",
        "Text", "IPAddress", "NumVersion" };
    for (const QString row : rows) {
        for (QString notation : notations) {
            if (row == "current" && notation == "IPAddress")
                notation = "IpAddress";
            QTest::newRow(qPrintable(row + notation)) << "QLineEdit";
        }
        for (const char* control : { "BinaryMagnitude", "MetricMagnitude" })
            QTest::newRow(qPrintable(row + control)) << "QLabel";
        for (const char* control : { "BigEndianRadio", "LittleEndianRadio" })
            QTest::newRow(qPrintable(row + control)) << "QRadioButton";
        QTest::newRow(qPrintable(row + "EndianMatrix")) << "QButtonGroup";
    }
    for (const char* name : { "signedValueBox", "signedOperandBox", "signedResultBox" })
        QTest::newRow(name) << "QCheckBox";
    for (const char* name : { "shiftLeftValue", "shiftRightValue", "shiftLeftOperand",
             "shiftRightOperand", "swapEndianValue", "swapEndianOperand" })
        QTest::newRow(name) << "QPushButton";
    QTest::newRow("bitWidthPopup") << "QComboBox";
    QTest::newRow("mathOperation") << "QComboBox";
    QTest::newRow("mathDisclosure") << "QToolButton";
    QTest::newRow("expandedBox") << "QGroupBox";
}

void ConverterViewTest::outletsAreThere()
{
    QFETCH(QString, className);
    const QObject* outlet = view->findChild<QObject*>(QTest::currentDataTag());
    QVERIFY(outlet);
    QVERIFY(outlet->inherits(qPrintable(className)));
}

void ConverterViewTest::startsAtZero_data()
{
    QTest::addColumn<Shown>("shown");
    const Shown zero = { { "Binary", "0000" }, { "Decimal", "0" }, { "Hexadecimal", "0000" },
        { "Octal", "0000" }, { "Quixadecimal", "00" }, { "Text", "••••" }, { "NumVersion", "0.0" },
        { "BinaryMagnitude", "0" }, { "MetricMagnitude", "0" }, { "BigEndianRadio", "checked" },
        { "LittleEndianRadio", "unchecked" } };
    for (const QString row : { "current", "operand", "result" }) {
        Shown shown;
        for (const auto& [name, text] : zero)
            shown.append({ row + name, text });
        shown.append({ row == "current" ? "currentIpAddress" : row + "IPAddress", "0.0.0.0" });
        QTest::newRow(qPrintable(row + " row")) << shown;
    }
    QTest::newRow("controls") << Shown { { "bitWidthPopup", "32 bits" }, { "mathOperation", "AND" },
        { "signedValueBox", "unchecked" }, { "signedOperandBox", "unchecked" },
        { "signedResultBox", "unchecked" }, { "mathDisclosure", "unchecked" },
        { "expandedBox", "hidden" } };
}

void ConverterViewTest::startsAtZero()
{
    QFETCH(Shown, shown);
    expect(shown);
}

void ConverterViewTest::script_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<Shown>("shown");
    const QString open = "click mathDisclosure";
    const QString allOnes = "type currentHexadecimal ffffffff";

    // Typing into each notation of the Value row.
    QTest::newRow("value binary") << QStringList { "type currentBinary 1010" }
                                  << Shown { { "currentDecimal", "10" },
                                         { "currentHexadecimal", "000a" },
                                         { "currentIpAddress", "0.0.0.10" } };
    QTest::newRow("value decimal")
        << QStringList { "type currentDecimal 4660" }
        << Shown { { "currentHexadecimal", "1234" }, { "currentBinary", "0001 0010 0011 0100" },
               { "currentOctal", "0001 1064" }, { "currentQuixadecimal", "03 lg" },
               { "currentText", "•••4" } };
    QTest::newRow("value hexadecimal keeps blanks and capitals")
        << QStringList { "type currentHexadecimal DEAD beef" }
        << Shown { { "currentDecimal", "3735928559" }, { "currentOctal", "0336 5333 7357" },
               { "currentIpAddress", "222.173.190.239" }, { "currentNumVersion", "222.10.13" } };
    QTest::newRow("value octal") << QStringList { "type currentOctal 777" }
                                 << Shown { { "currentDecimal", "511" },
                                        { "currentHexadecimal", "01ff" } };
    QTest::newRow("value base 36")
        << QStringList { "type currentQuixadecimal zz" } << Shown { { "currentDecimal", "1295" } };
    QTest::newRow("value text") << QStringList { "type currentText AB" }
                                << Shown { { "currentDecimal", "16706" },
                                       { "currentHexadecimal", "4142" } };
    QTest::newRow("value IP address")
        << QStringList { "type currentIpAddress 192.168.1.1" }
        << Shown { { "currentDecimal", "3232235777" }, { "currentHexadecimal", "c0a8 0101" } };
    QTest::newRow("value version")
        << QStringList { "type currentNumVersion 1.2.3b4" }
        << Shown { { "currentHexadecimal", "0123 6004" }, { "currentDecimal", "19095556" } };
    QTest::newRow("empty decimal is unsigned 0")
        << QStringList { "type currentDecimal -5", "type currentDecimal " }
        << Shown { { "currentHexadecimal", "0000" }, { "signedValueBox", "unchecked" } };

    // Typing into each notation of the Operand row: AND with all ones.
    const char* const operandRows[][4] = {
        { "operandBinary", "1010", "10", "000a" },
        { "operandDecimal", "4660", "4660", "1234" },
        { "operandHexadecimal", "beef", "48879", "beef" },
        { "operandOctal", "777", "511", "01ff" },
        { "operandQuixadecimal", "zz", "1295", "050f" },
        { "operandText", "AB", "16706", "4142" },
        { "operandIPAddress", "10.0.0.1", "167772161", "0a00 0001" },
        { "operandNumVersion", "1.2", "18874368", "0120 0000" },
    };
    for (const auto& [field, text, decimal, hexadecimal] : operandRows)
        QTest::newRow(qPrintable(QString("operand ") + field))
            << QStringList { open, allOnes, QString("type %1 %2").arg(field, text) }
            << Shown { { "operandDecimal", decimal }, { "operandHexadecimal", hexadecimal },
                   { "resultDecimal", decimal }, { "resultHexadecimal", hexadecimal },
                   { "currentDecimal", "4294967295" } };

    // Signs.
    QTest::newRow("minus sign makes the row signed")
        << QStringList { "type currentDecimal -5" }
        << Shown { { "signedValueBox", "checked" }, { "currentHexadecimal", "ffff fffb" },
               { "bitWidthPopup", "32 bits" } };
    QTest::newRow("blank before the minus sign")
        << QStringList { "type currentDecimal  -5" }
        << Shown { { "signedValueBox", "checked" }, { "currentHexadecimal", "ffff fffb" },
               { "bitWidthPopup", "32 bits" } };
    QTest::newRow("no minus sign clears the box")
        << QStringList { "type currentDecimal -5", "type currentDecimal 5" }
        << Shown { { "signedValueBox", "unchecked" }, { "currentHexadecimal", "0005" } };
    QTest::newRow("signed box reads all ones as -1")
        << QStringList { allOnes, "click signedValueBox" }
        << Shown { { "currentDecimal", "-1" }, { "currentHexadecimal", "ffffffff" },
               { "currentBinaryMagnitude", "-1" }, { "signedValueBox", "checked" } };
    QTest::newRow("signed box cleared again")
        << QStringList { allOnes, "click signedValueBox", "click signedValueBox" }
        << Shown { { "currentDecimal", "4294967295" },
               { "currentMetricMagnitude", "4.295 billion" } };
    QTest::newRow("signed result box")
        << QStringList { open, "type currentDecimal 1", "type operandDecimal 2",
               "choose mathOperation subtract", "click signedResultBox" }
        << Shown { { "resultDecimal", "-1" }, { "resultHexadecimal", "ffff ffff" } };
    QTest::newRow("result keeps its sign on recompute")
        << QStringList { open, "click signedResultBox", "type currentDecimal 1",
               "type operandDecimal 2", "choose mathOperation subtract" }
        << Shown { { "resultDecimal", "-1" }, { "signedResultBox", "checked" } };

    // Width: chosen, and widened by what is typed.
    QTest::newRow("narrowing cuts the bits")
        << QStringList { "type currentHexadecimal 1234", "choose bitWidthPopup 8 bits" }
        << Shown { { "currentDecimal", "52" }, { "currentHexadecimal", "34" },
               { "currentText", "4" } };
    QTest::newRow("negative stays negative when widened")
        << QStringList { "type currentDecimal -5", "choose bitWidthPopup 64 bits" }
        << Shown { { "currentDecimal", "-5" }, { "currentHexadecimal", "ffff ffff ffff fffb" },
               { "signedValueBox", "checked" } };
    QTest::newRow("signed row no longer negative becomes unsigned")
        << QStringList { "type currentDecimal -256", "choose bitWidthPopup 8 bits" }
        << Shown { { "currentDecimal", "0" }, { "signedValueBox", "unchecked" } };
    QTest::newRow("decimal beyond 32 bits widens")
        << QStringList { "type currentDecimal 4294967296" }
        << Shown { { "bitWidthPopup", "64 bits" }, { "currentHexadecimal", "0001 0000 0000" } };
    QTest::newRow("blank minus five is signed, no widening")
        << QStringList { "type currentDecimal  -5" } << Shown { { "bitWidthPopup", "32 bits" } };
    QTest::newRow("nine hexadecimal digits widen to 64")
        << QStringList { "type currentHexadecimal 1 0000 0000" }
        << Shown { { "bitWidthPopup", "64 bits" }, { "currentDecimal", "4294967296" } };
    QTest::newRow("64 bits never narrows")
        << QStringList { "choose bitWidthPopup 64 bits", "type currentDecimal 7" }
        << Shown { { "bitWidthPopup", "64 bits" }, { "currentText", "••••••••" } };
    QTest::newRow("widening keeps the typed hexadecimal text")
        << QStringList { "choose bitWidthPopup 8 bits", "type currentHexadecimal 1FF" }
        << Shown { { "bitWidthPopup", "16 bits" }, { "currentDecimal", "511" },
               { "currentHexadecimal", "1FF" } };
    QTest::newRow("little-endian 300 at 8 bits stays 300")
        << QStringList { "choose bitWidthPopup 8 bits", "click currentLittleEndianRadio",
               "type currentDecimal 300" }
        << Shown { { "bitWidthPopup", "16 bits" }, { "currentDecimal", "300" },
               { "currentHexadecimal", "2c01" } };
    QTest::newRow("operand widens all rows")
        << QStringList { open, "type currentDecimal 1", "type operandHexadecimal 1 0000 0000" }
        << Shown { { "bitWidthPopup", "64 bits" }, { "currentHexadecimal", "0001" },
               { "operandHexadecimal", "1 0000 0000" }, { "operandDecimal", "4294967296" } };
    QTest::newRow("widening keeps the typed operand decimal")
        << QStringList { open, "choose bitWidthPopup 8 bits", "click operandLittleEndianRadio",
               "type operandDecimal 300" }
        << Shown { { "bitWidthPopup", "16 bits" }, { "operandDecimal", "300" },
               { "operandHexadecimal", "2c01" } };
    QTest::newRow("opening shows the operand at the present width")
        << QStringList { open, "type operandHexadecimal 1234", open, "choose bitWidthPopup 8 bits",
               "type currentHexadecimal ff", open }
        << Shown { { "operandHexadecimal", "34" }, { "operandDecimal", "52" },
               { "resultDecimal", "52" } };

    // Byte order.
    QTest::newRow("little-endian radio keeps the bits")
        << QStringList { "type currentDecimal 1", "click currentLittleEndianRadio" }
        << Shown { { "currentDecimal", "16777216" }, { "currentHexadecimal", "0001" },
               { "currentBinaryMagnitude", "16.000 MB" } };
    QTest::newRow("swap keeps the decimal")
        << QStringList { "type currentDecimal 1", "click swapEndianValue" }
        << Shown { { "currentDecimal", "1" }, { "currentHexadecimal", "0100 0000" },
               { "currentLittleEndianRadio", "checked" } };
    QTest::newRow("swap twice is big-endian again")
        << QStringList { "type currentDecimal 1", "click swapEndianValue", "click swapEndianValue" }
        << Shown { { "currentHexadecimal", "0001" }, { "currentBigEndianRadio", "checked" } };
    QTest::newRow("swap at 8 bits changes only the order")
        << QStringList { "choose bitWidthPopup 8 bits", "type currentDecimal 5",
               "click swapEndianValue" }
        << Shown { { "currentDecimal", "5" }, { "currentHexadecimal", "05" },
               { "currentLittleEndianRadio", "checked" } };
    QTest::newRow("swap of a signed positive row clears the sign")
        << QStringList { "type currentDecimal 1", "click signedValueBox", "click swapEndianValue" }
        << Shown { { "currentDecimal", "1" }, { "signedValueBox", "unchecked" } };
    QTest::newRow("operand swap and radio") << QStringList {
        open, "type operandDecimal 1", "click swapEndianOperand", "click operandBigEndianRadio"
    } << Shown { { "operandDecimal", "16777216" }, { "operandHexadecimal", "0100 0000" } };
    QTest::newRow("result radio reads the result little-endian")
        << QStringList { open, allOnes, "type operandDecimal 1", "click resultLittleEndianRadio" }
        << Shown { { "resultDecimal", "16777216" }, { "resultHexadecimal", "0001" },
               { "resultMetricMagnitude", "16.777 million" } };

    // Shift buttons.
    QTest::newRow("shift left widens 255 at 8 bits") << QStringList {
        "choose bitWidthPopup 8 bits", "type currentDecimal 255", "click shiftLeftValue"
    } << Shown { { "currentDecimal", "510" }, { "bitWidthPopup", "16 bits" } };
    QTest::newRow("shift left widens to 64")
        << QStringList { "type currentDecimal 2147483648", "click shiftLeftValue" }
        << Shown { { "currentDecimal", "4294967296" }, { "bitWidthPopup", "64 bits" } };
    QTest::newRow("shift left at 64 drops the top bit")
        << QStringList { "choose bitWidthPopup 64 bits",
               "type currentHexadecimal 8000 0000 0000 0001", "click shiftLeftValue" }
        << Shown { { "currentDecimal", "2" }, { "bitWidthPopup", "64 bits" } };
    QTest::newRow("signed -2 shifts right to -1")
        << QStringList { "type currentDecimal -2", "click shiftRightValue" }
        << Shown { { "currentDecimal", "-1" }, { "bitWidthPopup", "32 bits" } };
    QTest::newRow("signed -2 shifts left to -4")
        << QStringList { "type currentDecimal -2", "click shiftLeftValue" }
        << Shown { { "currentDecimal", "-4" }, { "bitWidthPopup", "32 bits" } };
    QTest::newRow("1 shifts right to 0")
        << QStringList { "type currentDecimal 1", "click shiftRightValue" }
        << Shown { { "currentDecimal", "0" }, { "currentBinary", "0000" } };
    QTest::newRow("operand shift recomputes the result") << QStringList {
        open, "type currentDecimal 1", "choose mathOperation add", "type operandDecimal 3",
        "click shiftLeftOperand", "click shiftLeftOperand", "click shiftRightOperand"
    } << Shown { { "operandDecimal", "6" }, { "resultDecimal", "7" } };

    // The math area.
    QTest::newRow("opening shows the math area")
        << QStringList { open } << Shown { { "expandedBox", "shown" } };
    QTest::newRow("closing keeps the rows' texts") << QStringList {
        open, "type operandDecimal 9", open, open
    } << Shown { { "expandedBox", "shown" }, { "operandDecimal", "9" }, { "resultDecimal", "0" } };
    QTest::newRow("closed area leaves the result as it was") << QStringList {
        open, "choose mathOperation OR", "type currentDecimal 1", open, "type currentDecimal 2"
    } << Shown { { "resultDecimal", "1" }, { "expandedBox", "hidden" } };
    QTest::newRow("choosing an operation recomputes at once") << QStringList {
        open, "type currentDecimal 6", "type operandDecimal 3", "choose mathOperation multiply"
    } << Shown { { "resultDecimal", "18" } };
}

void ConverterViewTest::script()
{
    QFETCH(QStringList, steps);
    QFETCH(Shown, shown);
    run(steps);
    if (!QTest::currentTestFailed())
        expect(shown);
}

void ConverterViewTest::operations_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("operand");
    QTest::addColumn<QString>("result");
    QTest::newRow("AND") << "12"
                         << "AND"
                         << "10"
                         << "8";
    QTest::newRow("OR") << "12"
                        << "OR"
                        << "10"
                        << "14";
    QTest::newRow("XOR") << "12"
                         << "XOR"
                         << "10"
                         << "6";
    QTest::newRow("add") << "12"
                         << "add"
                         << "10"
                         << "22";
    QTest::newRow("add wraps within the width") << "4294967295"
                                                << "add"
                                                << "1"
                                                << "0";
    QTest::newRow("subtract") << "12"
                              << "subtract"
                              << "10"
                              << "2";
    QTest::newRow("subtract below zero") << "1"
                                         << "subtract"
                                         << "2"
                                         << "4294967295";
    QTest::newRow("multiply") << "12"
                              << "multiply"
                              << "10"
                              << "120";
    QTest::newRow("divide rounds toward zero") << "7"
                                               << "divide"
                                               << "2"
                                               << "3";
    QTest::newRow("divide by zero gives 0") << "7"
                                            << "divide"
                                            << "0"
                                            << "0";
    QTest::newRow("remainder") << "7"
                               << "remainder"
                               << "2"
                               << "1";
    QTest::newRow("remainder by zero gives 0") << "7"
                                               << "remainder"
                                               << "0"
                                               << "0";
    QTest::newRow("shift right") << "12"
                                 << "shift right"
                                 << "2"
                                 << "3";
    QTest::newRow("shift right by 64 is by 0") << "12"
                                               << "shift right"
                                               << "64"
                                               << "12";
    QTest::newRow("shift right by 65 is by 1") << "12"
                                               << "shift right"
                                               << "65"
                                               << "6";
    QTest::newRow("shift left") << "12"
                                << "shift left"
                                << "2"
                                << "48";
}

void ConverterViewTest::operations()
{
    QFETCH(QString, value);
    QFETCH(QString, operation);
    QFETCH(QString, operand);
    QFETCH(QString, result);
    run({ "click mathDisclosure", "type currentDecimal " + value,
        "choose mathOperation " + operation, "type operandDecimal " + operand });
    expect({ { "resultDecimal", result }, { "mathOperation", operation } });
}

void ConverterViewTest::magnitudes_data()
{
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("binary");
    QTest::addColumn<QString>("metric");
    QTest::newRow("0") << "0"
                       << "0"
                       << "0";
    QTest::newRow("1000") << "1000"
                          << "1000"
                          << "1000";
    QTest::newRow("1001") << "1001"
                          << "1001"
                          << "1.001 thousand";
    QTest::newRow("1024 is no unit yet") << "1024"
                                         << "1024"
                                         << "1.024 thousand";
    QTest::newRow("1536") << "1536"
                          << "1.500 KB"
                          << "1.536 thousand";
    QTest::newRow("1048576") << "1048576"
                             << "1024.000 KB"
                             << "1.049 million";
    QTest::newRow("999999999") << "999999999"
                               << "953.674 MB"
                               << "1000.000 million";
    QTest::newRow("4294967295") << "4294967295"
                                << "4.000 GB"
                                << "4.295 billion";
    QTest::newRow("largest unsigned") << "18446744073709551615"
                                      << "16384.000 PB"
                                      << "18446.744 quadrillion";
    QTest::newRow("-1 signed") << "-1"
                               << "-1"
                               << "-1";
    QTest::newRow("-1536 signed") << "-1536"
                                  << "-1.500 KB"
                                  << "-1.536 thousand";
    QTest::newRow("most negative") << "-9223372036854775808"
                                   << "-8192.000 PB"
                                   << "-9223.372 quadrillion";
}

void ConverterViewTest::magnitudes()
{
    QFETCH(QString, decimal);
    QFETCH(QString, binary);
    QFETCH(QString, metric);
    run({ "type currentDecimal " + decimal });
    expect({ { "currentBinaryMagnitude", binary }, { "currentMetricMagnitude", metric } });
}

void ConverterViewTest::mathAreaWidensAndNarrowsTheWindow()
{
    auto* box = child<QGroupBox>("expandedBox");
    auto* disclosure = child<QToolButton>("mathDisclosure");
    const int closedWidth = view->width();
    QTest::mouseClick(disclosure, Qt::LeftButton);
    QVERIFY(box->isVisible());
    const int openWidth = view->width();
    QVERIFY2(openWidth > closedWidth + box->width() / 2, qPrintable(QString::number(openWidth)));
    QVERIFY(child<QLineEdit>("operandHexadecimal")->isEnabled());
    QVERIFY(child<QComboBox>("mathOperation")->isEnabled());
    // The whole window with the math area fits a 1366 x 768 screen.
    QVERIFY(view->frameGeometry().width() <= 1366);
    QVERIFY(view->frameGeometry().height() <= 768);

    QTest::mouseClick(disclosure, Qt::LeftButton);
    QVERIFY(!box->isVisible());
    QCOMPARE(view->width(), closedWidth);
    QVERIFY(!child<QLineEdit>("operandHexadecimal")->isEnabled());
    QVERIFY(!child<QComboBox>("mathOperation")->isEnabled());
    QTest::mouseClick(disclosure, Qt::LeftButton);
    QCOMPARE(view->width(), openWidth);
}

void ConverterViewTest::longAndForeignText_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<Shown>("shown");
    QTest::newRow("long decimal paste is cut to 127")
        << "currentDecimal" << QString(300, '9') << QString(127, '9')
        << Shown { { "bitWidthPopup", "64 bits" },
               { "currentHexadecimal", "ffff ffff ffff ffff" } };
    QTest::newRow("long text paste reads as no text")
        << "currentText" << QString(1000, QChar(0x263A)) << QString(127, QChar(0x263A))
        << Shown { { "currentDecimal", "0" } };
    QTest::newRow("bullet is the placeholder byte")
        << "currentText"
        << "•A"
        << "•A" << Shown { { "currentHexadecimal", "a541" } };
    QTest::newRow("latin-1 and beyond")
        << "currentText"
        << "é€😀"
        << "é€😀"
        << Shown { { "currentHexadecimal", "00e9 3f3f" }, { "currentDecimal", "15286079" } };
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
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view));
    QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier);
    ConverterView* second = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != view && qobject_cast<ConverterView*>(window) && window->isVisible())
            second = static_cast<ConverterView*>(window);
    QVERIFY(second);

    type(second->findChild<QLineEdit*>("currentDecimal"), "255");
    QCOMPARE(second->findChild<QLineEdit*>("currentHexadecimal")->text(), QString("00ff"));
    expect({ { "currentHexadecimal", "0000" }, { "currentDecimal", "0" } });

    run({ "type currentHexadecimal 10" });
    QCOMPARE(second->findChild<QLineEdit*>("currentDecimal")->text(), QString("255"));

    // Quit closes every window and asks nothing.
    QPointer<ConverterView> secondAlive(second);
    second->findChild<QAction*>("actionQuit")->trigger();
    QTRY_VERIFY(!secondAlive && !view);
}

QTEST_MAIN(ConverterViewTest)
#include "ConverterViewTest.moc"
