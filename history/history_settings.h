#pragma once

#include "history_entry.h"

#include <QString>
#include <QStringList>

class QSettings;

// The history's settings in the profile, section "History": "Enabled" (true unless set to
// false), "MaxAgeDays", "MaxSizeMB" and "Archive" (true unless set to false: what the retention
// removes goes to the archive file beside the history).
struct HistorySettings {
    bool enabled = true;
    bool archive = true;
    HistoryRetention retention;
    // A sentence for each setting that was not valid and gave way to its default.
    QStringList problems;

    static HistorySettings Read(const QSettings& profile);
};

// $XDG_STATE_HOME/orvix/history.sqlite, or ~/.local/state/orvix/history.sqlite when that is not
// set (or not an absolute path, which the base directory rules say to ignore).
QString HistoryFilePath();
