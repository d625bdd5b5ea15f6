#include "history_recorder.h"
#include "history_settings.h"
#include "history_store.h"
#include "history_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

namespace {

// Retries only when an entry comes, so that each step below is one known try.
HistoryWriterOptions TryOnEveryEntry() {
    HistoryWriterOptions options;
    options.retryPeriod = std::chrono::hours(1);
    return options;
}

// Entries of today: the retention, which runs when the file opens, keeps them.
HistoryEntry Entry(std::int64_t offsetMs, const QString& text) {
    static const std::int64_t start = QDateTime::currentMSecsSinceEpoch();
    return {0,
            start + offsetMs,
            HistoryKind::Action,
            QStringLiteral("operator"),
            QStringLiteral("lab-pc"),
            QString(),
            text};
}

QStringList OldestFirst(const QString& path) {
    CHistoryStore store;
    EXPECT_TRUE(store.Open(path, CHistoryStore::Mode::Read)) << store.ErrorText().toStdString();
    HistoryQuery all;
    all.limit = -1;
    QStringList texts;
    for (const HistoryEntry& entry : store.Entries(all)) {
        texts.prepend(entry.text);
    }
    return texts;
}

// Fills the file system until a write fails.
void Fill(const QString& path) {
    QFile filler(path);
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(64 * 1024, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

// A small file system of its own, so that the disk can fill up; needs the right to mount.
class SmallDisk {
public:
    SmallDisk() {
        mounted = QProcess::execute(QStringLiteral("mount"),
                                    {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                     QStringLiteral("-o"), QStringLiteral("size=4m"),
                                     QStringLiteral("tmpfs"), folder.path()}) == 0;
    }
    ~SmallDisk() {
        if (mounted) {
            QProcess::execute(QStringLiteral("umount"), {folder.path()});
        }
    }
    QTemporaryDir folder;
    bool mounted = false;
};

TEST(HistoryWriterFaults, AFullDiskLosesNothingSilentlyAndWritingResumesOnceThereIsSpace) {
    SmallDisk disk;
    if (!disk.mounted) {
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    }
    const QString path = disk.folder.filePath(QStringLiteral("state/history.sqlite"));
    const QString filler = disk.folder.filePath(QStringLiteral("filler"));
    HistoryWriterOptions options = TryOnEveryEntry();
    options.queueLimit = 3;
    options.retryPeriod = std::chrono::milliseconds(20);
    const QString big(200 * 1024, u'x');
    {
        Fill(filler);
        CHistoryWriter writer(path, options);
        writer.Append(Entry(1, QStringLiteral("waited for the disk")));
        writer.Flush();
        EXPECT_FALSE(writer.IsOpened());
        EXPECT_FALSE(writer.Failure().isEmpty());
        EXPECT_FALSE(QFile::exists(path)) << "no empty file is left behind";

        ASSERT_TRUE(QFile::remove(filler));
        writer.Append(Entry(2, QStringLiteral("first after the space came back")));
        writer.Flush();
        EXPECT_TRUE(writer.IsOpened());
        EXPECT_TRUE(writer.Failure().isEmpty());

        Fill(filler);
        for (int i = 3; i <= 7; ++i) {
            writer.Append(Entry(i * 1000, QStringLiteral("big %1 ").arg(i) + big));
        }
        writer.Flush();
        EXPECT_FALSE(writer.Failure().isEmpty());
        // The queue is full: what ends the gap is the writer's own next try.
        ASSERT_TRUE(QFile::remove(filler));
        ASSERT_TRUE(QTest::qWaitFor([&writer] { return writer.Failure().isEmpty(); }));
        writer.Flush();
        writer.Append(Entry(8000, QStringLiteral("after the gap")));
        writer.Flush();
    }
    const QStringList texts = OldestFirst(path);
    QStringList shown;
    for (const QString& text : texts) {
        shown << text.left(100);
    }
    ASSERT_EQ(texts.size(), 7) << shown.join(u'|').toStdString();
    EXPECT_EQ(texts[0], QStringLiteral("waited for the disk"));
    EXPECT_EQ(texts[1], QStringLiteral("first after the space came back"));
    // Three of the five waited in the queue; the queue could not hold the other two.
    for (int i = 3; i <= 5; ++i) {
        EXPECT_EQ(texts[i - 1], QStringLiteral("big %1 ").arg(i) + big);
    }
    EXPECT_TRUE(texts[5].startsWith(QStringLiteral("2 entries could not be kept between ")))
        << texts[5].toStdString();
    EXPECT_EQ(texts[6], QStringLiteral("after the gap"));
}

TEST(HistoryWriterFaults, AnotherClientsLockHoldsTheExitBrieflyAndWhatWaitedIsRecordedNextStart) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.sqlite"));
    ASSERT_TRUE(CHistoryStore().Open(path, CHistoryStore::Mode::Write));
    QProcess holder;
    holder.start(qEnvironmentVariable("ORVIX_BIN_DIR") + QStringLiteral("/orvix-history-burst"),
                 {path, QStringLiteral("hold"), QStringLiteral("stuck")});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readAllStandardOutput(), QByteArray("held\n"));
    HistoryWriterOptions options = TryOnEveryEntry();
    options.exitWait = std::chrono::milliseconds(300);
    {
        CHistoryWriter writer(path, options);
        for (int i = 1; i <= 10; ++i) {
            writer.Append(Entry(i * 1000, QStringLiteral("behind the lock")));
        }
    }
    EXPECT_TRUE(QFile::exists(HistoryUnsavedPath(path)));
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));

    {
        CHistoryWriter writer(path, TryOnEveryEntry());
        writer.Flush();
        EXPECT_TRUE(writer.IsOpened());
    }
    EXPECT_FALSE(QFile::exists(HistoryUnsavedPath(path)));
    const QStringList texts = OldestFirst(path);
    ASSERT_EQ(texts.size(), 1) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("10 entries could not be kept between")));
}

TEST(HistorySettings, AnInvalidSettingFallsBackToTheDefaultAndSaysSo) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("profile.conf"));
    {
        QSettings profile(file, QSettings::IniFormat);
        profile.setValue(QStringLiteral("History/MaxAgeDays"), QStringLiteral("ten"));
        profile.setValue(QStringLiteral("History/MaxSizeMB"), QStringLiteral("9000000000000"));
    }
    HistorySettings settings = HistorySettings::Read(QSettings(file, QSettings::IniFormat));
    EXPECT_EQ(settings.retention.maxAgeDays, HistoryRetention().maxAgeDays);
    EXPECT_EQ(settings.retention.maxBytes, HistoryRetention().maxBytes);
    ASSERT_EQ(settings.problems.size(), 2);
    EXPECT_TRUE(settings.problems[0].contains(QStringLiteral("MaxAgeDays \u201Cten\u201D")));
    EXPECT_TRUE(settings.problems[1].contains(QStringLiteral("9000000000000")));

    {
        QSettings profile(file, QSettings::IniFormat);
        profile.setValue(QStringLiteral("History/MaxAgeDays"), QStringLiteral("365 days"));
        profile.setValue(QStringLiteral("History/MaxSizeMB"), QStringLiteral("64"));
        profile.setValue(QStringLiteral("History/Archive"), false);
    }
    settings = HistorySettings::Read(QSettings(file, QSettings::IniFormat));
    EXPECT_EQ(settings.retention.maxAgeDays, HistoryRetention().maxAgeDays);
    EXPECT_EQ(settings.retention.maxBytes, 64 * 1024 * 1024);
    EXPECT_FALSE(settings.archive);
    EXPECT_EQ(settings.problems.size(), 1);
}

TEST(HistoryRecorder, TheUserComesFromTheAccountNotTheEnvironment) {
    const QByteArray saved = qgetenv("LOGNAME");
    qputenv("LOGNAME", "someone-else");
    qputenv("USER", "someone-else");
    EXPECT_EQ(LoginName(), QString::fromLocal8Bit(getpwuid(geteuid())->pw_name));
    qputenv("LOGNAME", saved);
}

} // namespace
