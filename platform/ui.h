#pragma once

#include <QString>

#include <functional>

class QWidget;

// Message box types and answers, as the instrument client's dialogs ask for them.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
    QWidget* owner;
    QString text;
    QString caption;
    unsigned type;
};

// Every message box of the program goes through here, so that tests can answer them.
int ShowMessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type);

// The application's own box: caption is the application title; it belongs to the window the user
// works in, or else to the topmost modal dialog.
int AppMessageBox(const QString& text, unsigned type = MB_OK);

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Replaces the real message box; an empty handler restores it. Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Whether the File Open chooser itself insists that a typed name exist, or leaves the check to
// its caller.
enum class OpenFileName { MustExist, AnyName };

struct OpenFileRequest {
    QWidget* owner;
    QString caption;
    QString filter;
    QString directory;
    OpenFileName name = OpenFileName::MustExist;
};

// The File Open chooser, opening in directory (the current one when empty); answers the chosen
// path, or an empty text when the user cancelled.
QString ChooseOpenFile(QWidget* owner, const QString& caption, const QString& filter,
                       const QString& directory = QString(),
                       OpenFileName name = OpenFileName::MustExist);

using OpenFileHandler = std::function<QString(const OpenFileRequest&)>;
OpenFileHandler SetOpenFileHandler(OpenFileHandler handler);

struct SaveFileRequest {
    QWidget* owner;
    QString caption;
    QString filter;
    QString suggestedName;
};

// The Save As chooser, starting on the suggested file name; answers the chosen path, or an empty
// text when the user cancelled.
QString ChooseSaveFile(QWidget* owner, const QString& caption, const QString& filter,
                       const QString& suggestedName);

using SaveFileHandler = std::function<QString(const SaveFileRequest&)>;
SaveFileHandler SetSaveFileHandler(SaveFileHandler handler);
