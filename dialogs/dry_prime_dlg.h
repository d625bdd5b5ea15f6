#pragma once

#include "modal_dialog.h"

#include <cstdint>
#include <memory>

namespace Ui {
class CDryPrimeDlg;
}
class CPrimePumpChoice;

// Starts and stops a dry prime of the chosen pumps. It stays open while the prime runs: only
// Stop stops the prime, and closing the dialog otherwise leaves it running.
class CDryPrimeDlg : public CModalDialog {
    Q_OBJECT
public:
    explicit CDryPrimeDlg(QWidget* parent = nullptr);
    ~CDryPrimeDlg() override;

    // The code DoModal answers when Stop closed the dialog.
    static constexpr int kStopped = 0;

    std::int32_t GetCycles() const { return m_nCycles; }

private:
    bool ReadCycles();
    void OnStart();
    void OnStop();
    void OnOK();

    static constexpr std::int32_t kDefaultCycles = 10;

    std::unique_ptr<Ui::CDryPrimeDlg> m_ui;
    CPrimePumpChoice* m_pPumps = nullptr;
    std::int32_t m_nCycles = kDefaultCycles;
};
