#include "upgrade_software_step2.h"

#include "ids_upgrade.h"
#include "instrument_server.h"
#include "property_sheet.h"
#include "ui_upgrade_software_step2.h"

CUpgradeSoftwareStep2::CUpgradeSoftwareStep2()
    : CPropertyPage(IDD_UPGRADE_STEP2), m_ui(std::make_unique<Ui::UpgradeSoftwareStep2>()) {
    m_ui->setupUi(this);
}

CUpgradeSoftwareStep2::~CUpgradeSoftwareStep2() = default;

bool CUpgradeSoftwareStep2::OnInitDialog() {
    m_ui->turnOnText->hide();
    m_ui->clickNextText->hide();
    return CPropertyPage::OnInitDialog();
}

bool CUpgradeSoftwareStep2::OnSetActive() {
    // Polling lasts only while this page is in front: once left, the instrument's restart at
    // the end of the download must not ask for Next while the last page asks for Finish.
    StartTimer(kPollPeriodMs);
    Sheet()->SetWizardButtons(PSWIZB_DISABLEDFINISH);
    return CPropertyPage::OnSetActive();
}

bool CUpgradeSoftwareStep2::OnKillActive() {
    StopTimer();
    return CPropertyPage::OnKillActive();
}

void CUpgradeSoftwareStep2::OnTimer() {
    const HRESULT hr = g_pServer->IsInstrumentReady();
    if (hr == S_FALSE) {
        m_bPowerOffSeen = 1;
        m_bWaitingForOn = 1;
        m_ui->turnOnText->show();
    } else if (hr == S_OK && m_bPowerOffSeen == 1 && m_bWaitingForOn == 1) {
        Sheet()->SetWizardButtons(PSWIZB_NEXT);
        m_bWaitingForOn = 0;
        m_ui->clickNextText->show();
    }
}
