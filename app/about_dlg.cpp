#include "about_dlg.h"

#include "bstr.h"
#include "form_scroll_area.h"
#include "icon_table.h"
#include "ids_app.h"
#include "instrument_server.h"
#include "ui.h"
#include "ui_about_dlg.h"

#include <QStyle>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::AboutDlg>()) {
    m_ui->setupUi(this);
    CFormScrollArea::Wrap(this);
    const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
    m_ui->aboutIcon->setPixmap(LoadIconResource(IDI_MAINFRAME).pixmap(size, size));
    OnInitDialog();
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::OnInitDialog() {
    float autoSamplerVersion = -1.0F;
    BSTR pumpVersion = nullptr;
    BSTR clientVersion = nullptr;
    if (FAILED(g_pServer->GetVersions(&autoSamplerVersion, &pumpVersion, &clientVersion))) {
        return;
    }
    m_ui->clientVersionText->setText(m_ui->clientVersionText->text() + u' ' +
                                     QStringFromBstr(clientVersion));
    m_ui->pumpVersionText->setText(m_ui->pumpVersionText->text() + u' ' +
                                   QStringFromBstr(pumpVersion));
    m_ui->autoSamplerVersionText->setText(QStringLiteral("%1 %2").arg(
        m_ui->autoSamplerVersionText->text(),
        QString::asprintf("%.2f", static_cast<double>(autoSamplerVersion))));
    SysFreeString(clientVersion);
    SysFreeString(pumpVersion);
}

int CAboutDlg::DoModal() {
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
