// Sample tables in run form: chunks with their sizes and times, lookups by
// time, fragments merged, and huge tables that stay small.
#include <algorithm>
#include <cstdio>
#include <sstream>

#include <gtest/gtest.h>

#include "MovieTestSupport.h"

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

