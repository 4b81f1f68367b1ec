// The inside of a region, for the toolbox's own use.
//
// A region is a set of disjoint rectangles kept in canonical form: cut into
// horizontal bands, each band's rectangles sorted left to right and never
// touching, vertically equal neighbours merged. Two equal sets of points
// thus always have equal rectangle lists.
#pragma once

#include <vector>

#include "platform/ui/quickdraw/QuickDraw.h"

struct MacRegion {
    std::vector<Rect> rects;
};

namespace rgn {

enum class Op { Union, Sect, Diff, Xor };

// Combines two canonical rectangle lists into a canonical list.
std::vector<Rect> Combine(const std::vector<Rect>& a, const std::vector<Rect>& b, Op op);
// The canonical list of one rectangle (empty when the rectangle is empty).
std::vector<Rect> FromRect(const Rect& r);
Rect Bounds(const std::vector<Rect>& rects);

// Direct access to a handle's rectangles.
inline std::vector<Rect>& Rects(RgnHandle h) { return (*h)->rects; }

}  // namespace rgn
