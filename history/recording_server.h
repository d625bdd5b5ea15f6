#pragma once

#include "forwarding_server.h"

#include <QString>

#include <cstdint>
#include <optional>

struct IServiceHistorySink;

// Wraps the instrument server so that every call that changes the instrument is recorded once,
// when it is made, with its arguments in words and the result the server answered, whoever
// makes it (dialogs, pages, the Test menu). Reads pass through unrecorded, except that the
// configuration read through it names the instrument in later entries and is the "old" side
// of the fields a configuration apply changes.
class CRecordingInstrumentServer final : public CForwardingInstrumentServer {
public:
    // Reference count 1. The sink must outlive it.
    static CRecordingInstrumentServer* Create(IInstrumentServer* inner, IServiceHistorySink& sink);

    HRESULT InitializeInstrument(std::int32_t nArg1, std::int32_t nArg2) override;
    HRESULT GetInstrumentConfiguration(InstrumentConfiguration** ppConfiguration) override;
    HRESULT SetSeparationMethod(const SeparationMethod* pMethod) override;
    HRESULT GoToInitialConditions() override;
    HRESULT SetPlateConfiguration(std::int32_t nPlates, const PlateConfiguration* pPlates) override;
    HRESULT PerformInjection(std::int32_t nArg, const InjectionSpec* pFirst,
                             const InjectionSpec* pSecond) override;
    HRESULT PerformTrigger() override;
    HRESULT WetPrimeSystem(std::int32_t nVolumes, std::int32_t nPumpMask) override;
    HRESULT ChangeFlow(float fFlow, float fPercentA, float fPercentB, float fThird) override;
    HRESULT ConditionColumn(float fValue, std::int32_t nArg) override;
    HRESULT Equilibrate(float fValue) override;
    HRESULT HoldAndResumeFlow(std::int32_t nArg) override;
    HRESULT LaunchDiagnostics() override;
    HRESULT ExchangeSamplePlate() override;
    HRESULT MoveLift(std::int32_t nArg) override;
    HRESULT PositionSamplePlate(std::int32_t nExchange) override;
    HRESULT SelectPlateRow(std::int32_t nRow) override;
    HRESULT SelectPlateColumn(std::int32_t nColumn) override;
    HRESULT SendAutoSamplerCommand(BSTR bstrCommand, std::int32_t* pnReply) override;
    HRESULT MoveSampleSyringe(std::int32_t nFill) override;
    HRESULT WashSampleSyringe() override;
    HRESULT MoveSyringeValve(std::int32_t nValve, std::int32_t nPosition,
                             std::int32_t* pnReply) override;
    HRESULT StartSilk(std::int32_t nPumpMask) override;
    HRESULT StepPlateFeeder(std::int32_t nFeeder, std::int32_t nNext) override;
    HRESULT SetSilkWriteToDisk(std::int32_t nSwitch) override;
    HRESULT UploadSilkData() override;
    HRESULT DownloadSilkData(const char* pszPath) override;
    HRESULT ResetSilk() override;
    HRESULT SetInstrumentConfiguration(const InstrumentConfiguration* pConfiguration) override;
    HRESULT ResetUsage(std::int32_t n1, std::int32_t n2, std::int32_t n3, std::int32_t n4,
                       std::int32_t n5, std::int32_t n6, std::int32_t n7, std::int32_t n8,
                       std::int32_t n9, std::int32_t n10) override;
    HRESULT DownloadSoftware(const char* pszPath) override;
    HRESULT PrepareSoftwareUpgrade() override;
    HRESULT DryPrimeSystem(std::int32_t nPumpMask, std::int32_t nCycles) override;
    HRESULT StopDryPrime() override;
    HRESULT SelectSolvent(std::int32_t nReservoir) override;
    HRESULT MoveSampleSyringeValve(std::int32_t nPosition) override;
    HRESULT MoveLeftUnit(std::int32_t nNext) override;
    HRESULT MoveRightUnit(std::int32_t nNext) override;
    HRESULT MoveCenterUnit(std::int32_t nPosition) override;
    HRESULT LiftCenterUnit(std::int32_t nDown) override;
    HRESULT SetAirCompressor(std::int32_t nOn) override;
    HRESULT MoveNeedleUnit(std::int32_t nDown) override;
    HRESULT MoveSampleNeedle(std::int32_t nDown) override;
    HRESULT SetPlateType(std::int32_t nPlateCode) override;

private:
    // The configuration as last read or applied, its text pointer not kept.
    struct KnownConfiguration {
        InstrumentConfiguration fields;
        QString serial;
    };

    CRecordingInstrumentServer(IInstrumentServer* inner, IServiceHistorySink& sink);
    ~CRecordingInstrumentServer() override = default;

    // Records what was asked at the time the call went out with what the server answered.
    HRESULT Recorded(std::int64_t sentMs, HRESULT hr, const QString& what);

    IServiceHistorySink& m_sink;
    std::optional<KnownConfiguration> m_configuration;
};

// The result part of an entry: "accepted", or the failure's text and code.
QString ResultText(HRESULT hr);
// The configuration fields that differ, each with its old and new value, in the page's order.
QString ConfigurationChanges(const std::optional<InstrumentConfiguration>& before,
                             const QString& serialBefore, const InstrumentConfiguration& after,
                             const QString& serialAfter);
