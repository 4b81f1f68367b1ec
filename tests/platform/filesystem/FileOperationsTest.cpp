#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "FileContents.h"
#include "Unprivileged.h"

// A new file is empty; its companion holds only what the name does not
// already say, and a stale one left by an earlier file goes.
TEST(FSpCreate, CreatesAnEmptyFileWithACompanionOnlyWhenNeeded)
{
    ScratchFolder dir;
    dir.MakeFile("._plain.mov", "stale resource fork");
    FSSpec plain = SpecFor(dir / "plain.mov");
    ASSERT_EQ(FSpCreate(&plain, 'TVOD', 'MooV', 0), noErr);
    EXPECT_EQ(ReadWholeFile(dir / "plain.mov"), "");
    EXPECT_FALSE(PathExists(dir / "._plain.mov"));
    EXPECT_EQ(FSpCreate(&plain, 'TVOD', 'MooV', 0), dupFNErr);

    FSSpec data = SpecFor(dir / "movie.data");
    ASSERT_EQ(FSpCreate(&data, 'TVOD', 'MooV', 0), noErr);
    EXPECT_TRUE(PathExists(dir / "._movie.data"));
    FInfo info;
    ASSERT_EQ(FSpGetFInfo(&data, &info), noErr);
    EXPECT_EQ(info.fdType, OSType('MooV'));
    EXPECT_EQ(info.fdCreator, OSType('TVOD'));

    FSSpec nowhere = SpecFor(dir / "gone/new.mov");
    EXPECT_EQ(FSpCreate(&nowhere, 'TVOD', 'MooV', 0), dirNFErr);
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

TEST(FSpDelete, RemovesFilesWithTheirCompanionAndOnlyEmptyDirectories)
{
    ScratchFolder dir;
    dir.MakeFile("gone.mov");
    dir.MakeFile("._gone.mov", "companion");
    ASSERT_EQ(mkdir((dir / "empty").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "full").c_str(), 0755), 0);
    dir.MakeFile("full/inside");
    FSSpec file = SpecFor(dir / "gone.mov"), empty = SpecFor(dir / "empty"), full = SpecFor(dir / "full");
    ASSERT_EQ(FSpDelete(&file), noErr);
    EXPECT_FALSE(PathExists(dir / "gone.mov"));
    EXPECT_FALSE(PathExists(dir / "._gone.mov"));
    EXPECT_EQ(FSpDelete(&file), fnfErr);
    EXPECT_EQ(FSpDelete(&empty), noErr);
    EXPECT_FALSE(PathExists(dir / "empty"));
    EXPECT_EQ(FSpDelete(&full), fBsyErr);
    EXPECT_TRUE(PathExists(dir / "full/inside"));
}

TEST(FSpRename, MovesTheFileAndItsCompanionButReplacesNothing)
{
    ScratchFolder dir;
    dir.MakeFile("old.mov", "movie");
    dir.MakeFile("._old.mov", "companion");
    dir.MakeFile("b.mov", "B");
    FSSpec location = SpecFor(dir / "old.mov");
    EXPECT_EQ(FSpRename(&location, P("b.mov")), dupFNErr);
    EXPECT_EQ(FSpRename(&location, P("sub/b.mov")), bdNamErr);
    EXPECT_EQ(ReadWholeFile(dir / "b.mov"), "B");
    ASSERT_EQ(FSpRename(&location, P("new.mov")), noErr);
    EXPECT_EQ(ReadWholeFile(dir / "new.mov"), "movie");
    EXPECT_EQ(ReadWholeFile(dir / "._new.mov"), "companion");
    EXPECT_FALSE(PathExists(dir / "old.mov"));
    EXPECT_FALSE(PathExists(dir / "._old.mov"));
    EXPECT_EQ(FSpRename(&location, P("c.mov")), fnfErr);
}
