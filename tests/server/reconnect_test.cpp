// The forwarder that g_pServer is, and the reconnect that puts a new server object behind it.
#include "fake_instrument_server.h"
#include "instrument_forwarder.h"
#include "instrument_proxy.h"
#include "server_reconnector.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// A proxy whose server went away: every call finds its bus name without an owner.
CInstrumentServerProxy* GoneProxy() {
    return new CInstrumentServerProxy([](const QDBusMessage& call) {
        return call.createErrorReply(QDBusError::ServiceUnknown, QStringLiteral("gone"));
    });
}

ConnectionState StateOf(IInstrumentServer* server) {
    IInstrumentConnection* connection = nullptr;
    EXPECT_EQ(
        server->QueryInterface(IID_IInstrumentConnection, reinterpret_cast<void**>(&connection)),
        S_OK);
    ConnectionState state = ConnectionState::Connected;
    std::int64_t since = 0;
    EXPECT_EQ(connection->GetConnectionState(&state, &since), S_OK);
    connection->Release();
    return state;
}

TEST(ServerForwarder, AHolderReachesTheReplacementAndTheOldServerIsReleasedOnce) {
    CFakeInstrumentServer* first = CFakeInstrumentServer::Create();
    CFakeInstrumentServer* second = CFakeInstrumentServer::Create();
    auto* forwarder = new CInstrumentServerForwarder(first);
    // An open dialog's view of g_pServer: the same pointer before and after.
    IInstrumentServer* held = forwarder;
    held->AddRef();
    EXPECT_EQ(first->RefCount(), 2U);
    EXPECT_EQ(held->PerformTrigger(), S_OK);

    forwarder->Replace(second);
    EXPECT_EQ(first->RefCount(), 1U) << "released once, and only by the forwarder";
    EXPECT_EQ(held->PerformTrigger(), S_OK);
    EXPECT_EQ(first->calls, std::vector<std::string>{"PerformTrigger()"});
    EXPECT_EQ(second->calls, std::vector<std::string>{"PerformTrigger()"});
    EXPECT_EQ(StateOf(held), ConnectionState::Connected) << "a fake knows no connection state";

    void* unknown = nullptr;
    EXPECT_EQ(held->QueryInterface(IID_IInstrumentServer, &unknown), S_OK);
    EXPECT_EQ(unknown, static_cast<void*>(held)) << "the forwarder is the server to its holders";
    static_cast<IInstrumentServer*>(unknown)->Release();

    held->Release();
    forwarder->Release();
    EXPECT_EQ(second->RefCount(), 1U);
    first->Release();
    second->Release();
}

TEST(ServerForwarder, WithoutAServerEveryCallFailsAsDisconnected) {
    auto* forwarder = new CInstrumentServerForwarder(nullptr);
    InstrumentStatus* pStatus = nullptr;
    EXPECT_EQ(forwarder->ReadStatus(&pStatus), RPC_E_DISCONNECTED);
    EXPECT_EQ(pStatus, nullptr);
    EXPECT_EQ(StateOf(forwarder), ConnectionState::ServerGone);
    forwarder->Release();
}

TEST(ServerForwarder, ANewServerIsToldTheLastOfEachSessionCallInTheOrderFirstMade) {
    CFakeInstrumentServer* first = CFakeInstrumentServer::Create();
    CFakeInstrumentServer* second = CFakeInstrumentServer::Create();
    auto* forwarder = new CInstrumentServerForwarder(first);
    forwarder->OpenConnection(kConnectArg1, kConnectArg2);
    forwarder->SetAutoSamplerMonitor(1);
    forwarder->PerformTrigger();
    forwarder->EnableSyringeData(1);
    forwarder->SetAutoSamplerMonitor(0);

    forwarder->Replace(second);
    forwarder->SessionCalls().ReplayOn(*forwarder);
    EXPECT_EQ(second->calls,
              (std::vector<std::string>{"OpenConnection(4, 1)", "SetAutoSamplerMonitor(0)",
                                        "EnableSyringeData(1)"}));
    forwarder->SessionCalls().ReplayOn(*forwarder);
    EXPECT_EQ(second->calls.size(), 6U) << "replaying remembers nothing twice";

    forwarder->Release();
    first->Release();
    second->Release();
}

class Reconnect : public ::testing::Test {
protected:
    void SetUp() override {
        CInstrumentServerProxy* gone = GoneProxy();
        m_forwarder = new CInstrumentServerForwarder(gone);
        gone->Release();
        m_forwarder->PerformTrigger();
        ASSERT_EQ(StateOf(m_forwarder), ConnectionState::ServerGone);
    }
    void TearDown() override {
        m_forwarder->Release();
        if (m_fake != nullptr) {
            m_fake->Release();
        }
    }

    CInstrumentServerForwarder* m_forwarder = nullptr;
    CFakeInstrumentServer* m_fake = nullptr;
};

TEST_F(Reconnect, OneTryAtATimeOffTheWindowsThreadThenTheNewServerIsInPlace) {
    m_fake = CFakeInstrumentServer::Create();
    std::atomic<bool> mayFinish{false};
    std::atomic<int> tries{0};
    CServerReconnector reconnector(m_forwarder, [&](IInstrumentServer** ppServer) {
        ++tries;
        // A slow start (activation, an SSH login): the window's thread is not waiting here.
        while (!mayFinish) {
            QThread::msleep(1);
        }
        m_fake->AddRef();
        *ppServer = m_fake;
        return S_OK;
    });
    QSignalSpy reconnected(&reconnector, &CServerReconnector::reconnected);

    EXPECT_TRUE(reconnector.TryNow());
    EXPECT_TRUE(reconnector.IsTrying());
    // Reset Communications while the try is in flight starts no second one.
    RequestServerReconnect(m_forwarder);
    EXPECT_FALSE(reconnector.TryNow());
    EXPECT_EQ(m_forwarder->PerformTrigger(), RPC_E_DISCONNECTED) << "calls fail, and at once";

    mayFinish = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return reconnected.count() == 1; }));
    EXPECT_EQ(tries.load(), 1);
    EXPECT_EQ(m_forwarder->Target(), static_cast<IInstrumentServer*>(m_fake));
    EXPECT_EQ(m_fake->RefCount(), 2U);
    EXPECT_EQ(StateOf(m_forwarder), ConnectionState::Connected);
    EXPECT_FALSE(reconnector.TryNow()) << "a standing connection is left alone";
}

TEST_F(Reconnect, AFailedTryLeavesTheGoneServerAndResetCommunicationsTriesAgain) {
    int tries = 0;
    CServerReconnector reconnector(m_forwarder, [&](IInstrumentServer** ppServer) {
        ++tries;
        *ppServer = nullptr;
        return REGDB_E_CLASSNOTREG;
    });
    QSignalSpy failed(&reconnector, &CServerReconnector::tryFailed);
    RequestServerReconnect(m_forwarder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return failed.count() == 1; }));
    EXPECT_EQ(failed.at(0).at(0).toInt(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(failed.at(0).at(1).toString(), QStringLiteral("Class not registered"));
    EXPECT_EQ(StateOf(m_forwarder), ConnectionState::ServerGone);
    RequestServerReconnect(m_forwarder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return failed.count() == 2; }));
    EXPECT_EQ(tries, 2);
}

TEST_F(Reconnect, ATryStillInFlightAtTheEndIsWaitedForAndWhatItMadeReleased) {
    m_fake = CFakeInstrumentServer::Create();
    {
        CServerReconnector reconnector(m_forwarder, [&](IInstrumentServer** ppServer) {
            QThread::msleep(50);
            m_fake->AddRef();
            *ppServer = m_fake;
            return S_OK;
        });
        EXPECT_TRUE(reconnector.TryNow());
    }
    EXPECT_EQ(m_fake->RefCount(), 1U);
    EXPECT_EQ(StateOf(m_forwarder), ConnectionState::ServerGone);
    // The reconnector is gone: a request finds no one and does nothing.
    RequestServerReconnect(m_forwarder);
}

TEST(RetryBackoff, RemoteWaitsDoubleToAMinuteWithJitterAndLocalOnesStayFixed) {
    const RetryBackoff remote = RetryBackoff::Remote();
    std::vector<int> waits;
    for (int failed = 0; failed <= 7; ++failed) {
        waits.push_back(remote.DelayMs(failed, 0.0));
    }
    EXPECT_EQ(waits, (std::vector<int>{3000, 3000, 6000, 12000, 24000, 48000, 60000, 60000}));
    EXPECT_EQ(remote.DelayMs(1000, 0.0), 60000) << "no overflow after a long outage";
    EXPECT_EQ(remote.DelayMs(3, 0.5), 10800);
    EXPECT_GT(remote.DelayMs(6, 0.999), 48000) << "jitter only shortens a wait, by a fifth at most";

    const RetryBackoff local = RetryBackoff::Fixed(CServerReconnector::kRetryPeriodMs);
    EXPECT_EQ(local.DelayMs(0, 0.7), 3000);
    EXPECT_EQ(local.DelayMs(9, 0.7), 3000);
}

} // namespace
