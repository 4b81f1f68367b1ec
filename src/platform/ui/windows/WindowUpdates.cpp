// Update areas, moving and sizing windows.
//
// Window contents live in their own buffers, so only what the application
// declares invalid, what a first showing reveals and what a resize uncovers
// ever needs drawing again.
#include <algorithm>

#include "platform/ui/events/EventState.h"
#include "platform/ui/quickdraw/QDInternal.h"
#include "platform/ui/quickdraw/RegionData.h"
#include "platform/ui/windows/WindowList.h"

namespace {

WindowPtr CurrentWindow() { return GetWindowFromPort(qd::CurrentPort()); }

void AddToUpdate(WindowPtr w, const std::vector<Rect>& area)
{
    std::vector<Rect> inside = rgn::Combine(area, rgn::FromRect(w->portRect), rgn::Op::Sect);
    rgn::Rects(w->updateRgn) = rgn::Combine(rgn::Rects(w->updateRgn), inside, rgn::Op::Union);
}

void RemoveFromUpdate(WindowPtr w, const std::vector<Rect>& area)
{
    rgn::Rects(w->updateRgn) = rgn::Combine(rgn::Rects(w->updateRgn), area, rgn::Op::Diff);
}

}  // namespace

void InvalWindowRect(WindowPtr window, const Rect* bounds)
{
    if (wm::IsWindow(window) && bounds) AddToUpdate(window, rgn::FromRect(*bounds));
}

void InvalWindowRgn(WindowPtr window, RgnHandle region)
{
    if (wm::IsWindow(window) && region) AddToUpdate(window, rgn::Rects(region));
}

void ValidWindowRect(WindowPtr window, const Rect* bounds)
{
    if (wm::IsWindow(window) && bounds) RemoveFromUpdate(window, rgn::FromRect(*bounds));
}

void ValidWindowRgn(WindowPtr window, RgnHandle region)
{
    if (wm::IsWindow(window) && region) RemoveFromUpdate(window, rgn::Rects(region));
}

void InvalRect(const Rect* badRect) { InvalWindowRect(CurrentWindow(), badRect); }
void InvalRgn(RgnHandle badRgn) { InvalWindowRgn(CurrentWindow(), badRgn); }
void ValidRect(const Rect* goodRect) { ValidWindowRect(CurrentWindow(), goodRect); }

// Between BeginUpdate and EndUpdate drawing is clipped to what was invalid;
// the update area itself is cleared at once, so drawing that invalidates
// again asks for a fresh update.
void BeginUpdate(WindowPtr window)
{
    if (!wm::IsWindow(window)) return;
    events::NoteUpdateServiced(window);
    if (!window->visRgn) window->visRgn = NewRgn();
    CopyRgn(window->updateRgn, window->visRgn);
    SetEmptyRgn(window->updateRgn);
}

void EndUpdate(WindowPtr window)
{
    if (!wm::IsWindow(window)) return;
    DisposeRgn(window->visRgn);
    window->visRgn = nullptr;
}

void MoveWindow(WindowPtr window, short hGlobal, short vGlobal, Boolean front)
{
    if (!wm::IsWindow(window)) return;
    window->portGlobal = Point{vGlobal, hGlobal};
    if (front) SelectWindow(window);
    qd::MarkScreenDirty();
}

void AlignWindow(WindowPtr window, Boolean front, const Rect*, void*)
{
    if (wm::IsWindow(window) && front) SelectWindow(window);
}

// A size of 0 by 0 is what GrowWindow answers when nothing changed, and
// callers pass it on; it leaves the window as it is rather than shrinking it
// to nothing.
void SizeWindow(WindowPtr window, short w, short h, Boolean fUpdate)
{
    if (!wm::IsWindow(window) || (w == 0 && h == 0)) return;
    w = std::max<short>(w, 0);
    h = std::max<short>(h, 0);
    Rect before = window->portRect;
    qd::ResizePort(window, w, h, qd::Pack(window->rgbBkColor));
    if (fUpdate) {
        std::vector<Rect> uncovered =
            rgn::Combine(rgn::FromRect(window->portRect), rgn::FromRect(before), rgn::Op::Diff);
        AddToUpdate(window, uncovered);
    }
    // The update area never reaches outside the port.
    rgn::Rects(window->updateRgn) =
        rgn::Combine(rgn::Rects(window->updateRgn), rgn::FromRect(window->portRect), rgn::Op::Sect);
    qd::MarkScreenDirty();
}
