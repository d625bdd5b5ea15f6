#include "service_report_dlg.h"

#include "control_id.h"
#include "resource.h"
#include "string_table.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CServiceReportDlg::CServiceReportDlg(const QDateTime& clientStartUtc, const QDateTime& nowUtc,
                                     QWidget* parent)
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
    // The edit's caption is the radio button that chooses it, also for the text field inside.
    m_time->setAccessibleName(m_fromTime->text());
    for (QLineEdit* field : m_time->findChildren<QLineEdit*>()) {
        field->setAccessibleName(m_fromTime->text());
    }
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
    layout->addWidget(group);
    layout->addWidget(buttons);
}

QDateTime CServiceReportDlg::HistorySince() const {
    return m_fromTime->isChecked() ? m_time->dateTime().toUTC() : m_clientStartUtc;
}
