// Playing a 1080p30 H.264 + AAC movie in real time through the sdl backend
// (under Xvfb when there is no display), against `ffplay -autoexit` on the
// same file in the same run, both showing the picture at 960x540 and
// sending sound to SDL's dummy device: frames shown and dropped, the worst
// distance between the picture shown and the sound heard then, processor
// seconds and peak memory (whole processes, every thread, from wait4), the
// time from opening the file to the first picture, and the processor a
// paused movie uses.
// Targets: 0 frames dropped; processor at most 0.8x and memory at most 0.7x
// ffplay's; first picture within 150 ms; paused under 1% of a core.
// The figures are real time on a shared machine: other work running at the
// same time costs frames, so read them with the load beside them.
//   playback_bench [seconds]   (default 60; fewer for a trial run)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
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

std::string LoadAverage()
{
    std::string text;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        char line[128] = {};
        if (std::fgets(line, sizeof line, f))
            text = line;
        std::fclose(f);
    }
    return text.substr(0, text.find(' ', text.find(' ', text.find(' ') + 1) + 1));
}

struct FfplayStatus {
    long framesDropped = 0;
    double worstDrift = 0;
};

// ffplay's status lines ("... A-V: -0.012 fd=   3 ...", separated by
// carriage returns): the last drop count and the largest drift.
FfplayStatus ReadFfplayStatus(const std::string& path)
{
    FfplayStatus s;
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return s;
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;)
        text += char(c);
    std::fclose(f);
    for (size_t at = text.find("A-V:"); at != std::string::npos; at = text.find("A-V:", at + 4)) {
        double drift = std::atof(text.c_str() + at + 4);
        s.worstDrift = std::max(s.worstDrift, std::fabs(drift));
        size_t fd = text.find("fd=", at);
        if (fd != std::string::npos)
            s.framesDropped = std::atol(text.c_str() + fd + 3);
    }
    return s;
}

// One pass of the event loop as the viewer runs it: every event to the
// controller, and an update answered by drawing the movie.
void NextEvent(MovieController mc, UInt32 sleep)
{
    EventRecord ev;
    WaitNextEvent(everyEvent, &ev, sleep, nullptr);
    MCIsPlayerEvent(mc, &ev);
    if (ev.what == updateEvt) {
        WindowPtr window = WindowFromEventMessage(ev.message);
        BeginUpdate(window);
        MCDoAction(mc, mcActionDraw, nullptr);
        EndUpdate(window);
    }
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
    do {
        NextEvent(mc, 1);
        MCGetPlaybackStatistics(mc, &stats);
    } while (stats.framesShown == 0 && Now() - opened < 5);
    double firstPicture = Now() - opened;
    MCMovieChanged(mc, movie);  // counts start again with the playing
    SetMovieRate(movie, fixed1);
    while (GetMovieRate(movie) != 0)
        NextEvent(mc, 10);
    MCGetPlaybackStatistics(mc, &stats);
    // Paused: two seconds of the event loop.
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    double pausedFrom = Now();
    while (Now() - pausedFrom < 2)
        NextEvent(mc, 10);
    getrusage(RUSAGE_SELF, &after);
    double paused = (CpuSeconds(after) - CpuSeconds(before)) / (Now() - pausedFrom);
    std::printf("  Orvo: %ld frames shown, %ld dropped (target 0); worst A/V drift %.0f ms (picture behind the clock "
                "%.0f ms); %ld sound frames late; first picture %.0f ms (target 150); paused %.2f%% of a core "
                "(target 1%%)\n",
                stats.framesShown, stats.framesDropped, stats.worstSoundDriftSeconds * 1000,
                stats.worstLagSeconds * 1000, stats.soundUnderrunFrames, firstPicture * 1000, paused * 100);
    std::fflush(stdout);
    bool met = stats.framesDropped == 0 && firstPicture <= 0.15 && paused < 0.01;
    DisposeMovieController(mc);
    DisposeMovie(movie);
    return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    // The sdl backend needs a display: without one, run again under Xvfb.
    const char* display = std::getenv("DISPLAY");
    if ((!display || !*display) && !std::getenv("ORVO_BENCH_XVFB")) {
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
    std::printf("  load average before: %s\n", LoadAverage().c_str());
    std::fflush(stdout);  // the children must not print it again
    ChildUse ours = RunChild([&] { return PlayInOrvo(path); });
    std::string status = folder / "ffplay.txt";
    ChildUse theirs = RunChild([&] {
        // ffplay's status line (on stderr) tells its own frame drops and drift.
        if (!freopen(status.c_str(), "w", stderr))
            return 126;
        execlp("ffplay", "ffplay", "-autoexit", "-x", "960", "-y", "540", "-loglevel", "info", "-stats",
               path.c_str(), static_cast<char*>(nullptr));
        return 127;
    });
    FfplayStatus ff = ReadFfplayStatus(status);
    std::printf("  ffplay: %ld frames dropped, worst A/V drift %.0f ms\n", ff.framesDropped, ff.worstDrift * 1000);
    std::printf("  processor: Orvo %.2f s, ffplay %.2f s (%.2fx; target at most 0.8x)\n", ours.cpu, theirs.cpu,
                theirs.cpu > 0 ? ours.cpu / theirs.cpu : 0.0);
    std::printf("  peak memory: Orvo %ld KiB, ffplay %ld KiB (%.2fx; target at most 0.7x)\n", ours.peakKilobytes,
                theirs.peakKilobytes, theirs.peakKilobytes > 0 ? double(ours.peakKilobytes) / theirs.peakKilobytes : 0.0);
    std::printf("  wall: Orvo %.1f s, ffplay %.1f s; load average after: %s\n", ours.wall, theirs.wall,
                LoadAverage().c_str());
    bool met = ours.status == 0 && theirs.status == 0 && ours.cpu <= 0.8 * theirs.cpu &&
               ours.peakKilobytes <= 0.7 * theirs.peakKilobytes;
    std::printf("  targets: %s\n", met ? "met" : "NOT all met");
    return met ? 0 : 1;
}
