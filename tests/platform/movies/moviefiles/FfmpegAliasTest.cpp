// FFmpeg's mov demuxer follows alias records (with -enable_drefs 1) by
// rebuilding the path from the movie's folder, nlvlFrom, nlvlTo and the tail
// of the absolute path. These tests make a reference movie by hand (the
// movie atom of an ffmpeg-made file with its data reference replaced by our
// alias) and let ffprobe count the frames it reaches through it.
#include <filesystem>
#include <gtest/gtest.h>

#include "FilesTestSupport.h"
#include "platform/movies/moviefiles/AliasRecord.h"
#include "platform/movies/moviefiles/BigEndian.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> AliasEntry(const std::string& target, const std::string& from)
{
    auto record = EncodeAliasRecord(DescribeAliasTarget(target, from));
    std::vector<std::uint8_t> entry;
    BigEndian::Append32(entry, std::uint32_t(12 + record.size()));
    BigEndian::AppendBytes(entry, "alis", 4);
    BigEndian::Append32(entry, 0);  // not a self reference
    entry.insert(entry.end(), record.begin(), record.end());
    return entry;
}

// A movie file holding only the movie atom of `media`, whose data reference
// names `media` through an alias written as seen from `refPath`.
void MakeReferenceMovie(const std::string& media, const std::string& refPath)
{
    auto file = ReadFileBytes(media);
    std::vector<std::string> path = {"moov", "trak", "mdia", "minf", "dinf", "dref"};
    auto containers = ContainerOffsets(file, path);
    ASSERT_FALSE(containers.empty());
    long long firstEntry = containers.back() + 16;
    containers.push_back(firstEntry);  // harmless: only containers before the entry are resized
    ReplaceAtom(file, containers, firstEntry, AliasEntry(media, refPath));
    long long moov = containers.front();
    std::uint32_t size = BigEndian::Get32(&file[moov]);
    std::vector<std::uint8_t> out(file.begin() + moov, file.begin() + moov + size);
    WriteFileBytes(refPath, out);
}

std::string CountFrames(const std::string& movie, bool enableDrefs)
{
    std::string output;
    RunCommand("ffprobe -v error -enable_drefs " + std::string(enableDrefs ? "1" : "0") +
                   " -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 " + Quote(movie),
               &output);
    return output;
}

}  // namespace

// Without -enable_drefs the frames must not be reached: else the other
// cases would pass without following the alias at all.
TEST(FfmpegFollowsAlias, ReferenceMoviesReachEveryFrameThroughTheAlias)
{
    struct Case {
        const char* media;
        const char* ref;
        bool enableDrefs;
    } cases[] = {{"media.mov", "ref.mov", true}, {"media/clip.mov", "edits/ref.mov", true}, {"media.mov", "ref.mov", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.ref) + (c.enableDrefs ? "" : " without drefs"));
        ScratchFolder dir;
        fs::create_directories(dir / "media");
        fs::create_directories(dir / "edits");
        ASSERT_TRUE(MakeFfmpegMovie(dir / c.media, "-f lavfi -i testsrc=size=64x48:rate=10:duration=1 -c:v mpeg4 -f mov"));
        MakeReferenceMovie(dir / c.media, dir / c.ref);
        EXPECT_EQ(CountFrames(dir / c.ref, c.enableDrefs) == "10\n", c.enableDrefs);
    }
}
