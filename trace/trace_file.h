#pragma once

#include "pressure_trace.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The pressure trace kept beside the service history, so that a report made by another
// process of the same user (orvix-client --report) shows the readings the window took. It is a
// small file rewritten whole; a reader that finds something else in it finds no readings.

// "pressure-trace.bin" in the history's folder.
QString TraceFilePath(const QString& historyPath);

// A header line, then per sample its time (int64) and its three readings (float32), little
// endian.
QByteArray TraceFileBytes(const std::vector<TraceSample>& samples);
// None when the bytes are not a trace.
std::vector<TraceSample> TraceFromBytes(const QByteArray& bytes);

// Owner-only, like the history beside it; never waits for the disk to flush.
bool SaveTraceFile(const QString& path, const std::vector<TraceSample>& samples, QString* error);
std::vector<TraceSample> LoadTraceFile(const QString& path);
