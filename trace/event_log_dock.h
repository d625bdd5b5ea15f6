#pragma once

#include "event_log.h"

#include <QDateTime>
#include <QDockWidget>

#include <functional>

class QTreeView;
class QPushButton;
struct InstrumentStatus;

// "Event Log": the time-stamped list of the instrument's state changes, errors and connection
// changes, newest at the bottom, with an export as a text file.
class CEventLogDock : public QDockWidget {
    Q_OBJECT
public:
    // Milliseconds since the epoch.
    using Clock = std::function<std::int64_t()>;

    explicit CEventLogDock(QWidget* parent = nullptr,
                           Clock clock = &QDateTime::currentMSecsSinceEpoch);

    CEventLog& Log() { return m_log; }
    QTreeView* List() const { return m_list; }
    QPushButton* ExportButton() const { return m_exportButton; }

public slots:
    // A good status read, with the error text the view showed for it (empty when none).
    void OnStatusRead(const InstrumentStatus& status, const QString& firstError);
    void AddConnectionChange(const QString& text, QDateTime when);
    // Saves the whole log as text where the user chooses.
    void ExportText();

private:
    Clock m_clock;
    CEventLog m_log;
    QTreeView* m_list = nullptr;
    QPushButton* m_exportButton = nullptr;
};
