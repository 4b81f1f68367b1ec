#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include "platform/filesystem/Files.h"
#include "platform/ui/appleevents/AppleEvents.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/harness/Harness.h"

namespace {

// What the handlers saw.
struct Seen {
    int calls = 0;
    long refcon = 0;
    AEEventID eventID = 0;
    std::vector<std::string> paths;
    std::vector<OSErr> specResults;
};
Seen gSeen;

OSErr RecordingHandler(const AppleEvent* theAppleEvent, AppleEvent*, long handlerRefcon)
{
    ++gSeen.calls;
    gSeen.refcon = handlerRefcon;
    AEEventIdentity(theAppleEvent, nil, &gSeen.eventID);
    return noErr;
}

// Reads the direct object the way the application's open-documents handler
// does: a 'list' of 'fss ' items copied into a 70-byte buffer.
OSErr OpenDocumentsHandler(const AppleEvent* theAppleEvent, AppleEvent* reply, long handlerRefcon)
{
    RecordingHandler(theAppleEvent, reply, handlerRefcon);
    AEDescList fileList;
    if (OSErr err = AEGetParamDesc(theAppleEvent, keyDirectObject, typeAEList, &fileList))
        return err;
    long count = 0;
    AECountItems(&fileList, &count);
    for (long i = 1; i <= count; ++i) {
        unsigned char buffer[70];
        if (AEGetNthPtr(&fileList, i, typeFSS, nil, nil, buffer, 70, nil) != noErr)
            continue;
        FSSpec location;
        std::memcpy(&location, buffer, sizeof location);
        gSeen.paths.push_back(FSSpecPath(location));
        FSSpec again;
        gSeen.specResults.push_back(FSMakeFSSpec(location.vRefNum, location.parID, location.name, &again));
    }
    AEDisposeDesc(&fileList);
    return noErr;
}

OSErr FailingHandler(const AppleEvent*, AppleEvent*, long) { return -4321; }

class AppleEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::Start();
        AEResetForTesting();
        gSeen = Seen();
    }
    void TearDown() override { AEResetForTesting(); }

    // The next high-level event from the queue.
    EventRecord NextHighLevelEvent()
    {
        EventRecord er{};
        EXPECT_TRUE(GetNextEvent(highLevelEventMask, &er));
        EXPECT_EQ(er.what, kHighLevelEvent);
        return er;
    }

    bool HighLevelEventWaiting()
    {
        EventRecord er;
        return EventAvail(highLevelEventMask, &er);
    }
};

}  // namespace

// One handler is installed, one event posted and processed.
TEST_F(AppleEvents, ProcessingCallsTheHandlerInstalledForTheEvent)
{
    struct Case {
        const char* what;
        AEEventID installedFor;
        AEEventHandlerProcPtr handler;
        OSErr (*post)();
        OSErr result;
        int calls;
        AEEventID seen;
    };
    const Case cases[] = {
        {"its own handler, with its refcon", kAEOpenApplication, RecordingHandler, AEPostOpenApplication, noErr, 1,
         kAEOpenApplication},
        {"a wildcard handler catches any ID of its class", typeWildCard, RecordingHandler, AEPostQuitApplication,
         noErr, 1, kAEQuitApplication},
        {"the handler's result is the result of processing", kAEQuitApplication, FailingHandler,
         AEPostQuitApplication, -4321, 0, 0},
        {"an event without a handler is not handled", kAEOpenApplication, RecordingHandler, AEPostQuitApplication,
         errAEEventNotHandled, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AEResetForTesting();
        gSeen = Seen();
        ASSERT_EQ(AEInstallEventHandler(kCoreEventClass, c.installedFor, NewAEEventHandlerUPP(c.handler), 0x5EED,
                                        false),
                  noErr);
        ASSERT_EQ(c.post(), noErr);
        EventRecord er = NextHighLevelEvent();
        EXPECT_EQ(AEProcessAppleEvent(&er), c.result);
        EXPECT_EQ(gSeen.calls, c.calls);
        if (c.calls > 0) {
            EXPECT_EQ(gSeen.refcon, 0x5EED);
            EXPECT_EQ(gSeen.eventID, c.seen);
        }
    }
}

// An event is handled once; a record that names no stored event is not an
// Apple event.
TEST_F(AppleEvents, EachEventIsHandledOnce)
{
    AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, RecordingHandler, 0, false);
    AEPostQuitApplication();
    EventRecord er = NextHighLevelEvent();
    EXPECT_EQ(AEProcessAppleEvent(&er), noErr);
    EXPECT_EQ(AEProcessAppleEvent(&er), errAENotAppleEvent);
    EXPECT_EQ(gSeen.calls, 1);
    er.message = 123456;
    EXPECT_EQ(AEProcessAppleEvent(&er), errAENotAppleEvent);
    er.what = keyDown;
    EXPECT_EQ(AEProcessAppleEvent(&er), errAENotAppleEvent);
    EXPECT_EQ(AEProcessAppleEvent(nil), paramErr);
}

// A batch of files, a missing one among them, arrives as one event through
// the application's own handler in viewer.cases and ui-viewer.cases.

// No arguments open the application; arguments are documents to open.
TEST_F(AppleEvents, StartupEvents)
{
    AEInstallEventHandler(kCoreEventClass, typeWildCard, OpenDocumentsHandler, 0, false);
    const char* alone[] = {"orvo"};
    const char* withFiles[] = {"orvo", "/tmp/orvo-a.mov", "/tmp/orvo-b.mov"};
    for (auto [argc, argv] : {std::pair{1, alone}, std::pair{3, withFiles}}) {
        gSeen = Seen();
        ASSERT_EQ(AEPostStartupEvents(argc, argv), noErr);
        EventRecord er = NextHighLevelEvent();
        AEProcessAppleEvent(&er);
        EXPECT_EQ(gSeen.eventID, argc == 1 ? kAEOpenApplication : kAEOpenDocuments);
        EXPECT_EQ(gSeen.paths, std::vector<std::string>(argv + 1, argv + argc));
    }
}

TEST_F(AppleEvents, HandlerMayProcessAnotherEventInside)
{
    // A handler that runs a nested loop (an alert, say) may meet the next
    // Apple event there.
    static int nestedResult;
    nestedResult = 1;
    AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, RecordingHandler, 0, false);
    AEInstallEventHandler(
        kCoreEventClass, kAEOpenApplication,
        [](const AppleEvent*, AppleEvent*, long) -> OSErr {
            EventRecord inner{};
            if (GetNextEvent(highLevelEventMask, &inner))
                nestedResult = AEProcessAppleEvent(&inner);
            return noErr;
        },
        0, false);
    AEPostOpenApplication();
    AEPostQuitApplication();
    EventRecord er = NextHighLevelEvent();
    EXPECT_EQ(AEProcessAppleEvent(&er), noErr);
    EXPECT_EQ(nestedResult, noErr);
    EXPECT_EQ(gSeen.eventID, kAEQuitApplication);
}

TEST_F(AppleEvents, SignalsBecomeOneQuitEventUntilItIsHandled)
{
    AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, RecordingHandler, 0, false);
    AEInstallQuitSignalHandlers();
    AEPollQuitSignal();
    EXPECT_FALSE(HighLevelEventWaiting()) << "no signal, no quit";
    std::raise(SIGTERM);
    AEPollQuitSignal();
    AEPollQuitSignal();
    EventRecord er = NextHighLevelEvent();
    EXPECT_FALSE(HighLevelEventWaiting());
    EXPECT_EQ(AEProcessAppleEvent(&er), noErr);
    EXPECT_EQ(gSeen.calls, 1);

    // Handled: the next signal asks again, and WaitNextEvent polls itself.
    std::raise(SIGINT);
    ASSERT_TRUE(WaitNextEvent(everyEvent, &er, 0, nil));
    EXPECT_EQ(er.what, kHighLevelEvent);
    EXPECT_EQ(AEProcessAppleEvent(&er), noErr);
    EXPECT_EQ(gSeen.calls, 2);
    EXPECT_EQ(gSeen.eventID, kAEQuitApplication);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

TEST(AppleEventsDeathTest, ThirdSignalBeforeAQuitIsHandledEndsTheProcess)
{
    EXPECT_EXIT(
        {
            AEInstallQuitSignalHandlers();
            std::raise(SIGINT);
            std::raise(SIGINT);
            std::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}
