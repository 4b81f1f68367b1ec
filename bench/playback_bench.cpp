// Playing a 1080p30 H.264 + AAC movie in real time through the sdl backend
// (under Xvfb when there is no display), against `ffplay -autoexit` on the
// same file in the same run: frames shown and dropped, worst picture lag
// behind the movie's (sound-led) time, processor seconds and peak memory,
// the time to the first picture, and the processor a paused movie uses.
// Targets: 0 frames dropped; processor at most 0.8x and memory at most 0.7x
// ffplay's; first picture within 150 ms; paused under 1% of a core.
//   playback_bench [seconds]   (default 60)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "movie_bench_support.h"
#include "platform/controller/MovieControllers.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/ui/events/Events.h"
#include "platform/ui/windows/Windows.h"

namespace {

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double CpuSeconds(const rusage& u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct ChildUse {
    double cpu = 0, wall = 0;
    long peakKilobytes = 0;
    int status = -1;
};

// Runs body (or a shell command) in a child; its processor time and peak
// memory come from wait4.
template <class Body>
ChildUse RunChild(Body body)
{
    double start = Now();
    pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    ChildUse use;
    int status = 0;
    rusage u{};
    if (pid > 0 && wait4(pid, &status, 0, &u) == pid) {
        use.cpu = CpuSeconds(u);
        use.peakKilobytes = u.ru_maxrss;
        use.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    use.wall = Now() - start;
    return use;
}

// Plays the movie to its end as the viewer does: every event to the
// controller, with the event loop's sleep of 10 ticks.
int PlayInOrvo(const std::string& path)
{
    Rect bounds{40, 20, 40 + 540 + kControllerBarHeight, 20 + 960};
    WindowPtr window = NewCWindow(nullptr, &bounds, reinterpret_cast<const unsigned char*>("\x04play"), true,
                                  documentProc, reinterpret_cast<WindowPtr>(-1), true, 0);
    SetPortWindowPort(window);
    double opened = Now();
    FSSpec location{};
    FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    short refNum = 0, resId = 0;
    Movie movie = nullptr;
    if (OpenMovieFile(&location, &refNum, fsRdPerm) || NewMovieFromFile(&movie, refNum, &resId, nullptr, newMovieActive, nullptr))
        return 2;
    Rect box{0, 0, 540, 960};
    MovieController mc = NewMovieController(movie, &box, mcTopLeftMovie);
    MCPlaybackStatistics stats;
    EventRecord ev;
    do {
        WaitNextEvent(everyEvent, &ev, 1, nullptr);
        MCIsPlayerEvent(mc, &ev);
        MCGetPlaybackStatistics(mc, &stats);
    } while (stats.framesShown == 0 && Now() - opened < 5);
    double firstPicture = Now() - opened;
    MCMovieChanged(mc, movie);  // counts start again with the playing
    SetMovieRate(movie, fixed1);
    while (GetMovieRate(movie) != 0) {
        WaitNextEvent(everyEvent, &ev, 10, nullptr);
        MCIsPlayerEvent(mc, &ev);
    }
    MCGetPlaybackStatistics(mc, &stats);
    // Paused: two seconds of the event loop.
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    double pausedFrom = Now();
    while (Now() - pausedFrom < 2) {
        WaitNextEvent(everyEvent, &ev, 10, nullptr);
        MCIsPlayerEvent(mc, &ev);
    }
    getrusage(RUSAGE_SELF, &after);
    double paused = (CpuSeconds(after) - CpuSeconds(before)) / (Now() - pausedFrom);
    std::printf("  Orvo: %ld frames shown, %ld dropped, worst picture lag %.0f ms, first picture %.0f ms, paused %.2f%% "
                "of a core\n",
                stats.framesShown, stats.framesDropped, stats.worstLagSeconds * 1000, firstPicture * 1000,
                paused * 100);
    std::fflush(stdout);
    bool met = stats.framesDropped == 0 && firstPicture <= 0.15 && paused < 0.01 && stats.worstLagSeconds <= 0.04;
    DisposeMovieController(mc);
    DisposeMovie(movie);
    return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // The sdl backend needs a display: without one, run again under Xvfb.
    if (!std::getenv("DISPLAY") && !std::getenv("ORVO_BENCH_XVFB")) {
        setenv("ORVO_BENCH_XVFB", "1", 1);
        std::string command = "xvfb-run -a -s '-screen 0 1280x800x24'";
        for (int i = 0; i < argc; ++i)
            command += " " + Quoted(argv[i]);
        return std::system(command.c_str()) == 0 ? 0 : 1;
    }
    // Without a sound card both players get SDL's dummy device, which pulls
    // sound in real time all the same.
    setenv("SDL_AUDIODRIVER", std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "dummy", 1);
    int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 60;
    BenchFolder folder;
    std::string path = folder / "hd.mov";
    char args[400];
    std::snprintf(args, sizeof args,
                  "-f lavfi -i testsrc2=size=1920x1080:rate=30 -f lavfi -i sine=frequency=440:sample_rate=48000 "
                  "-t %d -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac",
                  seconds);
    std::printf("playback_bench: %d s of 1080p30 H.264 + AAC\n", seconds);
    if (!MakeMovie(path, args))
        return 1;
    ChildUse ours = RunChild([&] { return PlayInOrvo(path); });
    ChildUse theirs = RunChild([&] {
        execlp("ffplay", "ffplay", "-autoexit", "-loglevel", "quiet", path.c_str(), static_cast<char*>(nullptr));
        return 127;
    });
    std::printf("  processor: Orvo %.2f s, ffplay %.2f s (%.2fx; target at most 0.8x)\n", ours.cpu, theirs.cpu,
                theirs.cpu > 0 ? ours.cpu / theirs.cpu : 0.0);
    std::printf("  peak memory: Orvo %ld KiB, ffplay %ld KiB (%.2fx; target at most 0.7x)\n", ours.peakKilobytes,
                theirs.peakKilobytes, theirs.peakKilobytes > 0 ? double(ours.peakKilobytes) / theirs.peakKilobytes : 0.0);
    std::printf("  wall: Orvo %.1f s, ffplay %.1f s\n", ours.wall, theirs.wall);
    bool met = ours.status == 0 && theirs.status == 0 && ours.cpu <= 0.8 * theirs.cpu &&
               ours.peakKilobytes <= 0.7 * theirs.peakKilobytes;
    std::printf("  targets: %s\n", met ? "met" : "NOT all met");
    return met ? 0 : 1;
}
