#pragma once

#include "modal_dialog.h"
#include "service_visit.h"

#include <QDateTime>

class QCheckBox;
class QDateEdit;
class QDateTimeEdit;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTableWidget;

// "Service Report": the visit (who, for whom, where, the work order, what was found and done,
// the parts replaced, the next service) and where the report's service history starts, at the
// client's start or at a time the engineer chooses (the start of the visit).
class CServiceReportDlg : public CModalDialog {
    Q_OBJECT
public:
    CServiceReportDlg(const QDateTime& clientStartUtc, const QDateTime& nowUtc,
                      const ServiceVisit& visit = {}, QWidget* parent = nullptr);

    // In UTC.
    QDateTime HistorySince() const;
    // Text fields trimmed; rows of the parts table without a part number left out.
    ServiceVisit Visit() const;

    QRadioButton* FromStartRadio() const { return m_fromStart; }
    QRadioButton* FromTimeRadio() const { return m_fromTime; }
    QDateTimeEdit* TimeEdit() const { return m_time; }
    QLineEdit* EngineerEdit() const { return m_engineer; }
    QTableWidget* PartsTable() const { return m_parts; }
    QCheckBox* NextServiceCheck() const { return m_nextService; }
    QDateEdit* NextServiceEdit() const { return m_nextServiceDate; }

private:
    QWidget* VisitGroup(const ServiceVisit& visit, const QDateTime& nowUtc);
    QLineEdit* AddLine(const QString& name, const QString& caption, int controlId,
                       const QString& text);
    QPlainTextEdit* AddText(const QString& name, const QString& caption, int controlId,
                            const QString& text);
    // The parts table keeps one empty row at its end to type the next part into.
    void KeepOneEmptyPartRow();

    QDateTime m_clientStartUtc;
    QRadioButton* m_fromStart = nullptr;
    QRadioButton* m_fromTime = nullptr;
    QDateTimeEdit* m_time = nullptr;
    QWidget* m_visitGroup = nullptr;
    QFormLayout* m_visitForm = nullptr;
    QLineEdit* m_engineer = nullptr;
    QLineEdit* m_customer = nullptr;
    QLineEdit* m_site = nullptr;
    QLineEdit* m_workOrder = nullptr;
    QPlainTextEdit* m_asFound = nullptr;
    QPlainTextEdit* m_workDone = nullptr;
    QTableWidget* m_parts = nullptr;
    QCheckBox* m_nextService = nullptr;
    QDateEdit* m_nextServiceDate = nullptr;
};
