// Finding windows under the mouse and following the mouse through drags,
// grows and clicks in the title bar boxes.
//
// Each tracking loop asks StillDown for the next mouse state, so a person
// sees an outline follow the mouse and a test script's moves are taken one
// by one.
#include <algorithm>

#include "platform/ui/windows/Compositor.h"
#include "platform/ui/events/EventState.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/windows/WindowFrames.h"
#include "platform/ui/windows/WindowList.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

enum : short { kMinimumGrow = 32 };

Point Mouse() { return events::MouseLocation(); }

// Keeps a point inside a rectangle (the drag bounds).
Point Pin(Point p, const Rect& r)
{
    if (EmptyRect(&r)) return p;
    p.h = std::clamp<short>(p.h, r.left, short(r.right - 1));
    p.v = std::clamp<short>(p.v, r.top, short(r.bottom - 1));
    return p;
}

Rect Offset(Rect r, short dh, short dv)
{
    OffsetRect(&r, dh, dv);
    return r;
}

Boolean TrackPart(WindowPtr window, short part, const Rect& box)
{
    if (!wm::IsWindow(window) || EmptyRect(&box)) return false;
    while (StillDown()) {
        frames::SetPressed(window, PtInRect(Mouse(), &box) ? part : 0);
        compositor::PresentIfNeeded();
    }
    frames::SetPressed(nullptr, 0);
    return PtInRect(Mouse(), &box);
}

}  // namespace

short FindWindow(Point thePoint, WindowPtr* theWindow)
{
    if (theWindow) *theWindow = nullptr;
    Rect screen = WMScreenBounds();
    if (thePoint.v >= screen.top && thePoint.v < kMenuBarHeight) return inMenuBar;
    for (WindowPtr w : wm::List()) {
        if (!w->visible) continue;
        short part = wm::PartAt(w, thePoint);
        if (part == inNoWindow) continue;
        if (theWindow) *theWindow = w;
        return part;
    }
    return inDesk;
}

// The outline follows the mouse, which is kept inside boundsRect; the title
// bar never goes under the menu bar. Without the command key the window is
// brought to the front, as a click in its title bar would.
void DragWindow(WindowPtr window, Point startPt, const Rect* boundsRect)
{
    if (!wm::IsWindow(window)) return;
    bool keepBehind = (events::CurrentModifiers() & cmdKey) != 0;
    Rect limits = boundsRect ? *boundsRect : WMScreenBounds();
    Rect structure = wm::StructureRect(window);
    short dh = 0, dv = 0;
    auto follow = [&] {
        Point p = Pin(Mouse(), limits);
        dh = short(p.h - startPt.h);
        dv = short(p.v - startPt.v);
        if (dv < 0 && structure.top + dv < kMenuBarHeight) dv = std::min<short>(0, short(kMenuBarHeight - structure.top));
        Rect moved = Offset(structure, dh, dv);
        compositor::SetOutline(&moved);
        compositor::PresentIfNeeded();
    };
    while (StillDown()) follow();
    follow();
    compositor::SetOutline(nullptr);
    if (dh != 0 || dv != 0)
        MoveWindow(window, short(window->portGlobal.h + dh), short(window->portGlobal.v + dv), false);
    if (!keepBehind) SelectWindow(window);
}

// The result packs height in the high word and width in the low word; 0
// means the size did not change, which callers rely on.
long GrowWindow(WindowPtr window, Point startPt, const Rect* sizeRect)
{
    if (!wm::IsWindow(window)) return 0;
    Rect content = wm::ContentRect(window);
    short width0 = short(content.right - content.left), height0 = short(content.bottom - content.top);
    Rect limits = sizeRect ? *sizeRect : Rect{kMinimumGrow, kMinimumGrow, 32767, 32767};
    short minW = std::max<short>(limits.left, kMinimumGrow), minH = std::max<short>(limits.top, kMinimumGrow);
    short maxW = std::max(minW, limits.right), maxH = std::max(minH, limits.bottom);
    short width = width0, height = height0;
    Rect structure = wm::StructureRect(window);
    auto follow = [&] {
        Point p = Mouse();
        width = std::clamp<short>(short(width0 + p.h - startPt.h), minW, maxW);
        height = std::clamp<short>(short(height0 + p.v - startPt.v), minH, maxH);
        Rect outline = structure;
        outline.right = short(structure.right + width - width0);
        outline.bottom = short(structure.bottom + height - height0);
        compositor::SetOutline(&outline);
        compositor::PresentIfNeeded();
    };
    while (StillDown()) follow();
    follow();
    compositor::SetOutline(nullptr);
    if (width == width0 && height == height0) return 0;
    return (long(UInt16(height)) << 16) | long(UInt16(width));
}

Boolean TrackGoAway(WindowPtr window, Point)
{
    return wm::IsWindow(window) ? TrackPart(window, inGoAway, wm::CloseBoxRect(window)) : false;
}

Boolean TrackBox(WindowPtr window, Point, short partCode)
{
    return wm::IsWindow(window) ? TrackPart(window, partCode, wm::ZoomBoxRect(window)) : false;
}

// Zooming out goes to the standard state and remembers the user's size;
// zooming in goes back to it. The whole content needs drawing afterwards.
void ZoomWindow(WindowPtr window, short partCode, Boolean front)
{
    if (!wm::IsWindow(window)) return;
    Rect now = wm::ContentRect(window);
    Rect target = partCode == inZoomOut ? window->stdState : window->userState;
    if (partCode == inZoomOut) window->userState = now;
    MoveWindow(window, target.left, target.top, front);
    SizeWindow(window, short(target.right - target.left), short(target.bottom - target.top), true);
    InvalWindowRect(window, &window->portRect);
}

// The grow box in the bottom-right corner with the lines that border the
// scroll bar areas, as classic document windows show it.
void DrawGrowIcon(WindowPtr window)
{
    if (!wm::IsWindow(window) || !window->hasGrow) return;
    GrafPtr saved;
    GetPort(&saved);
    SetPort(window);
    PenState pen;
    GetPenState(&pen);
    RGBColor fore;
    GetForeColor(&fore);
    PenNormal();
    ForeColor(blackColor);
    Rect r = window->portRect;
    short gl = short(r.right - 15), gt = short(r.bottom - 15);
    MoveTo(short(gl - 1), r.top);
    LineTo(short(gl - 1), short(r.bottom - 1));
    MoveTo(r.left, short(gt - 1));
    LineTo(short(r.right - 1), short(gt - 1));
    Rect box{gt, gl, r.bottom, r.right};
    EraseRect(&box);
    if (window->hilited) {
        Rect small{short(gt + 3), short(gl + 3), short(gt + 9), short(gl + 9)};
        Rect large{short(gt + 5), short(gl + 5), short(gt + 13), short(gl + 13)};
        FrameRect(&large);
        EraseRect(&small);
        FrameRect(&small);
    }
    RGBForeColor(&fore);
    SetPenState(&pen);
    SetPort(saved);
}
