#include "upgrade_software_step1.h"

#include "ids_upgrade.h"
#include "instrument_server.h"
#include "property_sheet.h"
#include "ui_upgrade_software_step1.h"

CUpgradeSoftwareStep1::CUpgradeSoftwareStep1()
    : CPropertyPage(IDD_UPGRADE_STEP1), m_ui(std::make_unique<Ui::UpgradeSoftwareStep1>()) {
    m_ui->setupUi(this);
}

CUpgradeSoftwareStep1::~CUpgradeSoftwareStep1() = default;

bool CUpgradeSoftwareStep1::OnSetActive() {
    Sheet()->SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

int CUpgradeSoftwareStep1::OnWizardNext() {
    // The loader's answer shows on the next page, as the instrument goes away and comes back.
    g_pServer->PrepareSoftwareUpgrade();
    return CPropertyPage::OnWizardNext();
}
