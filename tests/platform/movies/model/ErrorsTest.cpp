// GetMoviesError: the classic codes for bad references and bad arguments.
#include <zlib.h>

#include <gtest/gtest.h>

#include "MovieTestSupport.h"

// Every getter answers a nil or disposed reference with an empty value and
// the classic code for the kind of reference, and a live one with noErr.
TEST(MoviesErrors, BadReferencesGiveTheirClassicCodes)
{
    struct Getter {
        const char* name;
        OSErr badCode;
        long (*get)(Movie, Track, Media);
    } getters[] = {
        {"GetMovieDuration", invalidMovie, [](Movie m, Track, Media) { return long(GetMovieDuration(m)); }},
        {"GetMovieTimeScale", invalidMovie, [](Movie m, Track, Media) { return long(GetMovieTimeScale(m)); }},
        {"GetMovieTrackCount", invalidMovie, [](Movie m, Track, Media) { return GetMovieTrackCount(m); }},
        {"GetMoviePreferredRate", invalidMovie, [](Movie m, Track, Media) { return long(GetMoviePreferredRate(m)); }},
        {"GetTrackID", invalidTrack, [](Movie, Track t, Media) { return GetTrackID(t); }},
        {"GetTrackDuration", invalidTrack, [](Movie, Track t, Media) { return long(GetTrackDuration(t)); }},
        {"GetTrackEnabled", invalidTrack, [](Movie, Track t, Media) { return long(GetTrackEnabled(t)); }},
        {"GetTrackEditCount", invalidTrack, [](Movie, Track t, Media) { return GetTrackEditCount(t); }},
        {"GetMediaTimeScale", invalidMedia, [](Movie, Track, Media d) { return long(GetMediaTimeScale(d)); }},
        {"GetMediaSampleCount", invalidMedia, [](Movie, Track, Media d) { return GetMediaSampleCount(d); }},
        {"CountMediaDataRefs", invalidMedia, [](Movie, Track, Media d) { return long(CountMediaDataRefs(d)); }},
    };
    Movie m = ParseOrFail(BuildMovieAtom(600, {TestTrack{}}));
    Track t = GetMovieIndTrack(m, 1);
    Media d = GetTrackMedia(t);
    for (const auto& g : getters) {
        SCOPED_TRACE(g.name);
        EXPECT_NE(g.get(m, t, d), 0);
        EXPECT_EQ(GetMoviesError(), noErr);
        EXPECT_EQ(g.get(nullptr, nullptr, nullptr), 0);
        EXPECT_EQ(GetMoviesError(), g.badCode);
    }
    DisposeMovie(m);
    for (const auto& g : getters) {
        SCOPED_TRACE(g.name);
        EXPECT_EQ(g.get(m, t, d), 0);
        EXPECT_EQ(GetMoviesError(), g.badCode);
    }
}

// Lookups say what was not found; bad scale arguments are paramErr (or
// invalidTime past the track) and change nothing.
TEST(MoviesErrors, LookupsAndBadArgumentsGiveTheirCodes)
{
    Movie m = ParseOrFail(BuildMovieAtom(600, {TestTrack{}}));
    EXPECT_EQ(GetMovieIndTrack(m, 0), nullptr);
    EXPECT_EQ(GetMoviesError(), badTrackIndex);
    EXPECT_EQ(GetMovieIndTrack(m, 2), nullptr);
    EXPECT_EQ(GetMovieTrack(m, 99), nullptr);
    EXPECT_EQ(GetMoviesError(), trackIDNotFound);
    EXPECT_NE(GetMovieTrack(m, 1), nullptr);
    EXPECT_EQ(GetMoviesError(), noErr);
    Handle h = nullptr;
    Track t = GetMovieIndTrack(m, 1);
    EXPECT_EQ(GetMediaDataRef(GetTrackMedia(t), 2, &h, nullptr, nullptr), badDataRefIndex);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(ScaleTrackSegment(t, 0, 0, 100), paramErr);
    EXPECT_EQ(ScaleTrackSegment(t, 0, 100, -1), paramErr);
    EXPECT_EQ(ScaleTrackSegment(t, 0, 100000, 100), invalidTime);
    EXPECT_EQ(ScaleMovieSegment(m, -1, 10, 10), paramErr);
    SetMovieTimeScale(m, 0);
    EXPECT_EQ(GetMoviesError(), paramErr);
    EXPECT_EQ(GetMovieTimeScale(m), 600);
    EXPECT_FALSE(HasMovieChanged(m));
    DisposeMovie(m);
}

AtomBytes CompressedMovieAtom(const AtomBytes& cmvd)
{
    return AtomBytes::Atom("moov", AtomBytes::Atom("cmov", AtomBytes::Atom("dcom", AtomBytes().Code("zlib"))
                                                               .Add(AtomBytes::Atom("cmvd", cmvd))));
}

// A movie atom without its header, or compressed claiming a huge size.
TEST(MoviesErrors, ImplausibleMovieAtomsAreInvalidSayingWhy)
{
    const std::pair<AtomBytes, const char*> cases[] = {
        {AtomBytes::Atom("moov", AtomBytes::Atom("free")), "mvhd"},
        {CompressedMovieAtom(AtomBytes().U32(0xFFFFFFF0).U32(0x78DA0300)), "implausible"},
    };
    for (const auto& [moov, why] : cases) {
        Movie m = nullptr;
        std::string reason;
        EXPECT_EQ(ParseMovieAtom(moov.bytes, MovieSource{}, &m, &reason), invalidMovie) << why;
        EXPECT_EQ(m, nullptr);
        EXPECT_NE(reason.find(why), std::string::npos) << reason;
    }
}

TEST(MoviesErrors, CompressedMovieHeaderIsInflated)
{
    auto plain = BuildMovieAtom(600, {TestTrack{}});
    uLongf size = compressBound(uLong(plain.Size()));
    std::vector<UInt8> packed(size);
    ASSERT_EQ(compress(packed.data(), &size, plain.bytes.data(), uLong(plain.Size())), Z_OK);
    packed.resize(size);
    AtomBytes cmvd;
    cmvd.U32(UInt32(plain.Size())).bytes.insert(cmvd.bytes.end(), packed.begin(), packed.end());
    Movie m = ParseOrFail(CompressedMovieAtom(cmvd));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(GetMovieIndTrack(m, 1))), 10);
    EXPECT_EQ(Serialize(m), plain.bytes) << "written back uncompressed";
    DisposeMovie(m);
}

TEST(MoviesErrors, ManyLongEditsStayUsable)
{
    TestTrack t;
    for (int i = 0; i < 5000; ++i)
        t.edits.push_back({0xFFFFFFFFu, 0});
    auto moov = BuildMovieAtom(600, {t});
    // 5000 edits of 2^32 units: far past 32 bits, well inside the model's range.
    Movie m = ParseOrFail(moov);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GetTrackDuration(GetMovieIndTrack(m, 1)), INT32_MAX);
    EXPECT_EQ(GetMoviesError(), invalidDuration);
    EXPECT_EQ(ScaleTrackSegment(GetMovieIndTrack(m, 1), 0, 1000, 2000), noErr);
    DisposeMovie(m);
}
