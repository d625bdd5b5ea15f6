#include "command_line.h"

#include "ids_report.h"
#include "string_table.h"

#include <functional>

namespace {

struct ValueOption {
    const char* name;
    std::function<void(CCommandLineInfo& info, const QString& value)> apply;
};

const ValueOption kValueOptions[] = {
    {"host", [](CCommandLineInfo& info, const QString& value) { info.server.host = value; }},
    {"ssh-option",
     [](CCommandLineInfo& info, const QString& value) { info.server.sshOptions << value; }},
    {"bus-path", [](CCommandLineInfo& info, const QString& value) { info.server.busPath = value; }},
    {"report", [](CCommandLineInfo& info, const QString& value) { info.reportPath = value; }},
    {"engineer", [](CCommandLineInfo& info, const QString& value) { info.visit.engineer = value; }},
    {"customer", [](CCommandLineInfo& info, const QString& value) { info.visit.customer = value; }},
    {"site", [](CCommandLineInfo& info, const QString& value) { info.visit.site = value; }},
    {"work-order",
     [](CCommandLineInfo& info, const QString& value) { info.visit.workOrder = value; }},
    {"as-found", [](CCommandLineInfo& info, const QString& value) { info.visit.asFound = value; }},
    {"work-done",
     [](CCommandLineInfo& info, const QString& value) { info.visit.workDone = value; }},
    {"part",
     [](CCommandLineInfo& info, const QString& value) {
         if (const std::optional<ReplacedPart> part = ParseReplacedPart(value)) {
             info.visit.parts.push_back(*part);
         } else if (!info.badVisitOption) {
             info.badVisitOption = LoadString(IDS_REPORT_BAD_PART).arg(value);
         }
     }},
    {"next-service",
     [](CCommandLineInfo& info, const QString& value) {
         info.visit.nextServiceDue = QDate::fromString(value, Qt::ISODate);
         if (!info.visit.nextServiceDue.isValid() && !info.badVisitOption) {
             info.badVisitOption = LoadString(IDS_REPORT_BAD_NEXT_SERVICE).arg(value);
         }
     }},
    {"since",
     [](CCommandLineInfo& info, const QString& value) {
         info.reportSince = QDateTime::fromString(value, Qt::ISODate);
         if (!info.reportSince.isValid()) {
             info.badReportSince = value;
         }
     }},
};

const ValueOption* FindValueOption(const QString& name) {
    for (const ValueOption& option : kValueOptions) {
        if (name.compare(QLatin1String(option.name), Qt::CaseInsensitive) == 0) {
            return &option;
        }
    }
    return nullptr;
}

} // namespace

CCommandLineInfo CCommandLineInfo::Parse(const QStringList& arguments,
                                         const QProcessEnvironment& environment) {
    CCommandLineInfo info;
    info.server.host = environment.value(QStringLiteral("ORVIX_HOST"));
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument.compare(QLatin1String("--no-history"), Qt::CaseInsensitive) == 0) {
            info.noHistory = true;
            continue;
        }
        if (argument.compare(QLatin1String("--verify-history"), Qt::CaseInsensitive) == 0) {
            const bool named = i + 1 < arguments.size() && !arguments[i + 1].startsWith(u'-');
            info.verifyHistory = named ? arguments[++i] : QString();
            continue;
        }
        if (argument.startsWith(QLatin1String("--verify-history="), Qt::CaseInsensitive)) {
            info.verifyHistory = argument.section(u'=', 1);
            continue;
        }
        if (argument.startsWith(QLatin1String("--"))) {
            const qsizetype equals = argument.indexOf(QLatin1Char('='));
            const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
            const ValueOption* option = FindValueOption(name);
            if (option == nullptr) {
                continue;
            }
            if (equals >= 0) {
                option->apply(info, argument.mid(equals + 1));
            } else if (i + 1 < arguments.size()) {
                option->apply(info, arguments[++i]);
            }
            continue;
        }
        if (!argument.startsWith(QLatin1Char('-')) && !argument.startsWith(QLatin1Char('/'))) {
            continue;
        }
        const QString flag = argument.mid(1);
        if (flag.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0) {
            info.runEmbedded = true;
        } else if (flag.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0) {
            info.runAutomated = true;
        }
    }
    return info;
}
