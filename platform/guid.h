#pragma once

#include <cstdint>
#include <string>

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
            return false;
        }
        for (int i = 0; i < 8; ++i) {
            if (a.Data4[i] != b.Data4[i]) {
                return false;
            }
        }
        return true;
    }
};

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

// "{BBE9544A-EB51-11D2-81A9-0020AFF36907}"
std::string GuidToString(const GUID& guid);

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch{
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The instrument server object and its interface.
inline constexpr CLSID CLSID_InstrumentServer{
    0xBBE9544A, 0xEB51, 0x11D2, {0x81, 0xA9, 0x00, 0x20, 0xAF, 0xF3, 0x69, 0x07}};
inline constexpr IID IID_IInstrumentServer{
    0x4E34E260, 0xE8FF, 0x11D2, {0x81, 0xA8, 0x00, 0x20, 0xAF, 0xF3, 0x69, 0x07}};

// The client's automation document and its dispatch interface.
inline constexpr CLSID CLSID_OrvixClientDocument{
    0x87450DBD, 0xE84E, 0x11D2, {0x81, 0xA8, 0x00, 0x20, 0xAF, 0xF3, 0x69, 0x07}};
inline constexpr IID IID_IOrvixClientDocument{
    0x87450DBF, 0xE84E, 0x11D2, {0x81, 0xA8, 0x00, 0x20, 0xAF, 0xF3, 0x69, 0x07}};
