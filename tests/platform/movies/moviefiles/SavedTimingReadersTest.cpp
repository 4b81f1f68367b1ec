// Every kind of file the toolbox saves, after each change that moves a
// track in time or plays it at another rate, as three other readers see
// it: FFmpeg (ffprobe, and ffmpeg for the pictures), MediaInfo and
// mkvmerge. The changed track must start, last and hold the samples that
// Orvo's model says, and show the source's pictures; the other track must
// read as it did in the source; and Orvo must read its own file back with
// the timing it wrote.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/moviefiles/MovieResourceFork.h"

namespace fs = std::filesystem;

namespace {

// --- Changes: each is made to the first track of the movie saved. -------

struct Change {
    const char* name;
    std::function<void(Track)> apply;
    const char* frameRate;  // as ffprobe gives it: exact, not rounded (nil: several)
    int plays = 1;          // how often the source's pictures are shown
};

// 60 frames at 25 a second (the fixture's video): 2.4 s, which 29.97
// frames a second turn into exactly 2.002 s.
TimeValue At2997(Track t) { return TimeValue(60 * 1001 * GetMovieTimeScale(GetTrackMovie(t)) / 30000); }

const std::vector<Change>& Changes()
{
    static const std::vector<Change> changes = {
        {"LeadingEmptyEdit",
         [](Track t) {
             SetTrackOffset(t, 0);
             InsertEmptyTrackSegment(t, 0, 600);
         },
         "25/1"},
        {"TwiceAsLong", [](Track t) { ScaleTrackSegment(t, 0, GetTrackDuration(t), 2 * GetTrackDuration(t)); }, "25/2"},
        {"HalfAsLong", [](Track t) { ScaleTrackSegment(t, 0, GetTrackDuration(t), GetTrackDuration(t) / 2); }, "50/1"},
        {"At2997FramesASecond", [](Track t) { ScaleTrackSegment(t, 0, GetTrackDuration(t), At2997(t)); },
         "30000/1001"},
        // Every movie time of every track converted, the offset after it.
        {"NewTimeScaleAndOffset",
         [](Track t) {
             SetMovieTimeScale(GetTrackMovie(t), 600);
             SetTrackOffset(t, 300);
         },
         "25/1"},
        // The same samples at two rates: the written table holds them twice.
        {"PlayedAgainTwiceAsLong",
         [](Track t) {
             TimeValue d = GetTrackDuration(t);
             InsertTrackSegment(t, t, 0, d, d);
             ScaleTrackSegment(t, d, d, 2 * d);
         },
         nullptr, 2},
    };
    return changes;
}

// --- Kinds of file: how the movie is saved, and the file others read. ---

struct Source {
    std::string path;
    short refNum = 0, resId = 0;
};

using Save = std::function<void(Movie, const Source&, const ScratchFolder&, std::string* saved)>;

struct Kind {
    const char* name;
    bool exported;   // a new one-track movie of the source's video
    bool reference;  // its samples stay in the source file
    Save save;
};

void Reference(Movie movie, const std::string& path, short resId) { SaveAsReferenceMovie(movie, path, resId); }
void Flatten(Movie movie, const std::string& path, short resId) { EXPECT_EQ(FlattenMovieTo(movie, path, 0, resId), noErr); }

Save NewFile(void (*write)(Movie, const std::string&, short), short resId)
{
    return [write, resId](Movie movie, const Source&, const ScratchFolder& dir, std::string* saved) {
        // A folder of its own, a name with a space and no extension.
        fs::create_directories(dir / "exports");
        *saved = dir / "exports/Saved Movie";
        write(movie, *saved, resId);
    };
}

const std::vector<Kind>& Kinds()
{
    static const std::vector<Kind> kinds = {
        {"InPlace", false, false,
         [](Movie movie, const Source& source, const ScratchFolder&, std::string* saved) {
             EXPECT_EQ(UpdateMovieResource(movie, source.refNum, source.resId, nullptr), noErr);
             *saved = source.path;
         }},
        {"ReferenceOneFork", false, true, NewFile(Reference, movieInDataForkResID)},
        {"ReferenceTwoForks", false, true, NewFile(Reference, 0)},
        {"SelfContainedOneFork", false, false, NewFile(Flatten, movieInDataForkResID)},
        {"SelfContainedTwoForks", false, false, NewFile(Flatten, 0)},
        {"ExportedReference", true, true, NewFile(Reference, movieInDataForkResID)},
        {"ExportedSelfContained", true, false, NewFile(Flatten, movieInDataForkResID)},
    };
    return kinds;
}

// A movie in a resource fork is what a reader with forks sees: the data
// fork with the movie resource after it.
std::string AsOtherReadersSeeIt(const std::string& path)
{
    AppleDoubleFile container;
    ResourceFork fork;
    if (MovieResourceFork::Read(path, &container, &fork) != noErr)
        return path;
    const ResourceForkEntry* moov = fork.FirstOfType(kMovieResourceType);
    EXPECT_NE(moov, nullptr);
    std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    if (moov)
        bytes.insert(bytes.end(), moov->data.begin(), moov->data.end());
    std::string view = path + ".forks-joined.mov";
    WriteFileBytes(view, bytes);
    return view;
}

// --- What is read. --------------------------------------------------------

// What each reader makes of edit lists, as found here:
// - FFmpeg follows data references (when asked to), starts a track at its
//   leading empty edit's end even in a one-track movie, and ignores an
//   edit's media rate (which is why saves bake rates).
// - MediaInfo gives a leading empty edit as the track's Source_Delay and
//   counts it into Duration and FrameCount (Source_FrameCount is the table's
//   count). Of a reference movie it describes the files referred to (their
//   tracks, with their own timing), not the movie: it cannot judge one.
// - mkvmerge refuses a movie without media data of its own (a reference
//   movie), and begins a file's time line at its earliest sample: a delay
//   that every track shares (a one-track movie's empty edit) is gone, and a
//   sound track's encoder delay (an edit into its second packet) moves the
//   other tracks later instead.
struct Reader {
    const char* name;
    bool followsReferences;
    bool startsAtEarliestSample;
};

constexpr Reader kReaders[] = {{"ffprobe", true, false}, {"mediainfo", false, false}, {"mkvmerge", false, true}};

struct Reading {
    std::string reader, type;
    double start = 0, duration = 0;
    long samples = 0;
};

// Every reader's tracks, in track order.
std::vector<Reading> ReadByOthers(const std::string& path, const ScratchFolder& dir)
{
    std::string out;
    std::string script = std::string(ORVO_SOURCE_DIR) + "/tests/platform/movies/moviefiles/read_as_others_do.py";
    EXPECT_EQ(RunCommand("python3 " + Quote(script) + " " + Quote(path) + " " + Quote(dir.Path()), &out), 0) << out;
    std::vector<Reading> readings;
    std::istringstream lines(out);
    Reading r;
    while (lines >> r.reader >> r.type >> r.start >> r.duration >> r.samples)
        readings.push_back(r);
    return readings;
}

std::vector<Reading> TracksOf(const std::vector<Reading>& all, const std::string& reader)
{
    std::vector<Reading> tracks;
    for (const auto& r : all)
        if (r.reader == reader)
            tracks.push_back(r);
    return tracks;
}

// The decoded pictures of the first video track, one hash each.
std::vector<std::string> PictureHashes(const std::string& path)
{
    std::string out;
    RunCommand("ffmpeg -nostdin -v error -enable_drefs 1 -i " + Quote(path) +
                   " -map 0:v:0 -fps_mode passthrough -f framemd5 - | grep -v '^#'",
               &out);
    std::vector<std::string> hashes;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line))
        hashes.push_back(line.substr(line.rfind(',') + 1));
    return hashes;
}

// Where a track plays in movie time, as Orvo's model says: where each
// edit that plays media starts and ends (after the offset and any empty
// edits), and the samples its media holds.
struct Timeline {
    std::vector<std::pair<TimeValue, TimeValue>> edits;
    double start = 0, end = 0;  // seconds: the first edit's start, the last one's end
    long samples = 0;
};

Timeline TimelineOf(Track t)
{
    Timeline line;
    TimeValue at = TimeValue(t->offset);
    for (const Edit& e : t->edits) {
        if (!e.IsEmpty())
            line.edits.push_back({at, at + TimeValue(e.duration)});
        at += TimeValue(e.duration);
    }
    double scale = GetMovieTimeScale(GetTrackMovie(t));
    if (!line.edits.empty()) {
        line.start = line.edits.front().first / scale;
        line.end = line.edits.back().second / scale;
    }
    line.samples = GetMediaSampleCount(GetTrackMedia(t));
    return line;
}

std::vector<Timeline> TimelinesOf(Movie m)
{
    std::vector<Timeline> lines;
    for (long i = 1; i <= GetMovieTrackCount(m); ++i)
        lines.push_back(TimelineOf(GetMovieIndTrack(m, i)));
    return lines;
}

// --- The driver. --------------------------------------------------------

// The frame time a reader may differ by: readers count in milliseconds.
constexpr double kTolerance = 0.0015;

// Named in test output by their names, not their bytes.
void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }
void PrintTo(const Change& change, std::ostream* out) { *out << change.name; }

class SavedTimingReaders : public ::testing::TestWithParam<std::tuple<Kind, Change>> {};

TEST_P(SavedTimingReaders, ReadAsOrvosModelSays)
{
    const auto& [kind, change] = GetParam();
    ScratchFolder dir;
    Source source;
    source.path = FixtureMovies::CopyTo("h264aac.mov", dir.Path());
    auto sourceReadings = ReadByOthers(source.path, dir);
    auto sourcePictures = PictureHashes(source.path);
    ASSERT_EQ(sourcePictures.size(), 60u);
    std::vector<std::string> shown;
    for (int i = 0; i < change.plays; ++i)
        shown.insert(shown.end(), sourcePictures.begin(), sourcePictures.end());

    Movie movie = FixtureMovies::Open(source.path, &source.refNum, &source.resId);
    ASSERT_NE(movie, nullptr);
    Movie saving = kind.exported ? ExportFirstVideoTrack(movie) : movie;
    change.apply(GetMovieIndTrack(saving, 1));
    TimeValue duration = GetMovieDuration(saving);
    auto meant = TimelinesOf(saving);
    std::string saved;
    kind.save(saving, source, dir, &saved);
    EXPECT_EQ(TimelinesOf(saving)[0].edits, meant[0].edits) << "the movie in memory is left as it was";
    EXPECT_EQ(TimelinesOf(saving)[0].samples, meant[0].samples);
    if (saving != movie)
        DisposeMovie(saving);
    DisposeMovie(movie);
    CloseMovieFile(source.refNum);

    // Orvo reads back the timing it wrote; the samples its tables hold now
    // are what the other readers must find.
    OpenMovie back(saved);
    ASSERT_NE(back.movie, nullptr);
    // A reference movie reaches the source's samples, not a copy of them.
    auto files = MovieDataRefs::DataFiles(back.movie);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(fs::equivalent(files[0], kind.reference ? source.path : saved));
    if (kind.reference) {
        EXPECT_LT(fs::file_size(saved), fs::file_size(source.path) / 4);
    }
    EXPECT_EQ(GetMovieDuration(back.movie), duration);
    auto written = TimelinesOf(back.movie);
    ASSERT_EQ(written.size(), meant.size());
    for (size_t i = 0; i < meant.size(); ++i) {
        EXPECT_EQ(written[i].edits, meant[i].edits) << "track " << i + 1;
        EXPECT_DOUBLE_EQ(written[i].start, meant[i].start) << "track " << i + 1;
        EXPECT_DOUBLE_EQ(written[i].end, meant[i].end) << "track " << i + 1;
    }
    EXPECT_EQ(written[0].samples, 60 * change.plays);

    std::string view = AsOtherReadersSeeIt(saved);
    auto readings = ReadByOthers(view, dir);
    for (const Reader& reader : kReaders) {
        if (kind.reference && !reader.followsReferences)
            continue;
        SCOPED_TRACE(reader.name);
        auto tracks = TracksOf(readings, reader.name);
        auto before = TracksOf(sourceReadings, reader.name);
        ASSERT_EQ(tracks.size(), meant.size());
        // Where each track should start for this reader: where it started
        // in the source, moved as Orvo's model moved it (the source's tracks
        // all start at 0 there).
        std::vector<double> starts;
        for (size_t i = 0; i < tracks.size(); ++i)
            starts.push_back(before[i].start + meant[i].start);
        double shift = reader.startsAtEarliestSample ? *std::min_element(starts.begin(), starts.end()) : 0;
        EXPECT_NEAR(tracks[0].start, starts[0] - shift, kTolerance);
        EXPECT_NEAR(tracks[0].duration, meant[0].end - meant[0].start, kTolerance);
        EXPECT_EQ(tracks[0].samples, written[0].samples);
        for (size_t i = 1; i < tracks.size(); ++i) {
            EXPECT_NEAR(tracks[i].start, before[i].start, kTolerance) << "track " << i + 1;
            EXPECT_NEAR(tracks[i].duration, before[i].duration, kTolerance) << "track " << i + 1;
            EXPECT_EQ(tracks[i].samples, written[i].samples) << "track " << i + 1;
        }
    }
    EXPECT_EQ(PictureHashes(view), shown);
    if (!change.frameRate)
        return;
    std::string rate;
    RunCommand("ffprobe -v error -enable_drefs 1 -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 " +
                   Quote(view),
               &rate);
    EXPECT_EQ(rate, std::string(change.frameRate) + "\n");
}

INSTANTIATE_TEST_SUITE_P(KindsAndChanges, SavedTimingReaders,
                         ::testing::Combine(::testing::ValuesIn(Kinds()), ::testing::ValuesIn(Changes())),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
