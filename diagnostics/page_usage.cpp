#include "page_usage.h"

#include "autosampler_monitor.h"
#include "control_id.h"
#include "instrument_server.h"
#include "resource.h"
#include "string_table.h"
#include "ui_page_usage.h"
#include "usage_reading.h"
#include "value_label.h"

#include <QCheckBox>
#include <QLabel>

#include <array>
#include <cstdint>

CPageUsage::CPageUsage() : CPropertyPage(IDD_PAGE_USAGE), m_ui(std::make_unique<Ui::PageUsage>()) {
    m_ui->setupUi(this);
    connect(m_ui->resetSelectedButton, &QPushButton::clicked, this, &CPageUsage::OnResetSelected);
}

CPageUsage::~CPageUsage() = default;

bool CPageUsage::OnInitDialog() {
    const UsageReading reading = ReadUsage();
    ShowSyringeUsage(reading);
    ShowAutoSamplerUsage(reading);
    return true;
}

bool CPageUsage::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}

// The counts are unsigned 16-bit. Without an answer the twelve texts say so rather than show
// whatever the arrays held.
void CPageUsage::ShowSyringeUsage(const UsageReading& reading) {
    const QString unknown = LoadString(IDS_USAGE_UNKNOWN);
    for (std::int32_t i = 0; i < UsageReading::kSyringes; ++i) {
        const auto index = static_cast<std::size_t>(i);
        ShowValueText(FindControl<QLabel>(this, IDC_USAGE_VALVE_ACTUATIONS_1 + i),
                      reading.syringeUsageRead ? QString::number(reading.valveActuations[index])
                                               : unknown);
        ShowValueText(FindControl<QLabel>(this, IDC_USAGE_PISTON_STROKES_1 + i),
                      reading.syringeUsageRead ? QString::number(reading.pistonStrokes[index])
                                               : unknown);
    }
}

// A value the instrument did not report shows as -1 in its format.
void CPageUsage::ShowAutoSamplerUsage(const UsageReading& reading) {
    const std::array<int, 7> texts{IDC_USAGE_INJECTOR_VALVE, IDC_USAGE_VENT_VALVE,
                                   IDC_USAGE_STREAM_SELECT,  IDC_USAGE_SYRINGE_VALVE,
                                   IDC_USAGE_SYRINGE,        IDC_USAGE_POWER_ON,
                                   IDC_USAGE_COOLING_ON};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ShowValueText(FindControl<QLabel>(this, texts[i]),
                      AutoSamplerUsageText(i, reading.autoSampler[i]));
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
