// FlattenMovie: self-contained copies that decode cleanly, keep their
// sources untouched, and leave nothing behind when cancelled or when the
// disk is full.
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <sstream>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

namespace {

int gCalls = 0;
OSErr CancelAtFirstUpdate(Movie, short message, short, Fixed, long)
{
    ++gCalls;
    return message == movieProgressUpdatePercent ? OSErr(userCanceledErr) : OSErr(noErr);
}

Fixed gLastPercent = -1;
int gOpened = 0, gClosed = 0;
OSErr RecordProgress(Movie, short message, short operation, Fixed percent, long refcon)
{
    EXPECT_EQ(operation, progressOpFlatten);
    EXPECT_EQ(refcon, 42);
    gOpened += message == movieProgressOpen;
    gClosed += message == movieProgressClose;
    if (message == movieProgressUpdatePercent) {
        EXPECT_GE(percent, gLastPercent);
        gLastPercent = percent;
    }
    return noErr;
}

}  // namespace

// Sound and video packets in file order: how often the stream changes.
int StreamSwitches(const std::string& path)
{
    std::string out;
    RunCommand("ffprobe -v error -show_entries packet=stream_index,pos -of csv=p=0 " + Quote(path), &out);
    std::vector<std::pair<long, int>> packets;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line))
        packets.push_back({std::atol(line.substr(line.find(',') + 1).c_str()), std::atoi(line.c_str())});
    std::sort(packets.begin(), packets.end());
    int switches = 0;
    for (std::size_t i = 1; i < packets.size(); ++i)
        switches += packets[i].second != packets[i - 1].second;
    return switches;
}

TEST(FlattenMovie, EveryFixtureGivesASingleForkCopyThatDecodesAndLeavesTheSourceAlone)
{
    for (const char* name : {"av.mov", "faststart.mp4", "offset.mov", "timecode.mov", "oddscale.mov", "fragmented.mp4"}) {
        SCOPED_TRACE(name);
        ScratchFolder dir;
        std::string source = FixtureMovies::CopyTo(name, dir.Path());
        auto before = ReadFileBytes(source);
        OpenMovie src(source);
        ASSERT_NE(src.movie, nullptr);
        // Asked for by the resource ID alone, without the flag.
        FSSpec location = SpecFor(dir / "flat.mov");
        short resId = movieInDataForkResID;
        FlattenMovie(src.movie, 0, &location, 'TVOD', -2, createMovieFileDeleteCurFile, &resId, nullptr);
        ASSERT_EQ(GetMoviesError(), noErr);
        EXPECT_EQ(resId, movieInDataForkResID);
        EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "");
        EXPECT_EQ(VideoPackets(dir / "flat.mov"), 50);
        EXPECT_EQ(ReadFileBytes(source), before);
        EXPECT_EQ(FilesIn(dir.Path()), 2) << "no companion, no temporary file";
        // The copy refers to itself only.
        OpenMovie flat(dir / "flat.mov");
        ASSERT_NE(flat.movie, nullptr);
        auto files = MovieDataRefs::DataFiles(flat.movie);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_TRUE(fs::equivalent(files[0], dir / "flat.mov"));
        if (std::string(name) == "av.mov") {
            EXPECT_GT(StreamSwitches(dir / "flat.mov"), 4) << "sound and video are interleaved by time";
        }
    }
}

TEST(FlattenMovie, ReferenceMovieBecomesSelfContained)
{
    ScratchFolder dir;
    fs::create_directories(dir / "media");
    std::string media = FixtureMovies::CopyTo("offset.mov", dir / "media");
    SaveAsReferenceMovie(OpenMovie(media).movie, dir / "ref.mov");
    OpenMovie ref(dir / "ref.mov");
    ASSERT_NE(ref.movie, nullptr);
    ASSERT_EQ(FlattenMovieTo(ref.movie, dir / "flat.mov"), noErr);
    fs::remove_all(dir / "media");
    EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "");
    EXPECT_EQ(VideoPackets(dir / "flat.mov"), 50);
    std::string trace;
    RunCommand("ffprobe -v trace " + Quote(dir / "flat.mov"), &trace);
    EXPECT_NE(trace.find("time=-1"), std::string::npos) << "the sound track's offset is kept as an empty edit";
}

// A cancelled copy leaves the folder as it was: no file, or the old one.
// The movie's own progress procedure cancels, or the default hook does.
TEST(FlattenMovie, CancelIsReportedAndLeavesTheFolderAsItWas)
{
    for (int row = 0; row < 3; ++row) {
        bool existing = row == 1, byDefaultHook = row == 2;
        SCOPED_TRACE(row);
        ScratchFolder dir;
        if (existing)
            WriteFileBytes(dir / "flat.mov", {1, 2, 3});
        OpenMovie src(FixtureMovies::Path("av.mov"));
        ASSERT_NE(src.movie, nullptr);
        SetMovieProgressProc(src.movie, byDefaultHook ? kDefaultMovieProgressProc : CancelAtFirstUpdate, 0);
        SetDefaultMovieProgressHook(byDefaultHook ? CancelAtFirstUpdate : nullptr, 0);
        gCalls = 0;
        EXPECT_EQ(FlattenMovieTo(src.movie, dir / "flat.mov"), userCanceledErr);
        SetDefaultMovieProgressHook(nullptr, 0);
        EXPECT_GT(gCalls, byDefaultHook ? 0 : 1);
        EXPECT_EQ(FilesIn(dir.Path()), existing ? 1 : 0);
        if (existing) {
            EXPECT_EQ(ReadFileBytes(dir / "flat.mov"), (std::vector<std::uint8_t>{1, 2, 3}));
        }
    }
}

// Small pieces gathered in memory, and large ones with gaps before them.
TEST(FlattenMovie, ProgressRunsFromOpenToCloseWithRisingPercentages)
{
    for (const char* name : {"av.mov", "raw.mov"}) {
        SCOPED_TRACE(name);
        ScratchFolder dir;
        OpenMovie src(FixtureMovies::Path(name));
        ASSERT_NE(src.movie, nullptr);
        SetMovieProgressProc(src.movie, RecordProgress, 42);
        gOpened = gClosed = 0;
        gLastPercent = -1;
        ASSERT_EQ(FlattenMovieTo(src.movie, dir / "flat.mov"), noErr);
        EXPECT_EQ(gOpened, 1);
        EXPECT_EQ(gClosed, 1);
        EXPECT_EQ(gLastPercent, fixed1);
    }
}

// Small pieces gathered in memory, and large ones copied file to file.
TEST(FlattenMovie, FullDiskAtAnyWriteLeavesNoFile)
{
    for (const char* name : {"av.mov", "raw.mov"}) {
        SCOPED_TRACE(name);
        ScratchFolder dir;
        OpenMovie src(FixtureMovies::Path(name));
        ASSERT_NE(src.movie, nullptr);
        FileWriteLayer::InjectWriteFault(WriteFault{});
        ASSERT_EQ(FlattenMovieTo(src.movie, dir / "count.mov"), noErr);
        long operations = FileWriteLayer::OperationCount();
        fs::remove(dir / "count.mov");
        for (long k = 1; k <= operations; ++k) {
            FileWriteLayer::InjectWriteFault({WriteFault::failWithErrno, k, ENOSPC, true});
            OSErr err = FlattenMovieTo(src.movie, dir / "flat.mov");
            FileWriteLayer::ClearWriteFault();
            if (err == noErr) {
                // Only the flush of the folder after the rename may fail
                // without failing the save: the file is complete by then.
                EXPECT_EQ(k, operations) << k;
                EXPECT_EQ(FilesIn(dir.Path()), 1) << k;
                fs::remove(dir / "flat.mov");
            } else {
                EXPECT_EQ(err, dskFulErr) << k;
                EXPECT_EQ(FilesIn(dir.Path()), 0) << k;
            }
        }
    }
}

TEST(FlattenMovieData, GivesTheMovieOfTheNewFile)
{
    ScratchFolder dir;
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    FSSpec location = SpecFor(dir / "flat.mov");
    Movie copy = FlattenMovieData(src.movie, 0, &location, 'TVOD', -2, createMovieFileDeleteCurFile);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GetMovieTrackCount(copy), 2);
    auto files = MovieDataRefs::DataFiles(copy);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::equivalent(files[0], dir / "flat.mov"));
    DisposeMovie(copy);
}

// Copies that may not be made: the folder is left as it was.
TEST(FlattenMovie, RefusedCopiesLeaveEveryFileAsItWas)
{
    struct Case {
        const char* name;
        const char* target;
        long createFlags;
        OSErr result;
    } cases[] = {
        {"onto the file holding its samples", "av.mov", createMovieFileDeleteCurFile, fBsyErr},
        {"onto a file, without the replace flag", "old.mov", 0, dupFNErr},
        {"into a locked folder", "ro/flat.mov", createMovieFileDeleteCurFile, permErr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder dir;
        fs::create_directories(dir / "ro");
        WriteFileBytes(dir / "old.mov", {1});
        OpenMovie src(FixtureMovies::CopyTo("av.mov", dir.Path()));
        ASSERT_NE(src.movie, nullptr);
        auto source = ReadFileBytes(dir / "av.mov");
        chmod((dir / "ro").c_str(), 0555);
        FSSpec location = SpecFor(dir / c.target);
        short resId = movieInDataForkResID;
        FlattenMovie(src.movie, 0, &location, 'TVOD', -2, c.createFlags, &resId, nullptr);
        EXPECT_EQ(GetMoviesError(), c.result);
        chmod((dir / "ro").c_str(), 0755);
        EXPECT_EQ(ReadFileBytes(dir / "av.mov"), source);
        EXPECT_EQ(ReadFileBytes(dir / "old.mov"), std::vector<std::uint8_t>{1});
        EXPECT_EQ(FilesIn(dir.Path()), 2);
        EXPECT_EQ(FilesIn(dir / "ro"), 0);
    }
}
