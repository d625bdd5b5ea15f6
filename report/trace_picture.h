#pragma once

#include "pressure_trace.h"

#include <QDateTime>
#include <QImage>
#include <QSize>

#include <vector>

// The report's picture of the pressure trace: system and auxiliary pressure on the left axis,
// flow rate on the right, time in UTC from fromUtc to toUtc, with a legend.
QImage TracePicture(const std::vector<TraceSample>& samples, const QDateTime& fromUtc,
                    const QDateTime& toUtc, QSize size);

// The smallest of 1, 2 or 5 times a power of ten that is at least value (value > 0).
double NiceCeiling(double value);
