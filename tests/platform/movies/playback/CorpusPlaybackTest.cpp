// Real movies from elsewhere: the first picture of each named movie equals
// ffmpeg's, whatever its codec and edits, and every movie of the corpus
// plays a picture and some sound without trouble.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlaybackTestSupport.h"
#include "platform/movies/playback/PlaybackEngine.h"

using namespace playbacktest;

namespace {

std::string CorpusFile(const std::string& name) { return std::string(ORVO_CORPUS_DIR) + "/wellformed/" + name; }

}  // namespace

struct CorpusCase {
    const char* name;
    double seconds;  // when ffmpeg's first picture shows
};

class CorpusFirstPicture : public testing::TestWithParam<CorpusCase> {};

TEST_P(CorpusFirstPicture, MatchesFfmpeg)
{
    std::string path = CorpusFile(GetParam().name);
    Movie movie = OpenMovie(path);
    ASSERT_NE(movie, nullptr);
    PlaybackEngine engine(TakeMovieSnapshot(movie));
    EXPECT_TRUE(engine.Problems().empty());
    const MovieSnapshot& s = engine.Snapshot();
    int w = s.NaturalWidth(), h = s.NaturalHeight();
    PlaybackImage image;
    engine.Compose(GetParam().seconds * s.timeScale, w, h, &image);
    EXPECT_GT(Psnr(image.pixels, FfmpegFrame(path, 0, w, h)), 35.0);
    DisposeMovie(movie);
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusFirstPicture,
                         testing::Values(CorpusCase{"fmtc-animation.mov", 0}, CorpusCase{"fmtc-png.mov", 0},
                                         CorpusCase{"fmtc-apple-prores-422-proxy.mov", 0},
                                         CorpusCase{"fmtc-apple-intermediate-codec.mov", 0},
                                         CorpusCase{"vidvox-SampleQT.mov", 0},
                                         CorpusCase{"filetype-fixture-mjpeg.mov", 0},
                                         // High-definition MPEG-2 whose stream says nothing of
                                         // its colours: its 'colr' atom says BT.709.
                                         CorpusCase{"fmtc-hdv-720p60.mov", 0},
                                         // Upright telephone video whose edit starts inside a
                                         // frame: that frame shows first here, where ffmpeg
                                         // starts with the next one, 1/60 s in.
                                         CorpusCase{"androidx-sample_edit_list.mp4", 1 / 60.0},
                                         // Fragments after 2.4 s of empty edit, which ffmpeg
                                         // leaves out.
                                         CorpusCase{"mp4parser-example.f4v", 2.4},
                                         // B pictures, the edit starting half way through the
                                         // first shown: ffmpeg starts with the second, 0.5 s in.
                                         CorpusCase{"androidx-iibbibb_editlist_videoonly.mp4", 0.5}),
                         [](const auto& info) { return TestName(info.param.name); });

// Every movie: pictures at the start, the middle and the end, and a
// quarter of a second of sound from the middle, with no crash and no
// problem other than a codec that is really missing.
TEST(CorpusPlayback, EveryMoviePlays)
{
    for (const auto& entry : std::filesystem::directory_iterator(std::string(ORVO_CORPUS_DIR) + "/wellformed")) {
        std::string path = entry.path().string();
        SCOPED_TRACE(path);
        Movie movie = OpenMovie(path);
        if (!movie)
            continue;
        PlaybackEngine engine(TakeMovieSnapshot(movie));
        for (const auto& p : engine.Problems())
            EXPECT_EQ(p.kind, PlaybackProblem::MissingCodec) << p.file;
        const MovieSnapshot& s = engine.Snapshot();
        PlaybackImage image;
        for (double t : {0.0, s.duration / 2.0, std::max(0.0, s.duration - 1.0)}) {
            engine.Compose(t, 160, 120, &image);
            EXPECT_EQ(image.pixels.size(), size_t(160 * 120));
        }
        std::vector<SInt16> sound(12000 * 2);
        engine.MixSound(SInt64(s.duration / 2.0 * 48000 / s.timeScale), 12000, sound.data());
        DisposeMovie(movie);
    }
}
