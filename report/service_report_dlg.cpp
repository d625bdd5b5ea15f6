#include "service_report_dlg.h"

#include "control_id.h"
#include "resource.h"
#include "string_table.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum VisitCaption { kEngineer, kCustomer, kSite, kWorkOrder, kAsFound, kWorkDone, kNextService };
enum PartColumn { kPartNumber, kOldSerial, kNewSerial, kPartColumns };
// The next service is due a year after this one unless the engineer says otherwise.
constexpr int kServiceIntervalYears = 1;
// What was found and what was done: the report has room for a paragraph, not a page.
constexpr int kNotesLines = 4;
// Rows of the parts table in view; more scroll.
constexpr int kPartRowsShown = 3;

// A date edit's caption names the text field inside it too.
void NameWithCaption(QWidget* edit, const QString& caption) {
    edit->setAccessibleName(caption);
    for (QLineEdit* field : edit->findChildren<QLineEdit*>()) {
        field->setAccessibleName(caption);
    }
}

QString CellText(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item != nullptr ? item->text().trimmed() : QString();
}

} // namespace

CServiceReportDlg::CServiceReportDlg(const QDateTime& clientStartUtc, const QDateTime& nowUtc,
                                     const ServiceVisit& visit, QWidget* parent)
    : CModalDialog(parent), m_clientStartUtc(clientStartUtc.toUTC()) {
    setObjectName(QStringLiteral("serviceReportDlg"));
    setWindowTitle(LoadString(IDS_REPORT_TITLE));
    setProperty(kControlIdProperty, IDD_SERVICE_REPORT);
    const QString timeFormat = LoadString(IDS_REPORT_EDIT_TIME_FORMAT);

    auto* group = new QGroupBox(LoadString(IDS_REPORT_HISTORY_GROUP), this);
    m_fromStart = new QRadioButton(
        LoadString(IDS_REPORT_FROM_START).arg(m_clientStartUtc.toLocalTime().toString(timeFormat)),
        group);
    m_fromStart->setObjectName(QStringLiteral("fromStartRadio"));
    m_fromStart->setProperty(kControlIdProperty, IDC_REPORT_FROM_START);
    m_fromStart->setChecked(true);
    m_fromTime = new QRadioButton(LoadString(IDS_REPORT_FROM_TIME), group);
    m_fromTime->setObjectName(QStringLiteral("fromTimeRadio"));
    m_fromTime->setProperty(kControlIdProperty, IDC_REPORT_FROM_TIME);
    m_time = new QDateTimeEdit(m_clientStartUtc.toLocalTime(), group);
    m_time->setObjectName(QStringLiteral("fromTimeEdit"));
    m_time->setProperty(kControlIdProperty, IDC_REPORT_FROM_TIME_EDIT);
    m_time->setDisplayFormat(timeFormat);
    m_time->setMaximumDateTime(nowUtc.toLocalTime());
    m_time->setEnabled(false);
    // The edit's caption is the radio button that chooses it.
    NameWithCaption(m_time, m_fromTime->text());
    connect(m_fromTime, &QRadioButton::toggled, m_time, &QWidget::setEnabled);

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(m_fromTime);
    timeRow->addWidget(m_time, 1);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_fromStart);
    groupLayout->addLayout(timeRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CModalDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CModalDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(VisitGroup(visit, nowUtc));
    layout->addWidget(group);
    layout->addWidget(buttons);
}

QWidget* CServiceReportDlg::VisitGroup(const ServiceVisit& visit, const QDateTime& nowUtc) {
    const QStringList captions = LoadString(IDS_REPORT_VISIT_CAPTIONS).split(u'\n');
    auto* group = new QGroupBox(LoadString(IDS_REPORT_VISIT_GROUP), this);
    m_visitGroup = group;
    m_visitForm = new QFormLayout(group);
    m_engineer = AddLine(QStringLiteral("engineerEdit"), captions.value(kEngineer),
                         IDC_REPORT_ENGINEER, visit.engineer);
    m_customer = AddLine(QStringLiteral("customerEdit"), captions.value(kCustomer),
                         IDC_REPORT_CUSTOMER, visit.customer);
    m_site =
        AddLine(QStringLiteral("siteEdit"), captions.value(kSite), IDC_REPORT_SITE, visit.site);
    m_workOrder = AddLine(QStringLiteral("workOrderEdit"), captions.value(kWorkOrder),
                          IDC_REPORT_WORK_ORDER, visit.workOrder);
    m_asFound = AddText(QStringLiteral("asFoundEdit"), captions.value(kAsFound),
                        IDC_REPORT_AS_FOUND, visit.asFound);
    m_workDone = AddText(QStringLiteral("workDoneEdit"), captions.value(kWorkDone),
                         IDC_REPORT_WORK_DONE, visit.workDone);

    const QString partsCaption = LoadString(IDS_REPORT_PARTS);
    m_parts = new QTableWidget(0, kPartColumns, group);
    m_parts->setObjectName(QStringLiteral("partsTable"));
    m_parts->setProperty(kControlIdProperty, IDC_REPORT_PARTS);
    m_parts->setHorizontalHeaderLabels(LoadString(IDS_REPORT_PARTS_HEADINGS).split(u'\n'));
    m_parts->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_parts->verticalHeader()->hide();
    m_parts->setFixedHeight(m_parts->horizontalHeader()->sizeHint().height() +
                            kPartRowsShown * m_parts->verticalHeader()->defaultSectionSize() +
                            2 * m_parts->frameWidth());
    m_parts->setAccessibleName(partsCaption);
    for (const ReplacedPart& part : visit.parts) {
        const int row = m_parts->rowCount();
        m_parts->insertRow(row);
        m_parts->setItem(row, kPartNumber, new QTableWidgetItem(part.partNumber));
        m_parts->setItem(row, kOldSerial, new QTableWidgetItem(part.oldSerial));
        m_parts->setItem(row, kNewSerial, new QTableWidgetItem(part.newSerial));
    }
    KeepOneEmptyPartRow();
    connect(m_parts, &QTableWidget::itemChanged, this, &CServiceReportDlg::KeepOneEmptyPartRow);
    auto* partsLabel = new QLabel(partsCaption, group);
    partsLabel->setBuddy(m_parts);
    m_visitForm->addRow(partsLabel, m_parts);

    const QString nextCaption = captions.value(kNextService);
    m_nextService = new QCheckBox(nextCaption, group);
    m_nextService->setObjectName(QStringLiteral("nextServiceCheck"));
    m_nextService->setProperty(kControlIdProperty, IDC_REPORT_NEXT_SERVICE);
    m_nextService->setChecked(visit.nextServiceDue.isValid());
    m_nextServiceDate =
        new QDateEdit(visit.nextServiceDue.isValid()
                          ? visit.nextServiceDue
                          : nowUtc.toLocalTime().date().addYears(kServiceIntervalYears),
                      group);
    m_nextServiceDate->setObjectName(QStringLiteral("nextServiceEdit"));
    m_nextServiceDate->setProperty(kControlIdProperty, IDC_REPORT_NEXT_SERVICE_DATE);
    m_nextServiceDate->setDisplayFormat(LoadString(IDS_REPORT_DATE_FORMAT));
    m_nextServiceDate->setCalendarPopup(true);
    m_nextServiceDate->setEnabled(m_nextService->isChecked());
    NameWithCaption(m_nextServiceDate, nextCaption);
    connect(m_nextService, &QCheckBox::toggled, m_nextServiceDate, &QWidget::setEnabled);
    m_visitForm->addRow(m_nextService, m_nextServiceDate);
    return group;
}

QLineEdit* CServiceReportDlg::AddLine(const QString& name, const QString& caption, int controlId,
                                      const QString& text) {
    auto* edit = new QLineEdit(text, m_visitGroup);
    edit->setObjectName(name);
    edit->setProperty(kControlIdProperty, controlId);
    edit->setAccessibleName(caption);
    auto* label = new QLabel(caption, m_visitGroup);
    label->setBuddy(edit);
    m_visitForm->addRow(label, edit);
    return edit;
}

QPlainTextEdit* CServiceReportDlg::AddText(const QString& name, const QString& caption,
                                           int controlId, const QString& text) {
    auto* edit = new QPlainTextEdit(text, m_visitGroup);
    edit->setObjectName(name);
    edit->setProperty(kControlIdProperty, controlId);
    edit->setAccessibleName(caption);
    edit->setTabChangesFocus(true);
    edit->setFixedHeight(edit->fontMetrics().lineSpacing() * kNotesLines);
    auto* label = new QLabel(caption, m_visitGroup);
    label->setBuddy(edit);
    m_visitForm->addRow(label, edit);
    return edit;
}

void CServiceReportDlg::KeepOneEmptyPartRow() {
    const int rows = m_parts->rowCount();
    bool lastEmpty = rows > 0;
    for (int column = 0; rows > 0 && column < kPartColumns; ++column) {
        lastEmpty = lastEmpty && CellText(m_parts, rows - 1, column).isEmpty();
    }
    if (!lastEmpty) {
        m_parts->insertRow(rows);
    }
}

QDateTime CServiceReportDlg::HistorySince() const {
    return m_fromTime->isChecked() ? m_time->dateTime().toUTC() : m_clientStartUtc;
}

ServiceVisit CServiceReportDlg::Visit() const {
    ServiceVisit visit;
    visit.engineer = m_engineer->text().trimmed();
    visit.customer = m_customer->text().trimmed();
    visit.site = m_site->text().trimmed();
    visit.workOrder = m_workOrder->text().trimmed();
    visit.asFound = m_asFound->toPlainText().trimmed();
    visit.workDone = m_workDone->toPlainText().trimmed();
    for (int row = 0; row < m_parts->rowCount(); ++row) {
        const QString partNumber = CellText(m_parts, row, kPartNumber);
        if (!partNumber.isEmpty()) {
            visit.parts.push_back({partNumber, CellText(m_parts, row, kOldSerial),
                                   CellText(m_parts, row, kNewSerial)});
        }
    }
    if (m_nextService->isChecked()) {
        visit.nextServiceDue = m_nextServiceDate->date();
    }
    return visit;
}
