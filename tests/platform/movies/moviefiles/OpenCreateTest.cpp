#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FilesTestSupport.h"
#include "platform/filesystem/AppleDouble.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

namespace {

// A folder with a movie file, a locked one, and a locked folder holding one.
struct Files {
    ScratchFolder dir;
    Files()
    {
        fs::create_directories(dir / "ro");
        for (const char* name : {"m.mov", "locked.mov", "ro/m.mov"})
            WriteFileBytes(dir / name, {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
        chmod((dir / "locked.mov").c_str(), 0444);
        chmod((dir / "ro").c_str(), 0555);
    }
    ~Files() { chmod((dir / "ro").c_str(), 0755); }
};

}  // namespace

// Unknown reference numbers cannot be closed either.
TEST(OpenMovieFile, RefusesWhatCannotBeOpenedAndStillReadsWhatItCan)
{
    struct Case {
        const char* path;
        OSErr forWriting;
        bool readable;
    } cases[] = {{"absent.mov", fnfErr, false}, {"locked.mov", permErr, true}, {"ro/m.mov", permErr, true}};
    Files files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        FSSpec location = SpecFor(files.dir / c.path);
        short refNum = 7;
        EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), c.forWriting);
        EXPECT_EQ(GetMoviesError(), c.forWriting);
        EXPECT_EQ(refNum, 0);
        EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), c.readable ? OSErr(noErr) : c.forWriting);
        EXPECT_EQ(refNum != 0, c.readable);
        if (refNum) {
            EXPECT_EQ(CloseMovieFile(refNum), noErr);
        }
    }
    EXPECT_EQ(CloseMovieFile(31999), rfNumErr);
}

// Refused creations leave the file that was there as it was.
TEST(CreateMovieFile, RefusesWhatCannotBeCreatedAndKeepsTheOldFile)
{
    struct Case {
        const char* path;
        long flags;
        OSErr result;
    } cases[] = {
        {"m.mov", createMovieFileDontCreateMovie, dupFNErr},  // no replace flag
        {"ro/new.mov", createMovieFileDontCreateMovie, permErr},
        {"open.mov", createMovieFileDeleteCurFile | createMovieFileDontCreateMovie, fBsyErr},
    };
    Files files;
    WriteFileBytes(files.dir / "open.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    FSSpec openLocation = SpecFor(files.dir / "open.mov");
    short writer = 0;
    ASSERT_EQ(OpenMovieFile(&openLocation, &writer, fsRdWrPerm), noErr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        FSSpec location = SpecFor(files.dir / c.path);
        short refNum = 0;
        EXPECT_EQ(CreateMovieFile(&location, 'TVOD', -2, c.flags, &refNum, nullptr), c.result);
    }
    CloseMovieFile(writer);
    EXPECT_EQ(ReadFileBytes(files.dir / "m.mov").size(), 8u);
    EXPECT_EQ(ReadFileBytes(files.dir / "open.mov").size(), 8u);
    EXPECT_EQ(FilesIn(files.dir / "ro"), 1);
}

TEST(CreateMovieFile, TwoForkFilesGetACompanionWithMovieTypeAndCreatorSingleForkFilesNone)
{
    for (bool twoForks : {true, false}) {
        SCOPED_TRACE(twoForks ? "two forks" : "single fork");
        ScratchFolder dir;
        FSSpec location = SpecFor(dir / "new.mov");
        short refNum = 0;
        Movie movie = nullptr;
        long flags = createMovieFileDontCreateMovie | (twoForks ? 0 : long(createMovieFileDontCreateResFile));
        ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, flags, &refNum, &movie), noErr);
        EXPECT_EQ(movie, nullptr);
        EXPECT_NE(refNum, 0);
        CloseMovieFile(refNum);
        EXPECT_TRUE(fs::exists(dir / "new.mov"));
        EXPECT_EQ(fs::exists(dir / "._new.mov"), twoForks);
        if (!twoForks)
            continue;
        FInfo info {};
        ASSERT_EQ(FSpGetFInfo(&location, &info), noErr);
        EXPECT_EQ(info.fdType, OSType('MooV'));
        EXPECT_EQ(info.fdCreator, OSType('TVOD'));
        AppleDoubleFile companion;
        ASSERT_EQ(ReadAppleDouble(dir / "._new.mov", &companion), noErr);
        EXPECT_NE(companion.Find(kAppleDoubleResourceFork), nullptr);
    }
}

// Until the new file is committed (closed), the old one stays for readers
// and no other writer may open it; then the new one takes its place.
TEST(CreateMovieFile, ReplacedFileStaysUntilTheNewOneIsCommitted)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "old.mov", {1, 2, 3});
    FSSpec location = SpecFor(dir / "old.mov");
    short replacing = 0, writer = 0, reader = 0;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2,
                              createMovieFileDeleteCurFile | createMovieFileDontCreateMovie |
                                  createMovieFileDontCreateResFile,
                              &replacing, nullptr),
              noErr);
    EXPECT_EQ(ReadFileBytes(dir / "old.mov").size(), 3u);
    EXPECT_EQ(OpenMovieFile(&location, &writer, fsRdWrPerm), opWrErr);
    EXPECT_EQ(OpenMovieFile(&location, &reader, fsRdPerm), noErr);
    CloseMovieFile(reader);
    ASSERT_EQ(CloseMovieFile(replacing), noErr);
    EXPECT_EQ(ReadFileBytes(dir / "old.mov").size(), 0u);
    EXPECT_EQ(FilesIn(dir.Path()), 1);
    EXPECT_EQ(OpenMovieFile(&location, &writer, fsRdWrPerm), noErr);
    CloseMovieFile(writer);
}
