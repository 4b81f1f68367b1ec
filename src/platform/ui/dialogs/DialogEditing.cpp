// Edit-text items at work: focus, keys, clicks and the caret.
#include <cstdlib>

#include "platform/ui/events/Clipboard.h"
#include "platform/ui/dialogs/DialogInternal.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/windows/WindowManager.h"

namespace dialogs {

namespace {

// Clicks this close together (in points) can make a double-click.
constexpr short kDoubleClickSlop = 4;

class HostClipboard : public TextClipboard {
public:
    std::string GetText() override { return GetClipboardText(); }
    void SetText(const std::string& text) override { SetClipboardText(text); }
};

void RestartCaret(DialogData* data)
{
    data->caretOn = true;
    data->nextBlink = TickCount() + GetCaretTime();
}

DialogItem* FocusedField(DialogPtr d)
{
    DialogData* data = DataOf(d);
    if (data == nil)
        return nil;
    DialogItem* item = ItemOf(d, data->focusItem);
    return item != nil && item->field != nil && !item->hidden ? item : nil;
}

}  // namespace

void SetFocus(DialogPtr d, short itemNo, bool selectAll)
{
    DialogData* data = DataOf(d);
    DialogItem* item = ItemOf(d, itemNo);
    if (data == nil || item == nil || item->field == nil)
        return;
    short previous = data->focusItem;
    data->focusItem = itemNo;
    if (selectAll)
        item->field->SelectAll();
    RestartCaret(data);
    ScrollToCaret(d, itemNo);
    if (previous != itemNo)
        DrawEditField(d, previous);
    DrawEditField(d, itemNo);
}

void TabToNextField(DialogPtr d, bool backwards)
{
    DialogData* data = DataOf(d);
    if (data == nil)
        return;
    const short count = short(data->items.size());
    short start = data->focusItem > 0 ? data->focusItem : (backwards ? 1 : count);
    for (short step = 1; step <= count; ++step) {
        short candidate = short(((start - 1 + (backwards ? -step : step)) % count + count) % count + 1);
        const DialogItem* item = ItemOf(d, candidate);
        if (item->IsEdit() && !item->hidden) {
            SetFocus(d, candidate, true);
            return;
        }
    }
}

short KeyToField(DialogPtr d, const EventRecord& ev)
{
    DialogItem* item = FocusedField(d);
    if (item == nil)
        return 0;
    TextKey key;
    key.charCode = static_cast<unsigned char>(ev.message & charCodeMask);
    key.modifiers = ev.modifiers;
    key.text = GetEventText(ev);
    HostClipboard clipboard;
    if (item->field->HandleKey(key, &clipboard) == TextKeyResult::kIgnored)
        return 0;
    short itemNo = DataOf(d)->focusItem;
    RestartCaret(DataOf(d));
    ScrollToCaret(d, itemNo);
    DrawEditField(d, itemNo);
    return itemNo;
}

void ClickInField(DialogPtr d, short itemNo, const EventRecord& ev)
{
    DialogData* data = DataOf(d);
    DialogItem* item = ItemOf(d, itemNo);
    if (data == nil || item == nil || item->field == nil)
        return;
    Point pt = ev.where;
    {
        look::PortScope scope(d);
        GlobalToLocal(&pt);
    }
    bool near = std::abs(pt.h - data->lastClickWhere.h) <= kDoubleClickSlop &&
                std::abs(pt.v - data->lastClickWhere.v) <= kDoubleClickSlop;
    bool again = itemNo == data->lastClickItem && near && ev.when - data->lastClickWhen <= GetDblTime();
    data->clickCount = again ? data->clickCount + 1 : 1;
    data->lastClickWhen = ev.when;
    data->lastClickItem = itemNo;
    data->lastClickWhere = pt;
    if (data->focusItem != itemNo)
        SetFocus(d, itemNo, false);
    const bool shift = (ev.modifiers & shiftKey) != 0;
    item->field->ClickAt(OffsetAtPoint(d, itemNo, pt), shift, data->clickCount);
    RestartCaret(data);
    DrawEditField(d, itemNo);
    WMFlushScreen();
    // Dragging extends the selection until the button comes up.
    Point last = pt;
    while (WaitMouseUp()) {
        Point now{};
        {
            look::PortScope scope(d);
            GetMouse(&now);
        }
        if (EqualPt(now, last)) {
            unsigned long ticks = 0;
            Delay(1, &ticks);
            continue;
        }
        last = now;
        item->field->DragTo(OffsetAtPoint(d, itemNo, now));
        ScrollToCaret(d, itemNo);
        DrawEditField(d, itemNo);
        WMFlushScreen();
    }
}

void BlinkCaret(DialogPtr d)
{
    DialogData* data = DataOf(d);
    if (data == nil || FocusedField(d) == nil || TickCount() < data->nextBlink)
        return;
    data->caretOn = !data->caretOn;
    data->nextBlink = TickCount() + GetCaretTime();
    DrawEditField(d, data->focusItem);
}

}  // namespace dialogs

using namespace dialogs;

static void EditCommand(DialogPtr theDialog, unsigned char command)
{
    DialogItem* item = FocusedField(theDialog);
    if (item == nil)
        return;
    EventRecord ev{};
    ev.what = keyDown;
    ev.message = command;
    ev.modifiers = cmdKey;
    KeyToField(theDialog, ev);
}

void DialogCut(DialogPtr theDialog) { EditCommand(theDialog, 'x'); }
void DialogCopy(DialogPtr theDialog) { EditCommand(theDialog, 'c'); }
void DialogPaste(DialogPtr theDialog) { EditCommand(theDialog, 'v'); }

void DialogDelete(DialogPtr theDialog)
{
    DialogItem* item = FocusedField(theDialog);
    if (item == nil || !item->field->HasSelection())
        return;
    item->field->Insert("");
    DrawEditField(theDialog, DataOf(theDialog)->focusItem);
}
