// Dialog items read and written by item number, and copying of
// length-prefixed texts.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/ui/dialogs/Dialogs.h"

void GetDialogItemTextByID(DialogPtr theDlg, short itemID, StringPtr text);
void SetDialogItemTextByID(DialogPtr theDlg, short itemID, ConstStringPtr text);

// The item's text read as a signed 32-bit decimal (StringToNum).
void GetDialogItemLongByID(DialogPtr theDlg, short itemID, long* data);
void SetDialogItemLongByID(DialogPtr theDlg, short itemID, long data);

// Copies the length byte and the characters; does nothing when either
// pointer is nil.
void StringCopy(ConstStringPtr src, StringPtr dest);
