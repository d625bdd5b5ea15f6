#pragma once

#include <QStringList>

// What the command line asks for. Switches start with '-' or '/' and are matched without regard
// to case; "Embedding" and "Automation" say the program was started to serve automation
// clients, and "--no-history" that it keeps no service history. Anything else is accepted and
// ignored.
struct CCommandLineInfo {
    bool runEmbedded = false;
    bool runAutomated = false;
    bool noHistory = false;

    bool LaunchedForAutomation() const { return runEmbedded || runAutomated; }

    // arguments[0] is the program.
    static CCommandLineInfo Parse(const QStringList& arguments);
};
