#include "framework/UIEngine.h"

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

UIEngine::UIEngine() : wList(nullptr) {}

UIEngine::~UIEngine()
{
    WindowList::DeleteList(wList);
}

void UIEngine::AddWindow(Window* w)
{
    wList = new WindowList(nullptr, wList, w);
    w->uiRef = this;
}

void UIEngine::RemoveWindow(Window* w)
{
    WindowList* node = wList;
    while (node != nullptr && node->win != w)
        node = node->next;
    if (node == nullptr)
        return;
    if (node->next != nullptr)
        node->next->prev = node->prev;
    if (node->prev != nullptr)
        node->prev->next = node->next;
    if (node == wList)
        wList = node->next;
    delete node;
}

bool UIEngine::IsRegistered(const Window* w) const
{
    for (WindowList* node = wList; node != nullptr; node = node->next)
        if (node->win == w)
            return true;
    return false;
}

Window* UIEngine::WindowLookup(WindowPtr w)
{
    for (WindowList* node = wList; node != nullptr; node = node->next)
        if (static_cast<WindowPtr>(*node->win) == w)
            return node->win;
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
// window being closed: a tracks window asks its viewer to close, and the
// viewer destroys the tracks window and only hides itself. So the engine
// deletes the window it asked only if it is still registered, and then
// deletes every window that agreed to close along the way (the viewer).
// Each window is thus destroyed exactly once.
void UIEngine::CloseDeferred()
{
    Window* w = gClosingWindow;
    if (!w->CloseWindow())
        return;
    if (IsRegistered(w))
        delete w;
    DeleteWindowsThatAgreedToClose();
}

void UIEngine::DeleteWindowsThatAgreedToClose()
{
    bool deleted = true;
    while (deleted) {
        deleted = false;
        for (WindowList* node = wList; node != nullptr; node = node->next) {
            if (node->win->HasAgreedToClose()) {
                delete node->win;  // unlinks node; restart the walk
                deleted = true;
                break;
            }
        }
    }
}

long UIEngine::CloseAll()
{
    while (wList != nullptr) {
        if (!wList->win->CloseWindow())
            return kDispatchNothing;
        // CloseWindow may have deleted other windows: take the head now.
        if (wList != nullptr)
            delete wList->win;
    }
    return kDispatchQuit;
}

long UIEngine::FetchEvent(EventRecord& theEvent)
{
    WaitNextEvent(everyEvent, &theEvent, kSleepTicks, nullptr);
    for (WindowList* node = wList; node != nullptr; node = node->next) {
        long preResult;
        if (node->win->PreHandleEvent(theEvent, preResult))
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
