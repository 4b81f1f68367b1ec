// The Control Manager subset: push buttons, check boxes, radio buttons and
// scroll bars in a window, and tracking a click in them.
#pragma once

#include <string>

#include "platform/core/MacTypes.h"
#include "platform/ui/windows/Windows.h"

typedef SInt16 ControlPartCode;

struct ControlRecord;
typedef ControlRecord* ControlPtr;
typedef ControlPtr* ControlHandle;
typedef ControlHandle ControlRef;

// Called while TrackControl follows the mouse in an arrow or page area.
typedef void (*ControlActionProcPtr)(ControlHandle theControl, ControlPartCode partCode);
typedef ControlActionProcPtr ControlActionUPP;

struct ControlRecord {
    WindowPtr contrlOwner = nullptr;
    Rect contrlRect{};           // local coordinates of the owner
    bool contrlVis = true;
    UInt8 contrlHilite = 0;      // 0 active, 1..253 a part pressed, 255 inactive
    short contrlValue = 0;
    short contrlMin = 0;
    short contrlMax = 0;
    short procID = 0;
    long contrlRfCon = 0;
    std::string contrlTitle;     // UTF-8
    ControlActionUPP contrlAction = nullptr;
    bool isDefault = false;      // a push button drawn with the default ring
};

// procIDs (classic and Appearance numbers).
enum : short {
    pushButProc = 0,
    checkBoxProc = 1,
    radioButProc = 2,
    scrollBarProc = 16,
    useWFont = 8,
    kControlPushButtonProc = 368,
    kControlCheckBoxProc = 369,
    kControlRadioButtonProc = 370,
    kControlScrollBarProc = 384,
    kControlScrollBarLiveProc = 386,
};

// Part codes.
enum : ControlPartCode {
    kControlNoPart = 0,
    kControlButtonPart = 10,
    kControlCheckBoxPart = 11,
    kControlUpButtonPart = 20,
    kControlDownButtonPart = 21,
    kControlPageUpPart = 22,
    kControlPageDownPart = 23,
    kControlIndicatorPart = 129,
    inButton = kControlButtonPart,
    inCheckBox = kControlCheckBoxPart,
    inUpButton = kControlUpButtonPart,
    inDownButton = kControlDownButtonPart,
    inPageUp = kControlPageUpPart,
    inPageDown = kControlPageDownPart,
    inThumb = kControlIndicatorPart,
    kControlInactivePart = 255,
};

enum : short {
    kControlCheckBoxUncheckedValue = 0,
    kControlCheckBoxCheckedValue = 1,
    kControlCheckBoxMixedValue = 2,
};

ControlActionUPP NewControlActionUPP(ControlActionProcPtr userRoutine);
void DisposeControlActionUPP(ControlActionUPP userUPP);

// From the 'CNTL' template of the resource registry; nil when there is none
// or the window is nil.
ControlHandle GetNewControl(short resourceID, WindowPtr owningWindow);
ControlHandle NewControl(WindowPtr owningWindow, const Rect* boundsRect, ConstStr255Param controlTitle,
                         Boolean initiallyVisible, short initialValue, short minimumValue, short maximumValue,
                         short procID, long controlReference);
void DisposeControl(ControlHandle theControl);
void KillControls(WindowPtr theWindow);

void ShowControl(ControlHandle theControl);
void HideControl(ControlHandle theControl);
Boolean IsControlVisible(ControlHandle inControl);
void MoveControl(ControlHandle theControl, short h, short v);
void SizeControl(ControlHandle theControl, short w, short h);
Rect* GetControlBounds(ControlHandle control, Rect* bounds);

void DrawControls(WindowPtr theWindow);
void Draw1Control(ControlHandle theControl);
void UpdateControls(WindowPtr inWindow, RgnHandle inUpdateRegion);

// thePoint is local to theWindow. The part hit (0: none) and the control;
// hidden and inactive controls are never hit.
ControlPartCode FindControl(Point thePoint, WindowPtr theWindow, ControlHandle* theControl);
ControlPartCode TestControl(ControlHandle theControl, Point testPoint);
// Follows the mouse from startPoint (local) until the button is released.
// Returns the part released in, or 0. actionProc nil: none; -1: the one
// set with SetControlAction.
ControlPartCode TrackControl(ControlHandle theControl, Point startPoint, ControlActionUPP actionProc);
ControlPartCode HandleControlClick(ControlHandle inControl, Point inWhere, EventModifiers inModifiers,
                                   ControlActionUPP inAction);

SInt16 GetControlValue(ControlHandle theControl);
void SetControlValue(ControlHandle theControl, SInt16 newValue);
SInt16 GetControlMinimum(ControlHandle theControl);
void SetControlMinimum(ControlHandle theControl, SInt16 newMinimum);
SInt16 GetControlMaximum(ControlHandle theControl);
void SetControlMaximum(ControlHandle theControl, SInt16 newMaximum);
SInt32 GetControl32BitValue(ControlHandle theControl);
void SetControl32BitValue(ControlHandle theControl, SInt32 newValue);
SInt32 GetControl32BitMaximum(ControlHandle theControl);
void SetControl32BitMaximum(ControlHandle theControl, SInt32 newMaximum);

// hiliteState: 0 active, 1..253 shows that part pressed, 255 inactive.
void HiliteControl(ControlHandle theControl, ControlPartCode hiliteState);
Boolean IsControlActive(ControlHandle inControl);
Boolean IsControlHilited(ControlHandle inControl);
UInt16 GetControlHilite(ControlHandle control);
void ActivateControl(ControlHandle inControl);
void DeactivateControl(ControlHandle inControl);

void SetControlTitle(ControlHandle theControl, ConstStr255Param title);
void GetControlTitle(ControlHandle theControl, Str255 title);
long GetControlReference(ControlHandle theControl);
void SetControlReference(ControlHandle theControl, long data);
void SetControlAction(ControlHandle theControl, ControlActionUPP actionProc);
ControlActionUPP GetControlAction(ControlHandle theControl);
WindowPtr GetControlOwner(ControlHandle control);

// Appearance data: only the push button's default flag is known.
enum : UInt32 { kControlPushButtonDefaultTag = 'dflt' };
OSErr SetControlData(ControlHandle inControl, ControlPartCode inPart, UInt32 inTagName, Size inSize,
                     const void* inData);
