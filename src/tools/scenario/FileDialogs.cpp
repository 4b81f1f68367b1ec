#include "tools/scenario/FileDialogs.h"

#include <filesystem>

#include "platform/core/PascalStrings.h"
#include "platform/ui/harness/DialogHarness.h"
#include "platform/ui/harness/Harness.h"
#include "platform/ui/navigation/NavFolderList.h"

namespace scenario {

namespace {

enum : UInt8 { kReturnKey = 0x0D };

std::string ItemText(DialogPtr d, short item)
{
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(d, item, &type, &handle, &box);
    Str255 text;
    GetDialogItemText(handle, text);
    return pstr::ToStd(text);
}

// Shows the folder that holds `path` in the dialog's list, as going there
// with the Up button and double-clicks would.
std::string GoToFolderOf(const nav::RunningDialog& running, const std::string& path)
{
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (running.list->Folder() != folder && running.list->SetFolder(folder) != noErr)
        return "the file dialog cannot open the folder " + folder;
    return "";
}

}  // namespace

FileDialogKind FileDialogKindOf(WindowPtr w)
{
    nav::RunningDialog running = nav::CurrentDialog();
    if (w == nullptr || running.dialog != w)
        return FileDialogKind::None;
    return running.saving ? FileDialogKind::Save : FileDialogKind::Open;
}

FrontFileDialog FindFrontFileDialog()
{
    WindowPtr front = FrontWindow();
    return FrontFileDialog{front, FileDialogKindOf(front)};
}

void DescribeFileDialog(JsonWriter& j, WindowPtr w)
{
    nav::RunningDialog running = nav::CurrentDialog();
    if (running.dialog != w || running.list == nullptr)
        return;
    j.String("folder", running.list->Folder());
    j.BeginArray("files");
    for (const nav::FolderEntry& entry : running.list->Entries())
        j.String("", entry.isFolder ? entry.name + "/" : entry.name);
    j.EndArray();
    const nav::FolderEntry* selected = running.list->SelectedEntry();
    if (selected != nullptr)
        j.String("selected", selected->name);
    else
        j.Null("selected");
    if (running.saving)
        j.String("name", ItemText(w, running.nameItem));
    j.BeginArray("custom");
    for (short item = short(running.standardItems + 1); item <= CountDITL(w); ++item) {
        ControlHandle control = nullptr;
        if (GetDialogItemAsControl(w, item, &control) == noErr)
            j.Number("", GetControlValue(control));
    }
    j.EndArray();
}

std::string ScriptNavCommand(const Command& command, const std::string& path)
{
    FrontFileDialog front = FindFrontFileDialog();
    if (front.kind == FileDialogKind::None)
        return "no file dialog in front";
    const std::string& what = command.args[0].text;
    if ((what == "save" || what == "check") && front.kind != FileDialogKind::Save)
        return "the file dialog in front is an open dialog, not a save dialog";
    if (what == "choose" && front.kind != FileDialogKind::Open)
        return "the file dialog in front is a save dialog, not an open dialog";
    nav::RunningDialog running = nav::CurrentDialog();
    if (what == "cancel") {
        harness::ClickDialogItem(running.dialog, running.cancelItem);
        return "";
    }
    if (what == "check") {
        short item = short(running.standardItems + std::stoi(command.args[1].text));
        if (item > CountDITL(running.dialog))
            return "the save dialog has no check box " + command.args[1].text;
        harness::ClickDialogItem(running.dialog, item);
        return "";
    }
    if (std::string error = GoToFolderOf(running, path); !error.empty())
        return error;
    std::string name = std::filesystem::path(path).filename().string();
    if (what == "choose") {
        if (!running.list->SelectByName(name))
            return "the open dialog does not offer " + path;
        harness::Key(kReturnKey);
        return "";
    }
    Str255 text;
    pstr::FromStd(name, text);
    DialogItemType type;
    Handle handle;
    Rect box;
    GetDialogItem(running.dialog, running.nameItem, &type, &handle, &box);
    SetDialogItemText(handle, text);
    harness::ClickDialogItem(running.dialog, running.actionItem);
    return "";
}

}  // namespace scenario
