#pragma once

#include "history_entry.h"

#include <QAbstractTableModel>

#include <vector>

class CHistoryStore;

// The service history as a table, newest first: time (local), kind, instrument, user, host and
// the entry's text. It holds one page of the entries that pass the filter and reads older
// pages as the view scrolls to them.
class CHistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, KindColumn, InstrumentColumn, UserColumn, HostColumn, TextColumn };
    static constexpr int kColumnCount = 6;
    static constexpr int kPageSize = 200;

    explicit CHistoryModel(QObject* parent = nullptr);

    // Reads from the store from now on (null: shows nothing), from the newest entry.
    void SetStore(const CHistoryStore* store);
    void SetFilter(const HistoryQuery& filter);
    const HistoryQuery& Filter() const { return m_filter; }
    // Reads the newest page again.
    void Reload();
    // A newly committed entry goes on top when the filter lets it through.
    void AddCommitted(const HistoryEntry& entry);

    const HistoryEntry& Entry(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    static QString CellText(const HistoryEntry& entry, int column);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    bool Passes(const HistoryEntry& entry) const;

    const CHistoryStore* m_store = nullptr;
    HistoryQuery m_filter;
    std::vector<HistoryEntry> m_rows;
    bool m_atEnd = true;
};

// What the filter selects, as CSV with a header line; times in local time with their offset.
QString HistoryCsv(const std::vector<HistoryEntry>& entries);
