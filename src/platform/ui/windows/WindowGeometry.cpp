// Where the parts of a window are, and what a click at a point hits.
//
// A document window has a one-point frame around a title bar 19 points high
// and the content. The close box sits at the left of the title bar, the zoom
// box at its right, the grow box in the content's bottom-right corner (the
// application leaves room for it, as classic applications do). Modal boxes
// have no title bar and a thicker frame.
#include "platform/ui/windows/WindowList.h"

namespace {

enum : short {
    kTitleBarHeight = 19,   // title bar plus the line under it
    kBoxSize = 11,
    kBoxInset = 7,
    kGrowBoxSize = 15,
    kModalFrame = 5,        // thickness of the modal box frame
};

Rect Outset(Rect r, short d)
{
    r.top -= d;
    r.left -= d;
    r.bottom += d;
    r.right += d;
    return r;
}

bool IsModalBox(WindowPtr w) { return w->procID == dBoxProc || w->procID == altDBoxProc; }

}  // namespace

namespace wm {

void ApplyProcID(WindowPtr w, short procID, bool goAwayFlag)
{
    w->procID = procID;
    short variant = short(procID & 0x0F);
    w->hasTitleBar = !(variant == dBoxProc || variant == plainDBox || variant == altDBoxProc);
    w->hasGrow = variant == documentProc || variant == zoomDocProc;
    w->hasZoom = variant == zoomDocProc || variant == zoomNoGrow;
    // A movable modal box has a title bar but nothing to close it with.
    w->goAwayFlag = goAwayFlag && w->hasTitleBar && variant != movableDBoxProc;
}

Rect ContentRect(WindowPtr w)
{
    Rect r{w->portGlobal.v, w->portGlobal.h, short(w->portGlobal.v + (w->portRect.bottom - w->portRect.top)),
           short(w->portGlobal.h + (w->portRect.right - w->portRect.left))};
    return r;
}

Rect StructureRect(WindowPtr w)
{
    Rect c = ContentRect(w);
    if (IsModalBox(w)) return Outset(c, kModalFrame);
    Rect s = Outset(c, 1);
    if (w->hasTitleBar) s.top = short(c.top - kTitleBarHeight - 1);
    return s;
}

Rect TitleBarRect(WindowPtr w)
{
    if (!w->hasTitleBar) return Rect{0, 0, 0, 0};
    Rect c = ContentRect(w);
    return Rect{short(c.top - kTitleBarHeight), c.left, short(c.top - 1), c.right};
}

Rect CloseBoxRect(WindowPtr w)
{
    if (!w->goAwayFlag) return Rect{0, 0, 0, 0};
    Rect t = TitleBarRect(w);
    short top = short(t.top + (t.bottom - t.top - kBoxSize) / 2);
    return Rect{top, short(t.left + kBoxInset), short(top + kBoxSize), short(t.left + kBoxInset + kBoxSize)};
}

Rect ZoomBoxRect(WindowPtr w)
{
    if (!w->hasZoom || !w->hasTitleBar) return Rect{0, 0, 0, 0};
    Rect t = TitleBarRect(w);
    short top = short(t.top + (t.bottom - t.top - kBoxSize) / 2);
    return Rect{top, short(t.right - kBoxInset - kBoxSize), short(top + kBoxSize), short(t.right - kBoxInset)};
}

Rect GrowBoxRect(WindowPtr w)
{
    if (!w->hasGrow) return Rect{0, 0, 0, 0};
    Rect c = ContentRect(w);
    return Rect{short(c.bottom - kGrowBoxSize), short(c.right - kGrowBoxSize), c.bottom, c.right};
}

short PartAt(WindowPtr w, Point pt)
{
    Rect s = StructureRect(w);
    if (!PtInRect(pt, &s)) return inNoWindow;
    Rect c = ContentRect(w), grow = GrowBoxRect(w), close = CloseBoxRect(w), zoom = ZoomBoxRect(w);
    if (PtInRect(pt, &c)) return PtInRect(pt, &grow) ? inGrow : inContent;
    if (PtInRect(pt, &close)) return inGoAway;
    if (PtInRect(pt, &zoom)) return EqualRect(&c, &w->stdState) ? inZoomIn : inZoomOut;
    // Modal boxes do not move: their frame counts as content.
    if (!w->hasTitleBar) return inContent;
    return inDrag;
}

}  // namespace wm
