// Font lookup and glyph rendering with fontconfig and FreeType.
//
// Classic font numbers and names map to fontconfig families: the system
// font, Geneva, Helvetica and Chicago to "sans-serif", Monaco and Courier to
// "monospace", Times and New York to "serif"; any other name is handed to
// fontconfig as it is. Sizes are points, rendered at points x scale pixels,
// with light hinting and grey antialiasing; glyphs are cached.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/quickdraw/QDInternal.h"

namespace fonts {

struct FontChoice {
    short font = 0;
    short size = 12;
    Style face = normal;
};

struct Metrics {
    int ascent = 0;   // device pixels
    int descent = 0;
    int leading = 0;
    int widMax = 0;
};

// The choice of a port's text settings (size 0 means 12).
FontChoice ChoiceOf(const GrafPort* port);

Metrics GetMetrics(const FontChoice& choice, int scale);
// Advance of the text in device pixels.
int TextAdvance(const FontChoice& choice, int scale, std::string_view utf8);
// Draws the text with its baseline starting at device (x, y); returns the
// advance in device pixels.
int DrawText(QDPixels& bits, const std::vector<qd::DevRect>& clip, int x, int y, const FontChoice& choice, int scale,
             std::string_view utf8, UInt32 color);

// Font numbers and names (GetFNum / GetFontName).
short FontNumber(const std::string& name);
std::string FontName(short number);

// Releases every face and cached glyph.
void Reset();

// Decodes one UTF-8 character at text[i], advancing i; malformed bytes give
// U+FFFD and advance by one byte.
char32_t NextCodePoint(std::string_view text, size_t& i);

}  // namespace fonts
