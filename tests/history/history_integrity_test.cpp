#include "history_chain.h"
#include "history_store.h"
#include "history_verify.h"
#include "history_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr std::int64_t kDayMs = std::int64_t{24} * 60 * 60 * 1000;
constexpr std::int64_t kCheckpointMs = 1'700'000'100'000;

HistoryEntry Entry(std::int64_t timeMs, const QString& text) {
    return {0,
            timeMs,
            HistoryKind::Action,
            QStringLiteral("operator"),
            QStringLiteral("lab-pc"),
            QStringLiteral("SN-1"),
            text};
}

// Runs statements on the file as someone with write access and a SQLite shell would.
void Tamper(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tamper"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const QString& statement : statements) {
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tamper"));
}

std::string Verified(const QString& path) {
    return VerifyHistory(path).text.toStdString();
}

mode_t Mode(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
    return info.st_mode & 0777U;
}

class HistoryIntegrity : public ::testing::Test {
protected:
    void SetUp() override {
        CHistoryStore store;
        ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Write));
        QString error;
        key = CHistoryKey::LoadOrCreate(HistoryKeyPath(path), &error);
        ASSERT_TRUE(key) << error.toStdString();
        for (int i = 1; i <= 6; ++i) {
            HistoryEntry entry = Entry(1'700'000'000'000 + i, QStringLiteral("entry %1").arg(i));
            ASSERT_TRUE(store.Append(entry));
        }
        ASSERT_TRUE(store.AddCheckpoint(*key, kCheckpointMs));
    }

    // A copy of the file, changed by the statements, as --verify-history names it.
    std::string Verdict(const QStringList& statements) {
        const QString copy = folder.filePath(QStringLiteral("copy-%1.sqlite").arg(++copies));
        EXPECT_TRUE(QFile::copy(path, copy));
        Tamper(copy, statements);
        const HistoryVerification result = VerifyHistory(copy);
        EXPECT_FALSE(result.intact) << result.text.toStdString();
        return result.text.toStdString();
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("state/history.sqlite"));
    std::optional<CHistoryKey> key;
    int copies = 0;
};

TEST_F(HistoryIntegrity, VerificationNamesTheFirstEntryChangedRemovedInsertedOrReordered) {
    const HistoryVerification intact = VerifyHistory(path);
    EXPECT_TRUE(intact.intact);
    EXPECT_EQ(intact.text.toStdString(), std::string("intact: 6 entries, last checkpoint "
                                                     "2023-11-14T22:15:00.000Z"));

    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"UPDATE entries SET text = 'entry 3, edited' WHERE seq = 3"},
         "entry 3 (2023-11-14T22:13:20.003Z) was changed"},
        {{"DELETE FROM entries WHERE seq = 3"}, "entries 3 to 3 were removed, before entry 4"},
        {{"CREATE TEMP TABLE old AS SELECT * FROM entries",
          "UPDATE entries SET time_ms = o.time_ms, text = o.text, seq = o.seq, hash = o.hash "
          "FROM temp.old AS o WHERE (entries.seq, o.seq) IN (VALUES (3, 4), (4, 3))"},
         "entries 3 and 4 were reordered"},
        {{"UPDATE entries SET id = id + 100 WHERE seq >= 4",
          "INSERT INTO entries SELECT 4, time_ms, kind, user, host, serial, 'made up', seq + 1, "
          "hash FROM entries WHERE seq = 3"},
         "an entry was inserted after entry 3"},
        {{"DELETE FROM entries WHERE seq = 6"}, "entries 6 to 6 were removed from the end"},
        {{"UPDATE checkpoints SET seq = 5"},
         "the checkpoint of 2023-11-14T22:15:00.000Z is not validly signed"},
    };
    for (const auto& [statements, start] : cases) {
        const std::string verdict = Verdict(statements);
        EXPECT_EQ(verdict.substr(0, start.size()), start) << verdict;
    }
}

TEST_F(HistoryIntegrity, AChainRewrittenAfterAnEditStillFailsTheOldCheckpoint) {
    HistoryQuery all;
    all.limit = -1;
    std::vector<HistoryEntry> entries;
    {
        CHistoryStore reader;
        ASSERT_TRUE(reader.Open(path, CHistoryStore::Mode::Read));
        entries = reader.Entries(all);
    }
    std::reverse(entries.begin(), entries.end());
    entries[2].text = QStringLiteral("entry 3, edited");
    QStringList rewrite;
    QByteArray link = ChainGenesis();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto seq = static_cast<std::int64_t>(i + 1);
        link = ChainHash(link, seq, entries[i]);
        rewrite << QStringLiteral("UPDATE entries SET text = '%1', hash = x'%2' WHERE seq = %3")
                       .arg(entries[i].text, QString::fromLatin1(link.toHex()))
                       .arg(seq);
    }
    EXPECT_EQ(Verdict(rewrite), std::string("entries 1 to 6 do not match the checkpoint of "
                                            "2023-11-14T22:15:00.000Z: one of them was "
                                            "changed"));
}

TEST_F(HistoryIntegrity, AHistoryFromBeforeTheChainIsChainedWhenOpenedAndVerifies) {
    const QString old = folder.filePath(QStringLiteral("old.sqlite"));
    Tamper(old, {"CREATE TABLE entries (id INTEGER PRIMARY KEY, time_ms INTEGER NOT NULL, kind "
                 "INTEGER NOT NULL, user TEXT NOT NULL, host TEXT NOT NULL, serial TEXT NOT "
                 "NULL, text TEXT NOT NULL)",
                 "CREATE TABLE instruments (serial TEXT PRIMARY KEY) WITHOUT ROWID",
                 "INSERT INTO entries VALUES (1, 1000, 0, 'operator', 'lab-pc', 'SN-1', 'one'), "
                 "(2, 2000, 1, 'operator', 'lab-pc', 'SN-1', 'two')",
                 "PRAGMA user_version=1"});
    EXPECT_FALSE(VerifyHistory(old).intact);
    CHistoryStore store;
    ASSERT_TRUE(store.Open(old, CHistoryStore::Mode::Write)) << store.ErrorText().toStdString();
    HistoryEntry third = Entry(3000, QStringLiteral("three"));
    ASSERT_TRUE(store.Append(third));
    EXPECT_EQ(Verified(old), std::string("intact: 3 entries, last checkpoint none"));
    EXPECT_EQ(store.Entries({}).size(), 3U);
}

TEST_F(HistoryIntegrity, RetentionMovesWhatItRemovesToAVerifiableArchiveAndSaysSo) {
    const QString archive = HistoryArchivePath(path);
    const std::int64_t now = 1'700'000'000'000 + 40 * kDayMs;
    {
        CHistoryStore store;
        ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Write, archive));
        HistoryEntry recent = Entry(now - kDayMs, QStringLiteral("recent"));
        ASSERT_TRUE(store.Append(recent));
        HistoryRetention retention;
        retention.maxAgeDays = 30;
        const auto removed = store.Prune(retention, now, [now](std::int64_t count, std::int64_t) {
            return Entry(now, QStringLiteral("Retention removed %1").arg(count));
        });
        ASSERT_EQ(removed, std::optional<std::int64_t>(6)) << store.ErrorText().toStdString();
        ASSERT_TRUE(store.AddCheckpoint(*key, now));
    }
    EXPECT_EQ(Verified(path),
              std::string("intact: 2 entries, last checkpoint 2023-12-24T22:13:20.000Z"));
    EXPECT_EQ(Verified(archive),
              std::string("intact: 6 entries, last checkpoint 2023-11-14T22:15:00.000Z"));
    EXPECT_EQ(Mode(QFileInfo(path).absolutePath()), 0700U);
    for (const QString& file : {path, archive, HistoryKeyPath(path)}) {
        EXPECT_EQ(Mode(file), 0600U) << file.toStdString();
    }
}

} // namespace
