#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageAutoSamplerService;
}

class CPageAutoSamplerService : public CPropertyPage {
    Q_OBJECT
public:
    CPageAutoSamplerService();
    ~CPageAutoSamplerService() override;

    bool OnSetActive() override;

private:
    std::unique_ptr<Ui::PageAutoSamplerService> m_ui;
};
