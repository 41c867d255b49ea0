// The history file: where it is, written whole or not at all, shared by two
// writers, and read defensively: a missing, unreadable or damaged file gives
// what can be read and one warning, and a damaged one is kept aside.
#include "files/HistoryStore.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QStringList gWarnings;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        gWarnings.append(message);
}

HistoryEntry Entry(SInt64 time, const char* text)
{
    HistoryEntry entry;
    entry.time = time;
    entry.text = text;
    entry.notation = eNotationHexadecimal;
    entry.number.bits = 5;
    return entry;
}

QStringList Texts(HistoryStore& store)
{
    QStringList texts;
    for (const std::string& text : store.history().texts())
        texts.append(QString::fromStdString(text));
    return texts;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

const QByteArray kGoodLine = "5\tvalue\thexadecimal\t32\t5/u/be\tgood\n";

} // namespace

class HistoryStoreTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void followsXdgStateHome_data();
    void followsXdgStateHome();
    void writesTheFileWholeAndReadsItBack();
    void replacesTheFileRatherThanRewritingIt();
    void twoWritersKeepEachOthersEntries();
    void twoProgramsWritingAtOnceKeepEveryEntry();
    void aLockedFileKeepsTheChangeForTheNextWrite();
    void seesAnotherWritersChange();
    void readsWhatADamagedFileHolds_data();
    void readsWhatADamagedFileHolds();
    void neverWritesOverAFileItCannotRead();
    void aFolderThatCannotBeMadeKeepsTheHistoryInMemory();

private:
    std::unique_ptr<QTemporaryDir> fFolder;
    QString path() const { return fFolder->filePath(QStringLiteral("state/bitlens/history")); }
};

void HistoryStoreTest::init()
{
    fFolder = std::make_unique<QTemporaryDir>();
    QVERIFY(fFolder->isValid());
    gWarnings.clear();
    qInstallMessageHandler(CollectWarnings);
}

void HistoryStoreTest::followsXdgStateHome_data()
{
    QTest::addColumn<QByteArray>("stateHome");
    QTest::addColumn<QString>("expected");
    const QString home = QDir::homePath();
    QTest::newRow("set") << QByteArray("/tmp/state") << "/tmp/state/bitlens/history";
    QTest::newRow("empty") << QByteArray("") << home + "/.local/state/bitlens/history";
    QTest::newRow("not absolute") << QByteArray("state") << home + "/.local/state/bitlens/history";
}

void HistoryStoreTest::followsXdgStateHome()
{
    QFETCH(QByteArray, stateHome);
    QFETCH(QString, expected);
    const QByteArray was = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", stateHome);
    QCOMPARE(HistoryStore::defaultPath(), expected);
    qputenv("XDG_STATE_HOME", was);
}

void HistoryStoreTest::writesTheFileWholeAndReadsItBack()
{
    HistoryStore store(path());
    QVERIFY(store.history().empty());
    QCOMPARE(gWarnings, QStringList()); // no file yet is how a history begins
    QVERIFY(store.record(Entry(1, "one")));
    QVERIFY(store.record(Entry(2, "two\ttab")));
    QVERIFY2(!store.record(Entry(3, "two\ttab")), "the same entry twice in a row");
    QCOMPARE(Texts(store), QStringList({ "two\ttab", "one" }));

    HistoryStore again(path());
    QCOMPARE(again.history(), store.history());
    QVERIFY(Contents(path()).startsWith("bitlens history 1\n2\tvalue\thexadecimal\t32\t5/u/be\t"
                                        "two\\ttab\n"));
    // Nothing is left beside it: no temporary file, no lock.
    QCOMPARE(QDir(QFileInfo(path()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
        QStringList { "history" });
    QCOMPARE(QFile::permissions(path()) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(gWarnings, QStringList());
}

// The old file is never opened for writing: a reader (or a crash at any
// moment) sees it whole, or the new one whole.
void HistoryStoreTest::replacesTheFileRatherThanRewritingIt()
{
    HistoryStore store(path());
    store.record(Entry(1, "one"));
    const QByteArray before = Contents(path());
    const QString kept = fFolder->filePath(QStringLiteral("kept"));
    QVERIFY(::link(qPrintable(path()), qPrintable(kept)) == 0);
    store.record(Entry(2, "two"));
    QCOMPARE(Contents(kept), before);
    QVERIFY(Contents(path()) != before);
}

void HistoryStoreTest::twoWritersKeepEachOthersEntries()
{
    HistoryStore first(path());
    HistoryStore second(path());
    QVERIFY(first.history().empty());
    QVERIFY(second.history().empty());

    first.record(Entry(1, "first's"));
    second.record(Entry(2, "second's"));
    QCOMPARE(Texts(second), QStringList({ "second's", "first's" }));
    first.reload();
    QCOMPARE(Texts(first), QStringList({ "second's", "first's" }));

    // A removal sticks: the other writer's next change does not bring it back.
    first.remove(Entry(2, "second's"));
    second.record(Entry(3, "second's again"));
    QCOMPARE(Texts(second), QStringList({ "second's again", "first's" }));

    // A clear takes what was shown, not what another writer entered since.
    first.reload();
    second.record(Entry(QDateTime::currentMSecsSinceEpoch() + 60000, "later"));
    first.clear();
    HistoryStore reader(path());
    QCOMPARE(Texts(reader), QStringList({ "later" }));
}

// Two programs, as two Bitlens on two displays, each entering numbers as
// fast as it can into the same file.
void HistoryStoreTest::twoProgramsWritingAtOnceKeepEveryEntry()
{
    constexpr int kEach = 150;
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* name : { "first", "second" }) {
        writers.push_back(std::make_unique<QProcess>());
        writers.back()->start(QCoreApplication::applicationFilePath(),
            { "--record", path(), name, QString::number(kEach) });
    }
    for (const auto& writer : writers) {
        QVERIFY(writer->waitForFinished(60000));
        QCOMPARE(writer->exitCode(), 0);
    }
    HistoryStore reader(path());
    QStringList texts = Texts(reader);
    QCOMPARE(texts.size(), 2 * kEach);
    texts.sort();
    QCOMPARE(texts.removeDuplicates(), 0);
    QVERIFY(texts.front().startsWith("first ") && texts.back().startsWith("second "));
}

void HistoryStoreTest::aLockedFileKeepsTheChangeForTheNextWrite()
{
    HistoryStore store(path());
    store.record(Entry(1, "one"));
    {
        QLockFile other(path() + ".lock");
        QVERIFY(other.tryLock());
        store.record(Entry(2, "while locked"));
        QCOMPARE(Texts(store), QStringList({ "while locked", "one" }));
        QCOMPARE(Texts(*std::make_unique<HistoryStore>(path())), QStringList({ "one" }));
    }
    store.record(Entry(3, "after"));
    HistoryStore reader(path());
    QCOMPARE(Texts(reader), QStringList({ "after", "while locked", "one" }));
}

void HistoryStoreTest::seesAnotherWritersChange()
{
    HistoryStore writer(path());
    writer.record(Entry(1, "one"));
    HistoryStore watcher(path());
    QCOMPARE(Texts(watcher), QStringList({ "one" }));
    QSignalSpy changed(&watcher, &HistoryStore::changed);
    writer.record(Entry(2, "two"));
    QVERIFY(changed.wait(5000));
    QCOMPARE(Texts(watcher), QStringList({ "two", "one" }));
    // Its own write is no change to tell of.
    changed.clear();
    watcher.record(Entry(3, "three"));
    QCOMPARE(changed.size(), 1);
    QTest::qWait(300);
    QCOMPARE(changed.size(), 1);
}

void HistoryStoreTest::readsWhatADamagedFileHolds_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QStringList>("read");
    QTest::addColumn<bool>("keptAside");
    QTest::newRow("empty") << QByteArray() << QStringList() << false;
    QTest::newRow("sound") << "bitlens history 1\n" + kGoodLine << QStringList { "good" } << false;
    QTest::newRow("a damaged line") << "bitlens history 1\n" + kGoodLine + "6\tvalue\tbroken\n"
                                    << QStringList { "good" } << true;
    QTest::newRow("cut short by a crash of another program")
        << "bitlens history 1\n" + kGoodLine + "6\tval" << QStringList { "good" } << true;
    QTest::newRow("another kind of file")
        << QByteArray("{\"history\": []}\n") << QStringList() << true;
    QTest::newRow("a newer Bitlens's")
        << "bitlens history 2\n" + kGoodLine << QStringList() << true;
    QTest::newRow("binary") << QByteArray("\x7f"
                                          "ELF\x02\x01\x01\0\0\0",
        10) << QStringList() << true;
    QTest::newRow("too large") << "bitlens history 1\n" + kGoodLine.repeated(300000)
                               << QStringList() << true;
}

void HistoryStoreTest::readsWhatADamagedFileHolds()
{
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, read);
    QFETCH(bool, keptAside);
    QVERIFY(QDir().mkpath(QFileInfo(path()).absolutePath()));
    QVERIFY(Write(path(), contents));
    // An earlier damaged file stays as it is.
    QVERIFY(Write(path() + ".damaged", "earlier"));

    HistoryStore store(path());
    QCOMPARE(Texts(store), read);
    QCOMPARE(gWarnings.size(), keptAside ? 1 : 0);
    store.record(Entry(7, "new"));
    QCOMPARE(gWarnings.size(), keptAside ? 1 : 0);
    QCOMPARE(Contents(path() + ".damaged"), QByteArray("earlier"));
    QCOMPARE(QFile::exists(path() + ".damaged.2"), keptAside);
    if (keptAside)
        QCOMPARE(Contents(path() + ".damaged.2"), contents);
    HistoryStore reader(path());
    QCOMPARE(Texts(reader), QStringList { "new" } + read);
}

void HistoryStoreTest::neverWritesOverAFileItCannotRead()
{
    QVERIFY(QDir().mkpath(path() + "/inside"));
    HistoryStore store(path());
    QVERIFY(store.history().empty());
    QCOMPARE(gWarnings.size(), 1);
    store.record(Entry(1, "kept in memory"));
    QCOMPARE(Texts(store), QStringList { "kept in memory" });
    QVERIFY(QFileInfo(path() + "/inside").isDir());
    QCOMPARE(gWarnings.size(), 1);
}

void HistoryStoreTest::aFolderThatCannotBeMadeKeepsTheHistoryInMemory()
{
    QVERIFY(Write(fFolder->filePath(QStringLiteral("state")), "a file where a folder goes"));
    HistoryStore store(path());
    store.record(Entry(1, "one"));
    store.record(Entry(2, "two"));
    QCOMPARE(Texts(store), QStringList({ "two", "one" }));
    QCOMPARE(gWarnings.size(), 1); // the folder
    QVERIFY(gWarnings.front().startsWith("bitlens: warning: the folder "));
}

// With --record PATH NAME COUNT, the test is one of the writers above:
// COUNT entries "NAME 0", "NAME 1", ... recorded one at a time.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 5 && arguments[1] == "--record") {
        HistoryStore store(arguments[2]);
        const int count = arguments[4].toInt();
        for (int at = 0; at < count; ++at) {
            const std::string text = (arguments[3] + ' ' + QString::number(at)).toStdString();
            if (!store.record(Entry(QDateTime::currentMSecsSinceEpoch(), text.c_str())))
                return 1;
        }
        return 0;
    }
    HistoryStoreTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "HistoryStoreTest.moc"
