#include "SingleInstance.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMetaMethod>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace {

// The only request the channel carries; a server never holds more of it than this.
constexpr char kRequest[] = "bitlens-reopen\n";
constexpr std::size_t kRequestSize = sizeof kRequest - 1;
constexpr char kAcknowledgement = '+';
constexpr int kProbeTimeoutMs = 100;
constexpr int kLockTimeoutMs = 1000;
constexpr int kBacklog = 16;
// Pause before accepting again when accept fails for want of descriptors.
constexpr int kAcceptRetryMs = 100;

// Closes the descriptor on every way out of a scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1)
        : fFd(fd)
    { }
    ~Descriptor()
    {
        if (fFd >= 0)
            ::close(fFd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fFd; }
    int release() { return std::exchange(fFd, -1); }

private:
    int fFd;
};

bool isPrivateDirectory(const QString& path)
{
    struct stat info { };
    const QByteArray native = QFile::encodeName(path);
    // lstat: a symbolic link planted in a shared directory must not count.
    return ::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// False for a path the address cannot hold whole: a truncated one would name
// some other file.
bool socketAddress(const QString& name, sockaddr_un& address)
{
    const QByteArray native = QFile::encodeName(name);
    address = sockaddr_un {};
    address.sun_family = AF_UNIX;
    if (native.isEmpty() || std::size_t(native.size()) >= sizeof address.sun_path
        || native.contains('\0'))
        return false;
    std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
    return true;
}

// Asks the kernel who is at the other end, which no file permission can fake.
bool peerIsThisUser(int fd)
{
    struct ucred peer { };
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer
        && peer.uid == ::geteuid();
}

// Waits until the descriptor is ready for the events or the deadline passes.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd entry { fd, events, 0 };
        const qint64 remaining = deadline.remainingTime();
        const int ready = ::poll(&entry, 1, int(std::min<qint64>(remaining, 1 << 30)));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// A non-blocking connected socket, or -1 with the reason in error: ENOENT or
// ECONNREFUSED when nobody listens at the address.
int connectWithin(const sockaddr_un& address, const QDeadlineTimer& deadline, int& error)
{
    for (;;) {
        Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        if (socket.get() < 0) {
            error = errno;
            return -1;
        }
        if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address)
            == 0)
            return socket.release();
        error = errno;
        if (error == EINPROGRESS || error == EINTR) {
            if (!waitFor(socket.get(), POLLOUT, deadline)) {
                error = ETIMEDOUT;
                return -1;
            }
            socklen_t size = sizeof error;
            if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
            return error == 0 ? socket.release() : -1;
        }
        // Linux answers a full backlog with EAGAIN instead of waiting: try again shortly.
        if (error != EAGAIN)
            return -1;
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0) {
            error = ETIMEDOUT;
            return -1;
        }
        ::poll(nullptr, 0, int(remaining < 0 ? 10 : std::min<qint64>(remaining, 10)));
    }
}

bool sendAll(int fd, const char* data, std::size_t size, const QDeadlineTimer& deadline)
{
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            size -= std::size_t(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!waitFor(fd, POLLOUT, deadline))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool receiveByte(int fd, char& byte, const QDeadlineTimer& deadline)
{
    for (;;) {
        const ssize_t received = ::recv(fd, &byte, 1, 0);
        if (received == 1)
            return true;
        if (received == 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK))
            return false;
        if (errno != EINTR && !waitFor(fd, POLLIN, deadline))
            return false;
    }
}

} // namespace

// One connection to the server, from accept to close.
class SingleInstance::Client : public QObject {
public:
    Client(int fd, QObject* parent)
        : QObject(parent)
        , fFd(fd)
        , fNotifier(fd, QSocketNotifier::Read)
    {
        fTimer.setSingleShot(true);
    }
    ~Client() override { close(); }

    void close()
    {
        fNotifier.setEnabled(false);
        fTimer.stop();
        if (fFd >= 0)
            ::close(fFd);
        fFd = -1;
    }
    // Closed at once; the object goes once the event that led here is handled.
    void drop()
    {
        close();
        deleteLater();
    }

    int fFd;
    QSocketNotifier fNotifier;
    QTimer fTimer;
    std::size_t fReceived = 0;
};

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent)
    , fName(name)
{ }

SingleInstance::~SingleInstance()
{
    if (fListener < 0)
        return;
    delete fListenerNotifier;
    ::close(fListener);
    sockaddr_un address;
    struct stat info { };
    if (socketAddress(fName, address) && ::lstat(address.sun_path, &info) == 0
        && quint64(info.st_dev) == fSocketDevice && quint64(info.st_ino) == fSocketInode)
        ::unlink(address.sun_path);
}

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
    sockaddr_un address;
    if (!socketAddress(fName, address))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    int error = 0;
    const Descriptor socket(connectWithin(address, deadline, error));
    char answer = 0;
    return socket.get() >= 0 && peerIsThisUser(socket.get())
        && sendAll(socket.get(), kRequest, kRequestSize, deadline)
        && receiveByte(socket.get(), answer, deadline) && answer == kAcknowledgement;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    sockaddr_un address;
    if (!socketAddress(fName, address))
        return false;

    // Racing launches take turns here, so that one of them listens and the
    // others see it as live instead of replacing its socket.
    QLockFile lock(fName + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs))
        return false;

    // Only a socket nobody answers on may go; when in doubt, leave it.
    int error = 0;
    if (Descriptor(connectWithin(address, QDeadlineTimer(kProbeTimeoutMs), error)).get() >= 0
        || (error != ENOENT && error != ECONNREFUSED))
        return false;
    ::unlink(address.sun_path);

    Descriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (listener.get() < 0
        || ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    // Nobody can connect before listen(); the private directory guards the gap.
    struct stat info { };
    if (::chmod(address.sun_path, 0600) != 0 || ::listen(listener.get(), kBacklog) != 0
        || ::lstat(address.sun_path, &info) != 0) {
        ::unlink(address.sun_path);
        return false;
    }
    fSocketDevice = quint64(info.st_dev);
    fSocketInode = quint64(info.st_ino);
    fListener = listener.release();
    fListenerNotifier = new QSocketNotifier(fListener, QSocketNotifier::Read, this);
    connect(
        fListenerNotifier, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    return true;
}

bool SingleInstance::isListening() const
{
    return fListener >= 0;
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        const int fd = ::accept4(fListener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            serve(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            // Out of descriptors, say: the listener stays readable, so pause instead of spinning.
            fListenerNotifier->setEnabled(false);
            QTimer::singleShot(kAcceptRetryMs, fListenerNotifier,
                [notifier = fListenerNotifier] { notifier->setEnabled(true); });
        }
        return;
    }
}

void SingleInstance::serve(int descriptor)
{
    Descriptor socket(descriptor);
    if (!peerIsThisUser(socket.get()))
        return;
    auto* client = new Client(socket.release(), this);
    connect(&client->fTimer, &QTimer::timeout, client, &Client::drop);
    connect(&client->fNotifier, &QSocketNotifier::activated, client,
        [this, client] { readRequest(client); });
    client->fTimer.start(kClientTimeoutMs);
}

void SingleInstance::readRequest(Client* client)
{
    char buffer[kRequestSize];
    while (client->fReceived < kRequestSize) {
        const ssize_t bytes = ::recv(client->fFd, buffer, kRequestSize - client->fReceived, 0);
        if (bytes < 0 && errno == EINTR)
            continue;
        if (bytes < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // Closed early, failed, or anything but the request: dropped at once.
        if (bytes <= 0
            || std::memcmp(buffer, kRequest + client->fReceived, std::size_t(bytes)) != 0) {
            client->drop();
            return;
        }
        client->fReceived += std::size_t(bytes);
    }
    // Acknowledged only when someone is there to bring a window back;
    // otherwise the new launch had better open its own.
    if (!isSignalConnected(QMetaMethod::fromSignal(&SingleInstance::reopenRequested))) {
        client->drop();
        return;
    }
    // Nothing more is read, and no time-out cuts in, while the receivers run.
    client->fNotifier.setEnabled(false);
    client->fTimer.stop();
    const QPointer<Client> alive(client);
    emit reopenRequested();
    if (!alive)
        return;
    // Best effort: a client that has gone simply finds no answer.
    ::send(client->fFd, &kAcknowledgement, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    client->drop();
}
