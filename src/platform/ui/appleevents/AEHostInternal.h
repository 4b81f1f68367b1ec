// What the dispatch and host-event halves of the Apple Event Manager tell
// each other. Internal to the Apple Event Manager.
#pragma once

#include "platform/core/MacTypes.h"

namespace aehost {

// The number of the most recently stored event.
UInt32 LastPostedEventNumber();

// Called by AEProcessAppleEvent as it takes a stored event: when it is the
// quit that a signal caused, the signals counted so far are settled.
void NoteEventHandled(UInt32 eventNumber);

void ResetSignalState();

}  // namespace aehost
