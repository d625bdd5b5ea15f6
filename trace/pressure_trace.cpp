#include "pressure_trace.h"

#include "records.h"

#include <QDateTime>

namespace {

constexpr char kCsvLineEnd[] = "\r\n";
constexpr int kPressureDecimals = 1;
constexpr int kFlowDecimals = 3;

} // namespace

TraceSample SampleOf(const InstrumentStatus& status, std::int64_t msecsSinceEpoch) {
    return {msecsSinceEpoch, status.fPressure, status.fAuxPressure, status.fFlowRate};
}

CPressureTrace::CPressureTrace(std::chrono::milliseconds window,
                               std::chrono::milliseconds samplePeriod)
    // One sample per period, plus the one at the window's far edge.
    : m_window(window), m_samples(static_cast<std::size_t>(window / samplePeriod) + 1) {}

std::size_t CPressureTrace::FirstShown() const {
    if (m_samples.Empty()) {
        return 0;
    }
    const std::int64_t from = m_samples.Newest().msecsSinceEpoch - m_window.count();
    std::size_t first = 0;
    while (first < m_samples.Size() && m_samples[first].msecsSinceEpoch < from) {
        ++first;
    }
    return first;
}

std::vector<TraceSample> CPressureTrace::Shown() const {
    std::vector<TraceSample> shown;
    for (std::size_t i = FirstShown(); i < m_samples.Size(); ++i) {
        shown.push_back(m_samples[i]);
    }
    return shown;
}

QString TraceCsv(const std::vector<TraceSample>& samples, const QString& header) {
    QString csv = header + QLatin1String(kCsvLineEnd);
    for (const TraceSample& sample : samples) {
        csv += QDateTime::fromMSecsSinceEpoch(sample.msecsSinceEpoch).toString(Qt::ISODateWithMs);
        csv += u',' + QString::number(sample.pressure, 'f', kPressureDecimals);
        csv += u',' + QString::number(sample.auxPressure, 'f', kPressureDecimals);
        csv += u',' + QString::number(sample.flowRate, 'f', kFlowDecimals);
        csv += QLatin1String(kCsvLineEnd);
    }
    return csv;
}
