#pragma once

#include "modal_dialog.h"

#include <cstdint>
#include <memory>

namespace Ui {
class CPlateTypeDlg;
}

// Asks which sample plate is loaded. The opener passes the plate in force, which stays the
// answer unless the operator confirms another with OK.
class CPlateTypeDlg : public CModalDialog {
    Q_OBJECT
public:
    static constexpr std::int32_t k48Vial = 0;

    explicit CPlateTypeDlg(std::int32_t nPlateInForce = k48Vial, QWidget* parent = nullptr);
    ~CPlateTypeDlg() override;

    // 0 "48 Vial", 1 "96 Low", 2 "96 High", 3 "384 Low".
    std::int32_t GetPlateIndex() const { return m_nPlateIndex; }

private:
    void OnOK();

    std::unique_ptr<Ui::CPlateTypeDlg> m_ui;
    std::int32_t m_nPlateIndex;
};
