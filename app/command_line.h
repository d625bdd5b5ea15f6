#pragma once

#include "service_visit.h"
#include "ssh_bus.h"

#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for. Switches start with '-' or '/' and are matched without regard
// to case: "Embedding" and "Automation" say the program was started to serve automation
// clients, and "--no-history" that it keeps no service history. Options with a value,
// "--name value" or "--name=value", say where the instrument server is: --host [user@]host
// (else ORVIX_HOST), --ssh-option (repeatable), --bus-path. "--report FILE" writes a service
// report to FILE and ends without showing a window; "--since TIME" (ISO 8601) starts its service
// history at TIME instead of now; --engineer, --customer, --site, --work-order, --as-found,
// --work-done, --part PART-NUMBER,OLD-SERIAL,NEW-SERIAL (repeatable) and --next-service DATE
// describe the visit it reports. "--verify-history [FILE]" checks the service history (FILE,
// else the user's own) for entries changed, removed, inserted or reordered, and ends. Anything
// else is accepted and ignored.
struct CCommandLineInfo {
    bool runEmbedded = false;
    bool runAutomated = false;
    bool noHistory = false;
    ServerLocation server;
    QString reportPath;
    QDateTime reportSince;
    // The --since text when it is not a time.
    std::optional<QString> badReportSince;
    ServiceVisit visit;
    // What is wrong with the first visit option that is not what it should be.
    std::optional<QString> badVisitOption;
    // The file to verify, empty for the user's own history; nothing when not asked.
    std::optional<QString> verifyHistory;

    bool LaunchedForAutomation() const { return runEmbedded || runAutomated; }
    bool WritesReport() const { return !reportPath.isEmpty(); }

    // arguments[0] is the program.
    static CCommandLineInfo
    Parse(const QStringList& arguments,
          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
};
