#pragma once

#include <QStringList>

// What the command line asks for. Switches start with '-' or '/' and are matched without regard
// to case; only "Embedding" and "Automation" change what the program does (it was started to
// serve automation clients). Anything else is accepted and ignored.
struct CCommandLineInfo {
    bool runEmbedded = false;
    bool runAutomated = false;

    bool LaunchedForAutomation() const { return runEmbedded || runAutomated; }

    // arguments[0] is the program.
    static CCommandLineInfo Parse(const QStringList& arguments);
};
