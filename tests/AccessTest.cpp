// The window from the keyboard and through assistive technology: names,
// tooltips, tab order, mnemonics, the menus, the wheel, new windows and the
// look.
#include "BitlensVersion.h"
#include "WindowTestSupport.h"
#include "window/AccessibleInterfaces.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

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
    void mnemonics_data();
    void mnemonics();
    void mnemonicsAreUnique();
    void keyboardOnly_data();
    void keyboardOnly();
    void copyAsLiteral_data();
    void copyAsLiteral();
    void editMenu_data();
    void editMenu();
    void editMenuActsOnTheFieldLeft_data();
    void editMenuActsOnTheFieldLeft();
    void fieldMenuShowsEveryKey();
    void undoFromAnywhere_data();
    void undoFromAnywhere();
    void fieldMenuUndoesTheDocument();
    void wheelTurnsOnlyAFocusedPopup_data();
    void wheelTurnsOnlyAFocusedPopup();
    void newWindowsCascadeWithinTheScreen();
    void keepOnTopIsPerWindow();
    void magnitudesAreSpoken_data();
    void magnitudesAreSpoken();
    void readOnlyFieldsAreNotEditable();
    void readOnlyFieldsPlaceTheirCharacters_data();
    void readOnlyFieldsPlaceTheirCharacters();
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
    QCOMPARE(all.size(), 30 + 3 + 4 + 6 + 2 + 6 + 3 + 5);
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
        { "currentBinaryMagnitude", "Value binary magnitude: 0" },
        { "operandFloat", "Operand, float" }, { "resultCarryFlag", "Carry flag" },
        { "resultDivideByZeroFlag", "Divide-by-zero flag" }, { "currentBitGrid", "Value, bits" },
        { "resultBitGrid", "Result, bits" } };
    for (const auto& [widget, name] : samples)
        QCOMPARE(spokenName(child<QWidget>(widget)), QString(name));
}

void AccessTest::tabOrder_data()
{
    QTest::addColumn<bool>("mathOpen");
    QTest::addColumn<QStringList>("order");
    const QStringList value = { "bitWidthPopup", "mathDisclosure", "currentBinary",
        "currentDecimal", "currentHexadecimal", "currentOctal", "currentQuixadecimal",
        "currentText", "currentIpAddress", "currentNumVersion", "currentFloat", "currentBitGrid",
        "signedValueBox", "shiftLeftValue", "shiftRightValue", "currentBigEndianRadio",
        "swapEndianValue" };
    const QStringList math = { "mathOperation", "operandBinary", "operandDecimal",
        "operandHexadecimal", "operandOctal", "operandQuixadecimal", "operandText",
        "operandIPAddress", "operandNumVersion", "operandFloat", "operandBitGrid",
        "signedOperandBox", "shiftLeftOperand", "shiftRightOperand", "operandBigEndianRadio",
        "swapEndianOperand", "resultBinary", "resultDecimal", "resultHexadecimal", "resultOctal",
        "resultQuixadecimal", "resultText", "resultIPAddress", "resultNumVersion", "resultFloat",
        "resultBitGrid", "signedResultBox", "resultBigEndianRadio" };
    QTest::newRow("math area closed") << false << value;
    QTest::newRow("math area open") << true << value + math;
}

// The window opens ready for a number to be typed; from there Tab goes all
// the way round, and Shift+Tab back the same way. A radio pair is one stop.
void AccessTest::tabOrder()
{
    QFETCH(bool, mathOpen);
    QFETCH(QStringList, order);
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("currentBinary"));
    if (mathOpen && !run("open math"))
        return;
    child<QWidget>(order.first())->setFocus(Qt::TabFocusReason);
    const auto goRound = [&order](Qt::KeyboardModifiers modifiers) {
        QStringList visited;
        do {
            visited.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        } while (QApplication::focusWidget()->objectName() != order.first()
            && visited.size() <= order.size());
        return visited;
    };
    QCOMPARE(goRound(Qt::NoModifier), order);
    QStringList backwards = order.mid(1);
    std::reverse(backwards.begin(), backwards.end());
    QCOMPARE(goRound(Qt::ShiftModifier), QStringList { order.first() } + backwards);
}

void AccessTest::mnemonics_data()
{
    QTest::addColumn<bool>("mathOpen");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("reaches");
    const char* const value[][2] = { { "B", "currentBinary" }, { "D", "currentDecimal" },
        { "X", "currentHexadecimal" }, { "O", "currentOctal" }, { "3", "currentQuixadecimal" },
        { "T", "currentText" }, { "I", "currentIpAddress" }, { "R", "currentNumVersion" },
        { "A", "currentFloat" }, { "W", "bitWidthPopup" }, { "S", "signedValueBox" },
        { "G", "currentBigEndianRadio" }, { "L", "currentLittleEndianRadio" },
        { "Y", "swapEndianValue" }, { "M", "mathDisclosure" }, { "F", "fileMenu" },
        { "E", "editMenu" }, { "V", "viewMenu" }, { "H", "helpMenu" } };
    for (const auto& [key, reaches] : value)
        QTest::newRow(qPrintable(QString("Alt+") + key))
            << false << "Alt+" + QString(key) << reaches;
    QTest::newRow("Alt+P") << true << "Alt+P"
                           << "mathOperation";
    // The Operand field under each Value field, whether the math area is
    // open or not yet.
    const char* const operand[][2]
        = { { "B", "operandBinary" }, { "D", "operandDecimal" }, { "X", "operandHexadecimal" },
              { "O", "operandOctal" }, { "3", "operandQuixadecimal" }, { "T", "operandText" },
              { "I", "operandIPAddress" }, { "R", "operandNumVersion" }, { "A", "operandFloat" } };
    for (const auto& [key, reaches] : operand)
        for (const bool open : { false, true })
            QTest::newRow(qPrintable(QString("Alt+Shift+") + key + (open ? ", open" : ", closed")))
                << open << "Alt+Shift+" + QString(key) << reaches;
}

// Each mnemonic from a control that none of them reaches.
void AccessTest::mnemonics()
{
    QFETCH(bool, mathOpen);
    QFETCH(QString, keys);
    QFETCH(QString, reaches);
    if (mathOpen && !run("open math"))
        return;
    child<QWidget>("shiftRightValue")->setFocus(Qt::TabFocusReason);
    PressInFocus(keys);
    if (reaches.endsWith("Menu")) {
        ExpectMenuOpen(reaches);
        return;
    }
    // A push button is clicked by its mnemonic, and keeps no focus.
    if (auto* button = qobject_cast<QPushButton*>(child<QWidget>(reaches))) {
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        QVERIFY(clicked.wait());
        return;
    }
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), reaches);
    if (reaches.startsWith("operand")) {
        QVERIFY(child<QWidget>("expandedBox")->isVisible());
        const QString toolTip = child<QWidget>(reaches)->toolTip();
        QVERIFY2(toolTip.endsWith(" (" + keys + ")"), qPrintable(toolTip));
    }
}

void AccessTest::mnemonicsAreUnique()
{
    QCOMPARE(DuplicateMnemonics(view), QStringList());
}

void AccessTest::keyboardOnly_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("text");
    const char* const rows[][4] = {
        { "width popup, arrows open the list",
            "type currentDecimal 7|key bitWidthPopup Down Down Return", "currentText", "••••••••" },
        // Only the width taken applies: 16 on the way keeps the high bits.
        { "width popup, back through 16 to 32",
            "type currentHexadecimal 12345678|key bitWidthPopup Up Down Return",
            "currentHexadecimal", "1234 5678" },
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
        { "math disclosure, space, then the operation popup's list",
            "type currentDecimal 6|key mathDisclosure Space|type operandDecimal 3|"
            "key mathOperation Down Down Down Down Return",
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
        { "hexadecimal at 8 bits", "key bitWidthPopup Up Up Up Return|type currentDecimal 5",
            "currentHexadecimal", "shortcut", "0x05" },
        { "hexadecimal without group spaces", "type currentHexadecimal 12345", "currentHexadecimal",
            "menu", "0x00012345" },
        { "hexadecimal as the number, not as typed", "type currentHexadecimal DEAD beef",
            "currentHexadecimal", "context", "0xdeadbeef" },
        { "binary", "type currentDecimal 10", "currentBinary", "context",
            "0b00000000000000000000000000001010" },
        { "octal", "type currentDecimal 511", "currentOctal", "shortcut", "0777" },
        { "float", "type currentFloat 1.5", "currentFloat", "menu", "1.5f" },
        { "signed decimal", "type currentDecimal -5", "currentDecimal", "shortcut", "-5" },
        { "little-endian hexadecimal", "key currentBigEndianRadio Right|type currentDecimal 1",
            "currentHexadecimal", "shortcut", "0x01000000" },
        { "base 36 as decimal", "type currentQuixadecimal zz", "currentQuixadecimal", "shortcut",
            "1295" },
        { "text as decimal", "type currentText AB", "currentText", "context", "16706" },
        { "IP address as decimal", "type currentIpAddress 10.0.0.1", "currentIpAddress", "menu",
            "167772161" },
        { "operand", "open math|type operandHexadecimal ff", "operandBinary", "shortcut",
            "0b00000000000000000000000011111111" },
        { "read-only result", "open math|type currentDecimal 12|type operandDecimal 10",
            "resultHexadecimal", "context", "0x00000008" },
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
        auto* action = child<QAction>("actionCopyAsLiteral");
        QVERIFY(action->isEnabled());
        // The menu says when the decimal is copied instead.
        QCOMPARE(action->text() == "Copy Decimal as &Literal",
            QString(QTest::currentDataTag()).endsWith("as decimal"));
        action->trigger();
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
    QList<QKeySequence> expected = QKeySequence::keyBindings(keys);
    if (keys == QKeySequence::Redo) {
        // Redo answers the key other desktops use too.
        for (const char* also : { "Ctrl+Shift+Z", "Ctrl+Y" })
            if (!expected.contains(QKeySequence(also)))
                expected.append(QKeySequence(also));
    }
    QCOMPARE(command->shortcuts(), expected);

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

void AccessTest::editMenuActsOnTheFieldLeft_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QString>("literal");
    // Undo is the document's, whichever control has the focus.
    const QStringList typed
        = { "actionUndo", "actionCopyAsLiteral", "actionPaste", "actionSelectAll" };
    const QStringList computed = { "actionUndo", "actionCopyAsLiteral", "actionSelectAll" };
    for (const bool byKeyboard : { true, false }) {
        const QString how = byKeyboard ? ", Alt+E" : ", mouse";
        QTest::newRow(qPrintable("typed field" + how))
            << "type currentHexadecimal ff"
            << "currentHexadecimal" << byKeyboard << typed << "0x000000ff";
        QTest::newRow(qPrintable("result field" + how))
            << "open math|type currentHexadecimal ff|type operandHexadecimal 0f"
            << "resultDecimal" << byKeyboard << computed << "15";
        // Copy as Literal copies the field last in use, as Undo works anywhere.
        QTest::newRow(qPrintable("check box" + how))
            << "type currentHexadecimal ff"
            << "signedValueBox" << byKeyboard << QStringList { "actionUndo", "actionCopyAsLiteral" }
            << "0x000000ff";
    }
}

// Opening the menu takes the focus to the menu bar from the keyboard and
// leaves it from the mouse; both act on the control the user was in.
void AccessTest::editMenuActsOnTheFieldLeft()
{
    QFETCH(QString, steps);
    QFETCH(QString, focused);
    QFETCH(bool, byKeyboard);
    QFETCH(QStringList, enabled);
    QFETCH(QString, literal);
    if (!run(steps))
        return;
    child<QWidget>(focused)->setFocus(Qt::OtherFocusReason);
    auto* menu = child<QMenu>("editMenu");
    auto* bar = child<QMenuBar>("menuBar");
    if (byKeyboard)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    else
        QTest::mouseClick(
            bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    QTRY_COMPARE(QApplication::activePopupWidget(), menu);

    QStringList shown;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator() && action->isEnabled())
            shown.append(action->objectName());
    shown.sort();
    enabled.sort();
    QCOMPARE(shown, enabled);

    QApplication::clipboard()->setText(QStringLiteral("untouched"));
    auto* copy = child<QAction>("actionCopyAsLiteral");
    if (byKeyboard) {
        for (int step = 0; step < menu->actions().size() && menu->activeAction() != copy; ++step)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    } else {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(copy).center());
    }
    QTRY_COMPARE(QApplication::clipboard()->text(), literal);
}

// A field's own menu holds the Edit menu's commands, each with its keys.
void AccessTest::fieldMenuShowsEveryKey()
{
    auto* field = child<QLineEdit>("currentDecimal");
    TypeInto(field, "12");
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        for (const QAction* action : menu->actions()) {
            if (action->isSeparator())
                continue;
            const QKeySequence keys = action->shortcut();
            shown.append(keys.isEmpty() ? action->text() : action->text() + '\t' + keys.toString());
        }
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    const QPoint where = field->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, where, field->mapToGlobal(where));
    QApplication::sendEvent(field, &event);

    const auto keys = [](QKeySequence::StandardKey standard) {
        return '\t' + QKeySequence(standard).toString(QKeySequence::NativeText);
    };
    const QStringList expected
        = { "&Undo" + keys(QKeySequence::Undo), "&Redo" + keys(QKeySequence::Redo),
              "Cu&t" + keys(QKeySequence::Cut), "&Copy" + keys(QKeySequence::Copy),
              "&Paste" + keys(QKeySequence::Paste), "&Delete" + keys(QKeySequence::Delete),
              "Select &All" + keys(QKeySequence::SelectAll), "Copy as &Literal\tCtrl+Shift+C" };
    QCOMPARE(shown, expected);
}

void AccessTest::undoFromAnywhere_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    const char* const rows[][6] = {
        { "in the field typed in", "type currentDecimal 5|type currentHexadecimal ff",
            "currentHexadecimal", "Ctrl+Z", "currentDecimal", "5" },
        { "in another field", "type currentHexadecimal ff", "currentOctal", "Ctrl+Z",
            "currentHexadecimal", "0000" },
        { "on a grid", "bit currentBitGrid 3", "currentBitGrid", "Ctrl+Z", "currentDecimal", "0" },
        { "on the width popup", "type currentHexadecimal 12345678|choose bitWidthPopup 8 bits",
            "bitWidthPopup", "Ctrl+Z", "currentHexadecimal", "12345678" },
        { "on a check box", "type currentHexadecimal ffffffff|click signedValueBox",
            "signedValueBox", "Ctrl+Z", "currentDecimal", "4294967295" },
        { "redo", "type currentHexadecimal ff", "currentHexadecimal", "Ctrl+Z Ctrl+Shift+Z",
            "currentDecimal", "255" },
        { "redo as elsewhere", "type currentHexadecimal ff", "currentDecimal", "Ctrl+Z Ctrl+Y",
            "currentDecimal", "255" },
        { "after the Edit menu was opened and closed", "type currentHexadecimal ff",
            "currentHexadecimal", "Alt+E Esc Ctrl+Z Ctrl+Shift+Z", "currentDecimal", "255" },
        { "the Edit menu was open while undoing", "type currentHexadecimal ff",
            "currentHexadecimal", "Alt+E Esc Ctrl+Z", "currentDecimal", "0" },
    };
    for (const auto& [name, steps, focused, keys, field, text] : rows)
        QTest::newRow(name) << steps << focused << keys << field << text;
}

// Undo and Redo are the document's, whatever has the focus, from the keys
// as from the menu.
void AccessTest::undoFromAnywhere()
{
    QFETCH(QString, steps);
    QFETCH(QString, focused);
    QFETCH(QString, keys);
    QFETCH(QString, field);
    QFETCH(QString, text);
    if (!run(steps))
        return;
    child<QWidget>(focused)->setFocus(Qt::TabFocusReason);
    for (const QString& key : keys.split(' ')) {
        // An open menu takes the keys.
        QWidget* target = QApplication::activePopupWidget();
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(target ? target : QApplication::focusWidget(), combination.key(),
            combination.keyboardModifiers());
        if (key == QLatin1String("Alt+E"))
            QTRY_VERIFY(QApplication::activePopupWidget());
    }
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(child<QLineEdit>(field)->text(), text);
}

void AccessTest::fieldMenuUndoesTheDocument()
{
    if (!run("type currentDecimal 5|type currentHexadecimal ff"))
        return;
    auto* field = child<QLineEdit>("currentOctal");
    QTimer::singleShot(0, [] {
        QWidget* menu = QApplication::activePopupWidget();
        if (!menu)
            return;
        // Undo is the menu's first item.
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QPoint where = field->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, where, field->mapToGlobal(where));
    QApplication::sendEvent(field, &event);
    QTRY_COMPARE(child<QLineEdit>("currentDecimal")->text(), QString("5"));
}

void AccessTest::wheelTurnsOnlyAFocusedPopup_data()
{
    QTest::addColumn<QString>("popup");
    QTest::addColumn<bool>("focused");
    for (const char* popup : { "bitWidthPopup", "mathOperation" })
        for (const bool focused : { false, true })
            QTest::newRow(qPrintable(QString(popup) + (focused ? ", focused" : ", not focused")))
                << popup << focused;
}

void AccessTest::wheelTurnsOnlyAFocusedPopup()
{
    QFETCH(QString, popup);
    QFETCH(bool, focused);
    if (!run("open math|type currentHexadecimal 1234 5678|type operandDecimal 3"))
        return;
    auto* box = child<QComboBox>(popup);
    (focused ? static_cast<QWidget*>(box) : child<QWidget>("currentDecimal"))
        ->setFocus(Qt::TabFocusReason);
    const int before = box->currentIndex();
    const QPoint at = box->rect().center();
    QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box, &wheel);
    QCOMPARE(box->hasFocus(), focused);
    // Up: to 16 bits, which drops the number's upper half, or from the
    // first operation to none.
    QCOMPARE(box->currentIndex(), focused ? std::max(before - 1, 0) : before);
    if (popup == QLatin1String("bitWidthPopup"))
        QCOMPARE(child<QLineEdit>("currentHexadecimal")->text(),
            QString(focused ? "5678" : "1234 5678"));
}

// Ctrl+N in the newest window, as a user opens one after another, until
// they have gone down the whole screen once.
void AccessTest::newWindowsCascadeWithinTheScreen()
{
    const QRect available = view->screen()->availableGeometry();
    QPointer<ConverterView> newest = view;
    bool wrapped = false;
    for (int opened = 0; opened < 40 && !wrapped; ++opened) {
        newest->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(newest));
        const QList<ConverterView*> before = Windows();
        QTest::keyClick(newest, Qt::Key_N, Qt::ControlModifier);
        ConverterView* next = nullptr;
        for (ConverterView* window : Windows())
            if (!before.contains(window))
                next = window;
        QVERIFY(next);
        QVERIFY(QTest::qWaitForWindowExposed(next));
        const QRect frame = next->frameGeometry();
        QVERIFY2(available.contains(frame) || frame.topLeft() == available.topLeft(),
            qPrintable(QString("window %1 at %2, %3").arg(opened).arg(frame.x()).arg(frame.y())));
        wrapped = frame.topLeft() == available.topLeft();
        if (!wrapped)
            QCOMPARE(frame.topLeft(), newest->frameGeometry().topLeft() + QPoint(32, 32));
        newest = next;
    }
    QVERIFY(wrapped);
}

// From the View menu by its letters; the window stays where and as it was.
void AccessTest::keepOnTopIsPerWindow()
{
    newWindow();
    QPointer<ConverterView> other;
    for (ConverterView* window : Windows())
        if (window != view)
            other = window;
    QVERIFY(other);
    auto* action = child<QAction>("actionKeepOnTop");
    QVERIFY(child<QMenu>("viewMenu")->actions().contains(action));
    for (const bool onTop : { true, false }) {
        view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(view));
        const QRect geometry = view->geometry();
        QTest::keyClick(view, Qt::Key_V, Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), child<QMenu>("viewMenu"));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_K);
        QTRY_COMPARE(action->isChecked(), onTop);
        QCOMPARE(view->windowFlags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        QVERIFY(!other->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(view->isVisible());
        QCOMPARE(view->geometry(), geometry);
    }
}

void AccessTest::magnitudesAreSpoken_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::newRow("binary") << "type currentDecimal 1536"
                            << "currentBinaryMagnitude"
                            << "Value binary magnitude: 1.500 KB";
    QTest::newRow("metric") << "type currentDecimal 1536"
                            << "currentMetricMagnitude"
                            << "Value metric magnitude: 1.536 thousand";
    QTest::newRow("operand") << "open math|type operandDecimal -2048"
                             << "operandBinaryMagnitude"
                             << "Operand binary magnitude: -2.000 KB";
    QTest::newRow("result, after typing elsewhere")
        << "open math|type currentDecimal 2000000|type operandDecimal 2000000"
        << "resultMetricMagnitude"
        << "Result metric magnitude: 2.000 million";
}

// A screen reader reads a label by its name: the name carries the text.
void AccessTest::magnitudesAreSpoken()
{
    QFETCH(QString, steps);
    QFETCH(QString, label);
    QFETCH(QString, name);
    if (!run(steps))
        return;
    auto* widget = child<QLabel>(label);
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
    QCOMPARE(spoken->role(), QAccessible::StaticText);
    QCOMPARE(spoken->text(QAccessible::Name), name);
    QCOMPARE(spoken->text(QAccessible::Value), widget->text());
    QCOMPARE(spoken->text(QAccessible::Description), widget->toolTip());
}

void AccessTest::readOnlyFieldsAreNotEditable()
{
    if (!run("open math|type currentHexadecimal ff|type operandHexadecimal 0f"))
        return;
    int readOnly = 0;
    for (QWidget* widget : controls()) {
        auto* field = qobject_cast<QLineEdit*>(widget);
        if (!field)
            continue;
        const QString name = field->objectName();
        if (name.startsWith("result"))
            QVERIFY2(field->isReadOnly(), qPrintable(name));
        readOnly += field->isReadOnly();
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(field);
        const QAccessible::State state = spoken->state();
        QCOMPARE(state.readOnly, field->isReadOnly());
        QCOMPARE(state.editable, !field->isReadOnly());
        QCOMPARE(spoken->editableTextInterface() != nullptr, !field->isReadOnly());
        // Still read as text, character by character.
        QAccessibleTextInterface* text = spoken->textInterface();
        QVERIFY2(text, qPrintable(name));
        QCOMPARE(text->text(0, text->characterCount()), field->text());
        const bool saysReadOnly
            = field->toolTip().startsWith(field->accessibleName() + ": read-only");
        QVERIFY2(saysReadOnly == field->isReadOnly(), qPrintable(name + ": " + field->toolTip()));
        QVERIFY2(field->isReadOnly() || !field->toolTip().contains("read-only"), qPrintable(name));
        // Spoken after the name, so without it.
        const QString description = spoken->text(QAccessible::Description);
        QCOMPARE(description,
            field->isReadOnly() ? field->toolTip().section(": ", 1) : field->toolTip());
    }
    QCOMPARE(readOnly, int(eNotationCount)); // the Result row
    QCOMPARE(child<QLineEdit>("resultBinary")->toolTip(),
        QString("Result, binary: read-only, in groups of four binary digits"));
}

void AccessTest::readOnlyFieldsPlaceTheirCharacters_data()
{
    QTest::addColumn<Qt::Alignment>("alignment");
    QTest::newRow("right-aligned, as the window's fields") << Qt::Alignment(Qt::AlignRight);
    QTest::newRow("left-aligned") << Qt::Alignment(Qt::AlignLeft);
}

// Where each character is and which one is at a point, for a magnifier that
// follows the caret: the toolkit's own reading of a point in the field says
// which character a rectangle holds (its interface for an editable field
// leaves out the frame and the alignment, so it is no measure).
void AccessTest::readOnlyFieldsPlaceTheirCharacters()
{
    QFETCH(Qt::Alignment, alignment);
    QLineEdit field;
    field.setFont(child<QLineEdit>("resultBinary")->font());
    field.setAlignment(alignment);
    field.setText(QStringLiteral("1010 0000 1111"));
    field.setFixedWidth(400);
    field.setReadOnly(true);
    ReportReadOnly(field);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    field.setCursorPosition(9); // anywhere: the rectangles stay
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(&field);
    QVERIFY(!spoken->state().editable);
    QAccessibleTextInterface* text = spoken->textInterface();
    const QFontMetrics metrics = field.fontMetrics();
    for (int offset = 0; offset < field.text().size(); ++offset) {
        const QRect character = text->characterRect(offset);
        QCOMPARE(character.width(), metrics.horizontalAdvance(field.text().at(offset)));
        const int y = character.center().y();
        const QPoint before(character.left() + character.width() / 4, y);
        const QPoint after(character.right() - character.width() / 4, y);
        QCOMPARE(field.cursorPositionAt(field.mapFromGlobal(before)), offset);
        QCOMPARE(field.cursorPositionAt(field.mapFromGlobal(after)), offset + 1);
        QCOMPARE(text->offsetAtPoint(before), offset);
    }
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
