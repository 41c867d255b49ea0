// The window at every screen size, scale factor, language and palette a
// user may have: what must show whole, what must be reachable, what must
// keep apart, and where the window must stay.
//
// Started with a screen size and scale factors ("layout_tests 1920x1080
// 1 2"), the program is the harness: it starts Xvfb at that size with
// openbox on it, and runs itself once per scale factor and language
// (English, German) on the xcb platform against them, each such run
// described by BITLENS_LAYOUT_RUN, as a run on any other platform is
// BITLENS_LAYOUT_RUN ("1600x1000 at 2, de": the screen in device pixels,
// the scale factor and the language). With BITLENS_LAYOUT_SHOTS naming a
// folder, each run leaves a screenshot of every state it checks there.
#include "WindowTestSupport.h"
#include "XServer.h"
#include "app/Translations.h"
#include "files/WindowStateStore.h"
#include "window/BitGrid.h"
#include "window/WarningLabel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char kRunVariable[] = "BITLENS_LAYOUT_RUN";

QPalette DarkPalette()
{
    QPalette dark(QColor(53, 53, 53), QColor(53, 53, 53));
    for (const QPalette::ColorRole role :
        { QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText })
        dark.setColor(role, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(35, 35, 35));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// A widget the user works with, shown and named; the boxes and panels that
// hold such widgets are reached through them.
bool IsNamedControl(const QWidget* widget)
{
    const auto named = [](const QWidget* each) {
        return each->isVisible() && !each->objectName().isEmpty()
            && !each->objectName().startsWith("qt_");
    };
    const QList<QWidget*> inside = widget->findChildren<QWidget*>();
    return named(widget) && !widget->isWindow()
        && std::none_of(inside.begin(), inside.end(), named);
}

// Whether `widget` is in a panel tabbed together with another, the other's
// tab raised.
bool InTabBehind(const QMainWindow& window, const QWidget& widget)
{
    for (QDockWidget* dock : window.findChildren<QDockWidget*>())
        if (dock->isAncestorOf(&widget) && !dock->isFloating()
            && !window.tabifiedDockWidgets(dock).isEmpty())
            return true;
    return false;
}

} // namespace

class LayoutTest : public WindowTest {
    Q_OBJECT

public:
    LayoutTest()
        : WindowTest(eActive)
    { }

private slots:
    void initTestCase();
    void init();
    void valueRowShowsSixtyFourBitsAtItsOpeningSize_data();
    void valueRowShowsSixtyFourBitsAtItsOpeningSize();
    void everythingShows_data();
    void everythingShows();
    void windowStaysWhereItIsPut();
    void narrowestWindowShowsThirtyTwoBitsInEveryRow();
    void fieldDigitsLineUp();
    void hiddenBinaryLeavesRoomAtSixtyFourBits();
    void secondStartRestoresTheWindow();

private:
    // Until the window manager has placed the window and it stays put.
    void settle() const;
    void setPanel(const char* action, bool shown) const;
    // One check's offenders, expected or not.
    void expect(const char* check, const char* state, const QStringList& offenders) const;
    // Every check of what shows, in `state` ("math", "panels", ...).
    void checkEverythingShows(const char* state) const;

    QStringList unreachable() const;
    QStringList cutFields() const;
    QStringList sidewaysScrolling() const;
    QStringList squeezed() const;
    QStringList labelsTooClose() const;

    QTemporaryDir fHome;
    QString fRun;
};

void LayoutTest::initTestCase()
{
    WindowTest::initTestCase();
    // The layouts, the history and the window's state go to scratch folders.
    for (const char* folder : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME" })
        qputenv(folder, fHome.filePath(folder).toUtf8());
    fRun = qEnvironmentVariable(kRunVariable);
    QCOMPARE(!LoadTranslations(*qApp).isEmpty(), fRun.endsWith("de"));
    const QStringList pixels = fRun.section(' ', 0, 0).split('x');
    const double scale = fRun.section(' ', 2, 2).chopped(1).toDouble();
    QVERIFY(pixels.size() == 2 && scale > 0);
    const QSize logical(
        int(std::lround(pixels[0].toInt() / scale)), int(std::lround(pixels[1].toInt() / scale)));
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), logical);
    qInfo("%s: %d x %d logical pixels", qPrintable(fRun), logical.width(), logical.height());
}

// The palette comes before the window, as a desktop's would; the window
// then stands where a user would put it, in the middle of the screen.
void LayoutTest::init()
{
    const bool dark = QByteArray(QTest::currentDataTag()).startsWith("dark");
    QApplication::setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());
    WindowTest::init();
    settle();
    const QRect room = view->screen()->availableGeometry();
    view->move(view->frameGeometry().topLeft() + room.center() - view->frameGeometry().center());
    settle();
}

void LayoutTest::settle() const
{
    QRect last;
    for (int still = 0, tries = 0; still < 3 && tries < 60; ++tries) {
        QTest::qWait(50);
        still = view->frameGeometry() == last ? still + 1 : 0;
        last = view->frameGeometry();
    }
}

void LayoutTest::setPanel(const char* action, bool shown) const
{
    if (child<QAction>(action)->isChecked() != shown)
        child<QAction>(action)->trigger();
    settle();
}

void LayoutTest::expect(const char* check, const char* state, const QStringList& offenders) const
{
    const QString folder = qEnvironmentVariable("BITLENS_LAYOUT_SHOTS");
    if (!folder.isEmpty() && qstrcmp(check, "reach") == 0) {
        QString name = fRun + ' ' + QTest::currentDataTag() + ' ' + state;
        name.replace(QRegularExpression("[^A-Za-z0-9.]+"), "-");
        view->screen()->grabWindow(0).save(QDir(folder).filePath(name + ".png"));
    }
    if (!offenders.isEmpty())
        qInfo("%s, %s: %s", state, check, qPrintable(offenders.join(", ")));
    QVERIFY2(offenders.isEmpty(), qPrintable(QString(check) + ": " + offenders.join(", ")));
}

void LayoutTest::checkEverythingShows(const char* state) const
{
    settle();
    expect("reach", state, unreachable());
    expect("sideways", state, sidewaysScrolling());
    expect("cut", state, cutFields());
    expect("squeezed", state, squeezed());
    expect("apart", state, labelsTooClose());
    // Each message line shows whole, once scrolled to, and nothing covers it.
    QStringList hidden;
    const QStringList missing = unreachable();
    for (WarningLabel* message : view->findChildren<WarningLabel*>()) {
        if (!message->isVisible())
            continue;
        child<QScrollArea>("windowScrollArea")->ensureWidgetVisible(message, 0, 0);
        if (message->visibleRegion() != QRegion(message->rect())
            || missing.contains(message->objectName()))
            hidden << message->objectName();
    }
    expect("message", state, hidden);
}

QStringList LayoutTest::unreachable() const
{
    QStringList missing;
    if (!view->screen()->availableGeometry().contains(view->frameGeometry()))
        missing << "the window";
    auto* area = child<QScrollArea>("windowScrollArea");
    for (QWidget* widget : view->findChildren<QWidget*>()) {
        if (!IsNamedControl(widget))
            continue;
        const QRect inWindow(widget->mapTo(view, QPoint(0, 0)), widget->size());
        if (area->widget()->isAncestorOf(widget)) {
            // Scrolling down brings it into view whole; sideways does not count.
            const QRect inContent(widget->mapTo(area->widget(), QPoint(0, 0)), widget->size());
            const int left = inContent.left() - area->horizontalScrollBar()->value();
            if (left < 0 || left + inContent.width() > area->viewport()->width()
                || inContent.height() > area->viewport()->height())
                missing << widget->objectName();
        } else if (!view->rect().contains(inWindow) || widget->visibleRegion().isEmpty()) {
            // A panel behind another one's tab is a click on its tab away.
            if (!InTabBehind(*view, *widget))
                missing << widget->objectName();
        }
    }
    return missing;
}

// Only a text that fits keeps its first and last cursor positions as far
// apart as the text is wide.
QStringList LayoutTest::cutFields() const
{
    QStringList cut;
    for (QLineEdit* field : view->findChildren<QLineEdit*>()) {
        if (!field->isVisible() || field->text().isEmpty() || field->objectName().isEmpty())
            continue;
        const int cursor = field->cursorPosition();
        field->home(false);
        const int first = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        field->end(false);
        const int last = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        field->setCursorPosition(cursor);
        if (last - first < field->fontMetrics().horizontalAdvance(field->text()) - 1)
            cut << field->objectName();
    }
    return cut;
}

QStringList LayoutTest::sidewaysScrolling() const
{
    QStringList scrolling;
    for (QAbstractScrollArea* area : view->findChildren<QAbstractScrollArea*>())
        if (area->isVisible() && area->horizontalScrollBar()->isVisible())
            scrolling << area->objectName();
    return scrolling;
}

// Grids, popups, buttons and message lines are never squeezed; a grid's
// cells grow from its least width.
QStringList LayoutTest::squeezed() const
{
    QStringList narrow;
    for (QWidget* widget : view->findChildren<QWidget*>()) {
        const bool grid = qobject_cast<BitGrid*>(widget) != nullptr;
        if (widget->isVisible() && !widget->objectName().startsWith("qt_")
            && (grid || qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractButton*>(widget)
                || qobject_cast<WarningLabel*>(widget))
            && widget->width() < (grid ? widget->minimumSizeHint() : widget->sizeHint()).width())
            narrow << widget->objectName();
    }
    return narrow;
}

// Two labels on one line are more than twice a word space apart, so that
// they never read as one phrase: "Result" beside "Operation:" in every
// language.
QStringList LayoutTest::labelsTooClose() const
{
    std::vector<std::pair<QString, QRect>> texts;
    for (QLabel* label : view->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || !view->isAncestorOf(label))
            continue;
        // Only what shows counts: a label scrolled out of the rows' view is
        // clipped, and cannot crowd a panel's label where it would lie.
        const QRect shown = label->visibleRegion().boundingRect();
        if (shown.isEmpty())
            continue;
        const QSize size = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        const QRect text = QStyle::alignedRect(
            label->layoutDirection(), label->alignment(), size, label->contentsRect())
                               .intersected(shown);
        if (!text.isEmpty())
            texts.emplace_back(label->objectName(), text.translated(label->mapTo(view, QPoint())));
    }
    const int apart = 2 * view->fontMetrics().horizontalAdvance(QLatin1Char(' ')) + 1;
    QStringList close;
    for (std::size_t one = 0; one < texts.size(); ++one) {
        for (std::size_t other = one + 1; other < texts.size(); ++other) {
            const QRect a = texts[one].second;
            const QRect b = texts[other].second;
            const int gap = std::max(a.left(), b.left()) - std::min(a.right(), b.right()) - 1;
            if (a.top() <= b.bottom() && b.top() <= a.bottom() && gap < apart)
                close << texts[one].first + " and " + texts[other].first;
        }
    }
    return close;
}

void LayoutTest::valueRowShowsSixtyFourBitsAtItsOpeningSize_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("characters");
    // 64 bits fit the window as it opens; 128, typed, grow it.
    QTest::newRow("64 bits") << "choose bitWidthPopup 64 bits|type currentHexadecimal 8000 0000 "
                                "0000 0001"
                             << 79;
    QTest::newRow("128 bits, typed") << "type currentHexadecimal 8000 0000 0000 0000 0000 0000 "
                                        "0000 0001"
                                     << 159;
}

void LayoutTest::valueRowShowsSixtyFourBitsAtItsOpeningSize()
{
    QFETCH(QString, steps);
    QFETCH(int, characters);
    const int opened = view->width();
    if (!run(steps))
        return;
    settle();
    if (characters == 79)
        QCOMPARE(view->width(), opened);
    QCOMPARE(child<QLineEdit>("currentBinary")->text().size(), characters);
    checkEverythingShows("math closed");
}

void LayoutTest::everythingShows_data()
{
    QTest::addColumn<QString>("steps");
    const QString value = "type currentHexadecimal ffff ffff ffff ffff g|";
    const QString operand = "type operandHexadecimal 8000 0000 0000 0001|choose mathOperation XOR";
    QTest::newRow("light, 64 bits chosen, then math")
        << "choose bitWidthPopup 64 bits|open math|" + value + operand;
    QTest::newRow("dark, 64 bits chosen with math open")
        << "open math|choose bitWidthPopup 64 bits|" + value + operand;
    QTest::newRow("light, widened by typing, every message shown") << "open math|" + value
            + "type operandHexadecimal 8000 0000 0000 0001 g|"
              "choose mathOperation arithmetic shift right";
    QTest::newRow("dark, widened by typing") << "open math|" + value + operand;
}

// Math open at 64 bits with a message under the Value row; then both
// panels shown, with a field named; then back at 32 bits.
void LayoutTest::everythingShows()
{
    QFETCH(QString, steps);
    if (!run(steps))
        return;
    for (const char* name : { "currentBinary", "operandBinary", "resultBinary" })
        QCOMPARE(child<QLineEdit>(name)->text().size(), 79);
    checkEverythingShows("math");
    setPanel("actionShowHistory", true);
    setPanel("actionShowBitFields", true);
    QTest::mouseClick(child<QPushButton>("bitFieldAddButton"), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    checkEverythingShows("panels");
    if (run("choose bitWidthPopup 32 bits"))
        checkEverythingShows("panels, back at 32 bits");
}

// Its top left corner stays where the user put it while the math area and
// each panel open and close; closing the math area gives its room back.
void LayoutTest::windowStaysWhereItIsPut()
{
    const QRect put = view->frameGeometry();
    const std::pair<const char*, std::function<void()>> steps[] = {
        { "math opened", [this] { run("open math"); } },
        { "math closed", [this] { run("click mathDisclosure"); } },
        { "history shown", [this] { setPanel("actionShowHistory", true); } },
        { "history hidden", [this] { setPanel("actionShowHistory", false); } },
        { "bit fields shown", [this] { setPanel("actionShowBitFields", true); } },
        { "bit fields hidden", [this] { setPanel("actionShowBitFields", false); } },
    };
    // Only the screen's edge may move it: a window that would still fit
    // where it was put stays there, and closing puts it back.
    const QRect room = view->screen()->availableGeometry();
    QStringList moved;
    for (const auto& [name, act] : steps) {
        act();
        settle();
        const QPoint now = view->frameGeometry().topLeft();
        const bool forced = !room.contains(QRect(put.topLeft(), view->frameGeometry().size()));
        if (now != put.topLeft()
            && (!forced || QByteArray(name).endsWith("hidden")
                || QByteArray(name).endsWith("closed")))
            moved << QString("%1 at %2,%3 (%4 wide, put at %5)")
                         .arg(name)
                         .arg(now.x())
                         .arg(now.y())
                         .arg(view->frameGeometry().width())
                         .arg(put.x());
        if (qstrcmp(name, "math closed") == 0)
            QCOMPARE(view->frameGeometry().size(), put.size());
    }
    expect("moved", "", moved);
}

void LayoutTest::narrowestWindowShowsThirtyTwoBitsInEveryRow()
{
    if (!run("open math|type currentHexadecimal ffffffff|type operandHexadecimal ffffffff"))
        return;
    view->resize(view->minimumSizeHint());
    settle();
    for (const char* name : { "currentBinary", "operandBinary", "resultBinary" })
        QCOMPARE(
            child<QLineEdit>(name)->text(), QString("1111 1111 1111 1111 1111 1111 1111 1111"));
    expect("cut", "narrowest", cutFields());
}

// Every digit, letter digit and group space is as wide as the others, so
// that digits line up from row to row.
void LayoutTest::fieldDigitsLineUp()
{
    for (QLineEdit* field : view->findChildren<QLineEdit*>()) {
        const QFontMetrics metrics(field->font());
        for (const QChar digit : QStringLiteral("123456789abcdefxyz .-+"))
            QVERIFY2(metrics.horizontalAdvance(digit) == metrics.horizontalAdvance('0'),
                qPrintable(field->objectName() + ": " + digit));
    }
}

// The smallest screen holds the math area at 64 bits without the binary
// fields, which a user hides to make room.
void LayoutTest::hiddenBinaryLeavesRoomAtSixtyFourBits()
{
    if (!fRun.startsWith("1280x720"))
        QSKIP("the smallest screen only");
    auto* binary = child<QAction>("viewNotationBinary");
    binary->trigger();
    // The choice is remembered: the next test's window shows every notation.
    const auto showAgain = qScopeGuard([binary] { binary->trigger(); });
    if (!run("open math|choose bitWidthPopup 64 bits|type currentHexadecimal ffff ffff ffff ffff"))
        return;
    for (const char* name : { "currentBinary", "operandBinary", "resultBinary", "labelBinary" })
        QVERIFY2(!child<QWidget>(name)->isVisible(), name);
    checkEverythingShows("binary hidden");
}

// The window opens again as it was left: its place, the math area, the
// panels, the width, the notations hidden, the layout.
void LayoutTest::secondStartRestoresTheWindow()
{
    QVERIFY(run("choose bitWidthPopup 64 bits|open math"));
    setPanel("actionShowHistory", true);
    child<QAction>("viewNotationOctal")->trigger();
    settle();
    const QRect left = view->frameGeometry();
    const int panelWidth = child<QDockWidget>("historyPanel")->width();
    view->close();

    view = new ConverterView;
    view->takeUp(WindowStateStore().load());
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    settle();
    QCOMPARE(view->frameGeometry(), left);
    QCOMPARE(view->model().width(), UInt16(64));
    QVERIFY(view->model().mathEnabled() && !view->model().canUndo());
    QVERIFY(child<QDockWidget>("historyPanel")->isVisible());
    QCOMPARE(child<QDockWidget>("historyPanel")->width(), panelWidth);
    QVERIFY(!child<QLineEdit>("currentOctal")->isVisible());
}

namespace {

// The harness: an X server of the screen's size with a window manager, and
// a run of this program per scale factor and language against it.
int Drive(const QStringList& arguments)
{
    const QString size = arguments.front();
    XServer server;
    for (const QString& problem : { server.start(XVFB_PROGRAM, 10000, size),
             server.startWindowManager(OPENBOX_PROGRAM, 10000) }) {
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            return 1;
        }
    }
    int failed = 0;
    for (const QString& scale : arguments.mid(1)) {
        for (const QString language : { "en", "de" }) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (const char* unset : { "LC_ALL", "LC_MESSAGES", "LANGUAGE" })
                environment.remove(unset);
            environment.insert("DISPLAY", QString::fromLatin1(server.display()));
            // No session bus: nothing checked here needs one, and the user's
            // own is never reached.
            environment.insert("DBUS_SESSION_BUS_ADDRESS",
                "unix:path=" + QDir::temp().filePath("bitlens-layout-tests-no-bus"));
            environment.insert("QT_QPA_PLATFORM", "xcb");
            environment.insert("QT_SCALE_FACTOR", scale);
            environment.insert("LANG", language == "de" ? "de_DE.UTF-8" : "C.UTF-8");
            environment.insert(kRunVariable, QString("%1 at %2, %3").arg(size, scale, language));
            QProcess run;
            run.setProcessEnvironment(environment);
            run.setProcessChannelMode(QProcess::ForwardedChannels);
            run.start(QCoreApplication::applicationFilePath(), {});
            failed += !run.waitForFinished(240000) || run.exitStatus() != QProcess::NormalExit
                || run.exitCode() != 0;
        }
    }
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty(kRunVariable)) {
        QCoreApplication app(argc, argv);
        if (argc < 3) {
            std::fprintf(stderr, "usage: layout_tests WIDTHxHEIGHT SCALE...\n");
            return 2;
        }
        return Drive(app.arguments().mid(1));
    }
    QApplication app(argc, argv);
    LayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "XLayoutTest.moc"
