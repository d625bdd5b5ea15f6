#include "dry_prime_dlg.h"

#include "ui_dry_prime_dlg.h"

#include "instrument_server.h"
#include "integer_field.h"
#include "prime_pump_choice.h"
#include "ui.h"

CDryPrimeDlg::CDryPrimeDlg(QWidget* parent)
    : CModalDialog(parent), m_ui(std::make_unique<Ui::CDryPrimeDlg>()) {
    m_ui->setupUi(this);
    m_ui->cyclesEdit->setText(QString::number(m_nCycles));
    m_pPumps = new CPrimePumpChoice(
        {m_ui->pumpACheck,
         m_ui->pumpBCheck,
         m_ui->pumpCCheck,
         {m_ui->reservoirA1Radio, m_ui->reservoirA2Radio, m_ui->reservoirA3Radio}},
        this);
    connect(m_ui->startButton, &QPushButton::clicked, this, &CDryPrimeDlg::OnStart);
    connect(m_ui->stopButton, &QPushButton::clicked, this, &CDryPrimeDlg::OnStop);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CDryPrimeDlg::OnOK);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CDryPrimeDlg::reject);
}

CDryPrimeDlg::~CDryPrimeDlg() = default;

bool CDryPrimeDlg::ReadCycles() {
    const std::optional<std::int32_t> cycles = ReadIntegerField(m_ui->cyclesEdit);
    if (cycles) {
        m_nCycles = *cycles;
    }
    return cycles.has_value();
}

void CDryPrimeDlg::OnStart() {
    if (ReadCycles()) {
        g_pServer->DryPrimeSystem(m_pPumps->PumpMask(), m_nCycles);
    }
}

void CDryPrimeDlg::OnStop() {
    g_pServer->StopDryPrime();
    done(kStopped);
}

// Enter lands here through the hidden OK button: it takes the count but leaves a running
// prime alone.
void CDryPrimeDlg::OnOK() {
    if (ReadCycles()) {
        done(IDOK);
    }
}
