#include "SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

enum Leftover { eNothing, ePlainFile, eKilledInstanceSocket };

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
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            qstrncpy(
                address.sun_path, QFile::encodeName(fName).constData(), sizeof address.sun_path);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
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

        QLocalSocket rogue;
        rogue.connectToServer(fName);
        QVERIFY(rogue.waitForConnected(1000));
        rogue.write(payload);
        QTest::qWait(50);
        QVERIFY(handOverFromAnotherThread(fName));
        QTRY_COMPARE_WITH_TIMEOUT(
            rogue.state(), QLocalSocket::UnconnectedState, SingleInstance::kClientTimeoutMs + 3000);
        QCOMPARE(reopened.count(), 1);
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
