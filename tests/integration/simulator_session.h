#pragma once

#include "instrument_server.h"
#include "private_bus.h"
#include "process_state.h"

#include <QDBusConnection>
#include <QTemporaryDir>
#include <QVariantList>

#include <gtest/gtest.h>

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
    QString HomeFile(const QString& name) const { return m_home.filePath(name); }

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

// The session as a test fixture, for tests that act on the simulator throughout.
class SimulatorSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_TRUE(m_session.IsConnected());
    }
    void TearDown() override {
        CloseWindows();
        ResetProcessState();
    }

    // Windows that call the server go before the connection does.
    virtual void CloseWindows() {}

    void Simulator(const QString& method, const QVariantList& args = {}) {
        ASSERT_TRUE(m_session.Simulator(method, args)) << method.toStdString();
    }
    void StepClock(qulonglong ms) { ASSERT_TRUE(m_session.StepClock(ms)); }

    SimulatorSession m_session;
};
