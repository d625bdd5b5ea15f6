#include "page_usage.h"

#include "autosampler_monitor.h"
#include "control_id.h"
#include "instrument_server.h"
#include "resource.h"
#include "string_table.h"
#include "ui_page_usage.h"
#include "value_label.h"

#include <QCheckBox>
#include <QLabel>

#include <array>
#include <cstdint>

namespace {

constexpr std::int32_t kSyringes = 6;
// What the page shows for a count the instrument did not report.
constexpr std::int32_t kUnreported = -1;

} // namespace

CPageUsage::CPageUsage() : CPropertyPage(IDD_PAGE_USAGE), m_ui(std::make_unique<Ui::PageUsage>()) {
    m_ui->setupUi(this);
    connect(m_ui->resetSelectedButton, &QPushButton::clicked, this, &CPageUsage::OnResetSelected);
}

CPageUsage::~CPageUsage() = default;

bool CPageUsage::OnInitDialog() {
    ShowSyringeUsage();
    ShowAutoSamplerUsage();
    return true;
}

bool CPageUsage::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}

// The counts are unsigned 16-bit. Without an answer the twelve texts say so rather than show
// whatever the arrays held.
void CPageUsage::ShowSyringeUsage() {
    std::array<std::uint16_t, kSyringes> valveActuations{};
    std::array<std::uint16_t, kSyringes> pistonStrokes{};
    const bool read = SUCCEEDED(g_pServer->GetSyringeUsage(kSyringes, valveActuations.data(),
                                                           kSyringes, pistonStrokes.data()));
    const QString unknown = LoadString(IDS_USAGE_UNKNOWN);
    for (std::int32_t i = 0; i < kSyringes; ++i) {
        const auto index = static_cast<std::size_t>(i);
        ShowValueText(FindControl<QLabel>(this, IDC_USAGE_VALVE_ACTUATIONS_1 + i),
                      read ? QString::number(valveActuations[index]) : unknown);
        ShowValueText(FindControl<QLabel>(this, IDC_USAGE_PISTON_STROKES_1 + i),
                      read ? QString::number(pistonStrokes[index]) : unknown);
    }
}

// A failed read shows every value as not reported, whatever the call left in them.
void CPageUsage::ShowAutoSamplerUsage() {
    std::array<std::int32_t, 7> values{};
    values.fill(kUnreported);
    if (FAILED(g_pServer->GetAutoSamplerUsage(&values[0], &values[1], &values[2], &values[3],
                                              &values[4], &values[5], &values[6]))) {
        values.fill(kUnreported);
    }
    const QByteArray countFormat = LoadString(IDS_USAGE_COUNT_FORMAT).toUtf8();
    const QByteArray hoursFormat = LoadString(IDS_USAGE_HOURS_FORMAT).toUtf8();
    const std::array<std::pair<int, const QByteArray*>, 7> texts{{
        {IDC_USAGE_INJECTOR_VALVE, &countFormat},
        {IDC_USAGE_VENT_VALVE, &countFormat},
        {IDC_USAGE_STREAM_SELECT, &countFormat},
        {IDC_USAGE_SYRINGE_VALVE, &countFormat},
        {IDC_USAGE_SYRINGE, &countFormat},
        {IDC_USAGE_POWER_ON, &hoursFormat},
        {IDC_USAGE_COOLING_ON, &hoursFormat},
    }};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ShowValueText(FindControl<QLabel>(this, texts[i].first),
                      QString::asprintf(texts[i].second->constData(), values[i]));
    }
}

void CPageUsage::OnResetSelected() {
    const auto flag = [this](int id) {
        return FindControl<QCheckBox>(this, id)->isChecked() ? 1 : 0;
    };
    g_pServer->ResetUsage(flag(IDC_USAGE_RESET_INJECTOR_VALVE), flag(IDC_USAGE_RESET_VENT_VALVE),
                          flag(IDC_USAGE_RESET_STREAM_SELECT), flag(IDC_USAGE_RESET_SYRINGE_VALVE),
                          flag(IDC_USAGE_RESET_SYRINGE), flag(IDC_USAGE_RESET_POWER_ON),
                          flag(IDC_USAGE_RESET_COOLING_ON), flag(IDC_USAGE_RESET_SYRINGES_1_2),
                          flag(IDC_USAGE_RESET_SYRINGES_3_4), flag(IDC_USAGE_RESET_SYRINGES_5_6));
}
