#include "history_words.h"

#include "ids_history.h"
#include "pump_mask.h"
#include "string_table.h"

#include <QFile>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <type_traits>

namespace {

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

KnownConfiguration Known(const InstrumentConfiguration& configuration) {
    KnownConfiguration known{configuration, Text(configuration.pszSerialNumber)};
    known.fields.pszSerialNumber = nullptr;
    return known;
}

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

namespace {

using Wording = std::function<QString(const COperationCall&, const WordingContext&)>;

// A row: the operation's words from its arguments, or from the context and its arguments.
template <class Op, class F> std::pair<const int, Wording> Row(F words) {
    return {Op::kSlot, [words](const COperationCall& call, const WordingContext& context) {
                return std::apply(
                    [&](const auto&... args) {
                        if constexpr (std::is_invocable_v<F, decltype(args)...>) {
                            return words(args...);
                        } else {
                            return words(context, args...);
                        }
                    },
                    call.Args<Op>());
            }};
}

// A row whose words take nothing from the call.
template <class Op> std::pair<const int, Wording> Fixed(int id) {
    return Row<Op>([id](const auto&...) { return Say(id); });
}

QString InitializeWords(const WordingContext& context, std::int32_t nArg1, std::int32_t nArg2) {
    // Reset Communications sends it most often, and names no arguments.
    return context.origin != 0 ? Say(context.origin, Number(nArg1), Number(nArg2))
                               : Say(IDS_HISTORY_RESET_COMMUNICATIONS);
}

// The fourth value is percent C while pump C is in the gradient, the post-column flow otherwise,
// as the Change Flow dialog shows it; before a configuration is known it reads as percent C.
QString ChangeFlowWords(const WordingContext& context, float fFlow, float fPercentA,
                        float fPercentB, float fThird) {
    const bool postColumn =
        context.configuration && context.configuration->fields.bTernaryGradient == 0;
    return Say(postColumn ? IDS_HISTORY_CHANGE_FLOW_POST_COLUMN : IDS_HISTORY_CHANGE_FLOW,
               Number(double{fFlow}), Number(double{fPercentA}), Number(double{fPercentB}),
               Number(double{fThird}));
}

QString SelectRowWords(std::int32_t nRow) {
    constexpr std::int32_t kRowLetters = 26;
    return Say(IDS_HISTORY_SELECT_ROW,
               nRow >= 0 && nRow < kRowLetters ? QString(QChar(u'A' + nRow)) : Number(nRow));
}

QString ApplyConfigurationWords(const WordingContext& context,
                                const InstrumentConfiguration* pConfiguration) {
    if (pConfiguration == nullptr) {
        return Say(IDS_HISTORY_APPLY_CONFIGURATION, Say(IDS_HISTORY_NONE));
    }
    const KnownConfiguration applied = Known(*pConfiguration);
    const auto& known = context.configuration;
    return Say(IDS_HISTORY_APPLY_CONFIGURATION,
               ConfigurationChanges(known ? std::optional(known->fields) : std::nullopt,
                                    known ? known->serial : QString(), applied.fields,
                                    applied.serial));
}

template <class... Flags> QString ResetUsageWords(Flags... flags) {
    const std::array<std::int32_t, sizeof...(Flags)> set{flags...};
    QStringList counters;
    for (std::size_t i = 0; i < set.size(); ++i) {
        if (set[i] != 0) {
            counters << Word(IDS_HISTORY_USAGE_COUNTERS, static_cast<std::int32_t>(i));
        }
    }
    return Say(IDS_HISTORY_RESET_USAGE,
               counters.isEmpty() ? Say(IDS_HISTORY_NONE) : counters.join(QStringLiteral(", ")));
}

QString UpDown(std::int32_t nDown) {
    return Word(IDS_HISTORY_UP_DOWN, nDown != 0);
}

QString OffOn(std::int32_t nOn) {
    return Word(IDS_HISTORY_OFF_ON, nOn != 0);
}

const std::map<int, Wording>& WordsTable() {
    static const std::map<int, Wording> kTable{
        Row<op::InitializeInstrument>(InitializeWords),
        Row<op::SetSeparationMethod>([](const SeparationMethod* pMethod) {
            return Say(IDS_HISTORY_SEPARATION_METHOD,
                       pMethod != nullptr ? Text(pMethod->pszMethodName) : QString());
        }),
        Fixed<op::GoToInitialConditions>(IDS_HISTORY_INITIAL_CONDITIONS),
        Row<op::SetPlateConfiguration>([](std::int32_t nPlates, const PlateConfiguration*) {
            return Say(IDS_HISTORY_PLATE_CONFIGURATION, Number(nPlates));
        }),
        Row<op::PerformInjection>(
            [](std::int32_t nArg, const InjectionSpec*, const InjectionSpec*) {
                return Say(IDS_HISTORY_PERFORM_INJECTION, Number(nArg));
            }),
        Fixed<op::PerformTrigger>(IDS_HISTORY_PERFORM_TRIGGER),
        Row<op::WetPrimeSystem>([](std::int32_t nVolumes, std::int32_t nPumpMask) {
            return Say(IDS_HISTORY_WET_PRIME, PumpsText(nPumpMask), Number(nVolumes));
        }),
        Row<op::ChangeFlow>(ChangeFlowWords),
        Row<op::ConditionColumn>([](float fValue, std::int32_t nArg) {
            return Say(IDS_HISTORY_CONDITION_COLUMN, Number(double{fValue}), Number(nArg));
        }),
        Row<op::Equilibrate>(
            [](float fValue) { return Say(IDS_HISTORY_EQUILIBRATE, Number(double{fValue})); }),
        Row<op::HoldAndResumeFlow>(
            [](std::int32_t nArg) { return Say(IDS_HISTORY_HOLD_RESUME_FLOW, Number(nArg)); }),
        Fixed<op::LaunchDiagnostics>(IDS_HISTORY_LAUNCH_DIAGNOSTICS),
        Fixed<op::ExchangeSamplePlate>(IDS_HISTORY_EXCHANGE_PLATE),
        Row<op::MoveLift>(
            [](std::int32_t nArg) { return Say(IDS_HISTORY_MOVE_LIFT, Number(nArg)); }),
        Row<op::PositionSamplePlate>([](std::int32_t nExchange) {
            return Say(IDS_HISTORY_POSITION_PLATE, Word(IDS_HISTORY_PLATE_POSITIONS, nExchange));
        }),
        Row<op::SelectPlateRow>(SelectRowWords),
        Row<op::SelectPlateColumn>(
            [](std::int32_t nColumn) { return Say(IDS_HISTORY_SELECT_COLUMN, Number(nColumn)); }),
        Row<op::SendAutoSamplerCommand>([](BSTR bstrCommand, std::int32_t*) {
            return Say(IDS_HISTORY_AUTOSAMPLER_COMMAND,
                       bstrCommand != nullptr
                           ? QString::fromUtf16(bstrCommand, SysStringLen(bstrCommand))
                           : QString());
        }),
        Row<op::MoveSampleSyringe>([](std::int32_t nFill) {
            return Say(IDS_HISTORY_MOVE_SAMPLE_SYRINGE,
                       Word(IDS_HISTORY_SAMPLE_SYRINGE_MOVES, nFill));
        }),
        Fixed<op::WashSampleSyringe>(IDS_HISTORY_WASH_SAMPLE_SYRINGE),
        Row<op::MoveSyringeValve>([](std::int32_t nValve, std::int32_t nPosition, std::int32_t*) {
            return Say(IDS_HISTORY_MOVE_SYRINGE_VALVE, Number(nValve),
                       Word(IDS_HISTORY_SYRINGE_VALVE_POSITIONS, nPosition));
        }),
        Row<op::StartSilk>([](std::int32_t nPumpMask) {
            return Say(IDS_HISTORY_START_SILK, PumpsText(nPumpMask));
        }),
        // The instrument numbers its feeders from 0; the main window shows them from 1.
        Row<op::StepPlateFeeder>([](std::int32_t nFeeder, std::int32_t nNext) {
            return Say(IDS_HISTORY_STEP_FEEDER, Number(nFeeder + 1),
                       Word(IDS_HISTORY_FEEDER_STEPS, nNext));
        }),
        Row<op::EnableSyringeData>(
            [](std::int32_t nEnable) { return Say(IDS_HISTORY_SYRINGE_DATA, OffOn(nEnable)); }),
        Row<op::SetSilkWriteToDisk>([](std::int32_t nSwitch) {
            return Say(IDS_HISTORY_SILK_WRITE_TO_DISK, OffOn(nSwitch));
        }),
        Fixed<op::UploadSilkData>(IDS_HISTORY_UPLOAD_SILK),
        Row<op::DownloadSilkData>(
            [](const char* pszPath) { return Say(IDS_HISTORY_DOWNLOAD_SILK, PathText(pszPath)); }),
        Fixed<op::ResetSilk>(IDS_HISTORY_RESET_SILK),
        Row<op::SetInstrumentConfiguration>(ApplyConfigurationWords),
        Row<op::OpenConnection>([](std::int32_t nArg1, std::int32_t nArg2) {
            return Say(IDS_HISTORY_OPEN_CONNECTION, Number(nArg1), Number(nArg2));
        }),
        Row<op::ResetUsage>([](auto... flags) { return ResetUsageWords(flags...); }),
        Row<op::DownloadSoftware>([](const char* pszPath) {
            return Say(IDS_HISTORY_DOWNLOAD_FIRMWARE, PathText(pszPath));
        }),
        Fixed<op::PrepareSoftwareUpgrade>(IDS_HISTORY_PREPARE_UPGRADE),
        Row<op::DryPrimeSystem>([](std::int32_t nPumpMask, std::int32_t nCycles) {
            return Say(IDS_HISTORY_DRY_PRIME, PumpsText(nPumpMask), Number(nCycles));
        }),
        Row<op::SetAutoSamplerMonitor>([](std::int32_t nMonitor) {
            return Say(IDS_HISTORY_AUTOSAMPLER_MONITOR, OffOn(nMonitor));
        }),
        Fixed<op::StopDryPrime>(IDS_HISTORY_STOP_DRY_PRIME),
        Row<op::SelectSolvent>([](std::int32_t nReservoir) {
            return Say(IDS_HISTORY_SELECT_SOLVENT, Number(nReservoir));
        }),
        Row<op::MoveSampleSyringeValve>([](std::int32_t nPosition) {
            return Say(IDS_HISTORY_MOVE_SAMPLE_VALVE,
                       Word(IDS_HISTORY_SAMPLE_VALVE_POSITIONS, nPosition));
        }),
        Row<op::MoveLeftUnit>([](std::int32_t nNext) {
            return Say(IDS_HISTORY_MOVE_LEFT_UNIT, Word(IDS_HISTORY_UNIT_STEPS, nNext));
        }),
        Row<op::MoveRightUnit>([](std::int32_t nNext) {
            return Say(IDS_HISTORY_MOVE_RIGHT_UNIT, Word(IDS_HISTORY_UNIT_STEPS, nNext));
        }),
        Row<op::MoveCenterUnit>([](std::int32_t nPosition) {
            return Say(IDS_HISTORY_MOVE_CENTER_UNIT, Word(IDS_HISTORY_CENTER_POSITIONS, nPosition));
        }),
        Row<op::LiftCenterUnit>(
            [](std::int32_t nDown) { return Say(IDS_HISTORY_LIFT_CENTER_UNIT, UpDown(nDown)); }),
        Row<op::SetAirCompressor>(
            [](std::int32_t nOn) { return Say(IDS_HISTORY_AIR_COMPRESSOR, OffOn(nOn)); }),
        Row<op::MoveNeedleUnit>(
            [](std::int32_t nDown) { return Say(IDS_HISTORY_MOVE_NEEDLE_UNIT, UpDown(nDown)); }),
        Row<op::MoveSampleNeedle>(
            [](std::int32_t nDown) { return Say(IDS_HISTORY_MOVE_SAMPLE_NEEDLE, UpDown(nDown)); }),
        Row<op::SetPlateType>([](std::int32_t nPlateCode) {
            return Say(IDS_HISTORY_SET_PLATE_TYPE, Number(nPlateCode));
        }),
    };
    return kTable;
}

} // namespace

std::optional<QString> HistoryWords(const COperationCall& call, const WordingContext& context) {
    const auto row = WordsTable().find(call.Info().slot);
    if (row == WordsTable().end()) {
        return std::nullopt;
    }
    return row->second(call, context);
}

bool HasHistoryWords(int slot) {
    return WordsTable().contains(slot);
}
