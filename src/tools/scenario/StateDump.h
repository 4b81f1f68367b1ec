// The state a person would see, as one line of JSON: the clock, every
// window front to back (hidden ones included) and the menus.
#pragma once

#include <string>

namespace scenario {

std::string DumpState();

}  // namespace scenario
