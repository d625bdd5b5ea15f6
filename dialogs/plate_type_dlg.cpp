#include "plate_type_dlg.h"

#include "ui_plate_type_dlg.h"

#include "ui.h"

CPlateTypeDlg::CPlateTypeDlg(std::int32_t nPlateInForce, QWidget* parent)
    : CModalDialog(parent), m_ui(std::make_unique<Ui::CPlateTypeDlg>()),
      m_nPlateIndex(nPlateInForce) {
    m_ui->setupUi(this);
    // A title bar without a close box: the question is answered with OK (or Esc).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_ui->plateTypeCombo->setCurrentIndex(k48Vial);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CPlateTypeDlg::OnOK);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CPlateTypeDlg::reject);
}

CPlateTypeDlg::~CPlateTypeDlg() = default;

void CPlateTypeDlg::OnOK() {
    m_nPlateIndex = m_ui->plateTypeCombo->currentIndex();
    done(IDOK);
}
