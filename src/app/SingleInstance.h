// The channel through which a second launch of the program hands over to the
// one already running for the same user.
#ifndef BITLENS_SINGLEINSTANCE_H
#define BITLENS_SINGLEINSTANCE_H

#include <QObject>
#include <QString>

class QSocketNotifier;

// Use at start-up, before the first window:
//   SingleInstance instance;
//   if (instance.handOverToRunningInstance()) return 0;
//   if (!instance.listen() && instance.handOverToRunningInstance()) return 0;
//   connect reopenRequested to the windows, then open this launch's window.
// The second hand-over covers a launch that lost the race to listen.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name = defaultName(), QObject* parent = nullptr);
    // Stops listening and removes the socket, unless another instance's has replaced it.
    ~SingleInstance() override;

    // True only when a running instance acknowledged the reopen request; the
    // caller then exits with status 0. Blocks for at most about timeoutMs.
    bool handOverToRunningInstance(int timeoutMs = 1000);

    // Starts listening. A socket left behind by a killed instance is replaced;
    // a live one is left alone and false is returned. On false the program
    // simply runs without the channel.
    bool listen();
    bool isListening() const;

    // A socket path in a directory private to this user: XDG_RUNTIME_DIR when
    // it is ours and private, otherwise a per-uid directory under the
    // temporary directory. Empty when no private directory can be had, which
    // turns the channel off, as does a path too long for a socket address.
    static QString defaultName();

    // A client that has not sent the request by then is dropped.
    static constexpr int kClientTimeoutMs = 2000;

signals:
    void reopenRequested();

private:
    class Client;

    void acceptConnections();
    void serve(int descriptor);
    void readRequest(Client* client);

    QString fName;
    int fListener = -1;
    QSocketNotifier* fListenerNotifier = nullptr;
    // Which file we bound, so that we never remove another instance's socket.
    quint64 fSocketDevice = 0;
    quint64 fSocketInode = 0;
};

#endif
