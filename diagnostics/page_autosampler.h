#pragma once

#include "property_page.h"
#include "tick_lock.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class QPushButton;

namespace Ui {
class PageAutoSampler;
}

// The autosampler's valve commands with the valve positions beside them, and the sample
// syringe's commands. After a command every button stays locked for two refresh ticks.
class CPageAutoSampler : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kRefreshPeriodMs = 1000;
    static constexpr std::int32_t kLockTicks = 2;

    CPageAutoSampler();
    ~CPageAutoSampler() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;

    // One refresh tick; the page's timer calls it.
    void OnTimer() override;

private:
    void OnCommand(const std::function<void()>& call);
    void EnableButtons(bool enable);
    void RefreshPositions();

    std::unique_ptr<Ui::PageAutoSampler> m_ui;
    std::array<QPushButton*, 7> m_buttons{};
    QString m_inject, m_load, m_position1, m_position2, m_vent, m_system, m_reservoirFormat;
    CTickLock m_lock{kLockTicks};
};
