#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageAutoSampler;
}

class CPageAutoSampler : public CPropertyPage {
    Q_OBJECT
public:
    CPageAutoSampler();
    ~CPageAutoSampler() override;

    bool OnSetActive() override;

private:
    std::unique_ptr<Ui::PageAutoSampler> m_ui;
};
