// Shared helpers of the movie-file tests: scratch folders, running ffmpeg
// and ffprobe, and small edits of atom trees in files we made.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/filesystem/Files.h"

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return fPath; }
    std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }

private:
    std::string fPath;
};

// Runs a shell command; returns its exit status and, when asked, its
// standard output and error together.
int RunCommand(const std::string& command, std::string* output = nullptr);
std::string Quote(const std::string& text);

// Makes a movie with ffmpeg: `args` are the input and output options; the
// output goes to `path`. Fails the current test when ffmpeg fails.
bool MakeFfmpegMovie(const std::string& path, const std::string& args);

std::vector<std::uint8_t> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

FSSpec SpecFor(const std::string& path);

// Atom editing on a byte image: the offset of the atom reached by a path of
// container types ("moov/trak/mdia/minf/dinf/dref"), the nth trak counted by
// `trakIndex`, or -1.
long long FindAtom(const std::vector<std::uint8_t>& file, const std::vector<std::string>& path, int trakIndex = 0);
// Replaces the atom at `offset` by `replacement` and corrects the sizes of
// its containers along `path` (offsets of the containers, outermost first).
void ReplaceAtom(std::vector<std::uint8_t>& file, const std::vector<long long>& containerOffsets, long long offset,
                 const std::vector<std::uint8_t>& replacement);
// The offsets of every container on the way to the atom found by FindAtom.
std::vector<long long> ContainerOffsets(const std::vector<std::uint8_t>& file, const std::vector<std::string>& path,
                                        int trakIndex = 0);
