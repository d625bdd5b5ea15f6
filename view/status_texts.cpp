#include "status_texts.h"

#include "instrument_server.h"
#include "resource.h"
#include "state_text.h"
#include "string_table.h"

namespace {

constexpr std::int32_t kInjectValveInject = 1;
constexpr std::int32_t kInjectValveLoad = 2;
constexpr std::int32_t kStreamValvePosition1 = 1;
constexpr std::int32_t kStreamValvePosition2 = 2;
// ReadAllErrors always takes 1 as its first argument.
constexpr std::int32_t kReadAllErrorsArg = 1;

QByteArray FormatOf(int id) {
    return LoadString(id).toUtf8();
}

// The formats pad numbers to a fixed width; most fields show them without that padding.
QString WithoutLeadingBlanks(const QString& text) {
    qsizetype first = 0;
    while (first < text.size() && text.at(first).isSpace()) {
        ++first;
    }
    return text.mid(first);
}

QString Formatted(const QByteArray& format, float value) {
    return QString::asprintf(format.constData(), static_cast<double>(value));
}

QString Trimmed(const QByteArray& format, float value) {
    return WithoutLeadingBlanks(Formatted(format, value));
}

} // namespace

CStatusFormatter::CStatusFormatter()
    : m_pressureFormat(FormatOf(IDS_PRESSURE_FORMAT)),
      m_flowRateFormat(FormatOf(IDS_FLOW_RATE_FORMAT)),
      m_compositionAFormat(FormatOf(IDS_COMPOSITION_A_FORMAT)),
      m_compositionBFormat(FormatOf(IDS_COMPOSITION_B_FORMAT)),
      m_compositionCFormat(FormatOf(IDS_COMPOSITION_C_FORMAT)),
      m_temperatureFormat(FormatOf(IDS_TEMPERATURE_FORMAT)),
      m_inject(LoadString(IDS_INJECT_VALVE_INJECT)), m_load(LoadString(IDS_INJECT_VALVE_LOAD)),
      m_position1(LoadString(IDS_STREAM_VALVE_POSITION_1)),
      m_position2(LoadString(IDS_STREAM_VALVE_POSITION_2)), m_vent(LoadString(IDS_VENT_VALVE_VENT)),
      m_system(LoadString(IDS_VENT_VALVE_SYSTEM)) {}

StatusTexts CStatusFormatter::Format(const InstrumentStatus& status) const {
    StatusTexts texts;
    // The server's texts are 8-bit UTF-8; bytes that are not valid UTF-8 become U+FFFD.
    texts.statusMessage = QString::fromUtf8(status.pszStatusMessage);
    texts.state = QString::fromLatin1(StateText(status.nState));
    texts.pressure = Trimmed(m_pressureFormat, status.fPressure);
    texts.flowRate = Trimmed(m_flowRateFormat, status.fFlowRate);
    texts.compositionA = WithoutLeadingBlanks(
        QString::asprintf(m_compositionAFormat.constData(), static_cast<double>(status.fPercentA),
                          static_cast<int>(status.nReservoir)));
    texts.compositionB = Trimmed(m_compositionBFormat, status.fPercentB);
    texts.compositionC = Trimmed(m_compositionCFormat, status.fPercentC);
    // Temperatures keep the format's width: a one-digit value reads with a leading blank.
    texts.columnSet = Formatted(m_temperatureFormat, status.fColumnTempSet);
    texts.columnActual = Formatted(m_temperatureFormat, status.fColumnTempActual);
    texts.sampleSet = Formatted(m_temperatureFormat, status.fSampleTempSet);
    texts.sampleActual = Formatted(m_temperatureFormat, status.fSampleTempActual);
    if (status.nInjectValve == kInjectValveInject) {
        texts.injectValve = m_inject;
    } else if (status.nInjectValve == kInjectValveLoad) {
        texts.injectValve = m_load;
    }
    if (status.nStreamValve == kStreamValvePosition1) {
        texts.streamValve = m_position1;
    } else if (status.nStreamValve == kStreamValvePosition2) {
        texts.streamValve = m_position2;
    }
    texts.ventValve = status.nVentValve != 0 ? m_vent : m_system;
    texts.auxFlowRate = Trimmed(m_flowRateFormat, status.fAuxFlowRate);
    texts.auxPressure = Trimmed(m_pressureFormat, status.fAuxPressure);
    return texts;
}

FittedStatusValues FittedStatusValuesOf(bool pumpCInstalled, bool ternaryGradient,
                                        bool sampleTemperature) {
    return {pumpCInstalled && ternaryGradient, pumpCInstalled && !ternaryGradient,
            sampleTemperature};
}

FirstErrorReading ReadFirstError() {
    std::int32_t nErrors = 0;
    ErrorList* pErrors = nullptr;
    FirstErrorReading reading;
    reading.answered = SUCCEEDED(g_pServer->ReadAllErrors(kReadAllErrorsArg, &nErrors, &pErrors));
    if (reading.answered && pErrors != nullptr && pErrors->pszFirstError != nullptr) {
        reading.text = QString::fromUtf8(pErrors->pszFirstError);
    }
    return reading;
}
