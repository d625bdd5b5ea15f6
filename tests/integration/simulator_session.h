#pragma once

#include "instrument_server.h"
#include "private_bus.h"

#include <QDBusConnection>
#include <QTemporaryDir>
#include <QVariantList>

// The real proxy on g_pServer, talking over a bus of the test's own to the simulated instrument
// that the bus starts on demand, with its own state file and Silk folder under a temporary home
// and a clock that only the test moves.
class SimulatorSession {
public:
    SimulatorSession();
    ~SimulatorSession();
    SimulatorSession(const SimulatorSession&) = delete;
    SimulatorSession& operator=(const SimulatorSession&) = delete;

    bool IsConnected() const { return m_server != nullptr; }
    QString SilkFolder() const;

    // Acts on the instrument as a person would with the server's verbs; false when refused.
    bool Simulator(const QString& method, const QVariantList& args = {});
    bool StepClock(qulonglong ms);

private:
    void WaitForServerExit() const;

    QTemporaryDir m_home;
    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    IInstrumentServer* m_server = nullptr;
    IInstrumentServer* m_previousServer = nullptr;
    qint64 m_serverPid = 0;
};
