// FlattenMovie after edits: the copy holds only the samples the edits play,
// and other readers play it as Orvo does. Where the edits have rate 1, a
// reference movie of the same edits is the oracle (FFmpeg follows its edits
// into the source); scaled tracks are checked against the timing meant.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/model/MovieSeam.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

namespace {

std::string Probe(const std::string& path, const std::string& args)
{
    std::string out;
    RunCommand("ffprobe -v quiet -enable_drefs 1 " + args + " " + Quote(path), &out);
    return out;
}

struct Packet {
    double pts = 0, duration = 0;
};

// The video packets that are shown (not those decoded only to reach them).
std::vector<Packet> ShownVideoPackets(const std::string& path)
{
    std::istringstream lines(
        Probe(path, "-select_streams v:0 -show_entries packet=pts_time,duration_time,flags -of csv=p=0"));
    std::vector<Packet> packets;
    std::string line;
    while (std::getline(lines, line)) {
        double pts = 0, duration = 0;
        char flags[8] = {};
        if (std::sscanf(line.c_str(), "%lf,%lf,%7s", &pts, &duration, flags) == 3 && !std::strchr(flags, 'D'))
            packets.push_back({pts, duration});
    }
    return packets;
}

int StreamCount(const std::string& path)
{
    std::string out = Probe(path, "-show_entries stream=index -of csv=p=0");
    return int(std::count(out.begin(), out.end(), '\n'));
}

// Samples in the file (not packets, which FFmpeg repeats where an edit
// starts after a key frame).
int VideoSamples(const std::string& path)
{
    return std::atoi(Probe(path, "-select_streams v:0 -show_entries stream=nb_frames -of csv=p=0").c_str());
}

// What a player shows: every video frame with its time and picture, and the
// sound as one hash (its packets are cut differently in the two files).
std::string Shown(const std::string& path, bool withSound = true)
{
    std::string frames, sound;
    if (!withSound)
        sound = "(not compared)";
    RunCommand("ffmpeg -nostdin -v error -enable_drefs 1 -i " + Quote(path) + " -map 0:v:0 -f framemd5 - | grep -v '^#'",
               &frames);
    if (withSound)
        RunCommand("ffmpeg -nostdin -v error -enable_drefs 1 -i " + Quote(path) + " -map 0:a? -f md5 -", &sound);
    return frames + sound;
}

Track Video(Movie m) { return GetMovieIndTrack(m, 1); }
TimeValue Seconds(Movie m, double s) { return TimeValue(std::lround(s * GetMovieTimeScale(m))); }

struct Case {
    const char* name;
    const char* fixture;
    std::function<void(Movie)> edit;
    long flattenFlags = 0;
    int streams = 2;
    int videoSamples = 50;
    double frameSeconds = 0.04;   // every video packet's duration
    bool referenceOracle = true;  // compare with a reference movie of the same edits
    double sizeRatio = 0;         // of the copy to the source at most, when given
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"unchanged", "av.mov", [](Movie) {}},
        // The first second cut: decoding starts at the key frame before
        // frame 25 (every 12th frame is one).
        {"first second cut", "av.mov",
         [](Movie m) {
             for (long t = 1; t <= GetMovieTrackCount(m); ++t)
                 DeleteTrackSegment(GetMovieIndTrack(m, t), 0, Seconds(m, 1));
         },
         // Half the sound and 26 of 50 frames (the key frame before the cut too).
         0, 2, 26, 0.04, true, 0.6},
        {"middle second only", "av.mov",
         [](Movie m) {
             DeleteTrackSegment(Video(m), Seconds(m, 1.52), Seconds(m, 0.48));
             DeleteTrackSegment(Video(m), 0, Seconds(m, 0.52));
         },
         0, 2, 26},
        {"empty edit in front", "av.mov", [](Movie m) { InsertEmptyTrackSegment(Video(m), 0, Seconds(m, 1)); }},
        {"offset kept", "offset.mov", [](Movie) {}},
        {"disabled track left out", "av.mov", [](Movie m) { SetTrackEnabled(GetMovieIndTrack(m, 2), false); },
         flattenActiveTracksOnly, 1},
        {"disabled track kept without the flag", "av.mov",
         [](Movie m) { SetTrackEnabled(GetMovieIndTrack(m, 2), false); }, 0, 2},
        {"composition offsets cut", "bframes.mov", [](Movie m) { DeleteTrackSegment(Video(m), 0, Seconds(m, 0.5)); },
         0, 1, 40},
        {"twice as long", "av.mov",
         [](Movie m) { ScaleTrackSegment(Video(m), 0, Seconds(m, 2), Seconds(m, 4)); }, 0, 2, 50, 0.08, false},
        {"half as long", "av.mov",
         [](Movie m) { ScaleTrackSegment(Video(m), 0, Seconds(m, 2), Seconds(m, 1)); }, 0, 2, 50, 0.02, false},
        {"29.97 frames a second", "av.mov",
         [](Movie m) { ScaleTrackSegment(Video(m), 0, Seconds(m, 2), Seconds(m, 50 / 29.97)); }, 0, 2, 50,
         1 / 29.97, false},
        // Frames of 338 KiB, each between sound: copied by the kernel.
        {"large frames, first second cut", "raw.mov",
         [](Movie m) {
             for (long t = 1; t <= GetMovieTrackCount(m); ++t)
                 DeleteTrackSegment(GetMovieIndTrack(m, t), 0, Seconds(m, 1));
         },
         0, 2, 25, 0.04, true, 0.6},
        {"second half twice as long", "av.mov",
         [](Movie m) { ScaleTrackSegment(Video(m), Seconds(m, 1), Seconds(m, 1), Seconds(m, 2)); }, 0, 2, 51, 0,
         false},
    };
    return cases;
}

std::string Fixture(const std::string& name, const ScratchFolder& dir)
{
    if (name != "bframes.mov")
        return FixtureMovies::CopyTo(name, dir.Path());
    std::string path = dir / name;
    MakeFfmpegMovie(path, "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 -c:v mpeg4 -bf 2 -g 10 -f mov");
    return path;
}

}  // namespace

TEST(FlattenEdits, CopiesPlayAsTheEditsSayWithOnlyTheSamplesUsed)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        ScratchFolder dir;
        std::string source = Fixture(c.fixture, dir);
        OpenMovie src(source);
        ASSERT_NE(src.movie, nullptr);
        c.edit(src.movie);
        TimeValue duration = GetMovieDuration(src.movie);
        ASSERT_EQ(FlattenMovieTo(src.movie, dir / "flat.mov", c.flattenFlags), noErr);
        EXPECT_EQ(GetMovieDuration(src.movie), duration) << "the movie in memory is left as it was";
        std::string flat = dir / "flat.mov";
        EXPECT_EQ(DecodeErrors(flat), "");
        EXPECT_EQ(StreamCount(flat), c.streams);
        EXPECT_EQ(VideoSamples(flat), c.videoSamples);
        if (c.sizeRatio > 0) {
            EXPECT_LT(double(fs::file_size(flat)), c.sizeRatio * double(fs::file_size(source)));
        }
        auto packets = ShownVideoPackets(flat);
        if (c.referenceOracle) {
            SaveAsReferenceMovie(src.movie, dir / "ref.mov");
            // A track left out plays in the reference movie still.
            bool sameTracks = c.streams == StreamCount(dir / "ref.mov");
            EXPECT_EQ(Shown(flat, sameTracks), Shown(dir / "ref.mov", sameTracks));
        } else {
            // Scaled: each frame lasts what the scale says, one after the other.
            for (size_t i = 1; i < packets.size(); ++i) {
                EXPECT_NEAR(packets[i].pts - packets[i - 1].pts, packets[i - 1].duration, 1e-3) << i;
                if (c.frameSeconds > 0) {
                    EXPECT_NEAR(packets[i].duration, c.frameSeconds, 1e-3) << i;
                }
            }
            double end = packets.empty() ? 0 : packets.back().pts + packets.back().duration;
            EXPECT_NEAR(end, double(GetTrackDuration(Video(src.movie))) / GetMovieTimeScale(src.movie), 2e-3);
        }
    }
}

// Each sample's description index and size, in media order.
std::vector<std::pair<UInt32, UInt32>> SampleDescriptions(Media media)
{
    std::vector<std::pair<UInt32, UInt32>> out;
    for (long n = 1; n <= GetMediaSampleCount(media); ++n) {
        MediaSample s;
        EXPECT_EQ(GetMediaSample(media, UInt32(n), &s), noErr);
        out.push_back({s.sampleDescriptionIndex, s.size});
    }
    return out;
}

TEST(FlattenEdits, SeveralSampleDescriptionsStayWithTheirSamples)
{
    ScratchFolder dir;
    std::string source = FixtureMovies::CopyTo("av.mov", dir.Path());
    std::string other = dir / "other.mov";
    MakeFfmpegMovie(other, "-f lavfi -i rgbtestsrc=size=160x120:rate=25:duration=1 -c:v mpeg4 -g 5 -f mov");
    OpenMovie a(source), b(other);
    ASSERT_NE(a.movie, nullptr);
    ASSERT_NE(b.movie, nullptr);
    ASSERT_EQ(InsertTrackSegment(Video(b.movie), Video(a.movie), 0, Seconds(b.movie, 1), Seconds(a.movie, 1)), noErr);
    ASSERT_EQ(GetMediaSampleDescriptionCount(GetTrackMedia(Video(a.movie))), 2);
    ASSERT_EQ(FlattenMovieTo(a.movie, dir / "flat.mov"), noErr);
    EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "");
    // (FFmpeg follows only one data reference a track, so a reference movie
    // cannot serve as the oracle here.)
    EXPECT_EQ(ShownVideoPackets(dir / "flat.mov").size(), 75u);
    // Every sample is kept here, so the copy's media lists them as the
    // source's does, each with its own description.
    OpenMovie flat(dir / "flat.mov");
    ASSERT_NE(flat.movie, nullptr);
    auto kept = SampleDescriptions(GetTrackMedia(Video(flat.movie)));
    EXPECT_EQ(kept, SampleDescriptions(GetTrackMedia(Video(a.movie))));
    EXPECT_EQ(std::count_if(kept.begin(), kept.end(), [](auto& s) { return s.first == 2; }), 25);
}

// The calls a self-contained save makes: a single fork gives one data file
// with the movie in it, two forks a companion holding the movie resource.
TEST(FlattenEdits, SelfContainedSaveWritesTheForksAskedFor)
{
    struct Row {
        long flattenFlags;
        short resId;
        short resIdAfter;
        bool companion;
    };
    for (Row row : {Row{createMovieFileDontCreateResFile, movieInDataForkResID, movieInDataForkResID, false},
                    Row{createMovieFileDontCreateResFile, 0, movieInDataForkResID, false},
                    Row{0, 0, 128, true}}) {
        SCOPED_TRACE(row.flattenFlags);
        ScratchFolder dir;
        WriteFileBytes(dir / "._out.mov", {0, 5, 22, 7});  // a stale companion from an earlier file
        OpenMovie src(FixtureMovies::Path("av.mov"));
        FSSpec location = SpecFor(dir / "out.mov");
        short resId = row.resId;
        FlattenMovie(src.movie, row.flattenFlags, &location, 'TVOD', -2, createMovieFileDeleteCurFile, &resId, nullptr);
        ASSERT_EQ(GetMoviesError(), noErr);
        EXPECT_EQ(resId, row.resIdAfter);
        EXPECT_EQ(fs::exists(dir / "._out.mov"), row.companion);
        std::string moov = Probe(dir / "out.mov", "-show_entries format=nb_streams -of csv=p=0");
        EXPECT_EQ(moov, row.companion ? "" : "2\n") << "the data fork holds the movie exactly when single fork";
        OpenMovie back(dir / "out.mov");
        ASSERT_NE(back.movie, nullptr);
        EXPECT_EQ(GetMovieTrackCount(back.movie), 2);
        EXPECT_EQ(back.resId, row.resIdAfter);
        FInfo info {};
        EXPECT_EQ(FSpGetFInfo(&location, &info), noErr);
        if (row.companion) {
            EXPECT_EQ(info.fdCreator, OSType('TVOD'));
        }
    }
}

// Real files from elsewhere, chosen for their edits (trimmed starts, empty
// edits, B-frames, an edit past the media's end), a track without samples,
// tracks without edit lists, sound as PCM: the copy shows what the original
// shows.
TEST(FlattenEdits, CorpusCopiesShowWhatTheOriginalsShow)
{
    for (const char* name : {"androidx-iibbibb_editlist_videoonly.mp4", "androidx-sample_twos_pcm.mp4",
                             "filetype-fixture.mov", "streamio-awesome_movie.mov", "androidx-sample_empty_track.mp4",
                             "jcodec-itunes.mov", "androidx-bt601.mov"}) {
        SCOPED_TRACE(name);
        std::string path = std::string(ORVO_CORPUS_DIR) + "/wellformed/" + name;
        ScratchFolder dir;
        OpenMovie src(path);
        ASSERT_NE(src.movie, nullptr);
        ASSERT_EQ(FlattenMovieTo(src.movie, dir / "flat.mov"), noErr);
        // (One of them has time stamps that FFmpeg complains about in the
        // original already.)
        if (DecodeErrors(path).empty()) {
            EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "");
        }
        EXPECT_EQ(Shown(dir / "flat.mov"), Shown(path));
        EXPECT_LE(fs::file_size(dir / "flat.mov"), fs::file_size(path) + 4096);
    }
}

// Some writers leave the sample entry header out of their metadata
// descriptions: the bytes where a data reference index would be are text.
// The copy reads those samples from the one data reference and keeps the
// descriptions as they were.
TEST(FlattenEdits, DescriptionsWithoutAnEntryHeaderComeThroughUnchanged)
{
    std::string path = std::string(ORVO_CORPUS_DIR) + "/wellformed/androidx-mv_with_2_top_shots.mp4";
    ScratchFolder dir;
    OpenMovie src(path);
    ASSERT_NE(src.movie, nullptr);
    ASSERT_EQ(FlattenMovieTo(src.movie, dir / "flat.mov"), noErr);
    auto bytes = ReadFileBytes(dir / "flat.mov");
    std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("mettapplication/microvideo-meta-stream"), std::string::npos);
    EXPECT_NE(text.find("mettapplication/motionphoto-image-meta"), std::string::npos);
    const char* counts = "-show_entries stream=codec_tag_string,nb_frames -of csv=p=0";
    EXPECT_EQ(Probe(dir / "flat.mov", counts), Probe(path, counts));
}
