#include "simulator_process.h"

#include "instrument_bus.h"
#include "instrument_proxy.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QThread>

#include <cstdio>

namespace {

constexpr int kStartTimeoutMs = 10'000;
constexpr int kStopTimeoutMs = 5'000;
constexpr int kPollMs = 10;

void Complain(const char* what) {
    std::fprintf(stderr, "simulated instrument: %s\n", what);
}

} // namespace

CSimulatorProcess::~CSimulatorProcess() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    // SIGTERM lets the server save its state into the folder before the folder goes.
    m_process.terminate();
    if (!m_process.waitForFinished(kStopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool CSimulatorProcess::Start() {
    if (m_process.state() == QProcess::Running) {
        return true;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Complain("needs a session bus: run under dbus-run-session");
        return false;
    }
    if (bus.interface()->isServiceRegistered(kInstrumentServiceName).value()) {
        Complain("another server already owns the instrument's name on this bus");
        return false;
    }
    if (!m_home.isValid()) {
        Complain("no temporary folder for the server's state");
        return false;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QCoreApplication::applicationDirPath() +
                        QStringLiteral("/orvix-instrument-server"),
                    {QStringLiteral("-Embedding"), QStringLiteral("--state-file"),
                     m_home.filePath(QStringLiteral("state")), QStringLiteral("--silk-dir"),
                     m_home.filePath(QStringLiteral("silk"))});
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        Complain("orvix-instrument-server did not start");
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!bus.interface()->isServiceRegistered(kInstrumentServiceName).value()) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired()) {
            Complain("orvix-instrument-server did not take its name on the bus");
            return false;
        }
        QThread::msleep(kPollMs);
    }
    return true;
}

IInstrumentServer* CSimulatorProcess::CreateProxy() {
    if (!Start()) {
        return nullptr;
    }
    IInstrumentServer* server = nullptr;
    if (FAILED(CreateInstrumentServerProxy(QDBusConnection::sessionBus(), IID_IInstrumentServer,
                                           reinterpret_cast<void**>(&server)))) {
        Complain("no proxy to the server");
        return nullptr;
    }
    return server;
}
