// What the file-system tests check of files: whether a path exists, and
// a file's contents as text. Scratch folders are support/ScratchFolder.h.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "support/ScratchFolder.h"

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
