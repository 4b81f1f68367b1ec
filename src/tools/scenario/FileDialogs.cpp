#include "tools/scenario/FileDialogs.h"

namespace scenario {

// The toolbox has no file dialogs yet, so no window is one. When NavGetFile
// and NavPutFile land, this asks the navigation module which dialog is
// which; everything below then works from its answer.
FileDialogKind FileDialogKindOf(WindowPtr) { return FileDialogKind::None; }

FrontFileDialog FindFrontFileDialog()
{
    WindowPtr front = FrontWindow();
    return FrontFileDialog{front, FileDialogKindOf(front)};
}

// Nothing to describe until there are file dialogs: their folder, list,
// selection, name field and custom check boxes come from the navigation
// module's state.
void DescribeFileDialog(JsonWriter&, WindowPtr) {}

std::string ScriptNavCommand(const Command& command, const std::string&)
{
    FrontFileDialog front = FindFrontFileDialog();
    if (front.kind == FileDialogKind::None)
        return "no file dialog in front";
    const std::string& what = command.args[0].text;
    if ((what == "save" || what == "check") && front.kind != FileDialogKind::Save)
        return "the file dialog in front is an open dialog, not a save dialog";
    if (what == "choose" && front.kind != FileDialogKind::Open)
        return "the file dialog in front is a save dialog, not an open dialog";
    // Driving the dialog (its path field, list, name field, check boxes and
    // buttons) is added together with the dialogs themselves.
    return "the file dialog in front cannot be driven yet";
}

}  // namespace scenario
