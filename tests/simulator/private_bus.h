#pragma once

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>

#include <functional>

#include <csignal>
#include <sys/prctl.h>

// A session bus of the test's own, so that a test can take it away from a server.
class CPrivateBus {
public:
    CPrivateBus() {
        // A test that crashes must not leave its bus, and so its servers, running.
        m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000)) {
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        }
    }
    CPrivateBus(const CPrivateBus&) = delete;
    CPrivateBus& operator=(const CPrivateBus&) = delete;
    ~CPrivateBus() {
        Disconnect();
        Stop();
    }

    const QString& Address() const { return m_address; }

    // A connection of the test process to this bus.
    QDBusConnection Connect() {
        m_connected = true;
        return QDBusConnection::connectToBus(m_address, ConnectionName());
    }
    void Disconnect() {
        if (m_connected) {
            QDBusConnection::disconnectFromBus(ConnectionName());
            m_connected = false;
        }
    }
    void Stop() {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }

    // Starts the server executable on this bus.
    void StartServer(QProcess& server, const QStringList& arguments,
                     const QProcessEnvironment& extra = {}) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        for (const QString& key : extra.keys()) {
            environment.insert(key, extra.value(key));
        }
        server.setProcessEnvironment(environment);
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(ServerPath(), arguments);
    }

    static QString ServerPath() {
        return qEnvironmentVariable("ORVIX_BIN_DIR") + QStringLiteral("/orvix-instrument-server");
    }

    // Polls until the condition holds or the time is up.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > timeoutMs) {
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

private:
    QString ConnectionName() const { return QStringLiteral("test-") + m_address; }

    QProcess m_daemon;
    QString m_address;
    bool m_connected = false;
};
