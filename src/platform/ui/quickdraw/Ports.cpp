// Ports: the current port, local and global coordinates and clipping.
#include <algorithm>

#include "platform/ui/quickdraw/QDInternal.h"
#include "platform/ui/quickdraw/RegionData.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

GrafPtr gCurrentPort = nullptr;

// A port may be larger than any screen (a movie shown at double size), but
// only this much of it is kept in pixels: what lies beyond can never be
// seen, and a buffer of the full size could take gigabytes. Drawing there
// is clipped away.
constexpr int kMaxBufferSide = 4096;

int BufferSide(short points) { return std::clamp(int(points), 0, kMaxBufferSide); }

}  // namespace

GrafPort::~GrafPort()
{
    qd::ForgetPort(this);
    DisposeRgn(clipRgn);
    DisposeRgn(visRgn);
}

namespace qd {

UInt32 Pack(const RGBColor& c)
{
    return 0xFF000000u | (UInt32(c.red >> 8) << 16) | (UInt32(c.green >> 8) << 8) | UInt32(c.blue >> 8);
}

RGBColor Unpack(UInt32 p)
{
    auto widen = [](UInt32 v) { return static_cast<unsigned short>((v & 0xFF) * 0x101); };
    return RGBColor{widen(p >> 16), widen(p >> 8), widen(p)};
}

GrafPtr CurrentPort() { return gCurrentPort; }

void InitPort(GrafPort* port, short width, short height, short scale)
{
    port->scale = std::max<short>(1, scale);
    port->portRect = Rect{0, 0, std::max<short>(0, height), std::max<short>(0, width)};
    port->bits.width = BufferSide(width) * port->scale;
    port->bits.height = BufferSide(height) * port->scale;
    port->bits.pixels.assign(size_t(port->bits.width) * port->bits.height, 0xFFFFFFFFu);
    port->pnLoc = Point{0, 0};
    port->pnSize = Point{1, 1};
    port->pnMode = patCopy;
    GetQDGlobalsBlack(&port->pnPat);
    port->rgbFgColor = RGBColor{0, 0, 0};
    port->rgbBkColor = RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
}

void ResizePort(GrafPort* port, short width, short height, UInt32 fill)
{
    QDPixels fresh;
    fresh.width = BufferSide(width) * port->scale;
    fresh.height = BufferSide(height) * port->scale;
    fresh.pixels.assign(size_t(fresh.width) * fresh.height, fill);
    int w = std::min(fresh.width, port->bits.width), h = std::min(fresh.height, port->bits.height);
    for (int y = 0; y < h; ++y)
        std::copy_n(&port->bits.pixels[size_t(y) * port->bits.width], w, &fresh.pixels[size_t(y) * fresh.width]);
    port->bits = std::move(fresh);
    port->portRect.bottom = short(port->portRect.top + height);
    port->portRect.right = short(port->portRect.left + width);
}

void ForgetPort(GrafPort* port)
{
    if (gCurrentPort == port) gCurrentPort = nullptr;
}

std::vector<Rect> LocalClip(GrafPort* port)
{
    std::vector<Rect> clip = rgn::FromRect(port->portRect);
    if (port->clipRgn) clip = rgn::Combine(clip, rgn::Rects(port->clipRgn), rgn::Op::Sect);
    if (port->visRgn) clip = rgn::Combine(clip, rgn::Rects(port->visRgn), rgn::Op::Sect);
    return clip;
}

DevRect ToDevice(GrafPort* port, const Rect& r)
{
    int s = port->scale;
    return DevRect{(r.left - port->portRect.left) * s, (r.top - port->portRect.top) * s,
                   (r.right - port->portRect.left) * s, (r.bottom - port->portRect.top) * s};
}

DevRect Intersect(const DevRect& a, const DevRect& b)
{
    return DevRect{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

std::vector<DevRect> DeviceClip(GrafPort* port)
{
    std::vector<DevRect> out;
    for (const Rect& r : LocalClip(port)) out.push_back(ToDevice(port, r));
    return out;
}

}  // namespace qd

// ---------------------------------------------------------------- the classic calls

void SetPort(GrafPtr port) { gCurrentPort = port; }

void GetPort(GrafPtr* port)
{
    if (port) *port = gCurrentPort;
}

Rect* GetPortBounds(CGrafPtr port, Rect* rect)
{
    if (rect) *rect = port ? port->portRect : Rect{0, 0, 0, 0};
    return rect;
}

// Moves the local coordinate system: the port's top-left corner becomes
// (h, v). The clip region keeps its place in local coordinates, as classic
// code expects.
void SetOrigin(short h, short v)
{
    GrafPtr port = gCurrentPort;
    if (!port) return;
    short dh = short(h - port->portRect.left), dv = short(v - port->portRect.top);
    OffsetRect(&port->portRect, dh, dv);
    if (port->visRgn) OffsetRgn(port->visRgn, dh, dv);
}

void GlobalToLocal(Point* pt)
{
    if (!pt || !gCurrentPort) return;
    pt->h = short(pt->h - gCurrentPort->portGlobal.h + gCurrentPort->portRect.left);
    pt->v = short(pt->v - gCurrentPort->portGlobal.v + gCurrentPort->portRect.top);
}

void LocalToGlobal(Point* pt)
{
    if (!pt || !gCurrentPort) return;
    pt->h = short(pt->h + gCurrentPort->portGlobal.h - gCurrentPort->portRect.left);
    pt->v = short(pt->v + gCurrentPort->portGlobal.v - gCurrentPort->portRect.top);
}

void ClipRect(const Rect* r)
{
    if (!gCurrentPort || !r) return;
    if (!gCurrentPort->clipRgn) gCurrentPort->clipRgn = NewRgn();
    RectRgn(gCurrentPort->clipRgn, r);
}

void SetClip(RgnHandle rgn)
{
    if (!gCurrentPort || !rgn) return;
    if (!gCurrentPort->clipRgn) gCurrentPort->clipRgn = NewRgn();
    CopyRgn(rgn, gCurrentPort->clipRgn);
}

// A port without a clip region is "wide open"; classic code saves and
// restores the clip with GetClip/SetClip, so that answers a huge rectangle.
void GetClip(RgnHandle rgn)
{
    if (!gCurrentPort || !rgn) return;
    if (gCurrentPort->clipRgn)
        CopyRgn(gCurrentPort->clipRgn, rgn);
    else
        SetRectRgn(rgn, -32767, -32767, 32767, 32767);
}

RgnHandle GetPortClipRegion(CGrafPtr port, RgnHandle clipRgn)
{
    GrafPtr saved = gCurrentPort;
    gCurrentPort = port;
    GetClip(clipRgn);
    gCurrentPort = saved;
    return clipRgn;
}

RgnHandle GetPortVisibleRegion(CGrafPtr port, RgnHandle visRgn)
{
    if (!port || !visRgn) return visRgn;
    if (port->visRgn)
        CopyRgn(port->visRgn, visRgn);
    else
        RectRgn(visRgn, &port->portRect);
    return visRgn;
}

BitMap* GetQDGlobalsScreenBits(BitMap* screenBits)
{
    if (!screenBits) return screenBits;
    screenBits->baseAddr = nullptr;
    screenBits->bounds = WMScreenBounds();
    screenBits->rowBytes = short(screenBits->bounds.right * 4);
    return screenBits;
}

static Pattern* SetPattern(Pattern* p, UInt8 even, UInt8 odd)
{
    for (int i = 0; i < 8; ++i) p->pat[i] = (i % 2) ? odd : even;
    return p;
}

Pattern* GetQDGlobalsBlack(Pattern* p) { return SetPattern(p, 0xFF, 0xFF); }
Pattern* GetQDGlobalsWhite(Pattern* p) { return SetPattern(p, 0x00, 0x00); }
Pattern* GetQDGlobalsGray(Pattern* p) { return SetPattern(p, 0xAA, 0x55); }
Pattern* GetQDGlobalsLightGray(Pattern* p) { return SetPattern(p, 0x88, 0x22); }
Pattern* GetQDGlobalsDarkGray(Pattern* p) { return SetPattern(p, 0x77, 0xDD); }

void QDFlushPortBuffer(CGrafPtr, RgnHandle) { WMFlushScreen(); }

