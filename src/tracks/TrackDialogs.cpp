#include "tracks/TrackDialogs.h"

#include <cmath>
#include <cstdint>

#include "platform/ui/controls/Controls.h"
#include "platform/ui/events/Events.h"

namespace {

constexpr long kPauseTicks = 70;
constexpr unsigned long kFlashTicks = 8;

void FlashButton(DialogPtr theDlg, short item)
{
    ControlHandle button = nullptr;
    if (GetDialogItemAsControl(theDlg, item, &button) != noErr || button == nullptr)
        return;
    unsigned long finalTicks = 0;
    HiliteControl(button, 1);
    Delay(kFlashTicks, &finalTicks);
    HiliteControl(button, 0);
}

}  // namespace

Boolean PausedTypingFilter(DialogPtr theDlg, EventRecord* event, DialogItemIndex* itemHit,
                           std::initializer_list<short> editItems, short updateItem, long& lastEvtTime)
{
    long curTime = long(TickCount());
    for (short item : editItems)
        if (*itemHit == item)
            lastEvtTime = long(event->when);
    if (lastEvtTime != 0 && curTime - lastEvtTime > kPauseTicks && *itemHit == -1) {
        *itemHit = updateItem;
        lastEvtTime = 0;
        return true;
    }
    if (event->what == keyDown) {
        char theChar = char(event->message & charCodeMask);
        if ((theChar == '.' && (event->modifiers & cmdKey)) || theChar == 0x1B) {
            FlashButton(theDlg, 2);
            *itemHit = 2;
            return true;
        }
        if (theChar == 0x0D || theChar == 0x03) {
            FlashButton(theDlg, 1);
            *itemHit = 1;
            return true;
        }
    }
    return false;
}

TimeValue SecondsToUnits(double seconds, long scale)
{
    return TruncToTimeValue(double(scale) * seconds);
}

TimeValue TruncToTimeValue(double value)
{
    double units = std::trunc(value);
    if (std::isnan(units))
        return 0;
    if (units >= double(INT32_MAX))
        return INT32_MAX;
    if (units <= double(INT32_MIN))
        return INT32_MIN;
    return TimeValue(units);
}
