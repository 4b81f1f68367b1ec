#include "platform/ui/quickdraw/Utf8Text.h"

namespace utf8 {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length a lead byte announces; 1 for a stray byte so that malformed
// text still advances.
size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

}  // namespace

size_t NextBoundary(std::string_view text, size_t pos)
{
    if (pos >= text.size())
        return text.size();
    size_t n = pos + 1;
    while (n < text.size() && IsContinuation(static_cast<unsigned char>(text[n])))
        ++n;
    return n;
}

size_t PrevBoundary(std::string_view text, size_t pos)
{
    if (pos > text.size())
        pos = text.size();
    if (pos == 0)
        return 0;
    size_t p = pos - 1;
    while (p > 0 && IsContinuation(static_cast<unsigned char>(text[p])))
        --p;
    return p;
}

size_t SnapToBoundary(std::string_view text, size_t pos)
{
    if (pos >= text.size())
        return text.size();
    while (pos > 0 && IsContinuation(static_cast<unsigned char>(text[pos])))
        --pos;
    return pos;
}

UniChar32 DecodeAt(std::string_view text, size_t pos)
{
    if (pos >= text.size())
        return 0;
    auto lead = static_cast<unsigned char>(text[pos]);
    size_t len = SequenceLength(lead);
    if (len == 1)
        return lead < 0x80 ? lead : 0xFFFD;
    if (pos + len > text.size())
        return 0xFFFD;
    UniChar32 c = lead & (0x7F >> len);
    for (size_t i = 1; i < len; ++i) {
        auto b = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(b))
            return 0xFFFD;
        c = (c << 6) | (b & 0x3F);
    }
    return c;
}

bool IsWordCharacter(UniChar32 c)
{
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    // Latin-1 punctuation and symbols, general punctuation and the CJK
    // punctuation block separate words; everything else beyond ASCII is
    // taken as a letter of some script.
    if (c < 0xC0)
        return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7)
        return false;
    if (c >= 0x2000 && c <= 0x206F)
        return false;
    if (c >= 0x3000 && c <= 0x303F)
        return false;
    return c != 0xFFFD;
}

std::pair<size_t, size_t> WordAt(std::string_view text, size_t pos)
{
    if (text.empty())
        return {0, 0};
    pos = SnapToBoundary(text, pos);
    if (pos == text.size())
        pos = PrevBoundary(text, pos);
    if (!IsWordCharacter(DecodeAt(text, pos))) {
        // A click just after a word, on the space that follows it, still
        // means the character under the mouse.
        return {pos, NextBoundary(text, pos)};
    }
    size_t first = pos;
    while (first > 0) {
        size_t prev = PrevBoundary(text, first);
        if (!IsWordCharacter(DecodeAt(text, prev)))
            break;
        first = prev;
    }
    size_t last = pos;
    while (last < text.size() && IsWordCharacter(DecodeAt(text, last)))
        last = NextBoundary(text, last);
    return {first, last};
}

size_t NextWordEnd(std::string_view text, size_t pos)
{
    pos = SnapToBoundary(text, pos);
    while (pos < text.size() && !IsWordCharacter(DecodeAt(text, pos)))
        pos = NextBoundary(text, pos);
    while (pos < text.size() && IsWordCharacter(DecodeAt(text, pos)))
        pos = NextBoundary(text, pos);
    return pos;
}

size_t PrevWordStart(std::string_view text, size_t pos)
{
    pos = SnapToBoundary(text, pos);
    while (pos > 0 && !IsWordCharacter(DecodeAt(text, PrevBoundary(text, pos))))
        pos = PrevBoundary(text, pos);
    while (pos > 0 && IsWordCharacter(DecodeAt(text, PrevBoundary(text, pos))))
        pos = PrevBoundary(text, pos);
    return pos;
}

}  // namespace utf8
