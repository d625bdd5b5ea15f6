#include "ssh_bus.h"

#include <QDBusError>
#include <QFile>
#include <QRegularExpression>

#include <sys/wait.h>

namespace {

const QString kSsh = QStringLiteral("ssh");
const QString kBridge = QStringLiteral("systemd-stdio-bridge");
// Keeps the program's standard error in the file named by its first argument, and its process
// id (the shell's, which the program takes over) beside it. The script is constant: the file
// and the command come as arguments, so nothing needs quoting.
const QString kRedirectScript =
    QStringLiteral("e=$1; shift; echo $$ >\"$e.pid\"; exec \"$@\" 2>\"$e\"");
const QString kShell = QStringLiteral("/bin/sh");

// Defaults that come after the user's options, so that the user's win (ssh keeps the first
// value of each). A window cannot answer a password prompt on a terminal, and a connection
// that went quiet counts as dropped after a quarter of a minute.
const QStringList kDefaultOptions{
    QStringLiteral("BatchMode=yes"),
    QStringLiteral("ConnectTimeout=10"),
    QStringLiteral("ServerAliveInterval=5"),
    QStringLiteral("ServerAliveCountMax=3"),
};

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

} // namespace

QStringList SshBridgeCommand(const ServerLocation& location) {
    QStringList argv{kSsh, QStringLiteral("-xT")};
    for (const QString& option : location.sshOptions + kDefaultOptions) {
        argv << QStringLiteral("-o") << option;
    }
    // The host can never be taken for an option.
    argv << QStringLiteral("--") << location.host << kBridge << QStringLiteral("--user");
    if (!location.busPath.isEmpty()) {
        argv << QuoteForShell(QStringLiteral("--bus-path=") + location.busPath);
    }
    return argv;
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

QString UnixexecAddress(const QStringList& argv, const QString& errorFile) {
    const QStringList shellArgv = QStringList{QStringLiteral("sh"), QStringLiteral("-c"),
                                              kRedirectScript, QStringLiteral("sh"), errorFile} +
                                  argv;
    QString address = QStringLiteral("unixexec:path=") + EscapeBusAddressValue(kShell);
    for (qsizetype i = 0; i < shellArgv.size(); ++i) {
        address += QStringLiteral(",argv%1=%2").arg(i).arg(EscapeBusAddressValue(shellArgv[i]));
    }
    return address;
}

CSshBus::CSshBus(ServerLocation location) : m_location(std::move(location)) {}

CSshBus::~CSshBus() {
    if (!m_name.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_name);
    }
    ReapExited();
}

void CSshBus::ReapExited() {
    // The bus library starts ssh as this process's child and never waits for it: without this,
    // every dropped connection and every failed try would leave a zombie behind.
    std::erase_if(m_children, [](pid_t pid) {
        int status = 0;
        return ::waitpid(pid, &status, WNOHANG) != 0;
    });
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
    ReapExited();
    ++m_attempts;
    m_name = QStringLiteral("orvix-ssh-%1").arg(m_attempts);
    const QString errorFile = m_dir.filePath(m_name);
    QDBusConnection bus = QDBusConnection::connectToBus(
        UnixexecAddress(SshBridgeCommand(m_location), errorFile), m_name);
    QFile pidFile(errorFile + QStringLiteral(".pid"));
    bool isPid = false;
    const pid_t child =
        pidFile.open(QIODevice::ReadOnly) ? pidFile.readAll().trimmed().toInt(&isPid) : 0;
    if (isPid && child > 0) {
        m_children.push_back(child);
    }
    pidFile.remove();
    if (!bus.isConnected() && error != nullptr) {
        QFile file(errorFile);
        const QString said = file.open(QIODevice::ReadOnly)
                                 ? QString::fromLocal8Bit(file.readAll()).trimmed()
                                 : QString();
        *error = said.isEmpty() ? bus.lastError().message() : said;
    }
    QFile::remove(errorFile);
    ReapExited();
    return bus;
}
