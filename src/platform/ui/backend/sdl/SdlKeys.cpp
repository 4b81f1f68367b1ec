#include "platform/ui/backend/sdl/SdlKeys.h"

#include <cctype>

#include "platform/ui/events/Events.h"

namespace sdlkeys {

UInt16 Modifiers(Uint16 m)
{
    UInt16 out = 0;
    if (m & (KMOD_CTRL | KMOD_GUI)) out |= cmdKey;
    if (m & KMOD_ALT) out |= optionKey;
    if (m & KMOD_SHIFT) out |= shiftKey;
    if (m & KMOD_CAPS) out |= alphaLock;
    return out;
}

// Classic (ADB) virtual key codes by position on a US keyboard.
UInt8 KeyCodeForScancode(SDL_Scancode sc)
{
    static const UInt8 letters[26] = {0x00, 0x0B, 0x08, 0x02, 0x0E, 0x03, 0x05, 0x04, 0x22, 0x26, 0x28, 0x25, 0x2E,
                                      0x2D, 0x1F, 0x23, 0x0C, 0x0F, 0x01, 0x11, 0x20, 0x09, 0x0D, 0x07, 0x10, 0x06};
    static const UInt8 digits[10] = {0x12, 0x13, 0x14, 0x15, 0x17, 0x16, 0x1A, 0x1C, 0x19, 0x1D};  // 1..9, 0
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return letters[sc - SDL_SCANCODE_A];
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) return digits[sc - SDL_SCANCODE_1];
    switch (sc) {
    case SDL_SCANCODE_RETURN: return 0x24;
    case SDL_SCANCODE_KP_ENTER: return 0x4C;
    case SDL_SCANCODE_TAB: return 0x30;
    case SDL_SCANCODE_SPACE: return 0x31;
    case SDL_SCANCODE_BACKSPACE: return 0x33;
    case SDL_SCANCODE_ESCAPE: return 0x35;
    case SDL_SCANCODE_DELETE: return 0x75;
    case SDL_SCANCODE_HOME: return 0x73;
    case SDL_SCANCODE_END: return 0x77;
    case SDL_SCANCODE_PAGEUP: return 0x74;
    case SDL_SCANCODE_PAGEDOWN: return 0x79;
    case SDL_SCANCODE_LEFT: return 0x7B;
    case SDL_SCANCODE_RIGHT: return 0x7C;
    case SDL_SCANCODE_DOWN: return 0x7D;
    case SDL_SCANCODE_UP: return 0x7E;
    case SDL_SCANCODE_MINUS: return 0x1B;
    case SDL_SCANCODE_EQUALS: return 0x18;
    case SDL_SCANCODE_LEFTBRACKET: return 0x21;
    case SDL_SCANCODE_RIGHTBRACKET: return 0x1E;
    case SDL_SCANCODE_SEMICOLON: return 0x29;
    case SDL_SCANCODE_APOSTROPHE: return 0x27;
    case SDL_SCANCODE_COMMA: return 0x2B;
    case SDL_SCANCODE_PERIOD: return 0x2F;
    case SDL_SCANCODE_SLASH: return 0x2C;
    case SDL_SCANCODE_BACKSLASH: return 0x2A;
    case SDL_SCANCODE_GRAVE: return 0x32;
    default: return 0;
    }
}

KeyCodes Translate(const SDL_Keysym& key)
{
    KeyCodes k;
    k.keyCode = KeyCodeForScancode(key.scancode);
    k.special = true;
    switch (key.sym) {
    case SDLK_RETURN: k.charCode = kReturnCharCode; return k;
    case SDLK_KP_ENTER: k.charCode = kEnterCharCode; return k;
    case SDLK_ESCAPE: k.charCode = kEscapeCharCode; return k;
    case SDLK_BACKSPACE: k.charCode = kBackspaceCharCode; return k;
    case SDLK_TAB: k.charCode = kTabCharCode; return k;
    case SDLK_LEFT: k.charCode = kLeftArrowCharCode; return k;
    case SDLK_RIGHT: k.charCode = kRightArrowCharCode; return k;
    case SDLK_UP: k.charCode = kUpArrowCharCode; return k;
    case SDLK_DOWN: k.charCode = kDownArrowCharCode; return k;
    case SDLK_DELETE: k.charCode = kDeleteCharCode; return k;
    case SDLK_HOME: k.charCode = 0x01; return k;
    case SDLK_END: k.charCode = 0x04; return k;
    case SDLK_PAGEUP: k.charCode = 0x0B; return k;
    case SDLK_PAGEDOWN: k.charCode = 0x0C; return k;
    default: break;
    }
    k.special = false;
    if (key.sym >= 0x20 && key.sym < 0x7F) {
        char c = char(key.sym);
        if ((key.mod & KMOD_SHIFT) && std::isalpha(static_cast<unsigned char>(c)))
            c = char(std::toupper(static_cast<unsigned char>(c)));
        k.charCode = UInt8(c);
    }
    return k;
}

}  // namespace sdlkeys
