#include "message_autoanswer.h"

#include "ui.h"

#include <cstdio>

bool InstallMessageAutoAnswerFromEnvironment() {
    const QByteArray setting = qgetenv("ORVIX_AUTOANSWER_MESSAGES");
    if (setting.isEmpty() || setting == "0") {
        return false;
    }
    SetMessageBoxHandler([](const MessageBoxRequest& request) {
        const QByteArray line = (request.caption + QLatin1Char('|') + request.text).toUtf8();
        std::fprintf(stderr, "%s\n", line.constData());
        std::fflush(stderr);
        switch (request.type & 0x0FU) {
        case MB_YESNO:
            return IDYES;
        default:
            return IDOK;
        }
    });
    return true;
}
