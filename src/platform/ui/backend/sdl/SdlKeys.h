// Host keys to classic key events.
#pragma once

#include <SDL.h>

#include "platform/core/MacTypes.h"

namespace sdlkeys {

// The classic modifier bits of SDL's modifier state: Ctrl and Super are the
// command key, Alt the option key, Shift shift, Caps Lock alpha lock.
UInt16 Modifiers(Uint16 sdlMods);

struct KeyCodes {
    UInt8 charCode = 0;
    UInt8 keyCode = 0;
    // True for keys that type nothing through text input (Return, arrows,
    // ...): their key-down is posted from the key press itself.
    bool special = false;
};

// The character and key code of a key. For letters and digits the
// character is the unshifted one (shifted when shift is down), which is
// what command-key matching needs.
KeyCodes Translate(const SDL_Keysym& key);

// The classic key code of the key that typed an ASCII character, for text
// input events (0 when unknown).
UInt8 KeyCodeForScancode(SDL_Scancode scancode);

}  // namespace sdlkeys
