// Following the mouse after a click in a control.
#include <cstdlib>

#include "platform/ui/controls/ControlInternal.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/controls/ScrollBarGeometry.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

// Auto-repeat of arrows and page areas: the first repeat waits a little, so
// that a single click scrolls one step, then the action repeats steadily.
constexpr UInt32 kInitialRepeatTicks = 18;
constexpr UInt32 kRepeatTicks = 3;
// Dragging the thumb further than this from the bar lets it spring back.
constexpr short kThumbSlop = 40;

ControlActionUPP ResolveAction(ControlHandle c, ControlActionUPP actionProc)
{
    if (actionProc == reinterpret_cast<ControlActionUPP>(-1))
        return (*c)->contrlAction;
    return actionProc;
}

Point MouseIn(WindowPtr window)
{
    look::PortScope scope(window);
    Point pt{};
    GetMouse(&pt);
    return pt;
}

void WaitATick()
{
    unsigned long ticks = 0;
    Delay(1, &ticks);
}

// Push buttons, check boxes, radio buttons: pressed while the mouse is
// inside, chosen when released inside.
ControlPartCode TrackButton(ControlHandle c, ControlPartCode part)
{
    WindowPtr owner = (*c)->contrlOwner;
    bool inside = true;
    for (;;) {
        HiliteControl(c, inside ? part : 0);
        WMFlushScreen();
        if (!WaitMouseUp())
            break;
        Point pt = MouseIn(owner);
        bool nowInside = PtInRect(pt, &(*c)->contrlRect);
        if (nowInside == inside)
            WaitATick();
        inside = nowInside;
    }
    inside = PtInRect(MouseIn(owner), &(*c)->contrlRect);
    HiliteControl(c, 0);
    WMFlushScreen();
    return inside ? part : ControlPartCode(kControlNoPart);
}

// Arrows and page areas: the action runs at once and repeats while the
// button stays down and the mouse stays in the part it started in.
ControlPartCode TrackRepeatingPart(ControlHandle c, ControlPartCode part, ControlActionUPP action)
{
    WindowPtr owner = (*c)->contrlOwner;
    auto partUnderMouse = [&]() { return scrollbar::PartAt(scrollbar::Measure(c), MouseIn(owner)); };
    HiliteControl(c, part);
    if (action != nil)
        action(c, part);
    WMFlushScreen();
    UInt32 nextRepeat = TickCount() + kInitialRepeatTicks;
    while (WaitMouseUp()) {
        bool inPart = partUnderMouse() == part;
        HiliteControl(c, inPart ? part : 0);
        if (inPart && TickCount() >= nextRepeat) {
            if (action != nil)
                action(c, part);
            nextRepeat = TickCount() + kRepeatTicks;
            WMFlushScreen();
        } else {
            WMFlushScreen();
            WaitATick();
        }
    }
    bool releasedInPart = partUnderMouse() == part;
    HiliteControl(c, 0);
    WMFlushScreen();
    return releasedInPart ? part : ControlPartCode(kControlNoPart);
}

short AlongBar(const scrollbar::Geometry& g, Point pt) { return g.vertical ? pt.v : pt.h; }

bool WithinSlop(const Rect& bar, Point pt)
{
    Rect slop = bar;
    InsetRect(&slop, -kThumbSlop, -kThumbSlop);
    return PtInRect(pt, &slop);
}

void DrawThumbOutline(ControlHandle c, const Rect& outline)
{
    Draw1Control(c);
    look::PortScope scope((*c)->contrlOwner);
    PenSize(2, 2);
    RGBForeColor(&look::kBlack);
    FrameRect(&outline);
}

// The thumb: an outline follows the mouse along the bar; the value is set
// when the button is released, unless the mouse strayed far from the bar.
ControlPartCode TrackThumb(ControlHandle c, Point start)
{
    WindowPtr owner = (*c)->contrlOwner;
    const scrollbar::Geometry g = scrollbar::Measure(c);
    const Rect bar = (*c)->contrlRect;
    HiliteControl(c, kControlIndicatorPart);
    Point pt = start;
    Rect outline = g.thumb;
    for (;;) {
        bool near = WithinSlop(bar, pt);
        outline = scrollbar::MovedThumb(g, near ? short(AlongBar(g, pt) - AlongBar(g, start)) : short(0));
        DrawThumbOutline(c, outline);
        WMFlushScreen();
        if (!WaitMouseUp())
            break;
        Point next = MouseIn(owner);
        if (EqualPt(next, pt))
            WaitATick();
        pt = next;
    }
    pt = MouseIn(owner);
    const bool accepted = WithinSlop(bar, pt);
    HiliteControl(c, 0);
    if (accepted) {
        outline = scrollbar::MovedThumb(g, short(AlongBar(g, pt) - AlongBar(g, start)));
        short lead = g.vertical ? outline.top : outline.left;
        SetControlValue(c, scrollbar::ValueForThumb(g, lead, (*c)->contrlMin, (*c)->contrlMax));
    }
    Draw1Control(c);
    WMFlushScreen();
    return accepted ? kControlIndicatorPart : kControlNoPart;
}

}  // namespace

ControlPartCode TestControl(ControlHandle theControl, Point testPoint)
{
    if (!controls::IsLive(theControl) || !PtInRect(testPoint, &(*theControl)->contrlRect))
        return kControlNoPart;
    switch (controls::KindOf(theControl)) {
    case controls::Kind::kPushButton: return kControlButtonPart;
    case controls::Kind::kCheckBox:
    case controls::Kind::kRadioButton: return kControlCheckBoxPart;
    case controls::Kind::kScrollBar: return scrollbar::PartAt(scrollbar::Measure(theControl), testPoint);
    }
    return kControlNoPart;
}

ControlPartCode FindControl(Point thePoint, WindowPtr theWindow, ControlHandle* theControl)
{
    if (theControl != nil)
        *theControl = nil;
    auto* list = controls::ControlsOf(theWindow);
    if (list == nil)
        return kControlNoPart;
    for (ControlHandle c : *list) {
        ControlPartCode part = TestControl(c, thePoint);
        if (part != kControlNoPart) {
            if (theControl != nil)
                *theControl = c;
            return part;
        }
    }
    return kControlNoPart;
}

ControlPartCode TrackControl(ControlHandle theControl, Point startPoint, ControlActionUPP actionProc)
{
    ControlPartCode part = TestControl(theControl, startPoint);
    if (part == kControlNoPart)
        return kControlNoPart;
    ControlActionUPP action = ResolveAction(theControl, actionProc);
    if (controls::KindOf(theControl) != controls::Kind::kScrollBar)
        return TrackButton(theControl, part);
    if (part == kControlIndicatorPart)
        return TrackThumb(theControl, startPoint);
    return TrackRepeatingPart(theControl, part, action);
}

ControlPartCode HandleControlClick(ControlHandle inControl, Point inWhere, EventModifiers inModifiers,
                                   ControlActionUPP inAction)
{
    return TrackControl(inControl, inWhere, inAction);
}
