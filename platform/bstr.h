#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QString;

// COM strings: UTF-16 text preceded by a 32-bit byte length and followed by a terminating zero,
// the pointer pointing at the first character. char16_t keeps them two bytes per unit on every
// platform.
using OLECHAR = char16_t;
using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* psz);
BSTR SysAllocStringLen(const OLECHAR* pch, std::uint32_t cch);
void SysFreeString(BSTR bstr);
std::uint32_t SysStringLen(BSTR bstr);
std::uint32_t SysStringByteLen(BSTR bstr);

// Conversions for the transport and the display; a null BSTR reads as empty text.
BSTR BstrFromUtf8(std::string_view utf8);
std::string Utf8FromBstr(BSTR bstr);
std::u16string_view BstrView(BSTR bstr);
BSTR BstrFromQString(const QString& text);
QString QStringFromBstr(BSTR bstr);
