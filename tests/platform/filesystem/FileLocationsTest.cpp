#include <gtest/gtest.h>

#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/Files.h"
#include "FileContents.h"

namespace {

Str255 gName;
ConstStr255Param P(const std::string& s)
{
    pstr::FromStd(s, gName);
    return gName;
}

}  // namespace

// The record applications copy out of Apple events: 70 bytes, the parent
// ID right after the volume, in host order.
TEST(FSSpecLayout, KeepsTheClassicSeventyByteRecord)
{
    EXPECT_EQ(sizeof(FSSpec), 70u);
    EXPECT_EQ(offsetof(FSSpec, name), 6u);
    FSSpec location{};
    location.parID = 0x12345678;
    SInt32 raw;
    std::memcpy(&raw, reinterpret_cast<const unsigned char*>(&location) + 2, sizeof raw);
    EXPECT_EQ(raw, 0x12345678);
}

// Paths inside a scratch folder: the result, and the path the location
// leads back to (a missing file still gets a usable location, for saving).
TEST(FSPathMakeFSSpec, PathsGiveTheirLocationAndBack)
{
    ScratchFolder dir;
    std::string file = dir.MakeFile("clip.mov");
    struct Case {
        std::string path;
        OSErr err;
        std::string back;
        bool isDir;
    };
    const Case cases[] = {
        {file, noErr, file, false},
        {dir.Path(), noErr, dir.Path(), true},
        {dir.Path() + "//./sub/../clip.mov", noErr, file, false},
        {dir / "new.mov", fnfErr, dir / "new.mov", false},
        {dir / "nowhere/new.mov", dirNFErr, dir / "nowhere/new.mov", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FSSpec location{};
        Boolean isDir = !c.isDir;
        EXPECT_EQ(FSPathMakeFSSpec(c.path.c_str(), &location, &isDir), c.err);
        EXPECT_EQ(FSSpecPath(location), c.back);
        if (c.err == noErr) {
            EXPECT_EQ(isDir, c.isDir);
        }
    }
    FSSpec location;
    ASSERT_EQ(FSPathMakeFSSpec(file.c_str(), &location, nil), noErr);
    EXPECT_EQ(location.vRefNum, kOrvoVolumeRefNum);
    EXPECT_EQ(pstr::ToStd(location.name), "clip.mov");
    EXPECT_EQ(FSDirectoryPath(location.parID), dir.Path());
}

TEST(FSPathMakeFSSpec, FilesInOneDirectoryShareTheDirectoryID)
{
    ScratchFolder dir, other;
    FSSpec a, b, c;
    ASSERT_EQ(FSPathMakeFSSpec(dir.MakeFile("a").c_str(), &a, nil), noErr);
    ASSERT_EQ(FSPathMakeFSSpec(dir.MakeFile("b").c_str(), &b, nil), noErr);
    ASSERT_EQ(FSPathMakeFSSpec(other.MakeFile("a").c_str(), &c, nil), noErr);
    EXPECT_EQ(a.parID, b.parID);
    EXPECT_NE(a.parID, c.parID);
}

// A relative path and directory ID 0 both start at the current directory.
TEST(FSMakeFSSpec, RelativeNamesStartAtTheCurrentDirectory)
{
    ScratchFolder dir;
    dir.MakeFile("here.mov");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    FSSpec byPath, byID;
    OSErr pathErr = FSPathMakeFSSpec("here.mov", &byPath, nil);
    OSErr idErr = FSMakeFSSpec(0, 0, P("here.mov"), &byID);
    ASSERT_EQ(chdir(saved.c_str()), 0);
    EXPECT_EQ(pathErr, noErr);
    EXPECT_EQ(idErr, noErr);
    EXPECT_EQ(FSSpecPath(byPath), dir / "here.mov");
    EXPECT_EQ(FSSpecPath(byID), dir / "here.mov");
}

TEST(FSPathMakeFSSpec, RootIsTheVolumeSpecAndBadArgumentsAreRefused)
{
    FSSpec location;
    ASSERT_EQ(FSPathMakeFSSpec("/", &location, nil), noErr);
    EXPECT_EQ(location.parID, fsRtParID);
    EXPECT_EQ(FSSpecPath(location), "/");
    ASSERT_EQ(FSPathMakeFSSpec("/tmp", &location, nil), noErr);
    EXPECT_EQ(location.parID, fsRtDirID);
    EXPECT_EQ(FSPathMakeFSSpec("", &location, nil), bdNamErr);
    EXPECT_EQ(FSPathMakeFSSpec(nil, &location, nil), paramErr);
    EXPECT_EQ(FSPathMakeFSSpec("/tmp", nil, nil), paramErr);
}

TEST(FSMakeFSSpec, NamesInADirectoryByItsID)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("one.mov");
    SInt32 dirID = FSDirectoryID(dir.Path());
    FSSpec fromPath, fromID;
    ASSERT_EQ(FSPathMakeFSSpec(path.c_str(), &fromPath, nil), noErr);
    ASSERT_EQ(FSMakeFSSpec(fromPath.vRefNum, dirID, P("one.mov"), &fromID), noErr);
    EXPECT_EQ(fromID.parID, fromPath.parID);
    EXPECT_TRUE(pstr::Equal(fromID.name, fromPath.name));
    EXPECT_EQ(FSMakeFSSpec(0, dirID, P("two.mov"), &fromID), fnfErr);
    EXPECT_EQ(FSSpecPath(fromID), dir / "two.mov");
    // An empty name is the directory itself; a full path ignores the ID.
    ASSERT_EQ(FSMakeFSSpec(kOrvoVolumeRefNum, dirID, P(""), &fromID), noErr);
    EXPECT_EQ(FSSpecPath(fromID), dir.Path());
    EXPECT_NE(fromID.parID, dirID);
    ASSERT_EQ(FSMakeFSSpec(0, 12345678, P(path), &fromID), noErr);
    EXPECT_EQ(FSSpecPath(fromID), path);
}

TEST(FSMakeFSSpec, ReportsBadVolumeDirectoryAndNames)
{
    ScratchFolder dir;
    SInt32 dirID = FSDirectoryID(dir.Path());
    FSSpec location;
    EXPECT_EQ(FSMakeFSSpec(3, dirID, P("a"), &location), nsvErr);
    EXPECT_EQ(FSMakeFSSpec(-1, 987654321, P("a"), &location), dirNFErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P("a/b"), &location), bdNamErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P(".."), &location), bdNamErr);
    EXPECT_EQ(FSMakeFSSpec(-1, dirID, P("a"), nil), paramErr);
}

TEST(FSSpecPath, UnknownDirectoryOrEscapingNameGivesNoPath)
{
    FSSpec location{};
    location.parID = 987654321;
    pstr::FromStd("x", location.name, 63);
    EXPECT_EQ(FSSpecPath(location), "");
    location.parID = FSDirectoryID("/tmp");
    pstr::FromStd("../etc", location.name, 63);
    EXPECT_EQ(FSSpecPath(location), "");
}
