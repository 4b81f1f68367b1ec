// Keys and modifier keys as a script names them: "cmd+t", "option+cmd+o",
// "return", "shift+left", "é".
#pragma once

#include <string>

#include "platform/core/MacTypes.h"

namespace scenario {

struct KeyStroke {
    UInt8 charCode = 0;   // 0 for a character outside ASCII
    UInt8 keyCode = 0;    // classic virtual key code, 0 when unknown
    UInt16 modifiers = 0;
    std::string text;     // the UTF-8 the key types ("" for keys that type nothing)
};

// "cmd", "option", "shift", "control", joined by '+'; "" is no modifier.
bool ParseModifiers(const std::string& chord, UInt16* modifiers);
// Modifiers, then a key name or one character, joined by '+'.
bool ParseKey(const std::string& chord, KeyStroke* key);
// The key stroke that types one character (one UTF-8 sequence).
KeyStroke CharacterKey(const std::string& character);

}  // namespace scenario
