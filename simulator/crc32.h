#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// CRC-32 (IEEE 802.3, as zlib and PNG compute it); Crc32("123456789") is 0xCBF43926.
std::uint32_t Crc32(const void* data, std::size_t size, std::uint32_t crc = 0);
inline std::uint32_t Crc32(std::string_view text) {
    return Crc32(text.data(), text.size());
}
