#include "loopback_ssh.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStartAttempts = 3;
constexpr int kPollMs = 20;
const QString kSshd = QStringLiteral("/usr/sbin/sshd");
// Root's sshd checks for its privilege separation folder, which a machine without a running
// sshd may not have.
const QString kPrivilegeSeparationDir = QStringLiteral("/run/sshd");

bool Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(kStartTimeoutMs) &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Binds and closes at once: a port that was free a moment ago.
int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof(address);
    const bool bound = fd >= 0 &&
                       ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound ? ntohs(address.sin_port) : 0;
}

bool Listens(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(port);
    const bool connected =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return connected;
}

} // namespace

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

LoopbackSshServer::LoopbackSshServer() {
    if (!Prepare()) {
        return;
    }
    // The free port may be taken by someone else before sshd binds it: then another one.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        if (Start()) {
            m_problem.clear();
            return;
        }
    }
}

bool LoopbackSshServer::Start() {
    m_port = FreeLoopbackPort();
    if (m_port == 0 || !WriteConfiguration()) {
        m_problem = QStringLiteral("cannot write sshd's configuration");
        return false;
    }
    m_sshd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_sshd.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_sshd.start(kSshd, {QStringLiteral("-D"), QStringLiteral("-e"), QStringLiteral("-f"),
                         m_dir.filePath(QStringLiteral("sshd_config"))});
    if (!m_sshd.waitForStarted(kStartTimeoutMs)) {
        m_problem = QStringLiteral("sshd did not start");
        return false;
    }
    for (int waited = 0; waited < kStartTimeoutMs; waited += kPollMs) {
        if (Listens(m_port)) {
            return true;
        }
        if (m_sshd.state() != QProcess::Running) {
            break;
        }
        QThread::msleep(kPollMs);
    }
    m_sshd.kill();
    m_sshd.waitForFinished(kStartTimeoutMs);
    m_problem = QStringLiteral("sshd does not listen on port %1").arg(m_port);
    return false;
}

LoopbackSshServer::~LoopbackSshServer() {
    KillClients();
    if (m_sshd.state() != QProcess::NotRunning) {
        m_sshd.terminate();
        m_sshd.waitForFinished(5000);
    }
}

bool LoopbackSshServer::Prepare() {
    if (!QFile::exists(kSshd)) {
        m_missing = QStringLiteral("no sshd (package openssh-server)");
        return false;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("systemd-stdio-bridge")).isEmpty()) {
        m_missing = QStringLiteral("no systemd-stdio-bridge (package systemd)");
        return false;
    }
    if (!m_dir.isValid()) {
        m_problem = QStringLiteral("no temporary folder");
        return false;
    }
    if (::getuid() == 0 && !QDir().mkpath(kPrivilegeSeparationDir)) {
        m_problem = QStringLiteral("cannot make ") + kPrivilegeSeparationDir;
        return false;
    }
    for (const char* key : {"host_key", "client_key", "unknown_key"}) {
        if (!Run(QStringLiteral("ssh-keygen"),
                 {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                  QStringLiteral("-N"), QString(), QStringLiteral("-f"),
                  m_dir.filePath(QString::fromLatin1(key))})) {
            m_problem = QStringLiteral("ssh-keygen failed");
            return false;
        }
    }
    QFile::copy(m_dir.filePath(QStringLiteral("client_key.pub")),
                m_dir.filePath(QStringLiteral("authorized_keys")));
    return true;
}

bool LoopbackSshServer::WriteConfiguration() const {
    const QByteArray hostKey = ReadAll(m_dir.filePath(QStringLiteral("host_key.pub")));
    QFile knownHosts(m_dir.filePath(QStringLiteral("known_hosts")));
    QFile config(m_dir.filePath(QStringLiteral("sshd_config")));
    if (!knownHosts.open(QIODevice::WriteOnly) || !config.open(QIODevice::WriteOnly)) {
        return false;
    }
    QTextStream(&knownHosts) << "[127.0.0.1]:" << m_port << ' '
                             << hostKey.split(' ').mid(0, 2).join(' ') << '\n';
    // Tests run as root in CI: root may log in with a key, and the temporary folder's modes
    // are not sshd's business.
    QTextStream(&config) << "ListenAddress 127.0.0.1\nPort " << m_port << "\nHostKey "
                         << m_dir.filePath(QStringLiteral("host_key")) << "\nAuthorizedKeysFile "
                         << m_dir.filePath(QStringLiteral("authorized_keys")) << "\nPidFile "
                         << m_dir.filePath(QStringLiteral("sshd.pid"))
                         << "\nStrictModes no\nPermitRootLogin prohibit-password\n"
                            "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                            "UsePAM no\nX11Forwarding no\nAllowTcpForwarding no\n"
                            "LoginGraceTime 20\n";
    return true;
}

QStringList LoopbackSshServer::ClientOptions(const QString& identity) const {
    return {QStringLiteral("Port=%1").arg(m_port),
            QStringLiteral("IdentityFile=") +
                (identity.isEmpty() ? m_dir.filePath(QStringLiteral("client_key")) : identity),
            QStringLiteral("IdentitiesOnly=yes"),
            QStringLiteral("UserKnownHostsFile=") + m_dir.filePath(QStringLiteral("known_hosts")),
            QStringLiteral("GlobalKnownHostsFile=/dev/null"),
            QStringLiteral("StrictHostKeyChecking=yes")};
}

QList<int> LoopbackSshServer::KillClients() const {
    const QByteArray key = m_dir.filePath(QStringLiteral("client_key")).toLocal8Bit();
    QList<int> killed;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (!isPid) {
            continue;
        }
        const QByteArray commandLine = ReadAll(QStringLiteral("/proc/%1/cmdline").arg(pid));
        // The program's name with its terminating NUL: ssh itself, not sshd.
        if (commandLine.startsWith(QByteArrayView("ssh", sizeof("ssh"))) &&
            commandLine.contains(key)) {
            ::kill(pid, SIGTERM);
            killed << pid;
        }
    }
    return killed;
}
