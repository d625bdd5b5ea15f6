// The service history's costs: recording an entry on the GUI thread, chaining and committing
// it on the writer's thread, signing a checkpoint, opening a history of a million entries and
// reading its newest page, verifying all of them (verify_ms), and the file's size per million
// entries.
//   build-rel/bin/orvix-history-bench
#include "fake_instrument_server.h"
#include "history_chain.h"
#include "history_model.h"
#include "history_recorder.h"
#include "history_store.h"
#include "history_verify.h"
#include "history_writer.h"
#include "recording_server.h"
#include "run_benchmarks.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <optional>

namespace {

constexpr int kMillion = 1'000'000;
// Entries between the pauses in which the recording benchmarks let the writer catch up, so
// that its queue stays as short as in use.
constexpr int kFlushEvery = 256;
constexpr int kRecordedIterations = 10'000;

CFakeInstrumentServer* QuietFake() {
    CFakeInstrumentServer* fake = CFakeInstrumentServer::Create();
    fake->onCall = [fake](const std::string&) { fake->calls.clear(); };
    return fake;
}

void FlushNowAndThen(benchmark::State& state, CHistoryWriter& writer, int& sinceFlush) {
    if (++sinceFlush < kFlushEvery) {
        return;
    }
    sinceFlush = 0;
    state.PauseTiming();
    writer.Flush();
    state.ResumeTiming();
}

// The call the client makes with no history: the baseline of the next one.
void ChangeFlowDirect(benchmark::State& state) {
    CFakeInstrumentServer* fake = QuietFake();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fake->ChangeFlow(20.0F, 50.0F, 50.0F, 0.0F));
    }
    fake->Release();
}

// The same call through the recording server: the entry put in words, stamped and queued.
void ChangeFlowRecorded(benchmark::State& state) {
    QTemporaryDir folder;
    CHistoryRecorder recorder(std::make_unique<CHistoryWriter>(
        folder.filePath(QStringLiteral("history.sqlite")), HistoryWriterOptions{}));
    CFakeInstrumentServer* fake = QuietFake();
    IInstrumentServer* server = CRecordingInstrumentServer::Create(fake, recorder);
    int sinceFlush = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(server->ChangeFlow(20.0F, 50.0F, 50.0F, 0.0F));
        FlushNowAndThen(state, *recorder.Writer(), sinceFlush);
    }
    server->Release();
    fake->Release();
}

// A state change or error as the event log hands it over.
void StateEntryRecorded(benchmark::State& state) {
    QTemporaryDir folder;
    CHistoryRecorder recorder(std::make_unique<CHistoryWriter>(
        folder.filePath(QStringLiteral("history.sqlite")), HistoryWriterOptions{}));
    const QString text = QStringLiteral("State: Wet Priming");
    int sinceFlush = 0;
    for (auto _ : state) {
        recorder.Record(HistoryKind::State, 1'700'000'000'000, text);
        FlushNowAndThen(state, *recorder.Writer(), sinceFlush);
    }
}

HistoryEntry TypicalEntry() {
    return {0,
            1'700'000'000'000,
            HistoryKind::Action,
            QStringLiteral("operator"),
            QStringLiteral("lab-pc-07"),
            QStringLiteral("SN-104233"),
            QStringLiteral("Change Flow to 20 \u00B5L/min, A 50 %, B 50 %, C 0 %: accepted")};
}

// The link an entry adds to the chain, on the writer's thread.
void ChainOneEntry(benchmark::State& state) {
    const HistoryEntry entry = TypicalEntry();
    QByteArray link = ChainGenesis();
    std::int64_t seq = 0;
    for (auto _ : state) {
        link = ChainHash(link, ++seq, entry);
        benchmark::DoNotOptimize(link.constData());
    }
}

// A checkpoint signed and committed: at the start, every five minutes and at the exit.
void SignCheckpoint(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("history.sqlite"));
    CHistoryStore store;
    QString error;
    std::optional<CHistoryKey> key;
    if (store.Open(path, CHistoryStore::Mode::Write)) {
        key = CHistoryKey::LoadOrCreate(HistoryKeyPath(path), &error);
    }
    if (!key) {
        state.SkipWithError("could not open the history or make its key");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.AddCheckpoint(*key, 1'700'000'000'000));
    }
}

// What the writer's thread spends on one entry: a transaction flushed to the disk.
void CommitOnWriterThread(benchmark::State& state) {
    QTemporaryDir folder;
    CHistoryStore store;
    if (!store.Open(folder.filePath(QStringLiteral("history.sqlite")),
                    CHistoryStore::Mode::Write)) {
        state.SkipWithError(qPrintable(store.ErrorText()));
        return;
    }
    for (auto _ : state) {
        HistoryEntry entry = TypicalEntry();
        benchmark::DoNotOptimize(store.Append(entry));
    }
}

// A million entries as a year of a busy instrument leaves them: mostly state changes and
// actions, some errors, three instruments.
QString MillionEntryHistory(const QTemporaryDir& folder) {
    const QString path = folder.filePath(QStringLiteral("million.sqlite"));
    {
        CHistoryStore schema;
        if (!schema.Open(path, CHistoryStore::Mode::Write)) {
            return {};
        }
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bulk"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO entries (time_ms, kind, user, host, serial, "
                                     "text, seq, hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        const QStringList texts = {
            QStringLiteral("State: Idle"),
            QStringLiteral("Change Flow to 20 \u00B5L/min, A 50 %, B 50 %, C 0 %: accepted"),
            QStringLiteral("Move syringe valve 3 to deliver: accepted"),
            QStringLiteral("Error: Pressure over the upper limit on pump A"),
            QStringLiteral("Wet Prime of pumps A, B, 3 system volumes: accepted"),
        };
        const QStringList serials = {QStringLiteral("SN-104233"), QStringLiteral("SN-104871"),
                                     QStringLiteral("SN-200014")};
        QByteArray link = ChainGenesis();
        for (int i = 0; i < kMillion; ++i) {
            const HistoryEntry entry{0,
                                     1'700'000'000'000 + i * 30'000LL,
                                     static_cast<HistoryKind>(i % kHistoryKindCount),
                                     QStringLiteral("operator"),
                                     QStringLiteral("lab-pc-07"),
                                     serials[i % serials.size()],
                                     texts[i % texts.size()]};
            link = ChainHash(link, i + 1, entry);
            query.addBindValue(QVariant::fromValue<qlonglong>(entry.timeMs));
            query.addBindValue(static_cast<int>(entry.kind));
            query.addBindValue(entry.user);
            query.addBindValue(entry.host);
            query.addBindValue(entry.serial);
            query.addBindValue(entry.text);
            query.addBindValue(i + 1);
            query.addBindValue(link);
            query.exec();
        }
        for (const QString& serial : serials) {
            QSqlQuery instrument(db);
            instrument.prepare(QStringLiteral("INSERT OR IGNORE INTO instruments VALUES (?)"));
            instrument.addBindValue(serial);
            instrument.exec();
        }
        db.commit();
        query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bulk"));
    return path;
}

// What the Event Log dock does on the GUI thread when the history opens: connect, read the
// newest page through its model, list the instruments. Then, once each, verifying the million
// and the writer opening them.
void OpenMillionAndShowNewestPage(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = MillionEntryHistory(folder);
    if (path.isEmpty()) {
        state.SkipWithError("could not build the history");
        return;
    }
    for (auto _ : state) {
        CHistoryStore reader;
        reader.Open(path, CHistoryStore::Mode::Read);
        CHistoryModel model;
        model.SetStore(&reader);
        benchmark::DoNotOptimize(model.rowCount());
        benchmark::DoNotOptimize(reader.Instruments());
    }
    state.counters["bytes_per_million"] = static_cast<double>(QFileInfo(path).size());
    const auto millisecondsSince = [](std::chrono::steady_clock::time_point start) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    // --verify-history: every link recomputed, every checkpoint checked.
    auto start = std::chrono::steady_clock::now();
    const bool intact = VerifyHistory(path).intact;
    state.counters["verify_ms"] = millisecondsSince(start);
    if (!intact) {
        state.SkipWithError("the million entries did not verify");
    }
    // The writer's own opening checks the file, on its thread.
    CHistoryStore writer;
    start = std::chrono::steady_clock::now();
    writer.Open(path, CHistoryStore::Mode::Write);
    state.counters["writer_open_ms"] = millisecondsSince(start);
}

} // namespace

BENCHMARK(ChangeFlowDirect);
// A fixed count: every entry is also committed on the writer's thread, flushed to the disk,
// and waiting for that between the timed runs is what takes the time.
BENCHMARK(ChangeFlowRecorded)->Iterations(kRecordedIterations);
BENCHMARK(StateEntryRecorded)->Iterations(kRecordedIterations);
BENCHMARK(ChainOneEntry);
BENCHMARK(SignCheckpoint)->Iterations(200);
BENCHMARK(CommitOnWriterThread)->Iterations(500);
BENCHMARK(OpenMillionAndShowNewestPage)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
