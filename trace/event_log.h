#pragma once

#include "history_entry.h"
#include "ring_buffer.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

struct EventLogEntry {
    QDateTime when;
    QString text;
};

// "yyyy-MM-dd hh:mm:ss  text", in local time: the log's line, on screen and in its export.
QString FormatLogEntry(const EventLogEntry& entry);

// The instrument's story, one time-stamped line per event: each state change, each error the
// status view shows, each change of the connection to the instrument server. It keeps the
// newest entries only, so a week of running cannot exhaust memory, even with an instrument that
// changes state on every refresh.
class CEventLog : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr std::size_t kCapacity = 20000;

    explicit CEventLog(std::size_t capacity = kCapacity, QObject* parent = nullptr);

    // A good status read: a state other than the last read's makes an entry, and so does an
    // error text other than the last one shown. An error stays one entry for as long as the
    // instrument keeps it pending, and makes a new one if it comes back after a read without it.
    void AddStatus(std::int64_t msecsSinceEpoch, std::int32_t state, bool errorsPending,
                   const QString& firstError);

    // The whole log, one formatted line per entry, oldest first.
    QString Text() const;

    const CRingBuffer<EventLogEntry>& Entries() const { return m_entries; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

public slots:
    // A change of the connection to the instrument server, with its own text.
    void AddConnectionChange(const QString& text, QDateTime when);

signals:
    // Every entry as it is made, for the service history.
    void entryAdded(HistoryKind kind, qint64 whenMs, const QString& text);

private:
    void Add(const QDateTime& when, HistoryKind kind, const QString& text);

    CRingBuffer<EventLogEntry> m_entries;
    std::optional<std::int32_t> m_lastState;
    QString m_lastError;
    QString m_stateFormat;
    QString m_errorFormat;
};
