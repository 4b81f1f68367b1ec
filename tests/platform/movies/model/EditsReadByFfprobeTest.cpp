// Edits made through the toolbox and written out are read by another
// reader (ffprobe) as intended: the edit list entries it traces, and the
// start times and durations it derives from them.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

#include <gtest/gtest.h>

#include "MovieTestSupport.h"

namespace {

struct TracedEdit {
    long long duration, time;
    double rate;
};

// Every "track[N].edit_count" block of ffprobe's trace, in track order.
std::vector<std::vector<TracedEdit>> TracedEditLists(const std::string& path)
{
    std::string trace = CommandOutput("ffprobe -v trace -i '" + path + "' 2>&1");
    std::vector<std::vector<TracedEdit>> lists;
    std::regex count(R"(track\[\d+\]\.edit_count = \d+)");
    std::regex entry(R"(duration=(-?\d+) time=(-?\d+) rate=([\d.]+))");
    std::istringstream lines(trace);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, count))
            lists.emplace_back();
        else if (!lists.empty() && std::regex_search(line, m, entry))
            lists.back().push_back({std::stoll(m[1]), std::stoll(m[2]), std::stod(m[3])});
    }
    return lists;
}

class EditsReadByFfprobe : public ::testing::Test {
protected:
    void SetUp() override
    {
        source_ = dir_ / "source.mov";
        std::string make = "ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=25:duration=2 "
                           "-f lavfi -i sine=duration=2 -c:v mpeg4 -c:a pcm_s16le '" + source_ + "'";
        ASSERT_EQ(RunCommand(make), 0);
        file_ = ReadFileBytes(source_);
        ASSERT_EQ(ParseMovieFileData(file_, MovieSource{source_, file_.size()}, &movie_), noErr);
    }
    void TearDown() override
    {
        if (movie_)
            DisposeMovie(movie_);
    }

    // The source file with its movie atom (the last atom, after the data)
    // replaced by the movie as it is now.
    std::string Save(const std::string& name)
    {
        std::vector<TopLevelAtom> atoms;
        ScanTopLevelAtoms(file_, &atoms);
        EXPECT_EQ(atoms.back().type, FourCharCode('moov'));
        std::string path = dir_ / name;
        auto moov = Serialize(movie_, path);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file_.data()), std::streamsize(atoms.back().offset));
        out.write(reinterpret_cast<const char*>(moov.data()), std::streamsize(moov.size()));
        return path;
    }

    ScratchFolder dir_;
    std::string source_;
    std::vector<UInt8> file_;
    Movie movie_ = nullptr;
};

}  // namespace

TEST_F(EditsReadByFfprobe, AnOffsetIsReadAsALeadingEmptyEdit)
{
    ASSERT_EQ(GetMovieTimeScale(movie_), 1000);
    Track video = GetMovieIndTrack(movie_, 1);
    SetTrackOffset(video, 500);
    auto lists = TracedEditLists(Save("offset.mov"));
    ASSERT_EQ(lists.size(), 2u);
    ASSERT_EQ(lists[0].size(), 2u);
    EXPECT_EQ(lists[0][0].duration, 500);
    EXPECT_EQ(lists[0][0].time, -1);
    EXPECT_EQ(lists[0][1].duration, 2000);
    EXPECT_EQ(lists[0][1].time, 0);
    EXPECT_EQ(lists[1].size(), 1u) << "the other track is written as it was";
    std::string start = CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=start_time -of csv=p=0 '" +
                            (dir_ / "offset.mov") + "'");
    EXPECT_NEAR(std::stod(start), 0.5, 0.001);
}

TEST_F(EditsReadByFfprobe, AScaledTrackHasTheNewDurationAndRate)
{
    Track sound = GetMovieIndTrack(movie_, 2);
    ASSERT_EQ(ScaleTrackSegment(sound, 0, 2000, 4000), noErr);
    auto lists = TracedEditLists(Save("scaled.mov"));
    ASSERT_EQ(lists.size(), 2u);
    ASSERT_EQ(lists[1].size(), 1u);
    EXPECT_EQ(lists[1][0].duration, 4000);
    EXPECT_NEAR(lists[1][0].rate, 0.5, 1e-4);
}

TEST_F(EditsReadByFfprobe, ANewTimeScaleIsUsedThroughout)
{
    SetMovieTimeScale(movie_, 600);
    SetTrackOffset(GetMovieIndTrack(movie_, 1), 300);
    auto path = Save("rescaled.mov");
    auto lists = TracedEditLists(path);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0][0].duration, 300);
    EXPECT_EQ(lists[0][1].duration, 1200);
    EXPECT_EQ(lists[1][0].duration, 1200);
    std::string duration = CommandOutput("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + path + "'");
    EXPECT_NEAR(std::stod(duration), 2.5, 0.05);
}

TEST_F(EditsReadByFfprobe, ChunksPastFourGigabytesAreWrittenAsCo64AndDecode)
{
    std::vector<TopLevelAtom> atoms;
    ScanTopLevelAtoms(file_, &atoms);
    const TopLevelAtom* mdat = nullptr;
    for (auto& a : atoms)
        if (a.type == 'mdat')
            mdat = &a;
    ASSERT_NE(mdat, nullptr);
    // Same samples, moved 4 GiB further into a sparse file.
    const UInt64 hole = UInt64(1) << 32;
    const UInt64 oldPayload = mdat->offset + mdat->headerSize;
    const UInt64 newPayload = mdat->offset + 16 + hole;
    SerializeOptions options;
    options.destinationPath = dir_ / "far.mov";
    options.remapChunkOffset = [&](Track, UInt32, UInt64 old) { return old - oldPayload + newPayload; };
    std::vector<UInt8> moov;
    ASSERT_EQ(SerializeMovieAtom(movie_, options, &moov), noErr);
    EXPECT_NE(std::string(moov.begin(), moov.end()).find("co64"), std::string::npos);

    std::ofstream out(options.destinationPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file_.data()), std::streamsize(mdat->offset));
    UInt64 payloadSize = mdat->size - mdat->headerSize;
    AtomBytes header;
    header.U32(1).Code("mdat").U64(16 + hole + payloadSize);
    out.write(reinterpret_cast<const char*>(header.bytes.data()), 16);
    out.seekp(std::streamoff(newPayload));
    out.write(reinterpret_cast<const char*>(file_.data() + oldPayload), std::streamsize(payloadSize));
    out.write(reinterpret_cast<const char*>(moov.data()), std::streamsize(moov.size()));
    out.close();

    std::string errors = CommandOutput("ffmpeg -v error -i '" + options.destinationPath + "' -f null - 2>&1");
    EXPECT_EQ(errors, "");
    std::string frames = CommandOutput("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                    "stream=nb_read_frames -of csv=p=0 '" + options.destinationPath + "'");
    EXPECT_EQ(std::stoi(frames), 50);
}
