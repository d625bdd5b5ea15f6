#pragma once

#include "property_page.h"

#include <memory>

struct UsageReading;

namespace Ui {
class PageUsage;
}

// The instrument's wear counters, read once when the page is first shown, and the reset of the
// ones the engineer marks. The page keeps showing what it read, also after a reset.
class CPageUsage : public CPropertyPage {
    Q_OBJECT
public:
    CPageUsage();
    ~CPageUsage() override;

    bool OnInitDialog() override;
    bool OnSetActive() override;

private:
    void ShowSyringeUsage(const UsageReading& reading);
    void ShowAutoSamplerUsage(const UsageReading& reading);
    void OnResetSelected();

    std::unique_ptr<Ui::PageUsage> m_ui;
};
