#pragma once

#include "modal_dialog.h"

#include <cstdint>
#include <memory>

namespace Ui {
class CPasswordDlg;
}

// Asks for the service access code. The opener goes on to the service diagnostics only when
// GetPasswordAccepted() is 1, whatever DoModal answered.
class CPasswordDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    ~CPasswordDlg() override;

    // The code DoModal answers when the access code was accepted.
    static constexpr int kAccepted = 0;

    std::int32_t GetPasswordAccepted() const { return m_bPasswordAccepted; }

    void reject() override;

private:
    void OnOK();

    std::unique_ptr<Ui::CPasswordDlg> m_ui;
    std::int32_t m_bPasswordAccepted = 0;
};
