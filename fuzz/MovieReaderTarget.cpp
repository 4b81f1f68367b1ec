#include "MovieReaderTarget.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/filesystem/AppleDouble.h"
#include "platform/movies/moviefiles/AliasRecord.h"
#include "platform/movies/moviefiles/FlattenPlan.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/moviefiles/ResourceFork.h"
#include "platform/movies/model/MovieSeam.h"

namespace {

std::string gScratchFolder;

void RemoveScratchFolder()
{
    std::error_code ignored;
    if (!gScratchFolder.empty())
        std::filesystem::remove_all(gScratchFolder, ignored);
}

// One folder per process for the files the reader opens, removed at exit.
const std::string& ScratchFolderPath()
{
    if (gScratchFolder.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvo-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(2);
        }
        gScratchFolder = pattern;
        std::atexit(RemoveScratchFolder);
    }
    return gScratchFolder;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return;
    for (std::size_t done = 0; done < size;) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    close(fd);
}

// The walk over a media's samples gives what a lookup of each gives, and
// stops where lookups stop finding samples. Only the first samples are
// compared: a small file may claim billions.
void CheckSampleWalk(Media media)
{
    constexpr UInt32 kCompared = 2000;
    UInt32 walked = 0;
    ForEachMediaSampleStretch(media, [&](const MediaSample& first, UInt32 count) {
        if (count == 0)
            std::abort();
        for (UInt32 i = 0; i < count && walked < kCompared; ++i) {
            MediaSample walk = first, look;
            walk.sampleNumber += i;
            walk.decodeTime += SInt64(i) * first.duration;
            walk.fileOffset += UInt64(i) * first.size;
            if (GetMediaSample(media, ++walked, &look) != noErr || !(walk == look) || walk.sampleNumber != walked)
                std::abort();
        }
        return walked < kCompared;
    });
    MediaSample next;
    if (walked < kCompared && GetMediaSample(media, walked + 1, &next) == noErr)
        std::abort();
}

// Everything the tracks window reads, and a movie atom written back.
void QueryMovie(Movie movie)
{
    // Unsigned sums: the values are whatever the file says, and only their
    // reading matters here.
    auto u = [](long v) { return static_cast<unsigned long>(v); };
    volatile unsigned long sink = u(GetMovieTimeScale(movie)) + u(GetMovieDuration(movie));
    for (long i = 1; i <= GetMovieTrackCount(movie); ++i) {
        Track track = GetMovieIndTrack(movie, i);
        Fixed w = 0, h = 0;
        GetTrackDimensions(track, &w, &h);
        sink = sink + u(GetTrackID(track)) + u(w) + u(h) + u(GetTrackDuration(track)) + u(GetTrackOffset(track));
        for (long e = 1; e <= GetTrackEditCount(track); ++e) {
            TimeValue d = 0, t = 0;
            Fixed r = 0;
            GetTrackEditInfo(track, e, &d, &t, &r);
        }
        Media media = GetTrackMedia(track);
        if (!media)
            continue;
        OSType type = 0;
        Str255 name;
        GetMediaHandlerDescription(media, &type, name, nullptr);
        sink = sink + u(GetMediaTimeScale(media)) + u(GetMediaDuration(media)) + u(GetMediaSampleCount(media)) +
               u(GetMediaSampleDescriptionCount(media));
        CheckSampleWalk(media);
    }
    std::vector<UInt8> moov;
    SerializeMovieAtom(movie, SerializeOptions{}, &moov);
    FlattenPlan plan;
    FlattenPlan::Make(movie, 0, 20, &plan);
    (void)sink;
}

void ReadThroughFiles(const std::string& path, short resId)
{
    FSSpec location {};
    if (FSPathMakeFSSpec(path.c_str(), &location, nullptr) != noErr)
        return;
    short refNum = 0;
    if (OpenMovieFile(&location, &refNum, fsRdPerm) != noErr)
        return;
    Movie movie = nullptr;
    NewMovieFromFile(&movie, refNum, &resId, nullptr, newMovieActive, nullptr);
    if (movie) {
        QueryMovie(movie);
        DisposeMovie(movie);
    }
    CloseMovieFile(refNum);
}

}  // namespace

void RunMovieParserInMemory(const std::uint8_t* data, std::size_t size)
{
    Movie movie = nullptr;
    ParseMovieFileData({data, size}, MovieSource{"/nonexistent/in-memory.mov", size}, &movie);
    if (movie) {
        QueryMovie(movie);
        DisposeMovie(movie);
    }
    ResourceFork fork;
    ResourceFork::Decode({data, size}, &fork);
    AliasRecordInfo alias;
    if (DecodeAliasRecord({data, size}, &alias) == noErr)
        AliasCandidatePaths(alias, "/nonexistent/ref.mov");
    AppleDoubleFile container;
    DecodeAppleDouble({data, size}, &container);
}

void RunMovieWriteBack(const std::uint8_t* data, std::size_t size)
{
    if (size < kWriteBackControlBytes)
        return;
    const std::uint8_t* control = data;
    Movie movie = nullptr;
    ParseMovieFileData({data + kWriteBackControlBytes, size - kWriteBackControlBytes},
                       MovieSource{"/nonexistent/in-memory.mov", size - kWriteBackControlBytes}, &movie);
    if (!movie)
        return;
    long tracks = GetMovieTrackCount(movie);
    for (long i = 1; i <= tracks; ++i) {
        Track track = GetMovieIndTrack(movie, i);
        TimeValue duration = GetTrackDuration(track);
        // Times from the control bytes, as fractions of the track or as they
        // stand, so that both ordinary and extreme values are tried.
        auto timeFrom = [&](std::uint8_t c) -> TimeValue {
            return (c & 0x80) ? TimeValue(c & 0x7F) * 1000 : TimeValue(SInt64(duration) * (c & 0x7F) / 127);
        };
        std::uint8_t op = control[std::size_t(i - 1) % 4];
        TimeValue a = timeFrom(control[4]), b = timeFrom(control[5]);
        switch (op & 7) {
        case 0: SetTrackOffset(track, a); break;
        case 1: InsertEmptyTrackSegment(track, a, b); break;
        case 2: DeleteTrackSegment(track, a, b); break;
        case 3: ScaleTrackSegment(track, a, b, timeFrom(control[6])); break;
        case 4: InsertTrackSegment(track, track, a, b, timeFrom(control[6])); break;
        case 5:
            if (tracks > 1)
                InsertTrackSegment(GetMovieIndTrack(movie, i % tracks + 1), track, a, b, 0);
            break;
        default: break;
        }
    }
    if (control[7] & 1)
        SetMovieTimeScale(movie, TimeScale(control[7]) * 100 + 1);
    SerializeOptions options;
    options.forceCo64 = (control[7] & 2) != 0;
    std::vector<UInt8> moov;
    if (SerializeMovieAtom(movie, options, &moov) == noErr) {
        Movie back = nullptr;
        std::string why;
        if (ParseMovieAtom(moov, MovieSource{"/nonexistent/in-memory.mov", moov.size()}, &back, &why) != noErr) {
            std::fprintf(stderr, "a movie written could not be read back: %s\n", why.c_str());
            std::abort();
        }
        if (GetMovieTrackCount(back) != tracks) {
            std::fprintf(stderr, "a movie written read back with %ld tracks instead of %ld\n",
                         GetMovieTrackCount(back), tracks);
            std::abort();
        }
        QueryMovie(back);
        DisposeMovie(back);
    }
    DisposeMovie(movie);
}

void RunMovieReader(const std::uint8_t* data, std::size_t size)
{
    const std::string& folder = ScratchFolderPath();
    std::string dataFork = folder + "/input.mov";
    WriteFile(dataFork, data, size);
    ReadThroughFiles(dataFork, 0);

    // The same bytes as a companion of an empty data file: the resource-fork
    // path of NewMovieFromFile.
    std::string twoFork = folder + "/twofork.mov";
    WriteFile(twoFork, data, 0);
    WriteFile(AppleDoubleCompanionPath(twoFork), data, size);
    ReadThroughFiles(twoFork, 0);
    unlink(AppleDoubleCompanionPath(twoFork).c_str());

    AliasRecordInfo alias;
    if (DecodeAliasRecord({data, size}, &alias) == noErr)
        AliasCandidatePaths(alias, dataFork);
}
