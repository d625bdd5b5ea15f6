#include "command_line.h"

namespace {

// "--name VALUE" or "--name=VALUE"; i moves past what it took.
bool TakeOption(const QStringList& arguments, qsizetype& i, QLatin1String name, QString* value) {
    const QString& argument = arguments[i];
    if (argument.compare(name, Qt::CaseInsensitive) == 0) {
        if (i + 1 < arguments.size()) {
            *value = arguments[++i];
        }
        return true;
    }
    if (argument.size() > name.size() && argument.at(name.size()) == u'=' &&
        argument.startsWith(name, Qt::CaseInsensitive)) {
        *value = argument.mid(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

CCommandLineInfo CCommandLineInfo::Parse(const QStringList& arguments) {
    CCommandLineInfo info;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString since;
        if (TakeOption(arguments, i, QLatin1String("--report"), &info.reportPath)) {
            continue;
        }
        if (TakeOption(arguments, i, QLatin1String("--since"), &since)) {
            info.reportSince = QDateTime::fromString(since, Qt::ISODate);
            if (!info.reportSince.isValid()) {
                info.badReportSince = since;
            }
            continue;
        }
        const QString& argument = arguments[i];
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
