#include "page_io.h"

#include "autosampler_monitor.h"
#include "control_id.h"
#include "instrument_server.h"
#include "resource.h"
#include "ui_page_io.h"

namespace {

// Inputs first (manual inject, stop flow, event 1, event 2), then the outputs.
constexpr std::array<int, CPageIO::kLineCount> kIndicatorIds{
    IDC_IO_MANUAL_INJECT, IDC_IO_STOP_FLOW, IDC_IO_EVENT_1,  IDC_IO_EVENT_2,
    IDC_IO_INJECT_EVENT,  IDC_IO_SWITCH_1,  IDC_IO_SWITCH_2, IDC_IO_DIVERTER_VALVE,
};

} // namespace

CPageIO::CPageIO()
    : CPropertyPage(IDD_PAGE_IO), m_ui(std::make_unique<Ui::PageIO>()),
      m_on(LoadIndicatorImage(IDB_EVENT_ON, IDS_EVENT_ON)),
      m_off(LoadIndicatorImage(IDB_EVENT_OFF, IDS_EVENT_OFF)) {
    m_ui->setupUi(this);
    for (std::size_t line = 0; line < kIndicatorIds.size(); ++line) {
        m_indicators[line] = FindControl<CIndicator>(this, kIndicatorIds[line]);
        m_indicators[line]->SetImage(m_off);
    }
}

CPageIO::~CPageIO() = default;

// Nothing is read before the first tick.
bool CPageIO::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    StartTimer(kRefreshPeriodMs);
    return true;
}

bool CPageIO::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}

// One call gives all eight lines at once; a failed read leaves every picture as it was.
void CPageIO::OnTimer() {
    std::array<std::int32_t, kLineCount> lines{};
    if (FAILED(g_pServer->ReadEventIO(&lines[0], &lines[1], &lines[2], &lines[3], &lines[4],
                                      &lines[5], &lines[6], &lines[7]))) {
        return;
    }
    for (std::size_t line = 0; line < m_indicators.size(); ++line) {
        m_indicators[line]->SetImage(lines[line] != 0 ? m_on : m_off);
    }
}
