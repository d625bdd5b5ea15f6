#pragma once

#include <QString>

#include <cstdint>
#include <span>

// A file of raw 32-bit values that only ever grows: each append adds whole values at its end or
// leaves it exactly as it was.
class CRawDataFile {
public:
    explicit CRawDataFile(QString path) : m_path(std::move(path)) {}

    const QString& Path() const { return m_path; }

    // Appends the values as little-endian words, with no header or count. The file is created
    // when missing (never its folder) and held against other writers while it is open. Returns
    // why it failed, or an empty text; on failure a file that was not there is not left behind.
    QString Append(std::span<const std::int32_t> values) const;

private:
    QString m_path;
};
