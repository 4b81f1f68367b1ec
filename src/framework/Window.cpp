#include "framework/Window.h"

#include "framework/UIEngine.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/quickdraw/QuickDraw.h"
#include "util/MyError.h"

namespace {

// The default window: 300 by 280 at (40, 60), a document window without a
// size box, in front of all others, with a close box.
constexpr Rect kDefaultBounds = {60, 40, 340, 340};
constexpr short kNoGrowDocumentVariant = 4;

Rect ScreenBounds()
{
    BitMap screenBits;
    GetQDGlobalsScreenBits(&screenBits);
    return screenBits.bounds;
}

}  // namespace

Window::Window() : uiRef(nullptr), win(nullptr)
{
    Str255 title;
    pstr::FromStd("Untitled Window", title);
    win = NewCWindow(nullptr, &kDefaultBounds, title, true, kNoGrowDocumentVariant,
                     reinterpret_cast<WindowPtr>(-1L), true, reinterpret_cast<long>(this));
}

Window::Window(short resID) : uiRef(nullptr), win(nullptr)
{
    win = GetNewCWindow(resID, nullptr, reinterpret_cast<WindowPtr>(-1L));
    FailNil(reinterpret_cast<Ptr>(win), "Failed to create main window"_p);
    // A window without a platform window stays an empty shell: every toolbox
    // call below is skipped for it rather than handed a nil window.
    if (win != nullptr)
        SetWRefCon(win, reinterpret_cast<long>(this));
}

Window::~Window()
{
    if (uiRef != nullptr)
        uiRef->RemoveWindow(this);
    // A deferred close may have named this window; it must not outlive it.
    if (gClosingWindow == this)
        gClosingWindow = nullptr;
    if (win != nullptr)
        DisposeWindow(win);
}

void Window::SetAsPort()
{
    if (win != nullptr)
        SetPortWindowPort(win);
}

void Window::SetTitle(ConstStr255Param newTitle)
{
    if (win != nullptr)
        SetWTitle(win, newTitle);
}

void Window::Refresh()
{
    if (win == nullptr)
        return;
    BeginUpdate(win);
    EndUpdate(win);
}

bool Window::CloseWindow()
{
    if (win != nullptr)
        HideWindow(win);
    agreedToClose = true;
    return true;
}

void Window::ResizeWindow(short x, short y)
{
    if (win != nullptr)
        SizeWindow(win, x, y, true);
}

bool Window::PreHandleEvent(EventRecord&, long&)
{
    return false;
}

long Window::HandleEvent(EventRecord& er)
{
    long code = kDispatchNothing;
    switch (er.what) {
    case mouseDown:
        code = HandleMouseDown(er);
        break;
    case activateEvt:
        code = HandleActivate(er);
        break;
    case keyDown:
    case autoKey:
        code = HandleKeyDown(er);
        break;
    default:
        break;
    }
    return HandleEventCode(code, er);
}

long Window::HandleMenu(long, bool* cont)
{
    if (cont != nullptr)
        *cont = true;
    return kDispatchNothing;
}

void Window::Activate() {}
void Window::Deactivate() {}

// Which part of this window a press is in, and where in its content; false
// when the press is not in this window. Sets the port to the window.
bool Window::LocatePress(const EventRecord& er, short* part, Point* local)
{
    WindowPtr theWindow = nullptr;
    *part = FindWindow(er.where, &theWindow);
    if (theWindow != win || win == nullptr)
        return false;
    SetPortWindowPort(win);
    *local = er.where;
    GlobalToLocal(local);
    return true;
}

long Window::HandleMouseDown(EventRecord& er)
{
    short thePart = 0;
    Point thePt;
    if (!LocatePress(er, &thePart, &thePt))
        return kDispatchNothing;
    bool front = FrontWindow() == win;
    switch (thePart) {
    case inContent:
        if (front)
            return HandleContentClick(er, thePt);
        break;
    case inDrag:
        if (!front && !(er.modifiers & cmdKey))
            SelectWindow(win);
        return HandleDragWindow(er, thePt);
    case inGrow:
        if (front)
            return HandleGrowZone(er, thePt);
        break;
    case inGoAway:
        if (front)
            return HandleGoAway(er, thePt);
        break;
    case inZoomIn:
        if (front)
            return HandleZoomIn(er, thePt);
        break;
    case inZoomOut:
        if (front)
            return HandleZoomOut(er, thePt);
        break;
    default:
        return kDispatchNothing;
    }
    SelectWindow(win);
    return kDispatchNothing;
}

long Window::HandleActivate(EventRecord& er)
{
    if (er.modifiers & activeFlag)
        Activate();
    else
        Deactivate();
    return kDispatchNothing;
}

long Window::HandleKeyDown(EventRecord&)
{
    return kDispatchNothing;
}

long Window::HandleContentClick(EventRecord&, Point)
{
    return kDispatchNothing;
}

long Window::HandleDragWindow(EventRecord& er, Point)
{
    Rect screen = ScreenBounds();
    DragWindow(win, er.where, &screen);
    return kDispatchDragged;
}

long Window::HandleGoAway(EventRecord&, Point thePt)
{
    if (!TrackGoAway(win, thePt))
        return kDispatchNothing;
    gClosingWindow = this;
    return kDispatchCloseWindow;
}

long Window::HandleZoomIn(EventRecord&, Point)
{
    return kDispatchNothing;
}

long Window::HandleZoomOut(EventRecord&, Point)
{
    return kDispatchNothing;
}

long Window::HandleGrowZone(EventRecord& er, Point)
{
    Rect limits = ScreenBounds();
    // The limits allow any size from 0 by 0 up to the screen's size.
    Rect sizeRect = {0, 0, static_cast<short>(limits.bottom - limits.top),
                     static_cast<short>(limits.right - limits.left)};
    long newSize = GrowWindow(win, er.where, &sizeRect);
    ResizeWindow(static_cast<short>(newSize & 0xFFFF), static_cast<short>((newSize >> 16) & 0xFFFF));
    return kDispatchNothing;
}

long Window::HandleEventCode(long ec, EventRecord&)
{
    return ec;
}
