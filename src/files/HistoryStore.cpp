#include "HistoryStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLockFile>
#include <QSaveFile>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <string_view>

namespace {

// A thousand entries of whole fields, every character escaped, stay well
// below this; a larger file is no history of ours.
constexpr qint64 kMaxHistoryFileSize = 8 * 1024 * 1024;
// Changes kept while the file cannot be written; the oldest go first.
constexpr std::size_t kMaxPending = 2 * History::kLimit;
// How long a change waits for another program's write to end.
constexpr int kLockWaitMs = 2000;
// A change notice often comes in several parts: read once they are in.
constexpr int kReloadDelayMs = 100;

// Another program holds the lock for a read and a write, a few
// milliseconds: asked again soon, rather than at the toolkit's pace, which
// starts at a tenth of a second.
bool TakeLock(QLockFile& lock)
{
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(0)) {
        if (waited.elapsed() >= kLockWaitMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

} // namespace

HistoryStore::HistoryStore(QString path, QObject* parent)
    : QObject(parent)
    , fPath(std::move(path))
{ }

HistoryStore::~HistoryStore() = default;

QString HistoryStore::defaultPath()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QLatin1String("/.local/state");
    return state + QLatin1String("/bitlens/history");
}

const History& HistoryStore::history()
{
    load();
    return fHistory;
}

bool HistoryStore::record(const HistoryEntry& entry)
{
    change({ Change::eAdd, entry });
    const std::vector<HistoryEntry>& entries = fHistory.entries();
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

void HistoryStore::remove(const HistoryEntry& entry)
{
    change({ Change::eRemove, entry });
}

void HistoryStore::clear()
{
    load();
    // Every entry shown goes, even one a clock ahead of ours dated later.
    SInt64 through = QDateTime::currentMSecsSinceEpoch();
    if (!fHistory.empty())
        through = std::max(through, fHistory.entries().front().time);
    change({ Change::eClearThrough, {}, through });
}

void HistoryStore::reload()
{
    if (!fLoaded) {
        load();
        return;
    }
    const QFileInfo info(fPath);
    if (info.exists() && info.lastModified() == fSeenModified && info.size() == fSeenSize)
        return;
    const History before = fHistory;
    readFile();
    apply();
    if (fHistory != before)
        emit changed();
}

void HistoryStore::load()
{
    if (fLoaded)
        return;
    fLoaded = true;
    if (readFile() == Reading::eMissing)
        warn(QStringLiteral("no history file yet at %1: the history starts empty").arg(fPath));
    apply();
    watch();
}

void HistoryStore::change(Change change)
{
    load();
    const History before = fHistory;
    fPending.push_back(std::move(change));
    if (fPending.size() > kMaxPending)
        fPending.erase(fPending.begin());

    const QString folder = QFileInfo(fPath).absolutePath();
    QLockFile lock(fPath + QLatin1String(".lock"));
    lock.setStaleLockTime(10000);
    if (!QDir().mkpath(folder)) {
        warn(QStringLiteral("the folder %1 cannot be made: the history is kept until Bitlens "
                            "ends")
                 .arg(folder));
        apply();
    } else if (!TakeLock(lock)) {
        warn(QStringLiteral("%1 is locked: the history is written with its next change")
                 .arg(lock.fileName()));
        apply();
    } else {
        // What another program wrote since is read first, then our changes
        // go onto it.
        const Reading read = readFile();
        apply();
        const bool writable = read != Reading::eUnreadable && (!fFileDamaged || keepDamagedAside());
        if (writable && writeFile(fHistory)) {
            fFile = fHistory;
            fPending.clear();
            fFileDamaged = false;
        }
        watch();
    }
    if (fHistory != before)
        emit changed();
}

HistoryStore::Reading HistoryStore::readFile()
{
    const QFileInfo info(fPath);
    if (!info.exists() && !info.isSymLink()) {
        fFile.clear();
        fFileDamaged = false;
        fSeenModified = {};
        fSeenSize = -1;
        return Reading::eMissing;
    }
    QFile file(fPath);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        warn(QStringLiteral("the history file %1 cannot be read (%2): the history is kept until "
                            "Bitlens ends")
                 .arg(fPath, info.isDir() ? QStringLiteral("it is a folder") : file.errorString()));
        return Reading::eUnreadable;
    }
    fSeenModified = info.lastModified();
    fSeenSize = info.size();
    const QByteArray bytes = file.read(kMaxHistoryFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        warn(QStringLiteral("the history file %1 cannot be read (%2): the history is kept until "
                            "Bitlens ends")
                 .arg(fPath, file.errorString()));
        return Reading::eUnreadable;
    }
    HistoryReading reading;
    if (bytes.size() > kMaxHistoryFileSize)
        reading.foreign = true;
    else
        reading = ReadHistory(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    fFile = std::move(reading.history);
    fFileDamaged = reading.damaged();
    if (reading.foreign)
        warn(QStringLiteral("%1 is not a history file of this Bitlens: the history starts "
                            "empty, and the file is kept beside it as %2")
                 .arg(fPath, QFileInfo(fPath).fileName() + QLatin1String(".damaged")));
    else if (reading.damagedLines > 0)
        warn(QStringLiteral("the history file %1 has %2 damaged lines, skipped: the file is "
                            "kept beside it as %3")
                 .arg(fPath)
                 .arg(reading.damagedLines)
                 .arg(QFileInfo(fPath).fileName() + QLatin1String(".damaged")));
    return Reading::eRead;
}

// A damaged file is copied, not moved: until the new one is written, the
// old one stays where every program reads it.
bool HistoryStore::keepDamagedAside()
{
    for (int n = 1; n <= 100; ++n) {
        QString aside = fPath + QLatin1String(".damaged");
        if (n > 1)
            aside += QLatin1Char('.') + QString::number(n);
        if (QFileInfo(aside).exists() || QFileInfo(aside).isSymLink())
            continue;
        if (QFile::copy(fPath, aside))
            return true;
        break;
    }
    warn(QStringLiteral("the damaged history file %1 cannot be kept aside: it is left as it is, "
                        "and the history is kept until Bitlens ends")
             .arg(fPath));
    return false;
}

bool HistoryStore::writeFile(const History& history)
{
    const bool isNew = !QFileInfo::exists(fPath);
    QSaveFile file(fPath);
    const std::string text = WriteHistory(history);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit()) {
        warn(QStringLiteral("the history file %1 cannot be written (%2): the history is kept "
                            "until Bitlens ends")
                 .arg(fPath, file.errorString()));
        return false;
    }
    // Numbers someone worked with are theirs alone.
    if (isNew)
        QFile::setPermissions(fPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QFileInfo info(fPath);
    fSeenModified = info.lastModified();
    fSeenSize = info.size();
    fLastWarning.clear();
    return true;
}

void HistoryStore::apply()
{
    fHistory = fFile;
    for (const Change& change : fPending) {
        switch (change.kind) {
        case Change::eAdd: fHistory.add(change.entry); break;
        case Change::eRemove: fHistory.remove(change.entry); break;
        case Change::eClearThrough: fHistory.clearThrough(change.time); break;
        }
    }
}

// The file is replaced on every write, so the folder is watched as well:
// a watch on the file alone ends with the file it was on.
void HistoryStore::watch()
{
    if (!fWatcher) {
        fWatcher = new QFileSystemWatcher(this);
        fReloadSoon = new QTimer(this);
        fReloadSoon->setSingleShot(true);
        fReloadSoon->setInterval(kReloadDelayMs);
        connect(fWatcher, &QFileSystemWatcher::fileChanged, this, &HistoryStore::fileTouched);
        connect(fWatcher, &QFileSystemWatcher::directoryChanged, this, &HistoryStore::fileTouched);
        connect(fReloadSoon, &QTimer::timeout, this, &HistoryStore::reload);
    }
    const QString folder = QFileInfo(fPath).absolutePath();
    if (!fWatcher->directories().contains(folder) && QFileInfo(folder).isDir())
        fWatcher->addPath(folder);
    if (!fWatcher->files().contains(fPath) && QFileInfo(fPath).isFile())
        fWatcher->addPath(fPath);
}

void HistoryStore::fileTouched()
{
    watch();
    fReloadSoon->start();
}

void HistoryStore::warn(const QString& problem)
{
    if (problem == fLastWarning)
        return;
    fLastWarning = problem;
    qWarning("bitlens: warning: %s", qUtf8Printable(problem));
}
