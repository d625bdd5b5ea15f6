#include "upgrade_software_wizard.h"

#include "ids_upgrade.h"
#include "string_table.h"

CUpgradeSoftwareWizard::CUpgradeSoftwareWizard(const QString& caption, QWidget* parent,
                                               int selectPage)
    : CPropertySheet(caption, parent, selectPage) {
    AddPage(&m_step1);
    AddPage(&m_step2);
    AddPage(&m_step3);
    // The title says which step the operator is on.
    connect(this, &CPropertySheet::activePageChanged, this, [this, caption](int index) {
        setWindowTitle(LoadString(IDS_UPGRADE_STEP_TITLE).arg(caption, GetPage(index)->Caption()));
    });
}
