#include "platform/ui/controls/ScrollBarGeometry.h"

#include <algorithm>

#include "platform/ui/controls/ControlInternal.h"
#include "platform/ui/quickdraw/QuickDraw.h"

namespace scrollbar {

namespace {

// Leading and trailing edges along the bar's axis.
short Lead(const Geometry& g, const Rect& r) { return g.vertical ? r.top : r.left; }
short Trail(const Geometry& g, const Rect& r) { return g.vertical ? r.bottom : r.right; }
short Along(const Geometry& g, Point pt) { return g.vertical ? pt.v : pt.h; }

Rect Span(const Rect& bounds, bool vertical, short from, short to)
{
    return vertical ? Rect{from, bounds.left, to, bounds.right} : Rect{bounds.top, from, bounds.bottom, to};
}

}  // namespace

Geometry Measure(const Rect& bounds, short value, short minimum, short maximum)
{
    Geometry g;
    short height = bounds.bottom - bounds.top;
    short width = bounds.right - bounds.left;
    g.vertical = height > width;
    short start = g.vertical ? bounds.top : bounds.left;
    short end = g.vertical ? bounds.bottom : bounds.right;
    short thickness = g.vertical ? width : height;
    // Arrows are square, unless the bar is too short for two of them.
    short arrow = std::min<short>(thickness, (end - start) / 2);
    g.upArrow = Span(bounds, g.vertical, start, start + arrow);
    g.downArrow = Span(bounds, g.vertical, end - arrow, end);
    g.track = Span(bounds, g.vertical, start + arrow, end - arrow);
    short trackLength = end - start - 2 * arrow;
    short thumbLength = thickness;
    g.active = maximum > minimum;
    g.hasThumb = g.active && trackLength >= thumbLength + 2;
    if (g.hasThumb) {
        value = std::clamp(value, minimum, maximum);
        long room = trackLength - thumbLength;
        short offset = short(room * (long(value) - minimum) / (long(maximum) - minimum));
        short lead = start + arrow + offset;
        g.thumb = Span(bounds, g.vertical, lead, lead + thumbLength);
    }
    return g;
}

Geometry Measure(ControlHandle c)
{
    return Measure((*c)->contrlRect, (*c)->contrlValue, (*c)->contrlMin, (*c)->contrlMax);
}

ControlPartCode PartAt(const Geometry& g, Point pt)
{
    if (!g.active)
        return kControlNoPart;
    if (PtInRect(pt, &g.upArrow))
        return kControlUpButtonPart;
    if (PtInRect(pt, &g.downArrow))
        return kControlDownButtonPart;
    if (!g.hasThumb || !PtInRect(pt, &g.track))
        return kControlNoPart;
    if (PtInRect(pt, &g.thumb))
        return kControlIndicatorPart;
    return Along(g, pt) < Lead(g, g.thumb) ? kControlPageUpPart : kControlPageDownPart;
}

short ValueForThumb(const Geometry& g, short thumbStart, short minimum, short maximum)
{
    short thumbLength = Trail(g, g.thumb) - Lead(g, g.thumb);
    long room = Trail(g, g.track) - Lead(g, g.track) - thumbLength;
    if (room <= 0 || maximum <= minimum)
        return minimum;
    long offset = std::clamp<long>(thumbStart - Lead(g, g.track), 0, room);
    // Round to the nearest value so that dropping the thumb where it was
    // drawn gives back the value it showed.
    long span = long(maximum) - minimum;
    return short(minimum + (offset * span + room / 2) / room);
}

Rect MovedThumb(const Geometry& g, short delta)
{
    short thumbLength = Trail(g, g.thumb) - Lead(g, g.thumb);
    short lead = std::clamp<short>(Lead(g, g.thumb) + delta, Lead(g, g.track), Trail(g, g.track) - thumbLength);
    return Span(g.track, g.vertical, lead, lead + thumbLength);
}

}  // namespace scrollbar
