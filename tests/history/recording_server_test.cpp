#include "call_origin.h"
#include "fake_instrument_server.h"
#include "history_recorder.h"
#include "ids_history.h"
#include "recording_server.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct RecordedSink final : IServiceHistorySink {
    void RecordAction(std::int64_t, const QString& text) override { actions << text; }
    void RecordSession(std::int64_t, const QString& text) override { sessions << text; }
    void SetInstrumentSerial(const QString& value) override { serial = value; }
    QStringList actions;
    QStringList sessions;
    QString serial;
};

class RecordingServer : public ::testing::Test {
protected:
    void SetUp() override {
        fake = CFakeInstrumentServer::Create();
        server = CRecordingInstrumentServer::Create(fake, sink);
    }
    void TearDown() override {
        server->Release();
        EXPECT_EQ(fake->RefCount(), 1U) << "the wrapper gave its reference back";
        fake->Release();
    }

    CFakeInstrumentServer* fake = nullptr;
    IInstrumentServer* server = nullptr;
    RecordedSink sink;
};

TEST_F(RecordingServer, RecordsEachChangingCallOnceInWordsWithItsResultAndPassesReadsThrough) {
    fake->SetResult("WetPrimeSystem", E_FAIL);
    std::int32_t reply = 0;
    server->ChangeFlow(20.0F, 50.0F, 49.5F, 0.5F);
    server->WetPrimeSystem(3, 1 | 4);
    server->MoveSyringeValve(2, 1, &reply);
    server->ResetUsage(1, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    server->StepPlateFeeder(1, 0);
    server->DownloadSoftware("/srv/firmware/v2.s19");
    InstrumentStatus* status = nullptr;
    ASSERT_EQ(server->ReadStatus(&status), S_OK);
    ReleaseInstrumentStatus(status);

    EXPECT_EQ(sink.actions,
              QStringList({
                  QStringLiteral("Change Flow to 20 \u00B5L/min, A 50 %, B 49.5 %, C 0.5 %: "
                                 "accepted"),
                  QStringLiteral("Wet Prime of pumps A, C, 3 system volumes: failed, Unspecified "
                                 "error (0x80004005)"),
                  QStringLiteral("Move syringe valve 2 to fill: accepted"),
                  QStringLiteral("Reset usage counters: Injector Valve, Syringes 5 and 6: "
                                 "accepted"),
                  QStringLiteral("Plate feeder 2: home: accepted"),
                  QStringLiteral("Download firmware from /srv/firmware/v2.s19: accepted"),
              }));
    EXPECT_EQ(fake->calls.size(), 7U) << "every call reached the server once";

    void* connection = nullptr;
    EXPECT_EQ(server->QueryInterface(IID_IInstrumentServer, &connection), S_OK);
    EXPECT_EQ(connection, server);
    server->Release();
}

TEST_F(RecordingServer, NamesTheInstrumentAndTheConfigurationFieldsAnApplyChanges) {
    fake->configuration.fNeedleVolume = 5.0F;
    fake->configuration.nSyringeSize = 100;
    fake->serialNumber = "SN-4711";
    InstrumentConfiguration* read = nullptr;
    ASSERT_EQ(server->GetInstrumentConfiguration(&read), S_OK);
    EXPECT_EQ(sink.serial, QStringLiteral("SN-4711"));

    InstrumentConfiguration applied = *read;
    char serial[] = "SN-4711";
    applied.pszSerialNumber = serial;
    applied.fNeedleVolume = 7.5F;
    applied.bPlateFeeder = 1;
    ReleaseInstrumentConfiguration(read);
    server->SetInstrumentConfiguration(&applied);
    server->SetInstrumentConfiguration(&applied);
    ASSERT_EQ(sink.actions.size(), 2);
    EXPECT_EQ(sink.actions[0], QStringLiteral("Apply the configuration: Needle Volume 5 \u2192 "
                                              "7.5, Plate Feeder no \u2192 yes: accepted"));
    EXPECT_EQ(sink.actions[1],
              QStringLiteral("Apply the configuration: no field changed: accepted"))
        << "what was applied is the old side of the next apply";
}

TEST(HistoryWords, EveryActionAndSessionRowHasWordsAndNoReadHas) {
    for (const OperationInfo& row : kInstrumentOperations) {
        if (row.kind != OperationKind::Reserved) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(HasHistoryWords(row.slot), row.kind != OperationKind::Read);
        }
    }
}

TEST_F(RecordingServer, SessionCallsAreSessionEntries) {
    server->OpenConnection(kConnectArg1, kConnectArg2);
    server->EnableSyringeData(1);
    server->SetAutoSamplerMonitor(0);
    EXPECT_TRUE(sink.actions.isEmpty());
    EXPECT_EQ(sink.sessions,
              QStringList({"Open the connection (4, 1): accepted", "Syringe data on: accepted",
                           "Autosampler monitor off: accepted"}));
}

TEST_F(RecordingServer, ChangeFlowWordsItsFourthValueAsTheConfigurationUsesPumpC) {
    for (const std::int32_t ternary : {0, 1}) {
        fake->configuration.bTernaryGradient = ternary;
        InstrumentConfiguration* read = nullptr;
        ASSERT_EQ(server->GetInstrumentConfiguration(&read), S_OK);
        ReleaseInstrumentConfiguration(read);
        server->ChangeFlow(20.0F, 50.0F, 50.0F, 1.5F);
    }
    EXPECT_EQ(sink.actions,
              QStringList({"Change Flow to 20 \u00B5L/min, A 50 %, B 50 %, post-column 1.5 "
                           "\u00B5L/min: accepted",
                           "Change Flow to 20 \u00B5L/min, A 50 %, B 50 %, C 1.5 %: accepted"}));
}

TEST_F(RecordingServer, InitializeInstrumentNamesTheCommandThatSentIt) {
    server->InitializeInstrument(kConnectArg1, kConnectArg2);
    for (const int origin : {IDS_HISTORY_TEST_INITIALIZE, IDS_HISTORY_UPGRADE_INITIALIZE}) {
        const CCallOrigin sender(origin);
        server->InitializeInstrument(kConnectArg1, kConnectArg2);
    }
    EXPECT_EQ(sink.actions,
              QStringList({"Reset Communications: accepted",
                           "Test: initialize the instrument (4, 1): accepted",
                           "Firmware upgrade: initialize the instrument after its restart (4, 1): "
                           "accepted"}));
}

} // namespace
