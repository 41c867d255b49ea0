#include "WindowTestSupport.h"

#include "window/BitGrid.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

QList<ConverterView*> Windows()
{
    QList<ConverterView*> found;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* converter = qobject_cast<ConverterView*>(window))
            found.append(converter);
    return found;
}

void TypeInto(QLineEdit* field, const QString& text)
{
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QString typed;
    for (const uint codePoint : text.toUcs4()) {
        const char32_t unit = codePoint;
        const QString character = QString::fromUcs4(&unit, 1);
        // The key a keyboard has for it, as QTest::keyClicks sends.
        const Qt::Key key = codePoint < 0x80 ? QTest::asciiToKey(char(codePoint)) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, field, key, character, Qt::NoModifier);
        typed += character;
        QCOMPARE(field->text(), typed);
    }
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), QString());
    }
}

void ClickButton(QAbstractButton* button)
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

QPoint BitCentre(QWidget* grid, int bit)
{
    QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(grid);
    const QString name = BitGrid::tr("bit %1").arg(bit);
    for (int i = 0; i < tree->childCount(); ++i)
        if (tree->child(i)->text(QAccessible::Name) == name)
            return grid->mapFromGlobal(tree->child(i)->rect().center());
    qFatal("%s has no %s", qPrintable(grid->objectName()), qPrintable(name));
}

void PressInFocus(const QString& keys)
{
    const QKeyCombination combination = QKeySequence(keys)[0];
    QTest::keyClick(
        QApplication::focusWidget(), combination.key(), combination.keyboardModifiers());
}

void ExpectMenuOpen(const QString& name)
{
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), name);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
}

QString ChooseFromList(QComboBox* popup, int item)
{
    QTest::keyClick(popup, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* list = popup->view();
    if (!QTest::qWaitFor([list] { return list->isVisible(); }))
        return popup->objectName() + "'s list did not open";
    // The keys pass over separators and items that cannot be chosen.
    for (int keys = 0; keys < popup->count() && list->currentIndex().row() != item; ++keys)
        QTest::keyClick(list, item > list->currentIndex().row() ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    if (!QTest::qWaitFor([list] { return !list->isVisible(); }))
        return popup->objectName() + "'s list did not close";
    return {};
}

QStringList DuplicateMnemonics(QWidget* window)
{
    QMap<QString, QStringList> owners;
    const auto note = [&owners](const QString& text, const QString& owner) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(text);
        if (!mnemonic.isEmpty())
            owners[mnemonic.toString()].append(owner);
    };
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            note(label->text(), label->objectName());
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            note(button->text(), button->objectName());
        else if (auto* box = qobject_cast<QGroupBox*>(widget))
            note(box->title(), box->objectName());
    }
    for (const QMenuBar* bar : window->findChildren<QMenuBar*>())
        for (const QAction* title : bar->actions())
            note(title->text(), title->menu() ? title->menu()->objectName() : title->objectName());
    QStringList duplicates;
    for (auto owner = owners.cbegin(); owner != owners.cend(); ++owner)
        if (owner.value().size() > 1)
            duplicates.append(owner.key() + ": " + owner.value().join(", "));
    return duplicates;
}

void WindowTest::initTestCase()
{
    // Quit and Ctrl+W close windows; the test run itself must go on.
    QApplication::setQuitOnLastWindowClosed(false);
}

void WindowTest::init()
{
    view = new ConverterView;
    view->show();
    if (start == eActive)
        view->activateWindow();
    QVERIFY(
        start == eActive ? QTest::qWaitForWindowActive(view) : QTest::qWaitForWindowExposed(view));
}

void WindowTest::cleanup()
{
    const QList<ConverterView*> windows = Windows();
    qDeleteAll(QList<QPointer<ConverterView>>(windows.begin(), windows.end()));
}

static void Step(ConverterView* view, const QString& step)
{
    const QString verb = step.section(' ', 0, 0);
    const QString name = step.section(' ', 1, 1);
    const QString argument = step.section(' ', 2);
    if (verb == QLatin1String("type")) {
        TypeInto(FindChild<QLineEdit>(view, name), argument);
    } else if (verb == QLatin1String("click")) {
        ClickButton(FindChild<QAbstractButton>(view, name));
    } else if (verb == QLatin1String("choose")) {
        // An item by its name, without the operator that may follow it.
        auto* popup = FindChild<QComboBox>(view, name);
        const QString wanted
            = QCoreApplication::translate("ConverterDocument", argument.toUtf8().constData());
        int item = popup->count() - 1;
        while (item >= 0 && popup->itemText(item).section(QStringLiteral("  "), 0, 0) != wanted)
            --item;
        QVERIFY2(item >= 0, qPrintable(argument));
        const QString problem = ChooseFromList(popup, item);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    } else if (verb == QLatin1String("key")) {
        FindChild<QWidget>(view, name)->setFocus(Qt::TabFocusReason);
        for (const QString& keys : argument.split(' '))
            PressInFocus(keys);
    } else if (verb == QLatin1String("bit")) {
        auto* grid = FindChild<QWidget>(view, name);
        QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, argument.toInt()));
    } else if (verb == QLatin1String("drag")) {
        auto* grid = FindChild<QWidget>(view, name);
        const int from = argument.section(' ', 0, 0).toInt();
        const int to = argument.section(' ', 1, 1).toInt();
        QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, from));
        for (int bit = from; bit != to;) {
            bit += to > bit ? 1 : -1;
            QTest::mouseMove(grid, BitCentre(grid, bit));
        }
        QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, BitCentre(grid, to));
    } else if (step == QLatin1String("open math")) {
        // The mnemonic, in the window's language, clicks the disclosure
        // button a moment later.
        const QKeyCombination mnemonic
            = QKeySequence::mnemonic(FindChild<QAbstractButton>(view, "mathDisclosure")->text())[0];
        QTest::keyClick(view, mnemonic.key(), mnemonic.keyboardModifiers());
        QTRY_VERIFY(FindChild<QWidget>(view, "expandedBox")->isVisible());
    } else {
        QFAIL(qPrintable("unknown step: " + step));
    }
}

bool WindowTest::run(const QString& steps)
{
    for (const QString& step : steps.split('|', Qt::SkipEmptyParts)) {
        Step(view, step);
        if (QTest::currentTestFailed()) {
            QTest::qFail(qPrintable("at step: " + step), __FILE__, __LINE__);
            return false;
        }
    }
    return true;
}

void WindowTest::newWindow()
{
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view));
    QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier);
}
