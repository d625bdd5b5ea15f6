#include "page_autosampler.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_autosampler.h"

CPageAutoSampler::CPageAutoSampler()
    : CPropertyPage(IDD_PAGE_AUTOSAMPLER), m_ui(std::make_unique<Ui::PageAutoSampler>()) {
    m_ui->setupUi(this);
}

CPageAutoSampler::~CPageAutoSampler() = default;

bool CPageAutoSampler::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}
