#include "page_user_config.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_user_config.h"

CPageUserConfig::CPageUserConfig()
    : CPropertyPage(IDD_PAGE_USER_CONFIG), m_ui(std::make_unique<Ui::PageUserConfig>()) {
    m_ui->setupUi(this);
}

CPageUserConfig::~CPageUserConfig() = default;

bool CPageUserConfig::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}
