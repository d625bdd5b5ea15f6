#pragma once

#include "history_entry.h"

#include <QString>

class QSettings;

// The history's settings in the profile, section "History": "Enabled" (true unless set to
// false), "MaxAgeDays" and "MaxSizeMB".
struct HistorySettings {
    bool enabled = true;
    HistoryRetention retention;

    static HistorySettings Read(const QSettings& profile);
};

// $XDG_STATE_HOME/orvix/history.sqlite, or ~/.local/state/orvix/history.sqlite when that is not
// set (or not an absolute path, which the base directory rules say to ignore).
QString HistoryFilePath();
