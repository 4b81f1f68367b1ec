// Painting device pixels with a transfer mode and a pattern.
#include <algorithm>

#include "platform/ui/quickdraw/QDInternal.h"

namespace qd {

namespace {

bool SolidPattern(const Pattern& p, UInt8 value)
{
    return std::all_of(p.pat, p.pat + 8, [&](UInt8 b) { return b == value; });
}

// One pixel under a pattern bit; `bit` is already inverted for the notPat
// and notSrc modes.
inline UInt32 Transfer(UInt32 dst, bool bit, const Paint& p)
{
    switch (p.mode & 3) {
    case 0: return bit ? p.fg : p.bg;                 // copy
    case 1: return bit ? p.fg : dst;                  // or
    case 2: return bit ? (dst ^ 0x00FFFFFFu) : dst;   // xor: invert
    default: return bit ? p.bg : dst;                 // bic: erase
    }
}

// Highlighting swaps the background colour and the highlight colour and
// leaves every other colour alone, so selected text stays readable.
inline UInt32 Highlight(UInt32 dst, const Paint& p)
{
    if (dst == p.bg) return p.hilite;
    if (dst == p.hilite) return p.bg;
    return dst;
}

void FillSolid(QDPixels& bits, const DevRect& r, UInt32 color)
{
    for (int y = r.y0; y < r.y1; ++y)
        std::fill_n(&bits.pixels[size_t(y) * bits.width + r.x0], r.x1 - r.x0, color);
}

void FillPatterned(QDPixels& bits, const DevRect& r, const Paint& paint, short scale)
{
    bool inverted = (paint.mode & 4) != 0 && paint.mode != hilite;
    for (int y = r.y0; y < r.y1; ++y) {
        UInt8 row = paint.pat.pat[(y / scale) & 7];
        UInt32* line = &bits.pixels[size_t(y) * bits.width];
        for (int x = r.x0; x < r.x1; ++x) {
            if (paint.mode == hilite) {
                line[x] = Highlight(line[x], paint);
                continue;
            }
            bool bit = ((row >> (7 - ((x / scale) & 7))) & 1) != 0;
            line[x] = Transfer(line[x], bit != inverted, paint);
        }
    }
}

}  // namespace

void PaintDevice(QDPixels& bits, const std::vector<DevRect>& clip, const DevRect& area, const Paint& paint,
                 short scale)
{
    DevRect inBuffer = Intersect(area, DevRect{0, 0, bits.width, bits.height});
    if (inBuffer.Empty()) return;
    bool copy = paint.mode == patCopy || paint.mode == srcCopy;
    bool solid = copy && (SolidPattern(paint.pat, 0xFF) || SolidPattern(paint.pat, 0x00));
    UInt32 solidColor = SolidPattern(paint.pat, 0xFF) ? paint.fg : paint.bg;
    for (const DevRect& c : clip) {
        DevRect r = Intersect(inBuffer, c);
        if (r.Empty()) continue;
        if (solid)
            FillSolid(bits, r, solidColor);
        else
            FillPatterned(bits, r, paint, scale);
    }
}

void PaintLocal(GrafPort* port, const Rect& local, const Paint& paint)
{
    if (!port || EmptyRect(&local)) return;
    PaintDevice(port->bits, DeviceClip(port), ToDevice(port, local), paint, port->scale);
    MarkScreenDirty();
}

Paint PenPaint(GrafPort* port)
{
    Paint p;
    p.mode = port->pnMode;
    p.pat = port->pnPat;
    p.fg = Pack(port->rgbFgColor);
    p.bg = Pack(port->rgbBkColor);
    p.hilite = HiliteColor();
    return p;
}

Paint ErasePaint(GrafPort* port)
{
    Paint p = PenPaint(port);
    p.mode = patCopy;
    p.fg = p.bg;
    GetQDGlobalsBlack(&p.pat);
    return p;
}

Paint InvertPaint(GrafPort* port)
{
    Paint p = PenPaint(port);
    p.mode = TakeHiliteRequest() ? short(hilite) : short(patXor);
    GetQDGlobalsBlack(&p.pat);
    return p;
}

Paint FillPaint(GrafPort* port, const Pattern& pat)
{
    Paint p = PenPaint(port);
    p.mode = patCopy;
    p.pat = pat;
    return p;
}

}  // namespace qd
