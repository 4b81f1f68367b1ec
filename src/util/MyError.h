// The error alert behind every check in Orvo.
//
// A failed check shows dialog -192 with the caller's label, a kind text and
// (for error codes) the code. Item 1 ends the application at once; any other
// item lets the caller carry on with its next step.
#pragma once

#include "platform/core/MacTypes.h"

enum : short { kErrorAlertID = -192 };

void MyError(ConstStringPtr str0, ConstStringPtr str1, ConstStringPtr str2);
void FailErr(short theErr, ConstStringPtr str0);
void FailNil(Handle h, ConstStringPtr str0);
void FailNil(Ptr p, ConstStringPtr str0);
