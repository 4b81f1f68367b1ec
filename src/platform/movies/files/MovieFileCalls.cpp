// OpenMovieFile, CloseMovieFile and CreateMovieFile: the open-file table's
// entries and the files behind them.
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files/AppleDouble.h"
#include "platform/movies/files/FileReplacement.h"
#include "platform/movies/files/MovieFileTable.h"
#include "platform/movies/files/MovieFiles.h"
#include "platform/movies/files/MovieResourceFork.h"
#include "platform/movies/files/SafeFileOps.h"

namespace {

OSErr Fail(OSErr err)
{
    SetMoviesError(err);
    return err;
}

std::string AbsolutePath(const FSSpec* spec)
{
    std::string path = FSSpecPath(*spec);
    if (path.empty())
        return path;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

// A file or folder without any write permission bit is locked, whoever the
// process runs as: the classic File Manager refused writes to locked files
// even to their owner.
bool IsLocked(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

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

}  // namespace

OSErr OpenMovieFile(const FSSpec* fileSpec, short* resRefNum, SInt8 permission)
{
    if (!fileSpec || !resRefNum)
        return Fail(paramErr);
    *resRefNum = 0;
    std::string path = AbsolutePath(fileSpec);
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return Fail(path.empty() ? OSErr(fnfErr) : OSErrFromErrno(errno));
    if (S_ISDIR(st.st_mode))
        return Fail(notAFileErr);
    bool write = WantsWrite(permission) || (permission == fsCurPerm && CheckWritable(path) == noErr);
    if (write) {
        if (OSErr err = CheckWritable(path))
            return Fail(err);
        if (MovieFileTable::IsOpenForWriting(st.st_dev, st.st_ino, 0))
            return Fail(opWrErr);
    }
    MovieFileRecord record;
    record.path = path;
    record.workPath = path;
    record.writable = write;
    if (OSErr err = OpenDataFork(path, write, &record.fd))
        return Fail(err);
    *resRefNum = MovieFileTable::Add(std::move(record));
    return Fail(noErr);
}

OSErr CloseMovieFile(short resRefNum)
{
    MovieFileRecord* record = MovieFileTable::Find(resRefNum);
    if (!record)
        return Fail(rfNumErr);
    OSErr err = FileReplacement::Commit(record);
    if (err)
        FileReplacement::Abandon(record);
    close(record->fd);
    MovieFileTable::Remove(resRefNum);
    return Fail(err);
}

OSErr CreateMovieFile(const FSSpec* fileSpec, OSType creator, ScriptCode scriptTag, long createMovieFileFlags,
                      short* resRefNum, Movie* newmovie)
{
    if (!fileSpec)
        return Fail(paramErr);
    if (resRefNum)
        *resRefNum = 0;
    if (newmovie && !(createMovieFileFlags & createMovieFileDontCreateMovie))
        *newmovie = nullptr;
    std::string path = AbsolutePath(fileSpec);
    if (path.empty())
        return Fail(dirNFErr);
    struct stat st {};
    bool exists = stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return Fail(notAFileErr);
    if (exists && !(createMovieFileFlags & createMovieFileDeleteCurFile))
        return Fail(dupFNErr);
    // A file open for writing is busy, as on a classic volume: replacing it
    // would leave its writer saving into a file that no longer has a name.
    if (exists && MovieFileTable::IsOpenForWriting(st.st_dev, st.st_ino, 0))
        return Fail(fBsyErr);
    if ((exists && IsLocked(path)) || IsLocked(SafeFileOps::FolderOf(path)))
        return Fail(permErr);

    MovieFileRecord record;
    if (OSErr err = CreateNewFile(path, exists, &record))
        return Fail(err);
    record.wantsResourceFork = !(createMovieFileFlags & createMovieFileDontCreateResFile);
    OSErr err = record.wantsResourceFork ? CreateCompanion(record.WritePath(), creator ? creator : kMovieFileCreator)
                                         : OSErr(noErr);
    if (!err && (createMovieFileFlags & createMovieFileDontOpenFile)) {
        err = FileReplacement::Commit(&record);
        close(record.fd);
    } else if (!err && resRefNum) {
        *resRefNum = MovieFileTable::Add(record);
    } else if (!err) {
        // Nobody can write into a file whose reference number is not kept,
        // so the (empty) replacement is made now.
        err = FileReplacement::Commit(&record);
        close(record.fd);
    }
    if (err) {
        if (record.fd >= 0 && !(createMovieFileFlags & createMovieFileDontOpenFile))
            close(record.fd);
        FileReplacement::Abandon(&record);
        if (!exists)
            unlink(path.c_str()), unlink(AppleDoubleCompanionPath(path).c_str());
        return Fail(err);
    }
    if (newmovie && !(createMovieFileFlags & createMovieFileDontCreateMovie)) {
        *newmovie = NewMovie(newMovieActive);
        if (!*newmovie)
            return Fail(GetMoviesError());
    }
    return Fail(noErr);
}
