#pragma once

#include "records.h"

#include <QByteArray>
#include <QString>

// Everything the status form shows of one status record, as text.
struct StatusTexts {
    QString statusMessage;
    QString state;
    QString pressure;
    QString flowRate;
    QString compositionA;
    QString compositionB;
    QString compositionC;
    QString columnSet;
    QString columnActual;
    QString sampleSet;
    QString sampleActual;
    QString injectValve;
    QString streamValve;
    QString ventValve;
    QString auxFlowRate;
    QString auxPressure;
};

// Turns a status record into the status form's texts, with the display formats and valve texts
// of the string table.
class CStatusFormatter {
public:
    CStatusFormatter();

    StatusTexts Format(const InstrumentStatus& status) const;

private:
    // printf formats, kept as UTF-8 so that each refresh need not convert them again.
    QByteArray m_pressureFormat;
    QByteArray m_flowRateFormat;
    QByteArray m_compositionAFormat;
    QByteArray m_compositionBFormat;
    QByteArray m_compositionCFormat;
    QByteArray m_temperatureFormat;
    QString m_inject;
    QString m_load;
    QString m_position1;
    QString m_position2;
    QString m_vent;
    QString m_system;
};
