#include "platform/filesystem/FileNames.h"

#include <array>
#include <cctype>
#include <cstdio>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/Files.h"

namespace files {

namespace {

// An extension longer than this is part of the name rather than a type tag;
// keeping it whole would leave too little of the name itself.
constexpr size_t kMaxKeptExtension = 16;

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

bool IsValidLeafName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

std::string_view NameExtension(std::string_view name)
{
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return name.substr(dot);
}

std::string ShortenedName(std::string_view realName, UInt32 suffixNumber)
{
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "#%08X", static_cast<unsigned>(suffixNumber));
    std::string_view ext = NameExtension(realName);
    if (ext.size() > kMaxKeptExtension)
        ext = {};
    std::string_view stem = realName.substr(0, realName.size() - ext.size());
    size_t room = kSpecNameMax - ext.size() - std::string_view(suffix).size();
    std::string result(stem.substr(0, pstr::Utf8CutLength(stem, room)));
    result += suffix;
    result += ext;
    return result;
}

UInt32 NameHash(std::string_view name)
{
    // FNV-1a: cheap, stable from run to run, good enough as a first guess;
    // collisions are resolved by the caller.
    UInt32 hash = 2166136261u;
    for (unsigned char c : name) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

OSType InferredFileType(std::string_view name)
{
    static constexpr std::array<std::string_view, 6> kMovieExtensions = {
        ".mov", ".qt", ".mp4", ".m4v", ".m4a", ".3gp"};
    std::string_view ext = NameExtension(name);
    for (std::string_view movieExt : kMovieExtensions) {
        if (EqualsIgnoringCase(ext, movieExt))
            return kMovieFileType;
    }
    return kUnknownFileType;
}

}  // namespace files
