#include "app/OrvoFramework.h"

#include "app/AppResources.h"
#include "framework/Window.h"
#include "platform/core/PascalStrings.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/system/Gestalt.h"
#include "platform/ui/menus/Menus.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "util/MyError.h"
#include "viewer/MovieUtils.h"
#include "viewer/OrvoViewerWindow.h"

AppleEventsUserData gAppleEventsData;
bool gOSX = false;

namespace {
// The packed system version 10.0.0.
constexpr SInt32 kFirstSystem10Version = 0x1000;
}  // namespace

OrvoFramework::OrvoFramework()
    : OpenApplicationHandlerProcPtr(nullptr),
      OpenDocumentsHandlerProcPtr(nullptr),
      PrintDocumentsHandlerProcPtr(nullptr),
      QuitApplicationHandlerProcPtr(nullptr)
{
}

OrvoFramework::~OrvoFramework() = default;

void OrvoFramework::LoadMenuBar(short mbarID)
{
    UIEngine::LoadMenuBar(mbarID);
    SInt32 response = 0;
    OSErr anErr = Gestalt(gestaltSystemVersion, &response);
    FailErr(anErr, "Gestalt(gestaltSystemVersion)"_p);
    if (anErr == noErr && response >= kFirstSystem10Version) {
        // Quit lives in the application menu there: remove it and the
        // separator above it, the later item first so numbering holds.
        DeleteMenuItem(GetMenuHandle(kFileMenuID), 6);
        DeleteMenuItem(GetMenuHandle(kFileMenuID), 5);
        gOSX = true;
    }
}

long OrvoFramework::HandleMenu(EventRecord& er, long menuChoice)
{
    long result = kDispatchNothing;
    short theMenu = static_cast<short>((menuChoice >> 16) & 0xFFFF);
    short theItem = static_cast<short>(menuChoice & 0xFFFF);
    if (theMenu == kAppleMenuID && theItem == 1)
        ShowAboutBox();
    else if (theMenu == kFileMenuID)
        result = HandleFileMenu(er, theItem);
    HiliteMenu(0);
    return result;
}

void OrvoFramework::ShowAboutBox()
{
    DialogPtr theDialog = GetNewDialog(kAboutDialogID, nullptr, reinterpret_cast<WindowPtr>(-1L));
    FailNil(reinterpret_cast<Ptr>(theDialog), "GetNewDialog()"_p);
    if (theDialog == nullptr)
        return;
    // Return, Enter and Escape (and command-period) end the box like a click
    // on its button: item 1 is both the default and the cancel item.
    SetDialogDefaultItem(theDialog, 1);
    SetDialogCancelItem(theDialog, 1);
    DialogItemIndex itemHit = 0;
    ModalDialog(nullptr, &itemHit);
    DisposeDialog(theDialog);
}

long OrvoFramework::HandleFileMenu(EventRecord& er, short theItem)
{
    switch (theItem) {
    case kFileOpenItem:
        return OpenMovieFile(er);
    case kFileCloseItem:
        gClosingWindow = WindowLookup(FrontWindow());
        return kDispatchCloseWindow;
    case kFileQuitItem:
        return kDispatchQuit;
    default:
        return kDispatchNothing;
    }
}

long OrvoFramework::HandleHighLevelEvent(EventRecord& er)
{
    gAppleEventsData.eventResult = kDispatchNothing;
    OSErr theErr = AEProcessAppleEvent(&er);
    FailErr(theErr, "AEProcessAppleEvent()"_p);
    return gAppleEventsData.eventResult;
}

long OrvoFramework::OpenMovieFile(EventRecord& er)
{
    // Option held while the command was chosen offers every file.
    bool anyFile = (er.modifiers & optionKey) != 0;
    FSSpec reply{};
    if (!NavGetMovieFile(&reply, this, anyFile))
        return kDispatchNothing;
    LoadMovieFile(&reply);
    return kDispatchNothing;
}

namespace {

// The file's name as the person sees it: a name too long for the location
// record is restored from the file system's long-name map, so that a
// shortened name never reaches the screen.
void RealFileName(const FSSpec& location, Str255 name)
{
    std::string realName = FSSpecRealName(location);
    if (realName.empty())
        realName = pstr::ToStd(location.name);
    pstr::FromStd(realName, name);
}

// A movie whose sample files are missing still opens; the person learns
// which files it could not find.
void ReportMissingFiles(Movie theMovie)
{
    std::vector<std::string> missing = MissingMovieFiles(theMovie);
    std::string text;
    for (const std::string& name : missing)
        text += (text.empty() ? "\xE2\x80\x9C" : ", \xE2\x80\x9C") + name + "\xE2\x80\x9D";
    if (missing.empty())
        text = "Some of the movie\xE2\x80\x99s files";
    else
        text = (missing.size() == 1 ? "The movie\xE2\x80\x99s file " : "The movie\xE2\x80\x99s files ") + text;
    text += " cannot be found (NewMovieFromFile)";
    Str255 label;
    pstr::FromStd(text, label);
    FailErr(couldNotResolveDataRef, label);
}

}  // namespace

// A viewer is registered before the file is opened. When the file or its
// movie cannot be read the alert names the cause and the empty viewer is
// closed at once: it never holds a movie or a file reference it did not get.
void OrvoFramework::LoadMovieFile(FSSpec* theFile)
{
    OSErr err = noErr;
    auto* theWindow = new OrvoViewerWindow();
    AddWindow(theWindow);
    theWindow->SetAsPort();
    short movieResRef = 0;
    err = ::OpenMovieFile(theFile, &movieResRef, fsRdWrPerm);
    if (err != noErr) {
        FailErr(err, "Error in OpenMovieFile (OpenMovieFile())"_p);
        delete theWindow;
        return;
    }
    Movie theMovie = nullptr;
    short movieResID = 0;
    err = NewMovieFromFile(&theMovie, movieResRef, &movieResID, nullptr, newMovieActive, nullptr);
    if (err == couldNotResolveDataRef && theMovie != nullptr)
        ReportMissingFiles(theMovie);
    else
        FailErr(err, "Error in NewMovieFromFile (OpenMovieFile())"_p);
    if (theMovie == nullptr) {
        CloseMovieFile(movieResRef);
        delete theWindow;
        return;
    }
    Str255 name;
    RealFileName(*theFile, name);
    theWindow->SetMovie(theMovie, movieResRef, movieResID, name);
}

void OrvoFramework::InitializeAppleEvents()
{
    OpenApplicationHandlerProcPtr = NewAEEventHandlerUPP(OpenApplicationHandler);
    OpenDocumentsHandlerProcPtr = NewAEEventHandlerUPP(OpenDocumentsHandler);
    PrintDocumentsHandlerProcPtr = NewAEEventHandlerUPP(PrintDocumentsHandler);
    QuitApplicationHandlerProcPtr = NewAEEventHandlerUPP(QuitApplicationHandler);
    gAppleEventsData.uiRef = this;

    struct Installation {
        AEEventID eventID;
        AEEventHandlerUPP handler;
    };
    const Installation installations[] = {
        {kAEOpenApplication, OpenApplicationHandlerProcPtr}, {kAEOpenDocuments, OpenDocumentsHandlerProcPtr},
        {kAEPrintDocuments, PrintDocumentsHandlerProcPtr},   {kAEReopenApplication, OpenApplicationHandlerProcPtr},
        {kAEQuitApplication, QuitApplicationHandlerProcPtr},
    };
    for (const Installation& inst : installations) {
        OSErr theErr = AEInstallEventHandler(kCoreEventClass, inst.eventID, inst.handler,
                                             reinterpret_cast<long>(&gAppleEventsData), false);
        FailErr(theErr, "AEInstallEventHandler()"_p);
    }
}

OSErr OrvoFramework::OpenApplicationHandler(const AppleEvent*, AppleEvent*, long)
{
    return noErr;
}

OSErr OrvoFramework::PrintDocumentsHandler(const AppleEvent*, AppleEvent*, long)
{
    return noErr;
}

OSErr OrvoFramework::QuitApplicationHandler(const AppleEvent*, AppleEvent*, long)
{
    gQuitFlag = true;
    return noErr;
}

// Each file of the event's list goes to LoadMovieFile, in list order. When
// the list itself cannot be read nothing is loaded; an item that cannot be
// read is reported and skipped, so a bad entry never reaches LoadMovieFile as
// a garbage file location.
OSErr OrvoFramework::OpenDocumentsHandler(const AppleEvent* theAppleEvent, AppleEvent*, long handlerRefcon)
{
    auto* data = reinterpret_cast<AppleEventsUserData*>(handlerRefcon);
    AEDescList fileList{};
    OSErr theErr = AEGetParamDesc(theAppleEvent, keyDirectObject, typeAEList, &fileList);
    FailErr(theErr, "AEGetParamDesc()"_p);
    if (theErr != noErr)
        return noErr;
    long numFiles = 0;
    theErr = AECountItems(&fileList, &numFiles);
    FailErr(theErr, "AECountItems()"_p);
    for (long i = 1; theErr == noErr && i <= numFiles; ++i) {
        FSSpec theFile{};
        OSErr itemErr = AEGetNthPtr(&fileList, i, typeFSS, nullptr, nullptr, &theFile, sizeof(FSSpec), nullptr);
        FailErr(itemErr, "AEGetNthPtr()"_p);
        if (itemErr == noErr && data != nullptr && data->uiRef != nullptr)
            data->uiRef->LoadMovieFile(&theFile);
    }
    AEDisposeDesc(&fileList);
    return noErr;
}
