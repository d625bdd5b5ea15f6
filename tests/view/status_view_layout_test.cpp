#include "status_view_fixture.h"

#include "resource.h"

#include <QAccessible>
#include <QGroupBox>
#include <QPushButton>

#include <initializer_list>

namespace {

struct ControlCase {
    int id;
    const char* objectName;
    const char* caption;
};

// The captions that label a value text as assistive technology reports them: its caption
// labels, or else the title of the group around it.
QString Caption(QWidget* value) {
    QStringList labels;
    QStringList groups;
    for (const auto& [related, relation] :
         QAccessible::queryAccessibleInterface(value)->relations(QAccessible::Label)) {
        (qobject_cast<QLabel*>(related->object()) != nullptr ? labels : groups)
            << related->text(QAccessible::Name);
    }
    return (labels.isEmpty() ? groups : labels).join(u' ');
}

// Every value text is labelled by the caption beside it, or by its row and its column.
const ControlCase kValueTexts[] = {
    {IDC_PRESSURE, "pressureText", "Pressure"},
    {IDC_FLOW_RATE, "flowRateText", "Flow Rate"},
    {IDC_AUX_PRESSURE, "auxPressureText", "Aux Pressure"},
    {IDC_AUX_FLOW_RATE, "auxFlowRateText", "Aux Flow Rate"},
    {IDC_COMPOSITION_A, "compositionAText", "Composition"},
    {IDC_COMPOSITION_B, "compositionBText", "Composition"},
    {IDC_COMPOSITION_C, "compositionCText", "Composition"},
    {IDC_INJECT_VALVE, "injectValveText", "Inject"},
    {IDC_STREAM_VALVE, "streamValveText", "Stream"},
    {IDC_VENT_VALVE, "ventValveText", "Vent"},
    {IDC_COLUMN_ACTUAL, "columnActualText", "Column Actual"},
    {IDC_COLUMN_SET, "columnSetText", "Column Set"},
    {IDC_SAMPLE_ACTUAL, "sampleActualText", "Sample Actual"},
    {IDC_SAMPLE_SET, "sampleSetText", "Sample Set"},
    {IDC_STATUS, "statusText", "Status"},
    {IDC_STATE, "stateText", "State"},
    {IDC_ERRORS, "errorsText", "Errors"},
};

const ControlCase kButtons[] = {
    {IDC_EXCHANGE_PLATE, "exchangePlateButton", "Exchange"},
    {IDC_HOME_PLATE, "homePlateButton", "Home"},
    {IDC_FEEDER1_NEXT, "feeder1NextButton", "Next"},
    {IDC_FEEDER1_HOME, "feeder1HomeButton", "Home"},
    {IDC_FEEDER2_NEXT, "feeder2NextButton", "Next"},
    {IDC_FEEDER2_HOME, "feeder2HomeButton", "Home"},
};

TEST_F(StatusViewTest, EveryControlCarriesItsIdAndName) {
    OpenView();
    for (const ControlCase& c : kValueTexts) {
        QLabel* text = Label(c.id);
        ASSERT_NE(text, nullptr) << c.id;
        EXPECT_EQ(text->objectName(), QLatin1String(c.objectName)) << c.id;
        EXPECT_EQ(Caption(text), QLatin1String(c.caption)) << c.id;
        EXPECT_TRUE(text->accessibleName().isEmpty()) << c.id << ": named by its text";
        // Server texts are shown verbatim, even when they look like markup.
        EXPECT_EQ(text->textFormat(), Qt::PlainText) << c.id;
    }
    for (const ControlCase& c : kButtons) {
        auto* button = FindControl<QPushButton>(view.get(), c.id);
        ASSERT_NE(button, nullptr) << c.id;
        EXPECT_EQ(button->objectName(), QLatin1String(c.objectName)) << c.id;
        EXPECT_EQ(button->text(), QLatin1String(c.caption)) << c.id;
        EXPECT_FALSE(button->accessibleName().isEmpty()) << c.id;
    }
    EXPECT_EQ(Text(IDC_SAMPLE_LABEL), QStringLiteral("Sample"));
    EXPECT_EQ(FindControl(view.get(), 4242), nullptr);
}

TEST_F(StatusViewTest, FormIsArrangedAsItsTemplate) {
    fake->configuration.bPlateFeeder = 1;
    OpenView().show();
    const auto pos = [this](const char* name) {
        const auto* widget = view->findChild<QWidget*>(QLatin1String(name));
        return widget->mapTo(view.get(), QPoint(0, 0));
    };
    EXPECT_LT(pos("systemGroup").x(), pos("compositionGroup").x());
    EXPECT_EQ(pos("systemGroup").y(), pos("compositionGroup").y());
    EXPECT_LT(pos("systemGroup").y(), pos("valveStatesGroup").y());
    EXPECT_LT(pos("valveStatesGroup").y(), pos("temperatureGroup").y());
    EXPECT_LT(pos("temperatureGroup").y(), pos("samplePlateGroup").y());
    EXPECT_LT(pos("samplePlateGroup").y(), pos("statusGroup").y());
    // The feeder buttons stand in two columns to the right of the sample plate group.
    const auto* plate = view->findChild<QWidget*>(QStringLiteral("samplePlateGroup"));
    EXPECT_GT(pos("feeder1NextButton").x(), pos("samplePlateGroup").x() + plate->width() - 1);
    EXPECT_LT(pos("feeder1NextButton").x(), pos("feeder2NextButton").x());
    EXPECT_LT(pos("feeder1NextButton").y(), pos("feeder1HomeButton").y());
    EXPECT_LT(pos("feeder1HomeButton").y(), pos("statusGroup").y());
    EXPECT_LT(pos("statusGroup").y(), pos("stateGroup").y());
    EXPECT_LT(pos("stateGroup").y(), pos("errorsGroup").y());
    EXPECT_EQ(view->findChild<QGroupBox*>(QStringLiteral("compositionGroup"))->alignment(),
              Qt::AlignHCenter);
}

TEST_F(StatusViewTest, StatusStateAndErrorsUseTheBoldSwissFont) {
    OpenView();
    for (int id : {IDC_STATUS, IDC_STATE, IDC_ERRORS}) {
        const QFont font = Label(id)->font();
        EXPECT_EQ(font.pixelSize(), 16) << id;
        EXPECT_EQ(font.weight(), QFont::Bold) << id;
        EXPECT_EQ(font.styleHint(), QFont::SansSerif) << id;
        EXPECT_FALSE(font.fixedPitch()) << id;
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut()) << id;
    }
    EXPECT_NE(Label(IDC_PRESSURE)->font().weight(), QFont::Bold);
}

// The frame is fitted to the form before the first reading: a value or an error arriving later
// must not make the form taller than the window it was fitted to.
TEST_F(StatusViewTest, ValuesTakeTheirHeightBeforeTheFirstReading) {
    OpenView();
    std::vector<int> before;
    for (int id : {IDC_PRESSURE, IDC_STATUS, IDC_STATE, IDC_ERRORS}) {
        before.push_back(Label(id)->sizeHint().height());
    }
    fake->status.bErrorsPending = 1;
    fake->firstError = "Pump A overpressure";
    view->OnTimer();
    ASSERT_FALSE(Text(IDC_ERRORS).isEmpty());
    std::vector<int> after;
    for (int id : {IDC_PRESSURE, IDC_STATUS, IDC_STATE, IDC_ERRORS}) {
        after.push_back(Label(id)->sizeHint().height());
    }
    EXPECT_EQ(after, before);
}

TEST_F(StatusViewTest, ConfigurationFlagsAreCopiedFromTheirOwnFields) {
    // Distinct values catch a flag read from another field.
    fake->configuration.bPumpCInstalled = 2;
    fake->configuration.bSampleTemp = 3;
    fake->configuration.bTernaryGradient = 4;
    fake->configuration.bManualInjectValve = 6;
    fake->configuration.bPlateFeeder = 5;
    fake->serialNumber = "SN 0042";
    OpenView();
    EXPECT_EQ(g_state.pumpCInstalled, 2);
    EXPECT_EQ(g_state.sampleTemperature, 3);
    EXPECT_EQ(g_state.ternaryGradient, 4);
    EXPECT_EQ(g_state.plateFeeder, 5);
}

struct PumpCCase {
    std::int32_t installed, ternary;
    bool lineCHidden, auxHidden;
};

class PumpCLayoutTest : public StatusViewTest, public ::testing::WithParamInterface<PumpCCase> {};

TEST_P(PumpCLayoutTest, HidesTheRowsPumpCDoesNotUse) {
    const PumpCCase c = GetParam();
    fake->configuration.bPumpCInstalled = c.installed;
    fake->configuration.bTernaryGradient = c.ternary;
    OpenView();
    EXPECT_EQ(Hidden(IDC_COMPOSITION_C), c.lineCHidden);
    EXPECT_FALSE(Hidden(IDC_COMPOSITION_A) || Hidden(IDC_COMPOSITION_B));
    for (const char* name :
         {"auxPressureLabel", "auxPressureText", "auxFlowRateLabel", "auxFlowRateText"}) {
        EXPECT_EQ(view->findChild<QWidget*>(QLatin1String(name))->isHidden(), c.auxHidden) << name;
    }
    EXPECT_FALSE(Hidden(IDC_PRESSURE) || Hidden(IDC_FLOW_RATE));
}

INSTANTIATE_TEST_SUITE_P(Layouts, PumpCLayoutTest,
                         ::testing::Values(PumpCCase{0, 0, true, true}, PumpCCase{0, 1, true, true},
                                           PumpCCase{1, 0, true, false},
                                           PumpCCase{1, 1, false, true}));

TEST_F(StatusViewTest, FeederButtonsAndSampleRowFollowTheirOptions) {
    fake->configuration.bPlateFeeder = 1;
    fake->configuration.bSampleTemp = 0;
    OpenView();
    for (int id : {IDC_FEEDER1_NEXT, IDC_FEEDER1_HOME, IDC_FEEDER2_NEXT, IDC_FEEDER2_HOME}) {
        EXPECT_FALSE(Hidden(id)) << id;
    }
    for (int id : {IDC_SAMPLE_LABEL, IDC_SAMPLE_ACTUAL, IDC_SAMPLE_SET}) {
        EXPECT_TRUE(Hidden(id)) << id;
    }
    EXPECT_FALSE(Hidden(IDC_COLUMN_ACTUAL) || Hidden(IDC_COLUMN_SET));
    EXPECT_FALSE(Hidden(IDC_EXCHANGE_PLATE) || Hidden(IDC_HOME_PLATE));

    view.reset();
    fake->configuration.bPlateFeeder = 0;
    fake->configuration.bSampleTemp = 1;
    OpenView();
    for (int id : {IDC_FEEDER1_NEXT, IDC_FEEDER1_HOME, IDC_FEEDER2_NEXT, IDC_FEEDER2_HOME}) {
        EXPECT_TRUE(Hidden(id)) << id;
    }
    for (int id : {IDC_SAMPLE_LABEL, IDC_SAMPLE_ACTUAL, IDC_SAMPLE_SET}) {
        EXPECT_FALSE(Hidden(id)) << id;
    }
}

TEST_F(StatusViewTest, FailedOrEmptyConfigurationReadHidesEveryOption) {
    fake->configuration.bPumpCInstalled = 1;
    fake->configuration.bTernaryGradient = 1;
    fake->configuration.bSampleTemp = 1;
    fake->configuration.bPlateFeeder = 1;
    for (const bool failed : {true, false}) {
        fake->SetResult("GetInstrumentConfiguration", failed ? E_FAIL : S_OK);
        fake->nullBlocks = !failed;
        view.reset();
        OpenView();
        EXPECT_EQ(g_state.pumpCInstalled + g_state.ternaryGradient + g_state.sampleTemperature +
                      g_state.plateFeeder,
                  0);
        for (int id : {IDC_COMPOSITION_C, IDC_AUX_PRESSURE, IDC_AUX_FLOW_RATE, IDC_FEEDER1_NEXT,
                       IDC_FEEDER1_HOME, IDC_FEEDER2_NEXT, IDC_FEEDER2_HOME, IDC_SAMPLE_LABEL,
                       IDC_SAMPLE_ACTUAL, IDC_SAMPLE_SET}) {
            EXPECT_TRUE(Hidden(id)) << id << (failed ? " failed" : " null record");
        }
    }
}

// A server found again after it went away may be another instrument: its configuration is
// read once more, the options follow it both ways, and a failed read keeps the last layout.
TEST_F(StatusViewTest, AfterAReconnectTheOptionsFollowTheNewConfiguration) {
    fake->configuration.bPlateFeeder = 1;
    OpenView();
    fake->configuration.bPlateFeeder = 0;
    fake->configuration.bPumpCInstalled = 1;
    fake->configuration.bSampleTemp = 1;
    fake->calls.clear();
    view->OnServerReconnected();
    EXPECT_EQ(fake->calls.front(), "GetInstrumentConfiguration()");
    EXPECT_EQ(fake->CallsTo("ReadStatus").size(), 1U) << "and the form refreshes at once";
    EXPECT_TRUE(Hidden(IDC_FEEDER1_NEXT));
    EXPECT_FALSE(Hidden(IDC_AUX_PRESSURE));
    EXPECT_FALSE(Hidden(IDC_SAMPLE_ACTUAL));

    fake->SetResult("GetInstrumentConfiguration", E_FAIL);
    view->OnServerReconnected();
    EXPECT_FALSE(Hidden(IDC_AUX_PRESSURE));
    EXPECT_EQ(g_state.pumpCInstalled, 1);
}

} // namespace
