#include "event_log_dock.h"

#include "export_file.h"
#include "history_model.h"
#include "history_store.h"
#include "history_writer.h"
#include "ids_history.h"
#include "ids_trace.h"
#include "records.h"
#include "string_table.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>

namespace {

constexpr int kSearchDelayMs = 300;

// A caption that names its control for assistive technology and takes the focus to it by its
// mnemonic.
QLabel* Caption(int textId, QWidget* control, QWidget* parent) {
    auto* caption = new QLabel(LoadString(textId), parent);
    caption->setBuddy(control);
    control->setAccessibleName(caption->text().remove(u'&'));
    return caption;
}

} // namespace

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
    connect(m_exportButton, &QPushButton::clicked, this, &CEventLogDock::Export);

    // The newest entry stays in sight unless the user has scrolled back to read older ones.
    connect(&m_log, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        QScrollBar* bar = m_list->verticalScrollBar();
        m_list->setProperty("followNewest", bar->value() == bar->maximum());
    });
    connect(&m_log, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_list->model() == &m_log && m_list->property("followNewest").toBool()) {
            m_list->scrollToBottom();
        }
    });

    m_status = new QLabel(contents);
    m_status->setObjectName(QStringLiteral("historyStatusText"));
    m_status->setWordWrap(true);
    // Why the history is not kept comes from the file system and the database.
    m_status->setTextFormat(Qt::PlainText);
    m_status->hide();
    m_filterRow = MakeFilterRow(contents);
    m_filterRow->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_exportButton);
    auto* layout = new QVBoxLayout(contents);
    layout->addWidget(m_status);
    layout->addWidget(m_filterRow);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    setWidget(contents);

    m_searchDelay.setSingleShot(true);
    m_searchDelay.setInterval(kSearchDelayMs);
    connect(&m_searchDelay, &QTimer::timeout, this, &CEventLogDock::ApplyFilter);
}

CEventLogDock::~CEventLogDock() = default;

QWidget* CEventLogDock::MakeFilterRow(QWidget* contents) {
    auto* row = new QWidget(contents);
    m_kindCombo = new QComboBox(row);
    m_kindCombo->setObjectName(QStringLiteral("historyKindCombo"));
    m_kindCombo->addItem(LoadString(IDS_HISTORY_ALL_KINDS), kAllHistoryKinds);
    for (int kind = 0; kind < kHistoryKindCount; ++kind) {
        m_kindCombo->addItem(HistoryKindText(static_cast<HistoryKind>(kind)),
                             HistoryKindBit(static_cast<HistoryKind>(kind)));
    }
    m_instrumentCombo = new QComboBox(row);
    m_instrumentCombo->setObjectName(QStringLiteral("historyInstrumentCombo"));
    m_instrumentCombo->addItem(LoadString(IDS_HISTORY_ALL_INSTRUMENTS), QString());
    m_searchEdit = new QLineEdit(row);
    m_searchEdit->setObjectName(QStringLiteral("historySearchEdit"));
    m_searchEdit->setClearButtonEnabled(true);

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Caption(IDS_HISTORY_KIND_CAPTION, m_kindCombo, row));
    layout->addWidget(m_kindCombo);
    layout->addWidget(Caption(IDS_HISTORY_INSTRUMENT_CAPTION, m_instrumentCombo, row));
    layout->addWidget(m_instrumentCombo);
    layout->addWidget(Caption(IDS_HISTORY_SEARCH_CAPTION, m_searchEdit, row));
    layout->addWidget(m_searchEdit, 1);

    connect(m_kindCombo, &QComboBox::activated, this, &CEventLogDock::ApplyFilter);
    connect(m_instrumentCombo, &QComboBox::activated, this, &CEventLogDock::ApplyFilter);
    connect(m_searchEdit, &QLineEdit::textEdited, &m_searchDelay, qOverload<>(&QTimer::start));
    connect(m_searchEdit, &QLineEdit::returnPressed, this, &CEventLogDock::ApplyFilter);
    return row;
}

void CEventLogDock::AttachHistory(CHistoryWriter* writer) {
    m_status->show();
    if (writer == nullptr) {
        m_status->setText(LoadString(IDS_HISTORY_OFF));
        return;
    }
    m_historyPath = writer->Path();
    m_status->setText(LoadString(IDS_HISTORY_KEPT_IN).arg(QDir::toNativeSeparators(m_historyPath)));
    m_history = new CHistoryModel(this);
    connect(writer, &CHistoryWriter::opened, this, [this] { OpenHistory(m_historyPath); });
    connect(writer, &CHistoryWriter::committed, this, &CEventLogDock::OnCommitted);
    connect(writer, &CHistoryWriter::failed, this, &CEventLogDock::ShowNotKept);
    // The writer may have opened its file, or failed to, before this dock existed.
    if (writer->IsOpened()) {
        OpenHistory(m_historyPath);
    }
    if (const QString failure = writer->Failure(); !failure.isEmpty()) {
        ShowNotKept(failure);
    }
}

void CEventLogDock::OpenHistory(const QString& path) {
    if (m_reader != nullptr) {
        return;
    }
    auto reader = std::make_unique<CHistoryStore>();
    if (!reader->Open(path, CHistoryStore::Mode::Read)) {
        ShowNotKept(reader->ErrorText());
        return;
    }
    m_reader = std::move(reader);
    m_history->SetStore(m_reader.get());
    FillInstruments();
    m_list->setModel(m_history);
    m_list->setHeaderHidden(false);
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(CHistoryModel::TextColumn, QHeaderView::Stretch);
    m_exportButton->setText(LoadString(IDS_HISTORY_EXPORT));
    m_filterRow->show();
}

void CEventLogDock::OnCommitted(const HistoryEntry& entry) {
    if (m_reader == nullptr) {
        return;
    }
    if (!entry.serial.isEmpty() && m_instrumentCombo->findData(entry.serial) < 0) {
        FillInstruments();
    }
    m_history->AddCommitted(entry);
    // A history that could not take entries for a while takes them again.
    m_status->setText(LoadString(IDS_HISTORY_KEPT_IN).arg(QDir::toNativeSeparators(m_historyPath)));
}

void CEventLogDock::ShowNotKept(const QString& reason) {
    m_status->show();
    m_status->setText(LoadString(IDS_HISTORY_NOT_KEPT).arg(reason));
}

void CEventLogDock::FillInstruments() {
    const QString chosen = m_instrumentCombo->currentData().toString();
    while (m_instrumentCombo->count() > 1) {
        m_instrumentCombo->removeItem(m_instrumentCombo->count() - 1);
    }
    for (const QString& serial : m_reader->Instruments()) {
        m_instrumentCombo->addItem(serial, serial);
    }
    m_instrumentCombo->setCurrentIndex(std::max(0, m_instrumentCombo->findData(chosen)));
}

void CEventLogDock::ApplyFilter() {
    m_searchDelay.stop();
    if (m_reader == nullptr) {
        return;
    }
    HistoryQuery filter;
    filter.kinds = m_kindCombo->currentData().toUInt();
    filter.serial = m_instrumentCombo->currentData().toString();
    filter.search = m_searchEdit->text();
    m_history->SetFilter(filter);
}

void CEventLogDock::OnStatusRead(const InstrumentStatus& status, const QString& firstError) {
    m_log.AddStatus(m_clock(), status.nState, status.bErrorsPending != 0, firstError);
}

void CEventLogDock::AddConnectionChange(const QString& text, QDateTime when) {
    m_log.AddConnectionChange(text, std::move(when));
}

void CEventLogDock::Export() {
    if (m_reader == nullptr) {
        ExportTextFile(this, IDS_LOG_EXPORT_CAPTION, IDS_LOG_TEXT_FILTER, IDS_LOG_TEXT_NAME,
                       m_log.Text());
        return;
    }
    HistoryQuery shown = m_history->Filter();
    shown.limit = -1;
    ExportTextFile(this, IDS_HISTORY_EXPORT_CAPTION, IDS_HISTORY_CSV_FILTER, IDS_HISTORY_CSV_NAME,
                   HistoryCsv(m_reader->Entries(shown)));
}
