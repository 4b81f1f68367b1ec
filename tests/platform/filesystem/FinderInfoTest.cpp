#include <gtest/gtest.h>

#include "platform/filesystem/AppleDouble.h"
#include "FileContents.h"

namespace {

OSType TypeOf(const std::string& path)
{
    FSSpec location = SpecFor(path);
    FInfo info{};
    info.fdType = 'none';
    FSpGetFInfo(&location, &info);
    return info.fdType;
}

}  // namespace

// Movie extensions, in any case, imply the movie type; other names none.
TEST(FinderInfo, TheExtensionGivesTheTypeUntilInfoIsStored)
{
    ScratchFolder dir;
    for (const char* name : {"a.mov", "b.qt", "c.mp4", "d.m4v", "e.m4a", "f.3gp", "G.MOV", "h.Mp4"})
        EXPECT_EQ(TypeOf(dir.MakeFile(name)), OSType('MooV')) << name;
    for (const char* name : {"a.txt", "movie", ".mov", "b.mov.bak", "c.mkv"})
        EXPECT_EQ(TypeOf(dir.MakeFile(name)), kUnknownFileType) << name;

    FSSpec text = SpecFor(dir.MakeFile("really-text.mov"));
    FInfo info{};
    info.fdType = 'TEXT';
    info.fdCreator = 'TVOD';
    info.fdFlags = 0x0100;
    info.fdLocation = {12, -34};
    ASSERT_EQ(FSpSetFInfo(&text, &info), noErr);
    FInfo back{};
    ASSERT_EQ(FSpGetFInfo(&text, &back), noErr);
    EXPECT_EQ(back.fdType, OSType('TEXT'));
    EXPECT_EQ(back.fdCreator, OSType('TVOD'));
    EXPECT_EQ(back.fdFlags, 0x0100);
    EXPECT_EQ(back.fdLocation.v, 12);
    EXPECT_EQ(back.fdLocation.h, -34);

    // Info the name already implies needs no companion.
    FSSpec plain = SpecFor(dir / "a.mov");
    FInfo implied{};
    implied.fdType = 'MooV';
    ASSERT_EQ(FSpSetFInfo(&plain, &implied), noErr);
    EXPECT_FALSE(PathExists(dir / "._a.mov"));

    FSSpec missing = SpecFor(dir / "none.mov");
    EXPECT_EQ(FSpGetFInfo(&missing, &info), fnfErr);
    EXPECT_EQ(FSpSetFInfo(&missing, &info), fnfErr);
}

// A companion may hold a resource fork, and (from macOS) extended
// attributes after the 32 Finder-info bytes: setting the info keeps both.
TEST(FinderInfo, SettingInfoKeepsTheRestOfTheCompanion)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("forked.mov");
    AppleDoubleFile companion;
    companion.Set(kAppleDoubleResourceFork, {1, 2, 3, 4, 5});
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
    ASSERT_NE(back.Find(kAppleDoubleResourceFork), nullptr);
    EXPECT_EQ(back.Find(kAppleDoubleResourceFork)->data, (std::vector<UInt8>{1, 2, 3, 4, 5}));
    ASSERT_NE(back.Find(kAppleDoubleFinderInfo), nullptr);
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
