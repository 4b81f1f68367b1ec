// The Dialog Manager subset: dialogs and alerts from templates, their items,
// the modal loop with its filters, and edit-text fields.
//
// A dialog is a window (windowKind dialogKind) whose Dialog Manager record
// hangs off the window's dialogData slot, so DialogPtr and WindowPtr are the
// same pointer. Items are numbered from 1 in the order of the item list.
// Texts are UTF-8.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/resources/ResourceTemplates.h"
#include "platform/ui/windows/Windows.h"

typedef WindowPtr DialogPtr;
typedef DialogPtr DialogRef;
typedef SInt16 DialogItemIndex;
typedef SInt16 DialogItemType;

// Returns true when it handled the event and set *itemHit; false lets the
// dialog handle the event. On entry *itemHit is the incoming item result:
// the edit-text item the previous event typed into, or -1.
typedef Boolean (*ModalFilterProcPtr)(DialogPtr theDialog, EventRecord* theEvent, DialogItemIndex* itemHit);
typedef ModalFilterProcPtr ModalFilterUPP;
typedef void (*UserItemProcPtr)(DialogPtr theDialog, DialogItemIndex itemNo);
typedef UserItemProcPtr UserItemUPP;

enum : OSErr { errItemNotControl = -30599 };

// AppendDITL placement.
enum : short {
    overlayDITL = 0,
    appendDITLRight = 1,
    appendDITLBottom = 2,
};

// The window value that puts a new dialog in front of all windows.
#define kDialogInFront (reinterpret_cast<WindowPtr>(-1L))

ModalFilterUPP NewModalFilterUPP(ModalFilterProcPtr userRoutine);
void DisposeModalFilterUPP(ModalFilterUPP userUPP);
UserItemUPP NewUserItemUPP(UserItemProcPtr userRoutine);

// From the 'DLOG' (or, failing that, 'ALRT') template and its 'DITL'; nil
// when either is missing. behind -1 puts it in front of all windows.
DialogPtr GetNewDialog(short dialogID, void* dStorage, WindowPtr behind);
// items is a 'DITL' handle from GetResource.
DialogPtr NewDialog(void* dStorage, const Rect* boundsRect, ConstStr255Param title, Boolean visible, short procID,
                    WindowPtr behind, Boolean goAwayFlag, long refCon, Handle items);
DialogPtr NewColorDialog(void* dStorage, const Rect* boundsRect, ConstStr255Param title, Boolean visible,
                         short procID, WindowPtr behind, Boolean goAwayFlag, long refCon, Handle items);
void DisposeDialog(DialogPtr theDialog);
void CloseDialog(DialogPtr theDialog);

WindowPtr GetDialogWindow(DialogPtr dialog);
// nil when the window is not a dialog.
DialogPtr GetDialogFromWindow(WindowPtr window);
CGrafPtr GetDialogPort(DialogPtr dialog);
Boolean IsDialogWindow(WindowPtr window);

// Adds the items of a 'DITL' handle (from GetResource) after the dialog's
// own, placed below or to the right of them (or where they stand, for
// overlayDITL); the window grows to hold them. CountDITL counts all items.
void AppendDITL(DialogPtr theDialog, Handle theHandle, short method);
DialogItemIndex CountDITL(DialogPtr theDialog);
void ShortenDITL(DialogPtr theDialog, DialogItemIndex numberItems);

// item: its type (itemDisable included), a handle (the ControlHandle for a
// control item, the procedure for a user item, a text handle for text
// items, usable with Get/SetDialogItemText) and its rectangle. An item out
// of range gives type 0, handle nil and an empty rectangle.
void GetDialogItem(DialogPtr theDialog, DialogItemIndex itemNo, DialogItemType* itemType, Handle* item, Rect* box);
void SetDialogItem(DialogPtr theDialog, DialogItemIndex itemNo, DialogItemType itemType, Handle item,
                   const Rect* box);
OSErr GetDialogItemAsControl(DialogPtr inDialog, SInt16 inItemNo, ControlHandle* outControl);
// The item under a point local to the dialog, as the classic call answers
// it: the item number MINUS ONE, or -1 over no item.
DialogItemIndex FindDialogItem(DialogPtr theDialog, Point thePt);
void HideDialogItem(DialogPtr theDialog, DialogItemIndex itemNo);
void ShowDialogItem(DialogPtr theDialog, DialogItemIndex itemNo);

// Text of a text item (static or edit), or the title of a control item,
// through the handle GetDialogItem gave.
void GetDialogItemText(Handle item, Str255 text);
void SetDialogItemText(Handle item, ConstStr255Param text);
#define GetIText GetDialogItemText
#define SetIText SetDialogItemText
// Makes the edit item the active one and selects [strtSel, endSel) (byte
// offsets, clamped; 0, 32767 selects everything).
void SelectDialogItemText(DialogPtr theDialog, DialogItemIndex itemNo, SInt16 strtSel, SInt16 endSel);
#define SelIText SelectDialogItemText
// The active edit item (0 when there is none).
SInt16 GetDialogKeyboardFocusItem(DialogPtr dialog);

// Texts for ^0 to ^3 in static text items; nil leaves that text empty.
void ParamText(ConstStr255Param param0, ConstStr255Param param1, ConstStr255Param param2,
               ConstStr255Param param3);

// The default item answers Return and Enter and wears the default ring; the
// cancel item answers Escape and command-period.
OSErr SetDialogDefaultItem(DialogPtr theDialog, DialogItemIndex newItem);
OSErr SetDialogCancelItem(DialogPtr theDialog, DialogItemIndex newItem);
OSErr SetDialogTracksCursor(DialogPtr theDialog, Boolean tracks);
DialogItemIndex GetDialogDefaultItem(DialogPtr dialog);
DialogItemIndex GetDialogCancelItem(DialogPtr dialog);

void DrawDialog(DialogPtr theDialog);
void UpdateDialog(DialogPtr theDialog, RgnHandle updateRgn);

// Runs events until an item is hit in the front dialog: see ModalDialog.cpp
// for the loop and what each event does. filter nil: the standard filter.
void ModalDialog(ModalFilterUPP modalFilter, DialogItemIndex* itemHit);
// The standard filter on its own (for filters that want its key handling).
Boolean StdFilterProc(DialogPtr theDialog, EventRecord* theEvent, DialogItemIndex* itemHit);
OSErr GetStdFilterProc(ModalFilterUPP* theProc);

// For modeless use: whether the event concerns a dialog, and handling it.
// DialogSelect returns true with *theDialog and *itemHit set when an
// enabled item was hit.
Boolean IsDialogEvent(const EventRecord* theEvent);
Boolean DialogSelect(const EventRecord* theEvent, DialogPtr* theDialog, DialogItemIndex* itemHit);

// Edit commands on the active edit item of a dialog (host clipboard).
void DialogCut(DialogPtr theDialog);
void DialogCopy(DialogPtr theDialog);
void DialogPaste(DialogPtr theDialog);
void DialogDelete(DialogPtr theDialog);

// Alerts from 'ALRT' templates: item 1 is the default button (Return and
// Enter), item 2 the cancel button (Escape, command-period) when it is one.
// They return the item hit, or -1 when the template is missing.
DialogItemIndex Alert(SInt16 alertID, ModalFilterUPP modalFilter);
DialogItemIndex StopAlert(SInt16 alertID, ModalFilterUPP modalFilter);
DialogItemIndex NoteAlert(SInt16 alertID, ModalFilterUPP modalFilter);
DialogItemIndex CautionAlert(SInt16 alertID, ModalFilterUPP modalFilter);
