// The changed flag: set by every call that changes the movie's structure or
// timing, and only when a value really changes; the movie box is how the
// movie is shown and does not count, but it becomes the saved matrix.
#include <gtest/gtest.h>

#include "MovieTestSupport.h"

namespace {

Movie TwoTrackMovie()
{
    TestTrack a;
    a.edits = {{600, 0}};
    TestTrack b = a;
    b.id = 2;
    b.type = "soun";
    b.width = b.height = 0;
    return ParseOrFail(BuildMovieAtom(600, {a, b}));
}

UInt32 U32At(const std::vector<UInt8>& v, size_t at)
{
    return (UInt32(v[at]) << 24) | (UInt32(v[at + 1]) << 16) | (UInt32(v[at + 2]) << 8) | v[at + 3];
}

// mvhd's matrix: a, b, u, c, d, v, tx, ty, w after 36 bytes of fields.
std::vector<UInt32> SavedMovieMatrix(const std::vector<UInt8>& moov)
{
    std::vector<UInt32> m;
    for (int i = 0; i < 9; ++i)
        m.push_back(U32At(moov, 16 + 4 + 32 + size_t(i) * 4));
    return m;
}

}  // namespace

// A movie just read is unchanged, and setting a value it already has
// leaves it so.
TEST(ChangedFlag, SettingTheSameValueLeavesItClear)
{
    Movie m = TwoTrackMovie();
    EXPECT_FALSE(HasMovieChanged(m));
    Track t = GetMovieIndTrack(m, 1);
    SetTrackOffset(t, GetTrackOffset(t));
    SetTrackEnabled(t, GetTrackEnabled(t));
    SetMovieTimeScale(m, GetMovieTimeScale(m));
    SetMoviePreferredRate(m, GetMoviePreferredRate(m));
    ScaleTrackSegment(t, 0, GetTrackDuration(t), GetTrackDuration(t));
    ScaleMovieSegment(m, 0, GetMovieDuration(m), GetMovieDuration(m));
    InsertEmptyTrackSegment(t, 0, 0);
    EXPECT_FALSE(HasMovieChanged(m));
    DisposeMovie(m);
}

// What each change writes is checked where movies are saved.
TEST(ChangedFlag, EachRealChangeSetsItUntilCleared)
{
    const std::pair<const char*, void (*)(Movie, Track)> changes[] = {
        {"offset", [](Movie, Track t) { SetTrackOffset(t, 5); }},
        {"enabled", [](Movie, Track t) { SetTrackEnabled(t, false); }},
        {"time scale", [](Movie m, Track) { SetMovieTimeScale(m, 1000); }},
        {"preferred rate", [](Movie m, Track) { SetMoviePreferredRate(m, 0x18000); }},
        {"scale track", [](Movie, Track t) { ScaleTrackSegment(t, 0, 600, 300); }},
        {"scale movie", [](Movie m, Track) { ScaleMovieSegment(m, 0, 600, 1200); }},
        {"empty segment", [](Movie, Track t) { InsertEmptyTrackSegment(t, 0, 10); }},
        {"new track", [](Movie m, Track) { NewMovieTrack(m, 0, 0, 0); }},
        {"new media", [](Movie, Track t) { NewTrackMedia(t, 'vide', 600, nullptr, 0); }},
    };
    for (auto& [name, apply] : changes) {
        SCOPED_TRACE(name);
        Movie m = TwoTrackMovie();
        apply(m, GetMovieIndTrack(m, 1));
        EXPECT_TRUE(HasMovieChanged(m));
        ClearMovieChanged(m);
        EXPECT_FALSE(HasMovieChanged(m));
        DisposeMovie(m);
    }
}

// The box is how the movie is shown and does not mark it changed, but the
// box at saving time becomes the saved matrix.
TEST(ChangedFlag, TheBoxIsNoChangeButBecomesTheSavedMatrix)
{
    Movie m = TwoTrackMovie();
    Rect natural;
    GetMovieBox(m, &natural);
    EXPECT_EQ(natural.bottom, 240);
    EXPECT_EQ(natural.right, 320);
    Rect doubled{10, 20, 490, 660};
    SetMovieBox(m, &doubled);
    EXPECT_FALSE(HasMovieChanged(m));
    auto matrix = SavedMovieMatrix(Serialize(m));
    EXPECT_EQ(matrix[0], 0x20000u);
    EXPECT_EQ(matrix[4], 0x20000u);
    EXPECT_EQ(matrix[6], UInt32(20 << 16));
    EXPECT_EQ(matrix[7], UInt32(10 << 16));
    SetMovieBox(m, &natural);
    EXPECT_EQ(SavedMovieMatrix(Serialize(m))[0], 0x10000u);
    DisposeMovie(m);
}
