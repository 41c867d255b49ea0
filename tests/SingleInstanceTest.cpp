#include "SingleInstance.h"

#include <QDir>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

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
int connectRogue(const QString& name)
{
    const sockaddr_un address = addressOf(name);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
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

// The client blocks until acknowledged; the server must keep serving on this thread meanwhile.
bool handOverFromAnotherThread(const QString& name)
{
    bool handedOver = false;
    std::unique_ptr<QThread> client(QThread::create(
        [&] { handedOver = SingleInstance(name).handOverToRunningInstance(3000); }));
    client->start();
    while (!client->isFinished())
        QTest::qWait(5);
    return handedOver;
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
        QVERIFY(!SingleInstance(fName).handOverToRunningInstance(500));

        SingleInstance running(fName);
        QSignalSpy reopened(&running, &SingleInstance::reopenRequested);
        QVERIFY(running.listen());
        QCOMPARE(privacyBits(fName), mode_t(0));
        QVERIFY(handOverFromAnotherThread(fName));
        QCOMPARE(reopened.count(), 1);
    }

    void secondInstanceLeavesTheFirstAlone()
    {
        SingleInstance first(fName);
        QVERIFY(first.listen());
        QVERIFY(!SingleInstance(fName).listen());
        // Nothing connected yet to bring a window back: not acknowledged.
        QVERIFY(!handOverFromAnotherThread(fName));
        QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
        QVERIFY(handOverFromAnotherThread(fName));
        QCOMPARE(reopened.count(), 1);
    }

    void closingRemovesOnlyItsOwnSocket()
    {
        auto first = std::make_unique<SingleInstance>(fName);
        QVERIFY(first->listen());
        // Its file removed by hand, the next launch listens at the same path.
        QVERIFY(QFile::remove(fName));
        auto second = std::make_unique<SingleInstance>(fName);
        QVERIFY(second->listen());
        first.reset();
        QSignalSpy reopened(second.get(), &SingleInstance::reopenRequested);
        QVERIFY(handOverFromAnotherThread(fName));
        QCOMPARE(reopened.count(), 1);
        second.reset();
        QVERIFY(!QFileInfo::exists(fName));
    }

    void misbehavingClientIsDroppedWithoutBlocking_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("garbage") << QByteArrayLiteral("hello\n");
        QTest::newRow("request in the wrong case") << QByteArrayLiteral("BITLENS-REOPEN\n");
        QTest::newRow("oversized") << QByteArray(1 << 20, 'x');
        QTest::newRow("silent") << QByteArray();
        QTest::newRow("request cut short") << QByteArrayLiteral("bitlens-re");
    }
    void misbehavingClientIsDroppedWithoutBlocking()
    {
        QFETCH(QByteArray, payload);
        SingleInstance running(fName);
        QSignalSpy reopened(&running, &SingleInstance::reopenRequested);
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
        QCOMPARE(reopened.count(), 1);
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

        SingleInstance running(fName);
        QSignalSpy reopened(&running, &SingleInstance::reopenRequested);
        QCOMPARE(running.listen(), fits);
        QCOMPARE(handOverFromAnotherThread(fName), fits);
        QCOMPARE(reopened.count(), fits ? 1 : 0);
        // Never bound under a cut-short name either.
        QCOMPARE(QFileInfo::exists(fName.left(longest)), fits);
    }

    void defaultNameIsInAPrivateDirectory_data()
    {
        QTest::addColumn<int>("runtimeDirMode"); // 0: XDG_RUNTIME_DIR empty
        QTest::addColumn<int>("fallbackMode"); // 0: the fallback does not exist yet
        QTest::addColumn<int>("expected"); // 0: runtime dir, 1: fallback, -1: channel off
        QTest::newRow("private runtime dir") << 0700 << 0 << 0;
        QTest::newRow("runtime dir unset") << 0 << 0 << 1;
        QTest::newRow("runtime dir open to others") << 0755 << 0 << 1;
        QTest::newRow("fallback open to others") << 0 << 0777 << -1;
    }
    void defaultNameIsInAPrivateDirectory()
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

        const QString dir = QFileInfo(SingleInstance::defaultName()).path();
        QCOMPARE(dir, expected < 0 ? QString() : paths[expected]);
        QVERIFY(expected < 0 || privacyBits(dir) == 0);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
