#include "SingleInstance.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMetaMethod>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace {

// The first line of every request names the protocol and its version; a
// request of another version is not understood and gets no answer.
constexpr char kMagic[] = "bitlens-hand-over 1\n";
constexpr qsizetype kMagicSize = sizeof kMagic - 1;
// A request ends with an empty line, and the server holds no more than this of it.
constexpr char kEnd[] = "\n\n";
constexpr qsizetype kMaxRequestSize = 4096;
// Startup ids and activation tokens are short printable strings.
constexpr qsizetype kMaxTokenSize = 256;
constexpr char kAcknowledgement = '+';
constexpr int kProbeTimeoutMs = 100;
constexpr int kLockTimeoutMs = 1000;
// As deep as the kernel allows (it caps this at net.core.somaxconn): another
// program holding many connections must not leave a launch no room to queue.
constexpr int kBacklog = SOMAXCONN;
// Connections accepted in one go; the windows get their turn in between.
constexpr int kAcceptBatch = 64;
// Pause before accepting again when accept fails for want of descriptors.
constexpr int kAcceptRetryMs = 100;
// Longer display keys go into the socket's name as a hash.
constexpr qsizetype kMaxKeyInName = 48;

const char* const kActionNames[] = { "front", "new-window", "text" };

bool isToken(const QByteArray& token)
{
    return !token.isEmpty() && token.size() <= kMaxTokenSize
        && std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

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

// Bytes that have arrived and not been read; 0 also at the end of the stream.
int bytesWaiting(int fd)
{
    int waiting = 0;
    return ::ioctl(fd, FIONREAD, &waiting) == 0 ? waiting : 0;
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

// The X display without its screen: "[protocol/]host:number[.screen]",
// where a host of "unix" or the unix protocol means this machine.
QString withoutScreen(const QString& display)
{
    const qsizetype colon = display.lastIndexOf(u':');
    if (colon < 0)
        return display;
    QString host = display.left(colon);
    QString number = display.mid(colon + 1);
    if (const qsizetype dot = number.indexOf(u'.'); dot >= 0)
        number.truncate(dot);
    if (const qsizetype slash = host.indexOf(u'/'); slash >= 0) {
        const bool local = host.left(slash) == QLatin1String("unix");
        host = local ? QString() : host.mid(slash + 1);
    }
    if (host == QLatin1String("unix"))
        host.clear();
    return host + u':' + number;
}

// The key as part of a file name: one name per key, nothing but safe bytes.
QString nameForKey(const QString& key)
{
    const QByteArray bytes = key.toUtf8();
    QByteArray name;
    for (const char c : bytes) {
        if (std::isalnum(static_cast<unsigned char>(c)) || std::strchr("._:+-", c))
            name += c;
        else
            name += '%'
                + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
    }
    if (name.size() > kMaxKeyInName)
        name = "h-" + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(32);
    return QString::fromLatin1(name);
}

} // namespace

QByteArray HandOverRequest::encode() const
{
    // Only the launches that open a window are handed over; anything else
    // would be the caller's mistake, and asks for no more than the front.
    const bool opensWindow = action >= eLaunchToFront && action <= eLaunchWithText;
    QByteArray message(kMagic);
    message += QByteArray("open=") + kActionNames[opensWindow ? action - eLaunchToFront : 0] + '\n';
    if (isToken(activationToken))
        message += "token=" + activationToken.toPercentEncoding() + '\n';
    if (action == eLaunchWithText) {
        message += "notation=" + QByteArray::number(int(reading.notation)) + '\n';
        message += "width=" + QByteArray::number(reading.width) + '\n';
        message
            += QByteArray("endian=") + (reading.endian == eLittleEndian ? "little" : "big") + '\n';
        message += "text=" + reading.text.toUtf8().toPercentEncoding() + '\n';
    }
    return message + '\n';
}

std::optional<HandOverRequest> HandOverRequest::decode(const QByteArray& message)
{
    if (!message.startsWith(kMagic) || !message.endsWith(kEnd) || message.size() > kMaxRequestSize)
        return std::nullopt;
    const QByteArray body = message.mid(kMagicSize, message.size() - kMagicSize - 2);
    std::optional<QByteArray> open, notation, width, endian, text;
    HandOverRequest request;
    for (const QByteArray& line : body.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            return std::nullopt;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (key == "open")
            open = value;
        else if (key == "token")
            request.activationToken = QByteArray::fromPercentEncoding(value);
        else if (key == "notation")
            notation = value;
        else if (key == "width")
            width = value;
        else if (key == "endian")
            endian = value;
        else if (key == "text")
            text = QByteArray::fromPercentEncoding(value);
        // Other keys are a later version's additions, which this one does without.
    }
    // A token that is not one is no reason to leave the user without a window.
    if (!isToken(request.activationToken))
        request.activationToken.clear();

    const auto action = std::find_if(std::begin(kActionNames), std::end(kActionNames),
        [&open](const char* name) { return open && *open == name; });
    if (action == std::end(kActionNames))
        return std::nullopt;
    request.action = LaunchAction(eLaunchToFront + (action - std::begin(kActionNames)));
    if (request.action != eLaunchWithText)
        return request;

    // Read as carefully as the command line reads it: the window trusts these.
    bool number = false;
    const int notationValue = notation ? notation->toInt(&number) : -1;
    if (!number || notationValue < 0 || notationValue >= eNotationCount)
        return std::nullopt;
    const uint widthValue = width ? width->toUInt(&number) : 0;
    if (!number
        || (widthValue != 8 && widthValue != 16 && widthValue != 32 && widthValue != 64
            && widthValue != 128))
        return std::nullopt;
    if (!endian || (*endian != "big" && *endian != "little") || !text)
        return std::nullopt;
    request.reading.notation = Notation(notationValue);
    request.reading.width = UInt16(widthValue);
    request.reading.endian = *endian == "little" ? eLittleEndian : eBigEndian;
    request.reading.text = QString::fromUtf8(*text);
    if (request.reading.text.size() > kFieldBufferSize - 1)
        return std::nullopt;
    return request;
}

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

    int fFd;
    QSocketNotifier fNotifier;
    QTimer fTimer;
    QByteArray fReceived;
};

SingleInstance::SingleInstance(const QString& path, QObject* parent)
    : QObject(parent)
    , fPath(path)
{ }

SingleInstance::~SingleInstance()
{
    if (fListener < 0)
        return;
    delete fListenerNotifier;
    ::close(fListener);
    sockaddr_un address;
    struct stat info { };
    if (socketAddress(fPath, address) && ::lstat(address.sun_path, &info) == 0
        && quint64(info.st_dev) == fSocketDevice && quint64(info.st_ino) == fSocketInode)
        ::unlink(address.sun_path);
}

QString SingleInstance::displayKey(
    const QString& platformName, const QString& x11Display, const QString& waylandDisplay)
{
    if (platformName.startsWith(QLatin1String("wayland")))
        return QStringLiteral("wayland-")
            + (waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay);
    if (platformName == QLatin1String("xcb"))
        return QStringLiteral("x11-") + withoutScreen(x11Display);
    return platformName;
}

QString SingleInstance::socketPath(const QString& displayKey, QString* whyNot)
{
    QString directory = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(directory) || !isPrivateDirectory(directory)) {
        // Not QStandardPaths::RuntimeLocation: it warns on every launch when the variable is unset.
        directory = QDir::tempPath() + QStringLiteral("/bitlens-") + QString::number(::geteuid());
        // Fails harmlessly when it exists; whoever made it, the check below decides.
        ::mkdir(QFile::encodeName(directory).constData(), 0700);
        if (!isPrivateDirectory(directory)) {
            if (whyNot)
                *whyNot = QStringLiteral("neither XDG_RUNTIME_DIR nor %1 is a folder of this "
                                         "user's that only this user can open")
                              .arg(directory);
            return {};
        }
    }
    return directory + QStringLiteral("/bitlens-") + nameForKey(displayKey);
}

bool SingleInstance::handOver(const HandOverRequest& request, int timeoutMs)
{
    sockaddr_un address;
    if (!socketAddress(fPath, address))
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    int error = 0;
    const Descriptor socket(connectWithin(address, deadline, error));
    const QByteArray message = request.encode();
    char answer = 0;
    return socket.get() >= 0 && peerIsThisUser(socket.get())
        && sendAll(socket.get(), message.constData(), std::size_t(message.size()), deadline)
        && receiveByte(socket.get(), answer, deadline) && answer == kAcknowledgement;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    const auto fail = [this](const QString& why) {
        fError = why;
        return false;
    };
    sockaddr_un address;
    if (fPath.isEmpty())
        return fail(QStringLiteral("no folder for its socket"));
    if (!socketAddress(fPath, address))
        return fail(QStringLiteral("the socket path %1 is too long for a socket").arg(fPath));

    // Racing launches take turns here, so that one of them listens and the
    // others see it as live instead of replacing its socket.
    QLockFile lock(fPath + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockTimeoutMs))
        return fail(QStringLiteral("cannot lock %1.lock").arg(fPath));

    // Only a socket nobody answers on may go; when in doubt, leave it.
    int error = 0;
    if (Descriptor(connectWithin(address, QDeadlineTimer(kProbeTimeoutMs), error)).get() >= 0
        || (error != ENOENT && error != ECONNREFUSED))
        return fail(QStringLiteral("another instance holds %1 but did not answer").arg(fPath));
    ::unlink(address.sun_path);

    Descriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (listener.get() < 0)
        return fail(QStringLiteral("no socket: %1").arg(QString::fromLocal8Bit(strerror(errno))));
    // Private from its first moment: the file the bind makes takes the umask's mode.
    const mode_t previousMask = ::umask(077);
    const int bound
        = ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    const int bindError = errno;
    ::umask(previousMask);
    if (bound != 0)
        return fail(QStringLiteral("cannot make %1: %2")
                        .arg(fPath, QString::fromLocal8Bit(strerror(bindError))));
    struct stat info { };
    if (::listen(listener.get(), kBacklog) != 0 || ::lstat(address.sun_path, &info) != 0) {
        ::unlink(address.sun_path);
        return fail(QStringLiteral("cannot listen on %1").arg(fPath));
    }
    fSocketDevice = quint64(info.st_dev);
    fSocketInode = quint64(info.st_ino);
    fListener = listener.release();
    fListenerNotifier = new QSocketNotifier(fListener, QSocketNotifier::Read, this);
    connect(
        fListenerNotifier, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    fError.clear();
    return true;
}

bool SingleInstance::isListening() const
{
    return fListener >= 0;
}

QString SingleInstance::errorString() const
{
    return fError;
}

int SingleInstance::pendingClientCount() const
{
    return int(fClients.size());
}

void SingleInstance::acceptConnections()
{
    for (int accepted = 0; accepted < kAcceptBatch;) {
        const int fd = ::accept4(fListener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            ++accepted;
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
    fClients.push_back(client);
    connect(&client->fTimer, &QTimer::timeout, client, [this, client] { drop(client); });
    connect(&client->fNotifier, &QSocketNotifier::activated, client,
        [this, client] { readRequest(client); });
    client->fTimer.start(kClientTimeoutMs);
    // A launch sends its request as it connects: one that has arrived is
    // served now, ahead of any number of connections that say nothing.
    if (bytesWaiting(client->fFd) > 0)
        readRequest(client);
    makeRoom();
}

// However many connect, the instance holds a bounded number of descriptors.
// Idle connections make way for new ones, the oldest first, so that no
// number of them can keep a launch out; refusing the newest instead would
// refuse the launch.
void SingleInstance::makeRoom()
{
    while (int(fClients.size()) > kMaxPendingClients) {
        const auto silent = std::find_if(fClients.begin(), fClients.end(),
            [](const Client* client) { return client->fReceived.isEmpty(); });
        if (silent == fClients.end()) {
            drop(fClients.front());
            continue;
        }
        // Its request may have come since it was accepted: served, not closed.
        Client* oldest = *silent;
        if (bytesWaiting(oldest->fFd) > 0)
            readRequest(oldest);
        else
            drop(oldest);
    }
}

void SingleInstance::readRequest(Client* client)
{
    char buffer[512];
    qsizetype end = -1;
    while (end < 0) {
        const ssize_t bytes = ::recv(client->fFd, buffer, sizeof buffer, 0);
        if (bytes < 0 && errno == EINTR)
            continue;
        if (bytes < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (bytes <= 0) {
            drop(client);
            return;
        }
        const qsizetype searchFrom = std::max<qsizetype>(client->fReceived.size() - 1, 0);
        client->fReceived.append(buffer, bytes);
        QByteArray& received = client->fReceived;
        // Anything but our protocol, or more of it than a request holds: dropped at once.
        const qsizetype compared = std::min(received.size(), kMagicSize);
        if (std::memcmp(received.constData(), kMagic, std::size_t(compared)) != 0
            || received.size() > kMaxRequestSize) {
            drop(client);
            return;
        }
        end = received.indexOf(kEnd, searchFrom);
    }
    const std::optional<HandOverRequest> request
        = HandOverRequest::decode(client->fReceived.left(end + 2));
    // Acknowledged only when someone is there to open a window; otherwise
    // the new launch had better open its own.
    if (!request || !isSignalConnected(QMetaMethod::fromSignal(&SingleInstance::requestReceived))) {
        drop(client);
        return;
    }
    // Nothing more is read, and no time-out cuts in, while the receivers run.
    client->fNotifier.setEnabled(false);
    client->fTimer.stop();
    const QPointer<Client> alive(client);
    emit requestReceived(*request);
    if (!alive)
        return;
    // Best effort: a client that has gone simply finds no answer.
    ::send(client->fFd, &kAcknowledgement, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    drop(client);
}

// Closed at once; the object goes once the event that led here is handled.
void SingleInstance::drop(Client* client)
{
    client->close();
    client->deleteLater();
    fClients.erase(std::remove(fClients.begin(), fClients.end(), client), fClients.end());
}
