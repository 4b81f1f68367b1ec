// QuickDraw's internal helpers, shared by the drawing files and the window
// manager.
#pragma once

#include <vector>

#include "platform/ui/quickdraw/QuickDraw.h"

namespace qd {

// 0xAARRGGBB from a 16-bit-per-channel colour and back.
UInt32 Pack(const RGBColor& c);
RGBColor Unpack(UInt32 pixel);

// The current port (nil before any SetPort).
GrafPtr CurrentPort();

// Gives a port a buffer of width x height points at `scale`, filled white,
// and resets its drawing state. portRect becomes (0,0,height,width).
void InitPort(GrafPort* port, short width, short height, short scale);
// Changes the buffer size, keeping the pixels that still fit and filling
// the rest with fill.
void ResizePort(GrafPort* port, short width, short height, UInt32 fill);
// Called when a port goes away, so the current port never dangles.
void ForgetPort(GrafPort* port);

// The area drawing may touch, in local coordinates: the port's bounds, its
// clip region and (inside BeginUpdate/EndUpdate) its update region.
std::vector<Rect> LocalClip(GrafPort* port);

// A device-pixel rectangle: x0 <= x < x1, y0 <= y < y1.
struct DevRect {
    int x0, y0, x1, y1;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
};
DevRect ToDevice(GrafPort* port, const Rect& local);
DevRect Intersect(const DevRect& a, const DevRect& b);
// The clip in device pixels.
std::vector<DevRect> DeviceClip(GrafPort* port);

// How to paint: a transfer mode, a pattern and the colours it needs.
struct Paint {
    short mode = patCopy;
    Pattern pat{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}};
    UInt32 fg = 0xFF000000;
    UInt32 bg = 0xFFFFFFFF;
    UInt32 hilite = 0xFFB3D7FF;
};
// The port's pen as a Paint; the erase paint (background colour); the
// invert paint.
Paint PenPaint(GrafPort* port);
Paint ErasePaint(GrafPort* port);
Paint InvertPaint(GrafPort* port);
Paint FillPaint(GrafPort* port, const Pattern& pat);

// Paints one device rectangle, cut to the clip list.
void PaintDevice(QDPixels& bits, const std::vector<DevRect>& clip, const DevRect& area, const Paint& paint,
                 short scale);
// Paints a local rectangle of the current port through its clip.
void PaintLocal(GrafPort* port, const Rect& local, const Paint& paint);
// Paints the device spans of a shape given row by row: for each device row
// y in [y0, y1), span(y) returns [x0, x1) pairs.
template <typename SpanFn>
void PaintRows(GrafPort* port, int y0, int y1, const Paint& paint, SpanFn span);

// Tells the compositor the screen must be composed again.
void MarkScreenDirty();

// The highlight colour (pen mode hilite).
UInt32 HiliteColor();
// True (once) when the high bit of the hilite mode was cleared: the next
// inversion highlights instead.
bool TakeHiliteRequest();

}  // namespace qd

template <typename SpanFn>
void qd::PaintRows(GrafPort* port, int y0, int y1, const Paint& paint, SpanFn span)
{
    std::vector<DevRect> clip = DeviceClip(port);
    for (int y = y0; y < y1; ++y)
        for (auto [x0, x1] : span(y)) PaintDevice(port->bits, clip, DevRect{x0, y, x1, y + 1}, paint, port->scale);
    MarkScreenDirty();
}
