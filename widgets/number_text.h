#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The C library's reading of a number at the front of a text: leading white space skipped, the
// longest numeric prefix taken, 0 when there is none. "nan" and "inf" read as such, so callers
// check the result is finite. The decimal point is always '.', whatever the user's locale.
float DecimalPrefixToFloat(const QString& text);

// A decimal number and nothing else, by the same reading: white space around it allowed, no
// group separators ("1,000" is not a number), no hexadecimal. None when the text is not one
// or the value is not a finite float.
std::optional<float> ParseDecimalNumber(const QString& text);

// A whole decimal number and nothing else: blanks or tabs, an optional sign, decimal digits,
// blanks or tabs. None when the text is not one or does not fit 32 bits.
std::optional<std::int32_t> ParseWholeNumber(const QString& text);
