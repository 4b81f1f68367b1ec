// Creating, deleting and renaming files. Each call keeps the AppleDouble
// companion "._NAME" with its data file, so Finder info and a resource fork
// never end up attached to the wrong file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/core/PascalStrings.h"
#include "platform/filesystem/AppleDouble.h"
#include "platform/filesystem/DirectoryTable.h"
#include "platform/filesystem/FileNames.h"
#include "platform/filesystem/Files.h"

namespace {

// The path behind an FSSpec, or the reason there is none.
OSErr PathOf(const FSSpec* location, std::string* path)
{
    if (location == nil)
        return paramErr;
    *path = FSSpecPath(*location);
    if (path->empty())
        return pstr::ToStd(location->name).find('/') != std::string::npos ? bdNamErr : dirNFErr;
    return noErr;
}

// Removes a companion; a missing one is no error.
OSErr RemoveCompanion(const std::string& dataPath)
{
    if (unlink(AppleDoubleCompanionPath(dataPath).c_str()) != 0 && errno != ENOENT)
        return OSErrFromErrno(errno);
    return noErr;
}

bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// rename() that refuses to replace an existing file.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system cannot refuse atomically; check first instead.
    if (Exists(to))
        return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

OSErr FSpCreate(const FSSpec* location, OSType creator, OSType fileType, ScriptCode scriptTag)
{
    std::string path;
    if (OSErr err = PathOf(location, &path))
        return err;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)  // with O_CREAT, only the directory can be missing
        return errno == ENOENT ? OSErr(dirNFErr) : OSErrFromErrno(errno);
    close(fd);
    // A companion left behind by a file deleted outside this program would
    // otherwise lend its Finder info and resource fork to the new file.
    OSErr err = RemoveCompanion(path);
    if (err == noErr && fileType != files::InferredFileType(FSSpecRealName(*location))) {
        FInfo info{};
        info.fdType = fileType;
        info.fdCreator = creator;
        err = FSpSetFInfo(location, &info);
    }
    if (err != noErr)
        unlink(path.c_str());
    return err;
}

OSErr FSpDelete(const FSSpec* location)
{
    std::string path;
    if (OSErr err = PathOf(location, &path))
        return err;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return OSErrFromErrno(errno);
    if (S_ISDIR(info.st_mode)) {
        if (rmdir(path.c_str()) != 0)
            return (errno == ENOTEMPTY || errno == EEXIST) ? OSErr(fBsyErr) : OSErrFromErrno(errno);
        return noErr;
    }
    if (unlink(path.c_str()) != 0)
        return OSErrFromErrno(errno);
    return RemoveCompanion(path);
}

OSErr FSpRename(const FSSpec* location, ConstStr255Param newName)
{
    std::string path;
    if (OSErr err = PathOf(location, &path))
        return err;
    std::string leaf = pstr::ToStd(newName);
    if (!files::IsValidLeafName(leaf))
        return bdNamErr;
    std::string dirPath, oldLeaf;
    files::SplitPath(path, &dirPath, &oldLeaf);
    std::string newPath = files::JoinPath(dirPath, leaf);
    if (!Exists(path))
        return fnfErr;
    if (int reason = RenameNoReplace(path, newPath))
        return OSErrFromErrno(reason);
    std::string oldCompanion = AppleDoubleCompanionPath(path);
    if (Exists(oldCompanion)) {
        // The data file has its new name already; a companion that cannot
        // follow is reported, but the file is not renamed back.
        if (rename(oldCompanion.c_str(), AppleDoubleCompanionPath(newPath).c_str()) != 0)
            return OSErrFromErrno(errno);
    }
    return noErr;
}
