#pragma once

#include "property_page.h"
#include "tick_lock.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class PageValves;
}

// The six syringe valves: a move button per valve and position, and the state the instrument
// reports for each valve. After a move every button stays locked for a few refresh ticks.
class CPageValves : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kRefreshPeriodMs = 1000;
    static constexpr std::int32_t kLockTicks = 5;
    static constexpr int kValveCount = 6;

    CPageValves();
    ~CPageValves() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;

    // One refresh tick; the page's timer calls it.
    void OnTimer() override;

private:
    void OnMove(std::int32_t valve, std::int32_t position);
    void EnableButtons(bool enable);
    void RefreshStates();
    QString StateText(std::int16_t state) const;

    std::unique_ptr<Ui::PageValves> m_ui;
    // Valve by valve: Deliver, Dead End, Fill.
    std::array<QPushButton*, 3 * kValveCount> m_buttons{};
    std::array<QLabel*, kValveCount> m_stateTexts{};
    QString m_fill, m_deadEnd, m_deliver, m_inMotion, m_invalid, m_unknown;
    CTickLock m_lock{kLockTicks};
};
