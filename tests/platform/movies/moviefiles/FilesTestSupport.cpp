#include "FilesTestSupport.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/wait.h>

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "orvo-moviefiles-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        fPath = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(fPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    for (auto& entry : std::filesystem::recursive_directory_iterator(fPath, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(fPath, ignored);
}

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

int RunCommand(const std::string& command, std::string* output)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    std::array<char, 4096> buffer;
    std::string text;
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        text.append(buffer.data(), n);
    int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool MakeFfmpegMovie(const std::string& path, const std::string& args)
{
    std::string output;
    int status = RunCommand("ffmpeg -nostdin -hide_banner -loglevel error -y " + args + " " + Quote(path), &output);
    EXPECT_EQ(status, 0) << output;
    return status == 0;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

FSSpec SpecFor(const std::string& path)
{
    FSSpec location {};
    FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    return location;
}

namespace {

std::uint32_t Get32(const std::vector<std::uint8_t>& b, long long at)
{
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) | b[at + 3];
}

long long FindChild(const std::vector<std::uint8_t>& file, long long begin, long long end, const std::string& type,
                    int index)
{
    for (long long at = begin; at + 8 <= end;) {
        long long size = Get32(file, at);
        if (size < 8 || at + size > end)
            return -1;
        if (std::string(reinterpret_cast<const char*>(&file[at + 4]), 4) == type && index-- == 0)
            return at;
        at += size;
    }
    return -1;
}

}  // namespace

std::vector<long long> ContainerOffsets(const std::vector<std::uint8_t>& file, const std::vector<std::string>& path,
                                        int trakIndex)
{
    std::vector<long long> offsets;
    long long begin = 0, end = (long long)file.size();
    for (const auto& type : path) {
        long long at = FindChild(file, begin, end, type, type == "trak" ? trakIndex : 0);
        if (at < 0)
            return {};
        offsets.push_back(at);
        // dref is a full atom with an entry count before its children.
        begin = at + (type == "dref" ? 16 : 8);
        end = at + Get32(file, at);
    }
    return offsets;
}

long long FindAtom(const std::vector<std::uint8_t>& file, const std::vector<std::string>& path, int trakIndex)
{
    auto offsets = ContainerOffsets(file, path, trakIndex);
    return offsets.empty() ? -1 : offsets.back();
}

void ReplaceAtom(std::vector<std::uint8_t>& file, const std::vector<long long>& containerOffsets, long long offset,
                 const std::vector<std::uint8_t>& replacement)
{
    long long oldSize = Get32(file, offset);
    long long delta = (long long)replacement.size() - oldSize;
    file.erase(file.begin() + offset, file.begin() + offset + oldSize);
    file.insert(file.begin() + offset, replacement.begin(), replacement.end());
    for (long long at : containerOffsets) {
        if (at >= offset)
            continue;
        std::uint32_t size = std::uint32_t(Get32(file, at) + delta);
        file[at] = std::uint8_t(size >> 24), file[at + 1] = std::uint8_t(size >> 16);
        file[at + 2] = std::uint8_t(size >> 8), file[at + 3] = std::uint8_t(size);
    }
}
