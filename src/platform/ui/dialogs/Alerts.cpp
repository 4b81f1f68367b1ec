// Alerts: a modal box from an 'ALRT' template, run until an item is hit.
#include "platform/ui/dialogs/DialogInternal.h"
#include "platform/ui/resources/Resources.h"

using namespace dialogs;

namespace {

DialogItemIndex RunAlert(SInt16 alertID, ModalFilterUPP modalFilter, short icon)
{
    const AlertTemplate* t = LookupAlertTemplate(alertID);
    if (t == nil)
        return -1;
    Handle items = GetResource(kItemListResType, t->itemsID);
    if (items == nil)
        return -1;
    static const unsigned char kNoTitle[1] = {0};
    DialogPtr d = NewDialog(nil, &t->bounds, kNoTitle, true, dBoxProc, kDialogInFront, false, 0, items);
    ReleaseResource(items);
    if (d == nil)
        return -1;
    DataOf(d)->alertIcon = icon;
    DataOf(d)->resourceID = alertID;
    DataOf(d)->fromAlert = true;
    SetDialogDefaultItem(d, 1);
    // Item 2 cancels when it is a button, as in every alert people know.
    DialogItem* second = ItemOf(d, 2);
    if (second != nil && second->BaseType() == kButtonDialogItem)
        SetDialogCancelItem(d, 2);
    DrawDialog(d);
    DialogItemIndex hit = 0;
    do {
        ModalDialog(modalFilter, &hit);
    } while (hit == 0);
    DisposeDialog(d);
    return hit;
}

}  // namespace

DialogItemIndex Alert(SInt16 alertID, ModalFilterUPP modalFilter) { return RunAlert(alertID, modalFilter, kNoAlertIcon); }
DialogItemIndex StopAlert(SInt16 alertID, ModalFilterUPP modalFilter) { return RunAlert(alertID, modalFilter, kStopIcon); }
DialogItemIndex NoteAlert(SInt16 alertID, ModalFilterUPP modalFilter) { return RunAlert(alertID, modalFilter, kNoteIcon); }
DialogItemIndex CautionAlert(SInt16 alertID, ModalFilterUPP modalFilter)
{
    return RunAlert(alertID, modalFilter, kCautionIcon);
}
