// The diagnostics pages that watch the instrument, on the real proxy and the simulated
// instrument: what a service engineer does on each page shows on it.
#include "control_id.h"
#include "diagnostic_sheets.h"
#include "indicator.h"
#include "orvix_client_view.h"
#include "resource.h"
#include "simulator_session.h"

#include <QLabel>
#include <QTabBar>
#include <QTest>

#include <memory>

namespace {

// Past the end of any valve's move.
constexpr qulonglong kMoveMs = 1'500;

class PagesOnSimulator : public SimulatorSessionTest {
protected:
    void CloseWindows() override {
        sheet.reset();
        view.reset();
    }

    template <class Sheet> void OpenSheet() {
        sheet = std::make_unique<Sheet>(QStringLiteral("Diagnostics"));
        sheet->show();
    }

    template <class Page> Page& ShowTab(const QString& caption) {
        QTabBar* tabs = sheet->TabBar();
        int index = 0;
        while (index < tabs->count() && tabs->tabText(index) != caption) {
            ++index;
        }
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
        page = sheet->GetPage(index);
        return *static_cast<Page*>(page);
    }

    QWidget* Control(int id) const { return FindControl(page, id); }
    QString Text(int id) const { return qobject_cast<QLabel*>(Control(id))->text(); }
    int Image(int id) const { return qobject_cast<CIndicator*>(Control(id))->ImageId(); }
    void Click(int id) { QTest::mouseClick(Control(id), Qt::LeftButton); }

    std::unique_ptr<COrvixClientView> view;
    std::unique_ptr<CPropertySheet> sheet;
    CPropertyPage* page = nullptr;
};

// The main window's status view fetches the syringe data that the page shows.
TEST_F(PagesOnSimulator, ValvesPageShowsAValveMoveAndWhereItEnds) {
    ASSERT_EQ(g_pServer->ChangeFlow(0.0F, 50.0F, 50.0F, 0.0F), S_OK);
    view = std::make_unique<COrvixClientView>();
    view->OnInitialUpdate();
    OpenSheet<CDiagnosticSheet>();
    auto& valves = ShowTab<CPageValves>(QStringLiteral("Valves"));
    EXPECT_FALSE(Control(IDC_VALVES_6_FILL)->isHidden()) << "the simulator has pump C";
    EXPECT_EQ(Text(IDC_VALVES_2_STATE), QStringLiteral("-"));
    view->OnTimer();
    valves.OnTimer();
    EXPECT_EQ(Text(IDC_VALVES_1_STATE), QStringLiteral("Deliver"));
    EXPECT_EQ(Text(IDC_VALVES_2_STATE), QStringLiteral("Dead-End"));

    Click(IDC_VALVES_2_FILL);
    view->OnTimer();
    valves.OnTimer();
    EXPECT_EQ(Text(IDC_VALVES_2_STATE), QStringLiteral("In Motion"));
    StepClock(kMoveMs);
    view->OnTimer();
    valves.OnTimer();
    EXPECT_EQ(Text(IDC_VALVES_2_STATE), QStringLiteral("Fill"));
    EXPECT_EQ(Text(IDC_VALVES_1_STATE), QStringLiteral("Deliver"));
}

TEST_F(PagesOnSimulator, AutoSamplerPageSwitchesEachValveOver) {
    OpenSheet<CUserConfig>();
    auto& autoSampler = ShowTab<CPageAutoSampler>(QStringLiteral("AutoSampler"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_INJECT_POSITION), QStringLiteral("Load"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_STREAM_POSITION), QStringLiteral("Position 1"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_VENT_POSITION), QStringLiteral("System"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_SOLVENT_POSITION), QStringLiteral("A1"));
    for (const int button : {IDC_AUTOSAMPLER_INJECT, IDC_AUTOSAMPLER_STREAM, IDC_AUTOSAMPLER_VENT,
                             IDC_AUTOSAMPLER_SOLVENT}) {
        Click(button);
        StepClock(kMoveMs);
        autoSampler.OnTimer();
        autoSampler.OnTimer();
    }
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_INJECT_POSITION), QStringLiteral("Inject"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_STREAM_POSITION), QStringLiteral("Position 2"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_VENT_POSITION), QStringLiteral("Vent"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_SOLVENT_POSITION), QStringLiteral("A2"));
}

// The instrument reports its sensors live only while the monitor is on: the page's first read
// comes before it is switched on.
TEST_F(PagesOnSimulator, SensorsPageFollowsTheValvesOnceTheMonitorIsOn) {
    OpenSheet<CDiagnosticSheet>();
    auto& autoSampler = ShowTab<CPageAutoSampler>(QStringLiteral("AutoSampler"));
    Click(IDC_AUTOSAMPLER_INJECT);
    autoSampler.OnTimer();
    autoSampler.OnTimer();
    Click(IDC_AUTOSAMPLER_VENT);
    StepClock(kMoveMs);

    auto& sensors = ShowTab<CPageAutoSamplerSensors>(QStringLiteral("AutoSampler Sensors"));
    EXPECT_EQ(Image(IDC_SENSOR_INJECT_LOAD), IDB_SENSOR_SET);
    EXPECT_EQ(Image(IDC_SENSOR_VENT_POSITION_1), IDB_SENSOR_SET);
    sensors.OnTimer();
    EXPECT_EQ(Image(IDC_SENSOR_INJECT_LOAD), IDB_SENSOR_CLEAR);
    EXPECT_EQ(Image(IDC_SENSOR_INJECT_INJECT), IDB_SENSOR_SET);
    EXPECT_EQ(Image(IDC_SENSOR_VENT_POSITION_1), IDB_SENSOR_CLEAR);
    EXPECT_EQ(Image(IDC_SENSOR_VENT_POSITION_2), IDB_SENSOR_SET);
    EXPECT_EQ(Image(IDC_SENSOR_STREAM_POSITION_1), IDB_SENSOR_SET);
}

TEST_F(PagesOnSimulator, IOPageShowsTheInputsAndTheInjectionsOutputs) {
    OpenSheet<CUserConfig>();
    auto& io = ShowTab<CPageIO>(QStringLiteral("I/O"));
    ShowTab<CPropertyPage>(QStringLiteral("AutoSampler"));
    auto on = [&io] {
        std::vector<int> ids;
        for (const int id :
             {IDC_IO_MANUAL_INJECT, IDC_IO_STOP_FLOW, IDC_IO_EVENT_1, IDC_IO_EVENT_2,
              IDC_IO_INJECT_EVENT, IDC_IO_SWITCH_1, IDC_IO_SWITCH_2, IDC_IO_DIVERTER_VALVE}) {
            if (FindControl<CIndicator>(&io, id)->ImageId() == IDB_EVENT_ON) {
                ids.push_back(id);
            }
        }
        return ids;
    };
    Simulator(QStringLiteral("SetEventInput"), {3, true});
    io.OnTimer();
    EXPECT_EQ(on(), std::vector<int>{IDC_IO_EVENT_1});

    InjectionSpecEntry entry{0.2F, nullptr};
    const InjectionSpec spec{1, 1.5F, &entry, 0};
    ASSERT_EQ(g_pServer->PerformInjection(0, &spec, &spec), S_OK);
    io.OnTimer();
    EXPECT_EQ(on(), (std::vector<int>{IDC_IO_EVENT_1, IDC_IO_SWITCH_2}));
    StepClock(5'000);
    io.OnTimer();
    EXPECT_EQ(on(), (std::vector<int>{IDC_IO_EVENT_1, IDC_IO_SWITCH_1}));
    Simulator(QStringLiteral("SetEventInput"), {1, true});
    StepClock(100);
    io.OnTimer();
    EXPECT_EQ(on(), (std::vector<int>{IDC_IO_MANUAL_INJECT, IDC_IO_EVENT_1, IDC_IO_INJECT_EVENT,
                                      IDC_IO_DIVERTER_VALVE}));
}

} // namespace
