// The window from the keyboard and through assistive technology: names,
// tooltips, tab order, mnemonics, the Edit and Help menus, and the look.
#include "BitlensVersion.h"
#include "WindowTestSupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class AccessTest : public WindowTest {
    Q_OBJECT

public:
    AccessTest()
        : WindowTest(eActive)
    { }

private slots:
    void everyControlIsNamedAndExplained();
    void tabOrder_data();
    void tabOrder();
    void mnemonics();
    void keyboardOnly_data();
    void keyboardOnly();
    void copyAsLiteral_data();
    void copyAsLiteral();
    void editMenu_data();
    void editMenu();
    void aboutBoxGivesTheVersion();
    void windowTitlesAreNumbered();
    void followsADarkPalette();

private:
    QList<QWidget*> controls();
};

// Every notation field and every control a user can act on or read.
QList<QWidget*> AccessTest::controls()
{
    QList<QWidget*> found;
    for (QWidget* widget : view->findChildren<QWidget*>()) {
        if (widget->objectName().startsWith("qt_"))
            continue; // the toolkit's own parts, such as the menu bar's overflow button
        if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget)
            || qobject_cast<QComboBox*>(widget) || widget->objectName().endsWith("Magnitude"))
            found.append(widget);
    }
    return found;
}

// What a screen reader says. On Linux a popup reads out its current item and
// takes its name from its label, so its own name is checked as set.
static QString spokenName(QWidget* widget)
{
    if (qobject_cast<QComboBox*>(widget))
        return widget->accessibleName();
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Names are unique and follow one scheme: the row, then what the control is.
void AccessTest::everyControlIsNamedAndExplained()
{
    QStringList names;
    const QList<QWidget*> all = controls();
    QCOMPARE(all.size(), 27 + 3 + 4 + 6 + 2 + 6 + 3 + 5);
    for (QWidget* widget : all) {
        const QString name = spokenName(widget);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.append(name);
    }
    const char* const samples[][2] = { { "currentHexadecimal", "Value, hexadecimal" },
        { "operandIPAddress", "Operand, IP address" }, { "resultQuixadecimal", "Result, base 36" },
        { "signedValueBox", "Value signed" }, { "resultLittleEndianRadio", "Result little-endian" },
        { "shiftLeftValue", "Shift Value left" }, { "swapEndianOperand", "Swap Operand bytes" },
        { "bitWidthPopup", "Width" }, { "mathOperation", "Operation" },
        { "mathDisclosure", "Show math area" },
        { "currentBinaryMagnitude", "Value binary magnitude" },
        { "operandFloat", "Operand, float" }, { "resultCarryFlag", "Carry" },
        { "resultDivideByZeroFlag", "Divide by zero" }, { "currentBitGrid", "Value, bits" },
        { "resultBitGrid", "Result, bits" } };
    for (const auto& [widget, name] : samples)
        QCOMPARE(spokenName(child<QWidget>(widget)), QString(name));
}

void AccessTest::tabOrder_data()
{
    QTest::addColumn<bool>("mathOpen");
    QTest::addColumn<QStringList>("order");
    const QStringList value = { "currentBinary", "currentDecimal", "currentHexadecimal",
        "currentOctal", "currentQuixadecimal", "currentText", "currentIpAddress",
        "currentNumVersion", "currentFloat", "currentBitGrid", "signedValueBox", "shiftLeftValue",
        "shiftRightValue", "currentBigEndianRadio", "swapEndianValue", "bitWidthPopup",
        "mathDisclosure" };
    const QStringList math = { "operandBinary", "operandDecimal", "operandHexadecimal",
        "operandOctal", "operandQuixadecimal", "operandText", "operandIPAddress",
        "operandNumVersion", "operandFloat", "operandBitGrid", "signedOperandBox",
        "shiftLeftOperand", "shiftRightOperand", "operandBigEndianRadio", "swapEndianOperand",
        "mathOperation", "resultBinary", "resultDecimal", "resultHexadecimal", "resultOctal",
        "resultQuixadecimal", "resultText", "resultIPAddress", "resultNumVersion", "resultFloat",
        "resultBitGrid", "signedResultBox", "resultBigEndianRadio" };
    QTest::newRow("math area closed") << false << value;
    QTest::newRow("math area open") << true << value + math;
}

// Tab from the first field all the way round; a radio pair is one stop.
void AccessTest::tabOrder()
{
    QFETCH(bool, mathOpen);
    QFETCH(QStringList, order);
    if (mathOpen && !run("open math"))
        return;
    child<QWidget>(order.first())->setFocus(Qt::TabFocusReason);
    QStringList visited;
    do {
        visited.append(QApplication::focusWidget()->objectName());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget()->objectName() != order.first()
        && visited.size() <= order.size());
    QCOMPARE(visited, order);
}

void AccessTest::mnemonics()
{
    if (!run("open math"))
        return;
    const char* const mnemonics[][2] = { { "B", "currentBinary" }, { "D", "currentDecimal" },
        { "H", "currentHexadecimal" }, { "O", "currentOctal" }, { "3", "currentQuixadecimal" },
        { "T", "currentText" }, { "I", "currentIpAddress" }, { "V", "currentNumVersion" },
        { "A", "currentFloat" }, { "W", "bitWidthPopup" } };
    for (const auto& [key, focused] : mnemonics) {
        // From a field elsewhere, so that each mnemonic must move the focus.
        child<QWidget>("operandDecimal")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(view, Qt::Key(key[0]), Qt::AltModifier);
        QCOMPARE(QString(key) + ": " + QApplication::focusWidget()->objectName(),
            QString(key) + ": " + focused);
    }
}

void AccessTest::keyboardOnly_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("text");
    const char* const rows[][4] = {
        { "width popup, down arrow", "type currentDecimal 7|key bitWidthPopup Down", "currentText",
            "••••••••" },
        { "width popup, list from the keyboard",
            "type currentDecimal 258|"
            "key bitWidthPopup Alt+Down Up Up Return",
            "currentHexadecimal", "02" },
        { "signed box, space", "type currentHexadecimal ffffffff|key signedValueBox Space",
            "currentDecimal", "-1" },
        { "byte-order radios, arrow", "type currentDecimal 1|key currentBigEndianRadio Right",
            "currentDecimal", "16777216" },
        { "shift button, space", "type currentDecimal 3|key shiftLeftValue Space", "currentDecimal",
            "6" },
        { "swap button, space", "type currentDecimal 1|key swapEndianValue Space",
            "currentHexadecimal", "0100 0000" },
        { "math disclosure, space, then the operation popup",
            "type currentDecimal 6|key mathDisclosure Space|type operandDecimal 3|"
            "key mathOperation Down Down Down",
            "resultDecimal", "9" },
        { "math area shortcut",
            "type currentDecimal 6|key currentDecimal Ctrl+M|type operandDecimal 3",
            "resultDecimal", "2" },
    };
    for (const auto& [name, steps, widget, text] : rows)
        QTest::newRow(name) << steps << widget << QString::fromUtf8(text);
}

void AccessTest::keyboardOnly()
{
    QFETCH(QString, steps);
    QFETCH(QString, widget);
    QFETCH(QString, text);
    if (!run(steps))
        return;
    QTRY_COMPARE(child<QLineEdit>(widget)->text(), text);
}

void AccessTest::copyAsLiteral_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("by");
    QTest::addColumn<QString>("literal");
    const char* const rows[][5] = {
        { "hexadecimal at 8 bits", "key bitWidthPopup Up Up|type currentDecimal 5",
            "currentHexadecimal", "shortcut", "0x05" },
        { "hexadecimal without group spaces", "type currentHexadecimal 12345", "currentHexadecimal",
            "menu", "0x00012345" },
        { "hexadecimal as the number, not as typed", "type currentHexadecimal DEAD beef",
            "currentHexadecimal", "context", "0xdeadbeef" },
        { "binary", "type currentDecimal 10", "currentBinary", "context", "0b1010" },
        { "octal", "type currentDecimal 511", "currentOctal", "shortcut", "0o0777" },
        { "signed decimal", "type currentDecimal -5", "currentDecimal", "shortcut", "-5" },
        { "little-endian hexadecimal", "key currentBigEndianRadio Right|type currentDecimal 1",
            "currentHexadecimal", "shortcut", "0x01000000" },
        { "base 36 as decimal", "type currentQuixadecimal zz", "currentQuixadecimal", "shortcut",
            "1295" },
        { "text as decimal", "type currentText AB", "currentText", "context", "16706" },
        { "IP address as decimal", "type currentIpAddress 10.0.0.1", "currentIpAddress", "menu",
            "167772161" },
        { "operand", "open math|type operandHexadecimal ff", "operandBinary", "shortcut",
            "0b11111111" },
        { "read-only result", "open math|type currentDecimal 12|type operandDecimal 10",
            "resultHexadecimal", "context", "0x0008" },
    };
    for (const auto& [name, steps, field, by, literal] : rows)
        QTest::newRow(name) << steps << field << by << literal;
}

void AccessTest::copyAsLiteral()
{
    QFETCH(QString, steps);
    QFETCH(QString, field);
    QFETCH(QString, by);
    QFETCH(QString, literal);
    if (!run(steps))
        return;
    auto* target = child<QLineEdit>(field);
    target->setFocus(Qt::TabFocusReason);
    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    if (by == QLatin1String("shortcut")) {
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    } else if (by == QLatin1String("menu")) {
        child<QMenu>("editMenu")->popup(view->mapToGlobal(QPoint(0, 0)));
        QVERIFY(child<QAction>("actionCopyAsLiteral")->isEnabled());
        child<QAction>("actionCopyAsLiteral")->trigger();
        child<QMenu>("editMenu")->close();
    } else {
        // The field's own menu ends with Copy as Literal: Up reaches it.
        QTimer::singleShot(0, [] {
            QWidget* menu = QApplication::activePopupWidget();
            QTest::keyClick(menu, Qt::Key_Up);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        const QPoint where = target->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, where, target->mapToGlobal(where));
        QApplication::sendEvent(target, &event);
    }
    QCOMPARE(QApplication::clipboard()->text(), literal);
}

void AccessTest::editMenu_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QKeySequence::StandardKey>("keys");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("decimal");
    // The clipboard holds "1000"; the decimal is the field's row's afterwards.
    const struct {
        const char* name;
        QKeySequence::StandardKey keys;
        const char* steps;
        const char* field;
        const char* decimal;
    } rows[] = {
        { "Undo", QKeySequence::Undo, "type currentDecimal 5|type currentHexadecimal ff",
            "currentHexadecimal", "5" },
        { "Redo", QKeySequence::Redo, "type currentHexadecimal ff|key currentHexadecimal Ctrl+Z",
            "currentHexadecimal", "255" },
        { "Cut", QKeySequence::Cut, "type currentDecimal 42|key currentDecimal End Shift+Left",
            "currentDecimal", "4" },
        { "Copy", QKeySequence::Copy, "type currentDecimal 42|key currentDecimal Ctrl+A",
            "currentDecimal", "42" },
        { "Paste", QKeySequence::Paste, "type currentDecimal 1|key currentHexadecimal Ctrl+A",
            "currentHexadecimal", "4096" },
        { "Delete", QKeySequence::Delete, "type currentDecimal 42|key currentHexadecimal Ctrl+A",
            "currentHexadecimal", "0" },
        { "SelectAll", QKeySequence::SelectAll, "type currentDecimal 42", "currentDecimal", "42" },
        { "Paste", QKeySequence::Paste, "open math|type currentDecimal 7", "resultDecimal", "0" },
    };
    for (const auto& row : rows)
        QTest::newRow(qPrintable(QString(row.name) + " in " + row.field))
            << QString("action") + row.name << row.keys << row.steps << row.field << row.decimal;
}

// Each action carries the desktop's keys and, from the menu, edits the
// focused field as typing would: the row follows.
void AccessTest::editMenu()
{
    QFETCH(QString, action);
    QFETCH(QKeySequence::StandardKey, keys);
    QFETCH(QString, steps);
    QFETCH(QString, field);
    QFETCH(QString, decimal);
    auto* command = child<QAction>(action);
    QVERIFY(child<QMenu>("editMenu")->actions().contains(command));
    QCOMPARE(command->shortcuts(), QKeySequence::keyBindings(keys));

    QApplication::clipboard()->setText(QStringLiteral("1000"));
    if (!run(steps))
        return;
    child<QLineEdit>(field)->setFocus(Qt::TabFocusReason);
    child<QMenu>("editMenu")->popup(view->mapToGlobal(QPoint(0, 0)));
    command->trigger();
    child<QMenu>("editMenu")->close();
    const QString row = field.startsWith("result") ? "result" : "current";
    QCOMPARE(child<QLineEdit>(row + "Decimal")->text(), decimal);
    if (action == QLatin1String("actionCopy"))
        QCOMPARE(QApplication::clipboard()->text(), decimal);
    if (action == QLatin1String("actionSelectAll"))
        QCOMPARE(child<QLineEdit>(field)->selectedText(), decimal);
}

void AccessTest::aboutBoxGivesTheVersion()
{
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->windowTitle() + '\n' + box->text();
        box->accept();
    });
    child<QAction>("actionAbout")->trigger();
    QVERIFY2(shown.startsWith("About Bitlens\n"), qPrintable(shown));
    QVERIFY2(shown.contains("Bitlens " BITLENS_VERSION), qPrintable(shown));
    QVERIFY2(shown.contains("MIT"), qPrintable(shown));
}

void AccessTest::windowTitlesAreNumbered()
{
    QMap<QString, QPointer<QWidget>> windows;
    const auto openOneMore = [this, &windows] {
        newWindow();
        windows.clear();
        for (ConverterView* window : Windows())
            if (window->isVisible())
                windows.insert(window->windowTitle(), window);
    };
    const QStringList three = { "Bitlens", "Bitlens — 2", "Bitlens — 3" };
    openOneMore();
    openOneMore();
    QCOMPARE(windows.keys(), three);

    // A closed window's number goes to the next new one.
    QPointer<QWidget> second = windows.value("Bitlens — 2");
    second->close();
    QTRY_VERIFY(!second);
    openOneMore();
    QCOMPARE(windows.keys(), three);
}

// Nothing in the window sets a colour of its own, so text stays readable on
// a dark desktop.
void AccessTest::followsADarkPalette()
{
    const QPalette original = QApplication::palette();
    QPalette dark(QColor(40, 40, 40), QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
    dark.setColor(QPalette::ButtonText, QColor(210, 210, 210));
    QApplication::setPalette(dark);
    QCoreApplication::processEvents(); // the change reaches the widgets as posted events
    for (QWidget* widget : view->findChildren<QWidget*>()) {
        QVERIFY2(widget->styleSheet().isEmpty(), qPrintable(widget->objectName()));
        const QPalette shown = widget->palette();
        for (const QPalette::ColorRole role :
            { QPalette::Text, QPalette::Base, QPalette::WindowText, QPalette::ButtonText })
            QVERIFY2(shown.color(role) == dark.color(role),
                qPrintable(widget->objectName() + " role " + QString::number(role)));
    }
    QApplication::setPalette(original);
}

QTEST_MAIN(AccessTest)
#include "AccessTest.moc"
