#include "ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <utility>

namespace {

MessageBoxHandler& MessageHandler() {
    static MessageBoxHandler handler;
    return handler;
}

OpenFileHandler& FileHandler() {
    static OpenFileHandler handler;
    return handler;
}

SaveFileHandler& SaveHandler() {
    static SaveFileHandler handler;
    return handler;
}

QMessageBox::Icon IconOf(unsigned type) {
    switch (type & 0xF0U) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int RunRealMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(IconOf(request.type), request.caption, request.text, QMessageBox::NoButton,
                    request.owner);
    // Boxes show what ssh, the server and the file system said: never markup, images or links.
    box.setTextFormat(Qt::PlainText);
    switch (request.type & 0x0FU) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDOK;
    }
}

} // namespace

int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) {
    const MessageBoxRequest request{owner, text, caption, type};
    if (MessageHandler()) {
        return MessageHandler()(request);
    }
    return RunRealMessageBox(request);
}

int AppMessageBox(const QString& text, unsigned type) {
    // A compositor may give no window the keyboard (a kiosk, a seat without one); the box then
    // still belongs to the dialog that asks.
    QWidget* owner = QApplication::activeWindow();
    if (owner == nullptr) {
        owner = QApplication::activeModalWidget();
    }
    return ShowMessageBox(owner, text, QApplication::applicationName(), type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(MessageHandler(), std::move(handler));
}

QString ChooseOpenFile(QWidget* owner, const QString& caption, const QString& filter,
                       const QString& directory, OpenFileName name) {
    const OpenFileRequest request{owner, caption, filter, directory, name};
    if (FileHandler()) {
        return FileHandler()(request);
    }
    QFileDialog dialog(owner, caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(name == OpenFileName::MustExist ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

OpenFileHandler SetOpenFileHandler(OpenFileHandler handler) {
    return std::exchange(FileHandler(), std::move(handler));
}

QString ChooseSaveFile(QWidget* owner, const QString& caption, const QString& filter,
                       const QString& suggestedName) {
    const SaveFileRequest request{owner, caption, filter, suggestedName};
    if (SaveHandler()) {
        return SaveHandler()(request);
    }
    return QFileDialog::getSaveFileName(owner, caption, suggestedName, filter);
}

SaveFileHandler SetSaveFileHandler(SaveFileHandler handler) {
    return std::exchange(SaveHandler(), std::move(handler));
}
