// Window records and the window list: creating, showing, ordering and
// naming windows.
#include <algorithm>
#include <cstdint>

#include "platform/core/PascalStrings.h"
#include "platform/ui/backend/Backend.h"
#include "platform/ui/events/EventState.h"
#include "platform/ui/quickdraw/QDInternal.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/windows/WindowList.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

std::vector<WindowPtr> gWindows;          // front to back
std::vector<WMDisposeHookProcPtr> gDisposeHooks;
WindowPtr gActive = nullptr;

WindowPtr const kInFront = reinterpret_cast<WindowPtr>(-1);

void Insert(WindowPtr w, WindowPtr behind)
{
    auto& list = gWindows;
    if (behind == kInFront) {
        list.insert(list.begin(), w);
        return;
    }
    auto it = std::find(list.begin(), list.end(), behind);
    if (!behind || it == list.end())
        list.push_back(w);
    else
        list.insert(it + 1, w);
}

void Remove(WindowPtr w) { gWindows.erase(std::remove(gWindows.begin(), gWindows.end(), w), gWindows.end()); }

// The standard state of the zoom box: the screen below the menu bar, less
// a margin and the title bar.
Rect StandardState()
{
    Rect s = WMScreenBounds();
    return Rect{short(kMenuBarHeight + 24), short(s.left + 4), short(s.bottom - 4), short(s.right - 4)};
}

}  // namespace

// ---------------------------------------------------------------- event messages

WindowPtr WindowFromEventMessage(unsigned long message)
{
    WindowPtr w = reinterpret_cast<WindowPtr>(static_cast<uintptr_t>(message));
    return wm::IsWindow(w) ? w : nullptr;
}

unsigned long EventMessageFromWindow(WindowPtr window)
{
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window));
}

// ---------------------------------------------------------------- the window list

namespace wm {

std::vector<WindowPtr>& List() { return gWindows; }

bool IsWindow(WindowPtr w)
{
    return w && std::find(gWindows.begin(), gWindows.end(), w) != gWindows.end();
}

WindowPtr NextWindowToUpdate()
{
    for (WindowPtr w : gWindows)
        if (w->visible && !EmptyRgn(w->updateRgn)) return w;
    return nullptr;
}

void UpdateActivation()
{
    WindowPtr front = FrontWindow();
    if (front == gActive) return;
    if (gActive) {
        gActive->hilited = false;
        events::QueueActivate(gActive, false);
    }
    gActive = front;
    if (gActive) {
        gActive->hilited = true;
        events::QueueActivate(gActive, true);
    }
    qd::MarkScreenDirty();
}

void Reset()
{
    std::vector<WindowPtr> all = gWindows;
    for (WindowPtr w : all) DisposeWindow(w);
    gWindows.clear();
    gActive = nullptr;
}

}  // namespace wm

void WMAddDisposeHook(WMDisposeHookProcPtr hook)
{
    if (hook && std::find(gDisposeHooks.begin(), gDisposeHooks.end(), hook) == gDisposeHooks.end())
        gDisposeHooks.push_back(hook);
}

// ---------------------------------------------------------------- creating and disposing

// The storage argument is accepted and ignored: records are always the
// window manager's own, because they carry C++ members.
WindowPtr NewCWindow(void*, const Rect* boundsRect, ConstStr255Param title, Boolean visible, short procID,
                     WindowPtr behind, Boolean goAwayFlag, long refCon)
{
    if (!boundsRect) return nullptr;
    WindowPtr w = new WindowRecord;
    w->isWindow = true;
    qd::InitPort(w, short(boundsRect->right - boundsRect->left), short(boundsRect->bottom - boundsRect->top),
                 UICurrentBackend().Scale());
    w->portGlobal = Point{boundsRect->top, boundsRect->left};
    wm::ApplyProcID(w, procID, goAwayFlag);
    w->title = title ? pstr::ToStd(title) : std::string();
    w->refCon = refCon;
    w->updateRgn = NewRgn();
    w->userState = *boundsRect;
    w->stdState = StandardState();
    Insert(w, behind);
    if (visible) ShowWindow(w);
    return w;
}

WindowPtr NewWindow(void* wStorage, const Rect* boundsRect, ConstStr255Param title, Boolean visible, short procID,
                    WindowPtr behind, Boolean goAwayFlag, long refCon)
{
    return NewCWindow(wStorage, boundsRect, title, visible, procID, behind, goAwayFlag, refCon);
}

WindowPtr GetNewCWindow(short windowID, void* wStorage, WindowPtr behind)
{
    const WindowTemplate* t = LookupWindowTemplate(windowID);
    if (!t) return nullptr;
    Str255 title;
    pstr::FromStd(t->title, title);
    return NewCWindow(wStorage, &t->bounds, title, t->visible, t->procID, behind, t->goAwayFlag, t->refCon);
}

WindowPtr GetNewWindow(short windowID, void* wStorage, WindowPtr behind)
{
    return GetNewCWindow(windowID, wStorage, behind);
}

void DisposeWindow(WindowPtr window)
{
    if (!wm::IsWindow(window)) return;
    for (WMDisposeHookProcPtr hook : std::vector<WMDisposeHookProcPtr>(gDisposeHooks)) hook(window);
    Remove(window);
    events::ForgetWindow(window);
    if (gActive == window) gActive = nullptr;
    wm::UpdateActivation();
    DisposeRgn(window->updateRgn);
    window->updateRgn = nullptr;
    delete window;
    qd::MarkScreenDirty();
}

// ---------------------------------------------------------------- showing and ordering

void ShowWindow(WindowPtr window)
{
    if (!wm::IsWindow(window) || window->visible) return;
    window->visible = true;
    // A window shown for the first time has nothing drawn yet: all of it
    // needs an update.
    if (!window->everShown) {
        window->everShown = true;
        InvalWindowRect(window, &window->portRect);
    }
    wm::UpdateActivation();
    qd::MarkScreenDirty();
}

void HideWindow(WindowPtr window)
{
    if (!wm::IsWindow(window) || !window->visible) return;
    window->visible = false;
    wm::UpdateActivation();
    qd::MarkScreenDirty();
}

void ShowHide(WindowPtr window, Boolean showFlag)
{
    if (showFlag)
        ShowWindow(window);
    else
        HideWindow(window);
}

Boolean IsWindowVisible(WindowPtr window) { return wm::IsWindow(window) && window->visible; }

void BringToFront(WindowPtr window)
{
    if (!wm::IsWindow(window)) return;
    Remove(window);
    Insert(window, kInFront);
    qd::MarkScreenDirty();
}

void SelectWindow(WindowPtr window)
{
    if (!wm::IsWindow(window)) return;
    BringToFront(window);
    wm::UpdateActivation();
}

void SendBehind(WindowPtr window, WindowPtr behindWindow)
{
    if (!wm::IsWindow(window)) return;
    Remove(window);
    Insert(window, behindWindow);
    wm::UpdateActivation();
    qd::MarkScreenDirty();
}

WindowPtr FrontWindow()
{
    for (WindowPtr w : gWindows)
        if (w->visible) return w;
    return nullptr;
}

WindowPtr FrontNonFloatingWindow() { return FrontWindow(); }

WindowPtr GetWindowList() { return gWindows.empty() ? nullptr : gWindows.front(); }

WindowPtr GetNextWindow(WindowPtr window)
{
    auto it = std::find(gWindows.begin(), gWindows.end(), window);
    if (it == gWindows.end() || ++it == gWindows.end()) return nullptr;
    return *it;
}

void HiliteWindow(WindowPtr window, Boolean fHilite)
{
    if (!wm::IsWindow(window)) return;
    window->hilited = fHilite;
    qd::MarkScreenDirty();
}

Boolean IsWindowHilited(WindowPtr window) { return wm::IsWindow(window) && window->hilited; }

// ---------------------------------------------------------------- names and numbers

void SetWTitle(WindowPtr window, ConstStr255Param title)
{
    if (!wm::IsWindow(window)) return;
    window->title = title ? pstr::ToStd(title) : std::string();
    qd::MarkScreenDirty();
}

void GetWTitle(WindowPtr window, Str255 title)
{
    if (!title) return;
    pstr::FromStd(wm::IsWindow(window) ? window->title : std::string(), title);
}

void SetWRefCon(WindowPtr window, long data)
{
    if (wm::IsWindow(window)) window->refCon = data;
}

long GetWRefCon(WindowPtr window) { return wm::IsWindow(window) ? window->refCon : 0; }

short GetWindowKind(WindowPtr window) { return wm::IsWindow(window) ? window->windowKind : 0; }

void SetWindowKind(WindowPtr window, short kind)
{
    if (wm::IsWindow(window)) window->windowKind = kind;
}

// ---------------------------------------------------------------- ports

CGrafPtr GetWindowPort(WindowPtr window) { return window; }

void SetPortWindowPort(WindowPtr window) { SetPort(window); }

WindowPtr GetWindowFromPort(CGrafPtr port)
{
    return port && port->isWindow ? static_cast<WindowPtr>(port) : nullptr;
}

Rect* GetWindowPortBounds(WindowPtr window, Rect* bounds)
{
    if (bounds) *bounds = wm::IsWindow(window) ? window->portRect : Rect{0, 0, 0, 0};
    return bounds;
}

OSStatus GetWindowBounds(WindowPtr window, WindowRegionCode regionCode, Rect* globalBounds)
{
    if (!wm::IsWindow(window) || !globalBounds) return paramErr;
    *globalBounds = regionCode == kWindowStructureRgn ? wm::StructureRect(window) : wm::ContentRect(window);
    return noErr;
}
