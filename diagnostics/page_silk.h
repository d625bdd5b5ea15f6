#pragma once

#include "property_page.h"

#include <array>
#include <cstdint>
#include <memory>

namespace Ui {
class PageSilk;
}
class QLabel;

// Runs the instrument's Silk procedure on the chosen pumps and shows every syringe's state,
// pressure and position once a second, from the syringe data the status view fetches; the
// Silk data itself moves between the instrument and its files on the server's side.
class CPageSilk : public CPropertyPage {
    Q_OBJECT
public:
    CPageSilk();
    ~CPageSilk() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;

    // One refresh of the syringe grid; the page's timer calls it.
    void OnTimer() override;

    static constexpr int kRefreshPeriodMs = 1000;

private:
    void RefreshGrid();
    void OnStart();
    void OnWriteToDisk();
    void OnDownload();

    static constexpr std::size_t kSyringes = 6;

    std::unique_ptr<Ui::PageSilk> m_ui;
    std::array<QLabel*, kSyringes> m_stateTexts{};
    std::array<QLabel*, kSyringes> m_pressureTexts{};
    std::array<QLabel*, kSyringes> m_positionTexts{};
    std::int32_t m_nWriteToDisk = 0;
};
