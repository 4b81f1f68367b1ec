// QuickDraw's text calls on top of the font module.
//
// Widths are answered in points: at scale 2 the text is rendered at twice
// the pixel size and its device advance halved (rounded up, so that text
// measured to fit a box never overflows it).
#include <algorithm>
#include <string_view>

#include "platform/core/PascalStrings.h"
#include "platform/ui/quickdraw/Fonts.h"
#include "platform/ui/quickdraw/QDInternal.h"

namespace {

GrafPtr Port() { return qd::CurrentPort(); }

short ToPoints(int device, int scale) { return short((device + scale - 1) / scale); }

// The scale text is measured at: the current port's, else 1.
int MeasureScale() { return Port() ? Port()->scale : 1; }

fonts::FontChoice CurrentChoice()
{
    if (Port()) return fonts::ChoiceOf(Port());
    return fonts::FontChoice{};
}

void Draw(std::string_view text)
{
    GrafPtr port = Port();
    if (!port || text.empty()) return;
    int s = port->scale;
    int x = (port->pnLoc.h - port->portRect.left) * s;
    int y = (port->pnLoc.v - port->portRect.top) * s;
    int advance = fonts::DrawText(port->bits, qd::DeviceClip(port), x, y, fonts::ChoiceOf(port), s, text,
                                  qd::Pack(port->rgbFgColor));
    port->pnLoc.h = short(port->pnLoc.h + ToPoints(advance, s));
    qd::MarkScreenDirty();
}

std::string_view Slice(const void* buf, short first, short count)
{
    if (!buf || first < 0 || count <= 0) return {};
    return std::string_view(static_cast<const char*>(buf) + first, size_t(count));
}

}  // namespace

void TextFont(short font)
{
    if (Port()) Port()->txFont = font;
}

void TextFace(Style face)
{
    if (Port()) Port()->txFace = face;
}

void TextSize(short size)
{
    if (Port()) Port()->txSize = size;
}

// Text is always drawn over what is there (srcOr); other modes are accepted
// and ignored.
void TextMode(short) {}

void GetFNum(ConstStr255Param name, short* familyID)
{
    if (familyID) *familyID = name ? fonts::FontNumber(pstr::ToStd(name)) : 0;
}

void GetFontName(short familyID, Str255 name)
{
    if (name) pstr::FromStd(fonts::FontName(familyID), name);
}

void DrawString(ConstStr255Param s)
{
    if (s) Draw(std::string_view(reinterpret_cast<const char*>(s + 1), s[0]));
}

void DrawText(const void* textBuf, short firstByte, short byteCount) { Draw(Slice(textBuf, firstByte, byteCount)); }

void DrawChar(short ch)
{
    char c = char(ch);
    Draw(std::string_view(&c, 1));
}

short StringWidth(ConstStr255Param s)
{
    if (!s) return 0;
    int scale = MeasureScale();
    return ToPoints(fonts::TextAdvance(CurrentChoice(), scale, std::string_view(reinterpret_cast<const char*>(s + 1), s[0])),
                    scale);
}

short TextWidth(const void* textBuf, short firstByte, short byteCount)
{
    int scale = MeasureScale();
    return ToPoints(fonts::TextAdvance(CurrentChoice(), scale, Slice(textBuf, firstByte, byteCount)), scale);
}

short CharWidth(short ch)
{
    char c = char(ch);
    return TextWidth(&c, 0, 1);
}

void GetFontInfo(FontInfo* info)
{
    if (!info) return;
    int scale = MeasureScale();
    fonts::Metrics m = fonts::GetMetrics(CurrentChoice(), scale);
    info->ascent = ToPoints(m.ascent, scale);
    info->descent = ToPoints(m.descent, scale);
    info->leading = ToPoints(m.leading, scale);
    info->widMax = ToPoints(m.widMax, scale);
}
