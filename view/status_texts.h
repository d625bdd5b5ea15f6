#pragma once

#include "records.h"

#include <QByteArray>
#include <QString>

#include <optional>

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

// Which of the form's optional values mean something on this instrument. Pump C delivers either
// its share of the gradient (composition line C) or a post-column flow of its own (the auxiliary
// rows), never both; the sample row needs sample heating/cooling.
struct FittedStatusValues {
    bool compositionC;
    bool auxRows;
    bool sampleTemperature;
};
FittedStatusValues FittedStatusValuesOf(bool pumpCInstalled, bool ternaryGradient,
                                        bool sampleTemperature);

// The first pending error through ReadAllErrors. The list stays with the server.
struct FirstErrorReading {
    bool answered = false;
    // Nothing when the call failed or its list held no text.
    std::optional<QString> text;
};
FirstErrorReading ReadFirstError();
