#pragma once

#include <QString>

struct HistoryVerification {
    bool intact = false;
    // "intact: N entries, last checkpoint T", or the first entry found changed, removed,
    // inserted or reordered.
    QString text;
};

// Walks a history file (or an archive) oldest first, recomputing each entry's link and holding
// the chain against every signed checkpoint. Reads the file only.
HistoryVerification VerifyHistory(const QString& path);
