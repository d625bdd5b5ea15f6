#include "service_report.h"

#include "configuration_reading.h"
#include "instrument_server.h"
#include "instrument_versions.h"
#include "record_memory.h"
#include "resource.h"
#include "status_texts.h"
#include "string_table.h"
#include "usage_reading.h"

#include <optional>

#ifndef ORVIX_VERSION_TEXT
#define ORVIX_VERSION_TEXT "1.0.0"
#endif

namespace {

// A string-table entry that holds one caption a line.
QStringList Captions(int id) {
    return LoadString(id).split(u'\n');
}

QString NoValue() {
    return LoadString(IDS_REPORT_NO_VALUE);
}

QString InstalledText(std::int32_t flag) {
    return LoadString(flag != 0 ? IDS_REPORT_INSTALLED : IDS_REPORT_NOT_INSTALLED);
}

QString VolumeText(const QString& number) {
    return LoadString(IDS_REPORT_VOLUME_FORMAT).arg(number.trimmed());
}

ReportSection InstrumentSection(const std::optional<InstrumentVersions>& versions,
                                const std::optional<ConfigurationReading>& configuration,
                                const QDateTime& nowUtc) {
    const QStringList captions = Captions(IDS_REPORT_INSTRUMENT_CAPTIONS);
    ReportSection section{LoadString(IDS_REPORT_INSTRUMENT), {}, versions && configuration};
    section.rows = {
        {captions.value(0), configuration ? configuration->serialNumber : NoValue()},
        {captions.value(1), versions ? versions->pump : NoValue()},
        {captions.value(2), versions ? AutoSamplerVersionText(versions->autoSampler) : NoValue()},
        {captions.value(3), versions ? versions->client : NoValue()},
        {captions.value(4), ReportTimeText(nowUtc)},
        {captions.value(5), WrittenByText()},
    };
    return section;
}

ReportSection ConfigurationSection(const std::optional<ConfigurationReading>& reading) {
    const QStringList captions = Captions(IDS_REPORT_CONFIGURATION_CAPTIONS);
    ReportSection section{LoadString(IDS_REPORT_CONFIGURATION), {}, reading.has_value()};
    if (!reading) {
        for (const QString& caption : captions) {
            section.rows.push_back({caption, NoValue()});
        }
        return section;
    }
    const InstrumentConfiguration& record = reading->record;
    section.rows = {
        {captions.value(0), VolumeText(QString::number(record.nSyringeSize))},
        {captions.value(1), VolumeText(SampleLoopVolumeText(record.fSampleLoopVolume))},
        {captions.value(2), VolumeText(NeedleVolumeText(record.fNeedleVolume))},
        {captions.value(3), InstalledText(record.bPumpCInstalled)},
    };
    // The gradient mode means something only with pump C fitted.
    if (record.bPumpCInstalled != 0) {
        section.rows.push_back(
            {captions.value(4),
             LoadString(record.bTernaryGradient != 0 ? IDS_REPORT_TERNARY_GRADIENT
                                                     : IDS_REPORT_POST_COLUMN_GRADIENT)});
    }
    section.rows.push_back({captions.value(5), InstalledText(record.bSampleTemp)});
    section.rows.push_back({captions.value(6), InstalledText(record.bPlateFeeder)});
    section.rows.push_back({captions.value(7), InstalledText(record.bManualInjectValve)});
    return section;
}

void AddUsage(ServiceReport& report) {
    const UsageReading reading = ReadUsage();
    const QStringList captions = Captions(IDS_REPORT_USAGE_CAPTIONS);
    report.usage = {
        LoadString(IDS_REPORT_USAGE), {}, reading.syringeUsageRead && reading.autoSamplerUsageRead};
    for (std::size_t i = 0; i < reading.autoSampler.size(); ++i) {
        report.usage.rows.push_back({captions.value(static_cast<qsizetype>(i)),
                                     reading.autoSamplerUsageRead
                                         ? AutoSamplerUsageText(i, reading.autoSampler[i]).trimmed()
                                         : NoValue()});
    }
    report.syringeUsage.headings = Captions(IDS_REPORT_SYRINGE_HEADINGS);
    for (std::size_t i = 0; i < reading.pistonStrokes.size(); ++i) {
        report.syringeUsage.rows.push_back(
            {QString::number(i + 1),
             reading.syringeUsageRead ? QString::number(reading.pistonStrokes[i]) : NoValue(),
             reading.syringeUsageRead ? QString::number(reading.valveActuations[i]) : NoValue()});
    }
}

// The status form's values in its order, those of options not fitted left out.
ReportSection StatusSection(const std::optional<StatusTexts>& texts,
                            const std::optional<QString>& firstError, bool errorsAnswered,
                            const std::optional<ConfigurationReading>& configuration) {
    const QStringList captions = Captions(IDS_REPORT_STATUS_CAPTIONS);
    const StatusTexts shown = texts.value_or(StatusTexts{});
    const auto value = [&texts](const QString& text) { return texts ? text : NoValue(); };
    // Without the configuration, every value the form can show.
    const FittedStatusValues fitted =
        configuration ? FittedStatusValuesOf(configuration->record.bPumpCInstalled != 0,
                                             configuration->record.bTernaryGradient != 0,
                                             configuration->record.bSampleTemp != 0)
                      : FittedStatusValues{true, true, true};
    ReportSection section{LoadString(IDS_REPORT_STATUS), {}, texts.has_value() && errorsAnswered};
    const std::vector<std::pair<QString, bool>> values{
        {shown.statusMessage, true},
        {shown.state, true},
        {shown.pressure, true},
        {shown.flowRate, true},
        {shown.compositionA, true},
        {shown.compositionB, true},
        {shown.compositionC, fitted.compositionC},
        {shown.injectValve, true},
        {shown.streamValve, true},
        {shown.ventValve, true},
        {shown.columnActual.trimmed(), true},
        {shown.columnSet.trimmed(), true},
        {shown.sampleActual.trimmed(), fitted.sampleTemperature},
        {shown.sampleSet.trimmed(), fitted.sampleTemperature},
        {shown.auxPressure, fitted.auxRows},
        {shown.auxFlowRate, fitted.auxRows},
    };
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i].second) {
            section.rows.push_back(
                {captions.value(static_cast<qsizetype>(i)), value(values[i].first)});
        }
    }
    QString errors = NoValue();
    if (texts && errorsAnswered) {
        errors = firstError.value_or(LoadString(IDS_REPORT_NO_ERRORS));
    }
    section.rows.push_back({captions.value(captions.size() - 1), errors});
    return section;
}

} // namespace

bool ServiceReport::InstrumentAnswered() const {
    return instrument.answered && configuration.answered && usage.answered && status.answered;
}

QString WrittenByText() {
    return LoadString(IDS_REPORT_WRITTEN_BY).arg(QLatin1String(ORVIX_VERSION_TEXT));
}

QString ReportTimeText(const QDateTime& time) {
    return time.toUTC().toString(LoadString(IDS_REPORT_TIME_FORMAT));
}

std::vector<TraceSample> TraceWindow(const std::vector<TraceSample>& samples,
                                     const QDateTime& nowUtc) {
    const std::int64_t to = nowUtc.toMSecsSinceEpoch();
    const std::int64_t from =
        to -
        std::chrono::duration_cast<std::chrono::milliseconds>(ServiceReport::kTraceWindow).count();
    std::vector<TraceSample> shown;
    for (const TraceSample& sample : samples) {
        if (sample.msecsSinceEpoch >= from && sample.msecsSinceEpoch <= to) {
            shown.push_back(sample);
        }
    }
    return shown;
}

ServiceReport ReadInstrumentReport(const ServiceReportSources& sources, const QDateTime& nowUtc) {
    ServiceReport report;
    report.writtenUtc = nowUtc.toUTC();
    report.visit = sources.visit;

    const std::optional<InstrumentVersions> versions = ReadInstrumentVersions();
    const std::optional<ConfigurationReading> configuration = ReadConfiguration();
    report.instrument = InstrumentSection(versions, configuration, report.writtenUtc);
    report.configuration = ConfigurationSection(configuration);
    AddUsage(report);

    InstrumentStatus* pStatus = nullptr;
    std::optional<StatusTexts> texts;
    std::optional<QString> firstError;
    bool errorsAnswered = true;
    if (SUCCEEDED(g_pServer->ReadStatus(&pStatus))) {
        if (pStatus != nullptr) {
            texts = CStatusFormatter().Format(*pStatus);
            if (pStatus->bErrorsPending != 0) {
                const FirstErrorReading errors = ReadFirstError();
                errorsAnswered = errors.answered;
                firstError = errors.text.value_or(QString());
            }
        }
        ReleaseInstrumentStatus(pStatus);
    }
    report.status = StatusSection(texts, firstError, errorsAnswered, configuration);

    if (sources.trace) {
        report.trace = TraceWindow(sources.trace(), report.writtenUtc);
    }
    report.historySinceUtc = sources.historySinceUtc.toUTC();
    return report;
}

void AddServiceHistory(ServiceReport& report, const IServiceHistorySource* history) {
    if (history != nullptr) {
        report.history = history->EntriesSince(report.historySinceUtc);
        report.historyAnchor = history->Anchor();
    }
}

ServiceReport ReadServiceReport(const ServiceReportSources& sources, const QDateTime& nowUtc) {
    ServiceReport report = ReadInstrumentReport(sources, nowUtc);
    AddServiceHistory(report, sources.history);
    return report;
}
