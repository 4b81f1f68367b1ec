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
