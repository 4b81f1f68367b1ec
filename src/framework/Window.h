// The base class of every application window: it owns one platform window
// and turns the events the engine hands it into calls of small handlers, one
// per window part and event kind. Windows are made with new and handed to
// the engine (UIEngine::AddWindow), which deletes them when they close.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/ui/windows/Windows.h"

class UIEngine;

class Window {
public:
    Window();
    explicit Window(short resID);
    virtual ~Window();
    // A copy would dispose of the same platform window a second time.
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual void Refresh();
    virtual bool CloseWindow();
    virtual void ResizeWindow(short x, short y);
    virtual bool PreHandleEvent(EventRecord& er, long& ec);
    virtual long HandleEvent(EventRecord& er);
    virtual long HandleMenu(long mChoice, bool* cont);

    void SetAsPort();
    void SetTitle(ConstStr255Param newTitle);
    operator WindowPtr() const { return win; }

    // True once the base CloseWindow has run: the window agreed to close and
    // is hidden. The engine deletes such windows after a deferred close, so
    // that a window closed on behalf of another one is not left behind.
    bool HasAgreedToClose() const { return agreedToClose; }

    UIEngine* uiRef;

protected:
    virtual void Activate();
    virtual void Deactivate();
    virtual long HandleMouseDown(EventRecord& er);
    bool LocatePress(const EventRecord& er, short* part, Point* local);
    virtual long HandleActivate(EventRecord& er);
    virtual long HandleKeyDown(EventRecord& er);
    virtual long HandleContentClick(EventRecord& er, Point thePt);
    virtual long HandleDragWindow(EventRecord& er, Point thePt);
    virtual long HandleGoAway(EventRecord& er, Point thePt);
    virtual long HandleZoomIn(EventRecord& er, Point thePt);
    virtual long HandleZoomOut(EventRecord& er, Point thePt);
    virtual long HandleGrowZone(EventRecord& er, Point thePt);
    virtual long HandleEventCode(long ec, EventRecord& er);

    WindowPtr win;

private:
    bool agreedToClose = false;
};
