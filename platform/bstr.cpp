#include "bstr.h"
#include "task_allocator.h"

#include <QString>

#include <cstring>
#include <limits>

namespace {

std::uint32_t* PrefixOf(BSTR bstr) {
    return reinterpret_cast<std::uint32_t*>(bstr) - 1;
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, std::uint32_t cch) {
    // The byte length must fit the 32-bit prefix.
    constexpr std::uint32_t kMaxChars = (std::numeric_limits<std::uint32_t>::max() - 8) / 2;
    if (cch > kMaxChars) {
        return nullptr;
    }
    const std::size_t bytes = std::size_t{cch} * sizeof(OLECHAR);
    auto* block = static_cast<std::uint32_t*>(
        CoTaskMemAlloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
    if (block == nullptr) {
        return nullptr;
    }
    block[0] = static_cast<std::uint32_t>(bytes);
    auto* text = reinterpret_cast<OLECHAR*>(block + 1);
    if (pch != nullptr && cch != 0) {
        std::memcpy(text, pch, bytes);
    } else {
        std::memset(text, 0, bytes);
    }
    text[cch] = u'\0';
    return text;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) {
        return nullptr;
    }
    return SysAllocStringLen(psz, static_cast<std::uint32_t>(std::u16string_view(psz).size()));
}

void SysFreeString(BSTR bstr) {
    if (bstr != nullptr) {
        CoTaskMemFree(PrefixOf(bstr));
    }
}

std::uint32_t SysStringByteLen(BSTR bstr) {
    return bstr == nullptr ? 0 : *PrefixOf(bstr);
}

std::uint32_t SysStringLen(BSTR bstr) {
    return SysStringByteLen(bstr) / static_cast<std::uint32_t>(sizeof(OLECHAR));
}

std::u16string_view BstrView(BSTR bstr) {
    return bstr == nullptr ? std::u16string_view{} : std::u16string_view(bstr, SysStringLen(bstr));
}

BSTR BstrFromQString(const QString& text) {
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()),
                             static_cast<std::uint32_t>(text.size()));
}

QString QStringFromBstr(BSTR bstr) {
    const std::u16string_view view = BstrView(bstr);
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

BSTR BstrFromUtf8(std::string_view utf8) {
    return BstrFromQString(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

std::string Utf8FromBstr(BSTR bstr) {
    return QStringFromBstr(bstr).toUtf8().toStdString();
}
