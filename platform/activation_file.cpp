#include "activation_file.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

QString SessionServicesDir() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome)) {
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return dataHome + QStringLiteral("/dbus-1/services");
}

QString ActivationFilePath(const QString& busName) {
    return SessionServicesDir() + QLatin1Char('/') + busName + QStringLiteral(".service");
}

namespace {

// The bus splits Exec like a shell: a path with anything unusual in it goes in single quotes.
QString QuoteForExec(const QString& word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%=,-]+$"));
    if (plain.match(word).hasMatch()) {
        return word;
    }
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

QString ActivationFileText(const QString& busName, const QString& executable,
                           const QString& arguments, const QString& comment) {
    QString text;
    if (!comment.isEmpty()) {
        text += QStringLiteral("# ") + comment + QLatin1Char('\n');
    }
    text += QStringLiteral("[D-BUS Service]\nName=") + busName + QStringLiteral("\nExec=") +
            QuoteForExec(executable);
    if (!arguments.isEmpty()) {
        text += QLatin1Char(' ') + arguments;
    }
    text += QLatin1Char('\n');
    return text;
}

bool WriteActivationFile(const QString& busName, const QString& executable,
                         const QString& arguments, const QString& comment) {
    if (!QDir().mkpath(SessionServicesDir())) {
        return false;
    }
    QSaveFile file(ActivationFilePath(busName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return false;
    }
    file.write(ActivationFileText(busName, executable, arguments, comment).toUtf8());
    return file.commit();
}

bool RemoveActivationFile(const QString& busName) {
    QFile file(ActivationFilePath(busName));
    return !file.exists() || file.remove();
}
