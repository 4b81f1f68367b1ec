#include "util/MyError.h"

#include <cstdio>
#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/system/NumberFormatting.h"
#include "platform/ui/system/Processes.h"

namespace {

// Without its dialog the alert cannot ask the user; rather than hang in a
// modal loop with no dialog, it reports on stderr and lets the caller go on.
void ReportWithoutDialog(ConstStringPtr str0, ConstStringPtr str1, ConstStringPtr str2)
{
    std::string text = pstr::ToStd(str0) + " " + pstr::ToStd(str1);
    if (str2 != nullptr)
        text += " " + pstr::ToStd(str2);
    std::fprintf(stderr, "orvo: %s (the error alert could not be shown)\n", text.c_str());
}

}  // namespace

void MyError(ConstStringPtr str0, ConstStringPtr str1, ConstStringPtr str2)
{
    ParamText(str0, str1, str2, nullptr);
    DialogPtr theDialog = GetNewDialog(kErrorAlertID, nullptr, reinterpret_cast<WindowPtr>(-1L));
    if (theDialog == nullptr) {
        ReportWithoutDialog(str0, str1, str2);
        return;
    }
    // Continue is the default and the cancel item, so that Return, Enter or
    // Escape never end the application by accident; quitting takes a click
    // on item 1.
    SetDialogDefaultItem(theDialog, 2);
    SetDialogCancelItem(theDialog, 2);
    DialogItemIndex itemHit = 0;
    do {
        ModalDialog(nullptr, &itemHit);
    } while (itemHit == 0);
    if (itemHit == 1)
        ExitToShell();
    DisposeDialog(theDialog);
}

void FailErr(short theErr, ConstStringPtr str0)
{
    if (theErr == 0)
        return;
    Str255 errString;
    NumToString(theErr, errString);
    MyError(str0, "Error Code:"_p, errString);
}

void FailNil(Handle h, ConstStringPtr str0)
{
    if (h == nullptr)
        MyError(str0, "Nil Handle"_p, nullptr);
}

void FailNil(Ptr p, ConstStringPtr str0)
{
    if (p == nullptr)
        MyError(str0, "Nil Pointer"_p, nullptr);
}
