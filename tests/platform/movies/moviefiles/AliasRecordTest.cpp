#include <filesystem>
#include <gtest/gtest.h>

#include "FilesTestSupport.h"
#include "platform/movies/moviefiles/AliasRecord.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"

namespace fs = std::filesystem;

TEST(AliasRecord, EncodedRecordDecodesToTheSameFields)
{
    ScratchFolder dir;
    fs::create_directories(dir / "media");
    WriteFileBytes(dir / "media/clip.mov", {1, 2, 3});
    AliasRecordInfo info = DescribeAliasTarget(dir / "media/clip.mov", dir / "ref.mov");
    info.fileType = 'MooV';
    auto bytes = EncodeAliasRecord(info);
    ASSERT_GT(bytes.size(), 150u);
    EXPECT_EQ(bytes[4] << 8 | bytes[5], int(bytes.size()));  // aliasSize
    EXPECT_EQ(bytes[7], 2);                                   // version

    AliasRecordInfo back;
    ASSERT_EQ(DecodeAliasRecord(bytes, &back), noErr);
    EXPECT_EQ(back.fileName, "clip.mov");
    EXPECT_EQ(back.volumeName, info.volumeName);
    EXPECT_EQ(back.nlvlFrom, 1);
    EXPECT_EQ(back.nlvlTo, 2);
    EXPECT_EQ(back.posixPath, fs::weakly_canonical(dir / "media/clip.mov").string());
    EXPECT_EQ(back.parentName, "media");
    EXPECT_EQ(back.fileType, OSType('MooV'));
    EXPECT_EQ(back.hfsPath.substr(0, info.volumeName.size()), info.volumeName);
    EXPECT_EQ(back.hfsPath.substr(back.hfsPath.size() - 15), ":media:clip.mov");
}

TEST(AliasRecord, LevelsCountFoldersToTheCommonFolderPlusOne)
{
    ScratchFolder dir;
    fs::create_directories(dir / "a/b");
    fs::create_directories(dir / "c");
    WriteFileBytes(dir / "a/b/x.mov", {1});
    AliasRecordInfo same = DescribeAliasTarget(dir / "a/b/x.mov", dir / "a/b/ref.mov");
    EXPECT_EQ(same.nlvlFrom, 1);
    EXPECT_EQ(same.nlvlTo, 1);
    AliasRecordInfo across = DescribeAliasTarget(dir / "a/b/x.mov", dir / "c/ref.mov");
    EXPECT_EQ(across.nlvlFrom, 2);
    EXPECT_EQ(across.nlvlTo, 3);
}

TEST(AliasRecord, ShortRecordsAndFieldsRunningPastTheEndAreRejected)
{
    std::vector<UInt8> bytes(160, 0);
    bytes[5] = 160;
    bytes[150] = 0, bytes[151] = 18;  // POSIX path
    bytes[152] = 0x10, bytes[153] = 0;  // 4096 bytes claimed
    AliasRecordInfo info;
    EXPECT_EQ(DecodeAliasRecord(bytes, &info), paramErr);
    EXPECT_EQ(DecodeAliasRecord(std::vector<UInt8>(149, 0), &info), paramErr) << "shorter than the fixed part";
}

TEST(AliasRecord, ClimbingNamesAreNotUsedForTheRelativePath)
{
    AliasRecordInfo info;
    info.nlvlFrom = 1;
    info.nlvlTo = 2;
    info.posixPath = "/x/../secret";
    auto candidates = AliasCandidatePaths(info, "/tmp/movies/ref.mov");
    for (const auto& c : candidates)
        EXPECT_NE(c, "/tmp/movies/../secret");
}

TEST(AliasRecord, LongNamesAreCutBetweenCharacters)
{
    ScratchFolder dir;
    std::string name;
    for (int i = 0; i < 40; ++i)
        name += "\xC3\xA9";  // 80 bytes of two-byte characters
    name += ".mov";
    WriteFileBytes(dir / name, {1});
    AliasRecordInfo info = DescribeAliasTarget(dir / name, dir / "ref.mov");
    EXPECT_EQ(info.fileName.size(), 62u);
    AliasRecordInfo back;
    ASSERT_EQ(DecodeAliasRecord(EncodeAliasRecord(info), &back), noErr);
    auto candidates = AliasCandidatePaths(back, dir / "ref.mov");
    ASSERT_FALSE(candidates.empty());
    EXPECT_EQ(fs::path(candidates[0]).filename().string(), name);
}

TEST(DataRefUrl, FileAddressesAndRelativePathsBecomePaths)
{
    const std::pair<std::string, std::string> cases[] = {{"file:///a%20b/c.mov", "/a b/c.mov"},
                                                         {"file://localhost/x.mov", "/x.mov"},
                                                         {"media/x.mov", "/m/media/x.mov"},
                                                         {"http://example.com/x.mov", ""},
                                                         {"", ""}};
    for (const auto& [url, path] : cases) {
        std::vector<UInt8> entry(url.begin(), url.end());
        entry.push_back(0);
        EXPECT_EQ(MovieDataRefs::PathFromUrlEntry(entry, "/m/ref.mov"), path) << url;
    }
}
