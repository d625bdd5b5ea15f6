#include "registration.h"

#include "instrument_bus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString ActivationFilePath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/dbus-1/services/") + kInstrumentServiceName +
           QStringLiteral(".service");
}

QString ActivationFileText(const QString& executable) {
    // The bus splits Exec like a shell: a path with blanks must be quoted.
    const QString program = executable.contains(u' ') ? u'"' + executable + u'"' : executable;
    return QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2 -Embedding\n")
        .arg(kInstrumentServiceName, program);
}

QString RegisterServer(const QString& executable) {
    const QString path = ActivationFilePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return QStringLiteral("cannot create the folder of %1").arg(path);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(ActivationFileText(QFileInfo(executable).absoluteFilePath()).toUtf8()) < 0 ||
        !file.commit()) {
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    }
    return {};
}

QString UnregisterServer() {
    const QString path = ActivationFilePath();
    QFile file(path);
    if (file.exists() && !file.remove()) {
        return QStringLiteral("cannot remove %1: %2").arg(path, file.errorString());
    }
    return {};
}
