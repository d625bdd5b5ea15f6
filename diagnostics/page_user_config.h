#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class PageUserConfig;
}

class CPageUserConfig : public CPropertyPage {
    Q_OBJECT
public:
    CPageUserConfig();
    ~CPageUserConfig() override;

    bool OnSetActive() override;

    // Service-only controls are disabled without full access; the user sheet takes it away.
    void SetFullAccess(bool fullAccess) { m_fullAccess = fullAccess; }
    bool FullAccess() const { return m_fullAccess; }

private:
    std::unique_ptr<Ui::PageUserConfig> m_ui;
    bool m_fullAccess = true;
};
