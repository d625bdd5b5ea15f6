#include "event_log.h"
#include "pressure_trace.h"
#include "ring_buffer.h"
#include "trace_file.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;
using std::chrono::minutes;

constexpr std::int64_t kTick = 2000;
const QDateTime kStart(QDate(2026, 12, 8), QTime(9, 30, 0));

std::int64_t At(int seconds) {
    return kStart.addSecs(seconds).toMSecsSinceEpoch();
}

TEST(RingBuffer, KeepsTheNewestInOrderOnceFull) {
    CRingBuffer<int> ring(3);
    EXPECT_FALSE(ring.Push(1));
    EXPECT_FALSE(ring.Push(2));
    EXPECT_FALSE(ring.Push(3));
    EXPECT_TRUE(ring.Push(4)) << "the oldest had to go";
    EXPECT_TRUE(ring.Push(5));
    ASSERT_EQ(ring.Size(), 3U);
    EXPECT_EQ(ring[0], 3);
    EXPECT_EQ(ring[2], 5);
    EXPECT_EQ(ring.Newest(), 5);
    ring.DropOldest();
    EXPECT_EQ(ring[0], 4);
    EXPECT_FALSE(ring.Push(6)) << "room again after a drop";
    EXPECT_EQ(ring[2], 6);
}

TEST(PressureTrace, AWeekOfRefreshesKeepsTenMinutes) {
    CPressureTrace trace(minutes(10), milliseconds(kTick));
    EXPECT_EQ(trace.Samples().Capacity(), 301U);
    const std::int64_t weekOfTicks = 7LL * 24 * 3600 * 1000 / kTick;
    for (std::int64_t i = 0; i < weekOfTicks; ++i) {
        trace.Add({i * kTick, static_cast<float>(i), 0.0F, 0.0F});
    }
    EXPECT_EQ(trace.Samples().Size(), 301U);
    const std::vector<TraceSample> shown = trace.Shown();
    ASSERT_EQ(shown.size(), 301U);
    EXPECT_EQ(shown.back().pressure, static_cast<float>(weekOfTicks - 1));
    EXPECT_EQ(shown.back().msecsSinceEpoch - shown.front().msecsSinceEpoch, 600000);
}

TEST(PressureTrace, ShowsOnlyTheLastTenMinutesAfterAGap) {
    CPressureTrace trace(minutes(10), milliseconds(kTick));
    trace.Add({0, 1.0F, 0.0F, 0.0F});
    trace.Add({kTick, 2.0F, 0.0F, 0.0F});
    // The server did not answer for a quarter hour.
    trace.Add({kTick + 15 * 60000, 3.0F, 0.0F, 0.0F});
    const std::vector<TraceSample> shown = trace.Shown();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].pressure, 3.0F);
}

TEST(PressureTrace, CsvHasTheHeaderThenOneLinePerSample) {
    const std::int64_t t0 = kStart.toMSecsSinceEpoch();
    const QString csv = TraceCsv({{t0, 1234.44F, 301.0F, 5.0F}, {t0 + 2500, 0.0F, -1.26F, 0.125F}},
                                 QStringLiteral("Time,P,Aux,Flow"));
    EXPECT_EQ(csv, QStringLiteral("Time,P,Aux,Flow\r\n"
                                  "2026-12-08T09:30:00.000,1234.4,301.0,5.000\r\n"
                                  "2026-12-08T09:30:02.500,0.0,-1.3,0.125\r\n"));
    EXPECT_EQ(TraceCsv({}, QStringLiteral("H")), QStringLiteral("H\r\n"));
}

TEST(EventLog, LogsStateChangesAndEachErrorOnceWhileItLasts) {
    CEventLog log;
    const QString overpressure = QStringLiteral("Pump A overpressure");
    log.AddStatus(At(0), 3, false, QString());
    log.AddStatus(At(2), 3, false, QString());
    log.AddStatus(At(4), 10, true, overpressure);
    log.AddStatus(At(6), 10, true, overpressure);
    // The error list could not be read this time: still the same error.
    log.AddStatus(At(7), 10, true, QString());
    log.AddStatus(At(8), 10, true, overpressure);
    log.AddStatus(At(9), 10, true, QStringLiteral("Pump B stalled"));
    // A reset: the instrument initialises and the errors go; the first comes back.
    log.AddStatus(At(10), 2, false, QString());
    log.AddStatus(At(12), 3, true, overpressure);
    log.AddConnectionChange(QStringLiteral("Server gone"), kStart.addSecs(14));
    EXPECT_EQ(log.Text(), QStringLiteral("2026-12-08 09:30:00  State: Idle\n"
                                         "2026-12-08 09:30:04  State: Error\n"
                                         "2026-12-08 09:30:04  Error: Pump A overpressure\n"
                                         "2026-12-08 09:30:09  Error: Pump B stalled\n"
                                         "2026-12-08 09:30:10  State: Initializing\n"
                                         "2026-12-08 09:30:12  State: Idle\n"
                                         "2026-12-08 09:30:12  Error: Pump A overpressure\n"
                                         "2026-12-08 09:30:14  Server gone\n"));
    EXPECT_EQ(log.rowCount(), 8);
    EXPECT_EQ(log.data(log.index(7)).toString(),
              QStringLiteral("2026-12-08 09:30:14  Server gone"));
}

TEST(EventLog, DropsTheOldestRowsOnceFull) {
    CEventLog log(3);
    int removed = 0;
    QObject::connect(&log, &QAbstractItemModel::rowsRemoved, [&removed] { ++removed; });
    for (int i = 0; i < 5; ++i) {
        log.AddConnectionChange(QString::number(i), kStart);
    }
    EXPECT_EQ(log.rowCount(), 3);
    EXPECT_EQ(removed, 2);
    EXPECT_TRUE(log.data(log.index(0)).toString().endsWith(u'2'));
    EXPECT_TRUE(log.data(log.index(2)).toString().endsWith(u'4'));
    EXPECT_EQ(CEventLog::kCapacity, 20000U);
}

// What the window's client leaves for a report made by another process.
TEST(TraceFile, KeepsTheReadingsPrivateAndFindsNoneInWhatIsNotATrace) {
    QTemporaryDir home;
    const QString path = TraceFilePath(home.filePath(QStringLiteral("history.sqlite")));
    EXPECT_EQ(path, home.filePath(QStringLiteral("pressure-trace.bin")));
    const std::vector<TraceSample> samples{{At(0), 915.5F, 12.25F, 5.0F},
                                           {At(2), -1.0F, 0.0F, 12.5F}};
    QString error;
    ASSERT_TRUE(SaveTraceFile(path, samples, &error)) << error.toStdString();
    const std::vector<TraceSample> read = LoadTraceFile(path);
    ASSERT_EQ(read.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(read[i].msecsSinceEpoch, samples[i].msecsSinceEpoch);
        EXPECT_EQ(read[i].pressure, samples[i].pressure);
        EXPECT_EQ(read[i].auxPressure, samples[i].auxPressure);
        EXPECT_EQ(read[i].flowRate, samples[i].flowRate);
    }
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777U, 0600U);

    const QByteArray bytes = TraceFileBytes(samples);
    EXPECT_TRUE(TraceFromBytes(bytes.left(bytes.size() - 1)).empty()) << "a cut-off file";
    EXPECT_TRUE(TraceFromBytes("orvix pressure trace 2\n").empty());
    EXPECT_TRUE(LoadTraceFile(home.filePath(QStringLiteral("missing.bin"))).empty());
}

} // namespace
