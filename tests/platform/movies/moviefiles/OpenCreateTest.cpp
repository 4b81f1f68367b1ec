#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FilesTestSupport.h"
#include "platform/filesystem/AppleDouble.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

TEST(OpenMovieFile, MissingFileGivesFileNotFound)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "absent.mov");
    short refNum = 7;
    EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), fnfErr);
    EXPECT_EQ(GetMoviesError(), fnfErr);
    EXPECT_EQ(refNum, 0);
}

TEST(OpenMovieFile, LockedFileRefusesWritePermissionButOpensForReading)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "locked.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    chmod((dir / "locked.mov").c_str(), 0444);
    FSSpec location = SpecFor(dir / "locked.mov");
    short refNum = 0;
    EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), permErr);
    ASSERT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
    EXPECT_NE(refNum, 0);
    EXPECT_EQ(CloseMovieFile(refNum), noErr);
}

TEST(OpenMovieFile, FileInLockedFolderRefusesWritePermission)
{
    ScratchFolder dir;
    fs::create_directories(dir / "ro");
    WriteFileBytes(dir / "ro/m.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    chmod((dir / "ro").c_str(), 0555);
    FSSpec location = SpecFor(dir / "ro/m.mov");
    short refNum = 0;
    EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdWrPerm), permErr);
    chmod((dir / "ro").c_str(), 0755);
}

TEST(OpenMovieFile, SameFileOpensForWritingUnderTwoReferenceNumbers)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "m.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    FSSpec location = SpecFor(dir / "m.mov");
    short first = 0, second = 0;
    ASSERT_EQ(OpenMovieFile(&location, &first, fsRdWrPerm), noErr);
    ASSERT_EQ(OpenMovieFile(&location, &second, fsRdWrPerm), noErr);
    EXPECT_NE(first, second);
    EXPECT_EQ(CloseMovieFile(first), noErr);
    EXPECT_EQ(CloseMovieFile(second), noErr);
}

TEST(OpenMovieFile, FileAboutToBeReplacedRefusesAnotherWriter)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "m.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    FSSpec location = SpecFor(dir / "m.mov");
    short replacing = 0, writer = 0, reader = 0;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2,
                              createMovieFileDeleteCurFile | createMovieFileDontCreateMovie |
                                  createMovieFileDontCreateResFile,
                              &replacing, nullptr),
              noErr);
    EXPECT_EQ(OpenMovieFile(&location, &writer, fsRdWrPerm), opWrErr);
    EXPECT_EQ(OpenMovieFile(&location, &reader, fsRdPerm), noErr);
    CloseMovieFile(reader);
    CloseMovieFile(replacing);
    EXPECT_EQ(OpenMovieFile(&location, &writer, fsRdWrPerm), noErr);
    CloseMovieFile(writer);
}

TEST(CloseMovieFile, UnknownReferenceNumberIsReported)
{
    EXPECT_EQ(CloseMovieFile(31999), rfNumErr);
}

TEST(CreateMovieFile, TwoForkFileGetsACompanionWithMovieTypeAndCreator)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "new.mov");
    short refNum = 0;
    Movie movie = nullptr;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDontCreateMovie, &refNum, &movie), noErr);
    EXPECT_EQ(movie, nullptr);
    EXPECT_NE(refNum, 0);
    FInfo info {};
    ASSERT_EQ(FSpGetFInfo(&location, &info), noErr);
    EXPECT_EQ(info.fdType, OSType('MooV'));
    EXPECT_EQ(info.fdCreator, OSType('TVOD'));
    AppleDoubleFile companion;
    ASSERT_EQ(ReadAppleDouble(dir / "._new.mov", &companion), noErr);
    EXPECT_NE(companion.Find(kAppleDoubleResourceFork), nullptr);
    CloseMovieFile(refNum);
}

TEST(CreateMovieFile, SingleForkFileHasNoCompanion)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "one.mov");
    short refNum = 0;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDontCreateMovie | createMovieFileDontCreateResFile,
                              &refNum, nullptr),
              noErr);
    CloseMovieFile(refNum);
    EXPECT_TRUE(fs::exists(dir / "one.mov"));
    EXPECT_FALSE(fs::exists(dir / "._one.mov"));
}

TEST(CreateMovieFile, ExistingFileIsKeptWithoutTheReplaceFlag)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "old.mov", {1, 2, 3});
    FSSpec location = SpecFor(dir / "old.mov");
    short refNum = 0;
    EXPECT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDontCreateMovie, &refNum, nullptr), dupFNErr);
    EXPECT_EQ(ReadFileBytes(dir / "old.mov").size(), 3u);
}

TEST(CreateMovieFile, ReplacedFileStaysUntilTheNewOneIsCommitted)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "old.mov", {1, 2, 3});
    FSSpec location = SpecFor(dir / "old.mov");
    short refNum = 0;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2,
                              createMovieFileDeleteCurFile | createMovieFileDontCreateMovie |
                                  createMovieFileDontCreateResFile,
                              &refNum, nullptr),
              noErr);
    EXPECT_EQ(ReadFileBytes(dir / "old.mov").size(), 3u);
    ASSERT_EQ(CloseMovieFile(refNum), noErr);
    EXPECT_EQ(ReadFileBytes(dir / "old.mov").size(), 0u);
    int files = 0;
    for (auto& e : fs::directory_iterator(dir.Path()))
        files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(CreateMovieFile, NewFileInLockedFolderIsRefused)
{
    ScratchFolder dir;
    fs::create_directories(dir / "ro");
    chmod((dir / "ro").c_str(), 0555);
    FSSpec location = SpecFor(dir / "ro/new.mov");
    short refNum = 0;
    EXPECT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDontCreateMovie, &refNum, nullptr), permErr);
    chmod((dir / "ro").c_str(), 0755);
}

TEST(CreateMovieFile, FileOpenForWritingIsBusy)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "open.mov", {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    FSSpec location = SpecFor(dir / "open.mov");
    short writer = 0, refNum = 0;
    ASSERT_EQ(OpenMovieFile(&location, &writer, fsRdWrPerm), noErr);
    EXPECT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDeleteCurFile | createMovieFileDontCreateMovie,
                              &refNum, nullptr),
              fBsyErr);
    EXPECT_EQ(ReadFileBytes(dir / "open.mov").size(), 8u);
    CloseMovieFile(writer);
}
