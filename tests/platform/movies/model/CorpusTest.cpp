// The real files of the corpus: every well-formed one opens, and its movie
// atom written back unchanged is byte for byte what was read; every
// malformed one fails with an error code or opens with sane values.
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "MovieTestSupport.h"

namespace {

std::string Name(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The first movie atom of a file, as bytes.
std::span<const UInt8> MovieAtomOf(const std::vector<UInt8>& file)
{
    std::vector<TopLevelAtom> atoms;
    ScanTopLevelAtoms(file, &atoms);
    for (auto& a : atoms)
        if (a.type == 'moov' && !a.truncated)
            return std::span<const UInt8>(file).subspan(a.offset, a.size);
    return {};
}

// What every opened movie must satisfy, whatever the file said.
void ExpectSaneMovie(Movie m, const std::string& name)
{
    EXPECT_GT(GetMovieTimeScale(m), 0) << name;
    long tracks = GetMovieTrackCount(m);
    EXPECT_GE(tracks, 0) << name;
    for (long i = 1; i <= tracks; ++i) {
        Track t = GetMovieIndTrack(m, i);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_GE(GetTrackOffset(t), 0) << name;
        EXPECT_GE(GetTrackDuration(t), 0) << name;
        if (Media media = GetTrackMedia(t)) {
            EXPECT_GT(GetMediaTimeScale(media), 0) << name;
            EXPECT_GE(GetMediaSampleCount(media), 0) << name;
            long chunks = 0;
            ForEachMediaChunk(media, [&](const MediaChunk&) { return ++chunks < 10'000'000; });
        }
    }
}

}  // namespace

// Every well-formed file opens; its movie atom written back unchanged is
// byte for byte what was read, and what is written reads back the same.
TEST(Corpus, WellFormedFilesOpenAndAreWrittenBackUnchanged)
{
    for (auto& path : CorpusFiles("wellformed")) {
        SCOPED_TRACE(Name(path));
        auto file = ReadFileBytes(path);
        auto moov = MovieAtomOf(file);
        ASSERT_FALSE(moov.empty());
        Movie m = nullptr;
        std::string why;
        ASSERT_EQ(ParseMovieFileData(file, MovieSource{path, file.size()}, &m, &why), noErr) << why;
        EXPECT_GT(GetMovieTrackCount(m), 0);
        ExpectSaneMovie(m, Name(path));
        Movie alone = nullptr;
        ASSERT_EQ(ParseMovieAtom(moov, MovieSource{path, file.size()}, &alone), noErr);
        auto same = Serialize(alone, path);  // saving in place keeps self references
        EXPECT_TRUE(std::equal(same.begin(), same.end(), moov.begin(), moov.end()))
            << same.size() << " bytes written for " << moov.size() << " read";
        DisposeMovie(alone);
        auto out = Serialize(m, path);
        if (MovieWasFragmented(m)) {
            std::string text(out.begin(), out.end());
            EXPECT_EQ(text.find("mvex"), std::string::npos) << "fragments would be read twice";
        }
        Movie back = nullptr;
        ASSERT_EQ(ParseMovieAtom(out, MovieSource{path, file.size()}, &back), noErr);
        ASSERT_EQ(GetMovieTrackCount(back), GetMovieTrackCount(m));
        EXPECT_EQ(GetMovieDuration(back), GetMovieDuration(m));
        for (long i = 1; i <= GetMovieTrackCount(m); ++i) {
            SCOPED_TRACE(i);
            Track a = GetMovieIndTrack(m, i), b = GetMovieIndTrack(back, i);
            EXPECT_EQ(GetTrackOffset(b), GetTrackOffset(a));
            EXPECT_EQ(GetTrackDuration(b), GetTrackDuration(a));
            EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(b)), GetMediaSampleCount(GetTrackMedia(a)));
            EXPECT_EQ(GetMediaDuration(GetTrackMedia(b)), GetMediaDuration(GetTrackMedia(a)));
        }
        DisposeMovie(back);
        DisposeMovie(m);
    }
}

TEST(Corpus, MalformedFilesFailCleanlyOrOpenSanely)
{
    for (auto& path : CorpusFiles("malformed")) {
        auto file = ReadFileBytes(path);
        Movie m = nullptr;
        std::string why;
        OSErr err = ParseMovieFileData(file, MovieSource{path, file.size()}, &m, &why);
        if (err != noErr) {
            EXPECT_EQ(m, nullptr);
            EXPECT_TRUE(err == invalidMovie || err == noMovieFound) << Name(path) << " gave " << err;
            EXPECT_FALSE(why.empty()) << Name(path);
            continue;
        }
        ExpectSaneMovie(m, Name(path));
        std::vector<UInt8> out;
        EXPECT_EQ(SerializeMovieAtom(m, SerializeOptions{}, &out), noErr) << Name(path);
        DisposeMovie(m);
    }
}

TEST(Corpus, EveryPrefixOfAFileFailsCleanlyOrOpens)
{
    // Truncation at every point of a small file: no crash, no hang.
    auto path = std::string(ORVO_CORPUS_DIR) + "/wellformed/filetype-fixture.mov";
    auto file = ReadFileBytes(path);
    for (size_t n = 0; n <= file.size(); n += 7) {
        std::vector<UInt8> prefix(file.begin(), file.begin() + long(n));
        Movie m = nullptr;
        if (ParseMovieFileData(prefix, MovieSource{path, n}, &m) == noErr) {
            ExpectSaneMovie(m, "prefix");
            DisposeMovie(m);
        }
    }
}

TEST(Corpus, MovieAtomsWithFlippedBytesNeverCrash)
{
    // Deterministic damage: each round flips a few bytes of a real movie
    // atom; whatever the reader makes of it must be usable or refused.
    std::mt19937 random(12345);
    for (const char* name : {"filetype-fixture.mov", "mp4parse-afconvert-aac-0.5s.mp4", "androidx-sample_twos_pcm.mp4",
                             "gomp4-sample_fragmented.mp4"}) {
        auto path = std::string(ORVO_CORPUS_DIR) + "/wellformed/" + name;
        auto file = ReadFileBytes(path);
        for (int round = 0; round < 400; ++round) {
            auto damaged = file;
            for (int k = 0; k < 1 + round % 4; ++k)
                damaged[random() % damaged.size()] ^= UInt8(1u << (random() % 8));
            Movie m = nullptr;
            if (ParseMovieFileData(damaged, MovieSource{path, damaged.size()}, &m) != noErr)
                continue;
            ExpectSaneMovie(m, name);
            if (Track t = GetMovieIndTrack(m, 1)) {
                TimeValue d = GetTrackDuration(t);
                if (d > 0 && d < INT32_MAX / 2)
                    ScaleTrackSegment(t, 0, d, d * 2 + 1);
                InsertEmptyTrackSegment(t, 0, 100);
                SetMovieTimeScale(m, 997);
            }
            std::vector<UInt8> out;
            SerializeMovieAtom(m, SerializeOptions{}, &out);
            DisposeMovie(m);
        }
    }
}

TEST(Corpus, AnOpenEndedEditOfAFragmentedMovieLastsToTheEndOfTheMedia)
{
    // elst [960 empty; 0 at media time 0]: the 0 means "to the end", known
    // only once the fragments are read (2 s of video at 12800/s).
    auto path = std::string(ORVO_CORPUS_DIR) + "/wellformed/mp4ff-vvc_400kbps_2s.mp4";
    auto file = ReadFileBytes(path);
    Movie m = nullptr;
    ASSERT_EQ(ParseMovieFileData(file, MovieSource{path, file.size()}, &m), noErr);
    Track t = GetMovieIndTrack(m, 1);
    EXPECT_EQ(GetTrackOffset(t), 960);
    EXPECT_EQ(GetTrackDuration(t), 2000);
    EXPECT_EQ(GetMovieDuration(m), 2960);
    DisposeMovie(m);
}
