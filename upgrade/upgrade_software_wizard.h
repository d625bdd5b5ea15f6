#pragma once

#include "property_sheet.h"
#include "upgrade_software_step1.h"
#include "upgrade_software_step2.h"
#include "upgrade_software_step3.h"

// Loads new firmware into the instrument in three steps; run it in wizard mode.
class CUpgradeSoftwareWizard : public CPropertySheet {
    Q_OBJECT
public:
    CUpgradeSoftwareWizard(const QString& caption, QWidget* parent = nullptr, int selectPage = 0);

    CUpgradeSoftwareStep1& Step1() { return m_step1; }
    CUpgradeSoftwareStep2& Step2() { return m_step2; }
    CUpgradeSoftwareStep3& Step3() { return m_step3; }

private:
    CUpgradeSoftwareStep1 m_step1;
    CUpgradeSoftwareStep2 m_step2;
    CUpgradeSoftwareStep3 m_step3;
};
