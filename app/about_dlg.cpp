#include "about_dlg.h"

#include "form_scroll_area.h"
#include "icon_table.h"
#include "ids_app.h"
#include "instrument_versions.h"
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
    const std::optional<InstrumentVersions> versions = ReadInstrumentVersions();
    if (!versions) {
        return;
    }
    m_ui->clientVersionText->setText(m_ui->clientVersionText->text() + u' ' + versions->client);
    m_ui->pumpVersionText->setText(m_ui->pumpVersionText->text() + u' ' + versions->pump);
    m_ui->autoSamplerVersionText->setText(QStringLiteral("%1 %2").arg(
        m_ui->autoSamplerVersionText->text(), AutoSamplerVersionText(versions->autoSampler)));
}

int CAboutDlg::DoModal() {
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
