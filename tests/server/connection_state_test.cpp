// What the proxy makes of its calls' outcomes, with an in-memory peer instead of a bus.
#include "instrument_connection.h"
#include "instrument_proxy.h"

#include <gtest/gtest.h>

namespace {

using Outcome = CConnectionTracker::Outcome;

TEST(ConnectionTracker, ARunOfFailuresKeepsItsStartAndAnAnswerEndsIt) {
    std::int64_t now = 1000;
    CConnectionTracker tracker([&] { return now; });
    EXPECT_EQ(tracker.State(), ConnectionState::Connected);
    now = 2000;
    tracker.Record(Outcome::NotAnswered);
    now = 4000;
    tracker.Record(Outcome::NotAnswered);
    EXPECT_EQ(tracker.State(), ConnectionState::NotAnswering);
    EXPECT_EQ(tracker.SinceMs(), 2000);
    now = 6000;
    tracker.Record(Outcome::Answered);
    EXPECT_EQ(tracker.State(), ConnectionState::Connected);
    EXPECT_EQ(tracker.SinceMs(), 6000);
    // A lost owner is not hidden by the timeouts that follow it.
    tracker.Record(Outcome::OwnerLost);
    tracker.Record(Outcome::NotAnswered);
    EXPECT_EQ(tracker.State(), ConnectionState::ServerGone);
}

class InMemoryProxy : public ::testing::Test {
protected:
    void SetUp() override {
        m_proxy = new CInstrumentServerProxy([this](const QDBusMessage& call) {
            return m_answer ? m_answer(call) : call.createReply(QVariantList{QVariant(0)});
        });
    }
    void TearDown() override { m_proxy->Release(); }

    ConnectionState StateAfterCall(std::function<QDBusMessage(const QDBusMessage&)> answer) {
        m_answer = std::move(answer);
        m_proxy->PerformTrigger();
        IInstrumentConnection* connection = nullptr;
        EXPECT_EQ(m_proxy->QueryInterface(IID_IInstrumentConnection,
                                          reinterpret_cast<void**>(&connection)),
                  S_OK);
        ConnectionState state = ConnectionState::Connected;
        std::int64_t since = 0;
        EXPECT_EQ(connection->GetConnectionState(&state, &since), S_OK);
        connection->Release();
        return state;
    }
    static auto Error(QDBusError::ErrorType type) {
        return [type](const QDBusMessage& call) {
            return call.createErrorReply(type, QStringLiteral("test"));
        };
    }

    CInstrumentServerProxy* m_proxy = nullptr;
    std::function<QDBusMessage(const QDBusMessage&)> m_answer;
};

TEST_F(InMemoryProxy, EachOutcomeMovesTheConnectionState) {
    EXPECT_EQ(StateAfterCall(Error(QDBusError::NoReply)), ConnectionState::NotAnswering);
    EXPECT_EQ(
        StateAfterCall([](const QDBusMessage& call) { return call.createReply(QVariantList{}); }),
        ConnectionState::NotAnswering)
        << "a reply without its result code";
    EXPECT_EQ(StateAfterCall([](const QDBusMessage& call) {
                  return call.createReply(QVariantList{QVariant(int(E_FAIL))});
              }),
              ConnectionState::Connected)
        << "a failure the server reports is an answer";
    EXPECT_EQ(StateAfterCall(Error(QDBusError::InvalidArgs)), ConnectionState::NotAnswering);
    EXPECT_EQ(StateAfterCall(nullptr), ConnectionState::Connected);
    EXPECT_EQ(StateAfterCall(Error(QDBusError::ServiceUnknown)), ConnectionState::ServerGone);
}

} // namespace
