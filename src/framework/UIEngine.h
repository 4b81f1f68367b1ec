// The event engine: the window registry, one pass of the main loop, and the
// routing of events and menu choices to windows and to the application.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/ui/windows/Windows.h"

class Window;

// What a handler asks of the engine. Every event handler returns one of these
// as a long; any other value travels back from Idle untouched.
enum DispatchResult : long {
    kDispatchNothing = 0,
    kDispatchQuit = 1,         // close every window, then end the main loop
    kDispatchCloseWindow = 2,  // close the window named in gClosingWindow
    kDispatchDragged = 3,      // a window was dragged; nothing for the engine
};

extern bool gQuitFlag;
extern Window* gClosingWindow;

// The engine owns the windows registered with it and deletes them when they
// close. A window leaves the registry when it is destroyed, whoever destroys
// it (a window may delete the windows that belong to it).
class UIEngine {
public:
    UIEngine();
    ~UIEngine();
    UIEngine(const UIEngine&) = delete;
    UIEngine& operator=(const UIEngine&) = delete;

    virtual long Idle();
    virtual void LoadMenuBar(short mbarID);

    // Takes ownership of w, a window just made with new, and makes it the
    // newest registered window. Registering a window twice changes nothing.
    void AddWindow(Window* w);
    // Forgets w without deleting it; called by the Window destructor.
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

    // The registry, newest window first.
    std::vector<std::unique_ptr<Window>> windows;

private:
    long DispatchEvent(EventRecord& theEvent);
    long DispatchMouseDown(EventRecord& theEvent);
    void CloseDeferred();
    long CloseAll();
    void DeleteWindowsThatAgreedToClose();
    void DeleteWindow(Window* w);
};
