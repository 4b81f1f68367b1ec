#include <gtest/gtest.h>

#include "platform/movies/moviefiles/MovieFileErrors.h"
#include "platform/movies/moviefiles/ResourceFork.h"

namespace {

ResourceForkEntry Entry(ResType type, SInt16 id, std::vector<UInt8> data, std::string name = "")
{
    ResourceForkEntry e;
    e.type = type;
    e.id = id;
    e.data = std::move(data);
    e.hasName = !name.empty();
    e.name = name;
    return e;
}

// Two movies, the higher ID first, and another type between them.
std::vector<UInt8> SampleFork()
{
    ResourceFork fork;
    fork.Set(Entry('moov', 300, {4, 5}));
    fork.Set(Entry('STR ', 5, {9}));
    fork.Set(Entry('moov', 128, {1, 2, 3}, "Movie"));
    std::vector<UInt8> bytes;
    EXPECT_EQ(fork.Encode(&bytes), noErr);
    return bytes;
}

}  // namespace

// The first of a type is the first in the map, not the lowest ID.
TEST(ResourceFork, EncodedForkDecodesToTheSameResourcesInMapOrder)
{
    auto bytes = SampleFork();
    // The data starts after the reserved header area.
    EXPECT_EQ(bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3], 256);
    ResourceFork back;
    ASSERT_EQ(ResourceFork::Decode(bytes, &back), noErr);
    ASSERT_EQ(back.Entries().size(), 3u);
    const ResourceForkEntry* movie = back.Find('moov', 128);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->data, (std::vector<UInt8>{1, 2, 3}));
    EXPECT_TRUE(movie->hasName);
    EXPECT_EQ(movie->name, "Movie");
    EXPECT_FALSE(back.Find('moov', 300)->hasName);
    EXPECT_EQ(back.Find('STR ', 5)->data, (std::vector<UInt8>{9}));
    EXPECT_EQ(back.FirstOfType('moov')->id, 300);
    EXPECT_EQ(back.FirstOfType('snd '), nullptr);
}

TEST(ResourceFork, EmptyForkRoundTripsAndSetReplacesTheSameTypeAndID)
{
    ResourceFork fork;
    EXPECT_EQ(ResourceFork::Decode({}, &fork), noErr);
    EXPECT_TRUE(fork.Entries().empty());
    std::vector<UInt8> bytes;
    ASSERT_EQ(fork.Encode(&bytes), noErr);
    EXPECT_EQ(ResourceFork::Decode(bytes, &fork), noErr);
    EXPECT_TRUE(fork.Entries().empty());
    // UniqueID skips the IDs in use.
    EXPECT_EQ(fork.UniqueID('moov'), 128);
    fork.Set(Entry('moov', 128, {1}));
    fork.Set(Entry('moov', 128, {7, 7}));
    ASSERT_EQ(fork.Entries().size(), 1u);
    EXPECT_EQ(fork.Entries()[0].data.size(), 2u);
    fork.Set(Entry('moov', 129, {}));
    EXPECT_EQ(fork.UniqueID('moov'), 130);
    EXPECT_EQ(fork.UniqueID('STR '), 128);
}

TEST(ResourceFork, DamagedAndTruncatedMapsAreRejected)
{
    auto sample = SampleFork();
    std::size_t map = sample[4] << 24 | sample[5] << 16 | sample[6] << 8 | sample[7];
    struct Damage {
        const char* name;
        std::size_t at;
    } damages[] = {
        {"map offset past the end", 4},
        {"resource length past the data", 256},
        {"type count beyond the map", map + 28},
    };
    for (const auto& d : damages) {
        auto bytes = sample;
        bytes[d.at] = 0x7F;
        ResourceFork fork;
        EXPECT_EQ(ResourceFork::Decode(bytes, &fork), mapReadErr) << d.name;
    }
    for (std::size_t n = 1; n < sample.size(); ++n) {
        ResourceFork fork;
        EXPECT_EQ(ResourceFork::Decode({sample.begin(), sample.begin() + long(n)}, &fork), mapReadErr) << "cut at " << n;
    }
}
