// Lines, rectangles, rounded rectangles, ovals and regions.
//
// The pen hangs below and to the right of the point it is at: a line from
// (h1,v1) to (h2,v2) covers, for every point of the line, the pen-sized
// rectangle whose top-left corner is that point. Frames lie inside their
// rectangle.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/ui/quickdraw/QDInternal.h"
#include "platform/ui/quickdraw/RegionData.h"

namespace {

using qd::Paint;

GrafPtr Port() { return qd::CurrentPort(); }

void PenRect(GrafPtr port, int h, int v, const Paint& paint)
{
    Rect r{short(v), short(h), short(v + port->pnSize.v), short(h + port->pnSize.h)};
    qd::PaintLocal(port, r, paint);
}

void DrawLine(GrafPtr port, Point from, Point to)
{
    if (port->pnSize.h <= 0 || port->pnSize.v <= 0) return;
    Paint paint = qd::PenPaint(port);
    // Straight lines are one rectangle: fast and exact.
    if (from.h == to.h || from.v == to.v) {
        Rect r{std::min(from.v, to.v), std::min(from.h, to.h), short(std::max(from.v, to.v) + port->pnSize.v),
               short(std::max(from.h, to.h) + port->pnSize.h)};
        qd::PaintLocal(port, r, paint);
        return;
    }
    int dh = std::abs(to.h - from.h), dv = -std::abs(to.v - from.v);
    int sh = from.h < to.h ? 1 : -1, sv = from.v < to.v ? 1 : -1;
    int err = dh + dv, h = from.h, v = from.v;
    for (;;) {
        PenRect(port, h, v, paint);
        if (h == to.h && v == to.v) break;
        int e2 = 2 * err;
        if (e2 >= dv) { err += dv; h += sh; }
        if (e2 <= dh) { err += dh; v += sv; }
    }
}

// The horizontal extent [x0, x1) of a rounded rectangle at device row y.
// The corners are quarter ellipses of radii rx, ry (device pixels).
std::pair<int, int> RoundSpan(const qd::DevRect& r, int rx, int ry, int y)
{
    rx = std::min(rx, (r.x1 - r.x0) / 2);
    ry = std::min(ry, (r.y1 - r.y0) / 2);
    if (rx <= 0 || ry <= 0) return {r.x0, r.x1};
    double cy = y + 0.5, inset = 0;
    if (cy < r.y0 + ry || cy > r.y1 - ry) {
        double dy = cy < r.y0 + ry ? (r.y0 + ry - cy) : (cy - (r.y1 - ry));
        double t = std::max(0.0, 1.0 - (dy * dy) / (double(ry) * ry));
        inset = rx - rx * std::sqrt(t);
    }
    int in = int(std::lround(inset));
    return {r.x0 + in, r.x1 - in};
}

void PaintRound(GrafPtr port, const Rect* rect, short ovalW, short ovalH, const Paint& paint)
{
    if (!port || !rect || EmptyRect(rect)) return;
    qd::DevRect d = qd::ToDevice(port, *rect);
    int rx = ovalW * port->scale / 2, ry = ovalH * port->scale / 2;
    qd::PaintRows(port, d.y0, d.y1, paint, [&](int y) {
        auto [x0, x1] = RoundSpan(d, rx, ry, y);
        return std::vector<std::pair<int, int>>{{x0, x1}};
    });
}

// The ring between the rounded rectangle and the same shape inset by the
// pen size.
void FrameRound(GrafPtr port, const Rect* rect, short ovalW, short ovalH)
{
    if (!port || !rect || EmptyRect(rect)) return;
    qd::DevRect outer = qd::ToDevice(port, *rect);
    int ph = port->pnSize.h * port->scale, pv = port->pnSize.v * port->scale;
    qd::DevRect inner{outer.x0 + ph, outer.y0 + pv, outer.x1 - ph, outer.y1 - pv};
    int rx = ovalW * port->scale / 2, ry = ovalH * port->scale / 2;
    qd::PaintRows(port, outer.y0, outer.y1, qd::PenPaint(port), [&](int y) {
        auto [x0, x1] = RoundSpan(outer, rx, ry, y);
        std::vector<std::pair<int, int>> spans;
        if (inner.Empty() || y < inner.y0 || y >= inner.y1) {
            spans.push_back({x0, x1});
            return spans;
        }
        auto [i0, i1] = RoundSpan(inner, std::max(0, rx - ph), std::max(0, ry - pv), y);
        spans.push_back({x0, std::max(x0 + ph, i0)});
        spans.push_back({std::min(x1 - ph, i1), x1});
        return spans;
    });
}

void PaintRegion(RgnHandle region, const Paint& paint)
{
    GrafPtr port = Port();
    if (!port || !region) return;
    for (const Rect& r : rgn::Rects(region)) qd::PaintLocal(port, r, paint);
}

}  // namespace

void LineTo(short h, short v)
{
    GrafPtr port = Port();
    if (!port) return;
    DrawLine(port, port->pnLoc, Point{v, h});
    port->pnLoc = Point{v, h};
}

void Line(short dh, short dv)
{
    GrafPtr port = Port();
    if (port) LineTo(short(port->pnLoc.h + dh), short(port->pnLoc.v + dv));
}

void FrameRect(const Rect* r)
{
    GrafPtr port = Port();
    if (!port || !r || EmptyRect(r)) return;
    Paint paint = qd::PenPaint(port);
    short ph = port->pnSize.h, pv = port->pnSize.v;
    // A pen wider than half the rectangle fills it, as the classic frame does.
    if (2 * ph >= r->right - r->left || 2 * pv >= r->bottom - r->top) {
        qd::PaintLocal(port, *r, paint);
        return;
    }
    qd::PaintLocal(port, Rect{r->top, r->left, short(r->top + pv), r->right}, paint);
    qd::PaintLocal(port, Rect{short(r->bottom - pv), r->left, r->bottom, r->right}, paint);
    qd::PaintLocal(port, Rect{short(r->top + pv), r->left, short(r->bottom - pv), short(r->left + ph)}, paint);
    qd::PaintLocal(port, Rect{short(r->top + pv), short(r->right - ph), short(r->bottom - pv), r->right}, paint);
}

void PaintRect(const Rect* r)
{
    if (Port() && r) qd::PaintLocal(Port(), *r, qd::PenPaint(Port()));
}

void EraseRect(const Rect* r)
{
    if (Port() && r) qd::PaintLocal(Port(), *r, qd::ErasePaint(Port()));
}

void InvertRect(const Rect* r)
{
    if (Port() && r) qd::PaintLocal(Port(), *r, qd::InvertPaint(Port()));
}

void FillRect(const Rect* r, const Pattern* pat)
{
    if (Port() && r && pat) qd::PaintLocal(Port(), *r, qd::FillPaint(Port(), *pat));
}

void FillCRect(const Rect* r, const RGBColor* color)
{
    if (!Port() || !r || !color) return;
    Paint paint = qd::ErasePaint(Port());
    paint.fg = qd::Pack(*color);
    qd::PaintLocal(Port(), *r, paint);
}

void FrameRoundRect(const Rect* r, short w, short h) { FrameRound(Port(), r, w, h); }
void PaintRoundRect(const Rect* r, short w, short h)
{
    if (Port()) PaintRound(Port(), r, w, h, qd::PenPaint(Port()));
}
void EraseRoundRect(const Rect* r, short w, short h)
{
    if (Port()) PaintRound(Port(), r, w, h, qd::ErasePaint(Port()));
}
void InvertRoundRect(const Rect* r, short w, short h)
{
    if (Port()) PaintRound(Port(), r, w, h, qd::InvertPaint(Port()));
}
void FillRoundRect(const Rect* r, short w, short h, const Pattern* pat)
{
    if (Port() && pat) PaintRound(Port(), r, w, h, qd::FillPaint(Port(), *pat));
}

static short Width(const Rect* r) { return r ? short(r->right - r->left) : 0; }
static short Height(const Rect* r) { return r ? short(r->bottom - r->top) : 0; }

void FrameOval(const Rect* r) { FrameRoundRect(r, Width(r), Height(r)); }
void PaintOval(const Rect* r) { PaintRoundRect(r, Width(r), Height(r)); }
void EraseOval(const Rect* r) { EraseRoundRect(r, Width(r), Height(r)); }
void InvertOval(const Rect* r) { InvertRoundRect(r, Width(r), Height(r)); }

// The frame of a region is the region minus the region shrunk by the pen.
void FrameRgn(RgnHandle region)
{
    GrafPtr port = Port();
    if (!port || !region) return;
    RgnHandle inner = NewRgn(), ring = NewRgn();
    CopyRgn(region, inner);
    InsetRgn(inner, port->pnSize.h, port->pnSize.v);
    DiffRgn(region, inner, ring);
    PaintRegion(ring, qd::PenPaint(port));
    DisposeRgn(inner);
    DisposeRgn(ring);
}

void PaintRgn(RgnHandle r)
{
    if (Port()) PaintRegion(r, qd::PenPaint(Port()));
}
void EraseRgn(RgnHandle r)
{
    if (Port()) PaintRegion(r, qd::ErasePaint(Port()));
}
void InvertRgn(RgnHandle r)
{
    if (Port()) PaintRegion(r, qd::InvertPaint(Port()));
}
void FillRgn(RgnHandle r, const Pattern* pat)
{
    if (Port() && pat) PaintRegion(r, qd::FillPaint(Port(), *pat));
}
