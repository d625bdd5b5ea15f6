#include "direct_simulator_fixture.h"

#include "silk_file.h"
#include "sim_refusals.h"
#include "state_text.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

TEST_F(DirectSimulatorTest, WetPrimeLastsWithVolumesAndPumps) {
    ASSERT_EQ(m_server->WetPrimeSystem(2, 3), S_OK);
    InstrumentStatus status = Status();
    EXPECT_STREQ(StateText(status.nState), "Wet Priming");
    EXPECT_EQ(status.nVentValve, 1);
    EXPECT_FLOAT_EQ(status.fFlowRate, 0.0F);
    EXPECT_NE(m_lastMessage.find("A, B"), std::string::npos) << m_lastMessage;
    // Another procedure waits its turn.
    EXPECT_EQ(m_server->DryPrimeSystem(1, 1), kHrInstrumentBusy);
    // Two volumes for each of two pumps.
    Step(4 * CPumps::kWetPrimeVolumeMs - 100);
    EXPECT_STREQ(StateText(Status().nState), "Wet Priming");
    Step(100);
    status = Status();
    EXPECT_STREQ(StateText(status.nState), "Idle");
    EXPECT_EQ(status.nVentValve, 0);

    std::uint16_t valves[6] = {};
    std::uint16_t strokes[6] = {};
    ASSERT_EQ(m_server->GetSyringeUsage(6, valves, 6, strokes), S_OK);
    EXPECT_EQ(strokes[0], 2);
    EXPECT_EQ(strokes[3], 2);
    EXPECT_EQ(strokes[4], 0);
    std::int32_t usage[7] = {};
    ASSERT_EQ(m_server->GetAutoSamplerUsage(&usage[0], &usage[1], &usage[2], &usage[3], &usage[4],
                                            &usage[5], &usage[6]),
              S_OK);
    EXPECT_EQ(usage[1], 2); // the vent valve opened and closed

    EXPECT_EQ(m_server->WetPrimeSystem(0, 3), E_INVALIDARG);
    EXPECT_EQ(m_server->WetPrimeSystem(2, 0), E_INVALIDARG);
}

TEST_F(DirectSimulatorTest, DryPrimeRunsItsCyclesOrUntilStopped) {
    ASSERT_EQ(m_server->DryPrimeSystem(1, 3), S_OK);
    EXPECT_STREQ(StateText(Status().nState), "Priming");
    Step(CPumps::kDryPrimeCycleMs / 4);
    SyringeDataRecord data = SyringeData();
    EXPECT_EQ(data.anState[0], 3); // fill
    EXPECT_EQ(data.anValveState[0], -1);
    Step(CPumps::kDryPrimeCycleMs / 2);
    EXPECT_EQ(SyringeData().anState[0], 8); // purge
    Step(3 * CPumps::kDryPrimeCycleMs);
    EXPECT_STREQ(StateText(Status().nState), "Idle");

    ASSERT_EQ(m_server->DryPrimeSystem(7, 50), S_OK);
    Step(10'000);
    ASSERT_EQ(m_server->StopDryPrime(), S_OK);
    EXPECT_STREQ(StateText(Status().nState), "Idle");
    EXPECT_EQ(m_server->StopDryPrime(), S_FALSE);
}

TEST_F(DirectSimulatorTest, SilkCalibratesTheSyringesAndWritesAFileWhenAsked) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    m_server->Release();
    m_silkFolder = folder.path().toStdString();
    m_server = CSimulatedInstrumentServer::Create(m_clock, m_memory, m_silkFolder);

    ASSERT_EQ(m_server->SetSilkWriteToDisk(1), S_OK);
    std::int32_t writeToDisk = 0;
    ASSERT_EQ(m_server->GetSilkWriteToDisk(&writeToDisk), S_OK);
    EXPECT_EQ(writeToDisk, 1);

    ASSERT_EQ(m_server->StartSilk(2), S_OK);
    EXPECT_STREQ(StateText(Status().nState), "Silking");
    Step(3 * CPumps::kSilkStepMs - 100); // compressing to the test pressure
    SyringeDataRecord data = SyringeData();
    EXPECT_EQ(data.anState[2], 5);
    EXPECT_GT(data.anPressure[2], 4'000);
    EXPECT_EQ(data.anState[0], 6); // pump A goes on delivering its flow state
    Step(8 * CPumps::kSilkStepMs);
    EXPECT_STREQ(StateText(Status().nState), "Idle");
    const SilkData& silk = m_memory.State().silk;
    EXPECT_EQ(silk[0].nCompressionSteps, 0);
    EXPECT_GT(silk[2].nCompressionSteps, 700);
    EXPECT_GT(silk[3].fCompliance, 100.0F);

    ASSERT_FALSE(m_server->LastSilkFile().empty());
    std::string fault;
    const auto file = ReadSilkFile(m_server->LastSilkFile(), &fault);
    ASSERT_TRUE(file) << fault;
    EXPECT_EQ(file->data, silk);

    // Reset forgets the calibration; the file brings it back.
    ASSERT_EQ(m_server->ResetSilk(), S_OK);
    EXPECT_EQ(m_memory.State().silk, SilkData{});
    ASSERT_EQ(m_server->DownloadSilkData(m_server->LastSilkFile().c_str()), S_OK);
    EXPECT_EQ(m_memory.State().silk, file->data);
    // Upload writes a new file and keeps the old one.
    const std::string first = m_server->LastSilkFile();
    ASSERT_EQ(m_server->UploadSilkData(), S_OK);
    EXPECT_NE(m_server->LastSilkFile(), first);
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.bin")}).size(), 2);
}

TEST_F(DirectSimulatorTest, SilkFilesThatDoNotFitAreRefusedWithAnError) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string foreign = folder.path().toStdString() + "/foreign.bin";
    SilkFile file{"OTHER-1", {}};
    file.data[0].nCompressionSteps = 812;
    ASSERT_FALSE(WriteSilkFile(foreign, file));
    EXPECT_EQ(m_server->DownloadSilkData(foreign.c_str()), E_FAIL);
    EXPECT_NE(FirstError().find("OTHER-1"), std::string::npos);
    EXPECT_EQ(m_memory.State().silk, SilkData{});

    const std::string missing = folder.path().toStdString() + "/missing.bin";
    EXPECT_EQ(m_server->DownloadSilkData(missing.c_str()), E_FAIL);
    std::int32_t count = 0;
    ErrorList* pList = nullptr;
    ASSERT_EQ(m_server->ReadAllErrors(1, &count, &pList), S_OK);
    EXPECT_EQ(count, 2);
}

TEST_F(DirectSimulatorTest, UsageCountersCountAndResetAsAsked) {
    ASSERT_EQ(m_server->MoveSampleSyringeValve(1), S_OK);
    ASSERT_EQ(m_server->MoveSampleSyringe(1), S_OK);
    std::int32_t reply = 0;
    BSTR command = BstrFromUtf8("12a4");
    EXPECT_EQ(m_server->SendAutoSamplerCommand(command, &reply), E_INVALIDARG);
    SysFreeString(command);
    command = BstrFromUtf8("1002");
    ASSERT_EQ(m_server->SendAutoSamplerCommand(command, &reply), S_OK);
    SysFreeString(command);
    EXPECT_EQ(reply, 1002);
    ASSERT_EQ(m_server->MoveSyringeValve(5, 1, &reply), S_OK);
    Step(2 * 3'600'000 + 1'000);
    EXPECT_EQ(Status().nStreamValve, 2);

    std::int32_t u[7] = {};
    ASSERT_EQ(m_server->GetAutoSamplerUsage(&u[0], &u[1], &u[2], &u[3], &u[4], &u[5], &u[6]), S_OK);
    EXPECT_EQ(u[2], 1); // stream select
    EXPECT_EQ(u[3], 1); // sample syringe valve
    EXPECT_EQ(u[4], 1); // sample syringe
    EXPECT_EQ(u[5], 2); // hours powered
    EXPECT_EQ(u[6], 2); // the cooler holds the sample at 8 C
    std::uint16_t valves[6] = {};
    std::uint16_t strokes[6] = {};
    ASSERT_EQ(m_server->GetSyringeUsage(6, valves, 6, strokes), S_OK);
    EXPECT_GT(valves[4], 0);
    EXPECT_GT(strokes[0], 0);

    ASSERT_EQ(m_server->ResetUsage(0, 0, 1, 0, 0, 1, 0, 1, 0, 0), S_OK);
    ASSERT_EQ(m_server->GetAutoSamplerUsage(&u[0], &u[1], &u[2], &u[3], &u[4], &u[5], &u[6]), S_OK);
    EXPECT_EQ(u[2], 0);
    EXPECT_EQ(u[3], 1);
    EXPECT_EQ(u[5], 0);
    EXPECT_EQ(u[6], 2);
    ASSERT_EQ(m_server->GetSyringeUsage(6, valves, 6, strokes), S_OK);
    EXPECT_EQ(valves[0], 0);
    EXPECT_EQ(strokes[1], 0);
    EXPECT_GT(valves[4], 0);
    EXPECT_EQ(m_server->GetSyringeUsage(7, valves, 6, strokes), E_INVALIDARG);
}

TEST_F(DirectSimulatorTest, PowerCycleStopsAnsweringUntilTheInstrumentIsBack) {
    ASSERT_EQ(m_server->ChangeFlow(20.0F, 50.0F, 50.0F, 0.0F), S_OK);
    m_server->Instrument().PowerOff();
    EXPECT_EQ(m_server->IsInstrumentReady(), S_FALSE);
    InstrumentStatus* pStatus = nullptr;
    EXPECT_EQ(m_server->ReadStatus(&pStatus), kHrInstrumentNotReady);
    EXPECT_EQ(pStatus, nullptr);
    EXPECT_EQ(m_server->ChangeFlow(10.0F, 50.0F, 50.0F, 0.0F), kHrInstrumentNotReady);
    std::int32_t lines = -1;
    EXPECT_EQ(m_server->GetDownloadProgress(&lines), S_OK);
    Step(60'000);

    m_server->Instrument().PowerOn();
    EXPECT_EQ(m_server->IsInstrumentReady(), S_FALSE);
    Step(CSimulatedInstrument::kBootMs);
    EXPECT_EQ(m_server->IsInstrumentReady(), S_OK);
    const InstrumentStatus status = Status();
    EXPECT_STREQ(StateText(status.nState), "Initializing");
    EXPECT_FLOAT_EQ(status.fFlowRate, 0.0F);
    // The blocks cooled down while the power was off.
    EXPECT_LT(status.fColumnTempActual, 25.0F);
    Step(CSimulatedInstrument::kInitializingMs);
    EXPECT_STREQ(StateText(Status().nState), "Idle");
}

TEST_F(DirectSimulatorTest, DiagnosticsRunForAWhile) {
    ASSERT_EQ(m_server->LaunchDiagnostics(), S_OK);
    EXPECT_STREQ(StateText(Status().nState), "Diagnostic");
    Step(CSimulatedInstrument::kDiagnosticMs);
    EXPECT_STREQ(StateText(Status().nState), "Idle");
}

TEST_F(DirectSimulatorTest, StopFlowInputHoldsTheFlowAndManualInjectTriggers) {
    CAutoSampler& autoSampler = m_server->Instrument().AutoSampler();
    autoSampler.SetEventInput(1, true);
    Step(100);
    EXPECT_FLOAT_EQ(Status().fFlowRate, 0.0F);
    autoSampler.SetEventInput(1, false);
    Step(100);
    EXPECT_GT(Status().fFlowRate, 0.0F);

    InjectionSpecEntry entry{0.2F, nullptr};
    const InjectionSpec spec{1, 1.5F, &entry, 0};
    ASSERT_EQ(m_server->PerformInjection(0, &spec, &spec), S_OK);
    Step(CAutoSampler::kPrepareMs);
    EXPECT_STREQ(StateText(Status().nState), "Inject Ready");
    autoSampler.SetEventInput(0, true);
    Step(100);
    EXPECT_STREQ(StateText(Status().nState), "Running Inject");
}

} // namespace
