// What a user meets when the server is missing, broken, gone or hung: a result code, never a
// crash or a frozen window.
#include "com.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "private_bus.h"

#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

class BusFailure : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_bus.IsRunning()); }

    HRESULT Create(CInstrumentServerProxy** proxy) {
        QDBusConnection connection = m_bus.Connect(QStringLiteral("client"));
        return CreateInstrumentServerProxy(connection, IID_IInstrumentServer,
                                           reinterpret_cast<void**>(proxy));
    }
    void AddTestServer(const QString& mode) {
        m_bus.AddService(kInstrumentServiceName, BinaryPath(QStringLiteral("orvix-test-server")),
                         mode.isEmpty() ? QStringList() : QStringList{mode});
    }

    PrivateBus m_bus;
};

ConnectionState StateOf(CInstrumentServerProxy* proxy) {
    ConnectionState state = ConnectionState::Connected;
    std::int64_t since = 0;
    EXPECT_EQ(proxy->GetConnectionState(&state, &since), S_OK);
    return state;
}

TEST_F(BusFailure, NothingRegisteredIsClassNotRegistered) {
    CInstrumentServerProxy* proxy = nullptr;
    EXPECT_EQ(Create(&proxy), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(proxy, nullptr);
}

TEST_F(BusFailure, AServerThatCannotStartIsAnExecutionFailure) {
    m_bus.AddService(kInstrumentServiceName, QStringLiteral("/nonexistent/orvix-server"), {});
    CInstrumentServerProxy* proxy = nullptr;
    EXPECT_EQ(Create(&proxy), CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(proxy, nullptr);
}

TEST_F(BusFailure, AServerWithoutTheInterfaceIsRefused) {
    AddTestServer(QStringLiteral("foreign"));
    CInstrumentServerProxy* proxy = nullptr;
    EXPECT_EQ(Create(&proxy), E_NOINTERFACE);
    EXPECT_EQ(proxy, nullptr);
}

TEST(RuntimeCreation, FindsTheServerRunningOnTheSessionBus) {
    QProcess server;
    server.start(BinaryPath(QStringLiteral("orvix-test-server")), {});
    ASSERT_TRUE(server.waitForStarted(5000));
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    for (int i = 0; i < 500 && !bus->isServiceRegistered(kInstrumentServiceName); ++i) {
        QThread::msleep(10);
    }
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    RegisterInstrumentServerClass();
    IInstrumentServer* instrument = nullptr;
    const HRESULT hr =
        CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                         IID_IInstrumentServer, reinterpret_cast<void**>(&instrument));
    ASSERT_EQ(hr, S_OK);
    InstrumentStatus* status = nullptr;
    ASSERT_EQ(instrument->ReadStatus(&status), S_OK);
    EXPECT_EQ(status->nState, 3);
    EXPECT_STREQ(status->pszStatusMessage, "Idle");
    ReleaseInstrumentStatus(status);
    EXPECT_EQ(instrument->Release(), 0U);
    CoRevokeLocalServerClass(CLSID_InstrumentServer);
    CoUninitialize();
    server.kill();
    server.waitForFinished(5000);
}

TEST_F(BusFailure, AKilledServerFailsLaterCallsAndIsNotReplacedBehindTheCaller) {
    AddTestServer({});
    CInstrumentServerProxy* proxy = nullptr;
    ASSERT_EQ(Create(&proxy), S_OK);
    EXPECT_EQ(proxy->OpenConnection(4, 1), S_OK);
    const qint64 pid = m_bus.OwnerPid(kInstrumentServiceName);
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    while (m_bus.OwnerPid(kInstrumentServiceName) == pid) {
        QThread::msleep(10);
    }
    InstrumentStatus* status = nullptr;
    EXPECT_EQ(proxy->ReadStatus(&status), RPC_E_DISCONNECTED);
    EXPECT_EQ(status, nullptr);
    EXPECT_EQ(StateOf(proxy), ConnectionState::ServerGone);
    // A new server may be activated for other clients; this proxy stays bound to the old one.
    CInstrumentServerProxy* second = nullptr;
    ASSERT_EQ(Create(&second), S_OK);
    EXPECT_NE(second->ServerName(), proxy->ServerName());
    EXPECT_EQ(proxy->InitializeInstrument(4, 1), RPC_E_DISCONNECTED);
    EXPECT_EQ(second->InitializeInstrument(4, 1), S_OK);
    second->Release();
    proxy->Release();
}

TEST_F(BusFailure, AHungServerFailsTheCallWithinTheTimeout) {
    AddTestServer(QStringLiteral("hang"));
    CInstrumentServerProxy* proxy = nullptr;
    ASSERT_EQ(Create(&proxy), S_OK);
    proxy->SetCallTimeout(300);
    QElapsedTimer clock;
    clock.start();
    InstrumentStatus* status = nullptr;
    EXPECT_EQ(proxy->ReadStatus(&status), RPC_E_TIMEOUT);
    EXPECT_EQ(status, nullptr);
    EXPECT_EQ(StateOf(proxy), ConnectionState::NotAnswering);
    // Bounded, not measured: the point is that the call came back at all.
    EXPECT_LT(clock.elapsed(), 5000);
    proxy->Release();
}

TEST_F(BusFailure, CallsBehindAnOverdueOneFailAtOnceUntilItIsAnswered) {
    AddTestServer(QStringLiteral("hang"));
    CInstrumentServerProxy* proxy = nullptr;
    ASSERT_EQ(Create(&proxy), S_OK);
    proxy->SetCallTimeout(300);
    InstrumentStatus* status = nullptr;
    ASSERT_EQ(proxy->ReadStatus(&status), RPC_E_TIMEOUT);
    // The server sleeps a second in ReadStatus: sent, these would each wait out 300 ms.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(proxy->InitializeInstrument(4, 1), RPC_E_TIMEOUT);
    }
    EXPECT_LT(clock.elapsed(), 600) << "the calls were sent behind the hung one";
    // Once the late answer is in, calls go through again.
    EXPECT_TRUE(PrivateBus::WaitFor([&] { return SUCCEEDED(proxy->InitializeInstrument(4, 1)); }));
    EXPECT_EQ(StateOf(proxy), ConnectionState::Connected);
    proxy->Release();
}

TEST_F(BusFailure, TheBusClosingDuringACallEndsTheWait) {
    AddTestServer(QStringLiteral("hang"));
    CInstrumentServerProxy* proxy = nullptr;
    ASSERT_EQ(Create(&proxy), S_OK);
    const qint64 daemon = m_bus.DaemonPid();
    std::thread killer([daemon] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ::kill(static_cast<pid_t>(daemon), SIGKILL);
    });
    InstrumentStatus* status = nullptr;
    const HRESULT hr = proxy->ReadStatus(&status);
    killer.join();
    EXPECT_TRUE(hr == RPC_S_SERVER_UNAVAILABLE || hr == RPC_E_TIMEOUT) << HResultHex(hr);
    EXPECT_EQ(status, nullptr);
    proxy->Release();
}

TEST_F(BusFailure, MalformedRepliesAreFailuresAndLeaveNoBlocks) {
    AddTestServer(QStringLiteral("malformed"));
    CInstrumentServerProxy* proxy = nullptr;
    ASSERT_EQ(Create(&proxy), S_OK);
    InstrumentStatus* status = nullptr;
    EXPECT_EQ(proxy->ReadStatus(&status), RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(status, nullptr);
    InstrumentConfiguration* config = nullptr;
    EXPECT_EQ(proxy->GetInstrumentConfiguration(&config), RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(config, nullptr);
    DataBlockList* data = nullptr;
    EXPECT_EQ(proxy->ReadAllData(&data), RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(proxy->PerformTrigger(), RPC_X_BAD_STUB_DATA) << "a result that is not a code";
    proxy->Release();
}

TEST_F(BusFailure, TheBusGoingAwayFailsCallsWithoutACrash) {
    AddTestServer({});
    CInstrumentServerProxy* proxy = nullptr;
    ASSERT_EQ(Create(&proxy), S_OK);
    m_bus.Stop();
    InstrumentStatus* status = nullptr;
    const HRESULT hr = proxy->ReadStatus(&status);
    EXPECT_TRUE(FAILED(hr)) << HResultHex(hr);
    EXPECT_EQ(status, nullptr);
    proxy->Release();
}

} // namespace
