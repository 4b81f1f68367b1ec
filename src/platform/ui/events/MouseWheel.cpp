// The mouse wheel has no classic event. Over a window with a scroll bar each
// notch becomes clicks on that bar's matching arrow, so an application
// scrolls through the path it already has for clicks. Vertical notches go to
// the vertical bar, or to the horizontal one while Shift is down; sideways
// notches go to the horizontal bar.
#include "platform/ui/controls/ControlInternal.h"
#include "platform/ui/controls/ScrollBarGeometry.h"
#include "platform/ui/events/EventInput.h"
#include "platform/ui/events/EventState.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/windows/WindowList.h"

namespace {

// About a line of text at a usual arrow step of two points.
constexpr int kClicksPerNotch = 6;

// The window's first scroll bar that takes clicks and runs the given way.
ControlHandle ScrollBarOf(WindowPtr w, bool vertical)
{
    auto* list = controls::ControlsOf(w);
    if (list == nullptr)
        return nullptr;
    for (ControlHandle c : *list) {
        if (controls::KindOf(c) != controls::Kind::kScrollBar || !controls::IsLive(c))
            continue;
        scrollbar::Geometry g = scrollbar::Measure(c);
        if (g.vertical == vertical && g.active)
            return c;
    }
    return nullptr;
}

void ClickArrow(WindowPtr w, bool vertical, int notches)
{
    ControlHandle bar = ScrollBarOf(w, vertical);
    if (bar == nullptr || notches == 0)
        return;
    scrollbar::Geometry g = scrollbar::Measure(bar);
    const Rect& arrow = notches > 0 ? g.downArrow : g.upArrow;
    Rect content = wm::ContentRect(w);
    Point at = {short(content.top + (arrow.top + arrow.bottom) / 2),
                short(content.left + (arrow.left + arrow.right) / 2)};
    int clicks = (notches > 0 ? notches : -notches) * kClicksPerNotch;
    for (int i = 0; i < clicks; ++i) {
        UIInputMouseButton(true, at);
        UIInputMouseButton(false, at);
    }
}

}  // namespace

void UIInputWheel(Point where, int down, int right)
{
    WindowPtr w = nullptr;
    if (FindWindow(where, &w) != inContent || w == nullptr)
        return;
    if (events::CurrentModifiers() & shiftKey) {
        right += down;
        down = 0;
    }
    ClickArrow(w, true, down);
    ClickArrow(w, false, right);
    // The pointer stays where the person left it.
    UIInputMouseMoved(where);
}
