// Numbers as decimal text in length-prefixed strings.
#pragma once

#include "platform/core/MacTypes.h"

// Signed 32-bit decimal: "-2147483648" to "2147483647".
void NumToString(long theNum, Str255 theString);
// Reads an optional sign and decimal digits. Like the classic call it does
// not check the text; digits that overflow wrap like 32-bit arithmetic, so
// the result is always a signed 32-bit value.
void StringToNum(ConstStr255Param theString, long* theNum);
