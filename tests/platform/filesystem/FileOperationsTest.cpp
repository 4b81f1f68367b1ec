#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/AppleDouble.h"
#include "platform/filesystem/Files.h"
#include "FileContents.h"
#include "Unprivileged.h"

namespace {

FSSpec SpecFor(const std::string& path)
{
    FSSpec location{};
    FSPathMakeFSSpec(path.c_str(), &location, nil);
    return location;
}

Str255 gName;
ConstStr255Param P(const std::string& s)
{
    pstr::FromStd(s, gName);
    return gName;
}

}  // namespace

TEST(FSpCreate, CreatesAnEmptyFileAndRefusesAnExistingOne)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "new.mov");
    ASSERT_EQ(FSpCreate(&location, 'TVOD', 'MooV', 0), noErr);
    EXPECT_EQ(ReadWholeFile(dir / "new.mov"), "");
    EXPECT_EQ(FSpCreate(&location, 'TVOD', 'MooV', 0), dupFNErr);
}

TEST(FSpCreate, MovieTypeOnAMovieNameMakesNoCompanion)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "plain.mov");
    ASSERT_EQ(FSpCreate(&location, 'TVOD', 'MooV', 0), noErr);
    EXPECT_FALSE(PathExists(dir / "._plain.mov"));
}

TEST(FSpCreate, TypeTheNameDoesNotImplyIsKeptInTheCompanion)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "movie.data");
    ASSERT_EQ(FSpCreate(&location, 'TVOD', 'MooV', 0), noErr);
    EXPECT_TRUE(PathExists(dir / "._movie.data"));
    FInfo info;
    ASSERT_EQ(FSpGetFInfo(&location, &info), noErr);
    EXPECT_EQ(info.fdType, OSType('MooV'));
    EXPECT_EQ(info.fdCreator, OSType('TVOD'));
}

TEST(FSpCreate, RemovesAStaleCompanionOfAnEarlierFile)
{
    ScratchFolder dir;
    dir.MakeFile("._again.mov", "stale resource fork");
    FSSpec location = SpecFor(dir / "again.mov");
    ASSERT_EQ(FSpCreate(&location, 'TVOD', 'MooV', 0), noErr);
    EXPECT_FALSE(PathExists(dir / "._again.mov"));
}

TEST(FSpCreate, MissingDirectoryIsReported)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "gone/new.mov");
    EXPECT_EQ(FSpCreate(&location, 'TVOD', 'MooV', 0), dirNFErr);
}

TEST(FSpCreate, ReadOnlyDirectoryIsAPermissionError)
{
    ScratchFolder dir;
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    std::string locked = dir / "locked";
    ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
    ExpectAsUnprivilegedUser([&locked]() {
        FSSpec location = SpecFor(locked + "/new.mov");
        return FSpCreate(&location, 'TVOD', 'MooV', 0) == permErr;
    });
    chmod(locked.c_str(), 0755);
}

TEST(FSpDelete, RemovesTheFileAndItsCompanion)
{
    ScratchFolder dir;
    dir.MakeFile("gone.mov");
    dir.MakeFile("._gone.mov", "companion");
    FSSpec location = SpecFor(dir / "gone.mov");
    ASSERT_EQ(FSpDelete(&location), noErr);
    EXPECT_FALSE(PathExists(dir / "gone.mov"));
    EXPECT_FALSE(PathExists(dir / "._gone.mov"));
    EXPECT_EQ(FSpDelete(&location), fnfErr);
}

TEST(FSpDelete, EmptyDirectoryGoesButAFullOneIsBusy)
{
    ScratchFolder dir;
    ASSERT_EQ(mkdir((dir / "empty").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "full").c_str(), 0755), 0);
    dir.MakeFile("full/inside");
    FSSpec empty = SpecFor(dir / "empty");
    FSSpec full = SpecFor(dir / "full");
    EXPECT_EQ(FSpDelete(&empty), noErr);
    EXPECT_FALSE(PathExists(dir / "empty"));
    EXPECT_EQ(FSpDelete(&full), fBsyErr);
    EXPECT_TRUE(PathExists(dir / "full/inside"));
}

TEST(FSpRename, MovesTheFileAndItsCompanion)
{
    ScratchFolder dir;
    dir.MakeFile("old.mov", "movie");
    dir.MakeFile("._old.mov", "companion");
    FSSpec location = SpecFor(dir / "old.mov");
    ASSERT_EQ(FSpRename(&location, P("new.mov")), noErr);
    EXPECT_EQ(ReadWholeFile(dir / "new.mov"), "movie");
    EXPECT_EQ(ReadWholeFile(dir / "._new.mov"), "companion");
    EXPECT_FALSE(PathExists(dir / "old.mov"));
    EXPECT_FALSE(PathExists(dir / "._old.mov"));
}

TEST(FSpRename, RefusesToReplaceAnExistingFile)
{
    ScratchFolder dir;
    dir.MakeFile("a.mov", "A");
    dir.MakeFile("b.mov", "B");
    FSSpec location = SpecFor(dir / "a.mov");
    EXPECT_EQ(FSpRename(&location, P("b.mov")), dupFNErr);
    EXPECT_EQ(ReadWholeFile(dir / "a.mov"), "A");
    EXPECT_EQ(ReadWholeFile(dir / "b.mov"), "B");
}

TEST(FSpRename, RejectsNamesWithSlashesAndMissingFiles)
{
    ScratchFolder dir;
    dir.MakeFile("a.mov");
    FSSpec location = SpecFor(dir / "a.mov");
    EXPECT_EQ(FSpRename(&location, P("sub/b.mov")), bdNamErr);
    FSSpec missing = SpecFor(dir / "none.mov");
    EXPECT_EQ(FSpRename(&missing, P("b.mov")), fnfErr);
}

TEST(OSErrFromErrno, MapsTheCommonSystemErrors)
{
    EXPECT_EQ(OSErrFromErrno(0), noErr);
    EXPECT_EQ(OSErrFromErrno(ENOENT), fnfErr);
    EXPECT_EQ(OSErrFromErrno(ENOTDIR), dirNFErr);
    EXPECT_EQ(OSErrFromErrno(EACCES), permErr);
    EXPECT_EQ(OSErrFromErrno(EROFS), wrPermErr);
    EXPECT_EQ(OSErrFromErrno(EEXIST), dupFNErr);
    EXPECT_EQ(OSErrFromErrno(ENOSPC), dskFulErr);
    EXPECT_EQ(OSErrFromErrno(ENAMETOOLONG), bdNamErr);
    EXPECT_EQ(OSErrFromErrno(EIO), ioErr);
}
