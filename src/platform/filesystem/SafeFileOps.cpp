#include "platform/filesystem/SafeFileOps.h"

#include <cerrno>
#include <new>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filesystem/Files.h"
#include "platform/filesystem/FileWriteLayer.h"

namespace SafeFileOps {

std::string FolderOf(const std::string& path)
{
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

bool IsLocked(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

int CreateTemporaryBeside(const std::string& path, std::string* tempPath, OSErr* err)
{
    std::string name = std::filesystem::path(path).filename().string();
    // The name is made in its final string, so that nothing is left to
    // allocate (and fail) once the file exists.
    std::string temp = FolderOf(path) + "/.orvo-" + name.substr(0, 64) + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        *err = OSErrFromErrno(errno);
        return -1;
    }
    fchmod(fd, 0644);
    tempPath->swap(temp);
    *err = noErr;
    return fd;
}

void DiscardTemporary(int tempFd, const std::string& tempPath)
{
    if (tempFd >= 0)
        close(tempFd);
    if (!tempPath.empty())
        unlink(tempPath.c_str());
}

OSErr CommitTemporary(int tempFd, const std::string& tempPath, const std::string& path)
{
    // The folder's name is made before the rename, after which nothing may
    // fail; the temporary file is discarded on any failure, this one too.
    std::string folder;
    try {
        folder = FolderOf(path);
    } catch (const std::bad_alloc&) {
        DiscardTemporary(tempFd, tempPath);
        return memFullErr;
    }
    int err = FileWriteLayer::Sync(tempFd);
    if (!err)
        err = FileWriteLayer::Rename(tempPath, path);
    if (err) {
        DiscardTemporary(tempFd, tempPath);
        return OSErrFromErrno(err);
    }
    close(tempFd);
    // The rename is done; a failing folder flush only weakens durability.
    FileWriteLayer::SyncFolder(folder);
    return noErr;
}

OSErr CommitNewFile(int tempFd, const std::string& tempPath, const std::string& path)
{
    int err = FileWriteLayer::RenameNoReplace(tempPath, path);
    if (err == EEXIST || err == EINVAL || err == ENOSYS)
        return CommitTemporary(tempFd, tempPath, path);
    if (err) {
        DiscardTemporary(tempFd, tempPath);
        return OSErrFromErrno(err);
    }
    close(tempFd);
    return noErr;
}

OSErr ReplaceFileContents(const std::string& path, std::span<const UInt8> bytes)
{
    std::string tempPath;
    OSErr err = noErr;
    int fd = CreateTemporaryBeside(path, &tempPath, &err);
    if (fd < 0)
        return err;
    if (int e = FileWriteLayer::WriteAt(fd, 0, bytes.data(), bytes.size())) {
        DiscardTemporary(fd, tempPath);
        return OSErrFromErrno(e);
    }
    return CommitTemporary(fd, tempPath, path);
}

bool FileIdentity(const std::string& path, dev_t* dev, ino_t* ino)
{
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0)
        return false;
    *dev = st.st_dev;
    *ino = st.st_ino;
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    dev_t da, db;
    ino_t ia, ib;
    return FileIdentity(a, &da, &ia) && FileIdentity(b, &db, &ib) && da == db && ia == ib;
}

}  // namespace SafeFileOps
