#include "upgrade_software_wizard.h"

CUpgradeSoftwareWizard::CUpgradeSoftwareWizard(const QString& caption, QWidget* parent,
                                               int selectPage)
    : CPropertySheet(caption, parent, selectPage) {
    AddPage(&m_step1);
    AddPage(&m_step2);
    AddPage(&m_step3);
}
