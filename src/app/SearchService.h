// Bitlens in the desktop's search. GNOME Shell and KRunner ask the programs
// that offer results over the session bus: this exports both of their
// interfaces under the program's bus name, io.github.bitlens.Bitlens,
//   org.gnome.Shell.SearchProvider2 at /io/github/bitlens/Bitlens/SearchProvider
//   org.kde.krunner1               at /runner
// and answers from SearchAnswers. The calls are answered on a thread of the
// service's own, so that no window, busy or not, holds up an answer; what
// a chosen result asks for (a copy, a window) comes to the service's owner
// as a signal on the owner's thread.
#ifndef BITLENS_SEARCHSERVICE_H
#define BITLENS_SEARCHSERVICE_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

class SearchServiceWorker;

class SearchService : public QObject {
    Q_OBJECT
public:
    enum Mode {
        // A process started by the bus only to answer: it gives the name up
        // to a window instance that asks for it, and ends after idleMs
        // without a call.
        eSearchOnly,
        // Beside the windows of a running instance, which keeps the name.
        eBesideWindows
    };

    static const char kBusName[];
    static const char kProviderPath[];
    static const char kRunnerPath[];
    // The test hook for the idle time of a search-only process, in ms.
    static const char kIdleVariable[];
    static constexpr int kDefaultIdleMs = 30000;
    // The idle time kIdleVariable sets, or the default.
    static int idleMsFromEnvironment();

    explicit SearchService(Mode mode, int idleMs = kDefaultIdleMs, QObject* parent = nullptr);
    // Gives the name and the objects up and ends the thread.
    ~SearchService() override;

    // Connects to the session bus, exports both interfaces and asks for the
    // name, on the service's thread; failed() says when that did not work.
    void start();

signals:
    // No session bus, or the name is someone else's; one line saying why.
    void failed(const QString& why);
    // A search-only service: another process took the name over, or no call
    // came for the idle time.
    void finished();
    // A result was chosen: its text goes to the clipboard.
    void copyRequested(const QString& text);
    // "Open in Bitlens": a window with these launch arguments; `timestamp`
    // is the time of the user's action on X11, 0 when unknown.
    void openRequested(const QStringList& arguments, quint32 timestamp);

private:
    QThread fThread;
    SearchServiceWorker* fWorker;
};

#endif
