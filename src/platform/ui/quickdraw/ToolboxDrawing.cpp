#include "platform/ui/quickdraw/ToolboxDrawing.h"

#include <algorithm>

namespace look {

void UseSystemFont()
{
    TextFont(systemFont);
    TextSize(12);
    TextFace(normal);
}

void DrawUtf8(std::string_view text)
{
    if (!text.empty())
        DrawText(text.data(), 0, static_cast<short>(std::min<size_t>(text.size(), 32767)));
}

short WidthUtf8(std::string_view text)
{
    if (text.empty())
        return 0;
    return TextWidth(text.data(), 0, static_cast<short>(std::min<size_t>(text.size(), 32767)));
}

short LineHeight()
{
    FontInfo fi{};
    GetFontInfo(&fi);
    return fi.ascent + fi.descent + fi.leading;
}

short Ascent()
{
    FontInfo fi{};
    GetFontInfo(&fi);
    return fi.ascent;
}

void DrawCentered(std::string_view text, const Rect& r)
{
    FontInfo fi{};
    GetFontInfo(&fi);
    short w = WidthUtf8(text);
    short h = (r.left + r.right - w) / 2;
    short v = (r.top + r.bottom + fi.ascent - fi.descent) / 2;
    MoveTo(h, v);
    DrawUtf8(text);
}

void Fill(const Rect& r, const RGBColor& color) { FillCRect(&r, &color); }

void Frame(const Rect& r, const RGBColor& color)
{
    RGBColor old{};
    GetForeColor(&old);
    RGBForeColor(&color);
    FrameRect(&r);
    RGBForeColor(&old);
}

void Line(short h1, short v1, short h2, short v2, const RGBColor& color)
{
    RGBColor old{};
    GetForeColor(&old);
    RGBForeColor(&color);
    MoveTo(h1, v1);
    ::LineTo(h2, v2);
    RGBForeColor(&old);
}

void Bevel(const Rect& r, bool pressed)
{
    const RGBColor& topLeft = pressed ? kShadow : kLight;
    const RGBColor& bottomRight = pressed ? kLight : kShadow;
    Line(r.left, r.top, r.right - 1, r.top, topLeft);
    Line(r.left, r.top, r.left, r.bottom - 1, topLeft);
    Line(r.left, r.bottom - 1, r.right - 1, r.bottom - 1, bottomRight);
    Line(r.right - 1, r.top, r.right - 1, r.bottom - 1, bottomRight);
}

PortScope::PortScope(GrafPtr port) : port(port)
{
    GetPort(&saved);
    SetPort(port);
    GetPenState(&pen);
    GetForeColor(&fore);
    GetBackColor(&back);
    font = port->txFont;
    size = port->txSize;
    face = port->txFace;
    PenNormal();
}

PortScope::~PortScope()
{
    SetPort(port);
    SetPenState(&pen);
    RGBForeColor(&fore);
    RGBBackColor(&back);
    TextFont(font);
    TextSize(size);
    TextFace(face);
    SetPort(saved);
}

}  // namespace look
