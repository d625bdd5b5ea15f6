#include "history_store.h"
#include "history_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

namespace {

constexpr std::int64_t kDayMs = std::int64_t{24} * 60 * 60 * 1000;

HistoryEntry Entry(std::int64_t timeMs, HistoryKind kind, const QString& serial,
                   const QString& text) {
    return {0, timeMs, kind, QStringLiteral("operator"), QStringLiteral("bench"), serial, text};
}

QStringList Texts(const std::vector<HistoryEntry>& entries) {
    QStringList texts;
    for (const HistoryEntry& entry : entries) {
        texts << entry.text;
    }
    return texts;
}

QString BurstTool() {
    return qEnvironmentVariable("ORVIX_BIN_DIR") + QStringLiteral("/orvix-history-burst");
}

class HistoryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("state/orvix/history.sqlite"));
};

TEST_F(HistoryStoreTest, KeepsEntriesAcrossConnectionsAndReadsThemNewestFirstFiltered) {
    {
        CHistoryStore store;
        ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Write))
            << store.ErrorText().toStdString();
        for (HistoryEntry entry : {
                 Entry(1000, HistoryKind::Connection, QString(), QStringLiteral("connected")),
                 Entry(2000, HistoryKind::Action, QStringLiteral("SN-1"),
                       QStringLiteral("Change Flow: accepted")),
                 Entry(3000, HistoryKind::Error, QStringLiteral("SN-1"),
                       QStringLiteral("Error: 100% over_pressure")),
                 Entry(4000, HistoryKind::State, QStringLiteral("SN-2"),
                       QStringLiteral("State: Idle")),
             }) {
            ASSERT_TRUE(store.Append(entry));
            EXPECT_GT(entry.id, 0);
        }
    }
    CHistoryStore reader;
    ASSERT_TRUE(reader.Open(path, CHistoryStore::Mode::Read));
    EXPECT_EQ(Texts(reader.Entries({})), QStringList({"State: Idle", "Error: 100% over_pressure",
                                                      "Change Flow: accepted", "connected"}));
    HistoryQuery query;
    query.kinds = HistoryKindBit(HistoryKind::Action) | HistoryKindBit(HistoryKind::Error);
    query.serial = QStringLiteral("SN-1");
    EXPECT_EQ(Texts(reader.Entries(query)),
              QStringList({"Error: 100% over_pressure", "Change Flow: accepted"}));
    query = {};
    query.search = QStringLiteral("0% OVER_");
    EXPECT_EQ(Texts(reader.Entries(query)), QStringList({"Error: 100% over_pressure"}));
    query.search = QStringLiteral("0%_");
    EXPECT_TRUE(reader.Entries(query).empty()) << "% and _ are matched as they stand";
    EXPECT_EQ(Texts(reader.EntriesSince(3000)),
              QStringList({"State: Idle", "Error: 100% over_pressure"}));
    EXPECT_EQ(reader.Instruments(), QStringList({"SN-1", "SN-2"}));
    HistoryEntry late = Entry(5000, HistoryKind::State, QString(), QStringLiteral("late"));
    EXPECT_FALSE(CHistoryStore().Append(late)) << "a store that is not open takes nothing";
}

TEST_F(HistoryStoreTest, RetentionDropsWhatIsTooOldThenTheOldestBeyondTheSize) {
    CHistoryStore store;
    ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Write));
    const std::int64_t now = 400 * kDayMs;
    HistoryEntry old = Entry(now - 40 * kDayMs, HistoryKind::State, QStringLiteral("SN-OLD"),
                             QStringLiteral("old"));
    ASSERT_TRUE(store.Append(old));
    const QString padding(2000, u'x');
    for (int i = 0; i < 300; ++i) {
        HistoryEntry entry = Entry(now - 1000 + i, HistoryKind::Action, QStringLiteral("SN-1"),
                                   QString::number(i) + padding);
        ASSERT_TRUE(store.Append(entry));
    }
    HistoryRetention retention;
    retention.maxAgeDays = 30;
    retention.maxBytes = 256 * 1024;
    const auto removed = store.Prune(retention, now, [now](std::int64_t count, std::int64_t) {
        return Entry(now, HistoryKind::State, QString(), QStringLiteral("removed %1").arg(count));
    });
    ASSERT_TRUE(removed.has_value()) << store.ErrorText().toStdString();
    EXPECT_GT(*removed, 1);
    EXPECT_LE(store.UsedBytes(), retention.maxBytes);
    EXPECT_EQ(store.Count() + *removed, 301 + 1) << "the removal is itself an entry";
    const std::vector<HistoryEntry> newest = store.Entries({});
    ASSERT_GE(newest.size(), 2U);
    EXPECT_EQ(newest[0].text, QStringLiteral("removed %1").arg(*removed));
    EXPECT_EQ(newest[1].text, QStringLiteral("299") + padding) << "the newest stay";
    EXPECT_EQ(store.Instruments(), QStringList({"SN-1"})) << "an instrument with no entries goes";
}

TEST_F(HistoryStoreTest, ADamagedOrUnwritableFileIsRefusedWithItsReasonAndLeftAsItIs) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    const QByteArray garbage(8192, 'G');
    damaged.write(garbage);
    damaged.close();
    CHistoryStore store;
    EXPECT_FALSE(store.Open(path, CHistoryStore::Mode::Write));
    EXPECT_FALSE(store.ErrorText().isEmpty());
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(damaged.readAll(), garbage);

    // A folder that cannot be made: the writer reports it once and drops the entries; nothing
    // waits or crashes.
    QFile blocker(folder.filePath(QStringLiteral("a-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // The writer's thread may report before anyone listens: what it said stays in Failure().
    CHistoryWriter writer(blocker.fileName() + QStringLiteral("/history.sqlite"), {});
    writer.Append(Entry(1, HistoryKind::Action, QString(), QStringLiteral("lost")));
    writer.Flush();
    EXPECT_FALSE(writer.Failure().isEmpty());
    QSignalSpy failed(&writer, &CHistoryWriter::failed);
    writer.Append(Entry(2, HistoryKind::Action, QString(), QStringLiteral("lost")));
    writer.Flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(failed.count(), 0) << "the same reason is not reported again";

    if (geteuid() != 0) {
        const QString readOnly = folder.filePath(QStringLiteral("read-only.sqlite"));
        ASSERT_TRUE(CHistoryStore().Open(readOnly, CHistoryStore::Mode::Write));
        ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner));
        CHistoryStore refused;
        EXPECT_FALSE(refused.Open(readOnly, CHistoryStore::Mode::Write));
        EXPECT_FALSE(refused.ErrorText().isEmpty());
    }
}

TEST_F(HistoryStoreTest, AClientKilledInABurstLosesNothingCommittedAndTheFileOpens) {
    QProcess burst;
    burst.start(BurstTool(), {path, QStringLiteral("1000000"), QStringLiteral("killed")});
    ASSERT_TRUE(burst.waitForStarted());
    QByteArray printed;
    while (printed.count('\n') < 300 && burst.waitForReadyRead(10000)) {
        printed += burst.readAllStandardOutput();
    }
    burst.kill();
    ASSERT_TRUE(burst.waitForFinished());
    printed += burst.readAllStandardOutput();
    EXPECT_EQ(burst.exitStatus(), QProcess::CrashExit);

    CHistoryStore store;
    ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Write)) << store.ErrorText().toStdString();
    HistoryQuery all;
    all.limit = -1;
    std::set<std::int64_t> stored;
    for (const HistoryEntry& entry : store.Entries(all)) {
        stored.insert(entry.id);
    }
    const QList<QByteArray> ids = printed.split('\n');
    int committed = 0;
    for (const QByteArray& id : ids) {
        if (!id.isEmpty()) {
            ++committed;
            EXPECT_TRUE(stored.count(id.toLongLong()) == 1) << "lost committed entry " << id.data();
        }
    }
    EXPECT_GE(committed, 300);
}

TEST_F(HistoryStoreTest, TwoClientsAppendToOneFileWithoutLosingEither) {
    ASSERT_TRUE(CHistoryStore().Open(path, CHistoryStore::Mode::Write));
    QProcess first;
    QProcess second;
    first.start(BurstTool(), {path, QStringLiteral("300"), QStringLiteral("first")});
    second.start(BurstTool(), {path, QStringLiteral("300"), QStringLiteral("second")});
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    CHistoryStore store;
    ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Read));
    HistoryQuery query;
    query.limit = -1;
    query.search = QStringLiteral("first ");
    EXPECT_EQ(store.Entries(query).size(), 300U);
    query.search = QStringLiteral("second ");
    EXPECT_EQ(store.Entries(query).size(), 300U);
}

} // namespace
