#pragma once

#include <QStringList>

// The server's command-line verbs, acting on the running server through its control interface:
//   power-off | power-on
//   raise-error TEXT
//   fail OPERATION HRESULT     (HRESULT as 0x80004005 or decimal; 0 clears)
//   hang OPERATION MS          (0 clears)
//   clear-faults
//   clock real|manual
//   step MS
//   download-rate LINES_PER_SECOND
//   input LINE on|off          (event inputs 1 to 4)
//   state
bool IsControlVerb(const QString& word);
// Runs the verb with its arguments; the process's exit status.
int RunControlVerb(const QStringList& arguments);
