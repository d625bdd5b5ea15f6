#include "page_valves.h"

#include "autosampler_monitor.h"
#include "resource.h"
#include "ui_page_valves.h"

CPageValves::CPageValves()
    : CPropertyPage(IDD_PAGE_VALVES), m_ui(std::make_unique<Ui::PageValves>()) {
    m_ui->setupUi(this);
}

CPageValves::~CPageValves() = default;

bool CPageValves::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}
