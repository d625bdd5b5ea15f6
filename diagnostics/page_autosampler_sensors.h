#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageAutoSamplerSensors;
}

class CPageAutoSamplerSensors : public CPropertyPage {
    Q_OBJECT
public:
    CPageAutoSamplerSensors();
    ~CPageAutoSamplerSensors() override;

    bool OnSetActive() override;
    bool OnKillActive() override;
    bool IsActive() const { return m_active; }

private:
    std::unique_ptr<Ui::PageAutoSamplerSensors> m_ui;
    bool m_active = false;
};
