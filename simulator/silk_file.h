#pragma once

#include "nv_state.h"

#include <optional>
#include <string>

// Silk files (*.bin) hold the Silk calibration of one instrument's six syringes. Little-endian,
// exactly 100 bytes:
//
//   offset size field
//        0    4 magic "OSLK"
//        4    2 format version, 1
//        6    2 syringe count, 6
//        8   16 serial number of the instrument, 8-bit text, NUL-terminated and NUL-padded
//       24   72 six entries of 12 bytes, syringes 1 to 6:
//                 int32   compression steps
//                 float32 leak rate, nL/min at the test pressure
//                 float32 compliance, steps per 1000 PSI
//       96    4 CRC-32 (IEEE) of bytes 0 to 95
//
// A file is accepted only if every one of these holds and every value is finite and not
// negative.
struct SilkFile {
    std::string serialNumber;
    SilkData data{};
};

constexpr std::size_t kSilkFileSize = 100;
constexpr std::size_t kSilkSerialSize = 16;

std::string EncodeSilkFile(const SilkFile& file);
std::optional<SilkFile> DecodeSilkFile(const std::string& bytes, std::string* pFault);

// Writes atomically (a temporary file renamed into place); the system's error text on failure.
std::optional<std::string> WriteSilkFile(const std::string& path, const SilkFile& file);
std::optional<SilkFile> ReadSilkFile(const std::string& path, std::string* pFault);
