#pragma once

#include "command_target.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <span>

class QLabel;

// The Test menu: each command tries one server operation by hand with fixed arguments and
// releases whatever comes back. Only two show anything: "Get Separation Method" writes the two
// temperature set points into the status form, and "ReadAllData" appends the first data block
// to data.bin. Like the operations they try, they report no errors, except that a data file
// that cannot be written is named in the status bar.
class CTestCommands : public QObject, public ICommandTarget {
    Q_OBJECT
public:
    // The set points go to these texts of the status form until its next refresh.
    CTestCommands(QLabel* columnSetText, QLabel* sampleSetText, QObject* parent = nullptr);

    bool HasCommand(int commandId) const override;
    void OnCommand(int commandId) override;

signals:
    // A message for the status bar.
    void statusMessage(const QString& text);

private:
    using Handler = void (CTestCommands::*)();
    // Null for commands without a handler: MoveFeeder has none, so its entry stays greyed.
    static Handler HandlerFor(int commandId);

    void OnChangeFlow();
    void OnConditionColumn();
    void OnEquilibrate();
    void OnExchangeSamplePlate();
    void OnGetInstrumentConfiguration();
    void OnGetSeparationMethod();
    void OnGoToInitialConditions();
    void OnHoldAndResumeFlow();
    void OnInitializeInstrument();
    void OnLaunchDiagnostics();
    void OnMoveLift();
    void OnPerformInjection();
    void OnPerformTrigger();
    void OnReadAllData();
    void OnReadAllErrors();
    void OnReadStatus();
    void OnSetInstrumentConfiguration();
    void OnSetPlateConfiguration();
    void OnSetRunActiveLed();
    void OnSetSeparationMethod();
    void OnWetPrimeSystem();

    void ShowSetPoint(QLabel* text, float value);
    void AppendToDataFile(std::span<const std::int32_t> values);

    QLabel* m_columnSetText;
    QLabel* m_sampleSetText;
};
