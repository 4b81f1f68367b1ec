// The Dialog Manager's record of a dialog, shared by the dialog files.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/dialogs/TextEditField.h"

namespace dialogs {

struct DialogItem {
    short type = userItem;               // itemDisable included
    Rect bounds{};
    std::string text;                    // static text; control titles live in the control
    ControlHandle control = nullptr;     // control items
    std::unique_ptr<TextEditField> field;  // edit items
    UserItemUPP userProc = nullptr;      // user items
    Handle textHandle = nullptr;         // what GetDialogItem hands out for text items
    bool hidden = false;
    // Horizontal scroll of an edit field whose text is wider than its box.
    short scroll = 0;

    short BaseType() const { return short(type & ~itemDisable); }
    bool Enabled() const { return (type & itemDisable) == 0; }
    bool IsEdit() const { return BaseType() == editText; }
    bool IsControl() const { return (BaseType() & ctrlItem) != 0 && BaseType() < statText; }
};

struct DialogData {
    std::vector<DialogItem> items;
    short defaultItem = 0;
    short cancelItem = 0;
    short focusItem = 0;          // the active edit item, 0: none
    // The incoming item result for the next event: the edit item the
    // previous event typed into, or -1.
    short lastTypedItem = -1;
    // Caret blinking.
    bool caretOn = true;
    UInt32 nextBlink = 0;
    // Double-click detection in edit fields.
    UInt32 lastClickWhen = 0;
    short lastClickItem = 0;
    Point lastClickWhere{};
    int clickCount = 0;
    // Alerts draw their icon at the top left: 0 none, else the alert kind.
    short alertIcon = 0;
    // The 'DLOG' or 'ALRT' resource the dialog was made from (0: none), and
    // whether it came from an alert template.
    short resourceID = 0;
    bool fromAlert = false;
};

enum : short { kNoAlertIcon = 0, kStopIcon = 1, kNoteIcon = 2, kCautionIcon = 3 };

DialogData* DataOf(DialogPtr d);
DialogItem* ItemOf(DialogPtr d, short itemNo);

// Builds the items of an item list into the dialog, offset by (dh, dv).
void AddItems(DialogPtr d, const ItemListTemplate& list, short dh, short dv);
// Text of a static item with ^0..^3 replaced.
std::string SubstitutedText(const std::string& text);

// Drawing.
void DrawItem(DialogPtr d, short itemNo);
void DrawEditField(DialogPtr d, short itemNo);
// The byte offset in an edit item nearest to a local point.
size_t OffsetAtPoint(DialogPtr d, short itemNo, Point pt);
// Moves the horizontal scroll so that the active end of the selection shows.
void ScrollToCaret(DialogPtr d, short itemNo);

// Editing.
void SetFocus(DialogPtr d, short itemNo, bool selectAll);
// Handles a key for the focused edit item; returns the item typed into
// (the field accepted the key) or 0.
short KeyToField(DialogPtr d, const EventRecord& ev);
// Moves the focus to the next (or previous) edit item, selecting its text.
void TabToNextField(DialogPtr d, bool backwards);
// A mouse-down in an edit item: caret, selection, double-click word.
void ClickInField(DialogPtr d, short itemNo, const EventRecord& ev);
void BlinkCaret(DialogPtr d);

// Flashes a button item for 8 ticks (Return, Escape and friends).
void FlashItem(DialogPtr d, short itemNo);

// The item at a local point (0: none); hidden items are never hit.
short ItemAtPoint(DialogPtr d, Point pt);

// Handles one event for the dialog as ModalDialog and DialogSelect do;
// returns the item hit (0: none) and sets *typedInto to the edit item the
// event typed into (0: none).
short HandleDialogEvent(DialogPtr d, const EventRecord& ev, short* typedInto);

// Frees the Dialog Manager's record when the dialog's window goes.
void DisposeData(WindowPtr window);

// The background of dialog windows.
inline constexpr RGBColor kDialogBack{0xECEC, 0xECEC, 0xECEC};

}  // namespace dialogs
