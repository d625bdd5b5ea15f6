#include "event_log_dock.h"

#include "export_file.h"
#include "ids_trace.h"
#include "records.h"
#include "string_table.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>

CEventLogDock::CEventLogDock(QWidget* parent, Clock clock)
    : QDockWidget(LoadString(IDS_EVENT_LOG), parent), m_clock(std::move(clock)) {
    setObjectName(QStringLiteral("eventLogDock"));

    auto* contents = new QWidget(this);
    // A flat tree view takes rows in and out one by one; a list view lays every row out again.
    m_list = new QTreeView(contents);
    m_list->setModel(&m_log);
    m_list->setRootIsDecorated(false);
    m_list->setHeaderHidden(true);
    m_list->setUniformRowHeights(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setAccessibleName(windowTitle());
    m_exportButton = new QPushButton(LoadString(IDS_LOG_EXPORT), contents);
    m_exportButton->setObjectName(QStringLiteral("exportLogButton"));
    connect(m_exportButton, &QPushButton::clicked, this, &CEventLogDock::ExportText);

    // The newest entry stays in sight unless the user has scrolled back to read older ones.
    connect(&m_log, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        QScrollBar* bar = m_list->verticalScrollBar();
        m_list->setProperty("followNewest", bar->value() == bar->maximum());
    });
    connect(&m_log, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_list->property("followNewest").toBool()) {
            m_list->scrollToBottom();
        }
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_exportButton);
    auto* layout = new QVBoxLayout(contents);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    setWidget(contents);
}

void CEventLogDock::OnStatusRead(const InstrumentStatus& status, const QString& firstError) {
    m_log.AddStatus(m_clock(), status.nState, status.bErrorsPending != 0, firstError);
}

void CEventLogDock::AddConnectionChange(const QString& text, QDateTime when) {
    m_log.AddConnectionChange(text, std::move(when));
}

void CEventLogDock::ExportText() {
    ExportTextFile(this, IDS_LOG_EXPORT_CAPTION, IDS_LOG_TEXT_FILTER, IDS_LOG_TEXT_NAME,
                   m_log.Text());
}
