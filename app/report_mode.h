#pragma once

#include "command_line.h"

class CHistoryRecorder;

// How --report ends.
constexpr int kExitReportWritten = 0;
constexpr int kExitReportNotWritten = 1;
constexpr int kExitReportIncomplete = 2;

// --report runs without a window: a script reads what went wrong on standard error, where the
// message boxes go from now on.
void ShowMessagesOnStandardError();

// Writes the service report the command line asks for, with the history file's entries from
// where it asks and the trace the window's client keeps beside it (history may be null: the
// history is off); the visit it describes goes into the history first. Answers the exit code.
int WriteServiceReport(const CCommandLineInfo& info, CHistoryRecorder* history);
