#pragma once

#include "change_flow_check.h"
#include "modal_dialog.h"

#include <memory>

namespace Ui {
class CChangeFlowDlg;
}

// Sets a new flow rate and composition: starts from the instrument's present values, checks
// the entries on OK and sends them with one ChangeFlow.
class CChangeFlowDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CChangeFlowDlg(QWidget* parent = nullptr);
    ~CChangeFlowDlg() override;

private:
    void FillFromStatus();
    void AdaptLayout();
    void OnOK();

    std::unique_ptr<Ui::CChangeFlowDlg> m_ui;
    FlowLayout m_layout;
};
