// Harness helpers for dialogs and controls: reading their state and
// clicking their items.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialogs.h"

namespace harness {

struct DialogItemState {
    short type = 0;            // without itemDisable
    bool enabled = false;
    bool hidden = false;
    Rect bounds{};             // local
    std::string text;          // edit text, static text as stored, control title
    std::string shownText;     // static text with ^0..^3 replaced
    // Controls.
    short value = 0;
    short minimum = 0;
    short maximum = 0;
    UInt8 hilite = 0;
    bool isDefault = false;
    // Edit items.
    size_t selStart = 0;
    size_t selEnd = 0;
};

struct DialogState {
    DialogPtr dialog = nullptr;
    std::string title;
    short resourceID = 0;      // the 'DLOG' or 'ALRT' it was made from, 0: none
    bool fromAlert = false;    // made from an alert template
    short defaultItem = 0;
    short cancelItem = 0;
    short focusItem = 0;
    std::vector<DialogItemState> items;   // items[0] is item 1
};

// The front window if it is a dialog, else nil.
DialogPtr FrontDialog();
// State of a dialog (the front one when d is nil; an empty state when
// there is none).
DialogState GetDialogState(DialogPtr d = nullptr);

// Global point in the middle of an item.
Point DialogItemPoint(DialogPtr d, short item);
// Scripts a click in the middle of an item.
void ClickDialogItem(DialogPtr d, short item, UInt16 modifiers = 0);

struct ControlState {
    std::string title;
    short value = 0;
    short minimum = 0;
    short maximum = 0;
    UInt8 hilite = 0;
    bool visible = false;
    Rect bounds{};
};
ControlState GetControlState(ControlHandle c);
// Global point in the middle of a part of a control (for a scroll bar:
// 20, 21 arrows, 22, 23 page areas, 129 thumb; other controls: anywhere).
// (-1, -1) when the part is not showing.
Point ControlPartPoint(ControlHandle c, ControlPartCode part);

}  // namespace harness
