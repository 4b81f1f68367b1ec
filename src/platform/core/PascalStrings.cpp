#include "platform/core/PascalStrings.h"

#include <cstring>

namespace pstr {

std::string ToStd(ConstStringPtr p)
{
    if (p == nil)
        return {};
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

size_t Utf8CutLength(std::string_view text, size_t maxLen)
{
    if (text.size() <= maxLen)
        return text.size();
    size_t cut = maxLen;
    // Step back over continuation bytes (10xxxxxx) to the start of the
    // sequence that would be split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

void FromStd(std::string_view text, StringPtr dst, size_t maxLen)
{
    if (dst == nil)
        return;
    if (maxLen > 255)
        maxLen = 255;
    size_t n = Utf8CutLength(text, maxLen);
    dst[0] = static_cast<unsigned char>(n);
    if (n > 0)
        std::memcpy(dst + 1, text.data(), n);
}

bool Equal(ConstStringPtr a, ConstStringPtr b)
{
    if (a == nil || b == nil)
        return a == b;
    return a[0] == b[0] && std::memcmp(a + 1, b + 1, a[0]) == 0;
}

}  // namespace pstr

void CopyCStringToPascal(const char* src, Str255 dst)
{
    pstr::FromStd(src != nil ? std::string_view(src) : std::string_view(), dst);
}

void CopyPascalStringToC(ConstStr255Param src, char* dst)
{
    if (dst == nil)
        return;
    size_t n = src != nil ? src[0] : 0;
    if (n > 0)
        std::memmove(dst, src + 1, n);
    dst[n] = '\0';
}
