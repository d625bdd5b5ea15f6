#pragma once

#include "modal_dialog.h"

#include <QDateTime>

class QDateTimeEdit;
class QRadioButton;

// "Service Report": where the report's service history starts, at the client's start or at a
// time the engineer chooses (the start of the visit).
class CServiceReportDlg : public CModalDialog {
    Q_OBJECT
public:
    CServiceReportDlg(const QDateTime& clientStartUtc, const QDateTime& nowUtc,
                      QWidget* parent = nullptr);

    // In UTC.
    QDateTime HistorySince() const;

    QRadioButton* FromStartRadio() const { return m_fromStart; }
    QRadioButton* FromTimeRadio() const { return m_fromTime; }
    QDateTimeEdit* TimeEdit() const { return m_time; }

private:
    QDateTime m_clientStartUtc;
    QRadioButton* m_fromStart = nullptr;
    QRadioButton* m_fromTime = nullptr;
    QDateTimeEdit* m_time = nullptr;
};
