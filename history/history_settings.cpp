#include "history_settings.h"

#include <QDir>
#include <QSettings>

#include <algorithm>

namespace {

constexpr std::int64_t kBytesPerMegabyte = std::int64_t{1024} * 1024;
// Less than this would drop a day's entries of a busy instrument.
constexpr int kMinAgeDays = 1;
constexpr std::int64_t kMinSizeMegabytes = 1;

} // namespace

HistorySettings HistorySettings::Read(const QSettings& profile) {
    HistorySettings settings;
    settings.enabled = profile.value(QStringLiteral("History/Enabled"), true).toBool();
    settings.retention.maxAgeDays = std::max(
        kMinAgeDays,
        profile.value(QStringLiteral("History/MaxAgeDays"), settings.retention.maxAgeDays).toInt());
    const std::int64_t megabytes =
        profile
            .value(QStringLiteral("History/MaxSizeMB"),
                   QVariant::fromValue<qlonglong>(settings.retention.maxBytes / kBytesPerMegabyte))
            .toLongLong();
    settings.retention.maxBytes = std::max(kMinSizeMegabytes, megabytes) * kBytesPerMegabyte;
    return settings;
}

QString HistoryFilePath() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return base + QStringLiteral("/orvix/history.sqlite");
}
