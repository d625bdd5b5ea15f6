#include "direct_simulator_fixture.h"

#include "sim_refusals.h"
#include "state_text.h"

#include <cmath>

namespace {

TEST_F(DirectSimulatorTest, StartsIdleWithPlausibleReadings) {
    const InstrumentStatus status = Status();
    EXPECT_STREQ(StateText(status.nState), "Idle");
    EXPECT_FALSE(m_lastMessage.empty());
    EXPECT_EQ(status.bErrorsPending, 0);
    EXPECT_EQ(status.nInjectValve, 2);
    EXPECT_EQ(status.nStreamValve, 1);
    EXPECT_EQ(status.nReservoir, 1);
    EXPECT_GT(status.fFlowRate, 0.0F);
    EXPECT_FLOAT_EQ(status.fPercentA + status.fPercentB + status.fPercentC, 100.0F);
    EXPECT_GT(status.fPressure, 100.0F);
    EXPECT_LT(status.fPressure, 10'000.0F);
    EXPECT_NEAR(status.fColumnTempActual, status.fColumnTempSet, 0.5F);
    EXPECT_NEAR(status.fSampleTempActual, status.fSampleTempSet, 0.5F);
}

TEST_F(DirectSimulatorTest, ChangeFlowShowsInStatusAndPressureFollows) {
    ASSERT_EQ(m_server->ChangeFlow(20.0F, 50.0F, 50.0F, 3.0F), S_OK);
    InstrumentStatus status = Status();
    EXPECT_FLOAT_EQ(status.fFlowRate, 20.0F);
    EXPECT_FLOAT_EQ(status.fPercentA, 50.0F);
    EXPECT_FLOAT_EQ(status.fPercentB, 50.0F);
    // Pump C is post-column by default: the third value is its flow.
    EXPECT_FLOAT_EQ(status.fAuxFlowRate, 3.0F);
    const float early = status.fPressure;
    Step(20'000);
    status = Status();
    EXPECT_GT(status.fPressure, early);
    EXPECT_NEAR(status.fPressure, 180.0F * 20.0F * 0.935F, 60.0F);
    EXPECT_NEAR(status.fAuxPressure, 36.0F, 5.0F);

    ASSERT_EQ(m_server->ChangeFlow(0.0F, 50.0F, 50.0F, 0.0F), S_OK);
    Step(20'000);
    EXPECT_LT(Status().fPressure, 1.0F);
}

TEST_F(DirectSimulatorTest, ChangeFlowRefusesWhatThePumpsCannotDeliver) {
    const InstrumentStatus before = Status();
    EXPECT_EQ(m_server->ChangeFlow(20.0F, 60.0F, 20.0F, 0.0F), E_INVALIDARG);
    EXPECT_EQ(m_server->ChangeFlow(41.0F, 50.0F, 50.0F, 0.0F), E_INVALIDARG);
    EXPECT_EQ(m_server->ChangeFlow(-1.0F, 50.0F, 50.0F, 0.0F), E_INVALIDARG);
    EXPECT_EQ(m_server->ChangeFlow(NAN, 50.0F, 50.0F, 0.0F), E_INVALIDARG);
    EXPECT_EQ(m_server->ChangeFlow(20.0F, 50.0F, 50.0F, 41.0F), E_INVALIDARG);
    EXPECT_FLOAT_EQ(Status().fFlowRate, before.fFlowRate);
}

TEST_F(DirectSimulatorTest, ConfigurationRoundTripKeepsTheSerialNumber) {
    InstrumentConfiguration* pOld = nullptr;
    ASSERT_EQ(m_server->GetInstrumentConfiguration(&pOld), S_OK);
    const std::string serial = pOld->pszSerialNumber;
    ReleaseInstrumentConfiguration(pOld);

    char none[] = "None";
    const InstrumentConfiguration sent{99.0F, 100, 999.0F, none, 12.5F, 1, 0, 1, 1, 1, 0, 1};
    ASSERT_EQ(m_server->SetInstrumentConfiguration(&sent), S_OK);
    InstrumentConfiguration* pGot = nullptr;
    ASSERT_EQ(m_server->GetInstrumentConfiguration(&pGot), S_OK);
    EXPECT_FLOAT_EQ(pGot->fSampleLoopVolume, 99.0F);
    EXPECT_EQ(pGot->nSyringeSize, 100);
    EXPECT_FLOAT_EQ(pGot->fNeedleVolume, 12.5F);
    EXPECT_EQ(pGot->bPumpCInstalled, 1);
    EXPECT_EQ(pGot->bSampleTemp, 0);
    EXPECT_EQ(pGot->bTernaryGradient, 1);
    EXPECT_EQ(pGot->bManualInjectValve, 1);
    EXPECT_EQ(pGot->bPlateFeeder, 1);
    EXPECT_EQ(pGot->nReserved44, 1);
    EXPECT_EQ(std::string(pGot->pszSerialNumber), serial);
    ReleaseInstrumentConfiguration(pGot);

    InstrumentConfiguration bad = sent;
    bad.fSampleLoopVolume = 0.0F;
    EXPECT_EQ(m_server->SetInstrumentConfiguration(&bad), E_INVALIDARG);

    // Ternary now: the third value is percent C, and the sum must include it.
    EXPECT_EQ(m_server->ChangeFlow(10.0F, 30.0F, 30.0F, 40.0F), S_OK);
    EXPECT_FLOAT_EQ(Status().fPercentC, 40.0F);
    EXPECT_EQ(m_server->ChangeFlow(10.0F, 30.0F, 30.0F, 30.0F), E_INVALIDARG);

    // Back to post-column: C no longer takes a share of the gradient.
    const InstrumentConfiguration postColumn{99.0F, 100, 999.0F, none, 12.5F, 1, 0, 0, 1, 1, 0, 1};
    ASSERT_EQ(m_server->SetInstrumentConfiguration(&postColumn), S_OK);
    const InstrumentStatus status = Status();
    EXPECT_FLOAT_EQ(status.fPercentC, 0.0F);
    EXPECT_FLOAT_EQ(status.fAuxFlowRate, 0.0F);

    // A syringe the pumps do not know is refused with an error that names it.
    bad = postColumn;
    bad.nSyringeSize = 30;
    EXPECT_EQ(m_server->SetInstrumentConfiguration(&bad), E_INVALIDARG);
    EXPECT_EQ(Status().bErrorsPending, 1);
    EXPECT_EQ(FirstError(), "Configuration refused: unknown syringe size 30 uL");
}

TEST_F(DirectSimulatorTest, SeparationMethodRoundTripSetsTemperatures) {
    char name[] = "Client Test Method";
    char column[] = "Column";
    SeparationMethodStep steps[3] = {{0.25F, 6, 2, 0}, {0.5F, 6, 1, 0}, {0.75F, 6, 2, 0}};
    SeparationMethod method{};
    method.pszMethodName = name;
    method.pszColumnName = column;
    method.fSampleTempSetPoint = 35.0F;
    method.fColumnTempSetPoint = 40.0F;
    method.nStepCount = 3;
    method.pSteps = steps;
    ASSERT_EQ(m_server->SetSeparationMethod(&method), S_OK);

    SeparationMethod* pGot = nullptr;
    ASSERT_EQ(m_server->GetSeparationMethod(&pGot), S_OK);
    EXPECT_STREQ(pGot->pszMethodName, "Client Test Method");
    EXPECT_STREQ(pGot->pszColumnName, "Column");
    EXPECT_EQ(pGot->pszSolventA, nullptr);
    ASSERT_EQ(pGot->nStepCount, 3);
    EXPECT_FLOAT_EQ(pGot->pSteps[2].fTime, 0.75F);
    EXPECT_FLOAT_EQ(pGot->fColumnTempSetPoint, 40.0F);
    ReleaseSeparationMethod(pGot);

    InstrumentStatus status = Status();
    EXPECT_FLOAT_EQ(status.fColumnTempSet, 40.0F);
    EXPECT_FLOAT_EQ(status.fSampleTempSet, 35.0F);
    EXPECT_LT(status.fColumnTempActual, 35.0F);
    Step(60'000);
    status = Status();
    EXPECT_GT(status.fColumnTempActual, 34.0F);
    EXPECT_LT(status.fColumnTempActual, 40.0F);
    Step(20 * 60'000);
    status = Status();
    EXPECT_NEAR(status.fColumnTempActual, 40.0F, 0.05F);
    EXPECT_NEAR(status.fSampleTempActual, 35.0F, 0.05F);

    method.fColumnTempSetPoint = 150.0F;
    EXPECT_EQ(m_server->SetSeparationMethod(&method), E_INVALIDARG);
    EXPECT_FLOAT_EQ(Status().fColumnTempSet, 40.0F);
}

TEST_F(DirectSimulatorTest, ConditioningAndInitialConditionsFollowTheMethod) {
    ASSERT_EQ(m_server->ConditionColumn(45.0F, 1), S_OK);
    EXPECT_FLOAT_EQ(Status().fColumnTempSet, 45.0F);
    EXPECT_EQ(m_server->ConditionColumn(120.0F, 1), E_INVALIDARG);
    ASSERT_EQ(m_server->ConditionColumn(0.0F, 0), S_OK);
    EXPECT_FLOAT_EQ(Status().fColumnTempSet, 30.0F);

    ASSERT_EQ(m_server->ChangeFlow(30.0F, 20.0F, 80.0F, 0.0F), S_OK);
    ASSERT_EQ(m_server->Equilibrate(2.0F), S_OK);
    const InstrumentStatus status = Status();
    EXPECT_FLOAT_EQ(status.fFlowRate, 10.0F);
    EXPECT_FLOAT_EQ(status.fPercentB, 5.0F);
    EXPECT_NE(m_lastMessage.find("Equilibrating"), std::string::npos) << m_lastMessage;
    Step(2 * 60'000);
    Status();
    EXPECT_EQ(m_lastMessage.find("Equilibrating"), std::string::npos) << m_lastMessage;
}

TEST_F(DirectSimulatorTest, SyringeValvesMoveThenReportTheirPosition) {
    // Without the fetch enabled the pumps send no syringe record.
    TransferDataBlock* pOut = nullptr;
    EXPECT_EQ(m_server->ReadSyringeData(kSyringeDataRecordCode, 0, 0, nullptr, &pOut),
              kHrSyringeDataNotEnabled);
    EXPECT_EQ(pOut, nullptr);
    ASSERT_EQ(m_server->ChangeFlow(0.0F, 50.0F, 50.0F, 0.0F), S_OK);
    std::int32_t reply = 0;
    ASSERT_EQ(m_server->MoveSyringeValve(3, 1, &reply), S_OK);
    ASSERT_EQ(m_server->MoveSyringeValve(4, 3, &reply), S_OK);
    SyringeDataRecord data = SyringeData();
    EXPECT_EQ(data.anValveState[2], 3); // in motion
    EXPECT_EQ(data.anValveState[3], 3);
    Step(CPumps::kValveMoveMs);
    data = SyringeData();
    EXPECT_EQ(data.anValveState[2], -1); // fill
    EXPECT_EQ(data.anValveState[3], 1);  // deliver
    ASSERT_EQ(m_server->MoveSyringeValve(3, 2, &reply), S_OK);
    Step(CPumps::kValveMoveMs);
    EXPECT_EQ(SyringeData().anValveState[2], 0); // dead end

    EXPECT_EQ(m_server->MoveSyringeValve(7, 1, &reply), E_INVALIDARG);
    EXPECT_EQ(m_server->MoveSyringeValve(1, 4, &reply), E_INVALIDARG);
}

TEST_F(DirectSimulatorTest, ServiceCommandsSwitchValvesOverAndProceduresOwnTheSyringeValves) {
    ASSERT_EQ(m_server->SetAutoSamplerMonitor(CAutoSampler::kMonitorOn), S_OK);
    auto command = [this](const char* code) {
        std::int32_t reply = 0;
        BSTR text = BstrFromUtf8(code);
        EXPECT_EQ(m_server->SendAutoSamplerCommand(text, &reply), S_OK);
        SysFreeString(text);
    };
    auto ventSensors = [this] {
        AutoSamplerSensorRecord* p = nullptr;
        EXPECT_EQ(m_server->ReadAutoSamplerSensors(&p), S_OK);
        const std::pair<int, int> pair{p->anSensor[16], p->anSensor[15]};
        ReleaseAutoSamplerSensors(p);
        return pair; // position 1 (system), position 2 (vent)
    };
    EXPECT_EQ(ventSensors(), std::make_pair(1, 0));
    command("5106");
    EXPECT_EQ(ventSensors(), std::make_pair(0, 0)) << "neither position while it moves";
    EXPECT_EQ(Status().nVentValve, 0);
    Step(CPumps::kValveMoveMs);
    EXPECT_EQ(ventSensors(), std::make_pair(0, 1));
    EXPECT_EQ(Status().nVentValve, 1);

    for (int i = 0; i < 3; ++i) {
        command("5108");
    }
    EXPECT_EQ(Status().nReservoir, 1) << "A1, A2, A3 and round again";
    command("5105");
    command("5107");
    Step(CAutoSampler::kValveMoveMs);
    EXPECT_EQ(Status().nInjectValve, 1);
    EXPECT_EQ(Status().nStreamValve, 2);
    command("5105");
    Step(CAutoSampler::kValveMoveMs);
    EXPECT_EQ(Status().nInjectValve, 2);

    ASSERT_EQ(m_server->DryPrimeSystem(1, 1), S_OK);
    std::int32_t reply = 0;
    EXPECT_EQ(m_server->MoveSyringeValve(1, 2, &reply), kHrInstrumentBusy);
}

TEST_F(DirectSimulatorTest, SyringesDeliverAndRefillWhilePumping) {
    ASSERT_EQ(m_server->ChangeFlow(40.0F, 100.0F, 0.0F, 0.0F), S_OK);
    const std::int32_t start = SyringeData().anPosition[0];
    Step(10'000);
    SyringeDataRecord data = SyringeData();
    EXPECT_LT(data.anPosition[0], start);
    EXPECT_EQ(data.anState[0], 6); // deliver
    EXPECT_GT(data.anPressure[0], 100);
    // 25 uL at 40 uL/min empties in 37.5 s; the partner takes over and the first refills.
    Step(35'000);
    data = SyringeData();
    EXPECT_EQ(data.anState[1], 6);
    Step(10'000);
    data = SyringeData();
    EXPECT_EQ(data.anState[0], 5); // full again, compressed and waiting
    std::uint16_t valves[6] = {};
    std::uint16_t strokes[6] = {};
    ASSERT_EQ(m_server->GetSyringeUsage(6, valves, 6, strokes), S_OK);
    EXPECT_EQ(strokes[0], 1);
    EXPECT_GE(valves[0], 2);
}

TEST_F(DirectSimulatorTest, SolventReservoirAndHold) {
    ASSERT_EQ(m_server->SelectSolvent(2), S_OK);
    EXPECT_EQ(Status().nReservoir, 2);
    EXPECT_EQ(m_server->SelectSolvent(4), E_INVALIDARG);
    EXPECT_EQ(Status().nReservoir, 2);

    ASSERT_EQ(m_server->HoldAndResumeFlow(1), S_OK);
    EXPECT_FLOAT_EQ(Status().fFlowRate, 0.0F);
    EXPECT_EQ(m_lastMessage, "Flow on hold");
    ASSERT_EQ(m_server->HoldAndResumeFlow(0), S_OK);
    EXPECT_GT(Status().fFlowRate, 0.0F);
}

TEST_F(DirectSimulatorTest, ErrorsAreFlaggedListedAndClearedByInitialization) {
    EXPECT_EQ(FirstError(), "");
    m_server->Instrument().RaiseError("Pump A overpressure");
    m_server->Instrument().RaiseError("Second fault");
    InstrumentStatus status = Status();
    EXPECT_EQ(status.bErrorsPending, 1);
    EXPECT_STREQ(StateText(status.nState), "Error");
    // Every call hands out a fresh list; the server frees the old one.
    EXPECT_EQ(FirstError(), "Pump A overpressure");
    std::int32_t count = 0;
    ErrorList* pList = nullptr;
    ASSERT_EQ(m_server->ReadAllErrors(1, &count, &pList), S_OK);
    EXPECT_EQ(count, 2);

    ASSERT_EQ(m_server->InitializeInstrument(4, 1), S_OK);
    status = Status();
    EXPECT_EQ(status.bErrorsPending, 0);
    EXPECT_STREQ(StateText(status.nState), "Initializing");
    Step(CSimulatedInstrument::kInitializingMs);
    EXPECT_STREQ(StateText(Status().nState), "Idle");
}

TEST_F(DirectSimulatorTest, AutoSamplerMechanicsShowInTheSensors) {
    ASSERT_EQ(m_server->SetAutoSamplerMonitor(CAutoSampler::kMonitorOn), S_OK);
    auto sensors = [this] {
        AutoSamplerSensorRecord* p = nullptr;
        EXPECT_EQ(m_server->ReadAutoSamplerSensors(&p), S_OK);
        AutoSamplerSensorRecord copy = p ? *p : AutoSamplerSensorRecord{};
        ReleaseAutoSamplerSensors(p);
        return copy.anSensor;
    };
    EXPECT_EQ(sensors()[6], 1);  // needle unit up
    EXPECT_EQ(sensors()[13], 1); // inject valve at load
    ASSERT_EQ(m_server->MoveNeedleUnit(1), S_OK);
    EXPECT_EQ(sensors()[6], 0);
    Step(1'000);
    EXPECT_EQ(sensors()[6], 0);
    EXPECT_EQ(sensors()[8], 1); // down in a vial
    ASSERT_EQ(m_server->MoveSampleSyringeValve(3), S_OK);
    EXPECT_EQ(sensors()[2], 1); // rotating
    Step(1'000);
    EXPECT_EQ(sensors()[3], 0);
    EXPECT_EQ(sensors()[4], 1);

    ASSERT_EQ(m_server->SetPlateType(3), S_OK);
    EXPECT_EQ(m_server->SelectPlateRow(6), E_INVALIDARG); // 48 vials: rows A to F
    EXPECT_EQ(m_server->SelectPlateRow(5), S_OK);
    EXPECT_EQ(m_server->SelectPlateColumn(9), E_INVALIDARG);
    EXPECT_EQ(m_server->SetPlateType(4), E_INVALIDARG);

    // The plate-handling units keep the tray unit sensor clear until all are home again, and
    // the state shows each of them.
    ASSERT_EQ(m_server->MoveCenterUnit(1), S_OK);
    ASSERT_EQ(m_server->SetAirCompressor(1), S_OK);
    ASSERT_EQ(m_server->MoveLeftUnit(1), S_OK);
    Step(1'000);
    EXPECT_EQ(sensors()[0], 0);
    const std::string state = m_server->DescribeState();
    for (const char* part : {"tray home", "left unit 1", "right unit home", "centre unit place",
                             "centre lift up", "air compressor on"}) {
        EXPECT_NE(state.find(part), std::string::npos) << part << "\n" << state;
    }
    ASSERT_EQ(m_server->MoveCenterUnit(0), S_OK);
    ASSERT_EQ(m_server->MoveLeftUnit(0), S_OK);
    ASSERT_EQ(m_server->LiftCenterUnit(1), S_OK);
    Step(1'000);
    EXPECT_EQ(sensors()[0], 0) << "the centre lift is down";
    ASSERT_EQ(m_server->LiftCenterUnit(0), S_OK);
    Step(1'000);
    EXPECT_EQ(sensors()[0], 1);

    // With the monitor off the sensors keep their last reading.
    ASSERT_EQ(m_server->SetAutoSamplerMonitor(0), S_OK);
    const auto frozen = sensors();
    ASSERT_EQ(m_server->MoveNeedleUnit(0), S_OK);
    Step(1'000);
    EXPECT_EQ(sensors(), frozen);
    EXPECT_EQ(m_server->SetAutoSamplerMonitor(5), E_INVALIDARG);
}

TEST_F(DirectSimulatorTest, InjectionRunsItsSequenceAndDrivesTheEventOutputs) {
    InjectionSpecEntry entry{0.2F, nullptr};
    const InjectionSpec spec{1, 1.5F, &entry, 0};
    ASSERT_EQ(m_server->PerformInjection(0, &spec, &spec), S_OK);
    EXPECT_STREQ(StateText(Status().nState), "Prepare Inject");
    EXPECT_EQ(m_server->PerformInjection(0, &spec, &spec), kHrInstrumentBusy);
    Step(CAutoSampler::kPrepareMs);
    EXPECT_STREQ(StateText(Status().nState), "Inject Ready");
    ASSERT_EQ(m_server->PerformTrigger(), S_OK);
    Step(CAutoSampler::kValveMoveMs);
    const InstrumentStatus status = Status();
    EXPECT_STREQ(StateText(status.nState), "Running Inject");
    EXPECT_EQ(status.nInjectValve, 1);
    std::int32_t lines[8] = {};
    ASSERT_EQ(m_server->ReadEventIO(&lines[0], &lines[1], &lines[2], &lines[3], &lines[4],
                                    &lines[5], &lines[6], &lines[7]),
              S_OK);
    EXPECT_EQ(lines[4], 1); // inject event
    Step(CAutoSampler::kRunMs);
    EXPECT_STREQ(StateText(Status().nState), "Idle");

    // The detector saw the sample's peaks.
    DataBlockList* pData = nullptr;
    ASSERT_EQ(m_server->ReadAllData(&pData), S_OK);
    ASSERT_EQ(pData->nBlocks, 1);
    const DataBlock& block = pData->pBlocks[0];
    EXPECT_GT(block.nValues, 500);
    EXPECT_GT(*std::max_element(block.pValues, block.pValues + block.nValues), 30'000);
    ReleaseDataBlockList(pData);
    ASSERT_EQ(m_server->ReadAllData(&pData), S_OK);
    EXPECT_EQ(pData->nBlocks, 0);
    ReleaseDataBlockList(pData);
}

TEST_F(DirectSimulatorTest, VersionsAreReported) {
    float autoSampler = -1.0F;
    BSTR pump = nullptr;
    BSTR client = nullptr;
    ASSERT_EQ(m_server->GetVersions(&autoSampler, &pump, &client), S_OK);
    EXPECT_GT(autoSampler, 0.0F);
    EXPECT_EQ(Utf8FromBstr(pump), "3.05");
    EXPECT_FALSE(Utf8FromBstr(client).empty());
    SysFreeString(pump);
    SysFreeString(client);
}

TEST_F(DirectSimulatorTest, InjectedFaultsFailOrDelayOneOperation) {
    EXPECT_FALSE(m_server->FailOperation("NoSuchOperation", E_FAIL));
    EXPECT_FALSE(m_server->FailOperation("ReadStatus", S_FALSE));
    ASSERT_TRUE(m_server->FailOperation("ReadStatus", RPC_E_DISCONNECTED));
    InstrumentStatus* pStatus = nullptr;
    EXPECT_EQ(m_server->ReadStatus(&pStatus), RPC_E_DISCONNECTED);
    EXPECT_EQ(pStatus, nullptr);
    EXPECT_EQ(m_server->SelectSolvent(2), S_OK);
    m_server->ClearFaults();
    EXPECT_EQ(Status().nReservoir, 2);
}

} // namespace
