#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <mutex>

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

// The line the remote shell prints once the login is over, right before it becomes the bridge.
inline constexpr char kBridgeReadyLine[] = "orvix-bridge-ready";

// The program and arguments that carry a bus over SSH: ssh logs in, the remote shell prints
// kBridgeReadyLine and becomes the bridge to the remote session bus, which speaks the bus's
// protocol on ssh's standard input and output.
QStringList SshBridgeCommand(const ServerLocation& location);

// Why a --bus-path value is refused, or empty: only a unix:path= or unix:abstract= address
// (with the bus's guid, as a bus prints its address), no further keys and no second address,
// so the bridge connects to a socket and never runs a program.
QString BusPathProblem(const QString& busPath);

// A value escaped as bus addresses require: every byte outside [-0-9A-Za-z_/.\*] as %xx.
QString EscapeBusAddressValue(const QString& value);

class CSshTunnel;

// The connection to a remote bus: made on first use and again once it has closed (a dropped
// SSH connection), kept while it stands. Each call may come from another thread, one at a time.
// Neither the caller nor the bus library's thread ever waits on the network: ssh runs as a
// process of its own, and the bus library connects to a local socket relayed to it once the
// bridge runs. Every try ends by its deadline.
class CSshBus {
public:
    // ssh's ConnectTimeout, and then the bus's handshake through the bridge.
    static constexpr std::chrono::milliseconds kTryDeadline{15000};

    explicit CSshBus(ServerLocation location, std::chrono::milliseconds deadline = kTryDeadline);
    // Closes the connection and ends its ssh.
    ~CSshBus();
    CSshBus(const CSshBus&) = delete;
    CSshBus& operator=(const CSshBus&) = delete;

    // The connected bus, or a connection that is not connected and *error with why: what ssh
    // said last, that the deadline passed, or that the remote side has no such bus.
    QDBusConnection Connect(QString* error);

    // Ends the try in flight at once, and makes every later one fail: the program is ending.
    // An established connection stays until this object goes. Any thread.
    void Cancel();

private:
    QDBusConnection Open(QString* error);
    QString NoAnswer() const;

    ServerLocation m_location;
    std::chrono::milliseconds m_deadline;
    QTemporaryDir m_dir;
    std::mutex m_mutex;
    QString m_name;
    int m_attempts = 0;
    std::unique_ptr<CSshTunnel> m_tunnel;
    // Readable once cancelled; it is never drained.
    int m_cancel[2] = {-1, -1};
};

// Cancel() on every remote bus there is: the program is ending.
void CancelSshBusTries();
