// Reading ffmpeg-made movies, saving them in place and as new reference
// movies, and checking the result with ffprobe and by reading it back.
#include <filesystem>
#include <gtest/gtest.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

namespace {

long TrackCount(Movie movie) { return movie ? GetMovieTrackCount(movie) : -1; }

Track FirstTrackOfType(Movie movie, OSType type)
{
    for (long i = 1; i <= GetMovieTrackCount(movie); ++i) {
        OSType mediaType = 0;
        GetMediaHandlerDescription(GetTrackMedia(GetMovieIndTrack(movie, i)), &mediaType, nullptr, nullptr);
        if (mediaType == type)
            return GetMovieIndTrack(movie, i);
    }
    return nullptr;
}

}  // namespace

// Every fixture gives its tracks and 50 frames of video from the data fork;
// a resource that is not there, or a file without a movie, gives no movie.
TEST(NewMovieFromFile, ReadsEveryFfmpegFixtureAndReportsMissingMovies)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "empty.mov", {0, 0, 0, 16, 'm', 'd', 'a', 't', 1, 2, 3, 4, 5, 6, 7, 8});
    struct Case {
        std::string path;
        short resId;  // asked for (0: the first movie)
        OSErr result;
        long tracks;
    } cases[] = {{FixtureMovies::Path("av.mov"), 0, noErr, 2},        {FixtureMovies::Path("faststart.mp4"), 0, noErr, 2},
                 {FixtureMovies::Path("offset.mov"), 0, noErr, 2},    {FixtureMovies::Path("timecode.mov"), 0, noErr, 2},
                 {FixtureMovies::Path("oddscale.mov"), 0, noErr, 1},  {FixtureMovies::Path("fragmented.mp4"), 0, noErr, 2},
                 {FixtureMovies::Path("av.mov"), 200, resNotFound, 0}, {dir / "empty.mov", 0, noMovieFound, 0}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.path + " " + std::to_string(c.resId));
        FSSpec location = SpecFor(c.path);
        short refNum = 0, resId = c.resId;
        ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
        Movie movie = nullptr;
        EXPECT_EQ(NewMovieFromFile(&movie, refNum, &resId, nullptr, 0, nullptr), c.result);
        EXPECT_EQ(GetMoviesError(), c.result);
        if (c.result == noErr) {
            EXPECT_EQ(resId, movieInDataForkResID);
        }
        EXPECT_EQ(TrackCount(movie), c.result == noErr ? c.tracks : -1);
        if (Track video = movie ? FirstTrackOfType(movie, VideoMediaType) : nullptr) {
            EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(video)), 50);
        }
        DisposeMovie(movie);
        CloseMovieFile(refNum);
    }
}

TEST(UpdateMovieResource, ReadOnlyFileIsNotWritten)
{
    short refNum = 0;
    FSSpec location = SpecFor(FixtureMovies::Path("av.mov"));
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    Movie movie = nullptr;
    short resId = 0;
    ASSERT_EQ(NewMovieFromFile(&movie, refNum, &resId, nullptr, 0, nullptr), noErr);
    EXPECT_EQ(UpdateMovieResource(movie, refNum, resId, nullptr), wrPermErr);
    DisposeMovie(movie);
    CloseMovieFile(refNum);
}

TEST(AddMovieResource, TwoForkReferenceMovieReopensFromItsResourceFork)
{
    ScratchFolder dir;
    SaveAsTwoForkMovie(OpenMovie(FixtureMovies::Path("av.mov")).movie, dir / "ref.mov");
    EXPECT_EQ(fs::file_size(dir / "ref.mov"), 0u);
    OpenMovie back(dir / "ref.mov");
    EXPECT_EQ(back.resId, 128);
    ASSERT_EQ(TrackCount(back.movie), 2);
    auto files = MovieDataRefs::DataFiles(back.movie);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::equivalent(files[0], FixtureMovies::Path("av.mov")));
}

TEST(AddMovieResource, ReplacingTheFileThatHoldsTheSamplesIsRefused)
{
    ScratchFolder dir;
    std::string media = FixtureMovies::CopyTo("av.mov", dir.Path());
    auto before = ReadFileBytes(media);
    short srcRef = 0;
    Movie movie = FixtureMovies::Open(media, &srcRef);
    ASSERT_NE(movie, nullptr);
    CloseMovieFile(srcRef);
    FSSpec location = SpecFor(media);
    short refNum = 0, resId = 0;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDeleteCurFile | createMovieFileDontCreateMovie,
                              &refNum, nullptr),
              noErr);
    EXPECT_EQ(AddMovieResource(movie, refNum, &resId, nullptr), fBsyErr);
    CloseMovieFile(refNum);
    EXPECT_EQ(ReadFileBytes(media), before);
    EXPECT_FALSE(fs::exists(dir / "._av.mov"));
    DisposeMovie(movie);
}

// A reference movie reopened after its files moved: the alias finds the
// samples by relative path first, then by absolute path (and says the movie
// changed); samples that are gone still give the movie, with an error.
TEST(NewMovieFromFile, ReferenceMoviesFindTheirSamplesAfterMoves)
{
    struct Case {
        const char* name;
        const char* mediaFolder;
        const char* refPath;
        const char* moveFrom;
        const char* moveTo;  // nil: removed
        const char* reopenPath;
        OSErr result;
        const char* samplesIn;  // nil: not found
        int changed;            // -1: not checked
    } cases[] = {
        {"samples removed", "media", "ref.mov", "media/av.mov", nullptr, "ref.mov", couldNotResolveDataRef, nullptr,
         -1},
        {"moved with its media", "project/media", "project/ref.mov", "project", "moved", "moved/ref.mov", noErr,
         "moved/media/av.mov", -1},
        {"moved alone", "media", "ref.mov", "ref.mov", "a/b/c/ref.mov", "a/b/c/ref.mov", noErr, "media/av.mov", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder dir;
        fs::create_directories(dir / c.mediaFolder);
        fs::create_directories(dir / "a/b/c");
        SaveAsReferenceMovie(OpenMovie(FixtureMovies::CopyTo("av.mov", dir / c.mediaFolder)).movie, dir / c.refPath);
        if (c.moveTo)
            fs::rename(dir / c.moveFrom, dir / c.moveTo);
        else
            fs::remove(dir / c.moveFrom);
        FSSpec location = SpecFor(dir / c.reopenPath);
        short refNum = 0;
        ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), noErr);
        Movie back = nullptr;
        Boolean changed = false;
        EXPECT_EQ(NewMovieFromFile(&back, refNum, nullptr, nullptr, newMovieActive, &changed), c.result);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(GetMovieTrackCount(back), 2);
        auto files = MovieDataRefs::DataFiles(back);
        if (c.samplesIn) {
            ASSERT_EQ(files.size(), 1u);
            EXPECT_TRUE(fs::equivalent(files[0], dir / c.samplesIn));
        }
        if (c.changed >= 0) {
            EXPECT_EQ(bool(changed), bool(c.changed));
        }
        // A copy is made from wherever the samples were found, or not at all.
        int filesBefore = FilesIn(dir.Path());
        EXPECT_EQ(FlattenMovieTo(back, dir / "flat.mov"), c.result);
        EXPECT_EQ(FilesIn(dir.Path()), filesBefore + (c.result == noErr)) << "the copy, and nothing else";
        DisposeMovie(back);
        CloseMovieFile(refNum);
    }
}
