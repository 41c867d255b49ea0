#include "SingleInstance.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QMetaMethod>
#include <QPointer>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The only request the channel carries.
const QByteArray kRequest = QByteArrayLiteral("bitlens-reopen\n");
constexpr char kAcknowledgement = '+';
// Caps what Qt buffers from one client, whatever it sends.
constexpr qint64 kClientReadBufferSize = 64;
constexpr int kProbeTimeoutMs = 100;
constexpr int kLockTimeoutMs = 1000;

bool isPrivateDirectory(const QString& path)
{
    struct stat info { };
    const QByteArray native = QFile::encodeName(path);
    // lstat: a symbolic link planted in a shared directory must not count.
    return ::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// Asks the kernel who is at the other end, which no file permission can fake.
bool peerIsThisUser(const QLocalSocket& socket)
{
#ifdef SO_PEERCRED
    struct ucred peer { };
    socklen_t size = sizeof peer;
    const auto descriptor = socket.socketDescriptor();
    return descriptor >= 0
        && ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && peer.uid == ::geteuid();
#else
    Q_UNUSED(socket);
    return true;
#endif
}

void drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

} // namespace

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent)
    , fName(name)
{ }

QString SingleInstance::defaultName()
{
    QString directory = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(directory) || !isPrivateDirectory(directory)) {
        // Not QStandardPaths::RuntimeLocation: it warns on every launch when the variable is unset.
        directory = QDir::tempPath() + QStringLiteral("/bitlens-") + QString::number(::geteuid());
        // Fails harmlessly when it exists; whoever made it, the check below decides.
        ::mkdir(QFile::encodeName(directory).constData(), 0700);
        if (!isPrivateDirectory(directory))
            return {};
    }
    return directory + QStringLiteral("/bitlens-instance");
}

bool SingleInstance::handOverToRunningInstance(int timeoutMs)
{
    if (fName.isEmpty())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(fName);
    if (!socket.waitForConnected(int(deadline.remainingTime())) || !peerIsThisUser(socket))
        return false;
    socket.write(kRequest);
    socket.flush();
    char answer = 0;
    return socket.waitForReadyRead(int(deadline.remainingTime())) && socket.getChar(&answer)
        && answer == kAcknowledgement;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    if (fName.isEmpty())
        return false;

    // Racing launches take turns here, so that one of them listens and the
    // others see it as live instead of replacing its socket.
    QLockFile lock(fName + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs))
        return false;

    QLocalSocket probe;
    probe.connectToServer(fName);
    if (probe.waitForConnected(kProbeTimeoutMs))
        return false;
    probe.abort();

    // Whatever is left at the path belongs to an instance that is gone.
    QLocalServer::removeServer(fName);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(fName)) {
        delete server;
        return false;
    }
    fServer = server;
    connect(fServer, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

bool SingleInstance::isListening() const
{
    return fServer && fServer->isListening();
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = fServer->nextPendingConnection())
        serve(socket);
}

void SingleInstance::serve(QLocalSocket* socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!peerIsThisUser(*socket)) {
        drop(socket);
        return;
    }
    socket->setReadBufferSize(kClientReadBufferSize);
    QTimer::singleShot(kClientTimeoutMs, socket, [socket] { drop(socket); });

    connect(
        socket, &QLocalSocket::readyRead, this, [this, socket, received = QByteArray()]() mutable {
            if (received.size() == kRequest.size())
                return; // already answered; anything more is ignored
            received += socket->read(kRequest.size() - received.size());
            if (!kRequest.startsWith(received)) {
                drop(socket);
                return;
            }
            if (received.size() < kRequest.size())
                return;
            // Acknowledged only when someone is there to bring a window back;
            // otherwise the new launch had better open its own.
            if (!isSignalConnected(QMetaMethod::fromSignal(&SingleInstance::reopenRequested))) {
                drop(socket);
                return;
            }
            const QPointer<QLocalSocket> alive(socket);
            emit reopenRequested();
            if (!alive)
                return;
            socket->putChar(kAcknowledgement);
            socket->disconnectFromServer();
        });
}
