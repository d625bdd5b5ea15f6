#pragma once

#include "pressure_trace.h"

#include <QDateTime>
#include <QImage>
#include <QSize>

#include <vector>

struct TraceSpan {
    QDateTime fromUtc;
    QDateTime toUtc;
};

// What the picture's time axis spans: the readings there are, from the oldest to the newest,
// and never less than a minute, so that a short session fills the picture as a long one does.
// samples is not empty and oldest first.
TraceSpan TraceSpanOf(const std::vector<TraceSample>& samples);

// The report's picture of the pressure trace: system and auxiliary pressure on the left axis,
// flow rate on the right, time in UTC over the readings' span, with a legend.
QImage TracePicture(const std::vector<TraceSample>& samples, QSize size);

// The smallest of 1, 2 or 5 times a power of ten that is at least value (value > 0).
double NiceCeiling(double value);
