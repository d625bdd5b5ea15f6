// The program's real message box, as a user sees it.
#include "modal_answerer.h"
#include "ui.h"

#include <QLabel>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

// Its texts come from ssh, the server and the file system: markup shows as the characters it
// is, and an image or a link in it loads and opens nothing.
TEST(MessageBox, ShowsMarkupAsCharacters) {
    const QString text =
        QStringLiteral("<b>Lab PC</b> <img src=\"/etc/x.png\"> <a href=\"file:///\">");
    const MessageBoxHandler previous = SetMessageBoxHandler({});
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    ModalAnswerer answerer({[&](QWidget* modal) {
        auto* label = modal->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label != nullptr) {
            shown = label->text();
            format = label->textFormat();
        }
        ModalAnswerer::Accept(modal);
    }});
    ShowMessageBox(nullptr, text, QStringLiteral("Error"), MB_OK);
    SetMessageBoxHandler(previous);
    EXPECT_EQ(shown, text);
    EXPECT_EQ(format, Qt::PlainText);
}

} // namespace
