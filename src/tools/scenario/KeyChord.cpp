#include "tools/scenario/KeyChord.h"

#include <cctype>
#include <cstring>

#include "platform/ui/events/Events.h"

namespace scenario {

namespace {

struct NamedModifier {
    const char* name;
    UInt16 bit;
};

constexpr NamedModifier kModifiers[] = {
    {"cmd", cmdKey}, {"option", optionKey}, {"shift", shiftKey}, {"control", controlKey}};

// Keys that type no printable character: their character code and the
// classic virtual key code of a US keyboard, as the sdl backend reports them.
struct NamedKey {
    const char* name;
    UInt8 charCode;
    UInt8 keyCode;
};

constexpr NamedKey kNamedKeys[] = {
    {"return", kReturnCharCode, 0x24},  {"enter", kEnterCharCode, 0x4C},      {"escape", kEscapeCharCode, 0x35},
    {"tab", kTabCharCode, 0x30},        {"backspace", kBackspaceCharCode, 0x33}, {"delete", kDeleteCharCode, 0x75},
    {"space", ' ', 0x31},               {"left", kLeftArrowCharCode, 0x7B},   {"right", kRightArrowCharCode, 0x7C},
    {"up", kUpArrowCharCode, 0x7E},     {"down", kDownArrowCharCode, 0x7D},   {"home", 0x01, 0x73},
    {"end", 0x04, 0x77},                {"pageup", 0x0B, 0x74},               {"pagedown", 0x0C, 0x79},
};

// Virtual key codes by character, US layout, so that code reading the key
// code sees what a real keyboard sends.
UInt8 KeyCodeFor(char c)
{
    static const UInt8 letters[26] = {0x00, 0x0B, 0x08, 0x02, 0x0E, 0x03, 0x05, 0x04, 0x22, 0x26, 0x28, 0x25, 0x2E,
                                      0x2D, 0x1F, 0x23, 0x0C, 0x0F, 0x01, 0x11, 0x20, 0x09, 0x0D, 0x07, 0x10, 0x06};
    static const char digits[] = "1234567890";
    static const UInt8 digitCodes[10] = {0x12, 0x13, 0x14, 0x15, 0x17, 0x16, 0x1A, 0x1C, 0x19, 0x1D};
    static const char punctuation[] = "-=[];',./\\`";
    static const UInt8 punctuationCodes[] = {0x1B, 0x18, 0x21, 0x1E, 0x29, 0x27, 0x2B, 0x2F, 0x2C, 0x2A, 0x32};
    if (std::isalpha(static_cast<unsigned char>(c)))
        return letters[std::tolower(static_cast<unsigned char>(c)) - 'a'];
    if (const char* d = std::strchr(digits, c); d != nullptr && c != 0)
        return digitCodes[d - digits];
    if (const char* p = std::strchr(punctuation, c); p != nullptr && c != 0)
        return punctuationCodes[p - punctuation];
    return c == ' ' ? 0x31 : 0;
}

// Length of the UTF-8 sequence that starts with byte c (0: not a lead byte).
size_t SequenceLength(unsigned char c)
{
    return c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
}

bool IsOneCharacter(const std::string& s)
{
    return !s.empty() && SequenceLength(static_cast<unsigned char>(s[0])) == s.size();
}

}  // namespace

bool ParseModifiers(const std::string& chord, UInt16* modifiers)
{
    *modifiers = 0;
    size_t start = 0;
    while (start < chord.size()) {
        size_t end = chord.find('+', start);
        std::string name = chord.substr(start, end == std::string::npos ? std::string::npos : end - start);
        bool known = false;
        for (const NamedModifier& m : kModifiers) {
            if (name == m.name) {
                *modifiers |= m.bit;
                known = true;
            }
        }
        if (!known)
            return false;
        if (end == std::string::npos)
            break;
        start = end + 1;
        if (start == chord.size())
            return false;  // a trailing '+'
    }
    return true;
}

KeyStroke CharacterKey(const std::string& character)
{
    KeyStroke key;
    key.text = character;
    if (character.size() == 1) {
        key.charCode = static_cast<UInt8>(character[0]);
        key.keyCode = KeyCodeFor(character[0]);
    }
    return key;
}

bool ParseKey(const std::string& chord, KeyStroke* key)
{
    // The key is what follows the last '+', except that a chord ending in
    // '+' names the plus key itself ("+", "cmd++").
    std::string modifiers, name;
    if (!chord.empty() && chord.back() == '+' && (chord.size() == 1 || chord[chord.size() - 2] == '+')) {
        name = "+";
        modifiers = chord.size() > 2 ? chord.substr(0, chord.size() - 2) : std::string();
    } else {
        size_t plus = chord.rfind('+');
        name = plus == std::string::npos ? chord : chord.substr(plus + 1);
        modifiers = plus == std::string::npos ? std::string() : chord.substr(0, plus);
    }
    UInt16 bits = 0;
    if (!ParseModifiers(modifiers, &bits))
        return false;
    for (const NamedKey& k : kNamedKeys) {
        if (name == k.name) {
            *key = KeyStroke{k.charCode, k.keyCode, bits, k.charCode == ' ' ? std::string(" ") : std::string()};
            return true;
        }
    }
    if (!IsOneCharacter(name))
        return false;
    *key = CharacterKey(name);
    key->modifiers = bits;
    // Shift with a letter types the capital, as on a real keyboard.
    if ((bits & shiftKey) != 0 && name.size() == 1 && std::islower(static_cast<unsigned char>(name[0]))) {
        key->charCode = UInt8(std::toupper(key->charCode));
        key->text = std::string(1, char(key->charCode));
    }
    return true;
}

}  // namespace scenario
