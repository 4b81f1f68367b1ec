// Shared pieces of the movie benchmarks: measuring a child process (wall
// time and peak memory from getrusage), running commands, making movies with
// ffmpeg into a scratch folder.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Measurement {
    double seconds = 0;
    long peakKilobytes = 0;
    int status = 0;
};

// Runs body in a forked child and measures it; the best of `repeats` runs
// (shortest time; its peak memory).
Measurement MeasureChild(const std::function<int()>& body, int repeats = 3);
// Runs a shell command (output discarded) in a child and measures it.
Measurement MeasureCommand(const std::string& command, int repeats = 3);

// A fresh folder under /tmp (or $ORVO_BENCH_DIR), removed by the destructor.
class BenchFolder {
public:
    BenchFolder();
    ~BenchFolder();
    std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }
    const std::string& Path() const { return fPath; }

private:
    std::string fPath;
};

// Runs ffmpeg with args writing `path`; false (and a message) on failure.
bool MakeMovie(const std::string& path, const std::string& args);
std::string Quoted(const std::string& text);
void PrintComparison(const char* what, const Measurement& ours, const Measurement& theirs, const char* theirName);
