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

std::string Probe(const std::string& path, const std::string& args)
{
    std::string out;
    RunCommand("ffprobe -v error " + args + " " + Quote(path), &out);
    return out;
}

int VideoFrames(const std::string& path, bool drefs = false)
{
    std::string out = Probe(path, std::string(drefs ? "-enable_drefs 1 " : "") +
                                      "-count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0");
    return std::atoi(out.c_str());
}

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

// Saves a reference movie at refPath (single fork, the movie in the data
// fork) for the movie in mediaPath, whose samples stay where they are.
void SaveReferenceMovie(const std::string& mediaPath, const std::string& refPath)
{
    short srcRef = 0;
    Movie movie = FixtureMovies::Open(mediaPath, &srcRef);
    ASSERT_NE(movie, nullptr);
    FSSpec location = SpecFor(refPath);
    short refNum = 0, resId = movieInDataForkResID;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, (long)0xD0000000, &refNum, nullptr), noErr);
    EXPECT_EQ(AddMovieResource(movie, refNum, &resId, nullptr), noErr);
    EXPECT_EQ(resId, movieInDataForkResID);
    CloseMovieFile(refNum);
    DisposeMovie(movie);
    CloseMovieFile(srcRef);
}

}  // namespace

TEST(NewMovieFromFile, ReadsEveryFfmpegFixture)
{
    struct Expect {
        const char* name;
        long tracks;
    } cases[] = {{"av.mov", 2}, {"faststart.mp4", 2}, {"offset.mov", 2}, {"timecode.mov", 2},
                 {"oddscale.mov", 1}, {"fragmented.mp4", 2}};
    for (const auto& c : cases) {
        short refNum = 0, resId = 5;
        Movie movie = FixtureMovies::Open(FixtureMovies::Path(c.name), &refNum, &resId);
        EXPECT_EQ(TrackCount(movie), c.tracks) << c.name;
        EXPECT_EQ(resId, movieInDataForkResID) << c.name;
        if (Track video = movie ? FirstTrackOfType(movie, VideoMediaType) : nullptr) {
            EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(video)), 50) << c.name;
        }
        DisposeMovie(movie);
        CloseMovieFile(refNum);
    }
}

TEST(NewMovieFromFile, LateSoundTrackComesBackAsAnOffset)
{
    short refNum = 0;
    Movie movie = FixtureMovies::Open(FixtureMovies::Path("offset.mov"), &refNum);
    ASSERT_NE(movie, nullptr);
    Track sound = FirstTrackOfType(movie, SoundMediaType);
    ASSERT_NE(sound, nullptr);
    EXPECT_NEAR(double(GetTrackOffset(sound)) / GetMovieTimeScale(movie), 1.0, 0.05);
    DisposeMovie(movie);
    CloseMovieFile(refNum);
}

TEST(NewMovieFromFile, UnknownResourceIDIsNotFound)
{
    short refNum = 0;
    FSSpec location = SpecFor(FixtureMovies::Path("av.mov"));
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    Movie movie = nullptr;
    short resId = 200;
    EXPECT_EQ(NewMovieFromFile(&movie, refNum, &resId, nullptr, 0, nullptr), resNotFound);
    EXPECT_EQ(movie, nullptr);
    CloseMovieFile(refNum);
}

TEST(NewMovieFromFile, FileWithoutMovieGivesNoMovieFound)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "empty.mov", {0, 0, 0, 16, 'm', 'd', 'a', 't', 1, 2, 3, 4, 5, 6, 7, 8});
    FSSpec location = SpecFor(dir / "empty.mov");
    short refNum = 0;
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    Movie movie = nullptr;
    EXPECT_EQ(NewMovieFromFile(&movie, refNum, nullptr, nullptr, 0, nullptr), noMovieFound);
    EXPECT_EQ(GetMoviesError(), noMovieFound);
    CloseMovieFile(refNum);
}

TEST(UpdateMovieResource, OffsetSavedInPlaceIsAnEmptyEditForFfprobe)
{
    ScratchFolder dir;
    std::string path = FixtureMovies::CopyTo("av.mov", dir.Path());
    short refNum = 0, resId = 0;
    Movie movie = FixtureMovies::Open(path, &refNum, &resId);
    ASSERT_NE(movie, nullptr);
    Track video = FirstTrackOfType(movie, VideoMediaType);
    TimeValue half = GetMovieTimeScale(movie) / 2;
    SetTrackOffset(video, half);
    ASSERT_TRUE(HasMovieChanged(movie));
    ASSERT_EQ(UpdateMovieResource(movie, refNum, resId, nullptr), noErr);
    EXPECT_FALSE(HasMovieChanged(movie));
    DisposeMovie(movie);
    CloseMovieFile(refNum);

    std::string trace;
    RunCommand("ffprobe -v trace " + Quote(path), &trace);
    EXPECT_NE(trace.find("duration=" + std::to_string(half) + " time=-1"), std::string::npos);
    EXPECT_EQ(VideoFrames(path), 50);

    Movie back = FixtureMovies::Open(path, &refNum);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(GetTrackOffset(FirstTrackOfType(back, VideoMediaType)), half);
    DisposeMovie(back);
    CloseMovieFile(refNum);
}

TEST(UpdateMovieResource, FragmentedMovieSavedInPlaceIsReadOnceByFfprobe)
{
    ScratchFolder dir;
    std::string path = FixtureMovies::CopyTo("fragmented.mp4", dir.Path());
    short refNum = 0, resId = 0;
    Movie movie = FixtureMovies::Open(path, &refNum, &resId);
    ASSERT_NE(movie, nullptr);
    ASSERT_EQ(UpdateMovieResource(movie, refNum, resId, nullptr), noErr);
    DisposeMovie(movie);
    CloseMovieFile(refNum);
    EXPECT_EQ(VideoFrames(path), 50);
    std::string errors;
    EXPECT_EQ(RunCommand("ffmpeg -v error -i " + Quote(path) + " -f null -", &errors), 0);
    EXPECT_EQ(errors, "");
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
    short srcRef = 0;
    Movie movie = FixtureMovies::Open(FixtureMovies::Path("av.mov"), &srcRef);
    ASSERT_NE(movie, nullptr);
    FSSpec location = SpecFor(dir / "ref.mov");
    short refNum = 0, resId = 0;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDeleteCurFile | createMovieFileDontCreateMovie,
                              &refNum, nullptr),
              noErr);
    ASSERT_EQ(AddMovieResource(movie, refNum, &resId, nullptr), noErr);
    EXPECT_EQ(resId, 128);
    CloseMovieFile(refNum);
    EXPECT_EQ(fs::file_size(dir / "ref.mov"), 0u);

    short again = 0, againId = 0;
    Movie back = FixtureMovies::Open(dir / "ref.mov", &again, &againId);
    EXPECT_EQ(againId, 128);
    EXPECT_EQ(TrackCount(back), 2);
    if (back) {
        auto files = MovieDataRefs::DataFiles(back);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_TRUE(fs::equivalent(files[0], FixtureMovies::Path("av.mov")));
    }
    DisposeMovie(back);
    CloseMovieFile(again);
    DisposeMovie(movie);
    CloseMovieFile(srcRef);
}

TEST(AddMovieResource, SingleForkReferenceMoviePlaysInFfmpegThroughItsAlias)
{
    ScratchFolder dir;
    fs::create_directories(dir / "edits");
    std::string media = FixtureMovies::CopyTo("av.mov", dir.Path());
    SaveReferenceMovie(media, dir / "edits/ref.mov");
    EXPECT_FALSE(fs::exists(dir / "edits/._ref.mov"));
    EXPECT_LT(fs::file_size(dir / "edits/ref.mov"), fs::file_size(media) / 4);
    EXPECT_EQ(VideoFrames(dir / "edits/ref.mov", true), 50);
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
        SaveReferenceMovie(FixtureMovies::CopyTo("av.mov", dir / c.mediaFolder), dir / c.refPath);
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
        if (c.changed >= 0)
            EXPECT_EQ(bool(changed), bool(c.changed));
        DisposeMovie(back);
        CloseMovieFile(refNum);
    }
}
