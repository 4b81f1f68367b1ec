#include "FilesTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "FixtureMovies.h"
#include "platform/core/Memory.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFiles.h"

bool MakeFfmpegMovie(const std::string& path, const std::string& args)
{
    std::string output;
    int status = RunCommand("ffmpeg -nostdin -hide_banner -loglevel error -y " + args + " " + Quote(path), &output);
    EXPECT_EQ(status, 0) << output;
    return status == 0;
}

FSSpec SpecFor(const std::string& path)
{
    FSSpec location {};
    FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    return location;
}

std::string DecodeErrors(const std::string& path)
{
    std::string out;
    int status = RunCommand("ffmpeg -nostdin -v error -enable_drefs 1 -i " + Quote(path) + " -f null -", &out);
    return status == 0 ? out : "exit " + std::to_string(status) + ": " + out;
}

int VideoPackets(const std::string& path)
{
    return std::atoi(CommandOutput("ffprobe -v error -enable_drefs 1 -count_packets -select_streams v:0 "
                                   "-show_entries stream=nb_read_packets -of csv=p=0 " +
                                   Quote(path))
                         .c_str());
}

int FilesIn(const std::string& folder)
{
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(folder))
        n += e.is_regular_file() ? 1 : 0;
    return n;
}

TimeValue FirstTrackOffset(const std::string& path)
{
    OpenMovie open(path);
    return open.movie ? GetTrackOffset(GetMovieIndTrack(open.movie, 1)) : -1;
}

OpenMovie::OpenMovie(const std::string& path) { movie = FixtureMovies::Open(path, &refNum, &resId); }

void OpenMovie::Close()
{
    DisposeMovie(movie);
    if (refNum)
        CloseMovieFile(refNum);
    movie = nullptr, refNum = 0;
}

void RunKilledAtWrite(long k, const std::function<void(const WriteFault&)>& write)
{
    pid_t child = fork();
    if (child == 0) {
        write({WriteFault::killProcess, k, 0, false});
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 77) << "the write did not stop at write " << k;
}

void SaveAsTwoForkMovie(Movie movie, const std::string& path)
{
    FSSpec location = SpecFor(path);
    short refNum = 0, resId = 0;
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, createMovieFileDontCreateMovie, &refNum, nullptr), noErr);
    EXPECT_EQ(AddMovieResource(movie, refNum, &resId, nullptr), noErr);
    CloseMovieFile(refNum);
}

void SaveAsReferenceMovie(Movie movie, const std::string& path, short resId)
{
    FSSpec location = SpecFor(path);
    short refNum = 0;
    long flags = createMovieFileDeleteCurFile | createMovieFileDontCreateMovie |
                 (resId == movieInDataForkResID ? long(createMovieFileDontCreateResFile) : 0L);
    ASSERT_EQ(CreateMovieFile(&location, 'TVOD', -2, flags, &refNum, nullptr), noErr);
    EXPECT_EQ(AddMovieResource(movie, refNum, &resId, nullptr), noErr);
    CloseMovieFile(refNum);
}

OSErr FlattenMovieTo(Movie movie, const std::string& path, long flattenFlags, short resId)
{
    FSSpec location = SpecFor(path);
    if (resId == movieInDataForkResID)
        flattenFlags |= flattenAddMovieToDataFork;
    FlattenMovie(movie, flattenFlags, &location, 'TVOD', -2, createMovieFileDeleteCurFile, &resId, nullptr);
    return GetMoviesError();
}

Movie ExportFirstVideoTrack(Movie source)
{
    Track srcTrack = nullptr;
    for (long i = 1; i <= GetMovieTrackCount(source) && !srcTrack; ++i) {
        OSType type = 0;
        GetMediaHandlerDescription(GetTrackMedia(GetMovieIndTrack(source, i)), &type, nullptr, nullptr);
        if (type == VideoMediaType)
            srcTrack = GetMovieIndTrack(source, i);
    }
    if (!srcTrack)
        return nullptr;
    Media srcMedia = GetTrackMedia(srcTrack);
    Movie movie = NewMovie(newMovieActive);
    CopyMovieSettings(source, movie);
    Track dest = NewMovieTrack(movie, 0, 0, 0);
    CopyTrackSettings(srcTrack, dest);
    Handle dataRef = nullptr;
    OSType refType = 0;
    long attributes = 0;
    EXPECT_EQ(GetMediaDataRef(srcMedia, 1, &dataRef, &refType, &attributes), noErr);
    OSType mediaType = 0;
    GetMediaHandlerDescription(srcMedia, &mediaType, nullptr, nullptr);
    NewTrackMedia(dest, mediaType, GetMediaTimeScale(srcMedia), dataRef, refType);
    EXPECT_EQ(InsertTrackSegment(srcTrack, dest, 0, GetTrackDuration(srcTrack), 0), noErr);
    DisposeHandle(dataRef);
    return movie;
}

namespace {

std::uint32_t Get32(const std::vector<std::uint8_t>& b, long long at)
{
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) | b[at + 3];
}

long long FindChild(const std::vector<std::uint8_t>& file, long long begin, long long end, const std::string& type,
                    int index)
{
    for (long long at = begin; at + 8 <= end;) {
        long long size = Get32(file, at);
        if (size < 8 || at + size > end)
            return -1;
        if (std::string(reinterpret_cast<const char*>(&file[at + 4]), 4) == type && index-- == 0)
            return at;
        at += size;
    }
    return -1;
}

}  // namespace

std::vector<long long> ContainerOffsets(const std::vector<std::uint8_t>& file, const std::vector<std::string>& path,
                                        int trakIndex)
{
    std::vector<long long> offsets;
    long long begin = 0, end = (long long)file.size();
    for (const auto& type : path) {
        long long at = FindChild(file, begin, end, type, type == "trak" ? trakIndex : 0);
        if (at < 0)
            return {};
        offsets.push_back(at);
        // dref is a full atom with an entry count before its children.
        begin = at + (type == "dref" ? 16 : 8);
        end = at + Get32(file, at);
    }
    return offsets;
}

void ReplaceAtom(std::vector<std::uint8_t>& file, const std::vector<long long>& containerOffsets, long long offset,
                 const std::vector<std::uint8_t>& replacement)
{
    long long oldSize = Get32(file, offset);
    long long delta = (long long)replacement.size() - oldSize;
    file.erase(file.begin() + offset, file.begin() + offset + oldSize);
    file.insert(file.begin() + offset, replacement.begin(), replacement.end());
    for (long long at : containerOffsets) {
        if (at >= offset)
            continue;
        std::uint32_t size = std::uint32_t(Get32(file, at) + delta);
        file[at] = std::uint8_t(size >> 24), file[at + 1] = std::uint8_t(size >> 16);
        file[at + 2] = std::uint8_t(size >> 8), file[at + 3] = std::uint8_t(size);
    }
}
