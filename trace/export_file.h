#pragma once

#include <QString>

class QWidget;

// Asks where to save, suggesting a file name, then writes the text there as UTF-8. The file is
// replaced only once the whole text is written; a write that fails is reported in a message box
// and leaves any earlier file as it was. Answers whether the file was written.
bool ExportTextFile(QWidget* owner, int captionId, int filterId, int suggestedNameId,
                    const QString& text);
