// The engine's pictures against ffmpeg's decoding of the same frames, and
// its sound and picture through offsets, empty edits, media rates and
// enabled states.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "PlaybackTestSupport.h"
#include "platform/movies/playback/PlaybackEngine.h"

using namespace playbacktest;

namespace {

const std::string kPicture = "-f lavfi -i testsrc2=size=160x120:rate=25:duration=2 ";
const std::string kTone = "-f lavfi -i sine=frequency=1000:sample_rate=48000:duration=2 ";

std::string ToneMovie()
{
    return MakeMovie("tone.mov", kPicture + kTone + "-c:v mjpeg -q:v 2 -c:a pcm_s16be");
}

// The picture at a time given in seconds, at the movie's natural size.
PlaybackImage PictureAt(PlaybackEngine& engine, double seconds)
{
    PlaybackImage image;
    const MovieSnapshot& s = engine.Snapshot();
    engine.Compose(seconds * s.timeScale, s.NaturalWidth(), s.NaturalHeight(), &image);
    return image;
}

// Three seconds of the movie's sound, pulled as playback pulls it.
std::vector<SInt16> SoundOf(PlaybackEngine& engine, int seconds = 3)
{
    std::vector<SInt16> out(size_t(seconds) * 48000 * 2);
    for (size_t first = 0; first < out.size() / 2; first += 4800)
        engine.MixSound(SInt64(first), 4800, out.data() + first * 2);
    return out;
}

bool AllBlack(const PlaybackImage& image)
{
    for (UInt32 p : image.pixels)
        if ((p & 0xFFFFFF) != 0)
            return false;
    return !image.pixels.empty();
}

}  // namespace

struct CodecCase {
    const char* name;
    const char* encoder;
};

class PictureMatchesFfmpeg : public testing::TestWithParam<CodecCase> {};

// Frame 7 of the H.264 movie lies between sync samples (one every 12, with
// B-frames), so reaching it means decoding from the sync sample before it.
TEST_P(PictureMatchesFfmpeg, AtEveryFrameAsked)
{
    std::string path = MakeMovie(std::string(GetParam().name) + ".mov", kPicture + GetParam().encoder);
    ASSERT_FALSE(path.empty());
    Movie movie = OpenMovie(path);
    PlaybackEngine engine(TakeMovieSnapshot(movie));
    EXPECT_TRUE(engine.Problems().empty());
    for (int index : {30, 7, 0, 8, 49}) {
        PlaybackImage image = PictureAt(engine, (index + 0.5) / 25.0);
        ASSERT_EQ(image.width, 160);
        ASSERT_EQ(image.height, 120);
        EXPECT_GT(Psnr(image.pixels, FfmpegFrame(path, index, 160, 120)), 35.0) << "frame " << index;
    }
    DisposeMovie(movie);
}

INSTANTIATE_TEST_SUITE_P(Codecs, PictureMatchesFfmpeg,
                         testing::Values(CodecCase{"h264", "-c:v libx264 -g 12 -bf 2 -pix_fmt yuv420p"},
                                         CodecCase{"mjpeg", "-c:v mjpeg -q:v 2"},
                                         CodecCase{"prores", "-c:v prores_ks -profile:v 2"},
                                         CodecCase{"raw", "-c:v rawvideo -pix_fmt rgb24"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Each change to the movie moves the sine's onset (and end) and the
// pictures exactly where the edits put them, within a millisecond.
struct TimingCase {
    const char* name;
    void (*change)(Movie, Track video, Track sound);
    long onset, end;              // 48 kHz frames; -1: silent
    double pictureAt;             // seconds
    int frameShown;               // -1: black
};

const TimingCase kTimingCases[] = {
    {"unchanged", [](Movie, Track, Track) {}, 0, 96000, 1.01, 25},
    {"offset", [](Movie m, Track v, Track s) {
         SetTrackOffset(s, GetMovieTimeScale(m) * 3 / 2);
         SetTrackOffset(v, GetMovieTimeScale(m) / 2);
     }, 72000, 168000, 0.65, 3},
    {"leading empty edit", [](Movie m, Track v, Track s) {
         InsertEmptyTrackSegment(s, 0, GetMovieTimeScale(m) / 2);
         InsertEmptyTrackSegment(v, 0, GetMovieTimeScale(m) / 2);
     }, 24000, 120000, 0.25, -1},
    {"media rate 2", [](Movie, Track v, Track s) {
         ScaleTrackSegment(s, 0, GetTrackDuration(s), GetTrackDuration(s) / 2);
         ScaleTrackSegment(v, 0, GetTrackDuration(v), GetTrackDuration(v) / 2);
     }, 0, 48000, 0.41, 20},
    {"disabled", [](Movie, Track v, Track s) {
         SetTrackEnabled(s, false);
         SetTrackEnabled(v, false);
     }, -1, -1, 0.5, -1},
};

class EditsMoveSoundAndPicture : public testing::TestWithParam<TimingCase> {};

TEST_P(EditsMoveSoundAndPicture, Exactly)
{
    std::string path = ToneMovie();
    ASSERT_FALSE(path.empty());
    Movie movie = OpenMovie(path);
    // ffmpeg writes the tracks in the order of its inputs.
    Track video = GetMovieIndTrack(movie, 1), sound = GetMovieIndTrack(movie, 2);
    ASSERT_TRUE(video && sound);
    GetParam().change(movie, video, sound);
    PlaybackEngine engine(TakeMovieSnapshot(movie));
    std::vector<SInt16> sound3s = SoundOf(engine, 4);
    if (GetParam().onset < 0) {
        EXPECT_EQ(FirstLoudFrame(sound3s), -1);
    } else {
        EXPECT_NEAR(FirstLoudFrame(sound3s), GetParam().onset, 48);
        EXPECT_NEAR(LastLoudFrame(sound3s), GetParam().end, 48);
    }
    const MovieSnapshot& s = engine.Snapshot();
    PlaybackImage image;
    engine.Compose(GetParam().pictureAt * s.timeScale, 160, 120, &image);
    if (GetParam().frameShown < 0)
        EXPECT_TRUE(AllBlack(image));
    else
        EXPECT_GT(Psnr(image.pixels, FfmpegFrame(path, GetParam().frameShown, 160, 120)), 35.0);
    DisposeMovie(movie);
}

INSTANTIATE_TEST_SUITE_P(Edits, EditsMoveSoundAndPicture, testing::ValuesIn(kTimingCases),
                         [](const auto& info) { return TestName(info.param.name); });

// Two pictures: a small red track over the pattern, from one second on; put
// behind the pattern (a higher layer), it no longer shows.
TEST(PlaybackEngine, ComposesTracksByOffsetAndLayer)
{
    std::string path = MakeMovie("two.mov", kPicture + "-f lavfi -i color=red:size=80x60:rate=25:duration=2 "
                                                       "-map 0 -map 1 -c:v mjpeg -q:v 2");
    ASSERT_FALSE(path.empty());
    Movie movie = OpenMovie(path);
    ASSERT_EQ(GetMovieTrackCount(movie), 2);
    Track red = GetMovieIndTrack(movie, 2);
    SetTrackEnabled(red, true);  // ffmpeg leaves every track but the first of its kind disabled
    SetTrackOffset(red, GetMovieTimeScale(movie));
    auto isRed = [](UInt32 p) { return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60; };
    {
        PlaybackEngine engine(TakeMovieSnapshot(movie));
        EXPECT_FALSE(isRed(PictureAt(engine, 0.5).pixels[10 * 160 + 10]));
        PlaybackImage later = PictureAt(engine, 1.5);
        EXPECT_TRUE(isRed(later.pixels[10 * 160 + 10])) << std::hex << later.pixels[10 * 160 + 10];
        EXPECT_FALSE(isRed(later.pixels[100 * 160 + 150]));
    }
    SetTrackLayer(red, 1);
    PlaybackEngine behind(TakeMovieSnapshot(movie));
    UInt32 behindPixel = PictureAt(behind, 1.5).pixels[10 * 160 + 10];
    EXPECT_FALSE(isRed(behindPixel)) << std::hex << behindPixel;
    DisposeMovie(movie);
}

// A codec the libraries lack: the track's area is grey and named, the sound
// plays on. A data file that has gone: both tracks blank and silent, and the
// file is named.
TEST(PlaybackEngine, ReportsMissingCodecAndMissingFile)
{
    std::string path = ToneMovie();
    ASSERT_FALSE(path.empty());
    std::string copy = Folder() + "/nocodec.mov";
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    size_t stsd = bytes.find("stsd");
    ASSERT_NE(stsd, std::string::npos);
    bytes.replace(stsd + 16, 4, "zzzz");  // the first sample entry's format
    std::ofstream(copy, std::ios::binary) << bytes;

    Movie movie = OpenMovie(copy);
    {
        PlaybackEngine engine(TakeMovieSnapshot(movie));
        ASSERT_EQ(engine.Problems().size(), 1u);
        EXPECT_EQ(engine.Problems()[0].kind, PlaybackProblem::MissingCodec);
        EXPECT_EQ(engine.Problems()[0].format, OSType('zzzz'));
        PlaybackImage image = PictureAt(engine, 0.5);
        ASSERT_EQ(image.placeholders.size(), 1u);
        EXPECT_EQ(image.placeholders[0].format, OSType('zzzz'));
        EXPECT_EQ(image.pixels[60 * 160 + 80], 0xFF808080u);
        EXPECT_GE(FirstLoudFrame(SoundOf(engine, 1)), 0);
    }
    std::filesystem::remove(copy);
    PlaybackEngine gone(TakeMovieSnapshot(movie));
    ASSERT_EQ(gone.Problems().size(), 2u);
    for (const auto& p : gone.Problems()) {
        EXPECT_EQ(p.kind, PlaybackProblem::MissingFile);
        EXPECT_EQ(p.file, copy);
    }
    EXPECT_TRUE(AllBlack(PictureAt(gone, 0.5)));
    EXPECT_EQ(FirstLoudFrame(SoundOf(gone, 1)), -1);
    DisposeMovie(movie);
}
