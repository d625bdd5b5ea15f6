#include "change_flow_dlg.h"
#include "dialog_fixture.h"
#include "dry_prime_dlg.h"
#include "password_dlg.h"
#include "plate_type_dlg.h"
#include "resource.h"
#include "wet_prime_dlg.h"

#include <QComboBox>

#include <memory>

namespace {

using DialogTemplateTest = DialogTest;

// Screen readers and tests find each dialog by its resource id and each edit by its label.
TEST_F(DialogTemplateTest, CarryTheirIdsAndNameEveryEdit) {
    std::vector<std::pair<std::unique_ptr<CModalDialog>, int>> dialogs;
    dialogs.emplace_back(std::make_unique<CChangeFlowDlg>(), IDD_CHANGE_FLOW);
    dialogs.emplace_back(std::make_unique<CWetPrimeDlg>(), IDD_WET_PRIME);
    dialogs.emplace_back(std::make_unique<CDryPrimeDlg>(), IDD_DRY_PRIME);
    dialogs.emplace_back(std::make_unique<CPlateTypeDlg>(), IDD_PLATE_TYPE);
    dialogs.emplace_back(std::make_unique<CPasswordDlg>(), IDD_PASSWORD);
    for (const auto& [dialog, id] : dialogs) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        EXPECT_EQ(dialog->property("dialogId").toInt(), id);
        std::vector<QWidget*> fields;
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
            fields.push_back(edit);
        }
        for (QComboBox* list : dialog->findChildren<QComboBox*>()) {
            fields.push_back(list);
        }
        for (QWidget* field : fields) {
            EXPECT_FALSE(field->accessibleName().isEmpty()) << field->objectName().toStdString();
            EXPECT_TRUE(field->property(kControlIdProperty).isValid());
        }
    }
}

} // namespace
