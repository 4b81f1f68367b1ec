// Following the mouse through the menus after a click in the menu bar.
#include "platform/ui/events/Events.h"
#include "platform/ui/menus/MenuDrawing.h"
#include "platform/ui/menus/MenuInternal.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

// Ticks the chosen item blinks for, so a person sees what was chosen.
constexpr unsigned long kChoiceFlashTicks = 3;
// How long an open menu waits for the mouse to move before it closes.
constexpr UInt32 kOpenMenuTimeoutTicks = 15 * 60;

class MenuTracker {
public:
    MenuTracker() : titles(menus::TitleRects()) {}
    ~MenuTracker() { ClosePullDown(); }

    // Opens the menu under pt and highlights the item under it.
    void Follow(Point pt);
    long Choice() const;
    void FlashChoice();
    bool OnTitle(Point pt) const { return TitleAt(pt) >= 0; }
    // On a title or inside the open menu.
    bool InsideMenus(Point pt) const { return OnTitle(pt) || (openIndex >= 0 && PtInRect(pt, &layout.bounds)); }
    // Keyboard use of an open menu: the next or previous item that can be
    // chosen, and the menu to the right or left (wrapping around).
    void StepItem(int direction);
    void StepMenu(int direction);
    void ClearHighlight()
    {
        hilitedItem = 0;
        Redraw();
    }

private:
    int TitleAt(Point pt) const;
    short ItemAt(Point pt) const;
    void OpenPullDown(int index);
    void ClosePullDown();
    void Redraw();
    MenuHandle OpenMenu() const { return menus::BarMenus()[openIndex]; }

    std::vector<Rect> titles;
    int openIndex = -1;
    CGrafPtr port = nullptr;
    menus::PullDownLayout layout;
    short hilitedItem = 0;
};

int MenuTracker::TitleAt(Point pt) const
{
    for (size_t i = 0; i < titles.size(); ++i) {
        if (PtInRect(pt, &titles[i]))
            return int(i);
    }
    return -1;
}

short MenuTracker::ItemAt(Point pt) const
{
    if (openIndex < 0 || !PtInRect(pt, &layout.bounds))
        return 0;
    Point local{short(pt.v - layout.bounds.top), short(pt.h - layout.bounds.left)};
    for (size_t i = 0; i < layout.itemRects.size(); ++i) {
        if (PtInRect(local, &layout.itemRects[i]))
            return menus::IsChoosable(OpenMenu(), short(i + 1)) ? short(i + 1) : 0;
    }
    return 0;
}

void MenuTracker::OpenPullDown(int index)
{
    ClosePullDown();
    openIndex = index;
    HiliteMenu((*OpenMenu())->menuID);
    layout = menus::LayoutPullDown(OpenMenu(), titles[index]);
    port = WMNewPort(layout.bounds.right - layout.bounds.left, layout.bounds.bottom - layout.bounds.top);
    hilitedItem = 0;
    Redraw();
    WMShowOverlay(port, Point{layout.bounds.top, layout.bounds.left});
}

void MenuTracker::ClosePullDown()
{
    if (port != nullptr) {
        WMHideOverlay(port);
        WMDisposePort(port);
        port = nullptr;
    }
    openIndex = -1;
    hilitedItem = 0;
}

void MenuTracker::Redraw()
{
    if (port != nullptr)
        menus::DrawPullDown(port, OpenMenu(), layout, hilitedItem);
}

void MenuTracker::StepItem(int direction)
{
    if (openIndex < 0)
        return;
    const short count = CountMenuItems(OpenMenu());
    short item = hilitedItem;
    for (short tries = 0; tries < count; ++tries) {
        item = short(item + direction);
        if (item < 1)
            item = count;
        else if (item > count)
            item = 1;
        if (menus::IsChoosable(OpenMenu(), item)) {
            hilitedItem = item;
            Redraw();
            return;
        }
    }
}

void MenuTracker::StepMenu(int direction)
{
    const int count = int(titles.size());
    if (count == 0)
        return;
    OpenPullDown(((openIndex < 0 ? 0 : openIndex) + direction + count) % count);
}

void MenuTracker::Follow(Point pt)
{
    // Moving onto another title opens its menu; moving off the bar and off
    // the open menu keeps the menu open with nothing highlighted, as people
    // expect when they wander.
    int title = TitleAt(pt);
    if (title >= 0 && title != openIndex)
        OpenPullDown(title);
    short item = ItemAt(pt);
    if (item != hilitedItem) {
        hilitedItem = item;
        Redraw();
    }
}

long MenuTracker::Choice() const
{
    if (openIndex < 0 || hilitedItem == 0)
        return 0;
    return (long((*OpenMenu())->menuID) << 16) | hilitedItem;
}

void MenuTracker::FlashChoice()
{
    short chosen = hilitedItem;
    unsigned long ticks = 0;
    hilitedItem = 0;
    Redraw();
    WMFlushScreen();
    Delay(kChoiceFlashTicks, &ticks);
    hilitedItem = chosen;
    Redraw();
    WMFlushScreen();
    Delay(kChoiceFlashTicks, &ticks);
}

Point MouseGlobal()
{
    // The menu-bar port sits at the screen's origin, so its local
    // coordinates are global ones.
    look::PortScope scope(WMMenuBarPort());
    Point pt{};
    GetMouse(&pt);
    return pt;
}

// Follows a pressed mouse until it is released.
void TrackPressed(MenuTracker& tracker, Point pt)
{
    for (;;) {
        tracker.Follow(pt);
        WMFlushScreen();
        if (!WaitMouseUp())
            break;
        Point next = MouseGlobal();
        if (EqualPt(next, pt)) {
            unsigned long ticks = 0;
            Delay(1, &ticks);
        }
        pt = next;
    }
    tracker.Follow(MouseGlobal());
}

// A click that let go on a title leaves its menu open, as people expect:
// the mouse then moves freely, a click on an item chooses it, a click
// anywhere else, Escape, or a quarter of a minute without the mouse moving
// or a key closes the menus (so that a forgotten menu never holds the
// program). The arrow keys walk the items and menus, Return chooses.
void TrackOpenMenus(MenuTracker& tracker)
{
    const EventMask mask = mDownMask | keyDownMask | autoKeyMask;
    UInt32 lastActivity = TickCount();
    Point lastWhere = MouseGlobal();
    while (TickCount() - lastActivity <= kOpenMenuTimeoutTicks) {
        EventRecord ev{};
        WaitNextEvent(mask, &ev, 1, nullptr);
        if (ev.what == mouseDown) {
            if (tracker.InsideMenus(ev.where))
                TrackPressed(tracker, ev.where);
            else
                tracker.ClearHighlight();
            return;
        }
        if (ev.what == keyDown || ev.what == autoKey) {
            lastActivity = TickCount();
            unsigned char c = static_cast<unsigned char>(ev.message & charCodeMask);
            if (c == kEscapeCharCode || (c == '.' && (ev.modifiers & cmdKey) != 0)) {
                tracker.ClearHighlight();
                return;
            }
            if (c == kReturnCharCode || c == kEnterCharCode)
                return;  // the highlighted item, if any, is the choice
            if (c == kDownArrowCharCode || c == kUpArrowCharCode)
                tracker.StepItem(c == kDownArrowCharCode ? 1 : -1);
            else if (c == kRightArrowCharCode || c == kLeftArrowCharCode)
                tracker.StepMenu(c == kRightArrowCharCode ? 1 : -1);
            WMFlushScreen();
            continue;
        }
        // Only a moving mouse takes the highlight from the keyboard.
        if (!EqualPt(ev.where, lastWhere)) {
            lastWhere = ev.where;
            lastActivity = TickCount();
            tracker.Follow(ev.where);
            WMFlushScreen();
        }
    }
    tracker.ClearHighlight();
}

}  // namespace

long MenuSelect(Point startPt)
{
    if (menus::BarMenus().empty())
        return 0;
    MenuTracker tracker;
    TrackPressed(tracker, startPt);
    if (tracker.Choice() == 0 && tracker.OnTitle(MouseGlobal()))
        TrackOpenMenus(tracker);
    long choice = tracker.Choice();
    if (choice != 0)
        tracker.FlashChoice();
    else
        HiliteMenu(0);
    return choice;
}
