#include "page_autosampler_sensors.h"

#include "autosampler_monitor.h"
#include "control_id.h"
#include "instrument_server.h"
#include "record_memory.h"
#include "resource.h"
#include "ui_page_autosampler_sensors.h"

namespace {

// The indicator of each field of the sensor record, in field order. The vent valve's fields
// come as position 2, then position 1; the stream select valve's as position 1, then 2.
constexpr std::array<int, CPageAutoSamplerSensors::kSensorCount> kIndicatorIds{
    IDC_SENSOR_TRAY_UNIT,          IDC_SENSOR_SYRINGE_HOME,        IDC_SENSOR_SYRINGE_ROTATION,
    IDC_SENSOR_SYRINGE_VALVE_LEFT, IDC_SENSOR_SYRINGE_VALVE_RIGHT, IDC_SENSOR_HORIZONTAL_HOME,
    IDC_SENSOR_VERTICAL_HOME,      IDC_SENSOR_HORIZONTAL_POSITION, IDC_SENSOR_VIAL,
    IDC_SENSOR_NEEDLE_UNIT_FLEX,   IDC_SENSOR_SAMPLE_NEEDLE_HOME,  IDC_SENSOR_SAMPLE_NEEDLE_CYCLE,
    IDC_SENSOR_SAMPLE_NEEDLE_FLEX, IDC_SENSOR_INJECT_LOAD,         IDC_SENSOR_INJECT_INJECT,
    IDC_SENSOR_VENT_POSITION_2,    IDC_SENSOR_VENT_POSITION_1,     IDC_SENSOR_STREAM_POSITION_1,
    IDC_SENSOR_STREAM_POSITION_2,
};

} // namespace

CPageAutoSamplerSensors::CPageAutoSamplerSensors()
    : CPropertyPage(IDD_PAGE_AUTOSAMPLER_SENSORS),
      m_ui(std::make_unique<Ui::PageAutoSamplerSensors>()),
      m_clear(LoadIndicatorImage(IDB_SENSOR_CLEAR, IDS_SENSOR_CLEAR)),
      m_set(LoadIndicatorImage(IDB_SENSOR_SET, IDS_SENSOR_SET)) {
    m_ui->setupUi(this);
    for (std::size_t field = 0; field < kIndicatorIds.size(); ++field) {
        m_indicators[field] = FindControl<CIndicator>(this, kIndicatorIds[field]);
        m_indicators[field]->SetImage(m_clear);
    }
}

CPageAutoSamplerSensors::~CPageAutoSamplerSensors() = default;

// The first read comes before the first activation, so before the monitor is switched on.
bool CPageAutoSamplerSensors::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    StartTimer(kRefreshPeriodMs);
    Refresh();
    return true;
}

bool CPageAutoSamplerSensors::OnSetActive() {
    m_active = true;
    MonitorOn();
    return CPropertyPage::OnSetActive();
}

bool CPageAutoSamplerSensors::OnKillActive() {
    m_active = false;
    return CPropertyPage::OnKillActive();
}

// Behind another tab the page reads nothing.
void CPageAutoSamplerSensors::OnTimer() {
    if (m_active) {
        Refresh();
    }
}

// One call gives all the sensors at once; a failed read leaves every picture as it was.
void CPageAutoSamplerSensors::Refresh() {
    AutoSamplerSensorRecord* pSensors = nullptr;
    if (FAILED(g_pServer->ReadAutoSamplerSensors(&pSensors)) || pSensors == nullptr) {
        return;
    }
    for (std::size_t field = 0; field < m_indicators.size(); ++field) {
        m_indicators[field]->SetImage(pSensors->anSensor[field] != 0 ? m_set : m_clear);
    }
    ReleaseAutoSamplerSensors(pSensors);
}
