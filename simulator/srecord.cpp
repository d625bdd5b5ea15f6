#include "srecord.h"

#include <cerrno>
#include <cstring>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFU);
    return text;
}

// Address bytes of each record type; 0 marks the reserved type S4.
constexpr int kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};

bool Blank(std::string_view line) {
    return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

} // namespace

std::optional<std::string> CheckSRecord(std::string_view line, int* pType,
                                        std::uint32_t* pCountValue) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    if (line.empty() || line[0] != 'S') {
        return "the line does not start with 'S'";
    }
    if (line.size() < 2 || line[1] < '0' || line[1] > '9') {
        return "unknown record type";
    }
    const int type = line[1] - '0';
    if (kAddressBytes[type] == 0) {
        return "reserved record type S4";
    }
    for (std::size_t i = 2; i < line.size(); ++i) {
        if (HexValue(line[i]) < 0) {
            return "bad hex digit '" + std::string(1, line[i]) + "' at column " +
                   std::to_string(i + 1);
        }
    }
    if (line.size() < 4 || line.size() % 2 != 0) {
        return "odd or missing hex digits";
    }
    const unsigned count = static_cast<unsigned>(HexValue(line[2]) * 16 + HexValue(line[3]));
    const std::size_t bytes = (line.size() - 4) / 2;
    if (bytes != count) {
        return "length field says " + std::to_string(count) + " bytes, the record holds " +
               std::to_string(bytes);
    }
    const int addressBytes = kAddressBytes[type];
    if (count < static_cast<unsigned>(addressBytes) + 1) {
        return "record too short for its address";
    }
    unsigned sum = count;
    std::uint32_t address = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const auto value =
            static_cast<unsigned>(HexValue(line[4 + 2 * i]) * 16 + HexValue(line[5 + 2 * i]));
        sum += value;
        if (i < static_cast<std::size_t>(addressBytes)) {
            address = (address << 8U) | value;
        }
    }
    const auto checksum = static_cast<unsigned>(HexValue(line[line.size() - 2]) * 16 +
                                                HexValue(line[line.size() - 1]));
    const unsigned expected = 0xFFU - (sum & 0xFFU);
    if (checksum != expected) {
        return "checksum mismatch (expected " + Hex2(expected) + ", found " + Hex2(checksum) + ")";
    }
    if (pType != nullptr) {
        *pType = type;
    }
    if (pCountValue != nullptr) {
        *pCountValue = address;
    }
    return std::nullopt;
}

std::optional<std::string> CSRecordValidator::Feed(std::string_view line) {
    if (Blank(line)) {
        return std::nullopt;
    }
    if (m_terminated) {
        return "record after the termination record";
    }
    int type = 0;
    std::uint32_t addressValue = 0;
    if (auto fault = CheckSRecord(line, &type, &addressValue)) {
        return fault;
    }
    ++m_records;
    switch (type) {
    case 0: {
        // The header's data is text by convention: a name and version of the image.
        std::string text;
        const std::size_t count = (line.size() - 4) / 2;
        for (std::size_t i = 2; i + 1 < count; ++i) {
            const int c = HexValue(line[4 + 2 * i]) * 16 + HexValue(line[5 + 2 * i]);
            if (c == 0) {
                break;
            }
            text += static_cast<char>(c);
        }
        const bool printable =
            !text.empty() &&
            text.find_first_not_of(" !\"#$%&'()*+,-./0123456789:;<=>?@"
                                   "ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                                   "abcdefghijklmnopqrstuvwxyz{|}~") == std::string::npos;
        m_header = printable ? text : std::string();
        break;
    }
    case 1:
    case 2:
    case 3:
        ++m_dataRecords;
        break;
    case 5:
    case 6: {
        const std::uint32_t modulo = type == 5 ? 0x10000U : 0x1000000U;
        if (addressValue != m_dataRecords % modulo) {
            return "record count says " + std::to_string(addressValue) + " data records, " +
                   std::to_string(m_dataRecords) + " came before it";
        }
        break;
    }
    default:
        m_terminated = true;
        break;
    }
    return std::nullopt;
}

std::optional<std::string> CSRecordValidator::Finish() const {
    if (m_records == 0) {
        return "the file holds no S-records";
    }
    // The termination record is optional: producers leave it out when the image names no
    // start address.
    if (m_dataRecords == 0) {
        return "the file holds no data records";
    }
    return std::nullopt;
}

CLineReader::~CLineReader() {
    Close();
}

std::optional<std::string> CLineReader::Open(const std::string& path) {
    Close();
    m_file = std::fopen(path.c_str(), "rb");
    if (m_file == nullptr) {
        return std::string(std::strerror(errno));
    }
    return std::nullopt;
}

void CLineReader::Close() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

CLineReader::Result CLineReader::Next(std::string& line) {
    line.clear();
    bool tooLong = false;
    for (;;) {
        const int c = std::getc(m_file);
        if (c == EOF) {
            if (std::ferror(m_file) != 0) {
                return Result::Error;
            }
            if (line.empty() && !tooLong) {
                return Result::End;
            }
            break;
        }
        if (c == '\n') {
            break;
        }
        if (line.size() < kMaxLine) {
            line += static_cast<char>(c);
        } else {
            tooLong = true;
        }
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return tooLong ? Result::TooLong : Result::Line;
}

bool CLineReader::AtEnd() {
    const int c = std::getc(m_file);
    if (c == EOF) {
        return std::ferror(m_file) == 0;
    }
    std::ungetc(c, m_file);
    return false;
}
