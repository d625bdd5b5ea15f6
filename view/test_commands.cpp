#include "test_commands.h"

#include "call_origin.h"
#include "ids_history.h"
#include "instrument_server.h"
#include "pump_mask.h"
#include "raw_data_file.h"
#include "record_memory.h"
#include "resource.h"
#include "string_table.h"
#include "test_records.h"
#include "value_label.h"

#include <QDir>
#include <QLabel>

#include <span>

namespace {

// The fixed arguments of the commands; what they mean is the server's business.
constexpr float kFlow = 20.0F;
// The composition adds up to 99: these commands bypass the Change Flow dialog's checks.
constexpr float kPercentEach = 33.0F;
constexpr float kConditionColumnValue = 10.0F;
constexpr std::int32_t kConditionColumnArg = 1;
constexpr float kEquilibrateValue = 10.0F;
constexpr std::int32_t kHoldAndResumeArg = 1;
constexpr std::int32_t kMoveLiftArg = 1;
constexpr std::int32_t kInjectionArg = 0;
constexpr std::int32_t kPrimeVolumes = 5;
// All three pumps, whether or not pump C is fitted: the server decides what to make of it.
constexpr std::int32_t kAllPumps = kPumpMaskA | kPumpMaskB | kPumpMaskC;
constexpr std::int32_t kReadAllErrorsArg = 1;

} // namespace

CTestCommands::CTestCommands(QLabel* columnSetText, QLabel* sampleSetText, QObject* parent)
    : QObject(parent), m_columnSetText(columnSetText), m_sampleSetText(sampleSetText) {}

CTestCommands::Handler CTestCommands::HandlerFor(int commandId) {
    switch (commandId) {
    case ID_TEST_CHANGE_FLOW:
        return &CTestCommands::OnChangeFlow;
    case ID_TEST_CONDITION_COLUMN:
        return &CTestCommands::OnConditionColumn;
    case ID_TEST_EQUILIBRATE:
        return &CTestCommands::OnEquilibrate;
    case ID_TEST_EXCHANGE_SAMPLE_PLATE:
        return &CTestCommands::OnExchangeSamplePlate;
    case ID_TEST_GET_INSTRUMENT_CONFIGURATION:
        return &CTestCommands::OnGetInstrumentConfiguration;
    case ID_TEST_GET_SEPARATION_METHOD:
        return &CTestCommands::OnGetSeparationMethod;
    case ID_TEST_GO_TO_INITIAL_CONDITIONS:
        return &CTestCommands::OnGoToInitialConditions;
    case ID_TEST_HOLD_AND_RESUME_FLOW:
        return &CTestCommands::OnHoldAndResumeFlow;
    case ID_TEST_INITIALIZE_INSTRUMENT:
        return &CTestCommands::OnInitializeInstrument;
    case ID_TEST_LAUNCH_DIAGNOSTICS:
        return &CTestCommands::OnLaunchDiagnostics;
    case ID_TEST_MOVE_LIFT:
        return &CTestCommands::OnMoveLift;
    case ID_TEST_PERFORM_INJECTION:
        return &CTestCommands::OnPerformInjection;
    case ID_TEST_PERFORM_TRIGGER:
        return &CTestCommands::OnPerformTrigger;
    case ID_TEST_READ_ALL_DATA:
        return &CTestCommands::OnReadAllData;
    case ID_TEST_READ_ALL_ERRORS:
        return &CTestCommands::OnReadAllErrors;
    case ID_TEST_READ_STATUS:
        return &CTestCommands::OnReadStatus;
    case ID_TEST_SET_INSTRUMENT_CONFIGURATION:
        return &CTestCommands::OnSetInstrumentConfiguration;
    case ID_TEST_SET_PLATE_CONFIGURATION:
        return &CTestCommands::OnSetPlateConfiguration;
    case ID_TEST_SET_RUN_ACTIVE_LED:
        return &CTestCommands::OnSetRunActiveLed;
    case ID_TEST_SET_SEPARATION_METHOD:
        return &CTestCommands::OnSetSeparationMethod;
    case ID_TEST_WET_PRIME_SYSTEM:
        return &CTestCommands::OnWetPrimeSystem;
    default:
        return nullptr;
    }
}

bool CTestCommands::HasCommand(int commandId) const {
    return HandlerFor(commandId) != nullptr;
}

void CTestCommands::OnCommand(int commandId) {
    if (const Handler handler = HandlerFor(commandId)) {
        (this->*handler)();
    }
}

// The commands that start an action ignore its result, as the buttons do: the status refresh
// shows what happened.

void CTestCommands::OnChangeFlow() {
    g_pServer->ChangeFlow(kFlow, kPercentEach, kPercentEach, kPercentEach);
}

void CTestCommands::OnConditionColumn() {
    g_pServer->ConditionColumn(kConditionColumnValue, kConditionColumnArg);
}

void CTestCommands::OnEquilibrate() {
    g_pServer->Equilibrate(kEquilibrateValue);
}

void CTestCommands::OnExchangeSamplePlate() {
    g_pServer->ExchangeSamplePlate();
}

void CTestCommands::OnGetInstrumentConfiguration() {
    InstrumentConfiguration* pConfiguration = nullptr;
    if (SUCCEEDED(g_pServer->GetInstrumentConfiguration(&pConfiguration))) {
        ReleaseInstrumentConfiguration(pConfiguration);
    }
}

void CTestCommands::OnGetSeparationMethod() {
    SeparationMethod* pMethod = nullptr;
    if (FAILED(g_pServer->GetSeparationMethod(&pMethod))) {
        return;
    }
    if (pMethod != nullptr) {
        ShowSetPoint(m_columnSetText, pMethod->fColumnTempSetPoint);
        ShowSetPoint(m_sampleSetText, pMethod->fSampleTempSetPoint);
    }
    ReleaseSeparationMethod(pMethod);
}

void CTestCommands::ShowSetPoint(QLabel* text, float value) {
    const QString shown = QString::asprintf(LoadString(IDS_SET_POINT_FORMAT).toUtf8().constData(),
                                            static_cast<double>(value));
    ShowValueText(text, shown);
}

void CTestCommands::OnGoToInitialConditions() {
    g_pServer->GoToInitialConditions();
}

void CTestCommands::OnHoldAndResumeFlow() {
    g_pServer->HoldAndResumeFlow(kHoldAndResumeArg);
}

void CTestCommands::OnInitializeInstrument() {
    const CCallOrigin origin(IDS_HISTORY_TEST_INITIALIZE);
    g_pServer->InitializeInstrument(kConnectArg1, kConnectArg2);
}

void CTestCommands::OnLaunchDiagnostics() {
    g_pServer->LaunchDiagnostics();
}

void CTestCommands::OnMoveLift() {
    g_pServer->MoveLift(kMoveLiftArg);
}

void CTestCommands::OnPerformInjection() {
    const CTestInjectionSpec first;
    const CTestInjectionSpec second;
    g_pServer->PerformInjection(kInjectionArg, &first.record, &second.record);
}

void CTestCommands::OnPerformTrigger() {
    g_pServer->PerformTrigger();
}

void CTestCommands::OnReadAllData() {
    DataBlockList* pList = nullptr;
    if (FAILED(g_pServer->ReadAllData(&pList))) {
        return;
    }
    // Only the first block is kept; one without values still opens (and so creates) the file.
    if (pList != nullptr && pList->nBlocks > 0 && pList->pBlocks != nullptr) {
        const DataBlock& first = pList->pBlocks[0];
        const bool hasValues = first.nValues > 0 && first.pValues != nullptr;
        AppendToDataFile(hasValues
                             ? std::span(first.pValues, static_cast<std::size_t>(first.nValues))
                             : std::span<const std::int32_t>());
    }
    ReleaseDataBlockList(pList);
}

void CTestCommands::AppendToDataFile(std::span<const std::int32_t> values) {
    // Resolved here, not by changing the current directory, which belongs to the whole process.
    const CRawDataFile file(
        QDir::cleanPath(QDir::current().absoluteFilePath(LoadString(IDS_DATA_FILE_PATH))));
    const QString reason = file.Append(values);
    if (!reason.isEmpty()) {
        emit statusMessage(LoadString(IDS_DATA_FILE_WRITE_FAILED)
                               .arg(QDir::toNativeSeparators(file.Path()), reason));
    }
}

void CTestCommands::OnReadAllErrors() {
    // Called whatever the status says; the list stays with the server and is not read.
    std::int32_t nErrors = 0;
    ErrorList* pErrors = nullptr;
    g_pServer->ReadAllErrors(kReadAllErrorsArg, &nErrors, &pErrors);
}

void CTestCommands::OnReadStatus() {
    InstrumentStatus* pStatus = nullptr;
    if (SUCCEEDED(g_pServer->ReadStatus(&pStatus))) {
        ReleaseInstrumentStatus(pStatus);
    }
}

void CTestCommands::OnSetInstrumentConfiguration() {
    const CTestInstrumentConfiguration configuration;
    g_pServer->SetInstrumentConfiguration(&configuration.record);
}

void CTestCommands::OnSetPlateConfiguration() {
    const PlateConfiguration plates[] = {TestPlateConfiguration(), TestPlateConfiguration()};
    g_pServer->SetPlateConfiguration(static_cast<std::int32_t>(std::size(plates)), plates);
}

// The entry tries no operation.
void CTestCommands::OnSetRunActiveLed() {}

void CTestCommands::OnSetSeparationMethod() {
    const CTestSeparationMethod method;
    g_pServer->SetSeparationMethod(&method.record);
}

void CTestCommands::OnWetPrimeSystem() {
    g_pServer->WetPrimeSystem(kPrimeVolumes, kAllPumps);
}
