#include "change_flow_dlg.h"

#include "ui_change_flow_dlg.h"

#include "instrument_server.h"
#include "number_text.h"
#include "process_state.h"
#include "record_memory.h"
#include "string_table.h"
#include "ui.h"

namespace {

QString FormatValue(float value) {
    return QString::asprintf("%4.2f", static_cast<double>(value));
}

} // namespace

CChangeFlowDlg::CChangeFlowDlg(QWidget* parent)
    : CModalDialog(parent), m_ui(std::make_unique<Ui::CChangeFlowDlg>()),
      m_layout(FlowLayoutOf(g_state.pumpCInstalled, g_state.ternaryGradient)) {
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CChangeFlowDlg::OnOK);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &CChangeFlowDlg::reject);
    FillFromStatus();
    AdaptLayout();
}

CChangeFlowDlg::~CChangeFlowDlg() = default;

void CChangeFlowDlg::FillFromStatus() {
    InstrumentStatus* pStatus = nullptr;
    if (FAILED(g_pServer->ReadStatus(&pStatus))) {
        return;
    }
    if (pStatus != nullptr) {
        m_ui->flowEdit->setText(FormatValue(pStatus->fFlowRate));
        m_ui->percentAEdit->setText(FormatValue(pStatus->fPercentA));
        m_ui->percentBEdit->setText(FormatValue(pStatus->fPercentB));
        m_ui->thirdValueEdit->setText(
            FormatValue(g_state.ternaryGradient != 0 ? pStatus->fPercentC : pStatus->fAuxFlowRate));
    }
    ReleaseInstrumentStatus(pStatus);
}

void CChangeFlowDlg::AdaptLayout() {
    switch (m_layout) {
    case FlowLayout::NoPumpC:
        m_ui->postColumnLabel->hide();
        m_ui->thirdValueEdit->hide();
        m_ui->thirdUnitLabel->hide();
        break;
    case FlowLayout::Ternary:
        m_ui->postColumnLabel->hide();
        break;
    case FlowLayout::PostColumn:
        m_ui->thirdUnitLabel->setText(m_ui->flowUnitLabel->text());
        m_ui->postColumnLabel->setBuddy(m_ui->thirdValueEdit);
        m_ui->thirdValueEdit->setAccessibleName(m_ui->postColumnLabel->text());
        m_ui->thirdValueEdit->setAccessibleDescription(m_ui->flowUnitLabel->text());
        break;
    }
}

void CChangeFlowDlg::OnOK() {
    // The hidden fourth edit is read too: it still holds the value the instrument reported.
    const FlowEntry entry{DecimalPrefixToFloat(m_ui->flowEdit->text()),
                          DecimalPrefixToFloat(m_ui->percentAEdit->text()),
                          DecimalPrefixToFloat(m_ui->percentBEdit->text()),
                          DecimalPrefixToFloat(m_ui->thirdValueEdit->text())};
    const std::vector<int> messages = CheckFlowEntry(entry, m_layout);
    for (const int message : messages) {
        AppMessageBox(LoadString(message), MB_OK);
    }
    if (!messages.empty()) {
        return;
    }
    g_pServer->ChangeFlow(entry.flow, entry.percentA, entry.percentB, entry.third);
    done(IDOK);
}
