#pragma once

#include "indicator.h"
#include "property_page.h"

#include <array>
#include <memory>

namespace Ui {
class PageIO;
}

// The instrument's four event inputs and four event outputs as ON/OFF pictures, read every
// half second from the tab's first display until the sheet closes, in front or not.
class CPageIO : public CPropertyPage {
    Q_OBJECT
public:
    static constexpr int kRefreshPeriodMs = 500;
    static constexpr int kLineCount = 8;

    CPageIO();
    ~CPageIO() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;

    // One refresh tick; the page's timer calls it.
    void OnTimer() override;

private:
    std::unique_ptr<Ui::PageIO> m_ui;
    IndicatorImage m_on;
    IndicatorImage m_off;
    // In the order ReadEventIO reports the lines.
    std::array<CIndicator*, kLineCount> m_indicators{};
};
