#pragma once

#include "indicator.h"
#include "property_page.h"

#include <array>
#include <memory>

namespace Ui {
class PageAutoSamplerSensors;
}

// The 19 autosampler sensors as pictures, read together every half second while the tab is in
// front.
class CPageAutoSamplerSensors : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kRefreshPeriodMs = 500;
    static constexpr int kSensorCount = 19;

    CPageAutoSamplerSensors();
    ~CPageAutoSamplerSensors() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;
    bool OnKillActive() override;
    bool IsActive() const { return m_active; }

    // One refresh tick; the page's timer calls it.
    void OnTimer() override;

private:
    void Refresh();

    std::unique_ptr<Ui::PageAutoSamplerSensors> m_ui;
    IndicatorImage m_clear;
    IndicatorImage m_set;
    // In the order of the sensor record's fields.
    std::array<CIndicator*, kSensorCount> m_indicators{};
    bool m_active = false;
};
