// A fresh folder for one test, removed with everything in it afterwards,
// whatever permissions the test left on its files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return fPath; }
    std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }
    // Writes a small file in the folder and returns its path.
    std::string MakeFile(const std::string& leaf, const std::string& contents = "data") const;

private:
    std::string fPath;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
