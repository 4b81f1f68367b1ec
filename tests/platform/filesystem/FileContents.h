// What the file-system tests share: locations made from paths, Pascal names,
// and what they check of files (whether a path exists, a file's contents as
// text). Scratch folders are support/ScratchFolder.h.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/Files.h"
#include "support/ScratchFolder.h"

inline FSSpec SpecFor(const std::string& path)
{
    FSSpec location{};
    FSPathMakeFSSpec(path.c_str(), &location, nil);
    return location;
}

// s as a Pascal string, valid until the next call.
inline ConstStr255Param P(const std::string& s)
{
    static Str255 name;
    pstr::FromStd(s, name);
    return name;
}

inline bool PathExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
