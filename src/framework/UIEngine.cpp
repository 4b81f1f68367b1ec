#include "framework/UIEngine.h"

#include <algorithm>

#include "framework/Window.h"
#include "platform/core/Memory.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/menus/Menus.h"

bool gQuitFlag = false;
Window* gClosingWindow = nullptr;

namespace {
// WaitNextEvent's sleep: an idle application yields the processor, and every
// registered window still sees a null event at least six times a second.
constexpr UInt32 kSleepTicks = 10;
}  // namespace

UIEngine::UIEngine() = default;

// Windows still open when the application object goes away are deleted here,
// newest first, as quitting would.
UIEngine::~UIEngine()
{
    while (!windows.empty())
        DeleteWindow(windows.front().get());
}

void UIEngine::AddWindow(Window* w)
{
    if (!IsRegistered(w))
        windows.emplace(windows.begin(), w);
    w->uiRef = this;
}

void UIEngine::RemoveWindow(Window* w)
{
    auto it = std::find_if(windows.begin(), windows.end(), [w](const auto& p) { return p.get() == w; });
    if (it == windows.end())
        return;
    it->release();  // the caller is destroying w already
    windows.erase(it);
}

// Takes w out of the registry before destroying it: its destructor may
// delete further windows, and each of them removes itself in turn.
void UIEngine::DeleteWindow(Window* w)
{
    auto it = std::find_if(windows.begin(), windows.end(), [w](const auto& p) { return p.get() == w; });
    if (it == windows.end())
        return;
    std::unique_ptr<Window> owned = std::move(*it);
    windows.erase(it);
    owned.reset();
}

bool UIEngine::IsRegistered(const Window* w) const
{
    return std::any_of(windows.begin(), windows.end(), [w](const auto& p) { return p.get() == w; });
}

Window* UIEngine::WindowLookup(WindowPtr w)
{
    for (const auto& registered : windows)
        if (static_cast<WindowPtr>(*registered) == w)
            return registered.get();
    return nullptr;
}

void UIEngine::RefreshWindow(WindowPtr w)
{
    RefreshWindow(WindowLookup(w));
}

void UIEngine::RefreshWindow(Window* w)
{
    if (w != nullptr)
        w->Refresh();
}

void UIEngine::LoadMenuBar(short mbarID)
{
    Handle menuBar = GetNewMBar(mbarID);
    SetMenuBar(menuBar);
    DisposeHandle(menuBar);
    AppendResMenu(GetMenuHandle(128), 'DRVR');
    DrawMenuBar();
}

long UIEngine::HandleMenu(EventRecord&, long)
{
    return kDispatchNothing;
}

long UIEngine::HandleHighLevelEvent(EventRecord&)
{
    return kDispatchNothing;
}

long UIEngine::Idle()
{
    EventRecord theEvent{};
    long result = FetchEvent(theEvent);
    if (result == kDispatchCloseWindow && gClosingWindow != nullptr)
        CloseDeferred();
    if (result == kDispatchQuit || gQuitFlag)
        return CloseAll();
    return result;
}

// A window's CloseWindow may destroy other windows, and may even destroy the
// window being closed: a child window that asks its parent to close, when
// the parent destroys its children and only hides itself. So the engine
// deletes the window it asked only if it is still registered, and then
// deletes every window that agreed to close along the way (the parent).
// Each window is thus destroyed exactly once.
void UIEngine::CloseDeferred()
{
    Window* w = gClosingWindow;
    if (!w->CloseWindow())
        return;
    DeleteWindow(w);  // unless CloseWindow destroyed it already
    DeleteWindowsThatAgreedToClose();
}

void UIEngine::DeleteWindowsThatAgreedToClose()
{
    // Deleting one window may delete others: look again from the start.
    for (;;) {
        auto it = std::find_if(windows.begin(), windows.end(), [](const auto& p) { return p->HasAgreedToClose(); });
        if (it == windows.end())
            return;
        DeleteWindow(it->get());
    }
}

long UIEngine::CloseAll()
{
    while (!windows.empty()) {
        if (!windows.front()->CloseWindow())
            return kDispatchNothing;
        // CloseWindow may have deleted other windows: take the newest now.
        if (!windows.empty())
            DeleteWindow(windows.front().get());
    }
    return kDispatchQuit;
}

long UIEngine::FetchEvent(EventRecord& theEvent)
{
    WaitNextEvent(everyEvent, &theEvent, kSleepTicks, nullptr);
    // Newest first; a window that claims the event ends the pass. Indexes
    // rather than iterators, so a window that goes away meanwhile cannot
    // leave the walk on a dangling position.
    for (size_t i = 0; i < windows.size(); ++i) {
        long preResult = kDispatchNothing;
        if (windows[i]->PreHandleEvent(theEvent, preResult))
            return preResult;
    }
    return DispatchEvent(theEvent);
}

long UIEngine::DispatchEvent(EventRecord& theEvent)
{
    switch (theEvent.what) {
    case mouseDown:
        return DispatchMouseDown(theEvent);
    case keyDown:
        if (theEvent.modifiers & cmdKey)
            return RouteMenu(theEvent, MenuKey(static_cast<CharParameter>(theEvent.message & charCodeMask)));
        break;
    case updateEvt:
        RefreshWindow(WindowFromEventMessage(theEvent.message));
        return kDispatchNothing;
    case activateEvt:
        if (Window* w = WindowLookup(WindowFromEventMessage(theEvent.message)))
            w->HandleEvent(theEvent);
        return kDispatchNothing;
    case kHighLevelEvent:
        return HandleHighLevelEvent(theEvent);
    default:
        break;
    }
    Window* front = WindowLookup(FrontWindow());
    return front != nullptr ? front->HandleEvent(theEvent) : kDispatchNothing;
}

long UIEngine::DispatchMouseDown(EventRecord& theEvent)
{
    WindowPtr hit = nullptr;
    short part = FindWindow(theEvent.where, &hit);
    if (part == inMenuBar)
        return RouteMenu(theEvent, MenuSelect(theEvent.where));
    Window* w = WindowLookup(hit);
    return w != nullptr ? w->HandleEvent(theEvent) : kDispatchNothing;
}

long UIEngine::RouteMenu(EventRecord& er, long menuChoice)
{
    Window* fWin = WindowLookup(FrontWindow());
    if (fWin != nullptr) {
        bool continueEvent;
        long retcode = fWin->HandleMenu(menuChoice, &continueEvent);
        if (!continueEvent)
            return retcode;
    }
    return HandleMenu(er, menuChoice);
}
