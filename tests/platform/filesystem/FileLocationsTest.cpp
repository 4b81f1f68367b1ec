#include <gtest/gtest.h>

#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "FileContents.h"

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

// Paths give their location and the path it leads back to (a missing file
// still gets a usable location, for saving); files of one folder share its
// ID, and the root is the volume's own location.
TEST(FSPathMakeFSSpec, PathsGiveTheirLocationAndBack)
{
    ScratchFolder dir, other;
    std::string file = dir.MakeFile("clip.mov");
    struct Case {
        std::string path;
        OSErr err;
        std::string back;
        bool isDir;
        SInt32 parID = 0;  // 0: not checked
    };
    const Case cases[] = {
        {file, noErr, file, false, FSDirectoryID(dir.Path())},
        {dir.Path(), noErr, dir.Path(), true},
        {dir.Path() + "//./sub/../clip.mov", noErr, file, false},
        {dir / "new.mov", fnfErr, dir / "new.mov", false},
        {dir / "nowhere/new.mov", dirNFErr, dir / "nowhere/new.mov", false},
        {"/", noErr, "/", true, fsRtParID},
        {"/tmp", noErr, "/tmp", true, fsRtDirID},
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
        if (c.parID) {
            EXPECT_EQ(location.parID, c.parID);
        }
    }
    FSSpec location = SpecFor(file);
    EXPECT_EQ(location.vRefNum, kOrvoVolumeRefNum);
    EXPECT_EQ(pstr::ToStd(location.name), "clip.mov");
    EXPECT_EQ(SpecFor(dir.MakeFile("b")).parID, location.parID);
    EXPECT_NE(SpecFor(other.MakeFile("clip.mov")).parID, location.parID);
    EXPECT_EQ(FSPathMakeFSSpec("", &location, nil), bdNamErr);
    EXPECT_EQ(FSPathMakeFSSpec(nil, &location, nil), paramErr);
    EXPECT_EQ(FSPathMakeFSSpec("/tmp", nil, nil), paramErr);
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

// Names in a directory given by its ID: an empty name is the directory
// itself, a full path ignores the ID; bad volumes, directories and names
// are refused.
TEST(FSMakeFSSpec, NamesInADirectoryByItsID)
{
    ScratchFolder dir;
    std::string path = dir.MakeFile("one.mov");
    SInt32 dirID = FSDirectoryID(dir.Path());
    struct Case {
        short vRefNum;
        SInt32 dirID;
        std::string name;
        OSErr err;
        std::string back;  // checked when not empty
    };
    const Case cases[] = {
        {kOrvoVolumeRefNum, dirID, "one.mov", noErr, path},
        {0, dirID, "two.mov", fnfErr, dir / "two.mov"},
        {kOrvoVolumeRefNum, dirID, "", noErr, dir.Path()},
        {0, 12345678, path, noErr, path},
        {3, dirID, "a", nsvErr, ""},
        {-1, 987654321, "a", dirNFErr, ""},
        {-1, dirID, "a/b", bdNamErr, ""},
        {-1, dirID, "..", bdNamErr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FSSpec location{};
        EXPECT_EQ(FSMakeFSSpec(c.vRefNum, c.dirID, P(c.name), &location), c.err);
        if (!c.back.empty()) {
            EXPECT_EQ(FSSpecPath(location), c.back);
        }
    }
    FSSpec fromPath = SpecFor(path), fromID, folder;
    ASSERT_EQ(FSMakeFSSpec(kOrvoVolumeRefNum, dirID, P("one.mov"), &fromID), noErr);
    EXPECT_EQ(fromID.parID, fromPath.parID);
    EXPECT_TRUE(pstr::Equal(fromID.name, fromPath.name));
    ASSERT_EQ(FSMakeFSSpec(kOrvoVolumeRefNum, dirID, P(""), &folder), noErr);
    EXPECT_NE(folder.parID, dirID);
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
