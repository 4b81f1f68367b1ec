// Decimal conversions of signed 32-bit numbers.
#include "platform/ui/system/NumberFormatting.h"

#include <cstdio>

void NumToString(long theNum, Str255 theString)
{
    if (!theString) return;
    // The value is a signed 32-bit number, as on the classic system.
    SInt32 value = static_cast<SInt32>(static_cast<UInt32>(theNum));
    char buf[16];
    int n = std::snprintf(buf, sizeof buf, "%d", static_cast<int>(value));
    theString[0] = static_cast<unsigned char>(n);
    for (int i = 0; i < n; ++i) theString[i + 1] = static_cast<unsigned char>(buf[i]);
}

// The accumulation runs in unsigned 32-bit arithmetic, which wraps by
// definition; the final cast to signed is modular too (C++20). So any text,
// however long, gives a well-defined 32-bit result.
void StringToNum(ConstStr255Param theString, long* theNum)
{
    if (!theNum) return;
    *theNum = 0;
    if (!theString) return;
    int length = theString[0];
    int i = 1;
    bool negative = false;
    if (i <= length && (theString[i] == '-' || theString[i] == '+')) {
        negative = theString[i] == '-';
        ++i;
    }
    UInt32 value = 0;
    for (; i <= length; ++i) {
        // Like the classic call, other characters are not rejected: they
        // count by their offset from '0'.
        value = value * 10u + static_cast<UInt32>(theString[i] - '0');
    }
    if (negative) value = 0u - value;
    *theNum = static_cast<SInt32>(value);
}
