#include "event_log.h"

#include "ids_trace.h"
#include "state_text.h"
#include "string_table.h"

namespace {

constexpr char kTimeFormat[] = "yyyy-MM-dd hh:mm:ss";
constexpr char kTimeTextGap[] = "  ";

} // namespace

QString FormatLogEntry(const EventLogEntry& entry) {
    return entry.when.toString(QLatin1String(kTimeFormat)) + QLatin1String(kTimeTextGap) +
           entry.text;
}

CEventLog::CEventLog(std::size_t capacity, QObject* parent)
    : QAbstractListModel(parent), m_entries(capacity), m_stateFormat(LoadString(IDS_LOG_STATE)),
      m_errorFormat(LoadString(IDS_LOG_ERROR)) {}

void CEventLog::AddStatus(std::int64_t msecsSinceEpoch, std::int32_t state, bool errorsPending,
                          const QString& firstError) {
    // Most reads change nothing: the time becomes a date only for an entry.
    const auto when = [msecsSinceEpoch] { return QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch); };
    if (m_lastState != state) {
        m_lastState = state;
        Add(when(), HistoryKind::State, m_stateFormat.arg(QString::fromLatin1(StateText(state))));
    }
    // A pending error whose text could not be read this time is still the one on show.
    if (!errorsPending) {
        m_lastError.clear();
    } else if (!firstError.isEmpty() && firstError != m_lastError) {
        m_lastError = firstError;
        Add(when(), HistoryKind::Error, m_errorFormat.arg(firstError));
    }
}

void CEventLog::AddConnectionChange(const QString& text, QDateTime when) {
    Add(when, HistoryKind::Connection, text);
}

void CEventLog::Add(const QDateTime& when, HistoryKind kind, const QString& text) {
    if (m_entries.Full()) {
        beginRemoveRows(QModelIndex(), 0, 0);
        m_entries.DropOldest();
        endRemoveRows();
    }
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_entries.Push({when, text});
    endInsertRows();
    emit entryAdded(kind, when.toMSecsSinceEpoch(), text);
}

QString CEventLog::Text() const {
    QString text;
    for (std::size_t i = 0; i < m_entries.Size(); ++i) {
        text += FormatLogEntry(m_entries[i]) + u'\n';
    }
    return text;
}

int CEventLog::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.Size());
}

QVariant CEventLog::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    return FormatLogEntry(m_entries[static_cast<std::size_t>(index.row())]);
}
