#include "history_writer.h"

#include "history_chain.h"
#include "history_recorder.h"
#include "history_store.h"
#include "ids_history.h"
#include "private_files.h"
#include "string_table.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <optional>

namespace {

using Clock = std::chrono::steady_clock;
// How long the exit pauses between tries at a file that is busy.
constexpr std::chrono::milliseconds kExitRetryPause{100};
// The longest the thread sleeps with nothing to do; a wake-up then finds nothing and sleeps on.
constexpr std::chrono::hours kIdleWait{1};
constexpr char kUnsavedSeparator = '\t';
constexpr int kUnsavedFields = 7;

// Entries the writer makes itself carry this client's user and computer.
HistoryEntry OwnEntry(std::int64_t timeMs, HistoryKind kind, const QString& text) {
    return {0, timeMs, kind, LoginName(), QSysInfo::machineHostName(), QString(), text};
}

// One line of the side file: the count, the first and last times, whom they were stamped for,
// and why they were not written.
QByteArray UnsavedLine(std::int64_t count, const HistoryEntry& first, std::int64_t lastMs,
                       QString reason) {
    reason.replace(QLatin1Char(kUnsavedSeparator), u' ').replace(u'\n', u' ');
    const QStringList fields = {QString::number(count),
                                QString::number(first.timeMs),
                                QString::number(lastMs),
                                first.user,
                                first.host,
                                first.serial,
                                reason};
    return fields.join(QLatin1Char(kUnsavedSeparator)).toUtf8() + '\n';
}

} // namespace

QString HistoryArchivePath(const QString& historyPath) {
    return QFileInfo(historyPath).absoluteDir().filePath(QStringLiteral("history-archive.sqlite"));
}

QString HistoryUnsavedPath(const QString& historyPath) {
    return historyPath + QStringLiteral(".unsaved");
}

// What the writer's thread holds: the store, the key, and when to try and sign next.
class CHistoryWriter::Session {
public:
    explicit Session(CHistoryWriter& writer) : m_writer(writer) {
        m_store.SetBusyGiveUp([&writer] {
            return Clock::now().time_since_epoch().count() >= writer.m_giveUpAt.load();
        });
    }

    bool IsOpen() const { return m_store.IsOpen(); }
    Clock::time_point LastTry() const { return m_lastTry; }
    Clock::time_point NextCheckpoint() const { return m_nextCheckpoint; }

    // Opens the file when it is not open and writes what waits, until the file refuses.
    void Work();
    // Writes what it can until the deadline, signs the head, and leaves the rest to the side
    // file for the next start.
    void Finish(Clock::time_point deadline);

private:
    bool TryOpen();
    bool WriteFront();
    void RecoverUnsaved();
    void Prune(std::int64_t nowMs);
    void Checkpoint();
    void Report(const QString& reason);
    void Resume();
    void SaveUnsaved();
    HistoryEntry EntryOf(const Item& item) const;

    CHistoryWriter& m_writer;
    CHistoryStore m_store;
    std::optional<CHistoryKey> m_key;
    QString m_lastFailure;
    Clock::time_point m_lastTry;
    Clock::time_point m_nextCheckpoint = Clock::time_point::max();
    int m_sincePrune = 0;
};

void CHistoryWriter::Session::Work() {
    m_lastTry = Clock::now();
    if (!m_store.IsOpen() && !TryOpen()) {
        const std::lock_guard lock(m_writer.m_mutex);
        m_writer.m_waiting = true;
        return;
    }
    while (WriteFront()) {
    }
    if (Clock::now() >= m_nextCheckpoint) {
        Checkpoint();
    }
}

bool CHistoryWriter::Session::TryOpen() {
    const QString archive =
        m_writer.m_options.archive ? HistoryArchivePath(m_writer.m_path) : QString();
    if (!m_store.Open(m_writer.m_path, CHistoryStore::Mode::Write, archive)) {
        Report(m_store.ErrorText());
        return false;
    }
    QString keyError;
    m_key = CHistoryKey::LoadOrCreate(HistoryKeyPath(m_writer.m_path), &keyError);
    {
        const std::lock_guard lock(m_writer.m_mutex);
        m_writer.m_opened = true;
        if (m_key) {
            m_writer.m_publicKey = m_key->PublicKey();
        }
    }
    Resume();
    emit m_writer.opened();
    const std::int64_t nowMs = QDateTime::currentMSecsSinceEpoch();
    if (!m_key) {
        HistoryEntry note =
            OwnEntry(nowMs, HistoryKind::Error, LoadString(IDS_HISTORY_NOT_SIGNED).arg(keyError));
        m_store.Append(note);
    }
    RecoverUnsaved();
    Prune(nowMs);
    Checkpoint();
    return true;
}

HistoryEntry CHistoryWriter::Session::EntryOf(const Item& item) const {
    if (item.dropped == 0) {
        return item.entry;
    }
    HistoryEntry gap = item.entry;
    gap.kind = HistoryKind::Error;
    gap.text =
        LoadString(IDS_HISTORY_GAP)
            .arg(item.dropped)
            .arg(HistoryTimeText(item.entry.timeMs), HistoryTimeText(item.lastMs), item.reason);
    return gap;
}

bool CHistoryWriter::Session::WriteFront() {
    std::optional<HistoryEntry> entry;
    {
        const std::lock_guard lock(m_writer.m_mutex);
        if (m_writer.m_queue.empty()) {
            return false;
        }
        entry = EntryOf(m_writer.m_queue.front());
    }
    if (!m_store.Append(*entry)) {
        Report(m_store.ErrorText());
        const std::lock_guard lock(m_writer.m_mutex);
        m_writer.m_waiting = true;
        return false;
    }
    {
        const std::lock_guard lock(m_writer.m_mutex);
        m_writer.m_queue.pop_front();
    }
    Resume();
    emit m_writer.committed(*entry);
    if (++m_sincePrune >= kPruneEvery) {
        m_sincePrune = 0;
        Prune(entry->timeMs);
    }
    return true;
}

void CHistoryWriter::Session::RecoverUnsaved() {
    QFile side(HistoryUnsavedPath(m_writer.m_path));
    if (!side.exists()) {
        return;
    }
    if (!side.open(QIODevice::ReadOnly)) {
        Report(side.errorString());
        return;
    }
    const QList<QByteArray> lines = side.readAll().split('\n');
    side.close();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields =
            QString::fromUtf8(lines[i]).split(QLatin1Char(kUnsavedSeparator));
        if (fields.size() != kUnsavedFields) {
            continue;
        }
        Item item;
        item.dropped = fields[0].toLongLong();
        item.entry = {
            0,        fields[1].toLongLong(), HistoryKind::Error, fields[3], fields[4], fields[5],
            QString()};
        item.lastMs = fields[2].toLongLong();
        item.reason = fields[6];
        HistoryEntry gap = EntryOf(item);
        if (item.dropped > 0 && !m_store.Append(gap)) {
            // Those recorded go from the file; the rest wait for the next start.
            Report(m_store.ErrorText());
            QString error;
            WritePrivateFile(side.fileName(), lines.mid(i).join('\n'), &error);
            return;
        }
    }
    side.remove();
}

void CHistoryWriter::Session::Prune(std::int64_t nowMs) {
    const auto removed = m_store.Prune(m_writer.m_options.retention, nowMs,
                                       [nowMs](std::int64_t count, std::int64_t keptFromMs) {
                                           return OwnEntry(nowMs, HistoryKind::State,
                                                           LoadString(IDS_HISTORY_RETENTION_REMOVED)
                                                               .arg(count)
                                                               .arg(HistoryTimeText(keptFromMs)));
                                       });
    if (!removed) {
        Report(m_store.ErrorText());
    }
}

void CHistoryWriter::Session::Checkpoint() {
    m_nextCheckpoint = Clock::now() + m_writer.m_options.checkpointPeriod;
    if (m_key) {
        m_store.AddCheckpoint(*m_key, QDateTime::currentMSecsSinceEpoch());
    }
}

void CHistoryWriter::Session::Report(const QString& reason) {
    if (reason == m_lastFailure) {
        return;
    }
    m_lastFailure = reason;
    {
        const std::lock_guard lock(m_writer.m_mutex);
        m_writer.m_failure = reason;
    }
    emit m_writer.failed(reason);
}

void CHistoryWriter::Session::Resume() {
    if (m_lastFailure.isEmpty()) {
        return;
    }
    m_lastFailure.clear();
    {
        const std::lock_guard lock(m_writer.m_mutex);
        m_writer.m_failure.clear();
    }
    emit m_writer.resumed();
}

void CHistoryWriter::Session::Finish(Clock::time_point deadline) {
    for (;;) {
        {
            const std::lock_guard lock(m_writer.m_mutex);
            if (m_writer.m_queue.empty()) {
                break;
            }
        }
        if (Clock::now() >= deadline) {
            break;
        }
        // A file that would not open has been tried at every entry; another try's waits
        // would only hold the exit.
        if (!m_store.IsOpen()) {
            break;
        }
        if (WriteFront()) {
            continue;
        }
        std::this_thread::sleep_for(
            std::min<Clock::duration>(kExitRetryPause, deadline - Clock::now()));
    }
    if (m_store.IsOpen() && Clock::now() < deadline) {
        Checkpoint();
    }
    SaveUnsaved();
}

void CHistoryWriter::Session::SaveUnsaved() {
    const std::lock_guard lock(m_writer.m_mutex);
    if (m_writer.m_queue.empty()) {
        return;
    }
    std::int64_t count = 0;
    for (const Item& item : m_writer.m_queue) {
        count += item.dropped > 0 ? item.dropped : 1;
    }
    const Item& last = m_writer.m_queue.back();
    const QString reason =
        m_writer.m_failure.isEmpty() ? LoadString(IDS_HISTORY_EXIT_TOO_SOON) : m_writer.m_failure;
    const QString path = HistoryUnsavedPath(m_writer.m_path);
    QString error;
    QByteArray lines;
    if (QFile earlier(path); earlier.open(QIODevice::ReadOnly)) {
        lines = earlier.readAll();
    }
    lines += UnsavedLine(count, m_writer.m_queue.front().entry,
                         last.dropped > 0 ? last.lastMs : last.entry.timeMs, reason);
    if (!WritePrivateFile(path, lines, &error)) {
        // Nowhere left on this computer to keep them: standard error is what remains.
        qWarning("%s", qPrintable(LoadString(IDS_HISTORY_GAP)
                                      .arg(count)
                                      .arg(HistoryTimeText(m_writer.m_queue.front().entry.timeMs),
                                           HistoryTimeText(last.entry.timeMs), error)));
    }
}

CHistoryWriter::CHistoryWriter(QString path, HistoryWriterOptions options, QObject* parent)
    : QObject(parent), m_path(std::move(path)), m_options(options) {
    qRegisterMetaType<HistoryEntry>();
    // Busy from the start: a Flush before the thread runs waits for its first try.
    m_busy = true;
    m_thread = std::thread([this] { Run(); });
}

CHistoryWriter::~CHistoryWriter() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_stopDeadline = Clock::now() + m_options.exitWait;
        m_giveUpAt = m_stopDeadline.time_since_epoch().count();
    }
    m_wake.notify_one();
    m_thread.join();
}

void CHistoryWriter::Append(HistoryEntry entry) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_queue.size() < m_options.queueLimit) {
            m_queue.push_back({std::move(entry), 0, 0, QString()});
        } else if (Item& last = m_queue.back(); last.dropped > 0) {
            ++last.dropped;
            last.lastMs = entry.timeMs;
        } else {
            const std::int64_t timeMs = entry.timeMs;
            m_queue.push_back(
                {std::move(entry), 1, timeMs,
                 m_failure.isEmpty() ? LoadString(IDS_HISTORY_QUEUE_FULL) : m_failure});
        }
        // A new entry is the moment to try a file that refused the last one again.
        m_waiting = false;
    }
    m_wake.notify_one();
}

void CHistoryWriter::Flush() {
    std::unique_lock lock(m_mutex);
    m_drained.wait(lock, [this] { return (m_queue.empty() || m_waiting) && !m_busy; });
}

bool CHistoryWriter::IsOpened() const {
    const std::lock_guard lock(m_mutex);
    return m_opened;
}

QString CHistoryWriter::Failure() const {
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

QByteArray CHistoryWriter::PublicKey() const {
    const std::lock_guard lock(m_mutex);
    return m_publicKey;
}

Clock::time_point CHistoryWriter::WakeTime(const Session& session) const {
    Clock::time_point wake = Clock::now() + kIdleWait;
    if (!session.IsOpen() || (m_waiting && !m_queue.empty())) {
        wake = std::min(wake, session.LastTry() + m_options.retryPeriod);
    }
    return std::min(wake, session.NextCheckpoint());
}

void CHistoryWriter::Run() {
    Session session(*this);
    std::unique_lock lock(m_mutex);
    for (;;) {
        lock.unlock();
        session.Work();
        lock.lock();
        m_busy = false;
        m_drained.notify_all();
        m_wake.wait_until(lock, WakeTime(session),
                          [this] { return m_stopping || (!m_waiting && !m_queue.empty()); });
        if (m_stopping) {
            break;
        }
        m_busy = true;
        m_waiting = false;
    }
    const Clock::time_point deadline = m_stopDeadline;
    lock.unlock();
    session.Finish(deadline);
}
