#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The number of lines in a text file, as reading it line by line would give: every line end
// closes a line, and a last line without one counts too. Empty when the file cannot be read,
// with the reason in fault.
std::optional<std::int64_t> CountFileLines(const QString& path, QString& fault);
