// What the track dialogs share: their filter for a pause in typing and the
// keys that press OK and Cancel, and the one conversion from seconds to
// whole movie time units.
#pragma once

#include <initializer_list>

#include "platform/movies/Movies.h"
#include "platform/ui/dialogs/Dialogs.h"

// The filter of a dialog whose edit items are linked: once the person has
// typed into one of editItems and more than 70 ticks pass without typing,
// it reports updateItem. Return and Enter press item 1, Escape and
// command-period item 2, each flashing its button for 8 ticks. lastEvtTime
// is the calling filter's own memory of the last typing.
Boolean PausedTypingFilter(DialogPtr theDlg, EventRecord* event, DialogItemIndex* itemHit,
                           std::initializer_list<short> editItems, short updateItem, long& lastEvtTime);

// trunc(scale × seconds), or 0 when the product is no number; products past
// the range of a TimeValue stop at its ends instead of overflowing.
TimeValue SecondsToUnits(double seconds, long scale);
TimeValue TruncToTimeValue(double units);
