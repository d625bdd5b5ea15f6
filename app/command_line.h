#pragma once

#include "ssh_bus.h"

#include <QProcessEnvironment>
#include <QStringList>

// What the command line asks for. Switches start with '-' or '/' and are matched without regard
// to case: "Embedding" and "Automation" say the program was started to serve automation
// clients. Options with a value, "--name value" or "--name=value", say where the instrument
// server is: --host [user@]host (else ORVIX_HOST), --ssh-option (repeatable), --bus-path.
// Anything else is accepted and ignored.
struct CCommandLineInfo {
    bool runEmbedded = false;
    bool runAutomated = false;
    ServerLocation server;

    bool LaunchedForAutomation() const { return runEmbedded || runAutomated; }

    // arguments[0] is the program.
    static CCommandLineInfo
    Parse(const QStringList& arguments,
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
};
