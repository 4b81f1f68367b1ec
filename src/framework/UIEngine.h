// The event engine: the window registry, one pass of the main loop, and the
// routing of events and menu choices to windows and to the application.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/ui/windows/Windows.h"

class Window;
class UIEngine;

// One node of the window registry, a doubly linked list that runs from the
// most recently registered window (head) to the oldest (tail).
class WindowList {
public:
    WindowList(WindowList* p, WindowList* n, Window* w);

    // Frees wl and every node after it; never the windows they name.
    static void DeleteList(WindowList* wl);

    WindowList* next;  // registered before this one; null at the tail
    WindowList* prev;  // registered after this one; null at the head
    Window* win;       // not owned
};

// Dispatch results that every handler returns.
enum : long {
    kDispatchNothing = 0,
    kDispatchQuit = 1,
    kDispatchCloseWindow = 2,
    kDispatchDragged = 3,
};

extern bool gQuitFlag;
extern Window* gClosingWindow;

class UIEngine {
public:
    UIEngine();
    ~UIEngine();

    virtual long Idle();
    virtual void LoadMenuBar(short mbarID);

    void AddWindow(Window* w);
    void RemoveWindow(Window* w);
    void RefreshWindow(WindowPtr w);
    void RefreshWindow(Window* w);

    // True while w is in the registry. The engine uses it to find out whether
    // a window it asked to close still exists (see Idle).
    bool IsRegistered(const Window* w) const;

protected:
    virtual long HandleMenu(EventRecord& er, long menuChoice);
    virtual long HandleHighLevelEvent(EventRecord& er);

    long RouteMenu(EventRecord& er, long menuChoice);
    long FetchEvent(EventRecord& theEvent);
    Window* WindowLookup(WindowPtr w);

    WindowList* wList;

private:
    long DispatchEvent(EventRecord& theEvent);
    long DispatchMouseDown(EventRecord& theEvent);
    void CloseDeferred();
    long CloseAll();
    void DeleteWindowsThatAgreedToClose();
};
