#include "password_dlg.h"

#include "ui_password_dlg.h"

#include "resource.h"
#include "string_table.h"
#include "ui.h"

namespace {

constexpr char16_t kAccessCode[] = u"6274";

} // namespace

CPasswordDlg::CPasswordDlg(QWidget* parent)
    : CModalDialog(parent), m_ui(std::make_unique<Ui::CPasswordDlg>()) {
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CPasswordDlg::OnOK);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CPasswordDlg::reject);
}

CPasswordDlg::~CPasswordDlg() = default;

void CPasswordDlg::OnOK() {
    if (m_ui->passwordEdit->text() == QStringView(kAccessCode)) {
        m_bPasswordAccepted = 1;
        done(kAccepted);
        return;
    }
    // The refusal must not tell whoever typed a wrong code what the right one is.
    AppMessageBox(LoadString(IDS_INVALID_PASSWORD), MB_OK);
    m_ui->passwordEdit->clear();
    m_ui->passwordEdit->setFocus();
}

void CPasswordDlg::reject() {
    m_bPasswordAccepted = 0;
    CModalDialog::reject();
}
