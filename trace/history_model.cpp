#include "history_model.h"

#include "history_store.h"
#include "ids_history.h"
#include "string_table.h"

#include <QDateTime>

namespace {

constexpr char kTimeFormat[] = "yyyy-MM-dd hh:mm:ss";
// Lines end as CSV files customarily do, and as the pressure trace's export ends them.
const QString kCsvLineEnd = QStringLiteral("\r\n");

QString CsvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')) {
        return text;
    }
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

CHistoryModel::CHistoryModel(QObject* parent) : QAbstractTableModel(parent) {}

QString CHistoryModel::CellText(const HistoryEntry& entry, int column) {
    switch (column) {
    case TimeColumn:
        return QDateTime::fromMSecsSinceEpoch(entry.timeMs).toString(QLatin1String(kTimeFormat));
    case KindColumn:
        return HistoryKindText(entry.kind);
    case InstrumentColumn:
        return entry.serial;
    case UserColumn:
        return entry.user;
    case HostColumn:
        return entry.host;
    case TextColumn:
        return entry.text;
    default:
        return {};
    }
}

void CHistoryModel::SetStore(const CHistoryStore* store) {
    m_store = store;
    Reload();
}

void CHistoryModel::SetFilter(const HistoryQuery& filter) {
    m_filter = filter;
    Reload();
}

void CHistoryModel::Reload() {
    beginResetModel();
    m_rows.clear();
    m_atEnd = m_store == nullptr;
    if (m_store != nullptr) {
        HistoryQuery page = m_filter;
        page.limit = kPageSize;
        m_rows = m_store->Entries(page);
        m_atEnd = m_rows.size() < static_cast<std::size_t>(kPageSize);
    }
    endResetModel();
}

bool CHistoryModel::Passes(const HistoryEntry& entry) const {
    return (m_filter.kinds & HistoryKindBit(entry.kind)) != 0 &&
           (m_filter.serial.isEmpty() || entry.serial == m_filter.serial) &&
           entry.timeMs >= m_filter.sinceMs &&
           (m_filter.search.isEmpty() || entry.text.contains(m_filter.search, Qt::CaseInsensitive));
}

void CHistoryModel::AddCommitted(const HistoryEntry& entry) {
    // An entry committed while the page was read is on it already.
    if (m_store == nullptr || !Passes(entry) ||
        (!m_rows.empty() && entry.id <= m_rows.front().id)) {
        return;
    }
    beginInsertRows(QModelIndex(), 0, 0);
    m_rows.insert(m_rows.begin(), entry);
    endInsertRows();
}

int CHistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CHistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CHistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return {};
    }
    return CellText(Entry(index.row()), index.column());
}

QVariant CHistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return LoadString(IDS_HISTORY_COLUMNS).section(u',', section, section);
}

bool CHistoryModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_atEnd;
}

void CHistoryModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent) || m_rows.empty()) {
        return;
    }
    HistoryQuery page = m_filter;
    page.limit = kPageSize;
    page.beforeId = m_rows.back().id;
    std::vector<HistoryEntry> older = m_store->Entries(page);
    m_atEnd = older.size() < static_cast<std::size_t>(kPageSize);
    if (older.empty()) {
        return;
    }
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(older.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(older.begin()),
                  std::make_move_iterator(older.end()));
    endInsertRows();
}

QString HistoryCsv(const std::vector<HistoryEntry>& entries) {
    QString csv = LoadString(IDS_HISTORY_COLUMNS) + kCsvLineEnd;
    for (const HistoryEntry& entry : entries) {
        QStringList fields;
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(entry.timeMs);
        fields << local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
        for (int column = CHistoryModel::KindColumn; column < CHistoryModel::kColumnCount;
             ++column) {
            fields << CsvField(CHistoryModel::CellText(entry, column));
        }
        csv += fields.join(u',') + kCsvLineEnd;
    }
    return csv;
}
