#include "wet_prime_dlg.h"

#include "ui_wet_prime_dlg.h"

#include "instrument_server.h"
#include "integer_field.h"
#include "prime_pump_choice.h"
#include "ui.h"

#include <QRegularExpressionValidator>

CWetPrimeDlg::CWetPrimeDlg(QWidget* parent)
    : CModalDialog(parent), m_ui(std::make_unique<Ui::CWetPrimeDlg>()) {
    m_ui->setupUi(this);
    // Only digits can be typed; a text set otherwise is still checked on OK.
    m_ui->systemVolumesEdit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]*")), m_ui->systemVolumesEdit));
    m_ui->systemVolumesEdit->setText(QString::number(m_nSystemVolumes));
    m_pPumps = new CPrimePumpChoice(
        {m_ui->pumpACheck,
         m_ui->pumpBCheck,
         m_ui->pumpCCheck,
         {m_ui->reservoirA1Radio, m_ui->reservoirA2Radio, m_ui->reservoirA3Radio}},
        this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CWetPrimeDlg::OnOK);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CWetPrimeDlg::reject);
}

CWetPrimeDlg::~CWetPrimeDlg() = default;

void CWetPrimeDlg::OnOK() {
    const std::optional<std::int32_t> volumes = ReadIntegerField(m_ui->systemVolumesEdit);
    if (!volumes) {
        return;
    }
    m_nSystemVolumes = *volumes;
    g_pServer->WetPrimeSystem(m_nSystemVolumes, m_pPumps->PumpMask());
    done(IDOK);
}
