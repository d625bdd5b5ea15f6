#include "status_view_fixture.h"

#include "resource.h"

#include <QAbstractEventDispatcher>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kValueIds[] = {
    IDC_STATUS,        IDC_STATE,         IDC_PRESSURE,     IDC_FLOW_RATE,     IDC_COMPOSITION_A,
    IDC_COMPOSITION_B, IDC_COMPOSITION_C, IDC_COLUMN_SET,   IDC_COLUMN_ACTUAL, IDC_SAMPLE_SET,
    IDC_SAMPLE_ACTUAL, IDC_INJECT_VALVE,  IDC_STREAM_VALVE, IDC_VENT_VALVE,    IDC_AUX_FLOW_RATE,
    IDC_AUX_PRESSURE,  IDC_ERRORS};

InstrumentStatus BusyStatus() {
    InstrumentStatus status{};
    status.nState = 3;
    status.nInjectValve = 1;
    status.nReservoir = 2;
    status.nStreamValve = 2;
    status.nVentValve = 0;
    status.fFlowRate = 5.0F;
    status.fPercentA = 50.0F;
    status.fPercentB = 30.0F;
    status.fPercentC = 20.0F;
    status.fPressure = 1234.4F;
    status.fAuxFlowRate = 0.5F;
    status.fAuxPressure = 99.6F;
    status.fColumnTempSet = 5.0F;
    status.fColumnTempActual = 34.96F;
    status.fSampleTempSet = -4.0F;
    status.fSampleTempActual = 12.34F;
    return status;
}

class StatusRefreshTest : public StatusViewTest {
protected:
    void SetUp() override {
        StatusViewTest::SetUp();
        fake->status = BusyStatus();
        fake->statusMessage = "Pumping";
        OpenView();
    }

    std::map<int, QString> AllTexts() const {
        std::map<int, QString> texts;
        for (int id : kValueIds) {
            texts[id] = Text(id);
        }
        return texts;
    }
};

TEST_F(StatusRefreshTest, FormatsEveryField) {
    view->OnTimer();
    const std::map<int, QString> expected{
        {IDC_STATUS, QStringLiteral("Pumping")},
        {IDC_STATE, QStringLiteral("Idle")},
        {IDC_PRESSURE, QStringLiteral("1234 PSI")},
        {IDC_FLOW_RATE, QStringLiteral("5.00 \u00B5L/min")},
        {IDC_COMPOSITION_A, QStringLiteral("50.0 %A2")},
        {IDC_COMPOSITION_B, QStringLiteral("30.0 %B")},
        {IDC_COMPOSITION_C, QStringLiteral("20.0 %C")},
        {IDC_COLUMN_SET, QStringLiteral(" 5.0\u00B0C")},
        {IDC_COLUMN_ACTUAL, QStringLiteral("35.0\u00B0C")},
        {IDC_SAMPLE_SET, QStringLiteral("-4.0\u00B0C")},
        {IDC_SAMPLE_ACTUAL, QStringLiteral("12.3\u00B0C")},
        {IDC_INJECT_VALVE, QStringLiteral("Inject")},
        {IDC_STREAM_VALVE, QStringLiteral("Position 2")},
        {IDC_VENT_VALVE, QStringLiteral("System")},
        {IDC_AUX_FLOW_RATE, QStringLiteral("0.50 \u00B5L/min")},
        {IDC_AUX_PRESSURE, QStringLiteral("100 PSI")},
        {IDC_ERRORS, QString()},
    };
    EXPECT_EQ(AllTexts(), expected);
    EXPECT_EQ(fake->CallsTo("ReadStatus").size(), 1U);
    EXPECT_TRUE(fake->CallsTo("ReadAllErrors").empty());
}

TEST_F(StatusRefreshTest, PaddingIsRemovedWithoutTouchingTheValue) {
    fake->status.fPressure = 0.0F;
    fake->status.fFlowRate = 1234.567F;
    fake->status.fPercentB = 100.0F;
    fake->status.fAuxPressure = -3.6F;
    view->OnTimer();
    EXPECT_EQ(Text(IDC_PRESSURE), QStringLiteral("0 PSI"));
    EXPECT_EQ(Text(IDC_FLOW_RATE), QStringLiteral("1234.57 \u00B5L/min"));
    EXPECT_EQ(Text(IDC_COMPOSITION_B), QStringLiteral("100.0 %B"));
    EXPECT_EQ(Text(IDC_AUX_PRESSURE), QStringLiteral("-4 PSI"));
}

TEST_F(StatusRefreshTest, ValveTextsIncludingTheEmptyOnes) {
    struct Case {
        std::int32_t inject, stream, vent;
        const char* injectText;
        const char* streamText;
        const char* ventText;
    };
    // Each case follows the one before, so an empty text must also replace a shown one.
    const Case cases[] = {
        {1, 1, 1, "Inject", "Position 1", "Vent"}, {0, 0, 0, "", "", "System"},
        {2, 2, 7, "Load", "Position 2", "Vent"},   {3, -1, -1, "", "", "Vent"},
        {2, 1, 0, "Load", "Position 1", "System"},
    };
    for (const Case& c : cases) {
        fake->status.nInjectValve = c.inject;
        fake->status.nStreamValve = c.stream;
        fake->status.nVentValve = c.vent;
        view->OnTimer();
        EXPECT_EQ(Text(IDC_INJECT_VALVE), QString::fromLatin1(c.injectText)) << c.inject;
        EXPECT_EQ(Text(IDC_STREAM_VALVE), QString::fromLatin1(c.streamText)) << c.stream;
        EXPECT_EQ(Text(IDC_VENT_VALVE), QString::fromLatin1(c.ventText)) << c.vent;
    }
}

TEST_F(StatusRefreshTest, StateTexts) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "UNKNOWN"}, {1, "Unknown"}, {6, "Running Inject"}, {11, "Silking"}, {12, "UNKNOWN"}};
    for (const auto& [code, text] : cases) {
        fake->status.nState = code;
        view->OnTimer();
        EXPECT_EQ(Text(IDC_STATE), QString::fromLatin1(text)) << code;
    }
}

TEST_F(StatusRefreshTest, ServerTextsAreDecodedAsUtf8AndInvalidBytesReplaced) {
    fake->statusMessage = "Oven at 35 \xC2\xB0"
                          "C";
    view->OnTimer();
    EXPECT_EQ(Text(IDC_STATUS), QStringLiteral("Oven at 35 \u00B0C"));

    fake->statusMessage = "Flow \xB5L \xFF";
    fake->status.bErrorsPending = 1;
    fake->firstError = "Pump \xC3";
    view->OnTimer();
    EXPECT_EQ(Text(IDC_STATUS), QStringLiteral("Flow \uFFFDL \uFFFD"));
    EXPECT_EQ(Text(IDC_ERRORS), QStringLiteral("Pump \uFFFD"));

    // A null message reads as an empty one.
    fake->statusMessage.reset();
    view->OnTimer();
    EXPECT_EQ(Text(IDC_STATUS), QString());
}

TEST_F(StatusRefreshTest, FailedOrEmptyReadStatusChangesNothing) {
    g_state.syringeDataFlag = 1;
    view->OnTimer();
    const auto before = AllTexts();
    fake->calls.clear();

    fake->status = InstrumentStatus{};
    fake->status.bErrorsPending = 1;
    fake->statusMessage = "Changed";
    fake->firstError = "Not to be shown";
    fake->SetResult("ReadStatus", E_FAIL);
    view->OnTimer();
    EXPECT_EQ(AllTexts(), before);
    EXPECT_EQ(fake->calls, std::vector<std::string>{"ReadStatus()"});

    // A server that succeeds but hands out no record is no different.
    fake->SetResult("ReadStatus", S_OK);
    fake->nullBlocks = true;
    view->OnTimer();
    EXPECT_EQ(AllTexts(), before);
    EXPECT_TRUE(fake->CallsTo("ReadAllErrors").empty());
}

TEST_F(StatusRefreshTest, ErrorShownInRedAndKeptUntilClicked) {
    fake->status.bErrorsPending = 1;
    fake->firstError = "Pump A over pressure";
    view->OnTimer();
    QLabel* errors = Label(IDC_ERRORS);
    EXPECT_EQ(errors->text(), QStringLiteral("Pump A over pressure"));
    EXPECT_EQ(fake->CallsTo("ReadAllErrors"), std::vector<std::string>{"ReadAllErrors(1)"});
    EXPECT_EQ(errors->palette().color(errors->foregroundRole()), QColor(255, 0, 0));

    fake->status.bErrorsPending = 0;
    fake->firstError = "Another";
    view->OnTimer();
    view->OnTimer();
    EXPECT_EQ(errors->text(), QStringLiteral("Pump A over pressure"));
    EXPECT_EQ(fake->CallsTo("ReadAllErrors").size(), 1U);

    // A press dragged off the text is not a click.
    QTest::mousePress(errors, Qt::LeftButton);
    QTest::mouseRelease(errors, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_EQ(errors->text(), QStringLiteral("Pump A over pressure"));
    QTest::mouseClick(errors, Qt::LeftButton);
    EXPECT_EQ(errors->text(), QString());
}

TEST_F(StatusRefreshTest, FailedOrEmptyErrorReadKeepsTheShownError) {
    fake->status.bErrorsPending = 1;
    fake->firstError = "First";
    view->OnTimer();

    fake->firstError = "Second";
    fake->SetResult("ReadAllErrors", E_FAIL);
    view->OnTimer();
    EXPECT_EQ(Text(IDC_ERRORS), QStringLiteral("First"));

    fake->SetResult("ReadAllErrors", S_OK);
    fake->firstError.reset();
    view->OnTimer();
    EXPECT_EQ(Text(IDC_ERRORS), QStringLiteral("First"));
}

TEST_F(StatusRefreshTest, ResetCommunicationsClearsTheErrorAndReinitialises) {
    fake->status.bErrorsPending = 1;
    fake->firstError = "Autosampler timeout";
    view->OnTimer();
    fake->calls.clear();

    view->OnResetCommunications();
    EXPECT_EQ(Text(IDC_ERRORS), QString());
    EXPECT_EQ(fake->calls, std::vector<std::string>{"InitializeInstrument(4, 1)"});
}

TEST_F(StatusRefreshTest, SyringeDataFetchedOnlyWhileTheFlagIsSet) {
    for (std::size_t i = 0; i < 6; ++i) {
        fake->syringeData.anPressure[i] = static_cast<std::int16_t>(100 + i);
        fake->syringeData.anPosition[i] = static_cast<std::int32_t>(-1000 * i);
    }
    view->OnTimer();
    EXPECT_TRUE(fake->CallsTo("ReadSyringeData").empty());
    EXPECT_EQ(g_state.syringeData.anPressure[0], 0);

    g_state.syringeDataFlag = 1;
    view->OnTimer();
    EXPECT_EQ(fake->CallsTo("ReadSyringeData"),
              std::vector<std::string>{"ReadSyringeData(19, 0, 0, 84 bytes)"});
    EXPECT_EQ(std::memcmp(&g_state.syringeData, &fake->syringeData, sizeof(SyringeDataRecord)), 0);
}

TEST_F(StatusRefreshTest, SyringeBufferKeptOnFailureAndOnAShortBlock) {
    g_state.syringeDataFlag = 1;
    fake->syringeData.anState.fill(5);
    view->OnTimer();
    const SyringeDataRecord good = g_state.syringeData;
    fake->syringeData.anState.fill(9);

    fake->SetResult("ReadSyringeData", E_FAIL);
    view->OnTimer();
    EXPECT_EQ(std::memcmp(&g_state.syringeData, &good, sizeof good), 0);

    fake->SetResult("ReadSyringeData", S_OK);
    fake->syringeDataLength = sizeof(SyringeDataRecord) - 4;
    view->OnTimer();
    EXPECT_EQ(std::memcmp(&g_state.syringeData, &good, sizeof good), 0);

    fake->syringeDataLength = 0;
    view->OnTimer();
    fake->nullBlocks = true;
    view->OnTimer();
    EXPECT_EQ(std::memcmp(&g_state.syringeData, &good, sizeof good), 0);
    EXPECT_EQ(fake->CallsTo("ReadSyringeData").size(), 5U);
}

TEST_F(StatusViewTest, PlateAndFeederButtons) {
    fake->configuration.bPlateFeeder = 1;
    OpenView();
    fake->calls.clear();
    for (int id : {IDC_EXCHANGE_PLATE, IDC_HOME_PLATE, IDC_FEEDER1_NEXT, IDC_FEEDER1_HOME,
                   IDC_FEEDER2_NEXT, IDC_FEEDER2_HOME}) {
        QTest::mouseClick(FindControl<QPushButton>(view.get(), id), Qt::LeftButton);
    }
    const std::vector<std::string> expected{"PositionSamplePlate(1)", "PositionSamplePlate(0)",
                                            "StepPlateFeeder(0, 1)",  "StepPlateFeeder(0, 0)",
                                            "StepPlateFeeder(1, 1)",  "StepPlateFeeder(1, 0)"};
    EXPECT_EQ(fake->calls, expected);
}

TEST_F(StatusViewTest, InitialUpdateRunsOnceAndStartsTheTwoSecondRefresh) {
    view = std::make_unique<COrvixClientView>();
    QSignalSpy fits(view.get(), &COrvixClientView::fitFrameRequested);
    view->OnInitialUpdate();
    view->OnInitialUpdate();
    EXPECT_EQ(fits.count(), 1);
    EXPECT_EQ(fake->CallsTo("GetInstrumentConfiguration").size(), 1U);

    const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(view.get());
    ASSERT_EQ(timers.size(), 1);
    EXPECT_EQ(timers[0].interval, 2000);

    QTimerEvent tick(timers[0].timerId);
    QCoreApplication::sendEvent(view.get(), &tick);
    EXPECT_EQ(fake->CallsTo("ReadStatus").size(), 1U);
}

} // namespace
