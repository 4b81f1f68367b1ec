// File/Save through the whole application (orvo-scenario), with the process
// killed at each write of the save in turn: the file always reopens with
// the old movie or the new one, whether the movie lives in the data fork or
// in a resource fork.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "support/RunCommand.h"
#include "support/ScratchFolder.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr int kKilledStatus = 77;
constexpr TimeValue kOldOffset = 0;
constexpr TimeValue kNewOffset = 600;

struct SavedFile {
    const char* name;
    const char* before;  // script lines that make the file the viewer saves into
    bool dataFork;       // ffmpeg can read the file itself
};

const SavedFile kFiles[] = {
    {"three-tracks.mov", "", true},
    {"reference.mov", "menu 129 4\nnav save $DIR/reference.mov\n", false},
};

std::string Script(const SavedFile& file, const std::string& dir, long killAt)
{
    std::string before = file.before;
    for (size_t at; (at = before.find("$DIR")) != std::string::npos;)
        before.replace(at, 4, dir);
    std::string title = file.name;
    return "open " + dir + "/three-tracks.mov\n" + before + "click \"" + title + " Tracks\" 100 57\n" +
           "menu 133 1\nset 3 " + std::to_string(kNewOffset) + "\nitem 1\nfault kill " + std::to_string(killAt) +
           "\nmenu 129 3\n";
}

// Runs the script in a fresh copy of the movie; the exit status.
int RunKilledAt(const SavedFile& file, const ScratchFolder& dir, long killAt)
{
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        fs::remove_all(entry.path());
    fs::copy_file(std::string(ORVO_SOURCE_DIR) + "/tests/scenarios/movies/three-tracks.mov", dir / "three-tracks.mov");
    std::ofstream(dir / "save.scn") << Script(file, dir.Path(), killAt);
    return RunCommand(std::string(ORVO_BINARY_DIR) + "/orvo-scenario " + Quote(dir / "save.scn") + " >/dev/null 2>&1");
}

TimeValue SecondTrackOffset(const std::string& path)
{
    FSSpec location;
    short refNum = 0;
    if (FSPathMakeFSSpec(path.c_str(), &location, nullptr) != noErr || OpenMovieFile(&location, &refNum, fsRdPerm))
        return -1;
    Movie movie = nullptr;
    short resID = 0;
    NewMovieFromFile(&movie, refNum, &resID, nullptr, 0, nullptr);
    CloseMovieFile(refNum);
    TimeValue offset = movie != nullptr ? GetTrackOffset(GetMovieIndTrack(movie, 2)) : -1;
    if (movie != nullptr)
        DisposeMovie(movie);
    return offset;
}

}  // namespace

TEST(KilledSave, SaveKilledAtAnyWriteLeavesTheOldOrTheNewMovie)
{
    EnterMovies();
    for (const SavedFile& file : kFiles) {
        ScratchFolder dir;
        long killAt = 1;
        for (; killAt < 200; ++killAt) {
            int status = RunKilledAt(file, dir, killAt);
            if (status == 0)
                break;
            ASSERT_EQ(status, kKilledStatus) << file.name << " at write " << killAt;
            TimeValue offset = SecondTrackOffset(dir / file.name);
            EXPECT_TRUE(offset == kOldOffset || offset == kNewOffset)
                << file.name << " killed at write " << killAt << ": offset " << offset;
            std::string errors;
            if (file.dataFork)
                EXPECT_EQ(RunCommand("ffmpeg -nostdin -v error -i " + Quote(dir / file.name) + " -f null -", &errors),
                          0)
                    << file.name << " killed at write " << killAt << ": " << errors;
        }
        EXPECT_GT(killAt, 1) << file.name << ": the save wrote nothing";
        EXPECT_EQ(SecondTrackOffset(dir / file.name), kNewOffset) << file.name;
    }
}
