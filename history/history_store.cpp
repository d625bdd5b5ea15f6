#include "history_store.h"

#include "private_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <limits>
#include <sqlite3.h>
#include <thread>

namespace {

constexpr char kDriver[] = "QSQLITE";
// Another client's transaction lasts a few milliseconds; waiting this long for it means that
// client is stuck, and the entry stays with the writer, which tries again later.
constexpr char kWriteOptions[] = "QSQLITE_BUSY_TIMEOUT=5000";
// How long a waiting write sleeps before it looks at the lock, and at whether to give up, again.
constexpr std::chrono::milliseconds kBusyPause{5};
// 2: each entry chained to the one before, signed checkpoints, the chain's base.
constexpr int kSchemaVersion = 2;
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

// The folder and the file readable by their owner only. SQLite gives its -wal and -shm files
// the database file's permissions; those a former client left are narrowed too.
bool MakePrivateStore(const QString& path, QString* error) {
    if (!MakePrivateFolder(QFileInfo(path).absolutePath(), error) ||
        !MakePrivateFile(path, error)) {
        return false;
    }
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString companion = path + QLatin1String(suffix);
        if (QFileInfo::exists(companion) && !MakePrivateFile(companion, error)) {
            return false;
        }
    }
    return true;
}

} // namespace

CHistoryStore::CHistoryStore() : m_connection(NewConnectionName()) {}

CHistoryStore::~CHistoryStore() {
    Close();
}

void CHistoryStore::Close() {
    m_open = false;
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

int CHistoryStore::WaitWhileBusy(void* store, int tries) {
    auto* self = static_cast<CHistoryStore*>(store);
    const auto now = std::chrono::steady_clock::now();
    if (tries == 0) {
        self->m_busySince = now;
    }
    if (now - self->m_busySince >= kBusyWait || (self->m_giveUp && self->m_giveUp())) {
        return 0;
    }
    std::this_thread::sleep_for(kBusyPause);
    return 1;
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

bool CHistoryStore::Open(const QString& path, Mode mode, const QString& archivePath) {
    // A try that failed left its connection behind.
    Close();
    const QFileInfo file(path);
    if (mode == Mode::Read && !file.exists()) {
        return Fail(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path)));
    }
    const bool created = mode == Mode::Write && !file.exists();
    if (mode == Mode::Write && !MakePrivateStore(path, &m_error)) {
        return Fail(m_error);
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
    if (const QVariant handle = db.driver()->handle();
        mode == Mode::Write && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        sqlite3_busy_handler(*static_cast<sqlite3* const*>(handle.constData()),
                             &CHistoryStore::WaitWhileBusy, this);
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
    if (CreateSchema() && (archivePath.isEmpty() || AttachArchive(archivePath))) {
        m_archivePath = archivePath;
        return true;
    }
    const QString reason = m_error;
    db.close();
    // A file this try made and could not fill (a full disk) is not left behind half made.
    if (created) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            QFile::remove(path + QLatin1String(suffix));
        }
    }
    return Fail(reason);
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
    const bool created = Exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                         CreateTables(QStringLiteral("main")) && ChainUnchainedEntries() &&
                         Exec(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion)) &&
                         Exec(QStringLiteral("COMMIT"));
    return created || Rollback();
}

bool CHistoryStore::CreateTables(const QString& schema) {
    const auto exec = [this, &schema](const char* statement) {
        return Exec(QString::fromLatin1(statement).arg(schema));
    };
    if (!exec("CREATE TABLE IF NOT EXISTS %1.entries (id INTEGER PRIMARY KEY, time_ms INTEGER "
              "NOT NULL, kind INTEGER NOT NULL, user TEXT NOT NULL, host TEXT NOT NULL, serial "
              "TEXT NOT NULL, text TEXT NOT NULL, seq INTEGER, hash BLOB)") ||
        !exec("CREATE INDEX IF NOT EXISTS %1.entries_by_time ON entries (time_ms)") ||
        !exec("CREATE TABLE IF NOT EXISTS %1.instruments (serial TEXT PRIMARY KEY) WITHOUT "
              "ROWID") ||
        !exec("CREATE TABLE IF NOT EXISTS %1.chain_base (seq INTEGER NOT NULL, hash BLOB NOT "
              "NULL)") ||
        !exec("CREATE TABLE IF NOT EXISTS %1.checkpoints (id INTEGER PRIMARY KEY, time_ms "
              "INTEGER NOT NULL, seq INTEGER NOT NULL, head BLOB NOT NULL, public_key BLOB NOT "
              "NULL, signature BLOB NOT NULL)")) {
        return false;
    }
    // A history from before the chain has its entries without the two columns.
    QSqlQuery columns(QSqlDatabase::database(m_connection, false));
    if (!columns.exec(QStringLiteral("SELECT count(*) FROM pragma_table_info('entries', '%1') "
                                     "WHERE name = 'seq'")
                          .arg(schema)) ||
        !columns.next()) {
        m_error = columns.lastError().text();
        return false;
    }
    if (columns.value(0).toInt() == 0 && (!exec("ALTER TABLE %1.entries ADD COLUMN seq INTEGER") ||
                                          !exec("ALTER TABLE %1.entries ADD COLUMN hash BLOB"))) {
        return false;
    }
    QSqlQuery base(QSqlDatabase::database(m_connection, false));
    base.prepare(QStringLiteral("INSERT INTO %1.chain_base SELECT 0, ? WHERE NOT EXISTS (SELECT 1 "
                                "FROM %1.chain_base)")
                     .arg(schema));
    base.addBindValue(ChainGenesis());
    if (!base.exec()) {
        m_error = base.lastError().text();
        return false;
    }
    return true;
}

bool CHistoryStore::ChainUnchainedEntries() {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.exec(QStringLiteral("SELECT id, time_ms, kind, user, host, serial, text FROM "
                                  "entries WHERE seq IS NULL ORDER BY id"))) {
        m_error = rows.lastError().text();
        return false;
    }
    std::optional<std::pair<std::int64_t, QByteArray>> head;
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE entries SET seq = ?, hash = ? WHERE id = ?"));
    while (rows.next()) {
        if (!head) {
            head = ChainedHead();
            if (!head) {
                return false;
            }
        }
        const HistoryEntry entry = EntryOf(rows);
        head->first += 1;
        head->second = ChainHash(head->second, head->first, entry);
        update.addBindValue(QVariant::fromValue<qlonglong>(head->first));
        update.addBindValue(head->second);
        update.addBindValue(QVariant::fromValue<qlonglong>(entry.id));
        if (!update.exec()) {
            m_error = update.lastError().text();
            return false;
        }
    }
    return true;
}

bool CHistoryStore::AttachArchive(const QString& archivePath) {
    if (!MakePrivateFile(archivePath, &m_error)) {
        return false;
    }
    QSqlQuery attach(QSqlDatabase::database(m_connection, false));
    attach.prepare(QStringLiteral("ATTACH DATABASE ? AS archive"));
    attach.addBindValue(archivePath);
    if (!attach.exec()) {
        m_error = attach.lastError().text();
        return false;
    }
    const bool created =
        Exec(QStringLiteral("BEGIN IMMEDIATE")) && CreateTables(QStringLiteral("archive")) &&
        Exec(QStringLiteral("PRAGMA archive.user_version=%1").arg(kSchemaVersion)) &&
        Exec(QStringLiteral("COMMIT"));
    return created || Rollback();
}

bool CHistoryStore::Rollback() {
    const QString reason = m_error;
    Exec(QStringLiteral("ROLLBACK"));
    m_error = reason;
    return false;
}

std::optional<std::pair<std::int64_t, QByteArray>> CHistoryStore::ChainedHead() {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (query.exec(QStringLiteral("SELECT seq, hash FROM entries WHERE seq IS NOT NULL ORDER BY "
                                  "id DESC LIMIT 1")) &&
        query.next()) {
        return std::make_pair(query.value(0).toLongLong(), query.value(1).toByteArray());
    }
    if (query.lastError().isValid()) {
        m_error = query.lastError().text();
        return std::nullopt;
    }
    if (query.exec(QStringLiteral("SELECT seq, hash FROM chain_base")) && query.next()) {
        return std::make_pair(query.value(0).toLongLong(), query.value(1).toByteArray());
    }
    m_error = query.lastError().isValid() ? query.lastError().text()
                                          : QStringLiteral("the history has lost its chain");
    return std::nullopt;
}

bool CHistoryStore::Append(HistoryEntry& entry) {
    if (!m_open) {
        return false;
    }
    if (!Exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return false;
    }
    HistoryEntry stored = entry;
    if (AppendInTransaction(stored) && Exec(QStringLiteral("COMMIT"))) {
        entry.id = stored.id;
        return true;
    }
    return Rollback();
}

bool CHistoryStore::AppendInTransaction(HistoryEntry& entry) {
    const auto head = ChainedHead();
    if (!head) {
        return false;
    }
    const std::int64_t seq = head->first + 1;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO entries (time_ms, kind, user, host, serial, text, "
                                  "seq, hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    insert.addBindValue(QVariant::fromValue<qlonglong>(entry.timeMs));
    insert.addBindValue(static_cast<int>(entry.kind));
    insert.addBindValue(Stored(entry.user));
    insert.addBindValue(Stored(entry.host));
    insert.addBindValue(Stored(entry.serial));
    insert.addBindValue(Stored(entry.text));
    insert.addBindValue(QVariant::fromValue<qlonglong>(seq));
    insert.addBindValue(ChainHash(head->second, seq, entry));
    if (!insert.exec()) {
        m_error = insert.lastError().text();
        return false;
    }
    entry.id = insert.lastInsertId().toLongLong();
    if (!entry.serial.isEmpty()) {
        QSqlQuery instrument(db);
        instrument.prepare(QStringLiteral("INSERT OR IGNORE INTO instruments VALUES (?)"));
        instrument.addBindValue(entry.serial);
        if (!instrument.exec()) {
            m_error = instrument.lastError().text();
            return false;
        }
    }
    return true;
}

bool CHistoryStore::AddCheckpoint(const CHistoryKey& key, std::int64_t nowMs) {
    if (!m_open || !Exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return false;
    }
    const auto head = ChainedHead();
    if (!head) {
        return Rollback();
    }
    HistoryCheckpoint checkpoint;
    checkpoint.timeMs = nowMs;
    checkpoint.seq = head->first;
    checkpoint.head = head->second;
    key.Sign(checkpoint);
    QSqlQuery insert(QSqlDatabase::database(m_connection, false));
    insert.prepare(QStringLiteral("INSERT INTO checkpoints (time_ms, seq, head, public_key, "
                                  "signature) VALUES (?, ?, ?, ?, ?)"));
    insert.addBindValue(QVariant::fromValue<qlonglong>(checkpoint.timeMs));
    insert.addBindValue(QVariant::fromValue<qlonglong>(checkpoint.seq));
    insert.addBindValue(checkpoint.head);
    insert.addBindValue(checkpoint.publicKey);
    insert.addBindValue(checkpoint.signature);
    if (!insert.exec()) {
        m_error = insert.lastError().text();
        return Rollback();
    }
    return Exec(QStringLiteral("COMMIT")) || Rollback();
}

std::optional<HistoryCheckpoint> CHistoryStore::LastCheckpoint() const {
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!m_open ||
        !query.exec(QStringLiteral("SELECT time_ms, seq, head, public_key, signature "
                                   "FROM checkpoints ORDER BY id DESC LIMIT 1")) ||
        !query.next()) {
        return std::nullopt;
    }
    return HistoryCheckpoint{query.value(0).toLongLong(), query.value(1).toLongLong(),
                             query.value(2).toByteArray(), query.value(3).toByteArray(),
                             query.value(4).toByteArray()};
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
                                                 std::int64_t nowMs, const RemovalNote& note) {
    if (!m_open || !Exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return std::nullopt;
    }
    const auto fail = [this] {
        Rollback();
        return std::optional<std::int64_t>();
    };
    // Entries go oldest first and in one run, so the chain of those that stay is whole. The
    // age bound stops at the first entry young enough to keep, even when a later one is older
    // (a clock set back): no entry is removed before its time.
    std::int64_t cutoffMs = 0;
    if (__builtin_mul_overflow(std::int64_t{retention.maxAgeDays}, kMsPerDay, &cutoffMs) ||
        __builtin_sub_overflow(nowMs, cutoffMs, &cutoffMs)) {
        cutoffMs = std::numeric_limits<std::int64_t>::min();
    }
    const auto number = [this](const QString& sql, std::int64_t bound) -> std::optional<qlonglong> {
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        query.prepare(sql);
        query.addBindValue(QVariant::fromValue<qlonglong>(bound));
        if (!query.exec() || !query.next()) {
            m_error = query.lastError().text();
            return std::nullopt;
        }
        return query.value(0).isNull() ? 0 : query.value(0).toLongLong();
    };
    const auto firstKept = number(QStringLiteral("SELECT coalesce((SELECT min(id) FROM entries "
                                                 "WHERE time_ms >= ?), (SELECT max(id) + 1 FROM "
                                                 "entries))"),
                                  cutoffMs);
    if (!firstKept) {
        return fail();
    }
    std::int64_t lastRemoved = *firstKept - 1;
    const std::int64_t used = UsedBytes();
    const std::int64_t count = Count();
    if (used > retention.maxBytes && count > 0) {
        const auto keep = static_cast<std::int64_t>(static_cast<double>(count) * kSizeHeadroom *
                                                    static_cast<double>(retention.maxBytes) /
                                                    static_cast<double>(used));
        const auto bySize = number(QStringLiteral("SELECT id FROM entries ORDER BY id DESC LIMIT "
                                                  "1 OFFSET ?"),
                                   keep);
        if (!bySize) {
            return fail();
        }
        lastRemoved = std::max(lastRemoved, std::int64_t{*bySize});
    }
    const auto removed =
        number(QStringLiteral("SELECT count(*) FROM entries WHERE id <= ?"), lastRemoved);
    if (!removed) {
        return fail();
    }
    if (*removed == 0) {
        return Exec(QStringLiteral("COMMIT")) ? std::optional<std::int64_t>(0) : fail();
    }
    const auto keptFromMs = number(QStringLiteral("SELECT time_ms FROM entries WHERE id > ? "
                                                  "ORDER BY id LIMIT 1"),
                                   lastRemoved);
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT seq, hash FROM entries WHERE id <= ? ORDER BY id DESC "
                                 "LIMIT 1"));
    query.addBindValue(QVariant::fromValue<qlonglong>(lastRemoved));
    if (!query.exec() || !query.next()) {
        m_error = query.lastError().text();
        return fail();
    }
    const qlonglong baseSeq = query.value(0).toLongLong();
    const QByteArray baseHash = query.value(1).toByteArray();
    query.finish();
    if (!m_archivePath.isEmpty() && !MoveToArchive(lastRemoved, baseSeq)) {
        return fail();
    }
    QSqlQuery base(QSqlDatabase::database(m_connection, false));
    base.prepare(QStringLiteral("UPDATE chain_base SET seq = ?, hash = ?"));
    base.addBindValue(baseSeq);
    base.addBindValue(baseHash);
    if (!base.exec()) {
        m_error = base.lastError().text();
        return fail();
    }
    HistoryEntry removal = note(*removed, keptFromMs ? *keptFromMs : nowMs);
    if (!Exec(QStringLiteral("DELETE FROM entries WHERE id <= %1").arg(lastRemoved)) ||
        !Exec(QStringLiteral("DELETE FROM checkpoints WHERE seq < %1").arg(baseSeq)) ||
        !Exec(QStringLiteral("DELETE FROM instruments WHERE NOT EXISTS (SELECT 1 FROM entries "
                             "WHERE entries.serial = instruments.serial)")) ||
        !AppendInTransaction(removal) || !Exec(QStringLiteral("COMMIT"))) {
        return fail();
    }
    return *removed;
}

bool CHistoryStore::MoveToArchive(std::int64_t lastId, std::int64_t lastSeq) {
    // The archive's chain starts where the history's did when the archive was new.
    if (!Exec(
            QStringLiteral("UPDATE archive.chain_base SET (seq, hash) = (SELECT seq, hash FROM "
                           "main.chain_base) WHERE NOT EXISTS (SELECT 1 FROM archive.entries)")) ||
        !Exec(QStringLiteral("INSERT OR IGNORE INTO archive.entries SELECT id, time_ms, kind, "
                             "user, host, serial, text, seq, hash FROM main.entries WHERE id <= %1")
                  .arg(lastId)) ||
        !Exec(QStringLiteral("INSERT OR IGNORE INTO archive.instruments SELECT DISTINCT serial "
                             "FROM main.entries WHERE id <= %1 AND serial != ''")
                  .arg(lastId))) {
        return false;
    }
    return Exec(QStringLiteral("INSERT INTO archive.checkpoints (time_ms, seq, head, public_key, "
                               "signature) SELECT time_ms, seq, head, public_key, signature FROM "
                               "main.checkpoints AS c WHERE seq <= %1 AND NOT EXISTS (SELECT 1 "
                               "FROM archive.checkpoints AS a WHERE a.signature = c.signature) "
                               "ORDER BY id")
                    .arg(lastSeq));
}
