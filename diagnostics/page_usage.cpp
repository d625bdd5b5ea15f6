#include "page_usage.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_usage.h"

CPageUsage::CPageUsage() : CPropertyPage(IDD_PAGE_USAGE), m_ui(std::make_unique<Ui::PageUsage>()) {
    m_ui->setupUi(this);
}

CPageUsage::~CPageUsage() = default;

bool CPageUsage::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}
