// The Navigation Services subset: the open-file and save-file dialogs.
//
// Both are modal dialogs of the Dialog Manager with a folder list: the
// folder's path with a button to go up, a scrolling list of its entries
// (folders first, sortable by name or date, each order reversible by a
// second click), double-click or Return to open, and typing to select by
// name. The open dialog offers the files of a type list (or every file),
// one file at a time. The save dialog adds a name field, asks before
// replacing an existing file, and takes the application's own items into
// a custom area through NavCustomControl.
//
// Both dialogs start in the folder last used by either during this run,
// else in the current directory. The application's event callback sees the
// events the dialog's loop receives (kNavCBEvent): update events for its
// own windows, so it can redraw them, and a mouse-down on an item with the
// item's number in eventData.itemHit.
#pragma once

#include "platform/core/MacTypes.h"
#include "platform/filesystem/Files.h"
#include "platform/ui/appleevents/AEDescriptors.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/events/Events.h"

typedef UInt32 NavDialogOptionFlags;
enum : NavDialogOptionFlags {
    kNavDontAutoTranslate = 0x00000002,
    kNavDontAddTranslateItems = 0x00000004,
    kNavAllowStationery = 0x00000010,
    kNavAllowPreviews = 0x00000020,
    kNavAllowMultipleFiles = 0x00000080,
    kNavAllowInvisibleFiles = 0x00000100,
    kNavNoTypePopup = 0x00001000,
    // What NavGetDefaultDialogOptions gives.
    kNavDefaultNavDlogOptions = 0x000000E4,
};

struct NavDialogOptions {
    UInt16 version = 0;
    NavDialogOptionFlags dialogOptionFlags = 0;
    Point location{-1, -1};       // (-1, -1): the dialog's own place
    Str255 clientName{};
    Str255 windowTitle{};         // empty: "Open" or "Save"
    Str255 actionButtonLabel{};   // empty: "Open" or "Save"
    Str255 cancelButtonLabel{};   // empty: "Cancel"
    Str255 savedFileName{};       // the name the save dialog proposes
    Str255 message{};             // shown above the list when not empty
    UInt32 preferenceKey = 0;
    Handle popupExtension = nullptr;
};

struct NavReplyRecord {
    UInt16 version = 0;
    Boolean validRecord = false;  // false: the person cancelled
    Boolean replacing = false;    // save: the file exists and will be replaced
    Boolean isStationery = false;
    Boolean translationNeeded = false;
    AEDescList selection{};       // 'fss ' items
    ScriptCode keyScript = 0;
    Handle fileTranslation = nullptr;
};

typedef DialogPtr NavDialogRef;
typedef NavDialogRef NavContext;

typedef SInt32 NavEventCallbackMessage;
enum : NavEventCallbackMessage {
    kNavCBEvent = 0,
    kNavCBCustomize = 1,
    kNavCBStart = 2,
    kNavCBTerminate = 3,
    kNavCBAdjustRect = 4,
    kNavCBNewLocation = 5,
    kNavCBShowDesktop = 6,
    kNavCBSelectEntry = 7,
    kNavCBPopupMenuSelect = 8,
    kNavCBAccept = 9,
    kNavCBCancel = 10,
};

typedef UInt32 NavUserAction;
enum : NavUserAction {
    kNavUserActionNone = 0,
    kNavUserActionCancel = 1,
    kNavUserActionOpen = 2,
    kNavUserActionSaveAs = 3,
};

struct NavEventDataInfo {
    EventRecord* event = nullptr;
};

struct NavEventData {
    NavEventDataInfo eventDataParms;
    SInt16 itemHit = -1;          // the item a mouse-down hit, -1 for none
};

struct NavCBRec {
    UInt16 version = 0;
    NavContext context = nullptr;  // the dialog, for NavCustomControl
    WindowPtr window = nullptr;    // the dialog's window
    Rect customRect{};             // kNavCBCustomize: the proposed custom area
    Rect previewRect{};
    NavEventData eventData;
    NavUserAction userAction = kNavUserActionNone;
};
typedef NavCBRec* NavCBRecPtr;

typedef void (*NavEventProcPtr)(NavEventCallbackMessage callBackSelector, NavCBRecPtr callBackParms,
                                void* callBackUD);
typedef NavEventProcPtr NavEventUPP;
typedef Boolean (*NavPreviewProcPtr)(NavCBRecPtr callBackParms, void* callBackUD);
typedef NavPreviewProcPtr NavPreviewUPP;
typedef Boolean (*NavObjectFilterProcPtr)(AEDesc* theItem, void* info, void* callBackUD, SInt16 filterMode);
typedef NavObjectFilterProcPtr NavObjectFilterUPP;

// A type list: the 'open' resource's handle (Resources.h gives its layout).
typedef Handle NavTypeListHandle;

typedef UInt32 NavTranslationOptions;
enum : NavTranslationOptions { kNavTranslateInPlace = 0, kNavTranslateCopy = 1 };

typedef SInt32 NavCustomControlMessage;
enum : NavCustomControlMessage {
    kNavCtlCancel = 15,
    kNavCtlAccept = 16,
    kNavCtlAddControlList = 19,     // parms: a 'DITL' handle
    kNavCtlGetFirstControlID = 20,  // parms: DialogItemIndex*, the last standard item
    kNavCtlGetEditFileName = 23,    // parms: StringPtr (Str255)
    kNavCtlSetEditFileName = 24,    // parms: ConstStringPtr
};

enum : OSErr {
    kNavInvalidSystemConfigErr = -5696,
    kNavCustomControlMessageFailedErr = -5697,
    kNavInvalidCustomControlMessageErr = -5698,
};

NavEventUPP NewNavEventUPP(NavEventProcPtr userRoutine);
void DisposeNavEventUPP(NavEventUPP userUPP);

OSErr NavGetDefaultDialogOptions(NavDialogOptions* dialogOptions);

// Runs the open dialog. With a type list only files of those types (and
// every folder) are listed; nil lists every file. defaultLocation may name
// a folder (an 'fss ' descriptor) to start in. On return reply->validRecord
// tells whether a file was chosen; its selection then holds one 'fss '.
OSErr NavGetFile(AEDesc* defaultLocation, NavReplyRecord* reply, NavDialogOptions* dialogOptions,
                 NavEventUPP eventProc, NavPreviewUPP previewProc, NavObjectFilterUPP filterProc,
                 NavTypeListHandle typeList, void* callBackUD);

// Runs the save dialog. The selection's 'fss ' names the chosen file in the
// chosen folder (it need not exist); replacing tells whether it does.
OSErr NavPutFile(AEDesc* defaultLocation, NavReplyRecord* reply, NavDialogOptions* dialogOptions,
                 NavEventUPP eventProc, OSType fileType, OSType fileCreator, void* callBackUD);

// Nothing to translate here: the file is already where the reply says.
OSErr NavCompleteSave(NavReplyRecord* reply, NavTranslationOptions howToTranslate);
OSErr NavDisposeReply(NavReplyRecord* reply);

// Valid while the dialog runs, from its event callback.
OSErr NavCustomControl(NavDialogRef dialog, NavCustomControlMessage selector, void* parms);

// The folder the next dialog starts in (the last one used during the run);
// tests use it to start from a known place.
void NavSetStartFolder(const std::string& path);
