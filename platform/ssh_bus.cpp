#include "ssh_bus.h"

#include "bus_relay.h"
#include "ssh_process.h"

#include <QRegularExpression>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const QString kSsh = QStringLiteral("ssh");
const QString kBridge = QStringLiteral("systemd-stdio-bridge");

// Defaults that come after the user's options, so that the user's win (ssh keeps the first
// value of each). A window cannot answer a password prompt on a terminal, and a connection
// that went quiet counts as dropped after a quarter of a minute.
const QStringList kDefaultOptions{
    QStringLiteral("BatchMode=yes"),
    QStringLiteral("ConnectTimeout=10"),
    QStringLiteral("ServerAliveInterval=5"),
    QStringLiteral("ServerAliveCountMax=3"),
};

const QString kNoAnswer = QStringLiteral("no answer from %1 within %2 s");
const QString kNoBus = QStringLiteral("no session bus at %1 on %2");
const QString kDefaultBus = QStringLiteral("the default address");
const QString kSshEnded = QStringLiteral("ssh to %1 ended without saying why");
const QString kEnding = QStringLiteral("the program is ending");
const QString kBadBusPath =
    QStringLiteral("--bus-path takes a unix:path= or unix:abstract= address, not \"%1\"");

// Lines a login script prints before the ready line are skipped; this much of one is kept.
constexpr qsizetype kLineLimit = 4096;
// ssh writes out why it failed as it ends: a moment for that before its words are read.
constexpr std::chrono::milliseconds kLastWordsMs{500};

// The remote side's shell reads the command again: anything but plain words is quoted.
QString QuoteForShell(const QString& word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./=:@,+%-]+$"));
    if (plain.match(word).hasMatch()) {
        return word;
    }
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool IsPlainAddressByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
           c == '_' || c == '/' || c == '.' || c == '\\' || c == '*';
}

std::set<CSshBus*>& LiveBuses(std::unique_lock<std::mutex>& lock) {
    static std::mutex mutex;
    static std::set<CSshBus*> buses;
    lock = std::unique_lock(mutex);
    return buses;
}

enum class ReadyWait { Ready, Ended, TimedOut, Cancelled };

// Reads ssh's output up to the ready line; what followed it is left in *rest.
ReadyWait WaitForReadyLine(int socket, Clock::time_point deadline, int cancelFd, QByteArray* rest) {
    QByteArray line;
    while (true) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return ReadyWait::TimedOut;
        }
        pollfd fds[] = {{socket, POLLIN, 0}, {cancelFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            return ReadyWait::Ended;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return ReadyWait::Cancelled;
        }
        if (fds[0].revents == 0) {
            continue;
        }
        char chunk[kLineLimit];
        const ssize_t got = ::recv(socket, chunk, sizeof(chunk), 0);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            return ReadyWait::Ended;
        }
        line.append(chunk, std::max<ssize_t>(got, 0));
        qsizetype end = 0;
        while ((end = line.indexOf('\n')) >= 0) {
            if (line.left(end).trimmed() == kBridgeReadyLine) {
                *rest = line.mid(end + 1);
                return ReadyWait::Ready;
            }
            line.remove(0, end + 1);
        }
        line = line.right(kLineLimit);
    }
}

} // namespace

// One try's ssh and, once the bridge runs, the relay the bus library connects to. The relay
// goes first: the bus library's side closes before ssh is ended.
class CSshTunnel {
public:
    CSshProcess ssh;
    CBusRelay relay;
};

QStringList SshBridgeCommand(const ServerLocation& location) {
    QStringList argv{kSsh, QStringLiteral("-xT")};
    for (const QString& option : location.sshOptions + kDefaultOptions) {
        argv << QStringLiteral("-o") << option;
    }
    // The host can never be taken for an option.
    argv << QStringLiteral("--") << location.host << QStringLiteral("echo")
         << QLatin1String(kBridgeReadyLine) + QLatin1Char(';') << QStringLiteral("exec") << kBridge
         << QStringLiteral("--user");
    if (!location.busPath.isEmpty()) {
        argv << QuoteForShell(QStringLiteral("--bus-path=") + location.busPath);
    }
    return argv;
}

QString BusPathProblem(const QString& busPath) {
    static const QRegularExpression oneUnixAddress(
        QStringLiteral("^unix:(path|abstract)=[^,;]+(,guid=[0-9A-Fa-f]+)?$"));
    if (busPath.isEmpty() || oneUnixAddress.match(busPath).hasMatch()) {
        return {};
    }
    return kBadBusPath.arg(busPath);
}

QString EscapeBusAddressValue(const QString& value) {
    QString escaped;
    for (const char c : value.toUtf8()) {
        if (IsPlainAddressByte(c)) {
            escaped += QLatin1Char(c);
        } else {
            escaped +=
                QStringLiteral("%%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0'));
        }
    }
    return escaped;
}

CSshBus::CSshBus(ServerLocation location, std::chrono::milliseconds deadline)
    : m_location(std::move(location)), m_deadline(deadline) {
    ::pipe2(m_cancel, O_CLOEXEC | O_NONBLOCK);
    std::unique_lock<std::mutex> lock;
    LiveBuses(lock).insert(this);
}

CSshBus::~CSshBus() {
    {
        std::unique_lock<std::mutex> lock;
        LiveBuses(lock).erase(this);
    }
    if (!m_name.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_name);
    }
    m_tunnel.reset();
    for (const int fd : m_cancel) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void CSshBus::Cancel() {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(m_cancel[1], &byte, 1);
}

void CancelSshBusTries() {
    std::unique_lock<std::mutex> lock;
    for (CSshBus* bus : LiveBuses(lock)) {
        bus->Cancel();
    }
}

QDBusConnection CSshBus::Connect(QString* error) {
    const std::scoped_lock lock(m_mutex);
    if (!m_name.isEmpty()) {
        QDBusConnection current(m_name);
        if (current.isConnected()) {
            return current;
        }
        QDBusConnection::disconnectFromBus(m_name);
    }
    // The dropped connection's ssh is ended and waited for.
    m_tunnel.reset();
    QString reason;
    QDBusConnection bus = Open(&reason);
    if (!bus.isConnected() && error != nullptr) {
        *error = reason;
    }
    return bus;
}

QString CSshBus::NoAnswer() const {
    return kNoAnswer.arg(m_location.host)
        .arg(std::chrono::duration_cast<std::chrono::seconds>(m_deadline).count());
}

QDBusConnection CSshBus::Open(QString* error) {
    ++m_attempts;
    m_name = QStringLiteral("orvix-ssh-%1").arg(m_attempts);
    const QDBusConnection notConnected(m_name);
    *error = BusPathProblem(m_location.busPath);
    if (!error->isEmpty()) {
        return notConnected;
    }
    pollfd cancelled{m_cancel[0], POLLIN, 0};
    if (::poll(&cancelled, 1, 0) > 0) {
        *error = kEnding;
        return notConnected;
    }
    const Clock::time_point deadline = Clock::now() + m_deadline;
    auto tunnel = std::make_unique<CSshTunnel>();
    if (!tunnel->ssh.Start(SshBridgeCommand(m_location), m_dir.filePath(m_name), error)) {
        return notConnected;
    }
    QByteArray rest;
    switch (WaitForReadyLine(tunnel->ssh.Socket(), deadline, m_cancel[0], &rest)) {
    case ReadyWait::Ready:
        break;
    case ReadyWait::TimedOut:
        *error = NoAnswer();
        return notConnected;
    case ReadyWait::Cancelled:
        *error = kEnding;
        return notConnected;
    case ReadyWait::Ended:
        tunnel->ssh.WaitForEnd(kLastWordsMs);
        *error = tunnel->ssh.LastErrorLine();
        if (error->isEmpty()) {
            *error = kSshEnded.arg(m_location.host);
        }
        return notConnected;
    }
    // What ssh says from here on is the bridge's, not the login's (a banner, a message of the
    // day).
    const qint64 loginWords = tunnel->ssh.ErrorSize();
    const QString socketPath = m_dir.filePath(m_name + QStringLiteral(".sock"));
    if (!tunnel->relay.Start(socketPath, tunnel->ssh.TakeSocket(), rest, deadline, m_cancel[0],
                             error)) {
        return notConnected;
    }
    QDBusConnection bus = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=") + EscapeBusAddressValue(socketPath), m_name);
    tunnel->relay.Established();
    if (bus.isConnected()) {
        m_tunnel = std::move(tunnel);
        return bus;
    }
    if (tunnel->relay.TimedOut()) {
        *error = NoAnswer();
    } else if (tunnel->relay.Cancelled()) {
        *error = kEnding;
    } else {
        // The bridge ends without a word when there is no bus where it looked.
        tunnel->ssh.WaitForEnd(kLastWordsMs);
        *error = tunnel->ssh.LastErrorLine(loginWords);
        if (error->isEmpty()) {
            *error = kNoBus.arg(m_location.busPath.isEmpty() ? kDefaultBus : m_location.busPath,
                                m_location.host);
        }
    }
    return bus;
}
