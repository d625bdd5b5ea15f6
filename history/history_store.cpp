#include "history_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace {

constexpr char kDriver[] = "QSQLITE";
// Another client's transaction lasts a few milliseconds; waiting this long for it means that
// client is stuck, and the entry is reported as not kept rather than waited for without end.
constexpr char kWriteOptions[] = "QSQLITE_BUSY_TIMEOUT=5000";
constexpr int kSchemaVersion = 1;
constexpr std::int64_t kMsPerDay = std::int64_t{24} * 60 * 60 * 1000;
// Pruning by size removes a little more than it must, so that it is not needed again after
// every entry.
constexpr double kSizeHeadroom = 0.9;

QString NewConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("orvix-history-%1").arg(counter.fetch_add(1));
}

QString LikePattern(const QString& search) {
    QString escaped = search;
    escaped.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'%', QStringLiteral("\\%"))
        .replace(u'_', QStringLiteral("\\_"));
    return u'%' + escaped + u'%';
}

// The columns take no NULL: a text that was never set is stored empty.
QString Stored(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

HistoryEntry EntryOf(const QSqlQuery& row) {
    HistoryEntry entry;
    entry.id = row.value(0).toLongLong();
    entry.timeMs = row.value(1).toLongLong();
    entry.kind = static_cast<HistoryKind>(row.value(2).toInt());
    entry.user = row.value(3).toString();
    entry.host = row.value(4).toString();
    entry.serial = row.value(5).toString();
    entry.text = row.value(6).toString();
    return entry;
}

} // namespace

CHistoryStore::CHistoryStore() : m_connection(NewConnectionName()) {}

CHistoryStore::~CHistoryStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isValid()) {
            db.close();
        }
    }
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool CHistoryStore::Fail(const QString& reason) {
    m_error = reason;
    m_open = false;
    return false;
}

bool CHistoryStore::Exec(const QString& statement) {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(statement)) {
        m_error = query.lastError().text();
        return false;
    }
    return true;
}

bool CHistoryStore::Open(const QString& path, Mode mode) {
    const QFileInfo file(path);
    if (mode == Mode::Read && !file.exists()) {
        return Fail(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    }
    if (mode == Mode::Write && !QDir().mkpath(file.absolutePath())) {
        return Fail(QStringLiteral("cannot create the folder %1")
                        .arg(QDir::toNativeSeparators(file.absolutePath())));
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(kDriver), m_connection);
    if (!db.isValid()) {
        return Fail(QStringLiteral("Qt's SQLite driver (QSQLITE) is not installed"));
    }
    db.setDatabaseName(path);
    db.setConnectOptions(QLatin1String(kWriteOptions));
    if (!db.open()) {
        return Fail(db.lastError().text());
    }
    m_open = true;
    if (mode == Mode::Read) {
        // Reading needs no integrity check: a damaged page fails the read that meets it.
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = "
                                       "'entries'")) ||
            !query.next()) {
            return Fail(query.lastError().text());
        }
        if (query.value(0).toInt() != 1) {
            return Fail(
                QStringLiteral("%1 is not a service history").arg(QDir::toNativeSeparators(path)));
        }
        return true;
    }
    return CreateSchema() || Fail(m_error);
}

bool CHistoryStore::CreateSchema() {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next()) {
        m_error = query.lastError().text();
        return false;
    }
    if (query.value(0).toString() != QLatin1String("wal")) {
        m_error = QStringLiteral("the database cannot keep a write-ahead log");
        return false;
    }
    // A commit is on the disk, not only handed to the system, before Append returns.
    if (!Exec(QStringLiteral("PRAGMA synchronous=FULL"))) {
        return false;
    }
    if (!query.exec(QStringLiteral("PRAGMA quick_check(1)")) || !query.next()) {
        m_error = query.lastError().text();
        return false;
    }
    if (query.value(0).toString() != QLatin1String("ok")) {
        m_error = QStringLiteral("the database is damaged: %1").arg(query.value(0).toString());
        return false;
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        m_error = query.lastError().text();
        return false;
    }
    if (query.value(0).toInt() > kSchemaVersion) {
        m_error = QStringLiteral("the history was written by a newer client");
        return false;
    }
    query.finish();
    // Writing the version even when it is there finds a file that cannot be written now, not
    // at the first entry.
    const bool created =
        Exec(QStringLiteral("BEGIN IMMEDIATE")) &&
        Exec(QStringLiteral("CREATE TABLE IF NOT EXISTS entries (id INTEGER PRIMARY KEY, "
                            "time_ms INTEGER NOT NULL, kind INTEGER NOT NULL, user TEXT NOT NULL, "
                            "host TEXT NOT NULL, serial TEXT NOT NULL, text TEXT NOT NULL)")) &&
        Exec(QStringLiteral("CREATE INDEX IF NOT EXISTS entries_by_time ON entries (time_ms)")) &&
        Exec(QStringLiteral("CREATE TABLE IF NOT EXISTS instruments (serial TEXT PRIMARY KEY) "
                            "WITHOUT ROWID")) &&
        Exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)) &&
        Exec(QStringLiteral("COMMIT"));
    if (!created) {
        const QString reason = m_error;
        Exec(QStringLiteral("ROLLBACK"));
        m_error = reason;
    }
    return created;
}

bool CHistoryStore::Append(HistoryEntry& entry) {
    if (!m_open) {
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!Exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return false;
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO entries (time_ms, kind, user, host, serial, text) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"));
    insert.addBindValue(QVariant::fromValue<qlonglong>(entry.timeMs));
    insert.addBindValue(static_cast<int>(entry.kind));
    insert.addBindValue(Stored(entry.user));
    insert.addBindValue(Stored(entry.host));
    insert.addBindValue(Stored(entry.serial));
    insert.addBindValue(Stored(entry.text));
    bool ok = insert.exec();
    const qlonglong id = insert.lastInsertId().toLongLong();
    if (ok && !entry.serial.isEmpty()) {
        QSqlQuery instrument(db);
        instrument.prepare(QStringLiteral("INSERT OR IGNORE INTO instruments VALUES (?)"));
        instrument.addBindValue(entry.serial);
        ok = instrument.exec();
        if (!ok) {
            m_error = instrument.lastError().text();
        }
    } else if (!ok) {
        m_error = insert.lastError().text();
    }
    if (ok && Exec(QStringLiteral("COMMIT"))) {
        entry.id = id;
        return true;
    }
    const QString reason = m_error;
    Exec(QStringLiteral("ROLLBACK"));
    m_error = reason;
    return false;
}

std::vector<HistoryEntry> CHistoryStore::Entries(const HistoryQuery& filter) const {
    std::vector<HistoryEntry> entries;
    if (!m_open) {
        return entries;
    }
    QString sql = QStringLiteral("SELECT id, time_ms, kind, user, host, serial, text FROM entries "
                                 "WHERE ((1 << kind) & :kinds) != 0 AND time_ms >= :since");
    if (!filter.serial.isEmpty()) {
        sql += QStringLiteral(" AND serial = :serial");
    }
    if (!filter.search.isEmpty()) {
        sql += QStringLiteral(" AND text LIKE :search ESCAPE '\\'");
    }
    if (filter.beforeId > 0) {
        sql += QStringLiteral(" AND id < :before");
    }
    sql += QStringLiteral(" ORDER BY id DESC LIMIT :limit");
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    query.prepare(sql);
    query.bindValue(QStringLiteral(":kinds"), static_cast<qlonglong>(filter.kinds));
    query.bindValue(QStringLiteral(":since"), QVariant::fromValue<qlonglong>(filter.sinceMs));
    if (!filter.serial.isEmpty()) {
        query.bindValue(QStringLiteral(":serial"), filter.serial);
    }
    if (!filter.search.isEmpty()) {
        query.bindValue(QStringLiteral(":search"), LikePattern(filter.search));
    }
    if (filter.beforeId > 0) {
        query.bindValue(QStringLiteral(":before"), QVariant::fromValue<qlonglong>(filter.beforeId));
    }
    query.bindValue(QStringLiteral(":limit"), filter.limit);
    if (!query.exec()) {
        return entries;
    }
    while (query.next()) {
        entries.push_back(EntryOf(query));
    }
    return entries;
}

std::vector<HistoryEntry> CHistoryStore::EntriesSince(std::int64_t sinceMs) const {
    HistoryQuery query;
    query.sinceMs = sinceMs;
    query.limit = -1;
    return Entries(query);
}

QStringList CHistoryStore::Instruments() const {
    QStringList serials;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (m_open && query.exec(QStringLiteral("SELECT serial FROM instruments ORDER BY serial"))) {
        while (query.next()) {
            serials << query.value(0).toString();
        }
    }
    return serials;
}

std::int64_t CHistoryStore::Count() const {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (m_open && query.exec(QStringLiteral("SELECT count(*) FROM entries")) && query.next()) {
        return query.value(0).toLongLong();
    }
    return 0;
}

std::int64_t CHistoryStore::UsedBytes() const {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    const auto pragma = [&query](const char* name) -> std::int64_t {
        if (query.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(name))) && query.next()) {
            return query.value(0).toLongLong();
        }
        return 0;
    };
    if (!m_open) {
        return 0;
    }
    return (pragma("page_count") - pragma("freelist_count")) * pragma("page_size");
}

std::optional<std::int64_t> CHistoryStore::Prune(const HistoryRetention& retention,
                                                 std::int64_t nowMs) {
    if (!m_open) {
        return std::nullopt;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    std::int64_t removed = 0;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM entries WHERE time_ms < ?"));
    query.addBindValue(QVariant::fromValue<qlonglong>(nowMs - retention.maxAgeDays * kMsPerDay));
    if (!query.exec()) {
        m_error = query.lastError().text();
        return std::nullopt;
    }
    removed += query.numRowsAffected();
    const std::int64_t used = UsedBytes();
    const std::int64_t count = Count();
    if (used > retention.maxBytes && count > 0) {
        const auto keep = static_cast<std::int64_t>(static_cast<double>(count) * kSizeHeadroom *
                                                    static_cast<double>(retention.maxBytes) /
                                                    static_cast<double>(used));
        query.prepare(QStringLiteral("DELETE FROM entries WHERE id <= (SELECT id FROM entries "
                                     "ORDER BY id DESC LIMIT 1 OFFSET ?)"));
        query.addBindValue(QVariant::fromValue<qlonglong>(keep));
        if (!query.exec()) {
            m_error = query.lastError().text();
            return std::nullopt;
        }
        removed += query.numRowsAffected();
    }
    if (removed > 0 &&
        !Exec(QStringLiteral("DELETE FROM instruments WHERE NOT EXISTS (SELECT 1 FROM entries "
                             "WHERE entries.serial = instruments.serial)"))) {
        return std::nullopt;
    }
    return removed;
}
