// OpenMovieFile, CloseMovieFile and CreateMovieFile: the open-file table's
// entries and the files behind them.
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filesystem/AppleDouble.h"
#include "platform/movies/moviefiles/FileReplacement.h"
#include "platform/movies/moviefiles/MovieFileTable.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/moviefiles/MovieResourceFork.h"
#include "platform/filesystem/SafeFileOps.h"

namespace {

std::string AbsolutePath(const FSSpec* location)
{
    std::string path = FSSpecPath(*location);
    if (path.empty())
        return path;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

using SafeFileOps::IsLocked;

OSErr CheckWritable(const std::string& path)
{
    if (IsLocked(path) || IsLocked(SafeFileOps::FolderOf(path)))
        return permErr;
    return noErr;
}

bool WantsWrite(SInt8 permission) { return permission == fsWrPerm || permission == fsRdWrPerm || permission == fsRdWrShPerm; }

OSErr OpenDataFork(const std::string& path, bool write, int* fd)
{
    *fd = open(path.c_str(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    return *fd < 0 ? OSErrFromErrno(errno) : OSErr(noErr);
}

// An empty resource fork with Finder info, for a new two-fork file.
OSErr CreateCompanion(const std::string& dataPath, OSType creator)
{
    return MovieResourceFork::Write(AppleDoubleCompanionPath(dataPath), AppleDoubleFile{}, ResourceFork{}, creator);
}

OSErr CreateNewFile(const std::string& path, bool replacing, MovieFileRecord* record)
{
    record->path = path;
    record->writable = true;
    if (replacing) {
        OSErr err = noErr;
        record->fd = SafeFileOps::CreateTemporaryBeside(path, &record->workPath, &err);
        record->replacementPending = record->fd >= 0;
        return err;
    }
    record->workPath = path;
    record->fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return record->fd < 0 ? OSErrFromErrno(errno) : OSErr(noErr);
}

// Whether a new movie file may be made at path; *exists tells whether it
// replaces one.
OSErr CheckCreatable(const std::string& path, long flags, bool* exists)
{
    if (path.empty())
        return dirNFErr;
    struct stat st {};
    *exists = stat(path.c_str(), &st) == 0;
    if (*exists && S_ISDIR(st.st_mode))
        return notAFileErr;
    if (*exists && !(flags & createMovieFileDeleteCurFile))
        return dupFNErr;
    // A file open for writing is busy, as on a classic volume: replacing it
    // would leave its writer saving into a file that no longer has a name.
    if (*exists && MovieFileTable::IsOpenForWriting(st.st_dev, st.st_ino, 0))
        return fBsyErr;
    if ((*exists && IsLocked(path)) || IsLocked(SafeFileOps::FolderOf(path)))
        return permErr;
    return noErr;
}

// Enters the new file in the table, or, when the caller keeps no reference
// number, finishes it now: nobody could write into it later.
OSErr KeepOpenOrCommit(MovieFileRecord& record, long flags, short* resRefNum)
{
    if (resRefNum && !(flags & createMovieFileDontOpenFile)) {
        *resRefNum = MovieFileTable::Add(record);
        record.fd = -1;  // the table owns it now
        return noErr;
    }
    OSErr err = FileReplacement::Commit(&record);
    close(record.fd);
    record.fd = -1;
    return err;
}

}  // namespace

static OSErr OpenMovieFileEntry(const FSSpec* fileSpec, short* resRefNum, SInt8 permission)
{
    if (!fileSpec || !resRefNum)
        return MoviesResult(paramErr);
    *resRefNum = 0;
    std::string path = AbsolutePath(fileSpec);
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return MoviesResult(path.empty() ? OSErr(fnfErr) : OSErrFromErrno(errno));
    if (S_ISDIR(st.st_mode))
        return MoviesResult(notAFileErr);
    bool write = WantsWrite(permission) || (permission == fsCurPerm && CheckWritable(path) == noErr);
    if (write) {
        if (OSErr err = CheckWritable(path))
            return MoviesResult(err);
        // Another writer of the same file is welcome (each save appends its
        // movie and leaves every sample where it was), but not a file about
        // to be replaced by a new one: this opener would be left on the old.
        if (MovieFileTable::IsBeingReplaced(path))
            return MoviesResult(opWrErr);
    }
    MovieFileRecord record;
    record.path = path;
    record.workPath = path;
    record.writable = write;
    if (OSErr err = OpenDataFork(path, write, &record.fd))
        return MoviesResult(err);
    try {
        *resRefNum = MovieFileTable::Add(std::move(record));
    } catch (...) {
        close(record.fd);  // the table could not take it
        throw;
    }
    return MoviesResult(noErr);
}

static OSErr CloseMovieFileEntry(short resRefNum)
{
    MovieFileRecord* record = MovieFileTable::Find(resRefNum);
    if (!record)
        return MoviesResult(rfNumErr);
    OSErr err = FileReplacement::Commit(record);
    if (err)
        FileReplacement::Abandon(record);
    close(record->fd);
    MovieFileTable::Remove(resRefNum);
    return MoviesResult(err);
}

static OSErr CreateMovieFileEntry(const FSSpec* fileSpec, OSType creator, long createMovieFileFlags, short* resRefNum,
                                  Movie* newmovie)
{
    if (!fileSpec)
        return MoviesResult(paramErr);
    if (resRefNum)
        *resRefNum = 0;
    bool makeMovie = newmovie && !(createMovieFileFlags & createMovieFileDontCreateMovie);
    if (makeMovie)
        *newmovie = nullptr;
    std::string path = AbsolutePath(fileSpec);
    bool exists = false;
    if (OSErr err = CheckCreatable(path, createMovieFileFlags, &exists))
        return MoviesResult(err);
    // The movie first: once the file is made (and may have replaced another),
    // nothing may fail any more.
    Movie movie = nullptr;
    if (makeMovie && !(movie = NewMovie(newMovieActive)))
        return MoviesResult(GetMoviesError());

    MovieFileRecord record;
    // Running out of memory here takes the way of any other failure, which
    // removes what was made.
    OSErr err = GuardMemory([&] {
        OSErr err = CreateNewFile(path, exists, &record);
        record.wantsResourceFork = !(createMovieFileFlags & createMovieFileDontCreateResFile);
        if (!err && record.wantsResourceFork)
            err = CreateCompanion(record.WritePath(), creator ? creator : OSType(kMovieFileCreator));
        if (!err)
            err = KeepOpenOrCommit(record, createMovieFileFlags, resRefNum);
        return err;
    });
    if (err) {
        if (record.fd >= 0)
            close(record.fd);
        FileReplacement::Abandon(&record);
        if (!exists)
            unlink(path.c_str()), unlink(AppleDoubleCompanionPath(path).c_str());
        DisposeMovie(movie);
        return MoviesResult(err);
    }
    if (makeMovie)
        *newmovie = movie;
    return MoviesResult(noErr);
}

// The calls themselves: running out of memory in any of them is memFullErr.
OSErr OpenMovieFile(const FSSpec* fileSpec, short* resRefNum, SInt8 permission)
{
    return GuardMemory([&] { return OpenMovieFileEntry(fileSpec, resRefNum, permission); });
}

OSErr CloseMovieFile(short resRefNum)
{
    return GuardMemory([&] { return CloseMovieFileEntry(resRefNum); });
}

OSErr CreateMovieFile(const FSSpec* fileSpec, OSType creator, ScriptCode scriptTag, long createMovieFileFlags,
                      short* resRefNum, Movie* newmovie)
{
    return GuardMemory(
        [&] { return CreateMovieFileEntry(fileSpec, creator, createMovieFileFlags, resRefNum, newmovie); });
}
