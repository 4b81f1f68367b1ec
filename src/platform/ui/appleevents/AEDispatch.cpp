// Installed handlers, stored events and AEProcessAppleEvent.
#include <map>
#include <utility>

#include "platform/ui/appleevents/AEHostInternal.h"
#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/events/Events.h"

namespace {

struct Handler {
    AEEventHandlerUPP proc;
    long refcon;
};

typedef std::map<std::pair<AEEventClass, AEEventID>, Handler> HandlerTable;

HandlerTable& Handlers(bool system)
{
    static HandlerTable applicationHandlers;
    static HandlerTable systemHandlers;
    return system ? systemHandlers : applicationHandlers;
}

// Stored events by the number their high-level event carries. Numbers
// start at 1 so that a zeroed event record names nothing.
std::map<UInt32, AppleEvent>& StoredEvents()
{
    static std::map<UInt32, AppleEvent> events;
    return events;
}
UInt32 gNextEventNumber = 1;

// Exact match first, then the wildcard forms, application before system.
bool FindHandler(AEEventClass eventClass, AEEventID eventID, Handler* found)
{
    const std::pair<AEEventClass, AEEventID> keys[] = {
        {eventClass, eventID}, {eventClass, typeWildCard}, {typeWildCard, eventID}, {typeWildCard, typeWildCard}};
    for (bool system : {false, true}) {
        for (const auto& key : keys) {
            auto it = Handlers(system).find(key);
            if (it != Handlers(system).end()) {
                *found = it->second;
                return true;
            }
        }
    }
    return false;
}

}  // namespace

AEEventHandlerUPP NewAEEventHandlerUPP(AEEventHandlerProcPtr userRoutine) { return userRoutine; }

void DisposeAEEventHandlerUPP(AEEventHandlerUPP) {}

OSErr AEInstallEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID, AEEventHandlerUPP handler,
                            long handlerRefcon, Boolean isSysHandler)
{
    if (handler == nil)
        return paramErr;
    Handlers(isSysHandler)[{theAEEventClass, theAEEventID}] = Handler{handler, handlerRefcon};
    return noErr;
}

OSErr AERemoveEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID, AEEventHandlerUPP handler,
                           Boolean isSysHandler)
{
    HandlerTable& table = Handlers(isSysHandler);
    auto it = table.find({theAEEventClass, theAEEventID});
    if (it == table.end() || (handler != nil && it->second.proc != handler))
        return errAEHandlerNotFound;
    table.erase(it);
    return noErr;
}

OSErr AEPostAppleEvent(const AppleEvent* theAppleEvent)
{
    if (!AEEventIdentity(theAppleEvent, nil, nil))
        return errAENotAppleEvent;
    AppleEvent copy;
    if (OSErr err = AEDuplicateDesc(theAppleEvent, &copy))
        return err;
    UInt32 number = gNextEventNumber++;
    StoredEvents()[number] = copy;
    if (OSErr err = PostEvent(kHighLevelEvent, number)) {
        StoredEvents().erase(number);
        AEDisposeDesc(&copy);
        return err;
    }
    return noErr;
}

OSErr AEProcessAppleEvent(const EventRecord* theEventRecord)
{
    if (theEventRecord == nil)
        return paramErr;
    if (theEventRecord->what != kHighLevelEvent)
        return errAENotAppleEvent;
    if (theEventRecord->message > 0xFFFFFFFFul)
        return errAENotAppleEvent;
    auto stored = StoredEvents().find(static_cast<UInt32>(theEventRecord->message));
    if (stored == StoredEvents().end())
        return errAENotAppleEvent;
    // The event leaves the table before its handler runs: the handler may
    // run nested event loops that process other Apple events.
    AppleEvent theEvent = stored->second;
    UInt32 number = stored->first;
    StoredEvents().erase(stored);
    aehost::NoteEventHandled(number);

    AEEventClass eventClass = 0;
    AEEventID eventID = 0;
    AEEventIdentity(&theEvent, &eventClass, &eventID);
    Handler handler;
    OSErr result = errAEEventNotHandled;
    if (FindHandler(eventClass, eventID, &handler)) {
        AppleEvent reply = {typeNull, nil};
        result = handler.proc(&theEvent, &reply, handler.refcon);
        AEDisposeDesc(&reply);
    }
    AEDisposeDesc(&theEvent);
    return result;
}

void AEResetForTesting()
{
    Handlers(false).clear();
    Handlers(true).clear();
    for (auto& entry : StoredEvents())
        AEDisposeDesc(&entry.second);
    StoredEvents().clear();
    aehost::ResetSignalState();
}

namespace aehost {

UInt32 LastPostedEventNumber() { return gNextEventNumber - 1; }

}  // namespace aehost
