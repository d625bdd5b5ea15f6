#include "recording_server.h"

#include "history_recorder.h"
#include "ids_history.h"
#include "pump_mask.h"
#include "string_table.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>

#include <array>
#include <functional>

namespace {

std::int64_t Now() {
    return QDateTime::currentMSecsSinceEpoch();
}

QString Number(double value) {
    return QString::number(value);
}

QString Number(std::int32_t value) {
    return QString::number(value);
}

// One of a text's lines by the code the instrument uses for it; a code without a word shows as
// the number.
QString Word(int id, std::int32_t code) {
    const QString word = LoadString(id).section(u'\n', code, code);
    return code >= 0 && !word.isEmpty() ? word : QString::number(code);
}

QString Text(const char* psz) {
    return psz != nullptr ? QString::fromLatin1(psz) : QString();
}

QString PathText(const char* pszPath) {
    return pszPath != nullptr ? QFile::decodeName(pszPath) : QString();
}

QString PumpsText(std::int32_t mask) {
    QStringList pumps;
    constexpr std::array<std::pair<std::int32_t, char16_t>, 3> kPumps{
        {{kPumpMaskA, u'A'}, {kPumpMaskB, u'B'}, {kPumpMaskC, u'C'}}};
    for (const auto& [bit, name] : kPumps) {
        if ((mask & bit) != 0) {
            pumps << QString(QChar(name));
        }
    }
    return LoadString(IDS_HISTORY_PUMPS)
        .arg(pumps.isEmpty() ? LoadString(IDS_HISTORY_NONE) : pumps.join(QStringLiteral(", ")));
}

QString Say(int id) {
    return LoadString(id);
}

template <class... Args> QString Say(int id, const Args&... args) {
    return LoadString(id).arg(args...);
}

} // namespace

QString ResultText(HRESULT hr) {
    if (SUCCEEDED(hr)) {
        return LoadString(IDS_HISTORY_ACCEPTED);
    }
    return LoadString(IDS_HISTORY_FAILED)
        .arg(QString::fromStdString(SystemMessageText(hr)).trimmed(),
             QString::fromStdString(HResultHex(hr)));
}

QString ConfigurationChanges(const std::optional<InstrumentConfiguration>& before,
                             const QString& serialBefore, const InstrumentConfiguration& after,
                             const QString& serialAfter) {
    using Field = std::function<QString(const InstrumentConfiguration&)>;
    const auto yesNo = [](std::int32_t flag) { return Word(IDS_HISTORY_NO_YES, flag != 0); };
    const std::array<Field, 9> fields{{
        [](const auto& c) { return Number(double{c.fSampleLoopVolume}); },
        [](const auto& c) { return Number(c.nSyringeSize); },
        [](const auto&) { return QString(); },
        [](const auto& c) { return Number(double{c.fNeedleVolume}); },
        [yesNo](const auto& c) { return yesNo(c.bPumpCInstalled); },
        [yesNo](const auto& c) { return yesNo(c.bSampleTemp); },
        [yesNo](const auto& c) { return yesNo(c.bTernaryGradient); },
        [yesNo](const auto& c) { return yesNo(c.bManualInjectValve); },
        [yesNo](const auto& c) { return yesNo(c.bPlateFeeder); },
    }};
    // The serial number is a text beside the record, not a field read through the pointer.
    constexpr std::size_t kSerialField = 2;
    QStringList changes;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QString newValue = i == kSerialField ? serialAfter : fields[i](after);
        const QString oldValue = !before             ? LoadString(IDS_HISTORY_NO_SERIAL)
                                 : i == kSerialField ? serialBefore
                                                     : fields[i](*before);
        if (!before || oldValue != newValue) {
            changes << LoadString(IDS_HISTORY_FIELD_CHANGE)
                           .arg(Word(IDS_HISTORY_CONFIGURATION_FIELDS, static_cast<int>(i)),
                                oldValue, newValue);
        }
    }
    return changes.isEmpty() ? LoadString(IDS_HISTORY_NO_FIELD_CHANGED)
                             : changes.join(QStringLiteral(", "));
}

CRecordingInstrumentServer* CRecordingInstrumentServer::Create(IInstrumentServer* inner,
                                                               IServiceHistorySink& sink) {
    return new CRecordingInstrumentServer(inner, sink);
}

CRecordingInstrumentServer::CRecordingInstrumentServer(IInstrumentServer* inner,
                                                       IServiceHistorySink& sink)
    : CForwardingInstrumentServer(inner), m_sink(sink) {}

HRESULT CRecordingInstrumentServer::Recorded(std::int64_t sentMs, HRESULT hr, const QString& what) {
    m_sink.RecordAction(sentMs, LoadString(IDS_HISTORY_RESULT_FORMAT).arg(what, ResultText(hr)));
    return hr;
}

HRESULT CRecordingInstrumentServer::InitializeInstrument(std::int32_t nArg1, std::int32_t nArg2) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->InitializeInstrument(nArg1, nArg2),
                    Say(IDS_HISTORY_RESET_COMMUNICATIONS));
}

HRESULT
CRecordingInstrumentServer::GetInstrumentConfiguration(InstrumentConfiguration** ppConfiguration) {
    const HRESULT hr = Inner()->GetInstrumentConfiguration(ppConfiguration);
    if (SUCCEEDED(hr) && ppConfiguration != nullptr && *ppConfiguration != nullptr) {
        KnownConfiguration known{**ppConfiguration, Text((*ppConfiguration)->pszSerialNumber)};
        known.fields.pszSerialNumber = nullptr;
        m_sink.SetInstrumentSerial(known.serial);
        m_configuration = std::move(known);
    }
    return hr;
}

HRESULT CRecordingInstrumentServer::SetInstrumentConfiguration(
    const InstrumentConfiguration* pConfiguration) {
    const std::int64_t sent = Now();
    const HRESULT hr = Inner()->SetInstrumentConfiguration(pConfiguration);
    if (pConfiguration == nullptr) {
        return Recorded(sent, hr, Say(IDS_HISTORY_APPLY_CONFIGURATION, Say(IDS_HISTORY_NONE)));
    }
    KnownConfiguration applied{*pConfiguration, Text(pConfiguration->pszSerialNumber)};
    applied.fields.pszSerialNumber = nullptr;
    const std::optional<InstrumentConfiguration> before =
        m_configuration ? std::optional(m_configuration->fields) : std::nullopt;
    const QString changes =
        ConfigurationChanges(before, m_configuration ? m_configuration->serial : QString(),
                             applied.fields, applied.serial);
    if (SUCCEEDED(hr)) {
        m_configuration = std::move(applied);
    }
    return Recorded(sent, hr, Say(IDS_HISTORY_APPLY_CONFIGURATION, changes));
}

HRESULT CRecordingInstrumentServer::SetSeparationMethod(const SeparationMethod* pMethod) {
    const std::int64_t sent = Now();
    const QString name = pMethod != nullptr ? Text(pMethod->pszMethodName) : QString();
    return Recorded(sent, Inner()->SetSeparationMethod(pMethod),
                    Say(IDS_HISTORY_SEPARATION_METHOD, name));
}

HRESULT CRecordingInstrumentServer::GoToInitialConditions() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->GoToInitialConditions(), Say(IDS_HISTORY_INITIAL_CONDITIONS));
}

HRESULT CRecordingInstrumentServer::SetPlateConfiguration(std::int32_t nPlates,
                                                          const PlateConfiguration* pPlates) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->SetPlateConfiguration(nPlates, pPlates),
                    Say(IDS_HISTORY_PLATE_CONFIGURATION, Number(nPlates)));
}

HRESULT CRecordingInstrumentServer::PerformInjection(std::int32_t nArg, const InjectionSpec* pFirst,
                                                     const InjectionSpec* pSecond) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->PerformInjection(nArg, pFirst, pSecond),
                    Say(IDS_HISTORY_PERFORM_INJECTION, Number(nArg)));
}

HRESULT CRecordingInstrumentServer::PerformTrigger() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->PerformTrigger(), Say(IDS_HISTORY_PERFORM_TRIGGER));
}

HRESULT CRecordingInstrumentServer::WetPrimeSystem(std::int32_t nVolumes, std::int32_t nPumpMask) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->WetPrimeSystem(nVolumes, nPumpMask),
                    Say(IDS_HISTORY_WET_PRIME, PumpsText(nPumpMask), Number(nVolumes)));
}

HRESULT CRecordingInstrumentServer::ChangeFlow(float fFlow, float fPercentA, float fPercentB,
                                               float fThird) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->ChangeFlow(fFlow, fPercentA, fPercentB, fThird),
                    Say(IDS_HISTORY_CHANGE_FLOW, Number(double{fFlow}), Number(double{fPercentA}),
                        Number(double{fPercentB}), Number(double{fThird})));
}

HRESULT CRecordingInstrumentServer::ConditionColumn(float fValue, std::int32_t nArg) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->ConditionColumn(fValue, nArg),
                    Say(IDS_HISTORY_CONDITION_COLUMN, Number(double{fValue}), Number(nArg)));
}

HRESULT CRecordingInstrumentServer::Equilibrate(float fValue) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->Equilibrate(fValue),
                    Say(IDS_HISTORY_EQUILIBRATE, Number(double{fValue})));
}

HRESULT CRecordingInstrumentServer::HoldAndResumeFlow(std::int32_t nArg) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->HoldAndResumeFlow(nArg),
                    Say(IDS_HISTORY_HOLD_RESUME_FLOW, Number(nArg)));
}

HRESULT CRecordingInstrumentServer::LaunchDiagnostics() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->LaunchDiagnostics(), Say(IDS_HISTORY_LAUNCH_DIAGNOSTICS));
}

HRESULT CRecordingInstrumentServer::ExchangeSamplePlate() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->ExchangeSamplePlate(), Say(IDS_HISTORY_EXCHANGE_PLATE));
}

HRESULT CRecordingInstrumentServer::MoveLift(std::int32_t nArg) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->MoveLift(nArg), Say(IDS_HISTORY_MOVE_LIFT, Number(nArg)));
}

HRESULT CRecordingInstrumentServer::PositionSamplePlate(std::int32_t nExchange) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->PositionSamplePlate(nExchange),
                    Say(IDS_HISTORY_POSITION_PLATE, Word(IDS_HISTORY_PLATE_POSITIONS, nExchange)));
}

HRESULT CRecordingInstrumentServer::SelectPlateRow(std::int32_t nRow) {
    const std::int64_t sent = Now();
    constexpr std::int32_t kRowLetters = 26;
    const QString row =
        nRow >= 0 && nRow < kRowLetters ? QString(QChar(u'A' + nRow)) : Number(nRow);
    return Recorded(sent, Inner()->SelectPlateRow(nRow), Say(IDS_HISTORY_SELECT_ROW, row));
}

HRESULT CRecordingInstrumentServer::SelectPlateColumn(std::int32_t nColumn) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->SelectPlateColumn(nColumn),
                    Say(IDS_HISTORY_SELECT_COLUMN, Number(nColumn)));
}

HRESULT CRecordingInstrumentServer::SendAutoSamplerCommand(BSTR bstrCommand,
                                                           std::int32_t* pnReply) {
    const std::int64_t sent = Now();
    const QString command = bstrCommand != nullptr
                                ? QString::fromUtf16(bstrCommand, SysStringLen(bstrCommand))
                                : QString();
    return Recorded(sent, Inner()->SendAutoSamplerCommand(bstrCommand, pnReply),
                    Say(IDS_HISTORY_AUTOSAMPLER_COMMAND, command));
}

HRESULT CRecordingInstrumentServer::MoveSampleSyringe(std::int32_t nFill) {
    const std::int64_t sent = Now();
    return Recorded(
        sent, Inner()->MoveSampleSyringe(nFill),
        Say(IDS_HISTORY_MOVE_SAMPLE_SYRINGE, Word(IDS_HISTORY_SAMPLE_SYRINGE_MOVES, nFill)));
}

HRESULT CRecordingInstrumentServer::WashSampleSyringe() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->WashSampleSyringe(), Say(IDS_HISTORY_WASH_SAMPLE_SYRINGE));
}

HRESULT CRecordingInstrumentServer::MoveSyringeValve(std::int32_t nValve, std::int32_t nPosition,
                                                     std::int32_t* pnReply) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->MoveSyringeValve(nValve, nPosition, pnReply),
                    Say(IDS_HISTORY_MOVE_SYRINGE_VALVE, Number(nValve),
                        Word(IDS_HISTORY_SYRINGE_VALVE_POSITIONS, nPosition)));
}

HRESULT CRecordingInstrumentServer::StartSilk(std::int32_t nPumpMask) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->StartSilk(nPumpMask),
                    Say(IDS_HISTORY_START_SILK, PumpsText(nPumpMask)));
}

HRESULT CRecordingInstrumentServer::StepPlateFeeder(std::int32_t nFeeder, std::int32_t nNext) {
    const std::int64_t sent = Now();
    // The instrument numbers its feeders from 0; the main window shows them from 1.
    return Recorded(
        sent, Inner()->StepPlateFeeder(nFeeder, nNext),
        Say(IDS_HISTORY_STEP_FEEDER, Number(nFeeder + 1), Word(IDS_HISTORY_FEEDER_STEPS, nNext)));
}

HRESULT CRecordingInstrumentServer::SetSilkWriteToDisk(std::int32_t nSwitch) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->SetSilkWriteToDisk(nSwitch),
                    Say(IDS_HISTORY_SILK_WRITE_TO_DISK, Word(IDS_HISTORY_OFF_ON, nSwitch != 0)));
}

HRESULT CRecordingInstrumentServer::UploadSilkData() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->UploadSilkData(), Say(IDS_HISTORY_UPLOAD_SILK));
}

HRESULT CRecordingInstrumentServer::DownloadSilkData(const char* pszPath) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->DownloadSilkData(pszPath),
                    Say(IDS_HISTORY_DOWNLOAD_SILK, PathText(pszPath)));
}

HRESULT CRecordingInstrumentServer::ResetSilk() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->ResetSilk(), Say(IDS_HISTORY_RESET_SILK));
}

HRESULT CRecordingInstrumentServer::ResetUsage(std::int32_t n1, std::int32_t n2, std::int32_t n3,
                                               std::int32_t n4, std::int32_t n5, std::int32_t n6,
                                               std::int32_t n7, std::int32_t n8, std::int32_t n9,
                                               std::int32_t n10) {
    const std::int64_t sent = Now();
    const std::array<std::int32_t, 10> flags{n1, n2, n3, n4, n5, n6, n7, n8, n9, n10};
    QStringList counters;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        if (flags[i] != 0) {
            counters << Word(IDS_HISTORY_USAGE_COUNTERS, static_cast<std::int32_t>(i));
        }
    }
    return Recorded(sent, Inner()->ResetUsage(n1, n2, n3, n4, n5, n6, n7, n8, n9, n10),
                    Say(IDS_HISTORY_RESET_USAGE, counters.isEmpty()
                                                     ? Say(IDS_HISTORY_NONE)
                                                     : counters.join(QStringLiteral(", "))));
}

HRESULT CRecordingInstrumentServer::DownloadSoftware(const char* pszPath) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->DownloadSoftware(pszPath),
                    Say(IDS_HISTORY_DOWNLOAD_FIRMWARE, PathText(pszPath)));
}

HRESULT CRecordingInstrumentServer::PrepareSoftwareUpgrade() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->PrepareSoftwareUpgrade(), Say(IDS_HISTORY_PREPARE_UPGRADE));
}

HRESULT CRecordingInstrumentServer::DryPrimeSystem(std::int32_t nPumpMask, std::int32_t nCycles) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->DryPrimeSystem(nPumpMask, nCycles),
                    Say(IDS_HISTORY_DRY_PRIME, PumpsText(nPumpMask), Number(nCycles)));
}

HRESULT CRecordingInstrumentServer::StopDryPrime() {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->StopDryPrime(), Say(IDS_HISTORY_STOP_DRY_PRIME));
}

HRESULT CRecordingInstrumentServer::SelectSolvent(std::int32_t nReservoir) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->SelectSolvent(nReservoir),
                    Say(IDS_HISTORY_SELECT_SOLVENT, Number(nReservoir)));
}

HRESULT CRecordingInstrumentServer::MoveSampleSyringeValve(std::int32_t nPosition) {
    const std::int64_t sent = Now();
    return Recorded(
        sent, Inner()->MoveSampleSyringeValve(nPosition),
        Say(IDS_HISTORY_MOVE_SAMPLE_VALVE, Word(IDS_HISTORY_SAMPLE_VALVE_POSITIONS, nPosition)));
}

HRESULT CRecordingInstrumentServer::MoveLeftUnit(std::int32_t nNext) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->MoveLeftUnit(nNext),
                    Say(IDS_HISTORY_MOVE_LEFT_UNIT, Word(IDS_HISTORY_UNIT_STEPS, nNext)));
}

HRESULT CRecordingInstrumentServer::MoveRightUnit(std::int32_t nNext) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->MoveRightUnit(nNext),
                    Say(IDS_HISTORY_MOVE_RIGHT_UNIT, Word(IDS_HISTORY_UNIT_STEPS, nNext)));
}

HRESULT CRecordingInstrumentServer::MoveCenterUnit(std::int32_t nPosition) {
    const std::int64_t sent = Now();
    return Recorded(
        sent, Inner()->MoveCenterUnit(nPosition),
        Say(IDS_HISTORY_MOVE_CENTER_UNIT, Word(IDS_HISTORY_CENTER_POSITIONS, nPosition)));
}

HRESULT CRecordingInstrumentServer::LiftCenterUnit(std::int32_t nDown) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->LiftCenterUnit(nDown),
                    Say(IDS_HISTORY_LIFT_CENTER_UNIT, Word(IDS_HISTORY_UP_DOWN, nDown != 0)));
}

HRESULT CRecordingInstrumentServer::SetAirCompressor(std::int32_t nOn) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->SetAirCompressor(nOn),
                    Say(IDS_HISTORY_AIR_COMPRESSOR, Word(IDS_HISTORY_OFF_ON, nOn != 0)));
}

HRESULT CRecordingInstrumentServer::MoveNeedleUnit(std::int32_t nDown) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->MoveNeedleUnit(nDown),
                    Say(IDS_HISTORY_MOVE_NEEDLE_UNIT, Word(IDS_HISTORY_UP_DOWN, nDown != 0)));
}

HRESULT CRecordingInstrumentServer::MoveSampleNeedle(std::int32_t nDown) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->MoveSampleNeedle(nDown),
                    Say(IDS_HISTORY_MOVE_SAMPLE_NEEDLE, Word(IDS_HISTORY_UP_DOWN, nDown != 0)));
}

HRESULT CRecordingInstrumentServer::SetPlateType(std::int32_t nPlateCode) {
    const std::int64_t sent = Now();
    return Recorded(sent, Inner()->SetPlateType(nPlateCode),
                    Say(IDS_HISTORY_SET_PLATE_TYPE, Number(nPlateCode)));
}
