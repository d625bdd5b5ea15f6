#include "trace_file.h"

#include "whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <bit>
#include <cstring>

namespace {

const QByteArray kHeader = QByteArrayLiteral("orvix pressure trace 1\n");
constexpr qsizetype kSampleBytes = sizeof(std::int64_t) + 3 * sizeof(float);
// Far more than ten minutes of readings at any refresh period: a larger file is not ours.
constexpr qint64 kMaxSamples = 100'000;
constexpr mode_t kTraceFileMode = 0600;

template <typename T> void Put(QByteArray& bytes, T value) {
    const T little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

template <typename T> T Take(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return qFromLittleEndian(value);
}

} // namespace

QString TraceFilePath(const QString& historyPath) {
    return QFileInfo(historyPath).dir().filePath(QStringLiteral("pressure-trace.bin"));
}

QByteArray TraceFileBytes(const std::vector<TraceSample>& samples) {
    QByteArray bytes = kHeader;
    bytes.reserve(kHeader.size() + static_cast<qsizetype>(samples.size()) * kSampleBytes);
    for (const TraceSample& sample : samples) {
        Put(bytes, sample.msecsSinceEpoch);
        Put(bytes, std::bit_cast<std::uint32_t>(sample.pressure));
        Put(bytes, std::bit_cast<std::uint32_t>(sample.auxPressure));
        Put(bytes, std::bit_cast<std::uint32_t>(sample.flowRate));
    }
    return bytes;
}

std::vector<TraceSample> TraceFromBytes(const QByteArray& bytes) {
    std::vector<TraceSample> samples;
    if (!bytes.startsWith(kHeader) || (bytes.size() - kHeader.size()) % kSampleBytes != 0) {
        return samples;
    }
    const char* at = bytes.constData() + kHeader.size();
    const char* end = bytes.constData() + bytes.size();
    samples.reserve(static_cast<std::size_t>((end - at) / kSampleBytes));
    for (; at < end; at += kSampleBytes) {
        samples.push_back(
            {Take<std::int64_t>(at),
             std::bit_cast<float>(Take<std::uint32_t>(at + sizeof(std::int64_t))),
             std::bit_cast<float>(Take<std::uint32_t>(at + sizeof(std::int64_t) + 4)),
             std::bit_cast<float>(Take<std::uint32_t>(at + sizeof(std::int64_t) + 8))});
    }
    return samples;
}

bool SaveTraceFile(const QString& path, const std::vector<TraceSample>& samples, QString* error) {
    return WriteWholeFile(path, TraceFileBytes(samples), kTraceFileMode, error, Durability::Cached);
}

std::vector<TraceSample> LoadTraceFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) ||
        file.size() > kHeader.size() + kMaxSamples * kSampleBytes) {
        return {};
    }
    return TraceFromBytes(file.readAll());
}
