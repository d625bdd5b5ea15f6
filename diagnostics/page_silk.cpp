#include "page_silk.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_silk.h"

CPageSilk::CPageSilk() : CPropertyPage(IDD_PAGE_SILK), m_ui(std::make_unique<Ui::PageSilk>()) {
    m_ui->setupUi(this);
}

CPageSilk::~CPageSilk() = default;

bool CPageSilk::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}
