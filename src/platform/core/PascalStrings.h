// Conversions between length-prefixed strings and std::string.
//
// Text is UTF-8. Whenever a text must be cut to fit a length byte, it is cut
// at a character boundary so that no UTF-8 sequence is split.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/MacTypes.h"

namespace pstr {

// The bytes of a length-prefixed string.
std::string ToStd(ConstStringPtr p);

// Writes text into dst, which holds at most maxLen bytes after the length
// byte (255 for a Str255, 63 for a Str63). Cuts at a character boundary.
void FromStd(std::string_view text, StringPtr dst, size_t maxLen = 255);

// The largest prefix length <= maxLen that does not split a UTF-8 sequence.
size_t Utf8CutLength(std::string_view text, size_t maxLen);

bool Equal(ConstStringPtr a, ConstStringPtr b);

}  // namespace pstr

// Classic helpers.
void CopyCStringToPascal(const char* src, Str255 dst);
void CopyPascalStringToC(ConstStr255Param src, char* dst);

// Length-prefixed string literals: "Error Code:"_p is a ConstStringPtr to a
// static length-prefixed copy of the text (what "\p" meant to classic
// compilers). Texts longer than 255 bytes do not compile.
template <size_t N>
struct PascalLiteral {
    static_assert(N >= 1 && N <= 256, "a length-prefixed text holds at most 255 bytes");
    unsigned char data[N];
    constexpr PascalLiteral(const char (&s)[N]) : data{}
    {
        data[0] = static_cast<unsigned char>(N - 1);
        for (size_t i = 0; i + 1 < N; ++i)
            data[i + 1] = static_cast<unsigned char>(s[i]);
    }
};

template <PascalLiteral L>
constexpr ConstStringPtr operator""_p()
{
    return L.data;
}
