#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageUsage;
}

class CPageUsage : public CPropertyPage {
    Q_OBJECT
public:
    CPageUsage();
    ~CPageUsage() override;

    bool OnSetActive() override;

private:
    std::unique_ptr<Ui::PageUsage> m_ui;
};
