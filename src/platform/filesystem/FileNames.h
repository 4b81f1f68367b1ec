// Rules about leaf names: what is a valid name, how a long name is
// shortened, and which names mean a movie file.
//
// Internal to the file-system module.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/MacTypes.h"

namespace files {

// The most bytes an FSSpec name holds.
constexpr size_t kSpecNameMax = 63;

// A name this platform accepts: not empty, no '/', no NUL, not "." or "..".
bool IsValidLeafName(std::string_view name);

// The extension of a name including its '.', or empty; a leading dot
// (".profile") is not an extension.
std::string_view NameExtension(std::string_view name);

// The shortened form of a long name for a given suffix number: as much of
// the name's start as fits (cut at a UTF-8 boundary), "#", the number in
// eight hex digits, then the extension when it is short enough to keep.
std::string ShortenedName(std::string_view realName, UInt32 suffixNumber);

// A stable number for a name, the first suffix tried when shortening it.
UInt32 NameHash(std::string_view name);

// 'MooV' for the movie extensions (.mov .qt .mp4 .m4v .m4a .3gp, any case),
// else 0.
OSType InferredFileType(std::string_view name);

}  // namespace files
