// The operator dialogs through assistive technology: named controls, proper roles, and actions
// that do what a click does.
#include "accessibility_check.h"
#include "change_flow_dlg.h"
#include "dialog_test.h"
#include "dry_prime_dlg.h"
#include "password_dlg.h"
#include "plate_type_dlg.h"
#include "resource.h"
#include "wet_prime_dlg.h"

#include <QAccessible>
#include <QCheckBox>
#include <QRadioButton>

#include <memory>

namespace {

using Calls = std::vector<std::string>;

void DoAction(QWidget* control, const QString& action) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(action);
    // The click follows the action's answer.
    QCoreApplication::processEvents();
}

TEST_F(DialogTest, EveryDialogKeepsTheAccessibilityContract) {
    std::vector<std::unique_ptr<CModalDialog>> dialogs;
    dialogs.push_back(std::make_unique<CChangeFlowDlg>());
    dialogs.push_back(std::make_unique<CWetPrimeDlg>());
    dialogs.push_back(std::make_unique<CDryPrimeDlg>());
    dialogs.push_back(std::make_unique<CPlateTypeDlg>());
    dialogs.push_back(std::make_unique<CPasswordDlg>());
    for (const auto& dialog : dialogs) {
        RunModal(*dialog, [&] {
            EXPECT_EQ(AccessibilityProblems(dialog.get()), QStringList())
                << dialog->metaObject()->className();
        });
    }
}

TEST_F(DialogTest, ReservoirsAreRadioButtonsWhoseActionSelectsTheSolvent) {
    CWetPrimeDlg dialog;
    RunModal(dialog, [&] {
        auto* a2 = Control<QRadioButton>(dialog, IDC_PRIME_RESERVOIR_A2);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(a2);
        EXPECT_EQ(iface->role(), QAccessible::RadioButton);
        EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("A2"));
        DoAction(a2, QAccessibleActionInterface::toggleAction());
        EXPECT_TRUE(iface->state().checked);
        EXPECT_FALSE(Control<QRadioButton>(dialog, IDC_PRIME_RESERVOIR_A1)->isChecked());
        DoAction(Control<QRadioButton>(dialog, IDC_PRIME_RESERVOIR_A3),
                 QAccessibleActionInterface::pressAction());
        EXPECT_FALSE(a2->isChecked());

        // Unchecking Pump A through its action greys the reservoirs as a click does.
        DoAction(Control<QCheckBox>(dialog, IDC_WET_PRIME_PUMP_A),
                 QAccessibleActionInterface::toggleAction());
        EXPECT_FALSE(a2->isEnabled());
        EXPECT_TRUE(iface->actionInterface()->actionNames().isEmpty());
    });
    EXPECT_EQ(m_pFake->calls, (Calls{"SelectSolvent(2)", "SelectSolvent(3)"}));
}

} // namespace
