#include "support/ScratchFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "orvo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        fPath = pattern;
}

ScratchFolder::~ScratchFolder()
{
    // Tests lock files and folders on purpose; unlock them so they can go.
    std::error_code ignored;
    fs::permissions(fPath, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto& entry : fs::recursive_directory_iterator(fPath, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(fPath, ignored);
}

std::string ScratchFolder::MakeFile(const std::string& leaf, const std::string& contents) const
{
    std::string full = *this / leaf;
    std::ofstream(full, std::ios::binary) << contents;
    return full;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
