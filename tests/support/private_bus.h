#pragma once

#include <QDBusConnection>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// A bus daemon of the test's own, with a service folder the test fills, so that activation,
// missing registrations and failing servers can be tried without touching any other bus.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool IsRunning() const { return !m_address.isEmpty(); }
    const QString& Address() const { return m_address; }

    // Writes an activation file for name and makes the daemon read it.
    void AddService(const QString& name, const QString& program, const QStringList& args);
    // Registers the simulated instrument server, on its manual clock, with its state in
    // home/state and its Silk files in silkDir (home/silk when empty).
    void AddSimulator(const QTemporaryDir& home, const QString& silkDir = {});
    // Takes the activation file away again: the name is no longer activatable.
    void RemoveService(const QString& name);

    // A connection of this process to the bus; closed when the bus goes.
    QDBusConnection Connect(const QString& connectionName);
    void Disconnect(const QString& connectionName);

    // Starts a program with this bus as its session bus.
    void StartOnBus(QProcess& process, const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& extra = {}) const;

    // Polls until the condition holds or the time is up.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

    // The process id of the connection that owns name, or 0.
    qint64 OwnerPid(const QString& name);

    // Stops the daemon, as when a session ends.
    void Stop();

    qint64 DaemonPid() const { return m_daemon.processId(); }

private:
    void ReloadConfig();

    // Of its own name: the bus configuration and activation lines take no blanks in paths.
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/orvix-bus-XXXXXX")};
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

// The folder of the built executables, from the test environment.
QString BinaryPath(const QString& name);
