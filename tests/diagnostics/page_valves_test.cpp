#include "diagnostic_sheet_fixture.h"
#include "resource.h"

#include <QAccessible>

namespace {

struct MoveButton {
    int id;
    int valve;
    int position; // 1 Fill, 2 Dead End, 3 Deliver
};

constexpr MoveButton kButtons[] = {
    {IDC_VALVES_1_DELIVER, 1, 3}, {IDC_VALVES_1_DEAD_END, 1, 2}, {IDC_VALVES_1_FILL, 1, 1},
    {IDC_VALVES_2_DELIVER, 2, 3}, {IDC_VALVES_2_DEAD_END, 2, 2}, {IDC_VALVES_2_FILL, 2, 1},
    {IDC_VALVES_3_DELIVER, 3, 3}, {IDC_VALVES_3_DEAD_END, 3, 2}, {IDC_VALVES_3_FILL, 3, 1},
    {IDC_VALVES_4_DELIVER, 4, 3}, {IDC_VALVES_4_DEAD_END, 4, 2}, {IDC_VALVES_4_FILL, 4, 1},
    {IDC_VALVES_5_DELIVER, 5, 3}, {IDC_VALVES_5_DEAD_END, 5, 2}, {IDC_VALVES_5_FILL, 5, 1},
    {IDC_VALVES_6_DELIVER, 6, 3}, {IDC_VALVES_6_DEAD_END, 6, 2}, {IDC_VALVES_6_FILL, 6, 1},
};

constexpr int kStateTexts[] = {IDC_VALVES_1_STATE, IDC_VALVES_2_STATE, IDC_VALVES_3_STATE,
                               IDC_VALVES_4_STATE, IDC_VALVES_5_STATE, IDC_VALVES_6_STATE};

class ValvesPage : public DiagnosticSheetTest {
protected:
    int EnabledButtons() const {
        return static_cast<int>(
            std::count_if(std::begin(kButtons), std::end(kButtons),
                          [this](const MoveButton& b) { return Control(b.id)->isEnabled(); }));
    }
};

TEST_F(ValvesPage, EachButtonMovesItsValveAndLocksAllForFiveTicks) {
    g_state.pumpCInstalled = 1;
    OpenSheet();
    auto& valves = ShowTab<CPageValves>(QStringLiteral("Valves"));
    for (const MoveButton& button : kButtons) {
        fake->calls.clear();
        Click(button.id);
        EXPECT_EQ(fake->CallsTo("MoveSyringeValve"),
                  std::vector<std::string>{"MoveSyringeValve(" + std::to_string(button.valve) +
                                           ", " + std::to_string(button.position) + ")"});
        for (int tick = 1; tick < CPageValves::kLockTicks; ++tick) {
            valves.OnTimer();
            ASSERT_EQ(EnabledButtons(), 0) << "tick " << tick;
        }
        valves.OnTimer();
        ASSERT_EQ(EnabledButtons(), 18);
    }
}

TEST_F(ValvesPage, WithoutPumpCItsRowsHideButLockAndUnlockWithTheRest) {
    fake->SetResult("MoveSyringeValve", E_FAIL);
    OpenSheet();
    auto& valves = ShowTab<CPageValves>(QStringLiteral("Valves"));
    const int pumpC[] = {IDC_VALVES_5_LABEL,    IDC_VALVES_6_LABEL, IDC_VALVES_5_DELIVER,
                         IDC_VALVES_5_DEAD_END, IDC_VALVES_5_FILL,  IDC_VALVES_6_DELIVER,
                         IDC_VALVES_6_DEAD_END, IDC_VALVES_6_FILL,  IDC_VALVES_5_STATE,
                         IDC_VALVES_6_STATE};
    for (const int id : pumpC) {
        EXPECT_TRUE(Control(id)->isHidden()) << id;
    }
    // A failed move locks as a good one does.
    Click(IDC_VALVES_1_FILL);
    EXPECT_EQ(EnabledButtons(), 0);
    for (int tick = 0; tick < CPageValves::kLockTicks; ++tick) {
        valves.OnTimer();
    }
    EXPECT_EQ(EnabledButtons(), 18);
    for (const int id : pumpC) {
        EXPECT_TRUE(Control(id)->isHidden()) << id;
    }
}

TEST_F(ValvesPage, ShowsNoStateUntilTheFirstRecordThenTheReportedOnes) {
    OpenSheet();
    auto& valves = ShowTab<CPageValves>(QStringLiteral("Valves"));
    // Opening the page turns the status view's fetch on.
    EXPECT_EQ(fake->CallsTo("EnableSyringeData"), std::vector<std::string>{"EnableSyringeData(1)"});
    EXPECT_EQ(g_state.syringeDataFlag, 1);
    for (const int id : kStateTexts) {
        EXPECT_EQ(Text(id), QStringLiteral("-")) << id;
    }

    g_state.syringeData.anValveState = {-1, 0, 1, 2, 3, 7};
    g_state.syringeDataFetched = true;
    valves.OnTimer();
    const QStringList expected{"Fill", "Dead-End", "Deliver", "Invalid", "In Motion", "Invalid"};
    for (int i = 0; i < 6; ++i) {
        QWidget* text = Control(kStateTexts[i]);
        EXPECT_EQ(Text(kStateTexts[i]), expected[i]) << i;
        // Heard as the state, after the row's buttons, and labelled by the row's caption.
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(text);
        EXPECT_EQ(iface->text(QAccessible::Name), expected[i]);
        const auto captions = iface->relations(QAccessible::Label);
        ASSERT_EQ(captions.size(), 1) << i;
        EXPECT_EQ(captions[0].first->text(QAccessible::Name),
                  QStringLiteral("Valve %1").arg(i + 1));
    }
}

} // namespace
