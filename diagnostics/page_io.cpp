#include "page_io.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_io.h"

CPageIO::CPageIO() : CPropertyPage(IDD_PAGE_IO), m_ui(std::make_unique<Ui::PageIO>()) {
    m_ui->setupUi(this);
}

CPageIO::~CPageIO() = default;

bool CPageIO::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}
