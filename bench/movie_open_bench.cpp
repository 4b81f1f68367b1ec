// Opening a movie and reading everything the tracks window shows, against
// `ffprobe -show_streams` on the same file: wall time and peak memory of a
// child process each, best of three.
//   (a) one hour of 48 kHz PCM sound
//   (b) 400,000 video samples plus AAC sound
// Target: Orvo faster than ffprobe and with less memory on both.
#include <cstdio>

#include "movie_bench_support.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace {

// What the tracks window reads for every track.
int ReadLikeTheTracksWindow(const std::string& path)
{
    FSSpec location {};
    FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    short refNum = 0;
    if (OpenMovieFile(&location, &refNum, fsRdPerm))
        return 2;
    Movie movie = nullptr;
    short resId = 0;
    if (NewMovieFromFile(&movie, refNum, &resId, nullptr, newMovieActive, nullptr) || !movie)
        return 3;
    long sink = 0;
    for (long i = 1; i <= GetMovieTrackCount(movie); ++i) {
        Track track = GetMovieIndTrack(movie, i);
        Fixed w = 0, h = 0;
        GetTrackDimensions(track, &w, &h);
        Media media = GetTrackMedia(track);
        OSType type = 0;
        Str255 name;
        GetMediaHandlerDescription(media, &type, name, nullptr);
        sink += GetTrackID(track) + w + h + GetMovieTimeScale(movie) + GetTrackDuration(track) +
                GetTrackOffset(track) + GetMediaTimeScale(media) + GetMediaDuration(media) +
                GetMediaSampleCount(media) + GetMediaSampleDescriptionCount(media);
    }
    DisposeMovie(movie);
    CloseMovieFile(refNum);
    return sink == 0 ? 4 : 0;
}

bool Compare(const char* label, const std::string& path)
{
    Measurement ours = MeasureChild([&] { return ReadLikeTheTracksWindow(path); });
    Measurement probe = MeasureCommand("ffprobe -v error -show_streams " + Quoted(path));
    if (ours.status != 0) {
        std::printf("  %s: Orvo could not read the movie (status %d)\n", label, ours.status);
        return false;
    }
    PrintComparison(label, ours, probe, "ffprobe");
    bool met = ours.seconds < probe.seconds && ours.peakKilobytes < probe.peakKilobytes;
    std::printf("  target (faster, less memory): %s\n", met ? "met" : "NOT met");
    return met;
}

}  // namespace

int main()
{
    BenchFolder dir;
    std::printf("Opening movies: Orvo (open + tracks window fields) vs ffprobe -show_streams\n");
    std::string pcm = dir / "hour-pcm.mov";
    std::printf("making %s ...\n", pcm.c_str());
    if (!MakeMovie(pcm, "-f lavfi -i anullsrc=r=48000:cl=mono -t 3600 -c:a pcm_s16le -f mov"))
        return 1;
    std::string many = dir / "400k-video-aac.mov";
    std::printf("making %s ...\n", many.c_str());
    // Tiny MPEG-4 frames: cheap to make, yet every sample has its own size
    // and key frames are listed, as in a real movie.
    if (!MakeMovie(many, "-f lavfi -i testsrc=size=16x16:rate=1000 -f lavfi -i anullsrc=r=8000:cl=mono "
                         "-t 400 -c:v mpeg4 -q:v 31 -g 250 -c:a aac -b:a 16k -f mov"))
        return 1;
    bool a = Compare("(a) 1 h 48 kHz PCM", pcm);
    bool b = Compare("(b) 400,000 video samples + AAC", many);
    std::printf("overall: %s\n", a && b ? "targets met" : "targets NOT met");
    return 0;
}
