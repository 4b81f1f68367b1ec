// Character and word boundaries in UTF-8 text.
//
// Edit fields move the caret, delete and select by character and by word;
// every offset here is a byte offset that never falls inside a sequence.
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>

#include "platform/core/MacTypes.h"

namespace utf8 {

// The start of the character after the one at pos (text.size() at the end).
size_t NextBoundary(std::string_view text, size_t pos);

// The start of the character before pos (0 at the start).
size_t PrevBoundary(std::string_view text, size_t pos);

// pos moved back to the start of the sequence it points into.
size_t SnapToBoundary(std::string_view text, size_t pos);

// The code point that starts at pos; U+FFFD for a malformed sequence.
UniChar32 DecodeAt(std::string_view text, size_t pos);

// Letters, digits, the underscore and the letters of other scripts: what a
// double-click treats as one word.
bool IsWordCharacter(UniChar32 c);

// The word around pos as [first, second). Off a word, the single character
// at pos; at the very end, the word or character before it.
std::pair<size_t, size_t> WordAt(std::string_view text, size_t pos);

// Where Option+arrow style word steps land.
size_t NextWordEnd(std::string_view text, size_t pos);
size_t PrevWordStart(std::string_view text, size_t pos);

}  // namespace utf8
