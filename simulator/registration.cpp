#include "registration.h"

#include "activation_file.h"
#include "instrument_bus.h"

#include <QFileInfo>

QString ActivationFilePath() {
    return ActivationFilePath(kInstrumentServiceName);
}

QString RegisterServer(const QString& executable) {
    if (!WriteActivationFile(kInstrumentServiceName, QFileInfo(executable).absoluteFilePath(),
                             QStringLiteral("-Embedding"), QString())) {
        return QStringLiteral("cannot write %1").arg(ActivationFilePath());
    }
    return {};
}

QString UnregisterServer() {
    if (!RemoveActivationFile(kInstrumentServiceName)) {
        return QStringLiteral("cannot remove %1").arg(ActivationFilePath());
    }
    return {};
}
