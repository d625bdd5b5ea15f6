#include "simulator_session.h"

#include "instrument_bus.h"
#include "instrument_proxy.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <utility>

namespace {

const QString kSimulatorInterface = QStringLiteral("org.orvix.InstrumentSimulator1");
constexpr int kServerExitTimeoutMs = 10'000;
constexpr int kPollMs = 10;

// The bus daemon started the server, so this process cannot wait for it; and once the daemon
// is gone the server may stay a zombie for a while, which has done all its writing.
bool Ended(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray line = stat.readAll();
    const qsizetype stateAt = line.lastIndexOf(") ") + 2;
    return stateAt < 2 || stateAt >= line.size() || line[stateAt] == 'Z';
}

} // namespace

SimulatorSession::SimulatorSession() {
    if (!m_home.isValid() || !m_bus.IsRunning()) {
        return;
    }
    m_bus.AddService(kInstrumentServiceName, BinaryPath(QStringLiteral("orvix-instrument-server")),
                     {QStringLiteral("-Embedding"), QStringLiteral("--manual-clock"),
                      QStringLiteral("--state-file"), m_home.filePath(QStringLiteral("state")),
                      QStringLiteral("--silk-dir"), SilkFolder()});
    m_connection = m_bus.Connect(QStringLiteral("client"));
    if (FAILED(CreateInstrumentServerProxy(m_connection, IID_IInstrumentServer,
                                           reinterpret_cast<void**>(&m_server)))) {
        m_server = nullptr;
        return;
    }
    m_serverPid = m_bus.OwnerPid(kInstrumentServiceName);
    m_previousServer = std::exchange(g_pServer, m_server);
}

SimulatorSession::~SimulatorSession() {
    if (m_server != nullptr) {
        g_pServer = m_previousServer;
        m_server->Release();
    }
    // The server leaves with its bus and saves its state on the way out: the folder that holds
    // the state goes only after it.
    m_bus.Stop();
    WaitForServerExit();
}

QString SimulatorSession::SilkFolder() const {
    return m_home.filePath(QStringLiteral("silk"));
}

bool SimulatorSession::Simulator(const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kInstrumentServiceName, kInstrumentObjectPath, kSimulatorInterface, method);
    call.setArguments(args);
    return m_connection.call(call).type() == QDBusMessage::ReplyMessage;
}

bool SimulatorSession::StepClock(qulonglong ms) {
    return Simulator(QStringLiteral("StepClock"), {ms});
}

void SimulatorSession::WaitForServerExit() const {
    if (m_serverPid <= 0) {
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (!Ended(m_serverPid) && waited.elapsed() < kServerExitTimeoutMs) {
        QThread::msleep(kPollMs);
    }
}
