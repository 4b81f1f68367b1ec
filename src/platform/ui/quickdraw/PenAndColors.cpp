// The pen and the colours of the current port.
#include <algorithm>

#include "platform/ui/quickdraw/QDInternal.h"

namespace {

RGBColor gHiliteRGB{0xB3B3, 0xD7D7, 0xFFFF};
UInt8 gHiliteMode = 0xFF;

GrafPtr Port() { return qd::CurrentPort(); }

// The classic colour numbers of ForeColor/BackColor.
RGBColor ClassicColor(long color)
{
    switch (color) {
    case whiteColor: return {0xFFFF, 0xFFFF, 0xFFFF};
    case yellowColor: return {0xFC00, 0xF37D, 0x052F};
    case magentaColor: return {0xF2D7, 0x0856, 0x84EC};
    case redColor: return {0xDD6B, 0x08C2, 0x06A2};
    case cyanColor: return {0x0241, 0xAB54, 0xEAFF};
    case greenColor: return {0x0000, 0x8000, 0x11B0};
    case blueColor: return {0x0000, 0x0000, 0xD400};
    default: return {0, 0, 0};
    }
}

}  // namespace

UInt32 qd::HiliteColor() { return Pack(gHiliteRGB); }

// ---------------------------------------------------------------- pen

void MoveTo(short h, short v)
{
    if (Port()) Port()->pnLoc = Point{v, h};
}

void Move(short dh, short dv)
{
    if (!Port()) return;
    Port()->pnLoc.h = short(Port()->pnLoc.h + dh);
    Port()->pnLoc.v = short(Port()->pnLoc.v + dv);
}

void GetPen(Point* pt)
{
    if (pt) *pt = Port() ? Port()->pnLoc : Point{0, 0};
}

void PenSize(short width, short height)
{
    if (Port()) Port()->pnSize = Point{std::max<short>(0, height), std::max<short>(0, width)};
}

void PenMode(short mode)
{
    if (Port()) Port()->pnMode = mode;
}

void PenPat(const Pattern* pat)
{
    if (Port() && pat) Port()->pnPat = *pat;
}

void PenNormal()
{
    if (!Port()) return;
    Port()->pnSize = Point{1, 1};
    Port()->pnMode = patCopy;
    GetQDGlobalsBlack(&Port()->pnPat);
}

void GetPenState(PenState* s)
{
    if (!s || !Port()) return;
    *s = PenState{Port()->pnLoc, Port()->pnSize, Port()->pnMode, Port()->pnPat};
}

void SetPenState(const PenState* s)
{
    if (!s || !Port()) return;
    Port()->pnLoc = s->pnLoc;
    Port()->pnSize = s->pnSize;
    Port()->pnMode = s->pnMode;
    Port()->pnPat = s->pnPat;
}

// ---------------------------------------------------------------- colours

void ForeColor(long color)
{
    if (Port()) Port()->rgbFgColor = ClassicColor(color);
}

void BackColor(long color)
{
    if (Port()) Port()->rgbBkColor = ClassicColor(color);
}

void RGBForeColor(const RGBColor* c)
{
    if (Port() && c) Port()->rgbFgColor = *c;
}

void RGBBackColor(const RGBColor* c)
{
    if (Port() && c) Port()->rgbBkColor = *c;
}

void GetForeColor(RGBColor* c)
{
    if (c) *c = Port() ? Port()->rgbFgColor : RGBColor{0, 0, 0};
}

void GetBackColor(RGBColor* c)
{
    if (c) *c = Port() ? Port()->rgbBkColor : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
}

void LMGetHiliteRGB(RGBColor* c)
{
    if (c) *c = gHiliteRGB;
}

void LMSetHiliteRGB(const RGBColor* c)
{
    if (c) gHiliteRGB = *c;
}

UInt8 LMGetHiliteMode() { return gHiliteMode; }

// Classic code clears the high bit to make the next inversion highlight
// instead (selected text, list rows); the inversion sets it again.
void LMSetHiliteMode(UInt8 value) { gHiliteMode = value; }

bool qd::TakeHiliteRequest()
{
    if (gHiliteMode & 0x80) return false;
    gHiliteMode |= 0x80;
    return true;
}
