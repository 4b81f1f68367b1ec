// The modal loop, the standard filter and the event handling that
// ModalDialog and DialogSelect share.
#include "platform/ui/dialogs/DialogInternal.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/windows/WindowManager.h"

namespace dialogs {

namespace {

// How long Return, Enter, Escape and command-period show their button
// pressed before the dialog acts.
constexpr unsigned long kFlashTicks = 8;
// ModalDialog's sleep: short enough for a steady caret blink.
constexpr UInt32 kModalSleepTicks = 10;

Point LocalPoint(DialogPtr d, Point global)
{
    look::PortScope scope(d);
    GlobalToLocal(&global);
    return global;
}

// The front window when it is a dialog; modal loops work on it.
DialogPtr FrontDialog()
{
    WindowPtr front = FrontWindow();
    return IsDialogWindow(front) ? front : nil;
}

short HandleMouseDown(DialogPtr d, const EventRecord& ev)
{
    WindowPtr hit = nil;
    short part = FindWindow(ev.where, &hit);
    if (hit != d)
        return 0;
    if (part == inDrag) {
        // A movable dialog moves by its title bar, anywhere on the screen.
        Rect limits = WMScreenBounds();
        DragWindow(d, ev.where, &limits);
        return 0;
    }
    if (part != inContent)
        return 0;
    Point pt = LocalPoint(d, ev.where);
    short itemNo = ItemAtPoint(d, pt);
    DialogItem* item = ItemOf(d, itemNo);
    if (item == nil)
        return 0;
    if (item->control != nil) {
        if (TrackControl(item->control, pt, nil) == kControlNoPart)
            return 0;
    } else if (item->IsEdit()) {
        ClickInField(d, itemNo, ev);
    }
    return item->Enabled() ? itemNo : 0;
}

short HandleKey(DialogPtr d, const EventRecord& ev, short* typedInto)
{
    const unsigned char c = static_cast<unsigned char>(ev.message & charCodeMask);
    if (c == kTabCharCode && (ev.modifiers & cmdKey) == 0) {
        TabToNextField(d, (ev.modifiers & shiftKey) != 0);
        return 0;
    }
    short itemNo = KeyToField(d, ev);
    *typedInto = itemNo;
    const DialogItem* item = ItemOf(d, itemNo);
    return item != nil && item->Enabled() ? itemNo : 0;
}

void HandleUpdate(const EventRecord& ev)
{
    auto* window = reinterpret_cast<WindowPtr>(ev.message);
    // Every window's update must be answered, or it would come back forever;
    // other windows keep what their buffers show.
    BeginUpdate(window);
    if (IsDialogWindow(window))
        DrawDialog(window);
    EndUpdate(window);
}

}  // namespace

short ItemAtPoint(DialogPtr d, Point pt)
{
    DialogData* data = DataOf(d);
    if (data == nil)
        return 0;
    // Later items lie on top of earlier ones.
    for (size_t i = data->items.size(); i > 0; --i) {
        const DialogItem& item = data->items[i - 1];
        if (!item.hidden && PtInRect(pt, &item.bounds))
            return short(i);
    }
    return 0;
}

void FlashItem(DialogPtr d, short itemNo)
{
    ControlHandle button = nil;
    if (GetDialogItemAsControl(d, itemNo, &button) != noErr)
        return;
    unsigned long ticks = 0;
    HiliteControl(button, kControlButtonPart);
    WMFlushScreen();
    Delay(kFlashTicks, &ticks);
    HiliteControl(button, 0);
    WMFlushScreen();
}

short HandleDialogEvent(DialogPtr d, const EventRecord& ev, short* typedInto)
{
    *typedInto = 0;
    switch (ev.what) {
    case mouseDown:
        return HandleMouseDown(d, ev);
    case keyDown:
    case autoKey:
        return HandleKey(d, ev, typedInto);
    case updateEvt:
        HandleUpdate(ev);
        return 0;
    case nullEvent:
        BlinkCaret(d);
        return 0;
    default:
        return 0;
    }
}

}  // namespace dialogs

using namespace dialogs;

Boolean StdFilterProc(DialogPtr theDialog, EventRecord* theEvent, DialogItemIndex* itemHit)
{
    DialogData* data = DataOf(theDialog);
    if (data == nil || theEvent == nil || (theEvent->what != keyDown && theEvent->what != autoKey))
        return false;
    const unsigned char c = static_cast<unsigned char>(theEvent->message & charCodeMask);
    const bool command = (theEvent->modifiers & cmdKey) != 0;
    short answer = 0;
    if (c == kReturnCharCode || c == kEnterCharCode)
        answer = data->defaultItem;
    else if (c == kEscapeCharCode || (c == '.' && command))
        answer = data->cancelItem;
    const DialogItem* item = ItemOf(theDialog, answer);
    if (item == nil || !item->Enabled() || item->hidden)
        return false;
    FlashItem(theDialog, answer);
    if (itemHit != nil)
        *itemHit = answer;
    return true;
}

OSErr GetStdFilterProc(ModalFilterUPP* theProc)
{
    if (theProc == nil)
        return paramErr;
    *theProc = StdFilterProc;
    return noErr;
}

void ModalDialog(ModalFilterUPP modalFilter, DialogItemIndex* itemHit)
{
    DialogItemIndex localHit = 0;
    if (itemHit == nil)
        itemHit = &localHit;
    DialogPtr d = FrontDialog();
    if (d == nil) {
        // No dialog to run: answer at once rather than wait for an item
        // that can never be hit.
        *itemHit = -1;
        return;
    }
    DialogData* data = DataOf(d);
    ModalFilterUPP filter = modalFilter != nil ? modalFilter : StdFilterProc;
    for (;;) {
        EventRecord ev{};
        *itemHit = data->lastTypedItem;
        // High-level events (a quit from the host, files dropped) wait in
        // the queue until the dialog is done, as they always have; taken
        // here they would be lost.
        WaitNextEvent(EventMask(everyEvent & ~highLevelEventMask), &ev, kModalSleepTicks, nil);
        // What the event types, it reports to the next one.
        data->lastTypedItem = -1;
        if (filter(d, &ev, itemHit))
            return;
        short typedInto = 0;
        short hit = HandleDialogEvent(d, ev, &typedInto);
        if (typedInto != 0)
            data->lastTypedItem = typedInto;
        if (hit != 0) {
            *itemHit = hit;
            return;
        }
    }
}

DialogItemIndex FindDialogItem(DialogPtr theDialog, Point thePt)
{
    return DialogItemIndex(ItemAtPoint(theDialog, thePt) - 1);
}

Boolean IsDialogEvent(const EventRecord* theEvent)
{
    if (theEvent == nil)
        return false;
    switch (theEvent->what) {
    case updateEvt:
    case activateEvt:
        return IsDialogWindow(reinterpret_cast<WindowPtr>(theEvent->message));
    case mouseDown: {
        WindowPtr hit = nil;
        FindWindow(theEvent->where, &hit);
        return IsDialogWindow(hit);
    }
    default:
        return IsDialogWindow(FrontWindow());
    }
}

Boolean DialogSelect(const EventRecord* theEvent, DialogPtr* theDialog, DialogItemIndex* itemHit)
{
    if (theEvent == nil)
        return false;
    DialogPtr d = nil;
    if (theEvent->what == updateEvt || theEvent->what == activateEvt)
        d = reinterpret_cast<WindowPtr>(theEvent->message);
    else if (theEvent->what == mouseDown)
        FindWindow(theEvent->where, &d);
    else
        d = FrontWindow();
    if (!IsDialogWindow(d))
        return false;
    short typedInto = 0;
    short hit = HandleDialogEvent(d, *theEvent, &typedInto);
    if (theDialog != nil)
        *theDialog = d;
    if (itemHit != nil)
        *itemHit = hit;
    return hit != 0;
}
