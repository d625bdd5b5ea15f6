#pragma once

#include "event_log.h"
#include "history_entry.h"

#include <QDateTime>
#include <QDockWidget>
#include <QTimer>

#include <functional>
#include <memory>

class CHistoryModel;
class CHistoryStore;
class CHistoryWriter;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QWidget;
struct InstrumentStatus;

// "Event Log": the time-stamped list of the instrument's state changes, errors and connection
// changes. On its own it holds this session, newest at the bottom, with an export as a text
// file. Given the service history it shows that instead: every session's entries, actions
// included, newest first, filtered by kind, instrument and text, exported as CSV; and it says
// when the history is not being kept, and why.
class CEventLogDock : public QDockWidget {
    Q_OBJECT
public:
    // Milliseconds since the epoch.
    using Clock = std::function<std::int64_t()>;

    explicit CEventLogDock(QWidget* parent = nullptr,
                           Clock clock = &QDateTime::currentMSecsSinceEpoch);
    ~CEventLogDock() override;

    // Shows the history the writer keeps (it must outlive the dock), as soon as its file is
    // open. A null writer means the history is off.
    void AttachHistory(CHistoryWriter* writer);

    CEventLog& Log() { return m_log; }
    QTreeView* List() const { return m_list; }
    QPushButton* ExportButton() const { return m_exportButton; }
    CHistoryModel* History() const { return m_history; }
    QLabel* HistoryStatus() const { return m_status; }
    QComboBox* KindCombo() const { return m_kindCombo; }
    QComboBox* InstrumentCombo() const { return m_instrumentCombo; }
    QLineEdit* SearchEdit() const { return m_searchEdit; }

public slots:
    // A good status read, with the error text the view showed for it (empty when none).
    void OnStatusRead(const InstrumentStatus& status, const QString& firstError);
    void AddConnectionChange(const QString& text, QDateTime when);
    // Saves what the list shows where the user chooses: the session as text, or the history's
    // entries that pass the filter as CSV.
    void Export();
    // Shows the history's entries that pass the kind, instrument and search choices.
    void ApplyFilter();

private:
    QWidget* MakeFilterRow(QWidget* contents);
    void OpenHistory(const QString& path);
    void OnCommitted(const HistoryEntry& entry);
    void ShowNotKept(const QString& reason);
    void FillInstruments();

    Clock m_clock;
    CEventLog m_log;
    QTreeView* m_list = nullptr;
    QPushButton* m_exportButton = nullptr;
    QLabel* m_status = nullptr;
    QWidget* m_filterRow = nullptr;
    QComboBox* m_kindCombo = nullptr;
    QComboBox* m_instrumentCombo = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    // Typing waits for a pause before the history is searched again.
    QTimer m_searchDelay;
    CHistoryModel* m_history = nullptr;
    QString m_historyPath;
    std::unique_ptr<CHistoryStore> m_reader;
};
