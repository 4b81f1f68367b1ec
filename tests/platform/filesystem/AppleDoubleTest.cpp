#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/filesystem/AppleDouble.h"
#include "FileContents.h"

TEST(AppleDouble, EncodedHeaderFollowsTheFormat)
{
    AppleDoubleFile file;
    file.Set(kAppleDoubleResourceFork, {9, 8, 7});
    std::vector<UInt8> bytes = EncodeAppleDouble(file);
    ASSERT_EQ(bytes.size(), 26u + 12u + 3u);
    EXPECT_EQ(std::vector<UInt8>(bytes.begin(), bytes.begin() + 8),
              (std::vector<UInt8>{0x00, 0x05, 0x16, 0x07, 0x00, 0x02, 0x00, 0x00}));
    EXPECT_EQ(bytes[24], 0);
    EXPECT_EQ(bytes[25], 1);
    // entry: ID 2, offset 38, length 3
    EXPECT_EQ(std::vector<UInt8>(bytes.begin() + 26, bytes.begin() + 38),
              (std::vector<UInt8>{0, 0, 0, 2, 0, 0, 0, 38, 0, 0, 0, 3}));
    EXPECT_EQ(bytes[38], 9);
}

TEST(AppleDouble, RoundTripKeepsEntriesAndPutsFinderInfoFirst)
{
    AppleDoubleFile file;
    file.Set(kAppleDoubleResourceFork, {9});
    file.Set(kAppleDoubleResourceFork, {1, 2, 3});  // replaces
    file.Set(kAppleDoubleFinderInfo, std::vector<UInt8>(32, 7));
    file.Set(0x12345678, {});
    file.Set(0x0BAD, {4});
    file.Remove(0x0BAD);
    AppleDoubleFile back;
    ASSERT_TRUE(DecodeAppleDouble(EncodeAppleDouble(file), &back));
    ASSERT_EQ(back.entries.size(), 3u);
    EXPECT_EQ(back.entries[0].entryID, UInt32(kAppleDoubleFinderInfo));
    EXPECT_EQ(back.Find(kAppleDoubleResourceFork)->data, (std::vector<UInt8>{1, 2, 3}));
    EXPECT_TRUE(back.Find(0x12345678)->data.empty());
    EXPECT_EQ(back.Find(0x0BAD), nullptr);
}

TEST(AppleDouble, DecodeRejectsWrongMagicAndEntriesOutsideTheBytes)
{
    AppleDoubleFile file;
    file.Set(kAppleDoubleResourceFork, {1, 2, 3, 4});
    const std::vector<UInt8> good = EncodeAppleDouble(file);
    struct Damage {
        const char* name;
        size_t at;  // the byte set to value (past the end: the last byte cut off)
        UInt8 value;
    } damages[] = {{"magic", 3, 0x00}, {"cut short", good.size(), 0}, {"length 0xFF000004", 34, 0xFF},
                   {"too many entries", 24, 0xFF}};
    AppleDoubleFile out;
    for (const Damage& d : damages) {
        std::vector<UInt8> bytes = good;
        if (d.at < bytes.size())
            bytes[d.at] = d.value;
        else
            bytes.pop_back();
        EXPECT_FALSE(DecodeAppleDouble(bytes, &out)) << d.name;
    }
    EXPECT_FALSE(DecodeAppleDouble(std::vector<UInt8>(10, 0), &out));
}

TEST(AppleDouble, WriteThenReadAFileLeavesNoTemporaryBehind)
{
    ScratchFolder dir;
    AppleDoubleFile file;
    file.Set(kAppleDoubleResourceFork, {5, 6});
    std::string path = dir / "._x.mov";
    ASSERT_EQ(WriteAppleDouble(path, file), noErr);
    AppleDoubleFile back;
    ASSERT_EQ(ReadAppleDouble(path, &back), noErr);
    EXPECT_EQ(back.Find(kAppleDoubleResourceFork)->data, (std::vector<UInt8>{5, 6}));
    auto entries = std::filesystem::directory_iterator(dir.Path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
}

// A missing companion, or one that is no regular file (a pipe would block).
TEST(AppleDouble, ReadingWhatIsNoCompanionFileFails)
{
    ScratchFolder dir;
    AppleDoubleFile back;
    EXPECT_EQ(ReadAppleDouble(dir / "._none", &back), fnfErr);
    std::string pipe = dir / "._pipe.mov";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_EQ(ReadAppleDouble(pipe, &back), ioErr);
}
