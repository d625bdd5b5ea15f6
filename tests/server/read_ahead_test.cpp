// Reads that a timer repeats, answered from the call asked for ahead, with a scripted peer whose
// every reply says which call it answers.
#include "instrument_proxy.h"
#include "instrument_wire.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::int64_t kTickMs = 500;

class ReadAheadProxy : public ::testing::Test {
protected:
    void SetUp() override {
        m_proxy = new CInstrumentServerProxy([this](const QDBusMessage& call) {
            m_sent.push_back({call.member(), call.arguments(), m_now});
            const int number = static_cast<int>(m_sent.size()) - 1;
            if (number == m_failing) {
                return call.createErrorReply(QDBusError::NoReply, QStringLiteral("test"));
            }
            if (call.member() == QLatin1String("GetDownloadProgress")) {
                return call.createReply({QVariant(0), QVariant(number)});
            }
            if (call.member() == QLatin1String("GetSyringeUsage")) {
                const QList<quint16> usage(call.arguments().constFirst().toInt(),
                                           static_cast<quint16>(number));
                return call.createReply(
                    {QVariant(0), WireVariant(usage), WireVariant(QList<quint16>{})});
            }
            return call.createReply({QVariant(0)});
        });
        m_proxy->EnableReadAhead([this] { return m_now; });
    }
    void TearDown() override { m_proxy->Release(); }

    // One timer tick later: the number of the call whose reply the read got.
    int Tick() {
        m_now += kTickMs;
        std::int32_t lines = -1;
        EXPECT_EQ(m_proxy->GetDownloadProgress(&lines), S_OK);
        return lines;
    }
    ConnectionState State() const {
        ConnectionState state = ConnectionState::Connected;
        std::int64_t since = 0;
        m_proxy->GetConnectionState(&state, &since);
        return state;
    }
    std::int64_t SentAt(int number) const { return m_sent.at(static_cast<std::size_t>(number)).at; }

    struct Sent {
        QString member;
        QVariantList arguments;
        std::int64_t at;
    };
    CInstrumentServerProxy* m_proxy = nullptr;
    std::vector<Sent> m_sent;
    std::int64_t m_now = 0;
    int m_failing = -1;
};

TEST_F(ReadAheadProxy, ARepeatedReadIsAnsweredByTheCallAskedAtThePreviousTick) {
    Tick();
    Tick();
    for (int tick = 0; tick < 3; ++tick) {
        const std::int64_t previous = m_now;
        EXPECT_EQ(SentAt(Tick()), previous);
    }
    EXPECT_EQ(m_sent.size(), 6U) << "one call per tick, and the one asked ahead";
}

TEST_F(ReadAheadProxy, AnActionOrSessionCallDropsWhatWasReadAhead) {
    Tick();
    Tick();
    m_proxy->PerformTrigger();
    EXPECT_EQ(SentAt(Tick()), m_now) << "asked after the command, not before it";
    Tick();
    m_proxy->EnableSyringeData(1);
    const int answered = Tick();
    EXPECT_EQ(m_sent.at(static_cast<std::size_t>(answered - 1)).member,
              QStringLiteral("EnableSyringeData"));
}

TEST_F(ReadAheadProxy, ReadsWithOtherInArgumentsKeepTheirOwnReplies) {
    for (int tick = 0; tick < 4; ++tick) {
        m_now += kTickMs;
        for (const std::int32_t count : {1, 2}) {
            std::uint16_t usage[2] = {};
            ASSERT_EQ(m_proxy->GetSyringeUsage(count, usage, 0, nullptr), S_OK) << tick;
            EXPECT_EQ(m_sent.at(usage[0]).arguments.constFirst().toInt(), count) << tick;
        }
    }
}

TEST_F(ReadAheadProxy, AReplyOlderThanAboutAPeriodIsNotUsed) {
    Tick();
    Tick();
    Tick();
    m_now += 10 * kTickMs;
    EXPECT_EQ(SentAt(Tick()), m_now) << "the timer stopped for a while: read anew";
    Tick();
    const std::int64_t previous = m_now;
    EXPECT_EQ(SentAt(Tick()), previous) << "and ahead again once the timer keeps its period";
}

TEST_F(ReadAheadProxy, AFailedReplyAskedAheadIsReturnedAndTrackedAsItCame) {
    Tick();
    Tick();
    m_failing = static_cast<int>(m_sent.size());
    Tick();
    m_now += kTickMs;
    std::int32_t lines = -1;
    EXPECT_EQ(m_proxy->GetDownloadProgress(&lines), RPC_E_TIMEOUT);
    EXPECT_EQ(State(), ConnectionState::NotAnswering);
    EXPECT_EQ(SentAt(Tick()), m_now) << "after a failure the next read waits for its own reply";
    EXPECT_EQ(State(), ConnectionState::Connected);
}

} // namespace
