// The window's state file: what each kind of file gives at start, what a
// save does to it, and where a window goes on the screens there are.
#include "files/WindowStateStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList gWarnings;

void Collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    gWarnings.append(message);
}

WindowState Everything()
{
    WindowState state;
    state.mathOpen = true;
    state.width = 64;
    state.hiddenNotations = { eNotationText, eNotationNumVersion };
    state.panels = { { "historyPanel", true, QSize(320, 400) },
        { "bitFieldPanel", false, QSize(0, 0), true } };
    state.layoutFile = "CTRL 2.json";
    state.placements = { { "HDMI-1", QRect(1920, 0, 2560, 1440), QRect(2000, 100, 900, 700) },
        { "eDP-1", QRect(0, 0, 1920, 1080), QRect(10, 20, 800, 600) } };
    return state;
}

QByteArray Text(const WindowState& state)
{
    return WriteWindowState(state);
}

} // namespace

TEST(WindowStateStoreTest, EachFileGivesItsStateAndIsWrittenOverOnlyWhenItMayBe)
{
    const QByteArray header = "bitlens window state 1\n";
    const struct {
        const char* name;
        QByteArray contents; // "-" for no file
        bool sound; // gives what it holds; else the defaults and one warning
        bool writable; // a save replaces it
    } files[] = {
        { "missing", "-", true, true },
        { "everything", Text(Everything()), true, true },
        { "only the first line", header, true, true },
        { "blank lines", header + "\n\nwidth\t16\n\n", true, true },
        { "empty", "", false, false },
        { "from a newer Bitlens", "bitlens window state 2\nwidth\t64\n", false, false },
        { "another program's", "[General]\ngeometry=@ByteArray(...)\n", false, false },
        { "too large to be ours", header + QByteArray(70 * 1024, '\n'), false, false },
        { "an unknown setting", header + "colour\tblue\n", false, true },
        { "no such width", header + "width\t12\n", false, true },
        { "every notation hidden",
            header
                + "hidden\tbinary\tdecimal\thexadecimal\toctal\tbase36\ttext\tip\tversion\tfloat\tu"
                  "uid\n",
            false, true },
        { "a notation hidden twice", header + "hidden\ttext\ttext\n", false, true },
        { "a layout outside its folder", header + "layout\t..%2F..%2Fetc%2Fpasswd\n", false, true },
        { "a hidden layout file", header + "layout\t.x.json\n", false, true },
        { "a coordinate beyond any desktop",
            header + "placement\tX\t0\t0\t800\t600\t99999999\t0\t10\t10\n", false, true },
        { "an empty frame", header + "placement\tX\t0\t0\t800\t600\t0\t0\t0\t10\n", false, true },
        { "a line cut short", header + "placement\tHDMI-1\t0\t0\n", false, true },
        { "a setting twice", header + "math\topen\nmath\tclosed\n", false, true },
        { "a field too many", header + "width\t32\t32\n", false, true },
        { "a panel placed nowhere", header + "panel\thistoryPanel\tshown\t1\t1\tabove\n", false,
            true },
        { "a panel written before it could be below",
            header + "panel\thistoryPanel\tshown\t300\t200\n", true, true },
        { "bytes of no text", header + QByteArray("width\t\0\xff\xfe", 9) + "\n", false, true },
    };
    WindowState saved;
    saved.width = 8;
    saved.placements = { { "DP-2", QRect(0, 0, 1280, 720), QRect(5, 5, 600, 500) } };
    const QtMessageHandler previous = qInstallMessageHandler(&Collect);
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        QTemporaryDir folder;
        const QString path = folder.filePath("bitlens/window-state");
        QDir().mkpath(folder.filePath("bitlens"));
        if (file.contents != "-") {
            QFile written(path);
            ASSERT_TRUE(written.open(QIODevice::WriteOnly));
            written.write(file.contents);
        }
        gWarnings.clear();
        WindowStateStore store(path);
        const WindowState loaded = store.load();
        if (file.sound && file.contents != "-")
            EXPECT_EQ(loaded, ReadWindowState(file.contents).state.value());
        else
            EXPECT_EQ(loaded, WindowState());
        EXPECT_EQ(gWarnings.size(), file.sound ? 0 : 1) << gWarnings.join('\n').toStdString();

        EXPECT_EQ(store.save(saved), file.writable);
        QFile after(path);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        const QByteArray now = after.readAll();
        if (!file.writable) {
            EXPECT_EQ(now, file.contents);
            continue;
        }
        const std::optional<WindowState> reread = ReadWindowState(now).state;
        ASSERT_TRUE(reread);
        EXPECT_EQ(reread->width, 8);
        EXPECT_EQ(reread->placements.front(), saved.placements.front());
        QFile aside(path + ".damaged");
        EXPECT_EQ(aside.exists(), !file.sound);
        if (aside.open(QIODevice::ReadOnly))
            EXPECT_EQ(aside.readAll(), file.contents);
    }
    qInstallMessageHandler(previous);
}

// Names are the window system's and the user's: any character comes back.
TEST(WindowStateStoreTest, EveryNameComesBackAsItWas)
{
    WindowState state = Everything();
    state.layoutFile = QString::fromUtf8("tab\there, newline\nhere, 100% \xc3\xa9\xf0\x9f\x98\x80");
    state.placements.front().screen = "\t\n%25 \\";
    state.panels.front().name = "";
    const WindowStateReading reading = ReadWindowState(WriteWindowState(state));
    ASSERT_TRUE(reading.state) << reading.problem.toStdString();
    EXPECT_EQ(*reading.state, state);
}

// A save keeps the placements the file has for other screens, latest
// first; a window placed again on a screen replaces that screen's.
TEST(WindowStateStoreTest, EachScreenKeepsItsPlacement)
{
    QTemporaryDir folder;
    WindowStateStore store(folder.filePath("config/bitlens/window-state"));
    const WindowPlacement laptop { "eDP-1", QRect(0, 0, 1920, 1080), QRect(10, 10, 800, 600) };
    const WindowPlacement monitor { "HDMI-1", QRect(1920, 0, 2560, 1440),
        QRect(2000, 50, 900, 700) };
    const WindowPlacement moved { "eDP-1", QRect(0, 0, 1920, 1080), QRect(300, 200, 800, 600) };
    const WindowPlacement resized { "eDP-1", QRect(0, 0, 1366, 768), QRect(0, 0, 700, 500) };
    for (const WindowPlacement& placement : { laptop, monitor, moved, resized }) {
        WindowState state;
        state.place(placement);
        ASSERT_TRUE(store.save(state));
    }
    EXPECT_EQ(store.load().placements, (std::vector { resized, moved, monitor }));
}

TEST(WindowStateStoreTest, RestoresOnAScreenThatIsThere)
{
    const ScreenArea laptop { "eDP-1", QRect(0, 0, 1920, 1080), QRect(0, 32, 1920, 1048) };
    const ScreenArea monitor { "HDMI-1", QRect(1920, 0, 2560, 1440), QRect(1920, 0, 2560, 1400) };
    const ScreenArea smaller { "HDMI-1", QRect(1920, 0, 1280, 720), QRect(1920, 0, 1280, 720) };
    const WindowPlacement onMonitor { "HDMI-1", monitor.geometry, QRect(2100, 100, 900, 700) };
    const WindowPlacement onLaptop { "eDP-1", laptop.geometry, QRect(100, 100, 800, 600) };
    const struct {
        const char* name;
        std::vector<WindowPlacement> saved;
        std::vector<ScreenArea> screens;
        std::optional<QRect> frame;
    } cases[] = {
        { "nothing saved", {}, { laptop }, std::nullopt },
        { "no screen", { onLaptop }, {}, std::nullopt },
        { "where it was", { onMonitor, onLaptop }, { laptop, monitor }, onMonitor.frame },
        { "the screen of its own, not the latest", { onMonitor, onLaptop }, { laptop },
            onLaptop.frame },
        { "its screen smaller now: moved and shrunk onto it", { onMonitor }, { laptop, smaller },
            QRect(2100, 20, 900, 700) },
        { "its screen gone: at its place on the primary", { onMonitor }, { laptop },
            QRect(180, 100, 900, 700) },
        { "below the panel, never under it",
            { { "eDP-1", laptop.geometry, QRect(50, 0, 800, 600) } }, { laptop },
            QRect(50, 32, 800, 600) },
        { "larger than the screen: shrunk to it",
            { { "eDP-1", laptop.geometry, QRect(-100, -100, 4000, 3000) } }, { laptop },
            laptop.available },
        { "off every screen: brought back",
            { { "eDP-1", laptop.geometry, QRect(-5000, 9000, 800, 600) } }, { laptop, monitor },
            QRect(0, 480, 800, 600) },
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(RestoredFrame(each.saved, each.screens), each.frame);
    }
}

TEST(WindowStateStoreTest, NewWindowsCascadeAndStayOnTheScreen)
{
    const QRect screen(0, 32, 1920, 1048);
    const QPoint step(24, 24);
    const struct {
        const char* name;
        QRect last;
        QRect next;
    } cases[] = {
        { "offset from the last", QRect(100, 100, 800, 600), QRect(124, 124, 800, 600) },
        { "past the right edge: from the top left", QRect(1100, 100, 800, 600),
            QRect(0, 32, 800, 600) },
        { "past the bottom: from the top left", QRect(100, 460, 800, 600), QRect(0, 32, 800, 600) },
        { "larger than the screen: shrunk", QRect(0, 0, 3000, 2000), screen },
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(CascadeFrom(each.last, screen, step), each.next);
    }
}
