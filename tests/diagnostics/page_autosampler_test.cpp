#include "diagnostic_sheet_fixture.h"
#include "resource.h"

#include <QAccessible>

namespace {

class AutoSamplerPage : public DiagnosticSheetTest {};

TEST_F(AutoSamplerPage, EachButtonSendsItsCommandAndLocksAllForTwoTicks) {
    const std::pair<int, std::string> buttons[] = {
        {IDC_AUTOSAMPLER_INJECT, "SendAutoSamplerCommand(\"5105\")"},
        {IDC_AUTOSAMPLER_STREAM, "SendAutoSamplerCommand(\"5107\")"},
        {IDC_AUTOSAMPLER_VENT, "SendAutoSamplerCommand(\"5106\")"},
        {IDC_AUTOSAMPLER_SOLVENT, "SendAutoSamplerCommand(\"5108\")"},
        {IDC_AUTOSAMPLER_EMPTY, "MoveSampleSyringe(0)"},
        {IDC_AUTOSAMPLER_FILL, "MoveSampleSyringe(1)"},
        {IDC_AUTOSAMPLER_WASH, "WashSampleSyringe()"},
    };
    OpenSheet<CUserConfig>();
    auto& autoSampler = ShowTab<CPageAutoSampler>(QStringLiteral("AutoSampler"));
    fake->SetResult("SendAutoSamplerCommand", E_FAIL);
    for (const auto& [id, call] : buttons) {
        fake->calls.clear();
        Click(id);
        ASSERT_EQ(fake->calls, std::vector<std::string>{call});
        for (const auto& other : buttons) {
            ASSERT_FALSE(Control(other.first)->isEnabled()) << other.second;
        }
        autoSampler.OnTimer();
        EXPECT_FALSE(Control(id)->isEnabled());
        autoSampler.OnTimer();
        EXPECT_TRUE(Control(id)->isEnabled());
    }
}

TEST_F(AutoSamplerPage, PositionsAreTwoWayChoicesAndAnUnknownReservoirKeepsItsText) {
    fake->SetResult("ReadStatus", E_FAIL);
    OpenSheet();
    auto& autoSampler = ShowTab<CPageAutoSampler>(QStringLiteral("AutoSampler"));
    const int texts[] = {IDC_AUTOSAMPLER_INJECT_POSITION, IDC_AUTOSAMPLER_STREAM_POSITION,
                         IDC_AUTOSAMPLER_VENT_POSITION, IDC_AUTOSAMPLER_SOLVENT_POSITION};
    for (const int id : texts) {
        EXPECT_EQ(Text(id), QStringLiteral("Static")) << id;
    }

    fake->SetResult("ReadStatus", S_OK);
    fake->status.nInjectValve = 2;
    fake->status.nStreamValve = 0;
    fake->status.nVentValve = 7;
    fake->status.nReservoir = 2;
    autoSampler.OnTimer();
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_INJECT_POSITION), QStringLiteral("Load"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_STREAM_POSITION), QStringLiteral("Position 2"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_VENT_POSITION), QStringLiteral("Vent"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_SOLVENT_POSITION), QStringLiteral("A2"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Control(IDC_AUTOSAMPLER_SOLVENT_POSITION))
                  ->text(QAccessible::Name),
              QStringLiteral("A2"));

    fake->status.nInjectValve = 1;
    fake->status.nStreamValve = 1;
    fake->status.nVentValve = 0;
    for (const int reservoir : {0, 4}) {
        fake->status.nReservoir = reservoir;
        autoSampler.OnTimer();
        EXPECT_EQ(Text(IDC_AUTOSAMPLER_SOLVENT_POSITION), QStringLiteral("A2")) << reservoir;
    }
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_INJECT_POSITION), QStringLiteral("Inject"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_STREAM_POSITION), QStringLiteral("Position 1"));
    EXPECT_EQ(Text(IDC_AUTOSAMPLER_VENT_POSITION), QStringLiteral("System"));
}

} // namespace
