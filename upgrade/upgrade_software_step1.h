#pragma once

#include "property_page.h"

#include <memory>

namespace Ui {
class UpgradeSoftwareStep1;
}

// The wizard's opening page: Next puts the instrument into its firmware loader.
class CUpgradeSoftwareStep1 : public CPropertyPage {
    Q_OBJECT
public:
    CUpgradeSoftwareStep1();
    ~CUpgradeSoftwareStep1() override;

    bool OnSetActive() override;
    int OnWizardNext() override;

private:
    std::unique_ptr<Ui::UpgradeSoftwareStep1> m_ui;
};
