// The operator dialogs through assistive technology: named controls, proper roles, and actions
// that do what a click does.
#include "accessibility_check.h"
#include "accessible_label.h"
#include "change_flow_dlg.h"
#include "dialog_fixture.h"
#include "dry_prime_dlg.h"
#include "password_dlg.h"
#include "plate_type_dlg.h"
#include "resource.h"
#include "value_label.h"
#include "wet_prime_dlg.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
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

// The check hears what a screen reader would miss on any form: a value named by its caption
// instead of its text, a value without a caption, and an edit whose name and caption differ.
TEST(AccessibilityCheck, ReportsEachBreachOfTheContract) {
    QWidget form;
    auto* layout = new QGridLayout(&form);
    auto* caption = new QLabel(QStringLiteral("Pressure"));
    auto* value = new CValueLabel(QStringLiteral("915 PSI"));
    caption->setBuddy(value);
    auto* orphan = new CValueLabel(QStringLiteral("30.0\u00b0C"));
    orphan->setObjectName(QStringLiteral("orphan"));
    auto* flowCaption = new QLabel(QStringLiteral("Flow Rate"));
    auto* flow = new QLineEdit;
    flow->setObjectName(QStringLiteral("flow"));
    flowCaption->setBuddy(flow);
    flow->setAccessibleName(QStringLiteral("\u00b5L/min"));
    layout->addWidget(caption, 0, 0);
    layout->addWidget(value, 0, 1);
    layout->addWidget(orphan, 1, 1);
    layout->addWidget(flowCaption, 2, 0);
    layout->addWidget(flow, 2, 1);
    EXPECT_EQ(AccessibilityProblems(&form).size(), 2) << "the edit and the orphan";

    value->setAccessibleName(QStringLiteral("Pressure"));
    const QStringList problems = AccessibilityProblems(&form);
    EXPECT_EQ(problems.size(), 3);
    EXPECT_TRUE(problems.contains(QStringLiteral("orphan: value text without a caption")));
    EXPECT_TRUE(problems.contains(
        QStringLiteral("flow: control named '\u00b5L/min' but its caption says 'Flow Rate'")));

    flow->setAccessibleName(QString());
    value->setAccessibleName(QString());
    orphan->setProperty(kCaptionsProperty, QStringList{QStringLiteral("rowCaption")});
    EXPECT_EQ(AccessibilityProblems(&form).size(), 1) << "no label of that name";
    auto* rowCaption = new QLabel(QStringLiteral("Column"));
    rowCaption->setObjectName(QStringLiteral("rowCaption"));
    layout->addWidget(rowCaption, 1, 0);
    EXPECT_EQ(AccessibilityProblems(&form), QStringList());
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
