#pragma once

#include "ring_buffer.h"

#include <QString>

#include <chrono>
#include <cstdint>
#include <vector>

struct InstrumentStatus;

// One point of the trace: what a good status read said, and when.
struct TraceSample {
    std::int64_t msecsSinceEpoch;
    float pressure;    // PSI
    float auxPressure; // PSI
    float flowRate;    // uL/min
};

TraceSample SampleOf(const InstrumentStatus& status, std::int64_t msecsSinceEpoch);

// The readings of the last few minutes. It holds as many samples as the refresh makes in that
// time, so a week of running takes no more memory than the first quarter hour.
class CPressureTrace {
public:
    CPressureTrace(std::chrono::milliseconds window, std::chrono::milliseconds samplePeriod);

    // Answers whether the oldest sample had to go.
    bool Add(const TraceSample& sample) { return m_samples.Push(sample); }

    // The samples of the window that ends with the newest one, oldest first.
    std::vector<TraceSample> Shown() const;
    // Index of the first sample of that window.
    std::size_t FirstShown() const;

    const CRingBuffer<TraceSample>& Samples() const { return m_samples; }
    std::chrono::milliseconds Window() const { return m_window; }

private:
    std::chrono::milliseconds m_window;
    CRingBuffer<TraceSample> m_samples;
};

// The samples as comma-separated values: the header line, then one line per sample with its
// local time (ISO 8601, milliseconds) and the three readings, '.' as decimal point whatever the
// locale. Lines end with CR LF, as spreadsheet programs expect.
QString TraceCsv(const std::vector<TraceSample>& samples, const QString& header);
