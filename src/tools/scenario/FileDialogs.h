// The file dialogs (open and save) as a script drives and a dump shows them.
//
// Finding the file dialog in front is the one place that knows how to tell
// a file dialog from other dialogs; the nav commands and the describers of
// the "open" and "save" kinds all start from it. Until the toolbox has file
// dialogs it finds none, so every nav command reports that no file dialog
// is in front.
#pragma once

#include <string>

#include "platform/ui/windows/Windows.h"
#include "tools/moviedump/JsonWriter.h"
#include "tools/scenario/Script.h"

namespace scenario {

enum class FileDialogKind { None, Open, Save };

// The kind of file dialog w is (None for any other window).
FileDialogKind FileDialogKindOf(WindowPtr w);

struct FrontFileDialog {
    WindowPtr dialog = nullptr;
    FileDialogKind kind = FileDialogKind::None;
};
FrontFileDialog FindFrontFileDialog();

// The fields of a file dialog beyond those of every dialog: folder, files,
// selected, name, custom.
void DescribeFileDialog(JsonWriter& j, WindowPtr w);

// Scripts the clicks and keys of one nav command (choose, save, check,
// cancel) in the file dialog in front. Returns "" or why it cannot be done.
// Paths are already absolute.
std::string ScriptNavCommand(const Command& command, const std::string& path);

}  // namespace scenario
