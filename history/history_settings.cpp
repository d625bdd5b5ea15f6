#include "history_settings.h"

#include "ids_history.h"
#include "string_table.h"

#include <QDir>
#include <QSettings>

namespace {

constexpr std::int64_t kBytesPerMegabyte = std::int64_t{1024} * 1024;
// Less than a day would drop a day's entries of a busy instrument; a century is beyond any
// retention period a lab is asked for.
constexpr std::int64_t kMinAgeDays = 1;
constexpr std::int64_t kMaxAgeDays = 36500;
// A terabyte: in bytes it is far from overflowing, and far beyond any history's size.
constexpr std::int64_t kMinSizeMegabytes = 1;
constexpr std::int64_t kMaxSizeMegabytes = std::int64_t{1024} * 1024;

// The whole number the setting holds; its default, said in problems, when it holds something
// else or is out of range, and quietly when it is missing.
std::int64_t WholeNumber(const QSettings& profile, const QString& key, std::int64_t fallback,
                         std::int64_t least, std::int64_t most, QStringList& problems) {
    const QVariant value = profile.value(key);
    if (!value.isValid()) {
        return fallback;
    }
    bool ok = false;
    const std::int64_t number = value.toString().trimmed().toLongLong(&ok);
    if (ok && number >= least && number <= most) {
        return number;
    }
    problems << LoadString(IDS_HISTORY_BAD_SETTING)
                    .arg(key, value.toString())
                    .arg(least)
                    .arg(most)
                    .arg(fallback);
    return fallback;
}

} // namespace

HistorySettings HistorySettings::Read(const QSettings& profile) {
    HistorySettings settings;
    settings.enabled = profile.value(QStringLiteral("History/Enabled"), true).toBool();
    settings.archive = profile.value(QStringLiteral("History/Archive"), true).toBool();
    settings.retention.maxAgeDays = static_cast<int>(
        WholeNumber(profile, QStringLiteral("History/MaxAgeDays"), settings.retention.maxAgeDays,
                    kMinAgeDays, kMaxAgeDays, settings.problems));
    settings.retention.maxBytes =
        WholeNumber(profile, QStringLiteral("History/MaxSizeMB"),
                    settings.retention.maxBytes / kBytesPerMegabyte, kMinSizeMegabytes,
                    kMaxSizeMegabytes, settings.problems) *
        kBytesPerMegabyte;
    return settings;
}

QString HistoryFilePath() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return base + QStringLiteral("/orvix/history.sqlite");
}
