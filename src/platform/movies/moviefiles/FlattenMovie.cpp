// FlattenMovie and FlattenMovieData: a self-contained copy of a movie.
//
// The copy is built in a hidden file beside the destination and renamed over
// it only when complete, so a cancel, a full disk or any other failure
// leaves the destination (and every source) as it was.
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/AppleDouble.h"
#include "platform/movies/moviefiles/BakedMovie.h"
#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/movies/moviefiles/DataForkWriter.h"
#include "platform/movies/moviefiles/FlattenCopier.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/FlattenPlan.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFileTable.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/moviefiles/MovieProgress.h"
#include "platform/movies/moviefiles/MovieResourceFork.h"
#include "platform/filesystem/SafeFileOps.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/MovieSeam.h"

namespace {

struct FlattenTarget {
    std::string path;
    long flattenFlags = 0;
    bool singleFork = true;
    short resId = movieInDataForkResID;
    std::string resName;
    OSType creator = kMovieFileCreator;
    // Made before any file is, so that committing allocates nothing: running
    // out of memory then could leave temporary files behind.
    std::string companion;
    std::string folder;
};

std::vector<UInt8> MediaDataHeader(UInt64 dataLength, UInt32 headerSize)
{
    std::vector<UInt8> header;
    if (headerSize == 16) {
        BigEndian::Append32(header, 1);
        BigEndian::AppendBytes(header, "mdat", 4);
        BigEndian::Append64(header, dataLength + 16);
    } else {
        BigEndian::Append32(header, UInt32(dataLength + 8));
        BigEndian::AppendBytes(header, "mdat", 4);
    }
    return header;
}

// The copy's movie: the movie as it stands, with only the kept tracks, each
// with the sample tables and edits of the plan. It is built on a copy of the
// movie, because flattening leaves the movie in memory as it was.
OSErr SerializeFlattened(Movie theMovie, const FlattenPlan& plan, const std::string& destination,
                         std::vector<UInt8>* moov)
{
    Movie copy = nullptr;
    if (OSErr err = CopyWithBakedTracks(theMovie, plan.tracks, true, &copy)) {
        DisposeMovie(copy);
        return err;
    }
    SerializeOptions options;
    options.destinationPath = destination;
    options.forceCo64 = plan.needsCo64;
    // The plan's tables already hold the new chunk offsets.
    options.remapChunkOffset = [](Track, UInt32, UInt64 offset) { return offset; };
    OSErr err = SerializeMovieAtom(copy, options, moov);
    DisposeMovie(copy);
    return err;
}

OSErr WriteCompanionTemp(const FlattenTarget& target, std::vector<UInt8> moov, std::string* tempPath)
{
    ResourceFork fork;
    ResourceForkEntry entry;
    entry.type = kMovieResourceType;
    entry.id = target.resId > 0 ? target.resId : 128;
    entry.hasName = !target.resName.empty();
    entry.name = target.resName;
    entry.data = std::move(moov);
    fork.Set(std::move(entry));
    OSErr err = noErr;
    std::string companion = AppleDoubleCompanionPath(target.path);
    int fd = SafeFileOps::CreateTemporaryBeside(companion, tempPath, &err);
    if (fd < 0)
        return err;
    close(fd);
    return MovieResourceFork::Write(*tempPath, AppleDoubleFile{}, fork, target.creator);
}

// The new companion's movie refers to samples in the new data fork, so the
// data goes first: the old companion is removed (its movie would read the
// new data with old offsets), the data renamed into place, then the new
// companion. An interruption in between leaves a file without a movie,
// never a movie reading the wrong bytes. Unless flushFirst, the data take
// their name without waiting for the disk.
OSErr CommitFiles(int dataFd, const std::string& dataTemp, const std::string& companionTemp,
                  const FlattenTarget& target, bool flushFirst)
{
    const std::string& companion = target.companion;
    if (unlink(companion.c_str()) != 0 && errno != ENOENT) {
        int err = errno;
        SafeFileOps::DiscardTemporary(dataFd, dataTemp);
        if (!companionTemp.empty())
            unlink(companionTemp.c_str());
        return OSErrFromErrno(err);
    }
    OSErr committed = flushFirst ? SafeFileOps::CommitTemporary(dataFd, dataTemp, target.path)
                                 : SafeFileOps::CommitNewFile(dataFd, dataTemp, target.path);
    if (OSErr err = committed) {
        if (!companionTemp.empty())
            unlink(companionTemp.c_str());
        return err;
    }
    if (companionTemp.empty())
        return noErr;
    if (int err = FileWriteLayer::Rename(companionTemp, companion)) {
        unlink(companionTemp.c_str());
        return OSErrFromErrno(err);
    }
    FileWriteLayer::SyncFolder(target.folder);
    return noErr;
}

OSErr WriteFlattened(Movie theMovie, const FlattenTarget& target, int fd, bool flushFirst, std::string* companionTemp)
{
    auto fileType = DataForkWriter::QuickTimeFileType();
    FlattenPlan plan;
    if (OSErr err = FlattenPlan::Make(theMovie, target.flattenFlags, fileType.size(), &plan))
        return err;
    MovieProgress progress(theMovie, progressOpFlatten);
    if (progress.Result())
        return progress.Result();
    std::vector<UInt8> head(fileType.begin(), fileType.end());
    auto mdat = MediaDataHeader(plan.dataLength, plan.mediaDataHeaderSize);
    head.insert(head.end(), mdat.begin(), mdat.end());
    if (int e = FileWriteLayer::WriteAt(fd, 0, head.data(), head.size()))
        return OSErrFromErrno(e);
    if (OSErr err = CopyFlattenedSamples(plan, fd, flushFirst, progress))
        return err;
    std::vector<UInt8> moov;
    if (OSErr err = SerializeFlattened(theMovie, plan, target.path, &moov))
        return err;
    if (!target.singleFork)
        return WriteCompanionTemp(target, std::move(moov), companionTemp);
    if (int e = FileWriteLayer::WriteAt(fd, plan.dataStart + plan.dataLength, moov.data(), moov.size()))
        return OSErrFromErrno(e);
    return noErr;
}

OSErr Flatten(Movie theMovie, const FlattenTarget& target, long createMovieFileFlags)
{
    if (!theMovie)
        return invalidMovie;
    struct stat st {};
    bool exists = stat(target.path.c_str(), &st) == 0;
    if (exists && !(createMovieFileFlags & createMovieFileDeleteCurFile))
        return dupFNErr;
    if ((exists && SafeFileOps::IsLocked(target.path)) || SafeFileOps::IsLocked(SafeFileOps::FolderOf(target.path)))
        return permErr;
    if (exists && (MovieDataRefs::MovieUsesFile(theMovie, target.path) ||
                   MovieFileTable::IsOpenForWriting(st.st_dev, st.st_ino, 0)))
        return fBsyErr;
    std::string tempPath, companionTemp;
    OSErr err = noErr;
    int fd = SafeFileOps::CreateTemporaryBeside(target.path, &tempPath, &err);
    if (fd < 0)
        return err;
    // The copy must be on the disk before it takes its name when it
    // replaces either file of the destination, and when a new companion's
    // movie will refer to it (a crash must not leave that movie reading
    // bytes never written). A single fork that replaces nothing holds its
    // own movie: cut short by a crash, it has none.
    bool flushFirst = exists || !target.singleFork || access(target.companion.c_str(), F_OK) == 0 || errno != ENOENT;
    err = GuardMemory([&] { return WriteFlattened(theMovie, target, fd, flushFirst, &companionTemp); });
    if (err) {
        SafeFileOps::DiscardTemporary(fd, tempPath);
        if (!companionTemp.empty())
            unlink(companionTemp.c_str());
        return err;
    }
    return CommitFiles(fd, tempPath, companionTemp, target, flushFirst);
}

FlattenTarget MakeTarget(const FSSpec* theFile, long flattenFlags, long createFlags, short* resId,
                         ConstStr255Param resName, OSType creator)
{
    FlattenTarget target;
    target.path = FSSpecPath(*theFile);
    target.flattenFlags = flattenFlags;
    target.resId = resId ? *resId : 0;
    target.singleFork = target.resId == movieInDataForkResID || (flattenFlags & flattenAddMovieToDataFork) ||
                        (createFlags & createMovieFileDontCreateResFile) ||
                        (flattenFlags & createMovieFileDontCreateResFile);
    if (target.singleFork)
        target.resId = movieInDataForkResID;
    else if (target.resId <= 0)
        target.resId = 128;
    target.resName = resName ? pstr::ToStd(resName) : std::string();
    target.creator = creator ? creator : OSType(kMovieFileCreator);
    target.companion = AppleDoubleCompanionPath(target.path);
    target.folder = SafeFileOps::FolderOf(target.path);
    return target;
}

}  // namespace

static void FlattenMovieEntry(Movie theMovie, long movieFlattenFlags, const FSSpec* theFile, OSType creator,
                              long createMovieFileFlags, short* resId, ConstStr255Param resName)
{
    if (!theFile) {
        SetMoviesError(paramErr);
        return;
    }
    FlattenTarget target = MakeTarget(theFile, movieFlattenFlags, createMovieFileFlags, resId, resName, creator);
    OSErr err = target.path.empty() ? OSErr(dirNFErr) : Flatten(theMovie, target, createMovieFileFlags);
    if (!err && resId)
        *resId = target.resId;
    SetMoviesError(err);
}

// Running out of memory is memFullErr, and leaves no file behind: the
// temporary file is discarded like on any other failure.
void FlattenMovie(Movie theMovie, long movieFlattenFlags, const FSSpec* theFile, OSType creator,
                  ScriptCode scriptTag, long createMovieFileFlags, short* resId, ConstStr255Param resName)
{
    GuardMemoryValue([&] {
        FlattenMovieEntry(theMovie, movieFlattenFlags, theFile, creator, createMovieFileFlags, resId, resName);
    });
}

Movie FlattenMovieData(Movie theMovie, long movieFlattenFlags, const FSSpec* theFile, OSType creator,
                       ScriptCode scriptTag, long createMovieFileFlags)
{
    short resId = movieInDataForkResID;
    FlattenMovie(theMovie, movieFlattenFlags | flattenAddMovieToDataFork, theFile, creator, scriptTag,
                 createMovieFileFlags, &resId, nullptr);
    if (GetMoviesError())
        return nullptr;
    short refNum = 0;
    if (OpenMovieFile(theFile, &refNum, fsRdPerm))
        return nullptr;
    Movie movie = nullptr;
    OSErr err = NewMovieFromFile(&movie, refNum, &resId, nullptr, newMovieActive, nullptr);
    CloseMovieFile(refNum);
    SetMoviesError(err);
    return movie;
}
