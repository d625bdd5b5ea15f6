#include "export_file.h"

#include "ids_trace.h"
#include "string_table.h"
#include "ui.h"

#include <QSaveFile>

bool ExportTextFile(QWidget* owner, int captionId, int filterId, int suggestedNameId,
                    const QString& text) {
    const QString caption = LoadString(captionId);
    const QString path =
        ChooseSaveFile(owner, caption, LoadString(filterId), LoadString(suggestedNameId));
    if (path.isEmpty()) {
        return false;
    }
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
        return true;
    }
    ShowMessageBox(owner, LoadString(IDS_EXPORT_FAILED).arg(path, file.errorString()), caption,
                   MB_ICONEXCLAMATION);
    return false;
}
