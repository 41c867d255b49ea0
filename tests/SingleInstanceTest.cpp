#include "app/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <cerrno>
#include <memory>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

enum Leftover { eNothing, ePlainFile, eKilledInstanceSocket };

sockaddr_un addressOf(const QString& name)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(name).constData(), sizeof address.sun_path);
    return address;
}

// A client of our own making, free to misbehave; -1 when it cannot connect.
int connectRogue(const QString& name, int flags = 0)
{
    const sockaddr_un address = addressOf(name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// The server has closed its end without a byte of answer; peeking leaves any answer there.
bool droppedWithoutAnswer(int fd)
{
    char byte = 0;
    const ssize_t received = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return received == 0 || (received < 0 && errno == ECONNRESET);
}

mode_t privacyBits(const QString& path)
{
    struct stat info { };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid == ::geteuid()
        ? info.st_mode & 077
        : 077;
}

HandOverRequest textRequest(Notation notation, const QString& text, UInt16 width, Endian endian,
    const QByteArray& token = {})
{
    return { eLaunchWithText, { notation, width, endian, text }, token };
}

bool operator==(const HandOverRequest& a, const HandOverRequest& b)
{
    return a.action == b.action && a.activationToken == b.activationToken
        && (a.action != eLaunchWithText
            || (a.reading.notation == b.reading.notation && a.reading.width == b.reading.width
                && a.reading.endian == b.reading.endian && a.reading.text == b.reading.text));
}

// Listens at `name` and keeps every request it is handed.
class Running : public SingleInstance {
public:
    explicit Running(const QString& name, bool serving = true)
        : SingleInstance(name)
    {
        if (serving)
            connect(this, &SingleInstance::requestReceived, this,
                [this](const HandOverRequest& request) { received.push_back(request); });
    }
    std::vector<HandOverRequest> received;
};

// The client blocks until acknowledged; the server must keep serving on this thread meanwhile.
bool handOverFromAnotherThread(const QString& name, const HandOverRequest& request = {})
{
    bool handedOver = false;
    std::unique_ptr<QThread> client(
        QThread::create([&] { handedOver = SingleInstance(name).handOver(request, 3000); }));
    client->start();
    while (!client->isFinished())
        QTest::qWait(5);
    return handedOver;
}

// As many of `wanted` connections as the descriptor limit leaves room for,
// its soft limit raised as far as the hard one allows.
int floodSize(int wanted)
{
    // The instance's own descriptors, its end of the connections it holds, the test's.
    constexpr rlim_t kSpare = 200;
    rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur < rlim_t(wanted) + kSpare) {
        limit.rlim_cur = std::min(rlim_t(wanted) + kSpare, limit.rlim_max);
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0 || ::getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return 0;
    }
    return limit.rlim_cur > kSpare ? int(std::min(rlim_t(wanted), limit.rlim_cur - kSpare)) : 0;
}

// Keeps `count` connections open at `name` without a word, opening a new one
// for each the other end closes, until `stop`.
void holdIdle(
    const QString& name, int count, const std::atomic<bool>& stop, std::atomic<long>& connects)
{
    std::vector<pollfd> held;
    while (!stop) {
        while (int(held.size()) < count && !stop) {
            const int fd = connectRogue(name, SOCK_NONBLOCK);
            if (fd < 0)
                break;
            held.push_back({ fd, POLLIN, 0 });
            ++connects;
        }
        if (::poll(held.data(), held.size(), 5) <= 0)
            continue;
        held.erase(std::remove_if(held.begin(), held.end(),
                       [](const pollfd& entry) {
                           if (entry.revents == 0)
                               return false;
                           ::close(entry.fd);
                           return true;
                       }),
            held.end());
    }
    for (const pollfd& entry : held)
        ::close(entry.fd);
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
    QTemporaryDir fDir;
    QString fName;

private slots:
    void init() { fName = fDir.filePath(QStringLiteral("instance")); }
    void cleanup() { QFile::remove(fName); }

    void leftoverOfAKilledInstanceNeitherAnswersNorBlocksListening_data()
    {
        QTest::addColumn<Leftover>("leftover");
        QTest::newRow("nothing there") << eNothing;
        QTest::newRow("plain file") << ePlainFile;
        QTest::newRow("killed instance's socket") << eKilledInstanceSocket;
    }
    void leftoverOfAKilledInstanceNeitherAnswersNorBlocksListening()
    {
        QFETCH(Leftover, leftover);
        if (leftover == ePlainFile)
            QVERIFY(QFile(fName).open(QIODevice::WriteOnly));
        if (leftover == eKilledInstanceSocket) {
            // Bound and listened on, then closed: the kernel leaves the file behind.
            const sockaddr_un address = addressOf(fName);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            QCOMPARE(::listen(fd, 1), 0);
            ::close(fd);
        }
        QVERIFY(!SingleInstance(fName).handOver({}, 500));

        Running running(fName);
        QVERIFY(running.listen());
        QVERIFY(handOverFromAnotherThread(fName));
        QCOMPARE(running.received.size(), std::size_t(1));
    }

    // Whatever the process's umask, the socket is never open to others, not
    // even for a moment; and the umask is the caller's again afterwards.
    void socketIsPrivateWhateverTheUmask()
    {
        const mode_t saved = ::umask(0);
        const auto restore = qScopeGuard([saved] { ::umask(saved); });
        Running running(fName);
        QVERIFY(running.listen());
        QCOMPARE(privacyBits(fName), mode_t(0));
        QCOMPARE(::umask(0), mode_t(0));
    }

    void secondInstanceLeavesTheFirstAlone()
    {
        Running first(fName, false);
        QVERIFY(first.listen());
        SingleInstance second(fName);
        QVERIFY(!second.listen());
        QVERIFY(!second.errorString().isEmpty());
        // Nothing connected yet to open a window: not acknowledged.
        QVERIFY(!handOverFromAnotherThread(fName));
        connect(&first, &SingleInstance::requestReceived, &first,
            [&first](const HandOverRequest& request) { first.received.push_back(request); });
        QVERIFY(handOverFromAnotherThread(fName));
        QCOMPARE(first.received.size(), std::size_t(1));
    }

    void closingRemovesOnlyItsOwnSocket()
    {
        auto first = std::make_unique<Running>(fName);
        QVERIFY(first->listen());
        // Its file removed by hand, the next launch listens at the same path.
        QVERIFY(QFile::remove(fName));
        auto second = std::make_unique<Running>(fName);
        QVERIFY(second->listen());
        first.reset();
        QVERIFY(handOverFromAnotherThread(fName));
        QCOMPARE(second->received.size(), std::size_t(1));
        second.reset();
        QVERIFY(!QFileInfo::exists(fName));
    }

    void requestArrivesWhole_data()
    {
        QTest::addColumn<HandOverRequest>("request");
        QTest::addColumn<QByteArray>("receivedToken");

        const QByteArray startupId = "launcher-1234-host-bitlens-0_TIME5678";
        QTest::newRow("to the front with a startup id")
            << HandOverRequest { eLaunchToFront, {}, startupId } << startupId;
        QTest::newRow("new window, no token")
            << HandOverRequest { eLaunchNewWindow, {}, {} } << QByteArray();
        QTest::newRow("text with every choice") << textRequest(eNotationOctal, "0o17", 8,
            eLittleEndian, "wl-token") << QByteArray("wl-token");
        QTest::newRow("text of spaces, '=' and newlines")
            << textRequest(eNotationText, " a=b\n\nc ", 64, eBigEndian) << QByteArray();
        QTest::newRow("text beyond Latin-1 and 127 units") << textRequest(
            eNotationText, QString::fromUtf8("\u20ac\U0001F600").repeated(42), 32, eBigEndian)
                                                           << QByteArray();
        // A token with a space or a control character could not be passed on safely.
        QTest::newRow("unusable token is left out")
            << HandOverRequest { eLaunchToFront, {}, "a b\x01" } << QByteArray();
        QTest::newRow("overlong token is left out")
            << HandOverRequest { eLaunchToFront, {}, QByteArray(257, 'x') } << QByteArray();
    }
    void requestArrivesWhole()
    {
        QFETCH(HandOverRequest, request);
        QFETCH(QByteArray, receivedToken);

        Running running(fName);
        QVERIFY(running.listen());
        QVERIFY(handOverFromAnotherThread(fName, request));
        QCOMPARE(running.received.size(), std::size_t(1));
        HandOverRequest expected = request;
        expected.activationToken = receivedToken;
        QVERIFY(running.received.front() == expected);
    }

    // The window trusts what comes over the channel as it trusts the command line.
    void malformedRequestIsRefused_data()
    {
        QTest::addColumn<QByteArray>("message");
        const QByteArray text = "bitlens-hand-over 1\nopen=text\nnotation=2\nwidth=32\n"
                                "endian=big\ntext=ff\n\n";
        QTest::newRow("well formed, for comparison") << QByteArray();
        QTest::newRow("another version") << QByteArray(text).replace(" 1\n", " 2\n");
        QTest::newRow("unknown action") << QByteArray(text).replace("=text", "=print");
        QTest::newRow("width not one of the four") << QByteArray(text).replace("=32", "=12");
        QTest::newRow("notation out of range")
            << QByteArray(text).replace("=2", "=" + QByteArray::number(int(eNotationCount)));
        QTest::newRow("byte order unknown") << QByteArray(text).replace("=big", "=middle");
        QTest::newRow("text missing") << QByteArray(text).replace("text=ff\n", "");
        QTest::newRow("text longer than a field")
            << QByteArray(text).replace("=ff", "=" + QByteArray(128, '1'));
        QTest::newRow("line without a key") << QByteArray(text).replace("width=32", "32");
        QTest::newRow("not ended") << QByteArray(text).chopped(1);
    }
    void malformedRequestIsRefused()
    {
        QFETCH(QByteArray, message);
        const bool wellFormed = message.isEmpty();
        if (wellFormed)
            message = textRequest(eNotationHexadecimal, "ff", 32, eBigEndian).encode();
        QCOMPARE(HandOverRequest::decode(message).has_value(), wellFormed);
    }

    void misbehavingClientIsDroppedWithoutBlocking_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("garbage") << QByteArrayLiteral("hello\n\n");
        QTest::newRow("another version")
            << QByteArrayLiteral("bitlens-hand-over 2\nopen=front\n\n");
        QTest::newRow("oversized") << "bitlens-hand-over 1\ntext=" + QByteArray(1 << 20, 'x');
        QTest::newRow("silent") << QByteArray();
        QTest::newRow("request cut short") << QByteArrayLiteral("bitlens-hand-over 1\nopen=fr");
    }
    void misbehavingClientIsDroppedWithoutBlocking()
    {
        QFETCH(QByteArray, payload);
        Running running(fName);
        QVERIFY(running.listen());

        const int rogue = connectRogue(fName);
        QVERIFY(rogue >= 0);
        const auto closeRogue = qScopeGuard([rogue] { ::close(rogue); });
        // As much as the socket takes without blocking; the server must not wait for the rest.
        if (!payload.isEmpty())
            QVERIFY(::send(rogue, payload.constData(), std::size_t(payload.size()),
                        MSG_DONTWAIT | MSG_NOSIGNAL)
                > 0);
        QTest::qWait(50);
        QVERIFY(handOverFromAnotherThread(fName));
        QTRY_VERIFY_WITH_TIMEOUT(
            droppedWithoutAnswer(rogue), SingleInstance::kClientTimeoutMs + 3000);
        QCOMPARE(running.received.size(), std::size_t(1));
    }

    // Idle connections must not eat the descriptors the windows need.
    void idleConnectionsHoldAFixedNumberOfDescriptors()
    {
        Running running(fName);
        QVERIFY(running.listen());
        constexpr int kRogues = 60;
        std::vector<int> rogues;
        const auto closeRogues = qScopeGuard([&rogues] {
            for (int fd : rogues)
                ::close(fd);
        });
        // A full backlog refuses for a moment; the server takes them as it runs.
        QDeadlineTimer deadline(10000);
        while (int(rogues.size()) < kRogues && !deadline.hasExpired()) {
            const int fd = connectRogue(fName, SOCK_NONBLOCK);
            if (fd >= 0)
                rogues.push_back(fd);
            else
                QTest::qWait(1);
        }
        QCOMPARE(int(rogues.size()), kRogues);
        QTRY_COMPARE(running.pendingClientCount(), SingleInstance::kMaxPendingClients);
        // Those beyond the bound are closed at once, long before the time-out.
        QTRY_COMPARE_WITH_TIMEOUT(int(std::count_if(rogues.begin(), rogues.end(),
                                      [](int fd) { return droppedWithoutAnswer(fd); })),
            kRogues - SingleInstance::kMaxPendingClients, SingleInstance::kClientTimeoutMs / 2);
        QTRY_COMPARE_WITH_TIMEOUT(
            running.pendingClientCount(), 0, SingleInstance::kClientTimeoutMs + 3000);
        QVERIFY(handOverFromAnotherThread(fName));
        QCOMPARE(running.received.size(), std::size_t(1));
    }

    // Another program of the user's holds as many idle connections as it
    // can, and opens a new one for each the instance closes: the launch's
    // request must still get through, and soon.
    void launchHandsOverDuringAFloodOfIdleConnections()
    {
        constexpr int kWanted = 1500;
        const int flood = floodSize(kWanted);
        if (flood < 4 * SingleInstance::kMaxPendingClients)
            QSKIP("Too few file descriptors for a flood of connections");
        Running running(fName);
        QVERIFY(running.listen());

        std::atomic<bool> stop { false };
        std::atomic<long> connects { 0 };
        std::unique_ptr<QThread> flooder(
            QThread::create([&] { holdIdle(fName, flood, stop, connects); }));
        flooder->start();
        const auto stopFlooder = qScopeGuard([&] {
            stop = true;
            while (!flooder->isFinished())
                QTest::qWait(5);
        });
        // Under way: the flooder has filled its quota and is replacing the closed ones.
        QTRY_VERIFY_WITH_TIMEOUT(connects > 2 * flood, 30000);

        QElapsedTimer clock;
        clock.start();
        const bool handedOver = handOverFromAnotherThread(fName);
        qInfo("hand-over during a flood of %d idle connections (%ld made): %lld ms", flood,
            connects.load(), clock.elapsed());
        QVERIFY(handedOver);
        QCOMPARE(running.received.size(), std::size_t(1));
        QVERIFY(running.pendingClientCount() <= SingleInstance::kMaxPendingClients);
    }

    void socketPathTooLongForAnAddressTurnsTheChannelOff_data()
    {
        QTest::addColumn<int>("excess"); // bytes beyond the longest path an address holds
        QTest::newRow("longest that fits") << 0;
        QTest::newRow("one byte too long") << 1;
        QTest::newRow("far too long") << 100;
    }
    void socketPathTooLongForAnAddressTurnsTheChannelOff()
    {
        QFETCH(int, excess);
        const int longest = int(sizeof sockaddr_un::sun_path) - 1;
        const QString prefix = fDir.path() + QLatin1Char('/');
        const int filler = longest - int(QFile::encodeName(prefix).size());
        if (filler < 1)
            QSKIP("The temporary directory's path leaves no room for a socket name");
        fName = prefix + QString(filler, QLatin1Char('x')) + QString(excess, QLatin1Char('y'));
        const bool fits = excess == 0;

        Running running(fName);
        QCOMPARE(running.listen(), fits);
        QCOMPARE(running.errorString().contains("too long"), !fits);
        QCOMPARE(handOverFromAnotherThread(fName), fits);
        QCOMPARE(running.received.size(), std::size_t(fits ? 1 : 0));
        // Never bound under a cut-short name either.
        QCOMPARE(QFileInfo::exists(fName.left(longest)), fits);
    }

    void socketIsInAPrivateDirectory_data()
    {
        QTest::addColumn<int>("runtimeDirMode"); // 0: XDG_RUNTIME_DIR empty
        QTest::addColumn<int>("fallbackMode"); // 0: the fallback does not exist yet
        QTest::addColumn<int>("expected"); // 0: runtime dir, 1: fallback, -1: channel off
        QTest::newRow("private runtime dir") << 0700 << 0 << 0;
        QTest::newRow("runtime dir unset") << 0 << 0 << 1;
        QTest::newRow("runtime dir open to others") << 0755 << 0 << 1;
        QTest::newRow("fallback open to others") << 0 << 0777 << -1;
    }
    void socketIsInAPrivateDirectory()
    {
        QFETCH(int, runtimeDirMode);
        QFETCH(int, fallbackMode);
        QFETCH(int, expected);
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"), savedTmp = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", savedRuntime);
            qputenv("TMPDIR", savedTmp);
        });
        QTemporaryDir tmp;
        const QString paths[] = { tmp.filePath(QStringLiteral("runtime")),
            tmp.filePath(QStringLiteral("bitlens-%1").arg(::geteuid())) };
        const int modes[] = { runtimeDirMode, fallbackMode };
        for (int i : { 0, 1 })
            QVERIFY(!modes[i]
                || (QDir().mkdir(paths[i]) && ::chmod(QFile::encodeName(paths[i]), modes[i]) == 0));
        qputenv("XDG_RUNTIME_DIR", runtimeDirMode ? QFile::encodeName(paths[0]) : QByteArray());
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));

        QString whyNot;
        const QString dir = QFileInfo(SingleInstance::socketPath("x11-:0", &whyNot)).path();
        QCOMPARE(dir, expected < 0 ? QString() : paths[expected]);
        QCOMPARE(whyNot.isEmpty(), expected >= 0);
        QVERIFY(expected < 0 || privacyBits(dir) == 0);
    }

    // One instance per display: the same display spelt another way finds the
    // same socket, another display another one.
    void socketIsKeyedByDisplay_data()
    {
        QTest::addColumn<QStringList>("first"); // platform, X11 display, Wayland display
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<bool>("same");

        const auto x11 = [](const char* display) { return QStringList { "xcb", display, "" }; };
        const auto wayland = [](const char* display) {
            return QStringList { "wayland", ":0", display };
        };
        QTest::newRow("screen number dropped") << x11(":0") << x11(":0.1") << true;
        QTest::newRow("unix: is this machine") << x11(":0") << x11("unix:0") << true;
        QTest::newRow("unix protocol is this machine") << x11(":0") << x11("unix/:0.0") << true;
        QTest::newRow("another display") << x11(":0") << x11(":1") << false;
        QTest::newRow("forwarded display") << x11(":10") << x11("localhost:10.0") << false;
        QTest::newRow("Wayland's default display") << wayland("") << wayland("wayland-0") << true;
        QTest::newRow("another Wayland display")
            << wayland("wayland-0") << wayland("wayland-1") << false;
        QTest::newRow("Wayland is not X11") << wayland("wayland-0") << x11(":0") << false;
        QTest::newRow("Wayland display by path")
            << wayland("/run/user/1000/wayland-0") << wayland("/run/user/1000/wayland-1") << false;
        QTest::newRow("long paths differ too")
            << wayland(qPrintable(QString(200, u'a') + "1"))
            << wayland(qPrintable(QString(200, u'a') + "2")) << false;
    }
    void socketIsKeyedByDisplay()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(bool, same);
        const auto socketName = [](const QStringList& display) {
            const QString key = SingleInstance::displayKey(display[0], display[1], display[2]);
            return QFileInfo(SingleInstance::socketPath(key)).fileName();
        };
        const QString firstName = socketName(first), secondName = socketName(second);
        QCOMPARE(firstName == secondName, same);
        for (const QString& name : { firstName, secondName }) {
            QVERIFY2(name.startsWith("bitlens-") && !name.contains(u'/'), qPrintable(name));
            // Room left in a socket address for the runtime folder.
            QVERIFY2(name.size() <= 64, qPrintable(name));
        }
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
