#include "change_flow_dlg.h"
#include "dialog_fixture.h"
#include "dry_prime_dlg.h"
#include "password_dlg.h"
#include "plate_type_dlg.h"
#include "wet_prime_dlg.h"

#include <QTest>

#include <memory>

namespace {

using DialogScrollTest = DialogTest;

// The Tab stops in the order the keyboard meets them.
QStringList TabChain(QWidget* dialog) {
    QStringList chain;
    for (QWidget* widget = dialog->nextInFocusChain(); widget != dialog;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isVisibleTo(dialog)) {
            chain << widget->objectName();
        }
    }
    return chain;
}

// Put in its scroll area as it first shows, each dialog keeps its template's Tab order and its
// natural size.
TEST_F(DialogScrollTest, ShowingKeepsTheTemplatesTabOrderAndSize) {
    std::vector<std::unique_ptr<CModalDialog>> dialogs;
    dialogs.push_back(std::make_unique<CChangeFlowDlg>());
    dialogs.push_back(std::make_unique<CWetPrimeDlg>());
    dialogs.push_back(std::make_unique<CDryPrimeDlg>());
    dialogs.push_back(std::make_unique<CPlateTypeDlg>());
    dialogs.push_back(std::make_unique<CPasswordDlg>());
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        const QStringList templateOrder = TabChain(dialog.get());
        const QSize templateSize = dialog->sizeHint();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        EXPECT_EQ(TabChain(dialog.get()), templateOrder);
        EXPECT_EQ(dialog->sizeHint(), templateSize);
        EXPECT_EQ(dialog->minimumSizeHint().boundedTo(templateSize), dialog->minimumSizeHint());
        dialog->hide();
    }
}

} // namespace
