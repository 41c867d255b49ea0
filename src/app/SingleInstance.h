// The channel through which a launch of the program hands over to the one
// already running for the same user on the same display.
#ifndef BITLENS_SINGLEINSTANCE_H
#define BITLENS_SINGLEINSTANCE_H

#include "CommandLine.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class QSocketNotifier;

// What a launch asks the running instance for: its windows to the front, an
// empty new window, or a new window with a text read into its Value row;
// with the launch's startup-notification id or activation token, which lets
// the window come to the front over another program's.
struct HandOverRequest {
    LaunchAction action = eLaunchToFront; // eLaunchToFront, eLaunchNewWindow or eLaunchWithText
    TextReading reading; // for eLaunchWithText
    QByteArray activationToken;

    // The request on the wire, and back; nullopt for anything malformed.
    QByteArray encode() const;
    static std::optional<HandOverRequest> decode(const QByteArray& message);
};

// Use at start-up, before the first window:
//   SingleInstance instance(SingleInstance::socketPath(key, &why));
//   if (instance.handOver(request)) return 0;
//   if (!instance.listen() && instance.handOver(request)) return 0;
//   connect requestReceived to the windows, then open this launch's window.
// The second hand-over covers a launch that lost the race to listen.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& path, QObject* parent = nullptr);
    // Stops listening and removes the socket, unless another instance's has replaced it.
    ~SingleInstance() override;

    // True only when a running instance acknowledged the request; the caller
    // then exits with status 0. Blocks for at most about timeoutMs.
    bool handOver(const HandOverRequest& request, int timeoutMs = 1000);

    // Starts listening. A socket left behind by a killed instance is replaced;
    // a live one is left alone. On false, errorString() says why, and the
    // program runs as an instance of its own, without the channel.
    bool listen();
    bool isListening() const;
    QString errorString() const;

    // The display a launch's windows show on, as the channel's key: the
    // Wayland display on Wayland; the X display without its screen number
    // on X11 (":0", ":0.1" and "unix:0" are one); else the platform's name.
    static QString displayKey(
        const QString& platformName, const QString& x11Display, const QString& waylandDisplay);

    // The socket for `displayKey` in a directory private to this user:
    // XDG_RUNTIME_DIR when it is ours and private, otherwise a per-uid
    // directory under the temporary directory. Empty, with the reason in
    // `whyNot`, when no private directory can be had.
    static QString socketPath(const QString& displayKey, QString* whyNot = nullptr);

    // Connections held at once while they send their request. A request
    // that has arrived is served first; past the bound, the oldest
    // connection that has said nothing is closed to make room, and one
    // silent for kClientTimeoutMs is dropped.
    static constexpr int kMaxPendingClients = 16;
    static constexpr int kClientTimeoutMs = 500;
    int pendingClientCount() const;

signals:
    void requestReceived(const HandOverRequest& request);

private:
    class Client;

    void acceptConnections();
    void serve(int descriptor);
    void makeRoom();
    void readRequest(Client* client);
    void drop(Client* client);

    QString fPath;
    QString fError;
    int fListener = -1;
    QSocketNotifier* fListenerNotifier = nullptr;
    // Which file we bound, so that we never remove another instance's socket.
    quint64 fSocketDevice = 0;
    quint64 fSocketInode = 0;
    // Oldest first.
    std::vector<Client*> fClients;
};

#endif
