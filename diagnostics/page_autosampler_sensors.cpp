#include "page_autosampler_sensors.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_autosampler_sensors.h"

CPageAutoSamplerSensors::CPageAutoSamplerSensors()
    : CPropertyPage(IDD_PAGE_AUTOSAMPLER_SENSORS),
      m_ui(std::make_unique<Ui::PageAutoSamplerSensors>()) {
    m_ui->setupUi(this);
}

CPageAutoSamplerSensors::~CPageAutoSamplerSensors() = default;

bool CPageAutoSamplerSensors::OnSetActive() {
    m_active = true;
    MonitorOn();
    return CPropertyPage::OnSetActive();
}

bool CPageAutoSamplerSensors::OnKillActive() {
    m_active = false;
    return CPropertyPage::OnKillActive();
}
