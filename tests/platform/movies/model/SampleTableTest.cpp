// Sample tables in run form: chunks with their sizes and times, lookups by
// time, fragments merged, and huge tables that stay small.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

#include "MovieTestSupport.h"
#include "platform/movies/model/SampleTable.h"

namespace {

std::vector<MediaChunk> Chunks(Media media)
{
    std::vector<MediaChunk> chunks;
    ForEachMediaChunk(media, [&](const MediaChunk& c) {
        chunks.push_back(c);
        return true;
    });
    return chunks;
}

// A fragmented file: ftyp-less moov (one track without samples, trex
// defaults), then moof+mdat pairs.
std::vector<UInt8> FragmentedFile(int fragments, UInt32 samplesPerFragment, UInt32 firstDecodeTime = 0)
{
    TestTrack t;
    t.sampleCount = 0;
    t.edits = {};
    AtomBytes moov = BuildMovieAtom(1000, {t});
    // Put an mvex with trex (duration 512, size 7, sync) into the moov.
    AtomBytes trex;
    trex.U32(1).U32(1).U32(512).U32(7).U32(0);
    AtomBytes mvex = AtomBytes::Atom("mvex", AtomBytes::Full("trex", 0, 0, trex));
    std::vector<UInt8> body(moov.bytes.begin() + 8, moov.bytes.end());
    AtomBytes inner;
    inner.bytes = body;
    inner.Add(mvex);
    AtomBytes file = AtomBytes::Atom("moov", inner);
    for (int f = 0; f < fragments; ++f) {
        // tfhd: default-base-is-moof; trun: data offset (just past the moof
        // and the mdat header) and per-sample flags.
        auto moof = [&](UInt32 dataOffset) {
            AtomBytes trun;
            trun.U32(samplesPerFragment).U32(dataOffset);
            for (UInt32 s = 0; s < samplesPerFragment; ++s)
                trun.U32(s == 0 ? 0 : 0x00010000);
            AtomBytes traf = AtomBytes::Full("tfhd", 0, 0x20000, AtomBytes().U32(1));
            traf.Add(AtomBytes::Full("tfdt", 0, 0, AtomBytes().U32(firstDecodeTime + f * samplesPerFragment * 512)))
                .Add(AtomBytes::Full("trun", 0, 0x1 | 0x400, trun));
            return AtomBytes::Atom("moof", AtomBytes::Full("mfhd", 0, 0, AtomBytes().U32(f + 1))
                                               .Add(AtomBytes::Atom("traf", traf)));
        };
        file.Add(moof(UInt32(moof(0).Size() + 8))).Add(AtomBytes::Atom("mdat", AtomBytes().Zeros(7 * samplesPerFragment)));
    }
    return file.bytes;
}

}  // namespace

TEST(SampleTables, ChunksAndSamplesCarryTheirSizesTimesAndOffsets)
{
    TestTrack t;
    t.sampleCount = 12;
    t.samplesPerChunk = 5;
    // The second track's stsc claims 5 samples a chunk but lists only 3
    // chunk offsets for 100 samples: the walk stops there.
    TestTrack short_ = t;
    short_.id = 2;
    short_.sampleCount = 100;
    short_.chunkCount = 3;
    Movie m = ParseOrFail(BuildMovieAtom(600, {t, short_}));
    auto chunks = Chunks(GetTrackMedia(GetMovieIndTrack(m, 1)));
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[1].fileOffset, 1500u);
    EXPECT_EQ(chunks[1].size, 500u);
    EXPECT_EQ(chunks[1].firstSample, 6u);
    EXPECT_EQ(chunks[1].decodeTime, 300);
    EXPECT_EQ(chunks[2].sampleCount, 2u) << "the last chunk holds what is left";
    EXPECT_EQ(chunks[2].size, 200u);
    EXPECT_EQ(chunks[2].dataRefIndex, 1);
    Media inconsistent = GetTrackMedia(GetMovieIndTrack(m, 2));
    EXPECT_EQ(Chunks(inconsistent).size(), 3u);
    EXPECT_EQ(GetMediaSampleCount(inconsistent), 100);
    // The sample at a time is the one decoding then.
    Media media = GetTrackMedia(GetMovieIndTrack(m, 1));
    EXPECT_EQ(MediaSampleAtTime(media, 0), 1u);
    EXPECT_EQ(MediaSampleAtTime(media, 59), 1u);
    EXPECT_EQ(MediaSampleAtTime(media, 60), 2u);
    EXPECT_EQ(MediaSampleAtTime(media, 719), 12u);
    EXPECT_EQ(MediaSampleAtTime(media, 720), 0u);
    MediaSample s;
    ASSERT_EQ(GetMediaSample(media, 7, &s), noErr);
    EXPECT_EQ(s.decodeTime, 360);
    EXPECT_EQ(s.fileOffset, 1000u + 5 * 100 + 100);  // second sample of the second chunk
    EXPECT_EQ(s.size, 100u);
    EXPECT_EQ(GetMediaSample(media, 13, &s), invalidSampleNum);
    DisposeMovie(m);
}

TEST(SampleTables, FragmentsAreMergedIntoPlainTables)
{
    auto file = FragmentedFile(3, 4);
    Movie m = nullptr;
    std::string why;
    ASSERT_EQ(ParseMovieFileData(file, MovieSource{"/f.mp4", file.size()}, &m, &why), noErr) << why;
    Media media = GetTrackMedia(GetMovieIndTrack(m, 1));
    EXPECT_EQ(GetMediaSampleCount(media), 12);
    EXPECT_EQ(GetMediaDuration(media), 12 * 512);
    EXPECT_EQ(GetTrackDuration(GetMovieIndTrack(m, 1)), 10240);  // 6144/600 s at 1000/s
    auto chunks = Chunks(media);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].size, 28u);
    for (auto& c : chunks)
        EXPECT_EQ(std::string(file.begin() + long(c.fileOffset) - 8 + 4, file.begin() + long(c.fileOffset)), "mdat")
            << "chunk " << c.chunkIndex << " starts right after its mdat header";
    EXPECT_TRUE(MovieWasFragmented(m));
    auto out = Serialize(m);
    Movie back = ParseOrFail(AtomBytes{out});
    EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(GetMovieIndTrack(back, 1))), 12);
    std::string text(out.begin(), out.end());
    EXPECT_EQ(text.find("mvex"), std::string::npos);
    EXPECT_NE(text.find("stss"), std::string::npos) << "only the first sample of each fragment is a sync sample";
    DisposeMovie(back);
    DisposeMovie(m);

    // Fragments that start later (10 s into a 600/s media) start the track
    // later.
    file = FragmentedFile(2, 4, 6000);
    m = nullptr;
    ASSERT_EQ(ParseMovieFileData(file, MovieSource{"/f.mp4", file.size()}, &m), noErr);
    Track t = GetMovieIndTrack(m, 1);
    EXPECT_EQ(GetTrackOffset(t), 10000);
    EXPECT_EQ(GetTrackDuration(t), 6827);  // 4096/600 s at 1000/s
    EXPECT_EQ(GetMediaDuration(GetTrackMedia(t)), 8 * 512);
    DisposeMovie(m);
}

TEST(SampleTables, HundredsOfMillionsOfSamplesStayInRunForm)
{
    TestTrack t;
    t.type = "soun";
    t.mediaScale = 48000;
    t.sampleDelta = 1;
    t.sampleSize = 2;
    t.sampleCount = 400'000'000;
    t.samplesPerChunk = 400'000'000;
    Movie m = ParseOrFail(BuildMovieAtom(600, {t}));
    Media media = GetTrackMedia(GetMovieIndTrack(m, 1));
    EXPECT_EQ(GetMediaSampleCount(media), 400'000'000);
    EXPECT_EQ(GetMediaDuration(media), 400'000'000);
    EXPECT_EQ(GetTrackDuration(GetMovieIndTrack(m, 1)), 5'000'000);
    auto chunks = Chunks(media);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].size, 800'000'000u);
    DisposeMovie(m);
}

TEST(SampleTables, CompositionOffsetsAndDescriptionsComeWithTheSample)
{
    auto path = std::string(ORVO_CORPUS_DIR) + "/wellformed/androidx-iibbibb_editlist_videoonly.mp4";
    auto file = ReadFileBytes(path);
    Movie m = nullptr;
    ASSERT_EQ(ParseMovieFileData(file, MovieSource{path, file.size()}, &m), noErr);
    Media media = GetTrackMedia(GetMovieIndTrack(m, 1));
    // ffprobe's presentation times are decode time + composition offset,
    // shifted by the edit's start (40960); compare the differences.
    std::string csv = CommandOutput("ffprobe -v error -show_entries packet=pts,dts -of csv=p=0 '" + path + "'");
    std::istringstream lines(csv);
    std::string line;
    UInt32 n = 0;
    while (std::getline(lines, line)) {
        auto comma = line.find(',');
        long long pts = std::stoll(line.substr(0, comma)), dts = std::stoll(line.substr(comma + 1));
        MediaSample s;
        ASSERT_EQ(GetMediaSample(media, ++n, &s), noErr);
        EXPECT_EQ(s.compositionOffset, pts - dts) << "sample " << n;
    }
    EXPECT_EQ(n, UInt32(GetMediaSampleCount(media)));
    std::vector<UInt8> description;
    ASSERT_EQ(GetMediaSampleDescriptionBytes(media, 1, &description), noErr);
    EXPECT_EQ(std::string(description.begin() + 4, description.begin() + 8), "avc1");
    EXPECT_EQ(GetMediaSampleDescriptionBytes(media, 2, &description), invalidSampleDescIndex);
    DisposeMovie(m);
}


// The walk over every sample gives what a lookup of each gives, and stops
// where lookups first fail, on tables as inconsistent as files make them.
TEST(SampleTables, WalkingTheSamplesMatchesLookingEachUp)
{
    struct Case {
        const char* what;
        std::vector<SampleToChunkRun> chunkRuns;
        UInt32 chunks, samples, timed, sizes, constantSize;
        UInt32 walked, stretches;  // with the sync samples in order
    };
    const Case cases[] = {
        {"chunks of three", {{1, 3, 1}}, 4, 12, 12, 12, 0, 12, 12},
        {"times that run out first", {{1, 3, 1}}, 4, 12, 8, 12, 0, 8, 8},
        {"runs out of order come back to chunk 2", {{1, 2, 1}, {3, 2, 1}, {2, 3, 2}}, 4, 13, 13, 13, 0, 13, 13},
        {"chunks past the offsets stop the walk, though a later run names real ones",
         {{1, 2, 1}, {20, 2, 1}, {2, 2, 1}}, 10, 60, 60, 60, 0, 20, 20},
        {"a last run of no samples a chunk", {{1, 2, 1}, {3, 0, 1}}, 8, 12, 12, 12, 0, 4, 4},
        {"too few chunks", {{1, 4, 1}}, 2, 12, 12, 12, 0, 8, 8},
        // Stretches end with the runs of times and composition offsets (after
        // samples 3, 2 and 6), at chunks, and before and after sync samples.
        {"one size for all", {{1, 5, 3}}, 3, 12, 12, 2, 6, 12, 10},
        {"one size for all in one long chunk", {{1, 1000, 1}}, 1, 1000, 1000, 2, 6, 1000, 8},
        {"a size table shorter than its count", {{1, 5, 3}}, 3, 12, 12, 7, 0, 12, 12},
    };
    // Files may list their sync samples out of order; lookups then answer
    // as a binary search does, and so must the walk.
    const std::vector<UInt32> syncLists[] = {{1, 4, 9}, {9, 1, 4}};
    for (const auto& sync : syncLists)
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what + std::string(sync[0] == 1 ? "" : ", sync samples out of order"));
        SampleTable t;
        t.times = {{3, 100}, {0, 7}, {c.timed - 3, 40}};
        t.compositions = {{2, 5}, {0, 9}, {4, -2}};
        t.syncSamples = std::make_shared<const std::vector<UInt32>>(sync);
        t.chunkRuns = c.chunkRuns;
        t.hasSizes = true;
        t.sizeCount = c.samples;
        t.constantSize = c.constantSize;
        auto sizes = std::make_shared<std::vector<UInt8>>();
        for (UInt32 s = 1; s <= c.sizes; ++s)
            sizes->insert(sizes->end(), {0, 0, UInt8(s * 10 >> 8), UInt8(s * 10)});
        t.sizeTable = sizes;
        auto offsets = std::make_shared<std::vector<UInt64>>();
        for (UInt32 chunk = 1; chunk <= c.chunks; ++chunk)
            offsets->push_back(10000 * chunk);
        t.chunkOffsets = offsets;
        UInt32 walked = 0, stretches = 0;
        t.ForEachStretch([&](const SampleVisit& first, UInt32 count) {
            for (UInt32 i = 0; i < count; ++i) {
                SampleVisit v = first, look;
                v.sampleNumber += i;
                v.decodeTime += SInt64(i) * first.duration;
                v.offset += UInt64(i) * first.size;
                EXPECT_TRUE(t.LookUpSample(++walked, &look));
                EXPECT_EQ(v, look) << "sample " << walked;
            }
            ++stretches;
            return true;
        });
        EXPECT_EQ(walked, c.walked);
        EXPECT_EQ(stretches, sync[0] == 1 ? c.stretches : c.walked);
        SampleVisit after;
        EXPECT_FALSE(t.LookUpSample(walked + 1, &after));
    }
}
