// The desktop's search as the desktops use it: the build installed into a
// scratch prefix, a private session bus that starts the installed service
// from the installed service file when a call comes, and the calls GNOME
// Shell and KRunner make, sent by gdbus. What a user would see, the
// clipboard and the windows, is read back from an X server of our own.
#include "XServer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <memory>
#include <vector>

namespace {

constexpr int kTimeoutMs = 15000;
const char kBusName[] = "io.github.bitlens.Bitlens";
const char kProviderPath[] = "/io/github/bitlens/Bitlens/SearchProvider";
const char kProvider[] = "org.gnome.Shell.SearchProvider2";
const char kRunnerPath[] = "/runner";
const char kRunner[] = "org.kde.krunner1";
// Long enough that no activated service ends in the middle of a test.
const char kTestIdleMs[] = "60000";

// A session bus of our own that activates services from
// `serviceDirectory` only.
QByteArray busConfiguration(const QString& socketDirectory, const QString& serviceDirectory)
{
    return QStringLiteral(
        "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
        " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
        "<busconfig>\n"
        "  <type>session</type>\n"
        "  <listen>unix:tmpdir=%1</listen>\n"
        "  <auth>EXTERNAL</auth>\n"
        "  <servicedir>%2</servicedir>\n"
        "  <policy context=\"default\">\n"
        "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
        "    <allow eavesdrop=\"true\"/>\n"
        "    <allow own=\"*\"/>\n"
        "  </policy>\n"
        // As a desktop's session bus has it: a flood of calls awaits its replies.
        "  <limit name=\"max_replies_per_connection\">50000</limit>\n"
        "</busconfig>\n")
        .arg(socketDirectory.toHtmlEscaped(), serviceDirectory.toHtmlEscaped())
        .toUtf8();
}

// Running, and not a zombie that nobody has reaped yet.
bool alive(uint pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid == 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const qsizetype state = line.lastIndexOf(')') + 2;
    return state > 1 && state < line.size() && line[state] != 'Z';
}

QStringList commandLine(uint pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList arguments;
    for (const QByteArray& argument : file.readAll().split('\0'))
        arguments << QString::fromLocal8Bit(argument);
    if (!arguments.isEmpty() && arguments.back().isEmpty())
        arguments.removeLast();
    return arguments;
}

long residentKiB(uint pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The strings a flood sends: long ones, text that was not UTF-8 (the bus
// carries only UTF-8: a sender's bad bytes arrive replaced), emoji, control
// characters and lone surrogates, and numbers among them.
QStringList badStrings()
{
    return { QString(200000, u'7'), QString(70000, u'f').prepend("0x"),
        QString::fromUtf8("0x\xff\xfe\xc3\x28"
                          "ff"),
        QString::fromUtf8("\xed\xa0\x80 300"),
        QString::fromUtf8("\U0001F522\U0001F4A5 0xdeadbeef \U0001F600"),
        QStringLiteral("0xff\n\t\r\x1b[31m"), QString(QChar(0xdc00)) + "0b1010",
        QString::fromUtf8("\u202e0x12\u200b34"), QStringLiteral("192.168.1.1"),
        QStringLiteral("18446744073709551616"), QStringLiteral("0:0:0:0xff"), QString() };
}

QDBusMessage callOf(
    const char* path, const char* interface, const char* method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kBusName, path, interface, method);
    call.setArguments(arguments);
    return call;
}

// Typing fast: each prefix of a number asked for as GNOME Shell asks, without
// waiting for the answer before. The longest any answer took, in ms; -1
// when one was an error.
double slowestAnswerWhileTyping(QDBusConnection& connection)
{
    const QString typed = QStringLiteral("0xdeadbeef");
    std::vector<std::pair<QDBusPendingCall, qint64>> typing;
    QElapsedTimer clock;
    clock.start();
    for (int length = 1; length <= typed.size(); ++length)
        typing.emplace_back(connection.asyncCall(callOf(kProviderPath, kProvider,
                                "GetInitialResultSet", { QStringList { typed.left(length) } })),
            clock.nsecsElapsed());
    qint64 slowest = 0;
    for (auto& [call, sent] : typing) {
        call.waitForFinished();
        if (call.isError())
            return -1;
        slowest = std::max(slowest, clock.nsecsElapsed() - sent);
    }
    return slowest / 1e6;
}

} // namespace

class SearchServiceTest : public QObject {
    Q_OBJECT

    QTemporaryDir fScratch;
    // The installed program as the service file names it, and the file it is.
    QString fPrefix, fRuntime, fProgram, fProgramFile;
    QString fGdbus;
    std::unique_ptr<XServer> fX;
    QProcess fBus;
    QString fAddress;
    std::vector<std::unique_ptr<QProcess>> fInstances;

    // What each process of ours gets: our bus, our display (or none), our
    // runtime folder, English, and nothing of the test run's own desktop.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name :
            { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
                "DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN", "DBUS_SESSION_BUS_ADDRESS",
                "DBUS_STARTER_ADDRESS", "DBUS_STARTER_BUS_TYPE", "LANGUAGE", "LC_MESSAGES" })
            environment.remove(name);
        if (fX)
            environment.insert("DISPLAY", fX->display());
        else
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", fRuntime);
        environment.insert("LC_ALL", "C.UTF-8");
        if (!fAddress.isEmpty())
            environment.insert("DBUS_SESSION_BUS_ADDRESS", fAddress);
        return environment;
    }

    // gdbus's reply as it prints it, or "error: …" when the call failed.
    QString gdbus(const QString& path, const QString& method, const QStringList& arguments,
        const QString& destination = QString::fromLatin1(kBusName))
    {
        QProcess call;
        call.setProcessEnvironment(environment());
        call.start(fGdbus,
            QStringList { "call", "--session", "--timeout", "10", "--dest", destination,
                "--object-path", path, "--method", method }
                + arguments);
        if (!call.waitForFinished(kTimeoutMs)) {
            call.kill();
            call.waitForFinished();
            return QStringLiteral("error: gdbus did not end");
        }
        if (call.exitStatus() != QProcess::NormalExit || call.exitCode() != 0)
            return "error: " + QString::fromUtf8(call.readAllStandardError()).trimmed();
        return QString::fromUtf8(call.readAllStandardOutput()).trimmed();
    }

    QString provider(const QString& method, const QStringList& arguments = {})
    {
        return gdbus(kProviderPath, QString::fromLatin1(kProvider) + '.' + method, arguments);
    }

    QString runner(const QString& method, const QStringList& arguments = {})
    {
        return gdbus(kRunnerPath, QString::fromLatin1(kRunner) + '.' + method, arguments);
    }

    QString bus(const QString& method, const QStringList& arguments)
    {
        return gdbus("/org/freedesktop/DBus", "org.freedesktop.DBus." + method, arguments,
            "org.freedesktop.DBus");
    }

    // The process that owns the name, 0 when none does.
    uint owner()
    {
        const QString reply = bus("GetConnectionUnixProcessID", { kBusName });
        return reply.startsWith("(uint32 ") ? reply.mid(8).chopped(2).toUInt() : 0;
    }

    bool ours(uint pid) const
    {
        return alive(pid)
            && QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath()
            == fProgramFile;
    }

    // Ends a process of the installed program, and only such a one.
    void stop(uint pid)
    {
        if (!ours(pid))
            return;
        ::kill(pid_t(pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!alive(pid), kTimeoutMs);
    }

    void stopEverything()
    {
        for (const auto& instance : fInstances) {
            instance->terminate();
            if (!instance->waitForFinished(5000))
                instance->kill();
        }
        fInstances.clear();
        if (fX)
            for (const XWindow& window : fX->windows())
                stop(window.pid);
        if (!fAddress.isEmpty())
            stop(owner());
    }

    // A window instance of the installed program on our display, once it
    // owns the name; nullptr when it did not come to.
    QProcess* startWindowInstance()
    {
        fInstances.push_back(std::make_unique<QProcess>());
        QProcess* instance = fInstances.back().get();
        instance->setProcessEnvironment(environment());
        instance->start(fProgram);
        QDeadlineTimer deadline(kTimeoutMs);
        while (owner() != uint(instance->processId()) && !deadline.hasExpired())
            QTest::qWait(50);
        return deadline.hasExpired() ? nullptr : instance;
    }

    void setIdleTime(const char* milliseconds)
    {
        QCOMPARE(bus("UpdateActivationEnvironment",
                     { QStringLiteral("{'BITLENS_SEARCH_IDLE_MS': '%1'}").arg(milliseconds) }),
            QStringLiteral("()"));
    }

private slots:
    void initTestCase()
    {
        fGdbus = QStandardPaths::findExecutable("gdbus");
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty() || fGdbus.isEmpty())
            QFAIL("dbus-daemon or gdbus is not installed (scripts/install-deps test)");
        QVERIFY(fScratch.isValid());
        fPrefix = fScratch.filePath("prefix");
        fRuntime = fScratch.filePath("runtime");
        QVERIFY(QDir().mkdir(fRuntime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QProcess install;
        install.start(QStringLiteral(CMAKE_COMMAND),
            { "--install", QStringLiteral(BITLENS_BUILD_DIR), "--prefix", fPrefix });
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        fProgram = fPrefix + "/bin/bitlens";
        fProgramFile = QFileInfo(fProgram).canonicalFilePath();
        QVERIFY(!fProgramFile.isEmpty());

        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        if (!xvfb.isEmpty()) {
            fX = std::make_unique<XServer>();
            if (const QString error = fX->start(xvfb, kTimeoutMs); !error.isEmpty())
                QFAIL(qPrintable(error));
        }

        QFile configuration(fScratch.filePath("bus.conf"));
        QVERIFY(configuration.open(QIODevice::WriteOnly));
        configuration.write(busConfiguration(fScratch.path(), fPrefix + "/share/dbus-1/services"));
        configuration.close();
        QProcessEnvironment busEnvironment = environment();
        busEnvironment.insert("BITLENS_SEARCH_IDLE_MS", kTestIdleMs);
        fBus.setProcessEnvironment(busEnvironment);
        fBus.setProcessChannelMode(QProcess::SeparateChannels);
        fBus.start(
            daemon, { "--config-file=" + configuration.fileName(), "--nofork", "--print-address" });
        QDeadlineTimer deadline(kTimeoutMs);
        while (!fBus.canReadLine() && !deadline.hasExpired())
            fBus.waitForReadyRead(100);
        fAddress = QString::fromUtf8(fBus.readLine()).trimmed();
        QVERIFY2(!fAddress.isEmpty(), fBus.readAllStandardError().constData());
    }

    void cleanupTestCase()
    {
        if (fAddress.isEmpty())
            return;
        stopEverything();
        fBus.terminate();
        if (!fBus.waitForFinished(5000))
            fBus.kill();
        // The services the bus started wrote here; a sanitizer build's
        // report of a leak or a bad access at their exit fails the test.
        const QByteArray services = fBus.readAllStandardError();
        QVERIFY2(!services.contains("Sanitizer"), services.constData());
    }

    void cleanup()
    {
        stopEverything();
        QTRY_COMPARE_WITH_TIMEOUT(owner(), 0u, kTimeoutMs);
        if (fX)
            QTRY_VERIFY_WITH_TIMEOUT(fX->windows().empty(), kTimeoutMs);
    }

    // The calls as the two desktops make them, answered by a process the
    // bus starts for them; the replies as gdbus prints them.
    void desktopsGetTheirAnswers_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reply");
        const auto gnome = [](const char* name, const char* method, const QStringList& arguments,
                               const QString& reply) {
            QTest::newRow(name) << kProvider << method << arguments << reply;
        };
        const auto kde = [](const char* name, const char* method, const QStringList& arguments,
                             const QString& reply) {
            QTest::newRow(name) << kRunner << method << arguments << reply;
        };
        gnome("GNOME: results for 0xff", "GetInitialResultSet", { "['0xff']" },
            "(['0:0xff', '1:0xff', '2:0xff'],)");
        gnome("GNOME: terms put back together", "GetInitialResultSet", { "['0b1010', '1010']" },
            "(['0:0b1010 1010', '1:0b1010 1010', '2:0b1010 1010'],)");
        gnome("GNOME: no results for a sentence", "GetInitialResultSet", { "['the', '3', 'cats']" },
            "(@as [],)");
        gnome("GNOME: typing on", "GetSubsearchResultSet",
            { "['0:0xff', '1:0xff', '2:0xff']", "['0xfff']" },
            "(['0:0xfff', '1:0xfff', '2:0xfff'],)");
        gnome("GNOME: typing on into a word", "GetSubsearchResultSet",
            { "['0:0xff']", "['0xffz']" }, "(@as [],)");
        gnome("GNOME: metas, unknown ids left out", "GetResultMetas",
            { "['0:0xff', 'nonsense', '2:0xdeadbeef']" },
            "([{'clipboardText': <'255'>, 'description': <'decimal · unsigned 32 bits'>, "
            "'gicon': <'io.github.bitlens.Bitlens'>, 'id': <'0:0xff'>, 'name': <'255'>}, "
            "{'clipboardText': <'0b11011110101011011011111011101111'>, "
            "'description': <'binary · 32 bits'>, 'gicon': <'io.github.bitlens.Bitlens'>, "
            "'id': <'2:0xdeadbeef'>, 'name': <'1101 1110 1010 …'>}],)");
        kde("KRunner: matches for 0xff", "Match", { "0xff" },
            "([('0:0xff', '255', 'io.github.bitlens.Bitlens', 100, 1.0, "
            "{'subtext': <'decimal · unsigned 32 bits'>}), "
            "('1:0xff', '1111 1111', 'io.github.bitlens.Bitlens', 100, 0.90000000000000002, "
            "{'subtext': <'binary · 32 bits'>}), "
            "('2:0xff', '0377', 'io.github.bitlens.Bitlens', 100, 0.80000000000000004, "
            "{'subtext': <'octal · 32 bits'>})],)");
        kde("KRunner: no matches for a path", "Match", { "/usr/bin" }, "(@a(sssida{sv}) [],)");
        kde("KRunner: actions", "Actions", {},
            "([('open', 'Open in Bitlens', 'io.github.bitlens.Bitlens')],)");
        kde("KRunner: end of a session", "Teardown", {}, "()");
    }
    void desktopsGetTheirAnswers()
    {
        QFETCH(QString, interface);
        QFETCH(QString, method);
        QFETCH(QStringList, arguments);
        QFETCH(QString, reply);
        const QString path = interface == kProvider ? kProviderPath : kRunnerPath;
        QCOMPARE(gdbus(path, interface + '.' + method, arguments), reply);
        // Started for the call: a process with no window.
        const uint pid = owner();
        QVERIFY(ours(pid));
        QCOMPARE(commandLine(pid), QStringList({ fProgram, "--search-service" }));
        if (fX)
            QVERIFY(fX->windows().empty());
    }

    // Whichever process answers, the chosen result's text is on the clipboard.
    void choosingAResultCopiesItsText_data()
    {
        QTest::addColumn<bool>("windowInstance");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("copied");
        for (const bool window : { false, true }) {
            const QByteArray by = window ? "window instance" : "search service";
            QTest::newRow(by + ": GNOME activates a result")
                << window << kProvider << QStringList { "'1:0xdeadbeef'", "['0xdeadbeef']", "0" }
                << QByteArray("-559038737");
            QTest::newRow(by + ": KRunner runs a match")
                << window << kRunner << QStringList { "'2:192.168.1.1'", "''" }
                << QByteArray("11000000.10101000.00000001.00000001");
        }
    }
    void choosingAResultCopiesItsText()
    {
        QFETCH(bool, windowInstance);
        QFETCH(QString, interface);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, copied);
        if (!fX)
            QFAIL("Xvfb is not installed (scripts/install-deps test): no clipboard to look at");
        QProcess* instance = windowInstance ? startWindowInstance() : nullptr;
        QVERIFY(!windowInstance || instance);
        const bool gnome = interface == kProvider;
        QCOMPARE(gnome ? provider("ActivateResult", arguments) : runner("Run", arguments), "()");
        QTRY_COMPARE_WITH_TIMEOUT(fX->clipboardText(1000), copied, kTimeoutMs);
        QCOMPARE(fX->windows().size(), std::size_t(windowInstance ? 1 : 0));
    }

    // Open in Bitlens: a window with the query in its Value row, in the
    // running instance or, without one, in one started for it.
    void openingTheQueryOpensAWindow_data()
    {
        QTest::addColumn<bool>("windowInstance");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QStringList>("arguments");
        for (const bool window : { false, true }) {
            const QByteArray by = window ? "window instance" : "search service";
            QTest::newRow(by + ": GNOME launches a search")
                << window << kProvider << QStringList { "['0x', 'ff']", "4242" };
            QTest::newRow(by + ": KRunner's open action")
                << window << kRunner << QStringList { "'0:0x ff'", "'open'" };
        }
    }
    void openingTheQueryOpensAWindow()
    {
        QFETCH(bool, windowInstance);
        QFETCH(QString, interface);
        QFETCH(QStringList, arguments);
        if (!fX)
            QFAIL("Xvfb is not installed (scripts/install-deps test): no windows to look at");
        QProcess* instance = windowInstance ? startWindowInstance() : nullptr;
        QVERIFY(!windowInstance || instance);
        const bool gnome = interface == kProvider;
        QCOMPARE(gnome ? provider("LaunchSearch", arguments) : runner("Run", arguments), "()");
        QTRY_COMPARE_WITH_TIMEOUT(
            fX->windows().size(), std::size_t(windowInstance ? 2 : 1), kTimeoutMs);
        const XWindow opened = fX->windows().back();
        if (instance) {
            QCOMPARE(opened.pid, uint(instance->processId()));
            return;
        }
        // A launch of its own, the query as its TEXT; once its window is
        // painted it answers the search too, and the search-only process ends.
        QVERIFY(ours(opened.pid));
        QCOMPARE(commandLine(opened.pid).mid(1), QStringList({ "--", "0x ff" }));
        QTRY_COMPARE_WITH_TIMEOUT(owner(), opened.pid, kTimeoutMs);
        QCOMPARE(
            provider("GetInitialResultSet", { "['0xff']" }), "(['0:0xff', '1:0xff', '2:0xff'],)");
    }

    void runningWindowInstanceTakesTheNameOver()
    {
        QVERIFY(!runner("Match", { "0xff" }).startsWith("error"));
        const uint searchOnly = owner();
        QVERIFY(alive(searchOnly));
        QProcess* instance = startWindowInstance();
        QVERIFY(instance);
        QTRY_VERIFY_WITH_TIMEOUT(!alive(searchOnly), kTimeoutMs);
        QVERIFY(runner("Match", { "0xff" }).startsWith("([('0:0xff', '255'"));
        QCOMPARE(owner(), uint(instance->processId()));

        QDBusConnection connection = QDBusConnection::connectToBus(fAddress, "typing");
        const auto disconnect
            = qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("typing")); });
        const double slowest = slowestAnswerWhileTyping(connection);
        QVERIFY(slowest >= 0);
        qInfo("typing 0xdeadbeef fast, a window instance: every answer within %.2f ms", slowest);
    }

    void searchOnlyServiceEndsWhenIdle()
    {
        setIdleTime("1000");
        const auto restore = qScopeGuard([this] { setIdleTime(kTestIdleMs); });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!provider("GetInitialResultSet", { "['0xff']" }).startsWith("error"));
        const uint pid = owner();
        QVERIFY(alive(pid));
        QTRY_VERIFY_WITH_TIMEOUT(!alive(pid), kTimeoutMs);
        qInfo("the search-only service ended %lld ms after its one call (idle time 1000 ms)",
            clock.elapsed());
        QCOMPARE(owner(), 0u);
    }

    // A flood of calls with bad strings, every one answered; the service's
    // memory before and after is reported, as is how long answers take.
    void floodOfBadStringsIsAnswered()
    {
        QDBusConnection connection = QDBusConnection::connectToBus(fAddress, "flood");
        const auto disconnect
            = qScopeGuard([] { QDBusConnection::disconnectFromBus(QStringLiteral("flood")); });
        QVERIFY(connection.isConnected());

        // The first call starts the service: the time a first search waits.
        QElapsedTimer clock;
        clock.start();
        const QDBusMessage first = connection.call(
            callOf(kRunnerPath, kRunner, "Match", { QStringLiteral("0xdeadbeef") }));
        QCOMPARE(first.type(), QDBusMessage::ReplyMessage);
        qInfo("first answer, the service started by the bus: %lld ms", clock.elapsed());
        const uint pid = owner();
        QVERIFY(alive(pid));

        const double slowest = slowestAnswerWhileTyping(connection);
        QVERIFY(slowest >= 0);
        qInfo("typing 0xdeadbeef fast, the search-only service: every answer within %.2f ms",
            slowest);

        const QStringList strings = badStrings();
        const auto flood = [&](int calls) {
            std::vector<QDBusPendingCall> pending;
            for (int i = 0; i < calls; ++i) {
                const QString bad = strings[i % strings.size()];
                const QString id = QString::number(i % 4) + u':' + bad;
                switch (i % 6) {
                case 0:
                    pending.push_back(connection.asyncCall(callOf(kProviderPath, kProvider,
                        "GetInitialResultSet", { QStringList { bad, bad } })));
                    break;
                case 1:
                    pending.push_back(connection.asyncCall(callOf(kProviderPath, kProvider,
                        "GetSubsearchResultSet", { QStringList { id }, QStringList { bad } })));
                    break;
                case 2:
                    pending.push_back(connection.asyncCall(callOf(
                        kProviderPath, kProvider, "GetResultMetas", { QStringList { id, bad } })));
                    break;
                case 3:
                    pending.push_back(connection.asyncCall(callOf(kProviderPath, kProvider,
                        "ActivateResult", { bad, QStringList { bad }, 0u })));
                    break;
                case 4:
                    pending.push_back(
                        connection.asyncCall(callOf(kRunnerPath, kRunner, "Match", { bad })));
                    break;
                default:
                    pending.push_back(connection.asyncCall(
                        callOf(kRunnerPath, kRunner, "Run", { bad, QString() })));
                    break;
                }
            }
            int answered = 0;
            for (QDBusPendingCall& call : pending) {
                call.waitForFinished();
                if (call.isError())
                    qWarning() << call.error();
                answered += call.isValid() && !call.isError();
            }
            return answered;
        };
        const long before = residentKiB(pid);
        clock.restart();
        QCOMPARE(flood(1000), 1000);
        const qint64 firstFlood = clock.elapsed();
        const long afterFirst = residentKiB(pid);
        // Whatever the first flood left in the allocator's free lists is used
        // again: a leak would grow with each one.
        for (int round = 0; round < 4; ++round)
            QCOMPARE(flood(1000), 1000);
        const long afterMore = residentKiB(pid);
        qInfo("1000 calls with bad strings in %lld ms; the service's resident memory: %ld KiB "
              "before, %ld KiB after them, %ld KiB after 4000 more",
            firstFlood, before, afterFirst, afterMore);
        QCOMPARE(owner(), pid);
        // Nothing the flood chose was a number: nothing was copied.
        if (fX)
            QCOMPARE(fX->clipboardText(1000), QByteArray());
    }
};

QTEST_GUILESS_MAIN(SearchServiceTest)
#include "SearchServiceTest.moc"
