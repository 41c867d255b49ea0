// The real program on real displays, as a desktop starts it: two X servers
// (Xvfb) and a headless Wayland compositor (weston), every launch a process
// of its own. What a user would see is read back from the servers.
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "XServer.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTimeoutMs = 15000;

// A launch's environment: its display and its runtime folder, and nothing
// of the test run's own desktop.
QProcessEnvironment launchEnvironment(
    const QMap<QString, QString>& settings, const QStringList& unset = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
             "DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN", "WAYLAND_DEBUG" })
        environment.remove(name);
    for (const QString& name : unset)
        environment.remove(name);
    for (auto setting = settings.cbegin(); setting != settings.cend(); ++setting)
        environment.insert(setting.key(), setting.value());
    return environment;
}

QByteArray desktopEntryKey(const char* key)
{
    QFile entry(QStringLiteral(DESKTOP_ENTRY));
    if (!entry.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : entry.readAll().split('\n'))
        if (line.startsWith(QByteArray(key) + '='))
            return line.mid(qstrlen(key) + 1);
    return {};
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<XServer> fFirst, fSecond;
    std::unique_ptr<QTemporaryDir> fRuntime;
    std::vector<std::unique_ptr<QProcess>> fRunning;

    // A launch that stays: an instance with its windows.
    QProcess* startInstance(
        const QProcessEnvironment& environment, const QStringList& arguments = {})
    {
        fRunning.push_back(std::make_unique<QProcess>());
        QProcess* process = fRunning.back().get();
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(BITLENS_PROGRAM), arguments);
        return process;
    }

    // A launch that hands over and ends; its exit status, or -1 if it did not end.
    int launch(const QProcessEnvironment& environment, const QStringList& arguments = {},
        QByteArray* errors = nullptr)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BITLENS_PROGRAM), arguments);
        if (!process.waitForFinished(kTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        if (errors)
            *errors = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QProcessEnvironment onX(const XServer& server, const QString& runtime = {}) const
    {
        return launchEnvironment({ { "DISPLAY", server.display() },
            { "XDG_RUNTIME_DIR", runtime.isEmpty() ? fRuntime->path() : runtime } });
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(QStringLiteral(XVFB_PROGRAM)))
            QFAIL("Xvfb is not installed (scripts/install-deps test)");
        fFirst = std::make_unique<XServer>();
        fSecond = std::make_unique<XServer>();
        for (XServer* server : { fFirst.get(), fSecond.get() })
            if (const QString error = server->start(QStringLiteral(XVFB_PROGRAM), kTimeoutMs);
                !error.isEmpty())
                QFAIL(qPrintable(error));
    }

    void init()
    {
        fRuntime = std::make_unique<QTemporaryDir>();
        QVERIFY(fRuntime->isValid());
        fFirst->forgetMessages();
    }

    void cleanup()
    {
        for (const auto& process : fRunning) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
        }
        fRunning.clear();
        // Gone from the servers before the next test counts windows.
        QTRY_VERIFY_WITH_TIMEOUT(
            fFirst->windows().empty() && fSecond->windows().empty(), kTimeoutMs);
    }

    void launchHandsOverOnlyOnItsOwnDisplay_data()
    {
        QTest::addColumn<QString>("screen"); // how the second launch spells the first's display
        QTest::addColumn<bool>("handsOver");
        QTest::newRow("the same display") << "" << true;
        QTest::newRow("with a screen number") << ".0" << true;
        QTest::newRow("as unix:") << "unix" << true;
        QTest::newRow("another display") << "other" << false;
    }
    void launchHandsOverOnlyOnItsOwnDisplay()
    {
        QFETCH(QString, screen);
        QFETCH(bool, handsOver);
        QProcess* first = startInstance(onX(*fFirst));
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->windowsOf(*first).size(), std::size_t(1), kTimeoutMs);

        QString display = fFirst->display();
        if (screen == "unix")
            display.prepend("unix");
        else if (screen == "other")
            display = fSecond->display();
        else
            display += screen;
        QProcessEnvironment environment = onX(*fFirst);
        environment.insert("DISPLAY", display);
        if (handsOver) {
            QCOMPARE(launch(environment), 0);
        } else {
            QProcess* second = startInstance(environment);
            QTRY_COMPARE_WITH_TIMEOUT(
                fSecond->windowsOf(*second).size(), std::size_t(1), kTimeoutMs);
        }
        QCOMPARE(fFirst->windows().size(), std::size_t(1));
    }

    // Each launch's window ends up in the front, over another program's
    // window too; a launcher's startup id gives the window manager what it
    // needs to allow it, and ends the launcher's busy cursor.
    void launchComesToTheFront_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("startupId"); // as a launcher sets it, or none from a shell
        QTest::newRow("covered window, from a launcher")
            << QStringList {} << QByteArray("bitlens-test-1_TIME4242");
        QTest::newRow("covered window, from a shell") << QStringList {} << QByteArray();
        QTest::newRow("new window") << QStringList { "--new-window" } << QByteArray();
        QTest::newRow("TEXT, from a launcher")
            << QStringList { "--width", "8", "0x1ff" } << QByteArray("bitlens-test-2_TIME77");
    }
    void launchComesToTheFront()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, startupId);
        const bool opensWindow = !arguments.isEmpty();
        QProcess* first = startInstance(onX(*fFirst));
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->windowsOf(*first).size(), std::size_t(1), kTimeoutMs);
        // Another program's window on top: here a Bitlens that runs on its own.
        QTemporaryDir otherRuntime;
        QProcess* cover = startInstance(onX(*fFirst, otherRuntime.path()));
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->windows().size(), std::size_t(2), kTimeoutMs);
        QCOMPARE(fFirst->windows().back().pid, uint(cover->processId()));
        const xcb_window_t covered = fFirst->windowsOf(*first).front().id;
        fFirst->forgetMessages();

        QProcessEnvironment environment = onX(*fFirst);
        if (!startupId.isEmpty())
            environment.insert("DESKTOP_STARTUP_ID", startupId);
        QCOMPARE(launch(environment, arguments), 0);
        QTRY_COMPARE_WITH_TIMEOUT(
            fFirst->windowsOf(*first).size(), std::size_t(opensWindow ? 2 : 1), kTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(
            fFirst->windows().back().pid, uint(first->processId()), kTimeoutMs);
        const XWindow front = fFirst->windows().back();
        QVERIFY(opensWindow || front.id == covered);
        // With no window manager to give it, a new window takes the focus itself.
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->focus(), opensWindow ? front.id : covered, kTimeoutMs);
        if (startupId.isEmpty())
            return;
        QCOMPARE(front.startupId, startupId);
        const quint32 time = startupId.mid(startupId.indexOf("_TIME") + 5).toUInt();
        const xcb_atom_t activate = fFirst->atom("_NET_ACTIVE_WINDOW");
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const std::vector<RootMessage>& messages = fFirst->messages();
                const std::vector<QByteArray> texts = fFirst->startupTexts(messages);
                return std::count(texts.begin(), texts.end(), "remove: ID=" + startupId) == 1
                    && std::any_of(messages.begin(), messages.end(), [&](const RootMessage& m) {
                           return m.type == activate && m.window == front.id && m.data32[0] == 1
                               && m.data32[1] == time;
                       });
            }(),
            kTimeoutMs);
    }

    // Docks and task bars group a window with its launcher by its class.
    void windowCarriesTheClassAndIconItsLauncherNames()
    {
        QProcess* first = startInstance(onX(*fFirst));
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->windowsOf(*first).size(), std::size_t(1), kTimeoutMs);
        const XWindow window = fFirst->windowsOf(*first).front();
        const QByteArray windowClass = window.wmClass.split('\0').value(1);
        QVERIFY(!windowClass.isEmpty());
        QCOMPARE(windowClass, desktopEntryKey("StartupWMClass"));
        // The icon comes just after the window is on screen.
        QTRY_VERIFY_WITH_TIMEOUT(fFirst->windowsOf(*first).front().hasIcon, kTimeoutMs);
    }

    // With no window manager on the display, the window takes the keyboard
    // focus itself: the first keys go to the Value row's binary field, and
    // the labels' letters reach their controls. Keys go where the X server
    // sends them, as xdotool types them, with the pointer off the window.
    void keyboardWorksWithoutWindowManager()
    {
        if (!QFile::exists(QStringLiteral(XDOTOOL_PROGRAM)))
            QFAIL("xdotool is not installed (scripts/install-deps test)");
        // English mnemonics, whatever the language the tests run in.
        QProcessEnvironment environment = onX(*fFirst);
        environment.insert("LC_ALL", "C.UTF-8");
        environment.remove("LANGUAGE");
        QProcess* first = startInstance(environment);
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->windowsOf(*first).size(), std::size_t(1), kTimeoutMs);
        const xcb_window_t window = fFirst->windowsOf(*first).front().id;
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->focus(), window, kTimeoutMs);
        fFirst->movePointerTo(1023, 767);

        const auto press = [&](const QString& keys) {
            QProcess xdotool;
            xdotool.setProcessEnvironment(
                launchEnvironment({ { "DISPLAY", QString::fromLatin1(fFirst->display()) } }));
            xdotool.start(QStringLiteral(XDOTOOL_PROGRAM),
                QStringList { "key", "--delay", "50" } + keys.split(' '));
            return xdotool.waitForFinished(kTimeoutMs)
                && xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
        };
        // 101 typed into the binary field, then the decimal field's text copied.
        QVERIFY(press("1 0 1 alt+d ctrl+a ctrl+c"));
        QTRY_COMPARE_WITH_TIMEOUT(fFirst->clipboardText(kTimeoutMs), QByteArray("5"), kTimeoutMs);
        // 64 bits from the width popup: the hexadecimal literal has every digit.
        QVERIFY(press("alt+w Down Down Return alt+x ctrl+shift+c"));
        QTRY_COMPARE_WITH_TIMEOUT(
            fFirst->clipboardText(kTimeoutMs), QByteArray("0x0000000000000005"), kTimeoutMs);
    }

    void runsOnItsOwnWhenNoChannelCanBeMade_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::newRow("no private folder") << "no private folder";
        QTest::newRow("socket path too long") << "too long";
    }
    void runsOnItsOwnWhenNoChannelCanBeMade()
    {
        QFETCH(QString, problem);
        QString runtime = fRuntime->path();
        QProcessEnvironment environment = onX(*fFirst);
        if (problem == "too long") {
            runtime += '/' + QString(100, u'x');
            QVERIFY(QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            environment.insert("XDG_RUNTIME_DIR", runtime);
        } else {
            // A runtime folder others may open, and a fallback that is no folder.
            QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0755) == 0);
            environment.insert("TMPDIR", runtime);
            QFile blocker(runtime + "/bitlens-" + QString::number(::geteuid()));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }

        // Each launch opens a window of its own and says once why.
        for (int launches = 1; launches <= 2; ++launches) {
            QProcess* process = startInstance(environment);
            QTRY_COMPARE_WITH_TIMEOUT(
                fFirst->windowsOf(*process).size(), std::size_t(1), kTimeoutMs);
            // The toolkit may add a word of its own on a runtime folder open to others.
            QList<QByteArray> ours = process->readAllStandardError().split('\n');
            ours.removeIf([](const QByteArray& line) { return !line.startsWith("bitlens"); });
            QCOMPARE(ours.size(), 1);
            QVERIFY2(ours.front().startsWith("bitlens: warning: "), ours.front().constData());
            QCOMPARE(fFirst->windows().size(), std::size_t(launches));
        }
    }

    void runsNativelyOnWayland()
    {
        if (!QFile::exists(QStringLiteral(WESTON_PROGRAM)))
            QFAIL("weston is not installed (scripts/install-deps test)");
        QProcess compositor;
        const auto stop = qScopeGuard([&compositor] {
            compositor.terminate();
            if (!compositor.waitForFinished(5000))
                compositor.kill();
        });
        const QString socket = QStringLiteral("bitlens-test");
        compositor.setProcessEnvironment(
            launchEnvironment({ { "XDG_RUNTIME_DIR", fRuntime->path() } }));
        compositor.start(QStringLiteral(WESTON_PROGRAM),
            { "--backend=headless-backend.so", "--socket=" + socket, "--idle-time=0",
                "--no-config" });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fRuntime->filePath(socket)), kTimeoutMs);

        const QProcessEnvironment environment
            = launchEnvironment({ { "QT_QPA_PLATFORM", "wayland" }, { "WAYLAND_DISPLAY", socket },
                { "XDG_RUNTIME_DIR", fRuntime->path() }, { "WAYLAND_DEBUG", "1" } });
        QProcess* first = startInstance(environment);
        QByteArray trace;
        const QByteArray appId = "set_app_id(\"io.github.bitlens.Bitlens\")";
        // Mapped: given its app id, configured, and a buffer committed after.
        const auto mappedWindows = [&] {
            trace += first->readAllStandardError();
            const qsizetype named = trace.indexOf(appId);
            const qsizetype configured = trace.indexOf("ack_configure(", named);
            return named < 0 || configured < 0 || trace.indexOf("attach(", configured) < 0
                ? 0
                : int(trace.count(appId));
        };
        QTRY_COMPARE_WITH_TIMEOUT(mappedWindows(), 1, kTimeoutMs);

        QByteArray secondTrace;
        QProcessEnvironment second = environment;
        second.insert("XDG_ACTIVATION_TOKEN", "bitlens-test-token");
        QCOMPARE(launch(second, {}, &secondTrace), 0);
        QVERIFY2(!secondTrace.contains("set_app_id"), "the second launch made a window of its own");
        // The compositor may not offer activation; when it does, the token goes to it.
        if (trace.contains("\"xdg_activation_v1\""))
            QTRY_VERIFY_WITH_TIMEOUT((trace += first->readAllStandardError())
                                         .contains("activate(\"bitlens-test-token\""),
                kTimeoutMs);

        QCOMPARE(launch(environment, { "--new-window" }), 0);
        QTRY_COMPARE_WITH_TIMEOUT(mappedWindows(), 2, kTimeoutMs);
    }
};

QTEST_GUILESS_MAIN(DesktopTest)
#include "DesktopTest.moc"
