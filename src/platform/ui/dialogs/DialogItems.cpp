// Reading and changing a dialog's items.
#include <algorithm>

#include "platform/core/PascalStrings.h"
#include "platform/ui/dialogs/DialogInternal.h"
#include "platform/ui/dialogs/DialogTextHandles.h"

using namespace dialogs;

namespace {

std::string gParamTexts[4];

// Redraws one item and, for a button, the ring state that depends on the
// dialog's default item.
void RefreshItem(DialogPtr d, short itemNo)
{
    if (IsWindowVisible(d) || d->everShown)
        DrawItem(d, itemNo);
}

}  // namespace

namespace dialogs {

std::string SubstitutedText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '^' && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3') {
            out += gParamTexts[text[i + 1] - '0'];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace dialogs

void ParamText(ConstStr255Param param0, ConstStr255Param param1, ConstStr255Param param2, ConstStr255Param param3)
{
    ConstStr255Param params[4] = {param0, param1, param2, param3};
    for (int i = 0; i < 4; ++i)
        gParamTexts[i] = pstr::ToStd(params[i]);
}

void GetDialogItem(DialogPtr theDialog, DialogItemIndex itemNo, DialogItemType* itemType, Handle* item, Rect* box)
{
    const DialogItem* it = ItemOf(theDialog, itemNo);
    if (itemType != nil)
        *itemType = it != nil ? it->type : 0;
    if (box != nil)
        *box = it != nil ? it->bounds : Rect{};
    if (item == nil)
        return;
    if (it == nil)
        *item = nil;
    else if (it->control != nil)
        *item = reinterpret_cast<Handle>(it->control);
    else if (it->BaseType() == userItem)
        *item = reinterpret_cast<Handle>(it->userProc);
    else
        *item = it->textHandle;
}

void SetDialogItem(DialogPtr theDialog, DialogItemIndex itemNo, DialogItemType itemType, Handle item,
                   const Rect* box)
{
    DialogItem* it = ItemOf(theDialog, itemNo);
    if (it == nil)
        return;
    // The kind of an item stays what the item list made it; what may change
    // is its enabled flag, its rectangle and a user item's procedure.
    it->type = short((it->type & ~itemDisable) | (itemType & itemDisable));
    if (box != nil) {
        it->bounds = *box;
        if (it->control != nil)
            (*it->control)->contrlRect = *box;
    }
    if (it->BaseType() == userItem)
        it->userProc = reinterpret_cast<UserItemUPP>(item);
    InvalWindowRect(theDialog, &theDialog->portRect);
}

OSErr GetDialogItemAsControl(DialogPtr inDialog, SInt16 inItemNo, ControlHandle* outControl)
{
    const DialogItem* it = ItemOf(inDialog, inItemNo);
    if (outControl != nil)
        *outControl = it != nil ? it->control : nil;
    return it != nil && it->control != nil ? OSErr(noErr) : OSErr(errItemNotControl);
}

void HideDialogItem(DialogPtr theDialog, DialogItemIndex itemNo)
{
    DialogItem* it = ItemOf(theDialog, itemNo);
    if (it == nil || it->hidden)
        return;
    it->hidden = true;
    if (it->control != nil)
        HideControl(it->control);
    if (DataOf(theDialog)->focusItem == itemNo)
        DataOf(theDialog)->focusItem = 0;
    Rect r = it->bounds;
    InsetRect(&r, -4, -4);
    InvalWindowRect(theDialog, &r);
}

void ShowDialogItem(DialogPtr theDialog, DialogItemIndex itemNo)
{
    DialogItem* it = ItemOf(theDialog, itemNo);
    if (it == nil || !it->hidden)
        return;
    it->hidden = false;
    if (it->control != nil)
        ShowControl(it->control);
    RefreshItem(theDialog, itemNo);
}

void GetDialogItemText(Handle item, Str255 text)
{
    DialogPtr d = nil;
    short itemNo = 0;
    std::string value;
    if (ResolveTextHandle(item, &d, &itemNo)) {
        const DialogItem* it = ItemOf(d, itemNo);
        if (it != nil)
            value = it->field != nil ? it->field->Text() : it->text;
    }
    if (text != nil)
        pstr::FromStd(value, text);
}

void SetDialogItemText(Handle item, ConstStr255Param text)
{
    DialogPtr d = nil;
    short itemNo = 0;
    if (!ResolveTextHandle(item, &d, &itemNo))
        return;
    DialogItem* it = ItemOf(d, itemNo);
    if (it == nil)
        return;
    if (it->field != nil) {
        // A field whose text was wholly selected stays so (the dialog has
        // just put a fresh value in it); otherwise the caret goes to the end.
        bool allSelected = it->field->SelectionStart() == 0 && it->field->SelectionEnd() == it->field->Text().size();
        it->field->SetText(pstr::ToStd(text));
        if (allSelected)
            it->field->SelectAll();
        it->scroll = 0;
        ScrollToCaret(d, itemNo);
    } else {
        it->text = pstr::ToStd(text);
    }
    RefreshItem(d, itemNo);
}

void SelectDialogItemText(DialogPtr theDialog, DialogItemIndex itemNo, SInt16 strtSel, SInt16 endSel)
{
    DialogItem* it = ItemOf(theDialog, itemNo);
    if (it == nil || it->field == nil)
        return;
    SetFocus(theDialog, itemNo, false);
    it->field->SetSelection(size_t(std::max<SInt16>(strtSel, 0)), size_t(std::max<SInt16>(endSel, 0)));
    ScrollToCaret(theDialog, itemNo);
    RefreshItem(theDialog, itemNo);
}

SInt16 GetDialogKeyboardFocusItem(DialogPtr dialog)
{
    DialogData* data = DataOf(dialog);
    return data != nil ? data->focusItem : 0;
}

static void SetDefaultRing(DialogPtr d, short itemNo, bool on)
{
    DialogItem* it = ItemOf(d, itemNo);
    if (it == nil || it->control == nil)
        return;
    Boolean flag = on;
    SetControlData(it->control, 0, kControlPushButtonDefaultTag, sizeof flag, &flag);
}

OSErr SetDialogDefaultItem(DialogPtr theDialog, DialogItemIndex newItem)
{
    DialogData* data = DataOf(theDialog);
    if (data == nil)
        return paramErr;
    SetDefaultRing(theDialog, data->defaultItem, false);
    data->defaultItem = newItem;
    SetDefaultRing(theDialog, newItem, true);
    return noErr;
}

OSErr SetDialogCancelItem(DialogPtr theDialog, DialogItemIndex newItem)
{
    DialogData* data = DataOf(theDialog);
    if (data == nil)
        return paramErr;
    data->cancelItem = newItem;
    return noErr;
}

OSErr SetDialogTracksCursor(DialogPtr theDialog, Boolean tracks) { return DataOf(theDialog) != nil ? noErr : paramErr; }

DialogItemIndex GetDialogDefaultItem(DialogPtr dialog)
{
    DialogData* data = DataOf(dialog);
    return data != nil ? data->defaultItem : 0;
}

DialogItemIndex GetDialogCancelItem(DialogPtr dialog)
{
    DialogData* data = DataOf(dialog);
    return data != nil ? data->cancelItem : 0;
}
