// The Apple events the host sends: files to open (start-up arguments and
// dropped files), open application, and quit (closing the host window,
// SIGINT, SIGTERM).
#include <cerrno>
#include <csignal>

#include <atomic>

#include "platform/filesystem/Files.h"
#include "platform/ui/appleevents/AEHostInternal.h"
#include "platform/ui/appleevents/AppleEvents.h"

namespace {

// Signals counted since the last signal-caused quit was handled. Only this
// atomic is touched inside the signal handler.
std::atomic<int> gPendingSignals{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free counter");

// The stored quit event posted for the pending signals, 0 when none.
UInt32 gSignalQuitNumber = 0;

// After this many signals without a quit being handled, the program is
// taken to be stuck (a modal loop ignores high-level events) and the signal
// gets its default effect.
constexpr int kSignalsBeforeForcedExit = 3;

extern "C" void OnQuitSignal(int signalNumber)
{
    int savedErrno = errno;
    if (gPendingSignals.fetch_add(1) + 1 >= kSignalsBeforeForcedExit) {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
    }
    errno = savedErrno;
}

OSErr PostCoreEvent(AEEventID eventID, const AEDesc* directObject)
{
    AppleEvent theEvent;
    if (OSErr err = AECreateAppleEvent(kCoreEventClass, eventID, nil, kAutoGenerateReturnID, kAnyTransactionID,
                                       &theEvent))
        return err;
    OSErr err = noErr;
    if (directObject != nil)
        err = AEPutParamDesc(&theEvent, keyDirectObject, directObject);
    if (err == noErr)
        err = AEPostAppleEvent(&theEvent);
    AEDisposeDesc(&theEvent);
    return err;
}

}  // namespace

OSErr AEPostOpenDocuments(const std::vector<std::string>& paths)
{
    AEDescList fileList;
    if (OSErr err = AECreateList(nil, 0, false, &fileList))
        return err;
    for (const std::string& path : paths) {
        if (path.empty())
            continue;
        // The FSSpec is filled whether or not the file exists; the handler's
        // open then reports the missing file by name.
        FSSpec location;
        FSPathMakeFSSpec(path.c_str(), &location, nil);
        AEPutPtr(&fileList, 0, typeFSS, &location, sizeof location);
    }
    OSErr err = PostCoreEvent(kAEOpenDocuments, &fileList);
    AEDisposeDesc(&fileList);
    return err;
}

OSErr AEPostOpenApplication() { return PostCoreEvent(kAEOpenApplication, nil); }

OSErr AEPostQuitApplication() { return PostCoreEvent(kAEQuitApplication, nil); }

OSErr AEPostStartupEvents(int argc, const char* const* argv)
{
    std::vector<std::string> paths;
    for (int i = 1; i < argc && argv != nil; ++i) {
        if (argv[i] != nil)
            paths.emplace_back(argv[i]);
    }
    return paths.empty() ? AEPostOpenApplication() : AEPostOpenDocuments(paths);
}

void AEInstallQuitSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nil);
    sigaction(SIGTERM, &action, nil);
}

void AEPollQuitSignal()
{
    if (gPendingSignals.load() == 0 || gSignalQuitNumber != 0)
        return;
    if (AEPostQuitApplication() == noErr)
        gSignalQuitNumber = aehost::LastPostedEventNumber();
}

namespace aehost {

void NoteEventHandled(UInt32 eventNumber)
{
    if (eventNumber != 0 && eventNumber == gSignalQuitNumber) {
        gSignalQuitNumber = 0;
        gPendingSignals.store(0);
    }
}

void ResetSignalState()
{
    gSignalQuitNumber = 0;
    gPendingSignals.store(0);
}

}  // namespace aehost
