#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <mutex>
#include <vector>

#include <sys/types.h>

// Where the instrument server's bus is: this computer's session bus, or the session bus of
// another computer, reached through SSH and systemd's stdio bridge there.
struct ServerLocation {
    // [user@]host as ssh takes it; empty for this computer.
    QString host;
    // Each one an ssh option as -o takes it ("Port=2222", "IdentityFile=~/.ssh/lab").
    QStringList sshOptions;
    // The address of another bus on the remote side; empty for the user's session bus there.
    QString busPath;

    bool IsRemote() const { return !host.isEmpty(); }
};

// The program and arguments that carry a bus over SSH: ssh runs the bridge to the remote
// session bus, and speaks the bus's protocol on its standard input and output.
QStringList SshBridgeCommand(const ServerLocation& location);

// A value escaped as bus addresses require: every byte outside [-0-9A-Za-z_/.\*] as %xx.
QString EscapeBusAddressValue(const QString& value);

// A unixexec: address that runs argv (argv[0] looked up in PATH) with its standard error going
// to errorFile, so that what the program said can be shown when the connection fails.
QString UnixexecAddress(const QStringList& argv, const QString& errorFile);

// The connection to a remote bus: made on first use and again once it has closed (a dropped
// SSH connection), kept while it stands. Each call may come from another thread, one at a time.
class CSshBus {
public:
    explicit CSshBus(ServerLocation location);
    ~CSshBus();
    CSshBus(const CSshBus&) = delete;
    CSshBus& operator=(const CSshBus&) = delete;

    // The connected bus, or a connection that is not connected and *error with what ssh said
    // (or the bus's own error when ssh said nothing).
    QDBusConnection Connect(QString* error);

private:
    void ReapExited();

    ServerLocation m_location;
    QTemporaryDir m_dir;
    std::mutex m_mutex;
    QString m_name;
    int m_attempts = 0;
    // The ssh processes started so far that have not been waited for.
    std::vector<pid_t> m_children;
};
