#include "util/Utils.h"

#include <cstring>

#include "platform/ui/system/NumberFormatting.h"

void GetDialogItemTextByID(DialogPtr theDlg, short itemID, StringPtr text)
{
    DialogItemType itemType = 0;
    Handle theItem = nil;
    Rect itemRect;
    GetDialogItem(theDlg, itemID, &itemType, &theItem, &itemRect);
    // An item that does not exist reads as empty text rather than leaving
    // the caller's buffer as it was.
    if (theItem == nil) {
        text[0] = 0;
        return;
    }
    GetDialogItemText(theItem, text);
}

void SetDialogItemTextByID(DialogPtr theDlg, short itemID, ConstStringPtr text)
{
    DialogItemType itemType = 0;
    Handle theItem = nil;
    Rect itemRect;
    GetDialogItem(theDlg, itemID, &itemType, &theItem, &itemRect);
    if (theItem != nil)
        SetDialogItemText(theItem, text);
}

void GetDialogItemLongByID(DialogPtr theDlg, short itemID, long* data)
{
    static Str255 buff;
    GetDialogItemTextByID(theDlg, itemID, buff);
    StringToNum(buff, data);
}

void SetDialogItemLongByID(DialogPtr theDlg, short itemID, long data)
{
    static Str255 buff;
    NumToString(data, buff);
    SetDialogItemTextByID(theDlg, itemID, buff);
}

void StringCopy(ConstStringPtr src, StringPtr dest)
{
    if (src == nil || dest == nil)
        return;
    // memmove: a caller may copy a text onto itself.
    std::memmove(dest, src, static_cast<size_t>(src[0]) + 1);
}
