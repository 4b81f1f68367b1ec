// The handles GetDialogItem gives for text items.
//
// Classic code reads and writes item texts through the item's handle
// (GetDialogItemText, SetDialogItemText) rather than through the dialog, so
// each text item gets a handle that names its dialog and number. Only
// handles that are still live resolve; a stale one answers false.
#pragma once

#include "platform/ui/dialogs/Dialogs.h"

namespace dialogs {

Handle NewTextHandle(DialogPtr d, short itemNo);
void ForgetTextHandle(Handle h);
bool ResolveTextHandle(Handle h, DialogPtr* d, short* itemNo);

}  // namespace dialogs
