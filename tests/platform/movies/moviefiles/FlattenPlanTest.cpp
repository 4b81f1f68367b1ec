#include <algorithm>
#include <gtest/gtest.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/moviefiles/FlattenPlan.h"
#include "platform/movies/moviefiles/MovieFiles.h"

// Small pieces only: the copies follow each other without gaps after the
// media data header, and every chunk gets a new offset inside the data.
TEST(FlattenPlan, CopiesTileTheDataAndEveryChunkLiesInside)
{
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    FlattenPlan plan;
    ASSERT_EQ(FlattenPlan::Make(src.movie, 0, 20, &plan), noErr);
    ASSERT_FALSE(plan.copies.empty());
    EXPECT_EQ(plan.dataStart, 28u);
    UInt64 at = plan.dataStart;
    for (const auto& c : plan.copies) {
        EXPECT_EQ(c.destinationOffset, at);
        at += c.length;
    }
    EXPECT_EQ(at - plan.dataStart, plan.dataLength);
    EXPECT_FALSE(plan.needsCo64);
    ASSERT_EQ(plan.tracks.size(), 2u);
    for (const auto& track : plan.tracks)
        for (UInt64 offset : *track.table.chunkOffsets) {
            EXPECT_GE(offset, plan.dataStart);
            EXPECT_LT(offset, plan.dataStart + plan.dataLength);
        }
}

TEST(FlattenPlan, OffsetsPastFourGigabytesAskForCo64)
{
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    FlattenPlan plan;
    ASSERT_EQ(FlattenPlan::Make(src.movie, 0, 5ull << 30, &plan), noErr);
    EXPECT_TRUE(plan.needsCo64);
    EXPECT_GT(plan.dataStart, 0xFFFFFFFFull);
}

TEST(FlattenPlan, MediaDataHeaderGrowsForMoreThanFourGigabytes)
{
    EXPECT_EQ(FlattenPlan::MediaDataHeaderSize(1000), 8u);
    EXPECT_EQ(FlattenPlan::MediaDataHeaderSize(0xFFFFFFFFull - 8), 8u);
    EXPECT_EQ(FlattenPlan::MediaDataHeaderSize(0xFFFFFFFFull - 7), 16u);
}

TEST(FlattenPlan, ChunksHoldAboutHalfASecondAndAlternateBetweenTracks)
{
    OpenMovie src(FixtureMovies::Path("av.mov"));
    ASSERT_NE(src.movie, nullptr);
    FlattenPlan plan;
    ASSERT_EQ(FlattenPlan::Make(src.movie, 0, 20, &plan), noErr);
    ASSERT_EQ(plan.tracks.size(), 2u);
    for (const auto& track : plan.tracks) {
        const auto& runs = track.table.chunkRuns;
        ASSERT_FALSE(runs.empty());
        UInt32 delta = track.table.times.at(0).delta;
        for (const auto& run : runs)
            EXPECT_LE(double(run.samplesPerChunk - 1) * delta / track.timeScale, 0.5);
        EXPECT_GE(double(runs[0].samplesPerChunk) * delta / track.timeScale, 0.5);
        // Two seconds in chunks of half a second.
        EXPECT_EQ(track.table.ChunkCount(), 4u);
    }
    // In the file, the chunks follow the time they start at, whatever their
    // track (every sample of these tracks lasts the same).
    std::vector<std::pair<UInt64, double>> chunks;
    for (const auto& track : plan.tracks) {
        UInt64 sample = 0;
        double seconds = double(track.table.times.at(0).delta) / track.timeScale;
        for (UInt32 c = 0; c < track.table.ChunkCount(); ++c) {
            chunks.push_back({(*track.table.chunkOffsets)[c], double(sample) * seconds});
            auto run = std::upper_bound(track.table.chunkRuns.begin(), track.table.chunkRuns.end(), c + 1,
                                        [](UInt32 chunk, const SampleToChunkRun& r) { return chunk < r.firstChunk; });
            sample += (run - 1)->samplesPerChunk;
        }
    }
    std::sort(chunks.begin(), chunks.end());
    for (size_t i = 1; i < chunks.size(); ++i)
        EXPECT_LE(chunks[i - 1].second, chunks[i].second) << i;
}

// Frames of 338 KiB between pieces of sound: each frame keeps its place
// within a page, a gap of less than a page before it where needed, and the
// sound follows on; the copy shows the same (FlattenEditsTest).
TEST(FlattenPlan, LargePiecesKeepTheirPlaceWithinAPage)
{
    OpenMovie src(FixtureMovies::Path("raw.mov"));
    ASSERT_NE(src.movie, nullptr);
    FlattenPlan plan;
    ASSERT_EQ(FlattenPlan::Make(src.movie, 0, 20, &plan), noErr);
    UInt64 at = plan.dataStart;
    int large = 0;
    for (const auto& c : plan.copies) {
        bool isLarge = c.length >= FlattenPlan::kPageAlignedPiece;
        large += isLarge;
        if (isLarge) {
            EXPECT_EQ(c.destinationOffset % 4096, c.sourceOffset % 4096);
        }
        EXPECT_LT(c.destinationOffset - at, isLarge ? 4096u : 1u) << "in order, a gap only before a large piece";
        at = c.destinationOffset + c.length;
    }
    EXPECT_EQ(large, 50);
    EXPECT_EQ(at, plan.dataStart + plan.dataLength);
}
