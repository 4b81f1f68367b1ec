#include "movie_bench_support.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

Measurement MeasureChild(const std::function<int()>& body, int repeats)
{
    Measurement best;
    best.seconds = -1;
    for (int i = 0; i < repeats; ++i) {
        auto start = std::chrono::steady_clock::now();
        pid_t child = fork();
        if (child == 0)
            _exit(body());
        int status = 0;
        struct rusage usage {};
        wait4(child, &status, 0, &usage);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (best.seconds < 0 || seconds < best.seconds)
            best = {seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
    }
    return best;
}

Measurement MeasureCommand(const std::string& command, int repeats)
{
    return MeasureChild([&] { execl("/bin/sh", "sh", "-c", (command + " >/dev/null 2>&1").c_str(), (char*)nullptr); return 127; },
                        repeats);
}

BenchFolder::BenchFolder()
{
    const char* base = std::getenv("ORVO_BENCH_DIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/orvo-bench-XXXXXX";
    if (mkdtemp(pattern.data()))
        fPath = pattern;
}

BenchFolder::~BenchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(fPath, ignored);
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool MakeMovie(const std::string& path, const std::string& args)
{
    std::string command = "ffmpeg -nostdin -hide_banner -loglevel error -y " + args + " " + Quoted(path);
    int status = std::system(command.c_str());
    if (status != 0)
        std::fprintf(stderr, "ffmpeg failed: %s\n", command.c_str());
    return status == 0;
}

void PrintComparison(const char* what, const Measurement& ours, const Measurement& theirs, const char* theirName)
{
    std::printf("  %-34s Orvo %9.4f s %8ld KiB | %s %9.4f s %8ld KiB | time x%.3f, memory x%.3f\n", what,
                ours.seconds, ours.peakKilobytes, theirName, theirs.seconds, theirs.peakKilobytes,
                theirs.seconds > 0 ? ours.seconds / theirs.seconds : 0.0,
                theirs.peakKilobytes > 0 ? double(ours.peakKilobytes) / double(theirs.peakKilobytes) : 0.0);
}
