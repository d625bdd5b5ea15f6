#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class UpgradeSoftwareStep2;
}

// Walks the operator through switching the instrument off and on, watching it go away and
// come back; Next is offered once it answers again.
class CUpgradeSoftwareStep2 : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kPollPeriodMs = 500;

    CUpgradeSoftwareStep2();
    ~CUpgradeSoftwareStep2() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;

    // One poll of the instrument; the page's timer calls it.
    void OnTimer() override;

private:
    std::unique_ptr<Ui::UpgradeSoftwareStep2> m_ui;
    int m_bPowerOffSeen = 0;
    int m_bWaitingForOn = 0;
};
