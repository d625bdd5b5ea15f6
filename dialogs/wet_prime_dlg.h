#pragma once

#include "modal_dialog.h"

#include <cstdint>
#include <memory>

namespace Ui {
class CWetPrimeDlg;
}
class CPrimePumpChoice;

// Wet-primes the chosen pumps with a number of system volumes; the prime runs on the
// instrument after the dialog has closed.
class CWetPrimeDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CWetPrimeDlg(QWidget* parent = nullptr);
    ~CWetPrimeDlg() override;

    std::int32_t GetSystemVolumes() const { return m_nSystemVolumes; }

private:
    void OnOK();

    static constexpr std::int32_t kDefaultSystemVolumes = 5;

    std::unique_ptr<Ui::CWetPrimeDlg> m_ui;
    CPrimePumpChoice* m_pPumps = nullptr;
    std::int32_t m_nSystemVolumes = kDefaultSystemVolumes;
};
