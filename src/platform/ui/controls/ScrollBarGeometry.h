// Where the parts of a scroll bar are, and how the thumb maps to values.
//
// A scroll bar is vertical when it is taller than wide. From its top (or
// left): the up arrow, the page-up area, the thumb, the page-down area and
// the down arrow. The thumb is square and only shows when the maximum lies
// above the minimum and the bar is long enough to hold it.
#pragma once

#include "platform/ui/controls/Controls.h"

namespace scrollbar {

struct Geometry {
    bool vertical = true;
    Rect upArrow{};
    Rect downArrow{};
    Rect track{};       // between the arrows
    Rect thumb{};       // empty when there is none
    bool hasThumb = false;
    // A bar whose maximum does not lie above its minimum has nothing to
    // scroll: it draws inactive and takes no clicks.
    bool active = false;
};

Geometry Measure(const Rect& bounds, short value, short minimum, short maximum);
Geometry Measure(ControlHandle c);

// The part at a local point (0: none).
ControlPartCode PartAt(const Geometry& g, Point pt);

// The value for a thumb whose leading edge sits at thumbStart (a position
// along the bar, clamped to the track).
short ValueForThumb(const Geometry& g, short thumbStart, short minimum, short maximum);

// The thumb rectangle moved by delta along the bar, kept inside the track.
Rect MovedThumb(const Geometry& g, short delta);

}  // namespace scrollbar
