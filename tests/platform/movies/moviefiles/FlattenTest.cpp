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

std::string DecodeErrors(const std::string& path)
{
    std::string out;
    int status = RunCommand("ffmpeg -nostdin -v error -i " + Quote(path) + " -f null -", &out);
    return status == 0 ? out : "exit " + std::to_string(status) + ": " + out;
}

int Packets(const std::string& path, const char* stream)
{
    std::string out;
    RunCommand("ffprobe -v error -count_packets -select_streams " + std::string(stream) +
                   " -show_entries stream=nb_read_packets -of csv=p=0 " + Quote(path),
               &out);
    return std::atoi(out.c_str());
}

int FilesIn(const std::string& folder)
{
    int n = 0;
    for (auto& e : fs::directory_iterator(folder))
        n += e.is_regular_file() ? 1 : 0;
    return n;
}

struct OpenMovie {
    short refNum = 0;
    Movie movie = nullptr;
    explicit OpenMovie(const std::string& path) { movie = FixtureMovies::Open(path, &refNum); }
    ~OpenMovie()
    {
        DisposeMovie(movie);
        CloseMovieFile(refNum);
    }
};

OSErr FlattenTo(Movie movie, const std::string& path, short* resId)
{
    FSSpec location = SpecFor(path);
    FlattenMovie(movie, 0, &location, 'TVOD', -2, createMovieFileDeleteCurFile, resId, nullptr);
    return GetMoviesError();
}

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

TEST(FlattenMovie, SingleForkCopyDecodesWithoutErrorAndLeavesTheSourceAlone)
{
    ScratchFolder dir;
    std::string source = FixtureMovies::CopyTo("av.mov", dir.Path());
    auto before = ReadFileBytes(source);
    OpenMovie src(source);
    ASSERT_NE(src.movie, nullptr);
    short resId = movieInDataForkResID;
    ASSERT_EQ(FlattenTo(src.movie, dir / "flat.mov", &resId), noErr);
    EXPECT_EQ(resId, movieInDataForkResID);
    EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "");
    EXPECT_EQ(Packets(dir / "flat.mov", "v:0"), 50);
    EXPECT_EQ(ReadFileBytes(source), before);
    EXPECT_FALSE(fs::exists(dir / "._flat.mov"));
    EXPECT_EQ(FilesIn(dir.Path()), 2);

    // The copy refers to itself only.
    OpenMovie flat(dir / "flat.mov");
    ASSERT_NE(flat.movie, nullptr);
    auto files = MovieDataRefs::DataFiles(flat.movie);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::equivalent(files[0], dir / "flat.mov"));
}

TEST(FlattenMovie, ReferenceMovieBecomesSelfContained)
{
    ScratchFolder dir;
    fs::create_directories(dir / "media");
    std::string media = FixtureMovies::CopyTo("offset.mov", dir / "media");
    {
        OpenMovie src(media);
        ASSERT_NE(src.movie, nullptr);
        FSSpec location = SpecFor(dir / "ref.mov");
        short refNum = 0, resId = movieInDataForkResID;
        ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, (long)0xD0000000, &refNum, nullptr), noErr);
        ASSERT_EQ(AddMovieResource(src.movie, refNum, &resId, nullptr), noErr);
        CloseMovieFile(refNum);
    }
    OpenMovie ref(dir / "ref.mov");
    ASSERT_NE(ref.movie, nullptr);
    short resId = movieInDataForkResID;
    ASSERT_EQ(FlattenTo(ref.movie, dir / "flat.mov", &resId), noErr);
    fs::remove_all(dir / "media");
    EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "");
    EXPECT_EQ(Packets(dir / "flat.mov", "v:0"), 50);
    std::string trace;
    RunCommand("ffprobe -v trace " + Quote(dir / "flat.mov"), &trace);
    EXPECT_NE(trace.find("time=-1"), std::string::npos) << "the sound track's offset is kept as an empty edit";
}

TEST(FlattenMovie, TwoForkCopyKeepsTheMovieInTheResourceFork)
{
    ScratchFolder dir;
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    short resId = 0;
    ASSERT_EQ(FlattenTo(src.movie, dir / "two.mov", &resId), noErr);
    EXPECT_EQ(resId, 128);
    ASSERT_TRUE(fs::exists(dir / "._two.mov"));
    FInfo info {};
    FSSpec location = SpecFor(dir / "two.mov");
    ASSERT_EQ(FSpGetFInfo(&location, &info), noErr);
    EXPECT_EQ(info.fdCreator, OSType('TVOD'));
    short again = 0, againId = 0;
    Movie back = FixtureMovies::Open(dir / "two.mov", &again, &againId);
    EXPECT_EQ(againId, 128);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(GetMovieTrackCount(back), 2);
    DisposeMovie(back);
    CloseMovieFile(again);
}

TEST(FlattenMovie, SoundAndVideoAreInterleavedByTime)
{
    ScratchFolder dir;
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    short resId = movieInDataForkResID;
    ASSERT_EQ(FlattenTo(src.movie, dir / "flat.mov", &resId), noErr);
    std::string out;
    RunCommand("ffprobe -v error -show_entries packet=stream_index,pos -of csv=p=0 " + Quote(dir / "flat.mov"), &out);
    // Packets in file order: the stream changes many times, not once.
    std::vector<std::pair<long, int>> packets;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        int stream = std::atoi(line.c_str());
        long pos = std::atol(line.substr(line.find(',') + 1).c_str());
        packets.push_back({pos, stream});
    }
    std::sort(packets.begin(), packets.end());
    int switches = 0;
    for (std::size_t i = 1; i < packets.size(); ++i)
        switches += packets[i].second != packets[i - 1].second;
    EXPECT_GT(switches, 4);
}

TEST(FlattenMovie, CancelLeavesNoFileAndReportsTheCancel)
{
    ScratchFolder dir;
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    SetMovieProgressProc(src.movie, CancelAtFirstUpdate, 0);
    gCalls = 0;
    short resId = movieInDataForkResID;
    EXPECT_EQ(FlattenTo(src.movie, dir / "flat.mov", &resId), userCanceledErr);
    EXPECT_GT(gCalls, 1);
    EXPECT_EQ(FilesIn(dir.Path()), 0);
}

TEST(FlattenMovie, CancelKeepsTheFileThatWasThere)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "flat.mov", {1, 2, 3});
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    SetMovieProgressProc(src.movie, CancelAtFirstUpdate, 0);
    short resId = movieInDataForkResID;
    EXPECT_EQ(FlattenTo(src.movie, dir / "flat.mov", &resId), userCanceledErr);
    EXPECT_EQ(ReadFileBytes(dir / "flat.mov"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(FilesIn(dir.Path()), 1);
}

TEST(FlattenMovie, ProgressRunsFromOpenToCloseWithRisingPercentages)
{
    ScratchFolder dir;
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    SetMovieProgressProc(src.movie, RecordProgress, 42);
    gOpened = gClosed = 0;
    gLastPercent = -1;
    short resId = movieInDataForkResID;
    ASSERT_EQ(FlattenTo(src.movie, dir / "flat.mov", &resId), noErr);
    EXPECT_EQ(gOpened, 1);
    EXPECT_EQ(gClosed, 1);
    EXPECT_EQ(gLastPercent, fixed1);
}

TEST(FlattenMovie, DefaultProgressGoesToTheInstalledHook)
{
    ScratchFolder dir;
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    SetMovieProgressProc(src.movie, kDefaultMovieProgressProc, 0);
    SetDefaultMovieProgressHook(CancelAtFirstUpdate, 0);
    gCalls = 0;
    short resId = movieInDataForkResID;
    EXPECT_EQ(FlattenTo(src.movie, dir / "flat.mov", &resId), userCanceledErr);
    EXPECT_GT(gCalls, 0);
    SetDefaultMovieProgressHook(nullptr, 0);
}

TEST(FlattenMovie, FullDiskAtAnyWriteLeavesNoFile)
{
    ScratchFolder dir;
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    short resId = movieInDataForkResID;
    FileWriteLayer::InjectWriteFault(WriteFault{});
    ASSERT_EQ(FlattenTo(src.movie, dir / "count.mov", &resId), noErr);
    long operations = FileWriteLayer::OperationCount();
    fs::remove(dir / "count.mov");
    for (long k = 1; k <= operations; ++k) {
        FileWriteLayer::InjectWriteFault({WriteFault::failWithErrno, k, ENOSPC, true});
        resId = movieInDataForkResID;
        OSErr err = FlattenTo(src.movie, dir / "flat.mov", &resId);
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

TEST(FlattenMovie, OntoAFileHoldingItsOwnSamplesIsRefused)
{
    ScratchFolder dir;
    std::string source = FixtureMovies::CopyTo("av.mov", dir.Path());
    auto before = ReadFileBytes(source);
    OpenMovie src(source);
    ASSERT_NE(src.movie, nullptr);
    short resId = movieInDataForkResID;
    EXPECT_EQ(FlattenTo(src.movie, source, &resId), fBsyErr);
    EXPECT_EQ(ReadFileBytes(source), before);
}

TEST(FlattenMovie, ExistingFileIsKeptWithoutTheReplaceFlag)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "flat.mov", {1});
    OpenMovie src(FixtureMovies::Path("av.mov"));
    FSSpec location = SpecFor(dir / "flat.mov");
    short resId = movieInDataForkResID;
    FlattenMovie(src.movie, 0, &location, 'TVOD', -2, 0, &resId, nullptr);
    EXPECT_EQ(GetMoviesError(), dupFNErr);
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

TEST(FlattenMovie, EveryFixtureFlattensToAFileThatDecodesCleanly)
{
    for (const char* name : {"faststart.mp4", "offset.mov", "timecode.mov", "oddscale.mov", "fragmented.mp4"}) {
        ScratchFolder dir;
        OpenMovie src(FixtureMovies::Path(name));
        ASSERT_NE(src.movie, nullptr) << name;
        short resId = movieInDataForkResID;
        ASSERT_EQ(FlattenTo(src.movie, dir / "flat.mov", &resId), noErr) << name;
        EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "") << name;
        EXPECT_EQ(Packets(dir / "flat.mov", "v:0"), 50) << name;
    }
}

TEST(FlattenMovie, MissingSampleFileFailsWithoutLeavingAFile)
{
    ScratchFolder dir;
    fs::create_directories(dir / "out");
    std::string media = FixtureMovies::CopyTo("av.mov", dir.Path());
    {
        OpenMovie src(media);
        ASSERT_NE(src.movie, nullptr);
        FSSpec location = SpecFor(dir / "ref.mov");
        short refNum = 0, resId = movieInDataForkResID;
        ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, (long)0xD0000000, &refNum, nullptr), noErr);
        ASSERT_EQ(AddMovieResource(src.movie, refNum, &resId, nullptr), noErr);
        CloseMovieFile(refNum);
    }
    fs::remove(media);
    FSSpec location = SpecFor(dir / "ref.mov");
    short refNum = 0;
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    Movie movie = nullptr;
    EXPECT_EQ(NewMovieFromFile(&movie, refNum, nullptr, nullptr, 0, nullptr), couldNotResolveDataRef);
    ASSERT_NE(movie, nullptr);
    short resId = movieInDataForkResID;
    EXPECT_EQ(FlattenTo(movie, dir / "out/flat.mov", &resId), couldNotResolveDataRef);
    EXPECT_EQ(FilesIn(dir / "out"), 0);
    DisposeMovie(movie);
    CloseMovieFile(refNum);
}

TEST(FlattenMovie, LockedFolderIsRefused)
{
    ScratchFolder dir;
    fs::create_directories(dir / "ro");
    chmod((dir / "ro").c_str(), 0555);
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    short resId = movieInDataForkResID;
    EXPECT_EQ(FlattenTo(src.movie, dir / "ro/flat.mov", &resId), permErr);
    chmod((dir / "ro").c_str(), 0755);
    EXPECT_EQ(FilesIn(dir / "ro"), 0);
}
