#include "silk_file.h"

#include "crc32.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr char kMagic[4] = {'O', 'S', 'L', 'K'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kEntriesAt = 24;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kCrcAt = 96;

void PutU32(std::string& out, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFFU);
    }
}

void PutU16(std::string& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<char>(value & 0xFFU);
    out[at + 1] = static_cast<char>(value >> 8U);
}

std::uint32_t GetU32(const std::string& in, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8U) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

std::uint16_t GetU16(const std::string& in, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(in[at]) |
                                      (static_cast<unsigned char>(in[at + 1]) << 8U));
}

template <class To, class From> To Bits(From value) {
    static_assert(sizeof(To) == sizeof(From));
    To result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

} // namespace

std::string EncodeSilkFile(const SilkFile& file) {
    std::string out(kSilkFileSize, '\0');
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    PutU16(out, 4, kVersion);
    PutU16(out, 6, static_cast<std::uint16_t>(kSyringeCount));
    const std::size_t serial = std::min(file.serialNumber.size(), kSilkSerialSize - 1);
    std::memcpy(out.data() + 8, file.serialNumber.data(), serial);
    for (std::size_t i = 0; i < file.data.size(); ++i) {
        const std::size_t at = kEntriesAt + i * kEntrySize;
        PutU32(out, at, Bits<std::uint32_t>(file.data[i].nCompressionSteps));
        PutU32(out, at + 4, Bits<std::uint32_t>(file.data[i].fLeakRate));
        PutU32(out, at + 8, Bits<std::uint32_t>(file.data[i].fCompliance));
    }
    PutU32(out, kCrcAt, Crc32(out.data(), kCrcAt));
    return out;
}

std::optional<SilkFile> DecodeSilkFile(const std::string& bytes, std::string* pFault) {
    auto fail = [&](const std::string& fault) {
        if (pFault != nullptr) {
            *pFault = fault;
        }
        return std::nullopt;
    };
    if (bytes.size() != kSilkFileSize) {
        return fail("a Silk file is " + std::to_string(kSilkFileSize) + " bytes, this one is " +
                    std::to_string(bytes.size()));
    }
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return fail("not a Silk file");
    }
    if (GetU16(bytes, 4) != kVersion || GetU16(bytes, 6) != kSyringeCount) {
        return fail("unknown Silk file version");
    }
    if (GetU32(bytes, kCrcAt) != Crc32(bytes.data(), kCrcAt)) {
        return fail("checksum mismatch");
    }
    const std::string serialField = bytes.substr(8, kSilkSerialSize);
    const std::size_t end = serialField.find('\0');
    if (end == std::string::npos) {
        return fail("serial number not terminated");
    }
    SilkFile file;
    file.serialNumber = serialField.substr(0, end);
    for (std::size_t i = 0; i < file.data.size(); ++i) {
        const std::size_t at = kEntriesAt + i * kEntrySize;
        SilkEntry& entry = file.data[i];
        entry.nCompressionSteps = Bits<std::int32_t>(GetU32(bytes, at));
        entry.fLeakRate = Bits<float>(GetU32(bytes, at + 4));
        entry.fCompliance = Bits<float>(GetU32(bytes, at + 8));
        if (entry.nCompressionSteps < 0 || !std::isfinite(entry.fLeakRate) ||
            entry.fLeakRate < 0.0F || !std::isfinite(entry.fCompliance) ||
            entry.fCompliance < 0.0F) {
            return fail("bad values for syringe " + std::to_string(i + 1));
        }
    }
    return file;
}

std::optional<std::string> WriteSilkFile(const std::string& path, const SilkFile& file) {
    const std::string temporary = path + ".new";
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr) {
        return temporary + ": " + std::strerror(errno);
    }
    const std::string bytes = EncodeSilkFile(file);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                         std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0;
    const int error = errno;
    std::fclose(out);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int failure = written ? errno : error;
        std::remove(temporary.c_str());
        return path + ": " + std::strerror(failure);
    }
    return std::nullopt;
}

std::optional<SilkFile> ReadSilkFile(const std::string& path, std::string* pFault) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        if (pFault != nullptr) {
            *pFault = std::strerror(errno);
        }
        return std::nullopt;
    }
    // One byte more than a Silk file holds tells a longer file from a good one.
    std::string bytes(kSilkFileSize + 1, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
    std::fclose(in);
    return DecodeSilkFile(bytes, pFault);
}
