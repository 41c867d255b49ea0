// The history in the window, with real keys: Enter records, Up and Down
// recall, Ctrl+H shows the panel, an entry comes back into the Value row as
// one step that Ctrl+Z undoes, and so does an entry's removal. What Up and
// Down recall is the model's, tested there. Each test starts with an empty
// history in a folder of its own.
#include "WindowTestSupport.h"
#include "files/HistoryStore.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class HistoryWindowTest : public WindowTest {
    Q_OBJECT

public:
    HistoryWindowTest()
        : WindowTest(eActive)
    { }

private slots:
    void initTestCase();
    void init();
    void enterRecords_data();
    void enterRecords();
    void enterShowsACalculationsResultSelected();
    void nothingIsBuiltOrReadAtStart();
    void ctrlHShowsAndHidesThePanel();
    void panelIsNamedAndExplained();
    void panelKeepsItsWidthBesideTheMathArea();
    void enterOnAnEntryRestoresItAsOneStep_data();
    void enterOnAnEntryRestoresItAsOneStep();
    void deleteRemovesAnEntryAndCtrlZBringsItBack();
    void clearEmptiesTheHistoryOnceConfirmed_data();
    void clearEmptiesTheHistoryOnceConfirmed();
    void upAndDownRecall_data();
    void upAndDownRecall();
    void windowsShareTheHistory();

private:
    QListWidget* openPanel();
    QStringList listed();

    QTemporaryDir fState;
};

void HistoryWindowTest::initTestCase()
{
    WindowTest::initTestCase();
    QVERIFY(fState.isValid());
    // Before the history is first used, which reads the variable.
    qputenv("XDG_STATE_HOME", fState.path().toUtf8());
}

void HistoryWindowTest::init()
{
    HistoryStore history;
    history.clear();
    QVERIFY(history.history().empty());
    WindowTest::init();
}

QListWidget* HistoryWindowTest::openPanel()
{
    QAction* show = child<QAction>("actionShowHistory");
    if (!show->isChecked())
        PressInFocus("Ctrl+H");
    auto* panel = child<QDockWidget>("historyPanel");
    if (!QTest::qWaitFor([panel] { return panel->isVisible(); }))
        qWarning("the history panel did not show");
    return child<QListWidget>("historyList");
}

QStringList HistoryWindowTest::listed()
{
    QStringList texts;
    auto* list = child<QListWidget>("historyList");
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

void HistoryWindowTest::enterRecords_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QStringList>("listed");
    const QString dot = QString::fromUtf8(" \u00B7 ");
    QTest::newRow("an expression, Return")
        << "type currentDecimal 0x10 << 3|key currentDecimal Return"
        << QStringList { "0x10 << 3 = 128" + dot + "32 bits" };
    QTest::newRow("the keypad's Enter")
        << "type currentHexadecimal ff + 1|key currentHexadecimal Num+Enter"
        << QStringList { "ff + 1 = 0x100" + dot + "32 bits" };
    QTest::newRow("a calculation in the Operand row")
        << "open math|type currentHexadecimal 10|type operandHexadecimal 1f|"
           "key operandHexadecimal Return"
        << QStringList { "0x10 AND 0x1f = 0x10" + dot + "32 bits" };
    QTest::newRow("not twice in a row")
        << "type currentDecimal 5|key currentDecimal Return Return|key currentBinary Return"
        << QStringList { "0101 = 0b101" + dot + "32 bits", "5 = 5" + dot + "32 bits" };
    QTest::newRow("not with a modifier")
        << "type currentDecimal 5|key currentDecimal Ctrl+Return Shift+Return" << QStringList {};
}

void HistoryWindowTest::enterRecords()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, listed);
    if (!run(steps))
        return;
    openPanel();
    QCOMPARE(this->listed(), listed);
}

// The result is selected, so that the next key replaces it.
void HistoryWindowTest::enterShowsACalculationsResultSelected()
{
    run("type currentDecimal 0x10 << 3|key currentDecimal Return");
    QCOMPARE(child<QLineEdit>("currentDecimal")->selectedText(), QString("128"));
    QVERIFY(child<QLabel>("currentOverflowWarning")->isVisible());
}

void HistoryWindowTest::nothingIsBuiltOrReadAtStart()
{
    auto* fresh = new ConverterView;
    fresh->show();
    QVERIFY(QTest::qWaitForWindowExposed(fresh));
    QVERIFY(!fresh->findChild<QDockWidget*>());
    QVERIFY(!fresh->findChild<QListWidget*>());
    // Enter records without building the panel.
    TypeInto(fresh->findChild<QLineEdit*>("currentDecimal"), "7");
    QTest::keyClick(fresh->findChild<QLineEdit*>("currentDecimal"), Qt::Key_Return);
    QVERIFY(!fresh->findChild<QDockWidget*>());
    QCOMPARE(HistoryStore().history().size(), std::size_t(1));
}

void HistoryWindowTest::ctrlHShowsAndHidesThePanel()
{
    QAction* show = child<QAction>("actionShowHistory");
    QVERIFY(show->isCheckable());
    child<QLineEdit>("currentHexadecimal")->setFocus();
    const int narrow = view->width();
    QListWidget* list = openPanel();
    QVERIFY(show->isChecked());
    QTRY_COMPARE(QApplication::focusWidget(), list);
    QVERIFY(view->width() > narrow);
    // From the list, as from a field.
    PressInFocus("Ctrl+H");
    QTRY_VERIFY(!child<QDockWidget>("historyPanel")->isVisible());
    QVERIFY(!show->isChecked());
    QCOMPARE(view->width(), narrow);
    // Closed by its own button, the panel unchecks the menu's item.
    openPanel();
    child<QDockWidget>("historyPanel")->close();
    QTRY_VERIFY(!show->isChecked());
}

void HistoryWindowTest::panelIsNamedAndExplained()
{
    openPanel();
    for (const char* name : { "historyList", "clearHistoryButton" }) {
        auto* widget = child<QWidget>(name);
        QVERIFY2(!widget->accessibleName().isEmpty(), name);
        QVERIFY2(!widget->toolTip().isEmpty(), name);
    }
    run("type currentHexadecimal 1f|key currentHexadecimal Return");
    QListWidget* list = child<QListWidget>("historyList");
    QTRY_COMPARE(list->count(), 1);
    const QString details = list->item(0)->toolTip();
    QVERIFY2(
        details.startsWith("Value, hexadecimal \u00B7 unsigned, big-endian"), qPrintable(details));
}

// The math area opens beside the rows, not over the panel's room, on a
// screen wide enough for both: the rows get what they get without it.
void HistoryWindowTest::panelKeepsItsWidthBesideTheMathArea()
{
    view->move(view->screen()->availableGeometry().topLeft());
    auto* rows = child<QWidget>("centralWidget");
    run("open math");
    const int rowsWithMath = rows->width();
    PressInFocus("Ctrl+M");
    QTRY_VERIFY(!child<QWidget>("expandedBox")->isVisible());

    openPanel();
    auto* panel = child<QDockWidget>("historyPanel");
    const int panelWidth = panel->width();
    const int windowWidth = view->width();
    run("open math");
    QTRY_COMPARE(rows->width(), rowsWithMath);
    QCOMPARE(panel->width(), panelWidth);
    PressInFocus("Ctrl+M");
    QTRY_COMPARE(view->width(), windowWidth);
    QCOMPARE(panel->width(), panelWidth);
}

void HistoryWindowTest::enterOnAnEntryRestoresItAsOneStep_data()
{
    QTest::addColumn<QString>("recorded");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("restored");
    QTest::addColumn<QString>("undone");
    QTest::newRow("an expression's text")
        << "type currentDecimal 0x10 << 3|key currentDecimal Return"
        << "type currentHexadecimal 5" << 0 << "currentDecimal"
        << "0x10 << 3"
        << "5";
    QTest::newRow("an older entry")
        << "type currentDecimal 1|key currentDecimal Return|type currentDecimal 2|"
           "key currentDecimal Return"
        << "type currentOctal 7" << 1 << "currentDecimal"
        << "1"
        << "7";
}

void HistoryWindowTest::enterOnAnEntryRestoresItAsOneStep()
{
    QFETCH(QString, recorded);
    QFETCH(QString, after);
    QFETCH(int, row);
    QFETCH(QString, field);
    QFETCH(QString, restored);
    QFETCH(QString, undone);
    if (!run(recorded) || !run(after))
        return;
    QListWidget* list = openPanel();
    list->setCurrentRow(row);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(child<QLineEdit>(field)->text(), restored);
    PressInFocus("Ctrl+Z");
    QCOMPARE(child<QLineEdit>(field)->text(), undone);
    PressInFocus("Ctrl+Shift+Z");
    QCOMPARE(child<QLineEdit>(field)->text(), restored);
}

void HistoryWindowTest::deleteRemovesAnEntryAndCtrlZBringsItBack()
{
    run("type currentDecimal 1|key currentDecimal Return|type currentDecimal 2|"
        "key currentDecimal Return|type currentDecimal 3|key currentDecimal Return");
    QListWidget* list = openPanel();
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Delete);
    const QString dot = QString::fromUtf8(" \u00B7 ");
    const QStringList all { "3 = 3" + dot + "32 bits", "2 = 2" + dot + "32 bits",
        "1 = 1" + dot + "32 bits" };
    QCOMPARE(listed(), QStringList({ all[0], all[2] }));
    // The next entry is current, for the next Delete.
    QCOMPARE(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(listed(), QStringList { all[0] });
    QCOMPARE(HistoryStore().history().size(), std::size_t(1));
    // The rows are not touched; each removal is a step, undone in its place.
    QCOMPARE(child<QLineEdit>("currentDecimal")->text(), QString("3"));
    PressInFocus("Ctrl+Z");
    PressInFocus("Ctrl+Z");
    QCOMPARE(listed(), all);
    QCOMPARE(HistoryStore().history().size(), std::size_t(3));
    QCOMPARE(child<QLineEdit>("currentDecimal")->text(), QString("3"));
    PressInFocus("Ctrl+Shift+Z");
    QCOMPARE(listed(), QStringList({ all[0], all[2] }));
}

void HistoryWindowTest::clearEmptiesTheHistoryOnceConfirmed_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void HistoryWindowTest::clearEmptiesTheHistoryOnceConfirmed()
{
    QFETCH(bool, confirmed);
    run("type currentDecimal 1|key currentDecimal Return|type currentDecimal 2|"
        "key currentDecimal Return");
    openPanel();
    auto* clear = child<QPushButton>("clearHistoryButton");
    QVERIFY(clear->isEnabled());
    // The question is answered from the keyboard: Enter takes its default,
    // Cancel, and Space the Clear button once it has the focus.
    auto* answer = new QTimer(this);
    connect(answer, &QTimer::timeout, this, [answer, confirmed] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!question || !question->isVisible())
            return;
        answer->stop();
        answer->deleteLater();
        for (QAbstractButton* button : question->buttons()) {
            if (confirmed && question->buttonRole(button) == QMessageBox::DestructiveRole) {
                button->setFocus(Qt::TabFocusReason);
                QTest::keyClick(button, Qt::Key_Space);
                return;
            }
        }
        QTest::keyClick(question, Qt::Key_Return);
    });
    answer->start(10);
    clear->setFocus(Qt::TabFocusReason);
    QTest::keyClick(clear, Qt::Key_Space);
    QCOMPARE(listed().size(), confirmed ? 0 : 2);
    QCOMPARE(HistoryStore().history().size(), std::size_t(confirmed ? 0 : 2));
    QCOMPARE(clear->isEnabled(), !confirmed);
}

// The keys reach the model's walk from either row; the walk itself is
// tested on the model.
void HistoryWindowTest::upAndDownRecall_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");
    const char* const entered = "type currentDecimal 0x10 << 3|key currentDecimal Return|"
                                "type currentHexadecimal b|key currentHexadecimal Return|";
    QTest::newRow("up in a field Bitlens wrote, past the oldest")
        << QString(entered) + "key currentDecimal Up Up"
        << "currentDecimal"
        << "0x10 << 3";
    QTest::newRow("the keypad's arrows")
        << QString(entered) + "type currentHexadecimal |key currentHexadecimal Num+Up"
        << "currentHexadecimal"
        << "b";
    QTest::newRow("not over a text being typed")
        << QString(entered) + "type currentHexadecimal 12|key currentHexadecimal Up"
        << "currentHexadecimal"
        << "12";
    QTest::newRow("a key after Enter replaces a calculation's result")
        << "type currentDecimal 0x10 << 3|key currentDecimal Return 5"
        << "currentDecimal"
        << "5";
    QTest::newRow("in an Operand field")
        << QString(entered) + "open math|type operandHexadecimal |key operandHexadecimal Up"
        << "operandHexadecimal"
        << "b";
}

void HistoryWindowTest::upAndDownRecall()
{
    QFETCH(QString, steps);
    QFETCH(QString, field);
    QFETCH(QString, shown);
    if (!run(steps))
        return;
    QCOMPARE(child<QLineEdit>(field)->text(), shown);
}

void HistoryWindowTest::windowsShareTheHistory()
{
    newWindow();
    QTRY_COMPARE(Windows().size(), 2);
    ConverterView* second = Windows().at(0) == view ? Windows().at(1) : Windows().at(0);
    openPanel();
    auto* secondField = second->findChild<QLineEdit*>("currentDecimal");
    TypeInto(secondField, "42");
    QTest::keyClick(secondField, Qt::Key_Return);
    QTRY_COMPARE(listed().size(), 1);
    // And Up in the first window recalls what the second entered.
    run("type currentDecimal |key currentDecimal Up");
    QCOMPARE(child<QLineEdit>("currentDecimal")->text(), QString("42"));
}

QTEST_MAIN(HistoryWindowTest)
#include "HistoryWindowTest.moc"
