// ScrollRect and the drawing of foreign pixels into a port.
#include <algorithm>
#include <cstring>

#include "platform/ui/quickdraw/QDInternal.h"
#include "platform/ui/quickdraw/RegionData.h"

namespace {

// Copies rows of the rectangle `area` (device pixels) so that the pixel at
// p lands at p + (dx, dy), walking in the direction that never reads a
// pixel already overwritten.
void ShiftPixels(QDPixels& bits, const qd::DevRect& area, int dx, int dy)
{
    qd::DevRect dst = qd::Intersect(area, qd::DevRect{area.x0 + dx, area.y0 + dy, area.x1 + dx, area.y1 + dy});
    if (dst.Empty()) return;
    int width = dst.x1 - dst.x0;
    auto copyRow = [&](int y) {
        UInt32* row = bits.pixels.data();
        std::memmove(&row[size_t(y) * bits.width + dst.x0], &row[size_t(y - dy) * bits.width + dst.x0 - dx],
                     size_t(width) * sizeof(UInt32));
    };
    if (dy > 0)
        for (int y = dst.y1 - 1; y >= dst.y0; --y) copyRow(y);
    else
        for (int y = dst.y0; y < dst.y1; ++y) copyRow(y);
}

}  // namespace

void ScrollRect(const Rect* r, short dh, short dv, RgnHandle updateRgn)
{
    GrafPtr port = qd::CurrentPort();
    if (updateRgn) SetEmptyRgn(updateRgn);
    if (!port || !r) return;
    Rect area;
    if (!SectRect(r, &port->portRect, &area)) return;

    // What the shift leaves behind: the area minus the area moved along.
    Rect moved = area;
    OffsetRect(&moved, dh, dv);
    std::vector<Rect> uncovered = rgn::Combine(rgn::FromRect(area), rgn::FromRect(moved), rgn::Op::Diff);

    qd::DevRect inBuffer = qd::Intersect(qd::ToDevice(port, area), qd::DevRect{0, 0, port->bits.width, port->bits.height});
    if (!inBuffer.Empty()) ShiftPixels(port->bits, inBuffer, dh * port->scale, dv * port->scale);
    qd::Paint erase = qd::ErasePaint(port);
    std::vector<qd::DevRect> all{qd::DevRect{0, 0, port->bits.width, port->bits.height}};
    for (const Rect& u : uncovered) qd::PaintDevice(port->bits, all, qd::ToDevice(port, u), erase, port->scale);
    qd::MarkScreenDirty();
    if (updateRgn) rgn::Rects(updateRgn) = uncovered;
}

// Nearest-neighbour scaling is enough here: the movie controller hands
// frames already at the size of their box.
void QDDrawPixels(const Rect* dstRect, const UInt32* argb, int width, int height, int rowPixels)
{
    GrafPtr port = qd::CurrentPort();
    if (!port || !dstRect || !argb || width <= 0 || height <= 0 || EmptyRect(dstRect)) return;
    qd::DevRect dst = qd::ToDevice(port, *dstRect);
    int dw = dst.x1 - dst.x0, dh = dst.y1 - dst.y0;
    std::vector<int> srcX(static_cast<size_t>(dw));
    for (int x = 0; x < dw; ++x) srcX[size_t(x)] = int((long long)x * width / dw);
    for (const qd::DevRect& c : qd::DeviceClip(port)) {
        qd::DevRect r = qd::Intersect(qd::Intersect(dst, c), qd::DevRect{0, 0, port->bits.width, port->bits.height});
        for (int y = r.y0; y < r.y1; ++y) {
            const UInt32* src = argb + size_t((long long)(y - dst.y0) * height / dh) * rowPixels;
            UInt32* out = &port->bits.pixels[size_t(y) * port->bits.width];
            for (int x = r.x0; x < r.x1; ++x) out[x] = src[srcX[size_t(x - dst.x0)]] | 0xFF000000u;
        }
    }
    qd::MarkScreenDirty();
}
