// The history file: $XDG_STATE_HOME/bitlens/history (~/.local/state/bitlens/
// history when XDG_STATE_HOME is unset, empty or not absolute), shared by
// every window and every Bitlens of the user.
//
// Each change re-reads the file under a lock (history.lock), applies itself
// to what the file holds and writes the whole file atomically (QSaveFile),
// so that two programs writing at once both keep their entries and a crash
// or a full disk leaves the old file. A change that cannot be written stays
// in memory and is applied again with the next one.
//
// A missing, unreadable or damaged file gives what can be read (an empty
// history at worst) and one warning line. A damaged file is copied aside
// (history.damaged, history.damaged.2, ...) before a new one replaces it;
// one that cannot be read at all is never written over.
#ifndef BITLENS_HISTORYSTORE_H
#define BITLENS_HISTORYSTORE_H

#include "model/History.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <vector>

class QFileSystemWatcher;
class QTimer;

class HistoryStore : public QObject {
    Q_OBJECT

public:
    // Reads nothing until the history is first asked for.
    explicit HistoryStore(QString path = defaultPath(), QObject* parent = nullptr);
    ~HistoryStore() override;
    static QString defaultPath();

    const QString& path() const { return fPath; }

    // Newest first. The file is read on the first call.
    const History& history();

    // Each writes the file. `record` files the entry unless it repeats the
    // newest, and says whether it did.
    bool record(const HistoryEntry& entry);
    void remove(const HistoryEntry& entry);
    // Removes every entry shown now; what another program entered since stays.
    void clear();

    // Reads the file again now, as a change to it does a moment later.
    void reload();

signals:
    // The history changed: here, or in the file.
    void changed();

private:
    struct Change {
        enum Kind { eAdd, eRemove, eClearThrough } kind;
        HistoryEntry entry;
        SInt64 time = 0;
    };
    enum class Reading { eRead, eMissing, eUnreadable };

    void load();
    void change(Change change);
    // Reads the file into fFile; says whether it could be read.
    Reading readFile();
    bool keepDamagedAside();
    bool writeFile(const History& history);
    void apply();
    void watch();
    void fileTouched();
    void warn(const QString& problem);

    QString fPath;
    bool fLoaded = false;
    // What the file held when last read or written, and the changes made
    // here since that it does not hold yet.
    History fFile;
    std::vector<Change> fPending;
    History fHistory; // fFile with fPending applied
    // The file as last read held damaged lines: copied aside before writing.
    bool fFileDamaged = false;
    // The file as last seen, to tell a change to it from a notice of our own write.
    QDateTime fSeenModified;
    qint64 fSeenSize = -1;
    QString fLastWarning;
    QFileSystemWatcher* fWatcher = nullptr;
    QTimer* fReloadSoon = nullptr;
};

#endif
