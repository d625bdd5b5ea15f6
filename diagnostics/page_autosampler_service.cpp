#include "page_autosampler_service.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_autosampler_service.h"

CPageAutoSamplerService::CPageAutoSamplerService()
    : CPropertyPage(IDD_PAGE_AUTOSAMPLER_SERVICE),
      m_ui(std::make_unique<Ui::PageAutoSamplerService>()) {
    m_ui->setupUi(this);
}

CPageAutoSamplerService::~CPageAutoSamplerService() = default;

bool CPageAutoSamplerService::OnSetActive() {
    MonitorOn();
    return CPropertyPage::OnSetActive();
}
