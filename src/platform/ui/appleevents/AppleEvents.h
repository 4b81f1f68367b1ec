// The Apple Event Manager subset: installed handlers, dispatch of
// high-level events, and the events the host sends (open documents, open
// application, quit).
//
// The host side stores an Apple event here and posts a high-level event
// (kHighLevelEvent, 23) whose message is the stored event's number;
// AEProcessAppleEvent finds the stored event from that message and calls
// the handler installed for its class and ID.
#pragma once

#include <string>
#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/ui/appleevents/AEDescriptors.h"

enum : AEEventClass { kCoreEventClass = 'aevt' };
enum : AEEventID {
    kAEOpenApplication = 'oapp',
    kAEReopenApplication = 'rapp',
    kAEOpenDocuments = 'odoc',
    kAEPrintDocuments = 'pdoc',
    kAEQuitApplication = 'quit',
};

typedef OSErr (*AEEventHandlerProcPtr)(const AppleEvent* theAppleEvent, AppleEvent* reply, long handlerRefcon);
typedef AEEventHandlerProcPtr AEEventHandlerUPP;

AEEventHandlerUPP NewAEEventHandlerUPP(AEEventHandlerProcPtr userRoutine);
void DisposeAEEventHandlerUPP(AEEventHandlerUPP userUPP);

// Installs (or replaces) the handler for a class and ID; typeWildCard in
// either matches any. System handlers are kept apart and consulted after
// the application's.
OSErr AEInstallEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID, AEEventHandlerUPP handler,
                            long handlerRefcon, Boolean isSysHandler);
OSErr AERemoveEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID, AEEventHandlerUPP handler,
                           Boolean isSysHandler);

// Handles the Apple event named by a high-level event record: the handler's
// result, errAEEventNotHandled when none is installed, errAENotAppleEvent
// when the record names no stored event. Each stored event is handled once.
OSErr AEProcessAppleEvent(const EventRecord* theEventRecord);

// Orvo: stores a copy of theAppleEvent and posts the high-level event that
// AEProcessAppleEvent will take it from.
OSErr AEPostAppleEvent(const AppleEvent* theAppleEvent);

// The host's events. Open documents: one 'odoc' for the batch, its direct
// object a list of 'fss ' items in the given order; a path that names no
// existing file still arrives as an item, so the handler reports it.
OSErr AEPostOpenDocuments(const std::vector<std::string>& paths);
OSErr AEPostOpenApplication();
OSErr AEPostQuitApplication();

// Start-up: 'odoc' with argv[1..argc-1] as files, or 'oapp' without any.
OSErr AEPostStartupEvents(int argc, const char* const* argv);

// SIGINT and SIGTERM set a flag (nothing else happens inside the signal
// handler); AEPollQuitSignal, called by the event fetching, turns it into a
// 'quit' event. A third signal before a quit has been handled ends the
// process the default way, so a program stuck in a modal loop can still be
// stopped.
void AEInstallQuitSignalHandlers();
void AEPollQuitSignal();

// Orvo, for tests: forgets every installed handler and stored event.
void AEResetForTesting();
