// The status view on the real proxy, talking over a bus of the test's own to the simulated
// instrument that the bus starts on demand, as it starts the server for the client.
#include "control_id.h"
#include "orvix_client_view.h"
#include "resource.h"
#include "simulator_session.h"

#include <QAccessible>
#include <QLabel>

#include <memory>

namespace {

class StatusViewOnSimulator : public SimulatorSessionTest {
protected:
    void TearDown() override {
        view.reset();
        SimulatorSessionTest::TearDown();
    }

    COrvixClientView& OpenView() {
        view = std::make_unique<COrvixClientView>();
        view->OnInitialUpdate();
        return *view;
    }

    QString Text(int id) const { return FindControl<QLabel>(view.get(), id)->text(); }
    bool Hidden(int id) const { return FindControl(view.get(), id)->isHidden(); }

    std::unique_ptr<COrvixClientView> view;
};

// The simulated instrument has pump C post-column and a sample thermostat, but no plate
// feeders.
TEST_F(StatusViewOnSimulator, HidesWhatTheInstrumentReportsAsNotFitted) {
    OpenView();
    EXPECT_TRUE(Hidden(IDC_COMPOSITION_C));
    EXPECT_FALSE(Hidden(IDC_AUX_FLOW_RATE));
    EXPECT_FALSE(Hidden(IDC_AUX_PRESSURE));
    EXPECT_FALSE(Hidden(IDC_SAMPLE_ACTUAL));
    EXPECT_TRUE(Hidden(IDC_FEEDER1_NEXT));
}

TEST_F(StatusViewOnSimulator, ShowsTheFlowThatChangeFlowSet) {
    OpenView().OnTimer();
    EXPECT_EQ(Text(IDC_FLOW_RATE), QStringLiteral("5.00 \u00B5L/min"));
    EXPECT_EQ(Text(IDC_COMPOSITION_A), QStringLiteral("95.0 %A1"));
    EXPECT_EQ(Text(IDC_COMPOSITION_B), QStringLiteral("5.0 %B"));
    EXPECT_EQ(Text(IDC_AUX_FLOW_RATE), QStringLiteral("0.00 \u00B5L/min"));

    ASSERT_EQ(g_pServer->ChangeFlow(12.5F, 60.0F, 40.0F, 2.5F), S_OK);
    view->OnTimer();
    EXPECT_EQ(Text(IDC_FLOW_RATE), QStringLiteral("12.50 \u00B5L/min"));
    EXPECT_EQ(Text(IDC_COMPOSITION_A), QStringLiteral("60.0 %A1"));
    EXPECT_EQ(Text(IDC_COMPOSITION_B), QStringLiteral("40.0 %B"));
    EXPECT_EQ(Text(IDC_AUX_FLOW_RATE), QStringLiteral("2.50 \u00B5L/min"));
}

TEST_F(StatusViewOnSimulator, StateAndPressureFollowTheInstrumentsClock) {
    ASSERT_EQ(g_pServer->InitializeInstrument(kConnectArg1, kConnectArg2), S_OK);
    OpenView().OnTimer();
    EXPECT_EQ(Text(IDC_STATE), QStringLiteral("Initializing"));
    const QString before = Text(IDC_PRESSURE);
    ASSERT_TRUE(before.endsWith(QStringLiteral(" PSI"))) << before.toStdString();

    ASSERT_EQ(g_pServer->ChangeFlow(12.5F, 60.0F, 40.0F, 0.0F), S_OK);
    // Ten of the pressure's time constants, and well past the initialisation.
    StepClock(15'000);
    view->OnTimer();
    EXPECT_EQ(Text(IDC_STATE), QStringLiteral("Idle"));
    const QString after = Text(IDC_PRESSURE);
    // 2.5 times the flow at about the same viscosity: more than twice the pressure.
    EXPECT_GT(after.section(u' ', 0, 0).toDouble(), 2.0 * before.section(u' ', 0, 0).toDouble())
        << before.toStdString() << " -> " << after.toStdString();
}

TEST_F(StatusViewOnSimulator, ShowsTheInstrumentsErrorUntilTheResetClearsIt) {
    OpenView().OnTimer();
    EXPECT_EQ(Text(IDC_ERRORS), QString());
    Simulator(QStringLiteral("RaiseError"), {QStringLiteral("Pump A overpressure")});
    view->OnTimer();
    EXPECT_EQ(Text(IDC_STATE), QStringLiteral("Error"));
    EXPECT_EQ(Text(IDC_ERRORS), QStringLiteral("Pump A overpressure"));
    // Read again on every tick while pending; the list handed out each time stays the proxy's.
    view->OnTimer();
    EXPECT_EQ(Text(IDC_ERRORS), QStringLiteral("Pump A overpressure"));

    // The toolbar's reset clears the text and has the instrument initialise, which clears
    // its errors.
    view->OnCommand(ID_RESET_COMMUNICATIONS);
    EXPECT_EQ(Text(IDC_ERRORS), QString());
    view->OnTimer();
    EXPECT_EQ(Text(IDC_STATE), QStringLiteral("Initializing"));
    StepClock(5'000);
    view->OnTimer();
    EXPECT_EQ(Text(IDC_STATE), QStringLiteral("Idle"));
    EXPECT_EQ(Text(IDC_ERRORS), QString());
}

TEST_F(StatusViewOnSimulator, TheTestMenusGetShowsTheMethodItsSetStoredUntilTheNextRefresh) {
    OpenView();
    view->OnCommand(ID_TEST_SET_SEPARATION_METHOD);
    view->OnCommand(ID_TEST_GET_SEPARATION_METHOD);
    EXPECT_EQ(Text(IDC_COLUMN_SET), QStringLiteral("35.0"));
    EXPECT_EQ(Text(IDC_SAMPLE_SET), QStringLiteral("35.0"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(FindControl<QLabel>(view.get(), IDC_SAMPLE_SET))
                  ->text(QAccessible::Name),
              QStringLiteral("35.0"));
    view->OnTimer();
    EXPECT_EQ(Text(IDC_COLUMN_SET), QStringLiteral("35.0\u00B0C"));
}

} // namespace
