#include "dialog_fixture.h"
#include "password_dlg.h"
#include "plate_type_dlg.h"
#include "resource.h"
#include "string_table.h"

#include <QComboBox>

namespace {

using PlateTypeTest = DialogTest;
using PasswordTest = DialogTest;

TEST_F(PlateTypeTest, OffersFourPlatesAndReportsTheConfirmedOne) {
    CPlateTypeDlg dialog;
    auto* plates = Control<QComboBox>(dialog, IDC_PLATE_TYPE_LIST);
    ASSERT_EQ(plates->count(), 4);
    EXPECT_EQ(plates->itemText(0), "48 Vial");
    EXPECT_EQ(plates->itemText(3), "384 Low");
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    const int result = RunModal(dialog, [&] {
        EXPECT_EQ(plates->currentText(), "48 Vial");
        EXPECT_TRUE(Control<QPushButton>(dialog, IDC_DIALOG_CANCEL)->isHidden());
        for (int i = 0; i < 3; ++i) {
            Press(plates, Qt::Key_Down);
        }
        Press(plates, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.GetPlateIndex(), 3);

    CPlateTypeDlg atOnce(2);
    RunModal(atOnce, [&] { Click(Control<QPushButton>(atOnce, IDC_DIALOG_OK)); });
    EXPECT_EQ(atOnce.GetPlateIndex(), 0);
    EXPECT_TRUE(m_pFake->calls.empty());
}

TEST_F(PlateTypeTest, EscKeepsThePlateInForce) {
    for (const int inForce : {2, 0}) {
        CPlateTypeDlg dialog(inForce);
        const int result = RunModal(dialog, [&] {
            auto* plates = Control<QComboBox>(dialog, IDC_PLATE_TYPE_LIST);
            Press(plates, Qt::Key_Down);
            Press(plates, Qt::Key_Escape);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(dialog.GetPlateIndex(), inForce);
    }
    CPlateTypeDlg byDefault;
    RunModal(byDefault, [&] { byDefault.close(); });
    EXPECT_EQ(byDefault.GetPlateIndex(), 0);
}

TEST_F(PasswordTest, AcceptedAfterAnyNumberOfRefusals) {
    CPasswordDlg dialog;
    auto* code = Control<QLineEdit>(dialog, IDC_PASSWORD_EDIT);
    EXPECT_EQ(code->echoMode(), QLineEdit::Password);
    const int result = RunModal(dialog, [&] {
        for (const char* wrong : {"6274 ", "06274", "", "627", "6274\t"}) {
            SCOPED_TRACE(wrong);
            code->setText(QString::fromLatin1(wrong));
            Click(Control<QPushButton>(dialog, IDC_DIALOG_OK));
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(code->text().isEmpty());
            EXPECT_EQ(dialog.focusWidget(), code);
        }
        Type(code, "6274");
        Press(code, Qt::Key_Return);
    });
    EXPECT_EQ(result, CPasswordDlg::kAccepted);
    EXPECT_EQ(dialog.GetPasswordAccepted(), 1);
    // The refusal never shows the code itself.
    EXPECT_EQ(Messages(), std::vector<QString>(5, QStringLiteral("Invalid Password Entered")));
    EXPECT_TRUE(m_pFake->calls.empty());
}

TEST_F(PasswordTest, CancelEscOrCloseBoxAfterARefusalGiveFlagZero) {
    const std::vector<std::function<void(CPasswordDlg&)>> closers{
        [](CPasswordDlg& dialog) { Click(Control<QPushButton>(dialog, IDC_DIALOG_CANCEL)); },
        [](CPasswordDlg& dialog) {
            Press(Control<QLineEdit>(dialog, IDC_PASSWORD_EDIT), Qt::Key_Escape);
        },
        [](CPasswordDlg& dialog) { dialog.close(); }};
    for (const auto& close : closers) {
        CPasswordDlg dialog;
        const int result = RunModal(dialog, [&] {
            auto* code = Control<QLineEdit>(dialog, IDC_PASSWORD_EDIT);
            Type(code, "1234");
            Press(code, Qt::Key_Return);
            Type(code, "6274");
            close(dialog);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(dialog.GetPasswordAccepted(), 0);
    }
    EXPECT_EQ(m_messages.size(), 3U);
}

} // namespace
