#include <gtest/gtest.h>

#include "platform/filesystem/AppleDouble.h"
#include "platform/filesystem/Files.h"
#include "FileContents.h"

namespace {

FSSpec SpecFor(const std::string& path)
{
    FSSpec location{};
    FSPathMakeFSSpec(path.c_str(), &location, nil);
    return location;
}

OSType TypeOf(const std::string& path)
{
    FSSpec location = SpecFor(path);
    FInfo info{};
    info.fdType = 'none';
    FSpGetFInfo(&location, &info);
    return info.fdType;
}

}  // namespace

TEST(FinderInfo, MovieExtensionsInferTheMovieTypeInAnyCase)
{
    ScratchFolder dir;
    for (const char* name : {"a.mov", "b.qt", "c.mp4", "d.m4v", "e.m4a", "f.3gp", "G.MOV", "h.Mp4"})
        EXPECT_EQ(TypeOf(dir.MakeFile(name)), OSType('MooV')) << name;
}

TEST(FinderInfo, OtherNamesHaveNoType)
{
    ScratchFolder dir;
    for (const char* name : {"a.txt", "movie", ".mov", "b.mov.bak", "c.mkv"})
        EXPECT_EQ(TypeOf(dir.MakeFile(name)), kUnknownFileType) << name;
}

TEST(FinderInfo, MissingFileIsFnfErr)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir / "none.mov");
    FInfo info;
    EXPECT_EQ(FSpGetFInfo(&location, &info), fnfErr);
    EXPECT_EQ(FSpSetFInfo(&location, &info), fnfErr);
}

TEST(FinderInfo, SetThenGetGivesTheSameInfo)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir.MakeFile("notes.bin"));
    FInfo info{};
    info.fdType = 'MooV';
    info.fdCreator = 'TVOD';
    info.fdFlags = 0x0100;
    info.fdLocation = {12, -34};
    ASSERT_EQ(FSpSetFInfo(&location, &info), noErr);
    FInfo back{};
    ASSERT_EQ(FSpGetFInfo(&location, &back), noErr);
    EXPECT_EQ(back.fdType, OSType('MooV'));
    EXPECT_EQ(back.fdCreator, OSType('TVOD'));
    EXPECT_EQ(back.fdFlags, 0x0100);
    EXPECT_EQ(back.fdLocation.v, 12);
    EXPECT_EQ(back.fdLocation.h, -34);
}

TEST(FinderInfo, StoredInfoOverridesTheExtension)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir.MakeFile("really-text.mov"));
    FInfo info{};
    info.fdType = 'TEXT';
    ASSERT_EQ(FSpSetFInfo(&location, &info), noErr);
    EXPECT_EQ(TypeOf(dir / "really-text.mov"), OSType('TEXT'));
}

TEST(FinderInfo, InfoTheNameImpliesNeedsNoCompanion)
{
    ScratchFolder dir;
    FSSpec location = SpecFor(dir.MakeFile("plain.mov"));
    FInfo info{};
    info.fdType = 'MooV';
    ASSERT_EQ(FSpSetFInfo(&location, &info), noErr);
    EXPECT_FALSE(PathExists(dir / "._plain.mov"));
}

TEST(FinderInfo, SettingInfoKeepsTheResourceFork)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("forked.mov");
    AppleDoubleFile companion;
    companion.Set(kAppleDoubleResourceFork, {1, 2, 3, 4, 5});
    ASSERT_EQ(WriteAppleDouble(AppleDoubleCompanionPath(path), companion), noErr);
    FSSpec location = SpecFor(path);
    FInfo info{};
    info.fdType = 'MooV';
    info.fdCreator = 'TVOD';
    ASSERT_EQ(FSpSetFInfo(&location, &info), noErr);
    AppleDoubleFile back;
    ASSERT_EQ(ReadAppleDouble(AppleDoubleCompanionPath(path), &back), noErr);
    ASSERT_NE(back.Find(kAppleDoubleResourceFork), nullptr);
    EXPECT_EQ(back.Find(kAppleDoubleResourceFork)->data, (std::vector<UInt8>{1, 2, 3, 4, 5}));
    ASSERT_NE(back.Find(kAppleDoubleFinderInfo), nullptr);
    EXPECT_EQ(back.Find(kAppleDoubleFinderInfo)->data.size(), size_t(kAppleDoubleFinderInfoSize));
}

TEST(FinderInfo, BytesAfterTheFinderInfoAreKept)
{
    // macOS stores extended attributes after the 32 Finder-info bytes.
    ScratchFolder dir;
    std::string path = dir.MakeFile("mac.mov");
    AppleDoubleFile companion;
    std::vector<UInt8> finder(3760, 0);
    finder[32] = 'A';
    finder[3759] = 'Z';
    companion.Set(kAppleDoubleFinderInfo, finder);
    ASSERT_EQ(WriteAppleDouble(AppleDoubleCompanionPath(path), companion), noErr);
    FSSpec location = SpecFor(path);
    FInfo info{};
    info.fdType = 'MooV';
    info.fdCreator = 'TVOD';
    ASSERT_EQ(FSpSetFInfo(&location, &info), noErr);
    AppleDoubleFile back;
    ASSERT_EQ(ReadAppleDouble(AppleDoubleCompanionPath(path), &back), noErr);
    const std::vector<UInt8>& data = back.Find(kAppleDoubleFinderInfo)->data;
    ASSERT_EQ(data.size(), 3760u);
    EXPECT_EQ(data[32], 'A');
    EXPECT_EQ(data[3759], 'Z');
    EXPECT_EQ(data[4], 'T');
}

TEST(FinderInfo, CorruptCompanionFallsBackToTheExtensionAndIsNotOverwritten)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("odd.mov");
    dir.MakeFile("._odd.mov", "not an AppleDouble file");
    FSSpec location = SpecFor(path);
    FInfo info{};
    ASSERT_EQ(FSpGetFInfo(&location, &info), noErr);
    EXPECT_EQ(info.fdType, OSType('MooV'));
    info.fdCreator = 'TVOD';
    EXPECT_EQ(FSpSetFInfo(&location, &info), ioErr);
    EXPECT_EQ(ReadWholeFile(dir / "._odd.mov"), "not an AppleDouble file");
}
