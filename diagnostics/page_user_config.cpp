#include "page_user_config.h"

#include "autosampler_monitor.h"
#include "configuration_reading.h"
#include "history_recorder.h"
#include "instrument_server.h"
#include "real_field.h"
#include "resource.h"
#include "string_table.h"
#include "ui.h"
#include "ui_page_user_config.h"
#include "upgrade_software_wizard.h"

#include <initializer_list>

namespace {

// What the instrument takes for the fields the page does not show.
constexpr float kReserved8Sent = 999.0F;
constexpr std::int32_t kReserved40Sent = 0;
constexpr std::int32_t kReserved44Sent = 1;
constexpr char kSerialNumberSent[] = "None";

std::int32_t CheckState(const QAbstractButton* button) {
    return button->isChecked() ? 1 : 0;
}

} // namespace

CPageUserConfig::CPageUserConfig()
    : CPropertyPage(IDD_PAGE_USER_CONFIG), m_ui(std::make_unique<Ui::PageUserConfig>()),
      m_serialNumberSent(kSerialNumberSent) {
    m_ui->setupUi(this);
    m_ui->syringeSizeCombo->setCurrentIndex(-1);
    const auto modified = [this] { SetModified(); };
    connect(m_ui->pumpCCheck, &QCheckBox::clicked, this, &CPageUserConfig::OnPumpCClicked);
    connect(m_ui->ternaryGradientRadio, &QRadioButton::clicked, this,
            &CPageUserConfig::OnTernaryClicked);
    connect(m_ui->postColumnGradientRadio, &QRadioButton::clicked, this,
            &CPageUserConfig::OnPostColumnClicked);
    connect(m_ui->sampleTempCheck, &QCheckBox::clicked, this, modified);
    connect(m_ui->plateFeederCheck, &QCheckBox::clicked, this, modified);
    connect(m_ui->manualInjectCheck, &QCheckBox::clicked, this, modified);
    // Only the user's edits count as changes, not the texts the page shows itself.
    connect(m_ui->serialNumberEdit, &QLineEdit::textEdited, this, modified);
    connect(m_ui->sampleLoopEdit, &QLineEdit::textEdited, this, modified);
    connect(m_ui->needleVolumeEdit, &QLineEdit::textEdited, this, modified);
    connect(m_ui->syringeSizeCombo, &QComboBox::activated, this, modified);
    connect(m_ui->upgradeButton, &QPushButton::clicked, this, &CPageUserConfig::OnUpgrade);
}

CPageUserConfig::~CPageUserConfig() = default;

bool CPageUserConfig::OnInitDialog() {
    if (const std::optional<ConfigurationReading> reading = ReadConfiguration()) {
        ShowConfiguration(*reading);
        ReadVolumes();
    }
    if (!m_fullAccess) {
        for (QWidget* control : std::initializer_list<QWidget*>{
                 m_ui->pumpCCheck, m_ui->ternaryGradientRadio, m_ui->postColumnGradientRadio,
                 m_ui->sampleTempCheck, m_ui->plateFeederCheck, m_ui->manualInjectCheck,
                 m_ui->serialNumberEdit}) {
            control->setEnabled(false);
        }
    }
    return true;
}

void CPageUserConfig::ShowConfiguration(const ConfigurationReading& reading) {
    const InstrumentConfiguration& configuration = reading.record;
    m_ui->pumpCCheck->setChecked(configuration.bPumpCInstalled != 0);
    if (!m_ui->pumpCCheck->isChecked()) {
        m_ui->postColumnGradientRadio->setEnabled(false);
        m_ui->ternaryGradientRadio->setEnabled(false);
        m_ui->postColumnGradientRadio->setChecked(false);
        m_ui->ternaryGradientRadio->setChecked(false);
    } else {
        m_ui->ternaryGradientRadio->setChecked(configuration.bTernaryGradient != 0);
        m_ui->postColumnGradientRadio->setChecked(configuration.bTernaryGradient == 0);
    }
    m_ui->sampleTempCheck->setChecked(configuration.bSampleTemp != 0);
    m_ui->plateFeederCheck->setChecked(configuration.bPlateFeeder != 0);
    m_ui->manualInjectCheck->setChecked(configuration.bManualInjectValve != 0);
    m_ui->serialNumberEdit->setText(reading.serialNumber);
    m_fNeedleVolume = configuration.fNeedleVolume;
    m_ui->needleVolumeEdit->setText(NeedleVolumeText(m_fNeedleVolume));
    m_fSampleLoopVolume = configuration.fSampleLoopVolume;
    m_ui->sampleLoopEdit->setText(SampleLoopVolumeText(m_fSampleLoopVolume));
    // The first size that begins with the reported one: 10 selects "100", 0 selects none.
    m_ui->syringeSizeCombo->setCurrentIndex(m_ui->syringeSizeCombo->findText(
        QString::number(configuration.nSyringeSize), Qt::MatchStartsWith));
}

bool CPageUserConfig::ReadVolumes() {
    const std::optional<float> needle =
        ReadRealField(m_ui->needleVolumeEdit, kMinNeedleVolume, kMaxNeedleVolume);
    if (!needle) {
        return false;
    }
    m_fNeedleVolume = *needle;
    const std::optional<float> sampleLoop =
        ReadRealField(m_ui->sampleLoopEdit, kMinSampleLoopVolume, kMaxSampleLoopVolume);
    if (!sampleLoop) {
        return false;
    }
    m_fSampleLoopVolume = *sampleLoop;
    return true;
}

bool CPageUserConfig::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}

bool CPageUserConfig::OnValidate() {
    return ReadVolumes() && CPropertyPage::OnValidate();
}

void CPageUserConfig::OnPumpCClicked() {
    SetModified();
    const bool fitted = m_ui->pumpCCheck->isChecked();
    m_ui->ternaryGradientRadio->setEnabled(fitted);
    m_ui->postColumnGradientRadio->setEnabled(fitted);
}

void CPageUserConfig::OnTernaryClicked() {
    SetModified();
    if (!m_ui->ternaryGradientRadio->isChecked()) {
        m_ui->ternaryGradientRadio->setChecked(true);
        m_ui->postColumnGradientRadio->setChecked(false);
    }
}

void CPageUserConfig::OnPostColumnClicked() {
    SetModified();
    if (!m_ui->postColumnGradientRadio->isChecked()) {
        m_ui->ternaryGradientRadio->setChecked(false);
        m_ui->postColumnGradientRadio->setChecked(true);
    }
}

// Disabled boxes are sent as they show; the serial number typed into the edit never is.
void CPageUserConfig::FillConfiguration() {
    m_configuration.fReserved8 = kReserved8Sent;
    m_configuration.bManualInjectValve = CheckState(m_ui->manualInjectCheck);
    m_configuration.nReserved40 = kReserved40Sent;
    m_configuration.bPumpCInstalled = CheckState(m_ui->pumpCCheck);
    m_configuration.bPlateFeeder = CheckState(m_ui->plateFeederCheck);
    m_configuration.bSampleTemp = CheckState(m_ui->sampleTempCheck);
    m_configuration.bTernaryGradient = CheckState(m_ui->ternaryGradientRadio);
    m_configuration.fSampleLoopVolume = m_fSampleLoopVolume;
    m_configuration.fNeedleVolume = m_fNeedleVolume;
    m_configuration.pszSerialNumber = m_serialNumberSent.data();
    m_configuration.nSyringeSize = m_ui->syringeSizeCombo->currentText().toInt();
    m_configuration.nReserved44 = kReserved44Sent;
}

bool CPageUserConfig::OnApply() {
    FillConfiguration();
    g_pServer->SetInstrumentConfiguration(&m_configuration);
    return CPropertyPage::OnApply();
}

void CPageUserConfig::OnUpgrade() {
    CUpgradeSoftwareWizard wizard(LoadString(IDS_UPGRADE_CAPTION), this, 0);
    wizard.SetWizardMode();
    const int outcome = wizard.DoModal();
    NoteServiceAction(
        LoadString(outcome == IDOK ? IDS_HISTORY_WIZARD_FINISHED : IDS_HISTORY_WIZARD_CANCELLED));
}
