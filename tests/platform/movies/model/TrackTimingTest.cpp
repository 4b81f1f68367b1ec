// Track time: offsets as leading empty edits, durations, time scale changes,
// scaling, and inserting and deleting segments.
#include <gtest/gtest.h>

#include "MovieTestSupport.h"

namespace {

// The first track's edit list in serialized bytes (found by its type).
std::vector<std::array<SInt64, 3>> ElstIn(const std::vector<UInt8>& moov, size_t which = 0)
{
    std::vector<std::array<SInt64, 3>> out;
    size_t seen = 0;
    for (size_t i = 4; i + 8 <= moov.size(); ++i) {
        if (std::memcmp(&moov[i], "elst", 4) != 0 || seen++ != which)
            continue;
        auto u32 = [&](size_t at) {
            return (UInt32(moov[at]) << 24) | (UInt32(moov[at + 1]) << 16) | (UInt32(moov[at + 2]) << 8) | moov[at + 3];
        };
        UInt32 count = u32(i + 8);
        for (UInt32 k = 0; k < count; ++k) {
            size_t at = i + 12 + k * 12;
            out.push_back({SInt64(u32(at)), SInt64(SInt32(u32(at + 4))), SInt64(SInt32(u32(at + 8)))});
        }
        break;
    }
    return out;
}

TestTrack VideoTrack(std::vector<TestEdit> edits = {})
{
    TestTrack t;
    t.edits = std::move(edits);
    return t;
}

}  // namespace

// A leading empty edit is read as the offset, and an offset is written as
// one empty edit in front of the track's edits; a negative one is refused.
TEST(TrackTiming, OffsetIsALeadingEmptyEdit)
{
    Movie m = ParseOrFail(BuildMovieAtom(600, {VideoTrack({{1200, -1}, {600, 0}})}));
    Track t = GetMovieIndTrack(m, 1);
    EXPECT_EQ(GetTrackOffset(t), 1200);
    EXPECT_EQ(GetTrackDuration(t), 600);
    EXPECT_EQ(GetTrackEditCount(t), 1);
    EXPECT_EQ(GetMovieDuration(m), 1800);
    SetTrackOffset(t, 300);
    auto elst = ElstIn(Serialize(m));
    ASSERT_EQ(elst.size(), 2u);
    EXPECT_EQ(elst[0], (std::array<SInt64, 3>{300, -1, 0x10000}));
    EXPECT_EQ(elst[1], (std::array<SInt64, 3>{600, 0, 0x10000}));
    SetTrackOffset(t, -5);
    EXPECT_EQ(GetMoviesError(), paramErr);
    EXPECT_EQ(GetTrackOffset(t), 300);
    DisposeMovie(m);
}

TEST(TrackTiming, TrackWithoutEditListPlaysItsWholeMedia)
{
    Movie m = ParseOrFail(BuildMovieAtom(1000, {VideoTrack()}));  // 600 units at 600/s
    Track t = GetMovieIndTrack(m, 1);
    EXPECT_EQ(GetTrackDuration(t), 1000);
    EXPECT_EQ(GetTrackOffset(t), 0);
    EXPECT_TRUE(ElstIn(Serialize(m)).empty()) << "an untouched track gains no edit list";
    SetTrackOffset(t, 10);
    EXPECT_EQ(ElstIn(Serialize(m)).size(), 2u);
    DisposeMovie(m);
}

// The movie lasts as long as its longest offset plus duration; scaling the
// movie scales offsets too.
TEST(TrackTiming, MovieDurationIsTheLongestOffsetPlusDurationAndScalesWithOffsets)
{
    TestTrack a = VideoTrack({{500, -1}, {600, 0}});
    TestTrack b = VideoTrack({{900, 0}});
    b.id = 2;
    Movie m = ParseOrFail(BuildMovieAtom(600, {a, b}));
    EXPECT_EQ(GetMovieDuration(m), 1100);
    SetTrackOffset(GetMovieIndTrack(m, 1), 300);
    EXPECT_EQ(GetMovieDuration(m), 900);
    SetTrackOffset(GetMovieIndTrack(m, 2), 400);
    EXPECT_EQ(GetMovieDuration(m), 1300);
    SetTrackOffset(GetMovieIndTrack(m, 2), 0);
    ASSERT_EQ(ScaleMovieSegment(m, 0, 900, 1800), noErr);
    EXPECT_EQ(GetTrackOffset(GetMovieIndTrack(m, 1)), 600);
    EXPECT_EQ(GetTrackDuration(GetMovieIndTrack(m, 1)), 1200);
    EXPECT_EQ(GetTrackDuration(GetMovieIndTrack(m, 2)), 1800);
    EXPECT_EQ(GetMovieDuration(m), 1800);
    DisposeMovie(m);
}

TEST(TrackTiming, SetMovieTimeScaleConvertsEveryMovieTimeRoundingToNearest)
{
    Movie m = ParseOrFail(BuildMovieAtom(600, {VideoTrack({{1, -1}, {200, 0}, {400, 100}})}));
    SetMoviePosterTime(m, 299);
    SetMovieSelection(m, 3, 5);
    ClearMovieChanged(m);
    SetMovieTimeScale(m, 1000);
    EXPECT_EQ(GetMoviesError(), noErr);
    Track t = GetMovieIndTrack(m, 1);
    EXPECT_EQ(GetMovieTimeScale(m), 1000);
    EXPECT_EQ(GetTrackOffset(t), 2);           // 1.67 -> 2
    EXPECT_EQ(GetTrackDuration(t), 1000);      // boundaries 2, 335, 1002
    TimeValue d1 = 0, d2 = 0, mt = 0;
    GetTrackEditInfo(t, 1, &d1, &mt, nullptr);
    GetTrackEditInfo(t, 2, &d2, &mt, nullptr);
    EXPECT_EQ(d1, 333);
    EXPECT_EQ(d2, 667);
    EXPECT_EQ(mt, 100) << "media times are in the media's scale and stay";
    EXPECT_EQ(GetMoviePosterTime(m), 498);     // 498.33
    TimeValue selStart = 0, selDuration = 0;
    GetMovieSelection(m, &selStart, &selDuration);
    EXPECT_EQ(selStart, 5);
    EXPECT_EQ(selDuration, 8);                 // 8.33
    EXPECT_TRUE(HasMovieChanged(m));
    DisposeMovie(m);
}

TEST(TrackTiming, ScaleTrackSegmentMakesEditsSumExactlyAndDividesRates)
{
    Movie m = ParseOrFail(BuildMovieAtom(600, {VideoTrack({{200, 0}, {200, 200}, {200, 400}})}));
    Track t = GetMovieIndTrack(m, 1);
    ASSERT_EQ(ScaleTrackSegment(t, 0, 600, 1001), noErr);
    EXPECT_EQ(GetTrackDuration(t), 1001);
    SInt64 sum = 0;
    for (long i = 1; i <= GetTrackEditCount(t); ++i) {
        TimeValue d = 0, mt = 0;
        Fixed rate = 0;
        GetTrackEditInfo(t, i, &d, &mt, &rate);
        sum += d;
        EXPECT_EQ(rate, Fixed((0x10000LL * 600 + 500) / 1001)) << "edit " << i;
    }
    EXPECT_EQ(sum, 1001);
    DisposeMovie(m);
}

// Edits cut, scaled and inserted at a time: the edits that follow in the
// model and in the written edit list.
TEST(TrackTiming, EditingAtATimeSplitsEditsAndMovesWhatFollows)
{
    using Edits = std::vector<std::array<SInt64, 3>>;
    TestTrack thirtyASecond = VideoTrack({{600, 0}});
    thirtyASecond.mediaScale = 30;
    thirtyASecond.sampleDelta = 1;
    thirtyASecond.sampleCount = 30;
    struct Case {
        const char* name;
        TestTrack track;
        OSErr (*edit)(Track);
        Edits edits;
        TimeValue duration;
    } cases[] = {
        {"scale part", VideoTrack({{600, 0}}), [](Track t) { return ScaleTrackSegment(t, 200, 200, 400); },
         {{200, 0, 0x10000}, {400, 200, 0x8000}, {200, 400, 0x10000}}, 800},
        // Turning an offset into an empty segment at 0 (as saving with
        // flattened offsets does) keeps when the media plays.
        {"offset made an empty segment", VideoTrack({{600, -1}, {600, 0}}),
         [](Track t) {
             TimeValue offset = GetTrackOffset(t);
             SetTrackOffset(t, 0);
             return InsertEmptyTrackSegment(t, 0, offset);
         },
         {{600, -1, 0x10000}, {600, 0, 0x10000}}, 1200},
        {"empty segment inside an edit: 300/600 s into a 30/s media", thirtyASecond,
         [](Track t) { return InsertEmptyTrackSegment(t, 300, 100); },
         {{300, 0, 0x10000}, {100, -1, 0x10000}, {300, 15, 0x10000}}, 700},
        {"delete", VideoTrack({{600, 0}}), [](Track t) { return DeleteTrackSegment(t, 100, 200); },
         {{100, 0, 0x10000}, {300, 300, 0x10000}}, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Movie m = ParseOrFail(BuildMovieAtom(600, {c.track}));
        Track t = GetMovieIndTrack(m, 1);
        ASSERT_EQ(c.edit(t), noErr);
        EXPECT_TRUE(HasMovieChanged(m));
        EXPECT_EQ(GetTrackOffset(t), 0);
        EXPECT_EQ(GetTrackDuration(t), c.duration);
        Edits edits;
        for (long i = 1; i <= GetTrackEditCount(t); ++i) {
            TimeValue d = 0, mt = 0;
            Fixed rate = 0;
            GetTrackEditInfo(t, i, &d, &mt, &rate);
            edits.push_back({d, mt, rate});
        }
        EXPECT_EQ(edits, c.edits);
        EXPECT_EQ(ElstIn(Serialize(m)), c.edits);
        DisposeMovie(m);
    }
}
