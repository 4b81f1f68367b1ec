// Making and disposing of dialogs and their item lists.
#include <algorithm>

#include "platform/core/Memory.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/dialogs/DialogInternal.h"
#include "platform/ui/dialogs/DialogTextHandles.h"
#include "platform/ui/resources/Resources.h"
#include "platform/ui/quickdraw/ToolboxDrawing.h"
#include "platform/ui/windows/WindowManager.h"

namespace dialogs {

namespace {

void RegisterDisposeHookOnce()
{
    static bool registered = false;
    if (!registered) {
        WMAddDisposeHook(DisposeData);
        registered = true;
    }
}

short ControlProcFor(short baseType)
{
    switch (baseType) {
    case kCheckBoxDialogItem: return checkBoxProc;
    case kRadioButtonDialogItem: return radioButProc;
    default: return pushButProc;
    }
}

ControlHandle MakeControl(DialogPtr d, const DialogItemTemplate& t, const Rect& bounds)
{
    if (short(t.type & ~itemDisable) == kResourceControlDialogItem) {
        ControlHandle c = GetNewControl(t.resourceID, d);
        // The item's rectangle wins over the template's, as it always has.
        if (c != nil)
            (*c)->contrlRect = bounds;
        return c;
    }
    Str255 title;
    pstr::FromStd(t.text, title);
    short base = short(t.type & ~itemDisable);
    return NewControl(d, &bounds, title, true, 0, 0, 1, ControlProcFor(base), 0);
}

// The bottom-right corner of everything the dialog holds.
Point ItemsExtent(DialogData* data)
{
    Point extent{0, 0};
    for (const DialogItem& item : data->items) {
        extent.v = std::max(extent.v, item.bounds.bottom);
        extent.h = std::max(extent.h, item.bounds.right);
    }
    return extent;
}

void FreeItem(DialogItem& item)
{
    if (item.textHandle != nil)
        ForgetTextHandle(item.textHandle);
    item.textHandle = nil;
}

}  // namespace

DialogData* DataOf(DialogPtr d)
{
    return d != nil ? static_cast<DialogData*>(d->dialogData) : nil;
}

DialogItem* ItemOf(DialogPtr d, short itemNo)
{
    DialogData* data = DataOf(d);
    if (data == nil || itemNo < 1 || size_t(itemNo) > data->items.size())
        return nil;
    return &data->items[itemNo - 1];
}

void AddItems(DialogPtr d, const ItemListTemplate& list, short dh, short dv)
{
    DialogData* data = DataOf(d);
    for (const DialogItemTemplate& t : list.items) {
        DialogItem item;
        item.type = t.type;
        item.bounds = t.bounds;
        OffsetRect(&item.bounds, dh, dv);
        item.text = t.text;
        data->items.push_back(std::move(item));
        DialogItem& added = data->items.back();
        short itemNo = short(data->items.size());
        if (added.IsControl()) {
            added.control = MakeControl(d, t, added.bounds);
        } else if (added.IsEdit()) {
            added.field = std::make_unique<TextEditField>();
            added.field->SetText(t.text);
            added.textHandle = NewTextHandle(d, itemNo);
        } else if (added.BaseType() == statText) {
            added.textHandle = NewTextHandle(d, itemNo);
        }
    }
}

void DisposeData(WindowPtr window)
{
    DialogData* data = DataOf(window);
    if (data == nil)
        return;
    for (DialogItem& item : data->items)
        FreeItem(item);
    delete data;
    window->dialogData = nil;
}

}  // namespace dialogs

using namespace dialogs;

ModalFilterUPP NewModalFilterUPP(ModalFilterProcPtr userRoutine) { return userRoutine; }
void DisposeModalFilterUPP(ModalFilterUPP userUPP) {}
UserItemUPP NewUserItemUPP(UserItemProcPtr userRoutine) { return userRoutine; }

DialogPtr NewDialog(void* dStorage, const Rect* boundsRect, ConstStr255Param title, Boolean visible, short procID,
                    WindowPtr behind, Boolean goAwayFlag, long refCon, Handle items)
{
    short ditlID = 0;
    ResType type = 0;
    GetResInfo(items, &ditlID, &type, nil);
    const ItemListTemplate* list = type == kItemListResType ? LookupItemListTemplate(ditlID) : nil;
    if (list == nil || boundsRect == nil)
        return nil;
    RegisterDisposeHookOnce();
    // Made hidden, filled, then shown: the first update draws it complete.
    WindowPtr w = NewCWindow(nil, boundsRect, title, false, procID, behind, goAwayFlag, refCon);
    if (w == nil)
        return nil;
    SetWindowKind(w, dialogKind);
    w->dialogData = new DialogData;
    // The dialog's background colour stays set in its port: every erase
    // of an item (and the window manager's own) uses it.
    GrafPtr savedPort = nil;
    GetPort(&savedPort);
    SetPort(w);
    RGBBackColor(&kDialogBack);
    SetPort(savedPort);
    AddItems(w, *list, 0, 0);
    for (size_t i = 0; i < DataOf(w)->items.size(); ++i) {
        if (DataOf(w)->items[i].IsEdit()) {
            SetFocus(w, short(i + 1), true);
            break;
        }
    }
    DrawDialog(w);
    if (visible)
        ShowWindow(w);
    return w;
}

DialogPtr NewColorDialog(void* dStorage, const Rect* boundsRect, ConstStr255Param title, Boolean visible,
                         short procID, WindowPtr behind, Boolean goAwayFlag, long refCon, Handle items)
{
    return NewDialog(dStorage, boundsRect, title, visible, procID, behind, goAwayFlag, refCon, items);
}

DialogPtr GetNewDialog(short dialogID, void* dStorage, WindowPtr behind)
{
    const DialogTemplate* t = LookupDialogTemplate(dialogID);
    DialogTemplate fromAlert;
    if (t == nil) {
        // An alert template makes a dialog too: a modal box with no title.
        const AlertTemplate* a = LookupAlertTemplate(dialogID);
        if (a == nil)
            return nil;
        fromAlert.bounds = a->bounds;
        fromAlert.procID = dBoxProc;
        fromAlert.itemsID = a->itemsID;
        t = &fromAlert;
    }
    Handle items = GetResource(kItemListResType, t->itemsID);
    if (items == nil)
        return nil;
    Str255 title;
    pstr::FromStd(t->title, title);
    DialogPtr d = NewDialog(dStorage, &t->bounds, title, t->visible, t->procID, behind, t->goAwayFlag, t->refCon,
                            items);
    ReleaseResource(items);
    if (d != nil) {
        DataOf(d)->resourceID = dialogID;
        DataOf(d)->fromAlert = t == &fromAlert;
    }
    return d;
}

void DisposeDialog(DialogPtr theDialog)
{
    if (theDialog == nil)
        return;
    DisposeData(theDialog);
    DisposeWindow(theDialog);
}

void CloseDialog(DialogPtr theDialog)
{
    if (theDialog != nil)
        HideWindow(theDialog);
}

WindowPtr GetDialogWindow(DialogPtr dialog) { return dialog; }

DialogPtr GetDialogFromWindow(WindowPtr window) { return IsDialogWindow(window) ? window : nil; }

CGrafPtr GetDialogPort(DialogPtr dialog) { return dialog; }

Boolean IsDialogWindow(WindowPtr window) { return window != nil && window->dialogData != nil; }

void AppendDITL(DialogPtr theDialog, Handle theHandle, short method)
{
    short ditlID = 0;
    ResType type = 0;
    GetResInfo(theHandle, &ditlID, &type, nil);
    const ItemListTemplate* list = type == kItemListResType ? LookupItemListTemplate(ditlID) : nil;
    DialogData* data = DataOf(theDialog);
    if (list == nil || data == nil)
        return;
    Point extent = ItemsExtent(data);
    short dh = method == appendDITLRight ? extent.h : 0;
    short dv = method == appendDITLBottom ? extent.v : 0;
    AddItems(theDialog, *list, dh, dv);
    // Grow the window to hold the new items, with the same margin.
    Point newExtent = ItemsExtent(data);
    const Rect& port = theDialog->portRect;
    short width = std::max<short>(port.right - port.left, newExtent.h + 10);
    short height = std::max<short>(port.bottom - port.top, newExtent.v + 10);
    if (width != port.right - port.left || height != port.bottom - port.top)
        SizeWindow(theDialog, width, height, true);
    DrawDialog(theDialog);
}

DialogItemIndex CountDITL(DialogPtr theDialog)
{
    DialogData* data = DataOf(theDialog);
    return data != nil ? DialogItemIndex(data->items.size()) : 0;
}

void ShortenDITL(DialogPtr theDialog, DialogItemIndex numberItems)
{
    DialogData* data = DataOf(theDialog);
    if (data == nil || numberItems <= 0)
        return;
    while (numberItems-- > 0 && !data->items.empty()) {
        DialogItem& last = data->items.back();
        short itemNo = short(data->items.size());
        if (last.control != nil)
            DisposeControl(last.control);
        FreeItem(last);
        data->items.pop_back();
        if (data->focusItem == itemNo)
            data->focusItem = 0;
    }
    InvalWindowRect(theDialog, &theDialog->portRect);
}
