// The save dialog's event callback: Orvo's three check boxes in the dialog's
// custom area, and redrawing the application's windows behind the dialog.
#include "app/AppResources.h"
#include "framework/UIEngine.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/resources/Resources.h"
#include "viewer/MovieSaving.h"

// Made once, before main, and never released.
NavEventUPP saveAsProc = NewNavEventUPP(NavSaveAsEventProc);

namespace {

constexpr short kCustomWidth = 130;
constexpr short kCustomHeight = 60;

// The check boxes come right after the dialog's own items.
DialogItemIndex LastStandardControl(NavCBRecPtr parms)
{
    DialogItemIndex last = 0;
    NavCustomControl(parms->context, kNavCtlGetFirstControlID, &last);
    return last;
}

ControlHandle CheckBox(NavCBRecPtr parms, DialogItemIndex last, short box)
{
    ControlHandle control = nullptr;
    GetDialogItemAsControl(GetDialogFromWindow(parms->window), short(last + box), &control);
    return control;
}

void SetBox(NavCBRecPtr parms, DialogItemIndex last, short box, bool on)
{
    if (ControlHandle control = CheckBox(parms, last, box))
        SetControlValue(control, on ? 1 : 0);
}

bool BoxIsOn(NavCBRecPtr parms, DialogItemIndex last, short box)
{
    ControlHandle control = CheckBox(parms, last, box);
    return control != nullptr && GetControlValue(control) != 0;
}

void AddCheckBoxes(NavCBRecPtr parms, const SaveAsUserData& data)
{
    Handle items = GetResource(kItemListResType, kSaveAsItemsID);
    if (items == nullptr)
        return;
    NavCustomControl(parms->context, kNavCtlAddControlList, items);
    ReleaseResource(items);
    DialogItemIndex last = LastStandardControl(parms);
    SetBox(parms, last, kSelfContainedBox, data.selfContained);
    SetBox(parms, last, kSingleForkBox, data.singleFork);
    SetBox(parms, last, kFlattenOffsetsBox, data.flattenOffsets);
}

void ReadCheckBoxes(NavCBRecPtr parms, SaveAsUserData& data)
{
    DialogItemIndex last = LastStandardControl(parms);
    data.selfContained = BoxIsOn(parms, last, kSelfContainedBox);
    data.singleFork = BoxIsOn(parms, last, kSingleForkBox);
    data.flattenOffsets = BoxIsOn(parms, last, kFlattenOffsetsBox);
}

void HandleEvent(NavCBRecPtr parms, SaveAsUserData& data)
{
    EventRecord* event = parms->eventData.eventDataParms.event;
    if (event == nullptr)
        return;
    if (event->what == updateEvt) {
        if (data.uiRef != nullptr)
            data.uiRef->RefreshWindow(reinterpret_cast<WindowPtr>(event->message));
        return;
    }
    if (event->what != mouseDown)
        return;
    // The dialog manager leaves check boxes to their owner.
    DialogItemIndex last = LastStandardControl(parms);
    short box = short(parms->eventData.itemHit - last);
    if (box < kSelfContainedBox || box > kFlattenOffsetsBox)
        return;
    if (ControlHandle control = CheckBox(parms, last, box))
        SetControlValue(control, GetControlValue(control) == 0 ? 1 : 0);
}

}  // namespace

void NavSaveAsEventProc(NavEventCallbackMessage callBackSelector, NavCBRecPtr callBackParms, void* callBackUD)
{
    if (callBackParms == nullptr)
        return;
    if (callBackSelector == kNavCBCustomize) {
        if (callBackParms->customRect.right == 0) {
            callBackParms->customRect.right = short(callBackParms->customRect.left + kCustomWidth);
            callBackParms->customRect.bottom = short(callBackParms->customRect.top + kCustomHeight);
        }
        return;
    }
    if (callBackUD == nullptr)
        return;
    SaveAsUserData& data = *static_cast<SaveAsUserData*>(callBackUD);
    switch (callBackSelector) {
    case kNavCBStart: AddCheckBoxes(callBackParms, data); break;
    case kNavCBTerminate: ReadCheckBoxes(callBackParms, data); break;
    case kNavCBEvent: HandleEvent(callBackParms, data); break;
    default: break;
    }
}
