// The open and save dialogs and the calls around them.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

#include "platform/core/PascalStrings.h"
#include "platform/ui/navigation/NavFolderList.h"
#include "platform/ui/navigation/Navigation.h"
#include "platform/ui/resources/Resources.h"

namespace fs = std::filesystem;

namespace {

// The dialogs' own templates, numbered where an application's never are.
enum : short {
    kOpenDialogID = -6040,
    kSaveDialogID = -6041,
    kReplaceDialogID = -6042,
};

// Items both dialogs share, by number.
enum : short {
    kActionItem = 1,
    kCancelItem = 2,
    kPathItem = 3,
    kUpItem = 4,
    kNameHeaderItem = 5,
    kDateHeaderItem = 6,
    kListItem = 7,
    kStatusItem = 8,
    // The save dialog's name field and its label.
    kNameLabelItem = 9,
    kNameFieldItem = 10,
};

constexpr short kDialogWidth = 480;
constexpr short kNameRowHeight = 34;
constexpr short kCustomAreaInset = 12;

std::string gStartFolder;

DialogItemTemplate Item(short type, short top, short left, short bottom, short right, const char* text)
{
    return DialogItemTemplate{type, Rect{top, left, bottom, right}, text, 0};
}

// The shared items, moved down by `down` pixels (room for the name row).
std::vector<DialogItemTemplate> ListItems(short down, const char* action)
{
    auto at = [down](short v) { return short(v + down); };
    return {
        Item(kButtonDialogItem, at(300), 392, at(320), 468, action),
        Item(kButtonDialogItem, at(300), 300, at(320), 380, "Cancel"),
        Item(kStaticTextDialogItem + itemDisable, at(12), 80, at(30), 468, ""),
        Item(kButtonDialogItem, at(10), 12, at(30), 72, "Up"),
        Item(kButtonDialogItem, at(38), 12, at(56), 322, "Name"),
        Item(kButtonDialogItem, at(38), 322, at(56), 452, "Date Modified"),
        Item(userItem, at(56), 12, at(288), 468, ""),
        Item(kStaticTextDialogItem + itemDisable, at(294), 12, at(330), 290, ""),
    };
}

void RegisterTemplates()
{
    if (!HasResourceTemplate(kDialogResType, kOpenDialogID)) {
        RegisterItemListTemplate(kOpenDialogID, ItemListTemplate{ListItems(0, "Open")});
        RegisterDialogTemplate(kOpenDialogID, DialogTemplate{Rect{70, 270, 402, short(270 + kDialogWidth)},
                                                             movableDBoxProc, false, false, 0, kOpenDialogID,
                                                             "Open"});
    }
    if (!HasResourceTemplate(kDialogResType, kSaveDialogID)) {
        std::vector<DialogItemTemplate> items = ListItems(kNameRowHeight, "Save");
        items.push_back(Item(kStaticTextDialogItem + itemDisable, 12, 12, 30, 70, "Save As:"));
        items.push_back(Item(kEditTextDialogItem, 12, 76, 28, 466, ""));
        RegisterItemListTemplate(kSaveDialogID, ItemListTemplate{items});
        RegisterDialogTemplate(kSaveDialogID,
                               DialogTemplate{Rect{70, 270, short(402 + kNameRowHeight), short(270 + kDialogWidth)},
                                              movableDBoxProc, false, false, 0, kSaveDialogID, "Save"});
    }
    if (!HasResourceTemplate(kDialogResType, kReplaceDialogID)) {
        RegisterItemListTemplate(kReplaceDialogID,
                                 ItemListTemplate{{Item(kButtonDialogItem, 80, 250, 100, 330, "Replace"),
                                                   Item(kButtonDialogItem, 80, 160, 100, 240, "Cancel"),
                                                   Item(kStaticTextDialogItem + itemDisable, 14, 20, 70, 330, "")}});
        RegisterDialogTemplate(kReplaceDialogID, DialogTemplate{Rect{160, 340, 272, 690}, dBoxProc, true, false, 0,
                                                                kReplaceDialogID, ""});
    }
}

void SetItemText(DialogPtr d, short item, const std::string& text)
{
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(d, item, &type, &handle, &box);
    Str255 s;
    pstr::FromStd(text, s);
    SetDialogItemText(handle, s);
}

std::string ItemText(DialogPtr d, short item)
{
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(d, item, &type, &handle, &box);
    Str255 s;
    GetDialogItemText(handle, s);
    return pstr::ToStd(s);
}

std::string Leaf(const std::string& path)
{
    return fs::path(path).filename().string();
}

std::string Join(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string ErrorText(const std::string& what, OSErr err)
{
    if (err == permErr)
        return "You may not open \xE2\x80\x9C" + what + "\xE2\x80\x9D (error " + std::to_string(err) + ").";
    return "\xE2\x80\x9C" + what + "\xE2\x80\x9D could not be opened (error " + std::to_string(err) + ").";
}

// The folder a default location names, or "".
std::string FolderOfLocation(const AEDesc* location)
{
    if (location == nullptr || location->descriptorType != typeFSS)
        return {};
    AEDescList list{};
    FSSpec folder{};
    AECreateList(nullptr, 0, false, &list);
    AEPutDesc(&list, 0, location);
    OSErr err = AEGetNthPtr(&list, 1, typeFSS, nullptr, nullptr, &folder, sizeof folder, nullptr);
    AEDisposeDesc(&list);
    if (err != noErr)
        return {};
    std::string path = FSSpecPath(folder);
    std::error_code ec;
    return fs::is_directory(path, ec) ? path : std::string();
}

std::string StartFolder(const AEDesc* location)
{
    std::string path = FolderOfLocation(location);
    if (!path.empty())
        return path;
    std::error_code ec;
    if (!gStartFolder.empty() && fs::is_directory(gStartFolder, ec))
        return gStartFolder;
    fs::path current = fs::current_path(ec);
    return ec ? std::string("/") : current.string();
}

// One running dialog. Only one runs at a time: each is modal.
struct Session {
    DialogPtr dialog = nullptr;
    std::unique_ptr<nav::FolderList> list;
    bool saving = false;
    NavEventUPP eventProc = nullptr;
    void* callBackUD = nullptr;
    NavCBRec cb;
    EventRecord lastMouseDown{};
    bool hasMouseDown = false;
    short standardItems = 0;
    NavUserAction pending = kNavUserActionNone;
};

Session* gSession = nullptr;

void CallBack(Session& s, NavEventCallbackMessage selector, EventRecord* event, short itemHit)
{
    if (s.eventProc == nullptr)
        return;
    s.cb.eventData.eventDataParms.event = event;
    s.cb.eventData.itemHit = itemHit;
    s.eventProc(selector, &s.cb, s.callBackUD);
}

void DrawList(DialogPtr d, DialogItemIndex)
{
    if (nav::FolderList* list = nav::FolderList::Of(d))
        list->Draw();
}

Boolean NavFilter(DialogPtr d, EventRecord* ev, DialogItemIndex* itemHit)
{
    Session* s = gSession;
    if (s == nullptr || ev == nullptr)
        return StdFilterProc(d, ev, itemHit);
    switch (ev->what) {
    case mouseDown:
        // Reported to the callback once the dialog knows the item it hit.
        s->lastMouseDown = *ev;
        s->hasMouseDown = true;
        return false;
    case keyDown:
    case autoKey: {
        unsigned char c = static_cast<unsigned char>(ev->message & charCodeMask);
        bool arrow = c == 0x1E || c == 0x1F;
        if ((ev->modifiers & cmdKey) == 0 && (arrow || (!s->saving && c >= 0x20)))
            s->list->Key(c, ev->when);
        break;
    }
    default:
        CallBack(*s, kNavCBEvent, ev, -1);
        // The callback may have asked the dialog to accept or cancel.
        if (s->pending != kNavUserActionNone) {
            *itemHit = 0;
            return true;
        }
        break;
    }
    return StdFilterProc(d, ev, itemHit);
}

void ShowStatus(Session& s, const std::string& text)
{
    SetItemText(s.dialog, kStatusItem, text);
    Rect box;
    DialogItemType type;
    Handle handle;
    GetDialogItem(s.dialog, kStatusItem, &type, &handle, &box);
    InvalWindowRect(s.dialog, &box);
}

void EnterFolder(Session& s, const std::string& path)
{
    OSErr err = s.list->SetFolder(path);
    ShowStatus(s, err == noErr ? std::string() : ErrorText(Leaf(path), err));
}

bool AskToReplace(const std::string& name)
{
    DialogPtr ask = GetNewDialog(kReplaceDialogID, nullptr, kDialogInFront);
    if (ask == nullptr)
        return false;
    SetItemText(ask, 3, "\xE2\x80\x9C" + name + "\xE2\x80\x9D already exists. Do you want to replace it?");
    SetDialogDefaultItem(ask, 2);
    SetDialogCancelItem(ask, 2);
    DialogItemIndex hit = 0;
    do {
        ModalDialog(nullptr, &hit);
    } while (hit != 1 && hit != 2);
    DisposeDialog(ask);
    return hit == 1;
}

// The result of the dialog's loop: the path chosen, or "" when cancelled.
std::string RunLoop(Session& s)
{
    for (;;) {
        if (s.pending == kNavUserActionCancel)
            return {};
        DialogItemIndex item = 0;
        ModalDialog(NavFilter, &item);
        EventRecord click = s.lastMouseDown;
        bool clicked = s.hasMouseDown;
        s.hasMouseDown = false;
        if (clicked && item > 0)
            CallBack(s, kNavCBEvent, &click, item);
        bool openSelection = false;
        switch (item) {
        case kActionItem:
            openSelection = true;
            break;
        case kCancelItem:
            return {};
        case kUpItem:
            ShowStatus(s, s.list->GoUp() == noErr ? std::string() : "The enclosing folder could not be opened.");
            break;
        case kNameHeaderItem:
            s.list->SortBy(nav::SortKey::Name);
            break;
        case kDateHeaderItem:
            s.list->SortBy(nav::SortKey::Date);
            break;
        case kListItem:
            if (clicked) {
                Point local = click.where;
                GrafPtr saved;
                GetPort(&saved);
                SetPortWindowPort(s.dialog);
                GlobalToLocal(&local);
                SetPort(saved);
                bool twice = s.list->Click(local, click.when);
                const nav::FolderEntry* entry = s.list->SelectedEntry();
                if (s.saving && entry != nullptr && !entry->isFolder) {
                    SetItemText(s.dialog, kNameFieldItem, entry->name);
                    SelectDialogItemText(s.dialog, kNameFieldItem, 0, 32767);
                }
                openSelection = twice;
            }
            break;
        default:
            break;
        }
        if (s.pending == kNavUserActionOpen || s.pending == kNavUserActionSaveAs) {
            s.pending = kNavUserActionNone;
            openSelection = true;
        }
        if (!openSelection)
            continue;
        const nav::FolderEntry* entry = s.list->SelectedEntry();
        // A selected folder opens, except that Save with a name typed saves
        // into the folder shown.
        bool savesByName = s.saving && item == kActionItem && !ItemText(s.dialog, kNameFieldItem).empty();
        if (entry != nullptr && entry->isFolder && !savesByName) {
            EnterFolder(s, s.list->SelectedPath());
            continue;
        }
        if (!s.saving) {
            if (entry != nullptr)
                return s.list->SelectedPath();
            continue;
        }
        std::string name = ItemText(s.dialog, kNameFieldItem);
        if (name.empty())
            continue;
        if (name.find('/') != std::string::npos || name == "." || name == "..") {
            ShowStatus(s, "A name cannot contain \xE2\x80\x9C/\xE2\x80\x9D or be \xE2\x80\x9C.\xE2\x80\x9D "
                          "or \xE2\x80\x9C..\xE2\x80\x9D.");
            continue;
        }
        std::string path = Join(s.list->Folder(), name);
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            ShowStatus(s, "\xE2\x80\x9C" + name + "\xE2\x80\x9D is a folder.");
            continue;
        }
        if (fs::exists(path, ec) && !AskToReplace(name))
            continue;
        return path;
    }
}

OSErr FinishReply(NavReplyRecord* reply, const std::string& path, bool saving)
{
    *reply = NavReplyRecord{};
    if (path.empty())
        return noErr;
    FSSpec location{};
    OSErr err = FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    if (err != noErr && !(saving && err == fnfErr))
        return err;
    AECreateList(nullptr, 0, false, &reply->selection);
    AEPutPtr(&reply->selection, 0, typeFSS, &location, sizeof location);
    reply->validRecord = true;
    std::error_code ec;
    reply->replacing = saving && fs::exists(path, ec);
    return noErr;
}

OSErr RunDialog(short dialogID, bool saving, AEDesc* defaultLocation, NavReplyRecord* reply,
                NavDialogOptions* options, NavEventUPP eventProc, void* callBackUD,
                std::function<bool(const std::string&)> accepts)
{
    if (reply == nullptr)
        return paramErr;
    *reply = NavReplyRecord{};
    if (gSession != nullptr)
        return kNavInvalidSystemConfigErr;
    RegisterTemplates();
    DialogPtr d = GetNewDialog(dialogID, nullptr, kDialogInFront);
    if (d == nullptr)
        return memFullErr;
    Session s;
    s.dialog = d;
    s.saving = saving;
    s.eventProc = eventProc;
    s.callBackUD = callBackUD;
    s.cb.context = d;
    s.cb.window = GetDialogWindow(d);
    s.standardItems = CountDITL(d);
    gSession = &s;

    if (options != nullptr) {
        if (options->windowTitle[0] != 0)
            SetWTitle(d, options->windowTitle);
        if (options->actionButtonLabel[0] != 0)
            SetItemText(d, kActionItem, pstr::ToStd(options->actionButtonLabel));
        if (options->cancelButtonLabel[0] != 0)
            SetItemText(d, kCancelItem, pstr::ToStd(options->cancelButtonLabel));
        if (options->message[0] != 0)
            SetItemText(d, kStatusItem, pstr::ToStd(options->message));
        if (saving)
            SetItemText(d, kNameFieldItem, pstr::ToStd(options->savedFileName));
    }
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(d, kListItem, &type, &handle, &box);
    SetDialogItem(d, kListItem, type, reinterpret_cast<Handle>(DrawList), &box);
    SetDialogDefaultItem(d, kActionItem);
    SetDialogCancelItem(d, kCancelItem);
    s.list = std::make_unique<nav::FolderList>(d, kListItem, kPathItem);
    s.list->SetFileFilter(std::move(accepts));
    std::string start = StartFolder(defaultLocation);
    OSErr startErr = s.list->SetFolder(start);
    if (startErr != noErr) {
        std::error_code ec;
        fs::path current = fs::current_path(ec);
        if (ec || s.list->SetFolder(current.string()) != noErr)
            s.list->SetFolder("/");
        ShowStatus(s, ErrorText(Leaf(start), startErr));
    }

    // The custom area: the application asks for its size, then adds its items.
    s.cb.customRect = Rect{0, 0, 0, 0};
    CallBack(s, kNavCBCustomize, nullptr, -1);
    CallBack(s, kNavCBStart, nullptr, -1);
    if (saving)
        SelectDialogItemText(d, kNameFieldItem, 0, 32767);
    ShowWindow(d);
    SelectWindow(d);

    std::string chosen = RunLoop(s);
    s.cb.userAction = chosen.empty() ? kNavUserActionCancel : (saving ? kNavUserActionSaveAs : kNavUserActionOpen);
    CallBack(s, kNavCBTerminate, nullptr, -1);
    gStartFolder = s.list->Folder();
    s.list.reset();
    gSession = nullptr;
    DisposeDialog(d);
    return FinishReply(reply, chosen, saving);
}

}  // namespace

NavEventUPP NewNavEventUPP(NavEventProcPtr userRoutine)
{
    return userRoutine;
}

void DisposeNavEventUPP(NavEventUPP) {}

OSErr NavGetDefaultDialogOptions(NavDialogOptions* dialogOptions)
{
    if (dialogOptions == nullptr)
        return paramErr;
    *dialogOptions = NavDialogOptions{};
    dialogOptions->dialogOptionFlags = kNavDefaultNavDlogOptions;
    return noErr;
}

OSErr NavGetFile(AEDesc* defaultLocation, NavReplyRecord* reply, NavDialogOptions* dialogOptions,
                 NavEventUPP eventProc, NavPreviewUPP, NavObjectFilterUPP, NavTypeListHandle typeList,
                 void* callBackUD)
{
    std::function<bool(const std::string&)> accepts;
    if (typeList != nullptr) {
        std::vector<OSType> types = TypeListFromHandle(typeList);
        accepts = [types](const std::string& path) {
            FSSpec location{};
            FInfo info{};
            if (FSPathMakeFSSpec(path.c_str(), &location, nullptr) != noErr || FSpGetFInfo(&location, &info) != noErr)
                return false;
            return std::find(types.begin(), types.end(), info.fdType) != types.end();
        };
    }
    return RunDialog(kOpenDialogID, false, defaultLocation, reply, dialogOptions, eventProc, callBackUD,
                     std::move(accepts));
}

OSErr NavPutFile(AEDesc* defaultLocation, NavReplyRecord* reply, NavDialogOptions* dialogOptions,
                 NavEventUPP eventProc, OSType, OSType, void* callBackUD)
{
    return RunDialog(kSaveDialogID, true, defaultLocation, reply, dialogOptions, eventProc, callBackUD, nullptr);
}

OSErr NavCompleteSave(NavReplyRecord* reply, NavTranslationOptions)
{
    return reply != nullptr && reply->validRecord ? noErr : paramErr;
}

OSErr NavDisposeReply(NavReplyRecord* reply)
{
    if (reply == nullptr)
        return paramErr;
    AEDisposeDesc(&reply->selection);
    reply->validRecord = false;
    return noErr;
}

OSErr NavCustomControl(NavDialogRef dialog, NavCustomControlMessage selector, void* parms)
{
    Session* s = gSession;
    if (s == nullptr || dialog != s->dialog)
        return paramErr;
    switch (selector) {
    case kNavCtlAddControlList:
        if (parms == nullptr)
            return paramErr;
    {
        DialogItemIndex first = short(CountDITL(dialog) + 1);
        AppendDITL(dialog, static_cast<Handle>(parms), appendDITLBottom);
        // The application's items line up with the dialog's own left edge.
        for (DialogItemIndex i = first; i <= CountDITL(dialog); ++i) {
            DialogItemType type;
            Handle handle;
            Rect box;
            GetDialogItem(dialog, i, &type, &handle, &box);
            OffsetRect(&box, kCustomAreaInset, 0);
            SetDialogItem(dialog, i, type, handle, &box);
            ControlHandle control = nullptr;
            if (GetDialogItemAsControl(dialog, i, &control) == noErr)
                MoveControl(control, box.left, box.top);
        }
        return noErr;
    }
    case kNavCtlGetFirstControlID:
        if (parms == nullptr)
            return paramErr;
        *static_cast<DialogItemIndex*>(parms) = s->standardItems;
        return noErr;
    case kNavCtlAccept:
        s->pending = s->saving ? kNavUserActionSaveAs : kNavUserActionOpen;
        return noErr;
    case kNavCtlCancel:
        s->pending = kNavUserActionCancel;
        return noErr;
    case kNavCtlGetEditFileName:
        if (!s->saving || parms == nullptr)
            return kNavCustomControlMessageFailedErr;
        pstr::FromStd(ItemText(dialog, kNameFieldItem), static_cast<StringPtr>(parms));
        return noErr;
    case kNavCtlSetEditFileName:
        if (!s->saving || parms == nullptr)
            return kNavCustomControlMessageFailedErr;
        SetItemText(dialog, kNameFieldItem, pstr::ToStd(static_cast<ConstStringPtr>(parms)));
        return noErr;
    default:
        return kNavInvalidCustomControlMessageErr;
    }
}

nav::RunningDialog nav::CurrentDialog()
{
    RunningDialog running;
    if (gSession == nullptr)
        return running;
    running.dialog = gSession->dialog;
    running.saving = gSession->saving;
    running.list = gSession->list.get();
    running.actionItem = kActionItem;
    running.cancelItem = kCancelItem;
    running.nameItem = gSession->saving ? kNameFieldItem : 0;
    running.standardItems = gSession->standardItems;
    return running;
}

void NavSetStartFolder(const std::string& path)
{
    gStartFolder = path;
}
