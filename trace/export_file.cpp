#include "export_file.h"

#include "ids_trace.h"
#include "string_table.h"
#include "ui.h"
#include "whole_file.h"

namespace {

// A spreadsheet of readings for anyone to open.
constexpr mode_t kExportFileMode = 0644;

} // namespace

bool ExportTextFile(QWidget* owner, int captionId, int filterId, int suggestedNameId,
                    const QString& text) {
    const QString caption = LoadString(captionId);
    const QString path =
        ChooseSaveFile(owner, caption, LoadString(filterId), LoadString(suggestedNameId));
    if (path.isEmpty()) {
        return false;
    }
    QString reason;
    if (WriteWholeFile(path, text.toUtf8(), kExportFileMode, &reason)) {
        return true;
    }
    ShowMessageBox(owner, LoadString(IDS_EXPORT_FAILED).arg(path, reason), caption,
                   MB_ICONEXCLAMATION);
    return false;
}
