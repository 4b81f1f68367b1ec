#include "FixtureMovies.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

#include "FilesTestSupport.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

namespace {

const std::map<std::string, std::string>& Recipes()
{
    static const std::string video = "-f lavfi -i testsrc=size=160x120:rate=25:duration=2 ";
    static const std::string sound = "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=2 ";
    static const std::map<std::string, std::string> recipes = {
        {"av.mov", video + sound + "-c:v mpeg4 -c:a pcm_s16le -f mov"},
        {"faststart.mp4", video + sound + "-c:v mpeg4 -c:a aac -movflags +faststart -f mp4"},
        {"offset.mov", video + "-itsoffset 1 " + sound + "-c:v mpeg4 -c:a pcm_s16le -f mov"},
        {"timecode.mov", video + "-c:v mpeg4 -timecode 01:00:00:00 -f mov"},
        {"oddscale.mov", video + "-c:v mpeg4 -video_track_timescale 7919 -f mov"},
        {"h264aac.mov", "-f lavfi -i testsrc=size=160x120:rate=25:duration=2.4 "
                        "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=2.4 "
                        "-c:v libx264 -bf 0 -g 12 -c:a aac -f mov"},
        {"raw.mov", "-f lavfi -i testsrc=size=480x360:rate=25:duration=2 " + sound +
                        "-c:v rawvideo -pix_fmt uyvy422 -c:a pcm_s16le -f mov"},
        {"fragmented.mp4", video + sound + "-c:v mpeg4 -g 5 -c:a aac -movflags frag_keyframe+empty_moov -f mp4"},
    };
    return recipes;
}

}  // namespace

namespace FixtureMovies {

// The fixtures are kept in the build folder: every test runs in a process
// of its own, and making them once per build keeps the suite fast. Each is
// made under a temporary name and renamed, so parallel tests never see half
// a file.
const std::string& Folder()
{
    static const std::string folder = [] {
        std::string path = std::string(ORVO_BINARY_DIR) + "/movie-fixtures";
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

std::string Path(const std::string& name)
{
    std::string path = Folder() + "/" + name;
    if (!fs::exists(path)) {
        auto recipe = Recipes().find(name);
        EXPECT_NE(recipe, Recipes().end()) << name;
        std::string temp = path + ".part" + std::to_string(getpid()) + fs::path(name).extension().string();
        if (recipe != Recipes().end() && MakeFfmpegMovie(temp, recipe->second))
            fs::rename(temp, path);
    }
    return path;
}

std::string CopyTo(const std::string& name, const std::string& folder)
{
    std::string to = folder + "/" + name;
    fs::copy_file(Path(name), to, fs::copy_options::overwrite_existing);
    return to;
}

Movie Open(const std::string& path, short* refNum, short* resId)
{
    FSSpec location = SpecFor(path);
    *refNum = 0;
    EXPECT_EQ(OpenMovieFile(&location, refNum, fsRdWrPerm), noErr) << path;
    Movie movie = nullptr;
    short id = 0;
    OSErr err = NewMovieFromFile(&movie, *refNum, &id, nullptr, newMovieActive, nullptr);
    EXPECT_EQ(err, noErr) << path;
    if (resId)
        *resId = id;
    return movie;
}

}  // namespace FixtureMovies
