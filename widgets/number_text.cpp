#include "number_text.h"

#include <QByteArray>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <ctype.h>
#include <locale.h>

namespace {

locale_t ClassicNumericLocale() {
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    return locale;
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// strtod also reads hexadecimal ("0x28" as 40); a decimal reading stops after its "0".
qsizetype HexadecimalPrefixEnd(const QByteArray& bytes) {
    qsizetype i = 0;
    while (i < bytes.size() &&
           isspace_l(static_cast<unsigned char>(bytes[i]), ClassicNumericLocale())) {
        ++i;
    }
    if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-')) {
        ++i;
    }
    if (i + 1 < bytes.size() && bytes[i] == '0' && (bytes[i + 1] == 'x' || bytes[i + 1] == 'X')) {
        return i + 1;
    }
    return -1;
}

// The C library's reading of the front of bytes, hexadecimal cut to its "0"; end is where it
// stopped.
double ReadDecimalPrefix(QByteArray& bytes, const char** end) {
    if (const qsizetype hexEnd = HexadecimalPrefixEnd(bytes); hexEnd >= 0) {
        bytes.truncate(hexEnd);
    }
    char* stop = nullptr;
    const double value = strtod_l(bytes.constData(), &stop, ClassicNumericLocale());
    *end = stop;
    return value;
}

} // namespace

float DecimalPrefixToFloat(const QString& text) {
    QByteArray bytes = text.toUtf8();
    const char* end = nullptr;
    const double value = ReadDecimalPrefix(bytes, &end);
    // Beyond the float range the conversion would be undefined; infinity is what it means.
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX) {
        return std::copysign(std::numeric_limits<float>::infinity(), static_cast<float>(value));
    }
    return static_cast<float>(value);
}

std::optional<float> ParseDecimalNumber(const QString& text) {
    QByteArray bytes = text.toUtf8();
    const qsizetype size = bytes.size();
    const char* end = nullptr;
    const double value = ReadDecimalPrefix(bytes, &end);
    const char* const last = bytes.constData() + bytes.size();
    // A hexadecimal text was cut short: what followed its "0" is not part of a number.
    if (end == bytes.constData() || bytes.size() != size) {
        return std::nullopt;
    }
    while (end != last && isspace_l(static_cast<unsigned char>(*end), ClassicNumericLocale())) {
        ++end;
    }
    if (end != last || !std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        return std::nullopt;
    }
    return static_cast<float>(value);
}

std::optional<std::int32_t> ParseWholeNumber(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) {
        negative = text[begin] == u'-';
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    // One past the largest magnitude, so that the negative limit still fits.
    constexpr std::int64_t kLimit =
        static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > kLimit) {
            return std::nullopt;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    if (magnitude == kLimit) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(magnitude);
}
