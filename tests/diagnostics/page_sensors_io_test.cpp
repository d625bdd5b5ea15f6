#include "diagnostic_sheet_fixture.h"
#include "resource.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QTimerEvent>

namespace {

// The indicator of each sensor record field, in field order: the vent valve's pair comes as
// position 2, then position 1.
constexpr int kSensorIndicators[] = {
    1156, 1157, 1158, 1159, 1160, 1170, 1172, 1173, 1174, 1175,
    1161, 1162, 1163, 1164, 1165, 1167, 1166, 1168, 1169,
};

constexpr int kEventIndicators[] = {1138, 1139, 1140, 1141, 1142, 1143, 1144, 1145};

class SensorsPage : public DiagnosticSheetTest {
protected:
    CPageAutoSamplerSensors& Open() {
        OpenSheet();
        return ShowTab<CPageAutoSamplerSensors>(QStringLiteral("AutoSampler Sensors"));
    }
    std::vector<int> SetIndicators() const {
        std::vector<int> set;
        for (const int id : kSensorIndicators) {
            if (Image(id) == IDB_SENSOR_SET) {
                set.push_back(id);
            }
        }
        return set;
    }
};

TEST_F(SensorsPage, EachFieldDrivesItsOwnIndicator) {
    auto& sensors = Open();
    EXPECT_TRUE(SetIndicators().empty());
    const int values[] = {1, -1, 255};
    for (int field = 0; field < 19; ++field) {
        fake->sensors.anSensor = {};
        fake->sensors.anSensor[static_cast<std::size_t>(field)] = values[field % 3];
        sensors.OnTimer();
        EXPECT_EQ(SetIndicators(), std::vector<int>{kSensorIndicators[field]}) << field;
    }
    // The vent pair is swapped in the record: field 15 is position 2.
    QWidget* ventPosition2 = Control(IDC_SENSOR_VENT_POSITION_2);
    EXPECT_EQ(ventPosition2->accessibleName(), QStringLiteral("Position 2 clear"));
    fake->sensors.anSensor = {};
    fake->sensors.anSensor[15] = 1;
    sensors.OnTimer();
    EXPECT_EQ(ventPosition2->accessibleName(), QStringLiteral("Position 2 set"));
    EXPECT_EQ(ventPosition2->accessibleDescription(), QStringLiteral("set"));
    EXPECT_EQ(Control(IDC_SENSOR_VENT_POSITION_1)->accessibleDescription(),
              QStringLiteral("clear"));
}

TEST_F(SensorsPage, ReadsAtFirstDisplayThenOnlyWhileInFront) {
    fake->sensors.anSensor.fill(1);
    auto& sensors = Open();
    // The first read comes before the monitor is switched on.
    const std::vector<std::string> first(fake->calls.end() - 2, fake->calls.end());
    EXPECT_EQ(first, (std::vector<std::string>{"ReadAutoSamplerSensors()",
                                               "SetAutoSamplerMonitor(250896)"}));
    EXPECT_EQ(SetIndicators().size(), 19U);
    sensors.OnTimer();
    EXPECT_EQ(Count("ReadAutoSamplerSensors"), 2U);

    ClickTab(QStringLiteral("Usage"));
    sensors.OnTimer();
    EXPECT_EQ(Count("ReadAutoSamplerSensors"), 2U);
    ClickTab(QStringLiteral("AutoSampler Sensors"));
    EXPECT_EQ(Count("ReadAutoSamplerSensors"), 2U) << "activation itself does not read";
    sensors.OnTimer();
    EXPECT_EQ(Count("ReadAutoSamplerSensors"), 3U);

    // Apply with this tab in front checks the pages but leaves this one reading.
    sheet->GetPage(1)->SetModified();
    sheet->PressButton(QStringLiteral("Apply"));
    ASSERT_FALSE(sheet->GetPage(1)->IsModified());
    sensors.OnTimer();
    EXPECT_EQ(Count("ReadAutoSamplerSensors"), 4U);
}

TEST_F(SensorsPage, FailedOrEmptyReadsKeepTheImages) {
    fake->SetResult("ReadAutoSamplerSensors", E_FAIL);
    auto& sensors = Open();
    sensors.OnTimer();
    EXPECT_TRUE(SetIndicators().empty());
    EXPECT_EQ(Image(IDC_SENSOR_TRAY_UNIT), IDB_SENSOR_CLEAR);

    fake->SetResult("ReadAutoSamplerSensors", S_OK);
    fake->sensors.anSensor.fill(1);
    sensors.OnTimer();
    fake->sensors.anSensor = {};
    fake->SetResult("ReadAutoSamplerSensors", E_FAIL);
    sensors.OnTimer();
    fake->SetResult("ReadAutoSamplerSensors", S_OK);
    fake->nullBlocks = true;
    sensors.OnTimer();
    EXPECT_EQ(SetIndicators().size(), 19U);
}

class IOPage : public DiagnosticSheetTest {
protected:
    std::vector<int> OnIndicators() const {
        std::vector<int> on;
        for (const int id : kEventIndicators) {
            if (Image(id) == IDB_EVENT_ON) {
                on.push_back(id);
            }
        }
        return on;
    }
};

TEST_F(IOPage, ShowsOffUntilTheFirstTickThenEachLine) {
    fake->outInts["ReadEventIO"] = {0, 0, 0, 0, 1, 0, 0, 0};
    OpenSheet();
    auto& io = ShowTab<CPageIO>(QStringLiteral("I/O"));
    EXPECT_EQ(Count("ReadEventIO"), 0U);
    for (const int id : kEventIndicators) {
        EXPECT_EQ(Image(id), IDB_EVENT_OFF) << id;
        EXPECT_EQ(Control(id)->accessibleDescription(), QStringLiteral("OFF")) << id;
    }
    io.OnTimer();
    EXPECT_EQ(OnIndicators(), std::vector<int>{IDC_IO_INJECT_EVENT});
    QAccessibleInterface* picture =
        QAccessible::queryAccessibleInterface(Control(IDC_IO_INJECT_EVENT));
    EXPECT_EQ(picture->role(), QAccessible::Graphic);
    EXPECT_EQ(picture->text(QAccessible::Name), QStringLiteral("Inject Event ON"));
    EXPECT_EQ(picture->text(QAccessible::Description), QStringLiteral("ON"));
    fake->outInts["ReadEventIO"] = {-1, 2, 0, 0, 0, 0, 0, 1};
    io.OnTimer();
    EXPECT_EQ(OnIndicators(),
              (std::vector<int>{IDC_IO_MANUAL_INJECT, IDC_IO_STOP_FLOW, IDC_IO_DIVERTER_VALVE}));
}

// In the user sheet as in the service sheet.
TEST_F(IOPage, GoesOnReadingBehindOtherTabsAndKeepsImagesWhenAReadFails) {
    fake->outInts["ReadEventIO"] = {1, 1, 1, 1, 1, 1, 1, 1};
    OpenSheet<CUserConfig>();
    auto& io = ShowTab<CPageIO>(QStringLiteral("I/O"));
    ClickTab(QStringLiteral("AutoSampler"));
    io.OnTimer();
    EXPECT_EQ(Count("ReadEventIO"), 1U);
    EXPECT_EQ(OnIndicators().size(), 8U);
    fake->outInts["ReadEventIO"] = {};
    fake->SetResult("ReadEventIO", E_FAIL);
    io.OnTimer();
    EXPECT_EQ(Count("ReadEventIO"), 2U);
    EXPECT_EQ(OnIndicators().size(), 8U);
}

using PageTimers = DiagnosticSheetTest;

TEST_F(PageTimers, RunAtTheirPeriodFromFirstDisplayUntilTheSheetCloses) {
    OpenSheet();
    // What each tick refreshes: a server reading, or a text from the process's syringe record.
    struct Periodic {
        const char* caption;
        int periodMs;
        int recordText;
    };
    const Periodic periodic[] = {{"Valves", 1000, IDC_VALVES_1_STATE},
                                 {"AutoSampler", 1000, 0},
                                 {"Silk", 1000, IDC_SILK_POSITION_1},
                                 {"AutoSampler Sensors", 500, 0},
                                 {"I/O", 500, 0}};
    std::vector<CPropertyPage*> shown;
    for (const Periodic& p : periodic) {
        SCOPED_TRACE(p.caption);
        page = sheet->GetPage(ClickTab(QString::fromLatin1(p.caption)));
        const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(page);
        ASSERT_EQ(timers.size(), 1);
        EXPECT_EQ(timers[0].interval, p.periodMs);
        // That timer's event is the page's tick.
        const std::size_t callsBefore = fake->calls.size();
        const QString textBefore = p.recordText != 0 ? Text(p.recordText) : QString();
        g_state.syringeDataFetched = true;
        g_state.syringeData.anValveState[0] = 1;
        g_state.syringeData.anPosition[0] = 4321;
        QTimerEvent tick(timers[0].timerId);
        QCoreApplication::sendEvent(page, &tick);
        if (p.recordText != 0) {
            EXPECT_NE(Text(p.recordText), textBefore);
        } else {
            EXPECT_GT(fake->calls.size(), callsBefore);
        }
        g_state.syringeDataFetched = false;
        g_state.syringeData = {};
        shown.push_back(page);
    }
    sheet->PressButton(QStringLiteral("Cancel"));
    for (CPropertyPage* closed : shown) {
        EXPECT_TRUE(QAbstractEventDispatcher::instance()->registeredTimers(closed).isEmpty());
    }
}

} // namespace
