#include "viewer/MovieUtils.h"

#include <algorithm>
#include <span>

#include "app/AppResources.h"
#include "framework/UIEngine.h"
#include "platform/core/Memory.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/AliasRecord.h"
#include "platform/ui/resources/Resources.h"
#include "util/MyError.h"

// Made once, before main, and never released.
NavEventUPP eventProc = NewNavEventUPP(NavSimpleEventProc);

bool NavGetMovieFile(FSSpec* theFile, UIEngine* theApp, bool anyFile)
{
    NavDialogOptions dialogOptions;
    OSErr anErr = NavGetDefaultDialogOptions(&dialogOptions);
    FailErr(anErr, "NavGetDefaultDialogOptions()"_p);
    if (anErr != noErr)
        return false;
    // One file at a time, and no translation.
    dialogOptions.dialogOptionFlags ^= kNavAllowMultipleFiles | kNavDontAutoTranslate;

    NavTypeListHandle openList = nullptr;
    if (!anyFile)
        openList = GetResource(kTypeListResType, kMovieTypeListID);

    NavReplyRecord reply;
    anErr = NavGetFile(nullptr, &reply, &dialogOptions, eventProc, nullptr, nullptr, openList, theApp);
    // Cancelling is silent: the dialog then answers noErr with no valid
    // reply. A dialog that could not run at all is reported, so that a
    // File/Open that shows nothing does not pass without a word.
    bool chosen = false;
    FailErr(anErr, "NavGetFile()"_p);
    if (anErr == noErr && reply.validRecord) {
        anErr = AEGetNthPtr(&reply.selection, 1, typeFSS, nullptr, nullptr, theFile, sizeof(FSSpec), nullptr);
        FailErr(anErr, "AEGetNthPtr()"_p);
        chosen = anErr == noErr;
    }
    NavDisposeReply(&reply);
    if (openList != nullptr)
        ReleaseResource(openList);
    return chosen;
}

void NavSimpleEventProc(NavEventCallbackMessage callBackSelector, NavCBRecPtr callBackParms, void* callBackUD)
{
    if (callBackParms == nullptr || callBackSelector != kNavCBEvent || callBackUD == nullptr)
        return;
    EventRecord* event = callBackParms->eventData.eventDataParms.event;
    if (event != nullptr && event->what == updateEvt)
        static_cast<UIEngine*>(callBackUD)->RefreshWindow(reinterpret_cast<WindowPtr>(event->message));
}

namespace {

std::string LeafOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name a person knows the referenced file by.
std::string ReferenceName(OSType type, Handle dataRef)
{
    if (dataRef == nullptr || *dataRef == nullptr)
        return {};
    std::span<const UInt8> bytes(reinterpret_cast<const UInt8*>(*dataRef), size_t(GetHandleSize(dataRef)));
    if (type == rAliasType) {
        AliasRecordInfo info;
        if (DecodeAliasRecord(bytes, &info) != noErr)
            return {};
        return info.posixPath.empty() ? info.fileName : LeafOf(info.posixPath);
    }
    if (type == URLDataHandlerSubType) {
        std::string url(bytes.begin(), std::find(bytes.begin(), bytes.end(), UInt8(0)));
        return LeafOf(url);
    }
    return {};
}

}  // namespace

std::vector<std::string> MissingMovieFiles(Movie theMovie)
{
    std::vector<std::string> names;
    long trackCount = GetMovieTrackCount(theMovie);
    for (long t = 1; t <= trackCount; ++t) {
        Media media = GetTrackMedia(GetMovieIndTrack(theMovie, t));
        short count = 0;
        if (media == nullptr || GetMediaDataRefCount(media, &count) != noErr)
            continue;
        for (short i = 1; i <= count; ++i) {
            Handle dataRef = nullptr;
            OSType type = 0;
            long attributes = 0;
            if (GetMediaDataRef(media, i, &dataRef, &type, &attributes) != noErr)
                continue;
            if (attributes & dataRefWasNotResolved) {
                std::string name = ReferenceName(type, dataRef);
                if (name.empty())
                    name = "(unnamed)";
                if (std::find(names.begin(), names.end(), name) == names.end())
                    names.push_back(name);
            }
            if (dataRef != nullptr)
                DisposeHandle(dataRef);
        }
    }
    return names;
}
