// Controls as data: creating them, their values, visibility and state.
#include <algorithm>

#include "platform/core/PascalStrings.h"
#include "platform/ui/controls/ControlInternal.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/windows/WindowManager.h"

namespace {

// Frees a window's controls when the window goes, however it goes.
void DisposeControlsOfWindow(WindowPtr window)
{
    KillControls(window);
}

void RegisterDisposeHookOnce()
{
    static bool registered = false;
    if (!registered) {
        WMAddDisposeHook(DisposeControlsOfWindow);
        registered = true;
    }
}

std::vector<ControlHandle>& EnsureList(WindowPtr window)
{
    RegisterDisposeHookOnce();
    if (window->controlData == nil)
        window->controlData = new std::vector<ControlHandle>;
    return *static_cast<std::vector<ControlHandle>*>(window->controlData);
}

bool Valid(ControlHandle c) { return c != nil && *c != nil; }

// Draws when the control shows; value and state changes appear at once, as
// they did on the classic screen.
void Redraw(ControlHandle c)
{
    if ((*c)->contrlVis)
        controls::Draw(c);
}

}  // namespace

namespace controls {

Kind KindOf(ControlHandle c)
{
    // The classic procIDs below 16 may carry useWFont; the others never do.
    short proc = (*c)->procID;
    if (proc < scrollBarProc)
        proc &= ~useWFont;
    switch (proc) {
    case checkBoxProc:
    case kControlCheckBoxProc:
        return Kind::kCheckBox;
    case radioButProc:
    case kControlRadioButtonProc:
        return Kind::kRadioButton;
    case scrollBarProc:
    case kControlScrollBarProc:
    case kControlScrollBarLiveProc:
        return Kind::kScrollBar;
    default:
        return Kind::kPushButton;
    }
}

std::vector<ControlHandle>* ControlsOf(WindowPtr window)
{
    return window != nil ? static_cast<std::vector<ControlHandle>*>(window->controlData) : nil;
}

bool IsLive(ControlHandle c)
{
    return Valid(c) && (*c)->contrlVis && (*c)->contrlHilite != kControlInactivePart;
}

}  // namespace controls

ControlActionUPP NewControlActionUPP(ControlActionProcPtr userRoutine) { return userRoutine; }
void DisposeControlActionUPP(ControlActionUPP userUPP) {}

ControlHandle NewControl(WindowPtr owningWindow, const Rect* boundsRect, ConstStr255Param controlTitle,
                         Boolean initiallyVisible, short initialValue, short minimumValue, short maximumValue,
                         short procID, long controlReference)
{
    if (owningWindow == nil || boundsRect == nil)
        return nil;
    auto* rec = new ControlRecord;
    rec->contrlOwner = owningWindow;
    rec->contrlRect = *boundsRect;
    rec->contrlVis = initiallyVisible;
    rec->contrlMin = minimumValue;
    rec->contrlMax = std::max(minimumValue, maximumValue);
    rec->contrlValue = std::clamp(initialValue, rec->contrlMin, rec->contrlMax);
    rec->procID = procID;
    rec->contrlRfCon = controlReference;
    rec->contrlTitle = pstr::ToStd(controlTitle);
    auto handle = new ControlPtr(rec);
    // The newest control comes first, as in the classic control list.
    auto& list = EnsureList(owningWindow);
    list.insert(list.begin(), handle);
    Redraw(handle);
    return handle;
}

ControlHandle GetNewControl(short resourceID, WindowPtr owningWindow)
{
    const ControlTemplate* t = LookupControlTemplate(resourceID);
    if (t == nil || owningWindow == nil)
        return nil;
    Str255 title;
    pstr::FromStd(t->title, title);
    return NewControl(owningWindow, &t->bounds, title, t->visible, t->value, t->minimum, t->maximum, t->procID,
                      t->refCon);
}

void DisposeControl(ControlHandle theControl)
{
    if (!Valid(theControl))
        return;
    if (auto* list = controls::ControlsOf((*theControl)->contrlOwner))
        list->erase(std::remove(list->begin(), list->end(), theControl), list->end());
    delete *theControl;
    delete theControl;
}

void KillControls(WindowPtr theWindow)
{
    auto* list = controls::ControlsOf(theWindow);
    if (list == nil)
        return;
    for (ControlHandle c : *list) {
        delete *c;
        delete c;
    }
    delete list;
    theWindow->controlData = nil;
}

void ShowControl(ControlHandle theControl)
{
    if (!Valid(theControl) || (*theControl)->contrlVis)
        return;
    (*theControl)->contrlVis = true;
    controls::Draw(theControl);
}

void HideControl(ControlHandle theControl)
{
    if (!Valid(theControl) || !(*theControl)->contrlVis)
        return;
    (*theControl)->contrlVis = false;
    // Whatever lies under the control is the window's to redraw.
    WindowPtr owner = (*theControl)->contrlOwner;
    InvalWindowRect(owner, &(*theControl)->contrlRect);
}

Boolean IsControlVisible(ControlHandle inControl) { return Valid(inControl) && (*inControl)->contrlVis; }

void MoveControl(ControlHandle theControl, short h, short v)
{
    if (!Valid(theControl))
        return;
    Rect& r = (*theControl)->contrlRect;
    bool visible = (*theControl)->contrlVis;
    HideControl(theControl);
    OffsetRect(&r, h - r.left, v - r.top);
    if (visible)
        ShowControl(theControl);
}

void SizeControl(ControlHandle theControl, short w, short h)
{
    if (!Valid(theControl))
        return;
    Rect& r = (*theControl)->contrlRect;
    bool visible = (*theControl)->contrlVis;
    HideControl(theControl);
    r.right = r.left + w;
    r.bottom = r.top + h;
    if (visible)
        ShowControl(theControl);
}

Rect* GetControlBounds(ControlHandle control, Rect* bounds)
{
    if (bounds != nil)
        *bounds = Valid(control) ? (*control)->contrlRect : Rect{};
    return bounds;
}

void DrawControls(WindowPtr theWindow)
{
    auto* list = controls::ControlsOf(theWindow);
    if (list == nil)
        return;
    // Oldest first, so that newer controls end up on top.
    for (auto it = list->rbegin(); it != list->rend(); ++it) {
        if ((**it)->contrlVis)
            controls::Draw(*it);
    }
}

void Draw1Control(ControlHandle theControl)
{
    if (Valid(theControl) && (*theControl)->contrlVis)
        controls::Draw(theControl);
}

void UpdateControls(WindowPtr inWindow, RgnHandle inUpdateRegion) { DrawControls(inWindow); }

SInt16 GetControlValue(ControlHandle theControl) { return Valid(theControl) ? (*theControl)->contrlValue : 0; }

void SetControlValue(ControlHandle theControl, SInt16 newValue)
{
    if (!Valid(theControl))
        return;
    newValue = std::clamp(newValue, (*theControl)->contrlMin, (*theControl)->contrlMax);
    if (newValue == (*theControl)->contrlValue)
        return;
    (*theControl)->contrlValue = newValue;
    Redraw(theControl);
}

SInt16 GetControlMinimum(ControlHandle theControl) { return Valid(theControl) ? (*theControl)->contrlMin : 0; }

void SetControlMinimum(ControlHandle theControl, SInt16 newMinimum)
{
    if (!Valid(theControl))
        return;
    ControlRecord& c = **theControl;
    c.contrlMin = newMinimum;
    c.contrlMax = std::max(c.contrlMax, newMinimum);
    c.contrlValue = std::clamp(c.contrlValue, c.contrlMin, c.contrlMax);
    Redraw(theControl);
}

SInt16 GetControlMaximum(ControlHandle theControl) { return Valid(theControl) ? (*theControl)->contrlMax : 0; }

void SetControlMaximum(ControlHandle theControl, SInt16 newMaximum)
{
    if (!Valid(theControl))
        return;
    ControlRecord& c = **theControl;
    c.contrlMax = std::max(newMaximum, c.contrlMin);
    c.contrlValue = std::clamp(c.contrlValue, c.contrlMin, c.contrlMax);
    Redraw(theControl);
}

static SInt16 ClampToShort(SInt32 v) { return SInt16(std::clamp<SInt32>(v, -32768, 32767)); }

SInt32 GetControl32BitValue(ControlHandle theControl) { return GetControlValue(theControl); }
void SetControl32BitValue(ControlHandle theControl, SInt32 newValue) { SetControlValue(theControl, ClampToShort(newValue)); }
SInt32 GetControl32BitMaximum(ControlHandle theControl) { return GetControlMaximum(theControl); }
void SetControl32BitMaximum(ControlHandle theControl, SInt32 newMaximum)
{
    SetControlMaximum(theControl, ClampToShort(newMaximum));
}

void HiliteControl(ControlHandle theControl, ControlPartCode hiliteState)
{
    if (!Valid(theControl))
        return;
    UInt8 state = static_cast<UInt8>(std::clamp<int>(hiliteState, 0, 255));
    if ((*theControl)->contrlHilite == state)
        return;
    (*theControl)->contrlHilite = state;
    Redraw(theControl);
}

Boolean IsControlActive(ControlHandle inControl)
{
    return Valid(inControl) && (*inControl)->contrlHilite != kControlInactivePart;
}

Boolean IsControlHilited(ControlHandle inControl)
{
    return Valid(inControl) && (*inControl)->contrlHilite != 0 && (*inControl)->contrlHilite != kControlInactivePart;
}

UInt16 GetControlHilite(ControlHandle control) { return Valid(control) ? (*control)->contrlHilite : 0; }
void ActivateControl(ControlHandle inControl) { HiliteControl(inControl, 0); }
void DeactivateControl(ControlHandle inControl) { HiliteControl(inControl, kControlInactivePart); }

void SetControlTitle(ControlHandle theControl, ConstStr255Param title)
{
    if (!Valid(theControl))
        return;
    (*theControl)->contrlTitle = pstr::ToStd(title);
    Redraw(theControl);
}

void GetControlTitle(ControlHandle theControl, Str255 title)
{
    pstr::FromStd(Valid(theControl) ? (*theControl)->contrlTitle : std::string(), title);
}

long GetControlReference(ControlHandle theControl) { return Valid(theControl) ? (*theControl)->contrlRfCon : 0; }

void SetControlReference(ControlHandle theControl, long data)
{
    if (Valid(theControl))
        (*theControl)->contrlRfCon = data;
}

void SetControlAction(ControlHandle theControl, ControlActionUPP actionProc)
{
    if (Valid(theControl))
        (*theControl)->contrlAction = actionProc;
}

ControlActionUPP GetControlAction(ControlHandle theControl)
{
    return Valid(theControl) ? (*theControl)->contrlAction : nil;
}

WindowPtr GetControlOwner(ControlHandle control) { return Valid(control) ? (*control)->contrlOwner : nil; }

OSErr SetControlData(ControlHandle inControl, ControlPartCode inPart, UInt32 inTagName, Size inSize,
                     const void* inData)
{
    if (!Valid(inControl) || inData == nil)
        return paramErr;
    if (inTagName != kControlPushButtonDefaultTag || inSize < 1)
        return unimpErr;
    (*inControl)->isDefault = *static_cast<const Boolean*>(inData) != 0;
    Redraw(inControl);
    return noErr;
}
