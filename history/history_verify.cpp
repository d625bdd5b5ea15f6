#include "history_verify.h"

#include "history_chain.h"
#include "ids_history.h"
#include "string_table.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace {

// An entry's columns in the order the walk selects them.
enum Column { Id, TimeMs, Kind, User, Host, Serial, Text, Seq, Hash };

QByteArrayView Bytes(sqlite3_stmt* row, int column) {
    const void* data = sqlite3_column_blob(row, column);
    return {static_cast<const char*>(data), sqlite3_column_bytes(row, column)};
}

struct Database {
    sqlite3* db = nullptr;
    ~Database() { sqlite3_close(db); }
};

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

// An entry as the walk needs it; its texts copied only when it is the one named.
struct Row {
    std::int64_t id = 0;
    std::int64_t timeMs = 0;
    std::int64_t seq = -1;
    QByteArray hash;
};

class CChainWalk {
public:
    CChainWalk(sqlite3* db, const QString& path) : m_db(db), m_path(path) {}

    HistoryVerification Run();

private:
    bool Prepare(Statement& statement, const char* sql);
    QString Failure() const;
    bool LoadCheckpoints();
    // Holds the link at seq against the checkpoints that end there.
    std::optional<QString> CheckCheckpoints(std::int64_t seq, const QByteArray& hash);
    std::optional<Row> Next(Statement& rows, QByteArray* recomputed, const QByteArray& previous);

    sqlite3* m_db;
    QString m_path;
    std::vector<HistoryCheckpoint> m_checkpoints;
    std::size_t m_nextCheckpoint = 0;
    std::int64_t m_verifiedUpTo = 0;
    bool m_failed = false;
};

bool CChainWalk::Prepare(Statement& statement, const char* sql) {
    return sqlite3_prepare_v2(m_db, sql, -1, &statement.stmt, nullptr) == SQLITE_OK;
}

QString CChainWalk::Failure() const {
    return LoadString(IDS_VERIFY_UNREADABLE)
        .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(sqlite3_errmsg(m_db)));
}

bool CChainWalk::LoadCheckpoints() {
    Statement rows;
    if (!Prepare(rows, "SELECT time_ms, seq, head, public_key, signature FROM checkpoints "
                       "ORDER BY seq, id")) {
        return false;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(rows.stmt)) == SQLITE_ROW) {
        m_checkpoints.push_back(
            {sqlite3_column_int64(rows.stmt, 0), sqlite3_column_int64(rows.stmt, 1),
             Bytes(rows.stmt, 2).toByteArray(), Bytes(rows.stmt, 3).toByteArray(),
             Bytes(rows.stmt, 4).toByteArray()});
    }
    return step == SQLITE_DONE;
}

std::optional<QString> CChainWalk::CheckCheckpoints(std::int64_t seq, const QByteArray& hash) {
    bool matched = false;
    for (; m_nextCheckpoint < m_checkpoints.size() && m_checkpoints[m_nextCheckpoint].seq <= seq;
         ++m_nextCheckpoint) {
        const HistoryCheckpoint& checkpoint = m_checkpoints[m_nextCheckpoint];
        // Checkpoints before the oldest entry kept covered entries the retention removed.
        if (checkpoint.seq < seq) {
            continue;
        }
        if (checkpoint.head != hash) {
            return LoadString(IDS_VERIFY_CHECKPOINT_MISMATCH)
                .arg(m_verifiedUpTo + 1)
                .arg(seq)
                .arg(HistoryTimeText(checkpoint.timeMs));
        }
        matched = true;
    }
    if (matched) {
        m_verifiedUpTo = seq;
    }
    return std::nullopt;
}

HistoryVerification CChainWalk::Run() {
    Statement probe;
    if (!Prepare(probe, "SELECT (SELECT count(*) FROM pragma_table_info('entries') WHERE name = "
                        "'seq'), (SELECT count(*) FROM sqlite_master WHERE name = 'chain_base')")) {
        return {false, Failure()};
    }
    if (sqlite3_step(probe.stmt) != SQLITE_ROW) {
        return {false, Failure()};
    }
    if (sqlite3_column_int(probe.stmt, 0) == 0 || sqlite3_column_int(probe.stmt, 1) == 0) {
        return {false, LoadString(IDS_VERIFY_NOT_CHAINED).arg(QDir::toNativeSeparators(m_path))};
    }
    if (!LoadCheckpoints()) {
        return {false, Failure()};
    }
    for (const HistoryCheckpoint& checkpoint : m_checkpoints) {
        if (!checkpoint.SignatureIsValid()) {
            return {false,
                    LoadString(IDS_VERIFY_BAD_SIGNATURE).arg(HistoryTimeText(checkpoint.timeMs))};
        }
    }
    Statement base;
    if (!Prepare(base, "SELECT seq, hash FROM chain_base") ||
        sqlite3_step(base.stmt) != SQLITE_ROW) {
        return {false, Failure()};
    }
    std::int64_t expected = sqlite3_column_int64(base.stmt, 0);
    QByteArray previous = Bytes(base.stmt, 1).toByteArray();
    m_verifiedUpTo = expected;
    if (auto mismatch = CheckCheckpoints(expected, previous)) {
        return {false, *mismatch};
    }
    ++expected;

    Statement rows;
    if (!Prepare(rows, "SELECT id, time_ms, kind, user, host, serial, text, seq, hash FROM "
                       "entries ORDER BY id")) {
        return {false, Failure()};
    }
    std::int64_t count = 0;
    QByteArray recomputed;
    std::optional<Row> current = Next(rows, &recomputed, previous);
    while (current) {
        ++count;
        const QByteArray link = recomputed;
        const std::int64_t seqAfter = current->seq == expected ? expected + 1 : expected;
        // What follows tells an inserted entry from a changed one, and a move from a removal.
        std::optional<Row> next =
            Next(rows, &recomputed, current->seq == expected ? link : previous);
        const bool nextTakesThisPlace = next && next->seq == expected;
        if (current->seq == expected && link != current->hash) {
            return {false, nextTakesThisPlace ? LoadString(IDS_VERIFY_INSERTED)
                                                    .arg(expected - 1)
                                                    .arg(current->id)
                                                    .arg(HistoryTimeText(current->timeMs))
                                              : LoadString(IDS_VERIFY_CHANGED)
                                                    .arg(expected)
                                                    .arg(HistoryTimeText(current->timeMs))};
        }
        if (current->seq > expected) {
            return {false, nextTakesThisPlace ? LoadString(IDS_VERIFY_REORDERED)
                                                    .arg(expected)
                                                    .arg(current->seq)
                                                    .arg(HistoryTimeText(current->timeMs))
                                              : LoadString(IDS_VERIFY_REMOVED)
                                                    .arg(expected)
                                                    .arg(current->seq - 1)
                                                    .arg(current->seq)
                                                    .arg(HistoryTimeText(current->timeMs))};
        }
        if (current->seq < expected) {
            return {false, LoadString(IDS_VERIFY_INSERTED)
                               .arg(expected - 1)
                               .arg(current->id)
                               .arg(HistoryTimeText(current->timeMs))};
        }
        if (auto mismatch = CheckCheckpoints(expected, link)) {
            return {false, *mismatch};
        }
        previous = link;
        expected = seqAfter;
        current = std::move(next);
    }
    if (m_failed) {
        return {false, Failure()};
    }
    for (; m_nextCheckpoint < m_checkpoints.size(); ++m_nextCheckpoint) {
        const HistoryCheckpoint& checkpoint = m_checkpoints[m_nextCheckpoint];
        if (checkpoint.seq >= expected) {
            return {false, LoadString(IDS_VERIFY_TAIL_REMOVED)
                               .arg(expected)
                               .arg(checkpoint.seq)
                               .arg(HistoryTimeText(checkpoint.timeMs))};
        }
    }
    const auto latest = std::max_element(
        m_checkpoints.begin(), m_checkpoints.end(),
        [](const HistoryCheckpoint& a, const HistoryCheckpoint& b) { return a.timeMs < b.timeMs; });
    return {true, LoadString(IDS_VERIFY_INTACT)
                      .arg(count)
                      .arg(latest == m_checkpoints.end() ? LoadString(IDS_VERIFY_NO_CHECKPOINT)
                                                         : HistoryTimeText(latest->timeMs))};
}

std::optional<Row> CChainWalk::Next(Statement& rows, QByteArray* recomputed,
                                    const QByteArray& previous) {
    const int step = sqlite3_step(rows.stmt);
    if (step != SQLITE_ROW) {
        m_failed = step != SQLITE_DONE;
        return std::nullopt;
    }
    sqlite3_stmt* row = rows.stmt;
    Row read;
    read.id = sqlite3_column_int64(row, Id);
    read.timeMs = sqlite3_column_int64(row, TimeMs);
    read.seq = sqlite3_column_type(row, Seq) == SQLITE_NULL ? -1 : sqlite3_column_int64(row, Seq);
    read.hash = Bytes(row, Hash).toByteArray();
    const ChainFields fields{read.timeMs,        sqlite3_column_int64(row, Kind),
                             Bytes(row, User),   Bytes(row, Host),
                             Bytes(row, Serial), Bytes(row, Text)};
    *recomputed = ChainHash(previous, read.seq, fields);
    return read;
}

} // namespace

HistoryVerification VerifyHistory(const QString& path) {
    if (!QFile::exists(path)) {
        return {false, LoadString(IDS_VERIFY_UNREADABLE)
                           .arg(QDir::toNativeSeparators(path), QStringLiteral("no such file"))};
    }
    Database database;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &database.db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        return {false, LoadString(IDS_VERIFY_UNREADABLE)
                           .arg(QDir::toNativeSeparators(path),
                                QString::fromUtf8(sqlite3_errmsg(database.db)))};
    }
    return CChainWalk(database.db, path).Run();
}
