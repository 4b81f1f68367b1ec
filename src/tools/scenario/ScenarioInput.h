// The input commands of a scenario script, as the clicks, keys and host
// events a person would make. Each appends its steps to the headless
// backend's input script, to be handed to the application one by one.
#pragma once

#include <string>

#include "tools/scenario/Script.h"

namespace scenario {

// Scripts one input command (not wait, not a report). Returns "" or why it
// cannot be done: a window, menu, item or file dialog that is not there.
// Relative paths start at `folder`.
std::string ScriptInput(const Command& c, const std::string& folder);

// An absolute path: relative ones start at folder.
std::string ScriptPath(const std::string& folder, const std::string& path);

}  // namespace scenario
