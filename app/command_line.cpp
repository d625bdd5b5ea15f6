#include "command_line.h"

CCommandLineInfo CCommandLineInfo::Parse(const QStringList& arguments) {
    CCommandLineInfo info;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1Char('-')) && !argument.startsWith(QLatin1Char('/'))) {
            continue;
        }
        const QString flag = argument.mid(1);
        if (flag.compare(QLatin1String("Embedding"), Qt::CaseInsensitive) == 0) {
            info.runEmbedded = true;
        } else if (flag.compare(QLatin1String("Automation"), Qt::CaseInsensitive) == 0) {
            info.runAutomated = true;
        } else if (argument.compare(QLatin1String("--no-history"), Qt::CaseInsensitive) == 0) {
            info.noHistory = true;
        }
    }
    return info;
}
