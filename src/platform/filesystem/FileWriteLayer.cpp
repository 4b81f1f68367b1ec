#include "platform/filesystem/FileWriteLayer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>


namespace {

WriteFault gFault;
long gOperations = 0;
bool gFaultTripped = false;

// Counts one operation and says whether it must fail (returns the errno), or
// ends the process when the test asked for a crash. `partial` is called first
// in that case so that a crash in the middle of a write leaves half of it.
template <typename Partial>
int CountOperation(Partial partial)
{
    ++gOperations;
    if (gFault.kind == WriteFault::none)
        return 0;
    bool hit = gOperations == gFault.atOperation || (gFaultTripped && gFault.sticky);
    if (!hit)
        return 0;
    gFaultTripped = true;
    if (gFault.kind == WriteFault::killProcess) {
        partial();
        _exit(77);
    }
    return gFault.errnoValue ? gFault.errnoValue : EIO;
}

int WriteFully(int fd, std::uint64_t offset, const std::uint8_t* p, std::size_t length)
{
    while (length > 0) {
        ssize_t n = pwrite(fd, p, length, off_t(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return ENOSPC;
        p += n;
        offset += std::uint64_t(n);
        length -= std::size_t(n);
    }
    return 0;
}

// Falls back to reading and writing when the kernel cannot copy between the
// two files itself (different file systems on older kernels).
int CopyByBuffer(int srcFd, std::uint64_t srcOffset, int dstFd, std::uint64_t dstOffset, std::uint64_t length)
{
    std::vector<std::uint8_t> buffer(std::size_t(std::min<std::uint64_t>(length, 4u << 20)));
    while (length > 0) {
        std::size_t n = std::size_t(std::min<std::uint64_t>(length, buffer.size()));
        if (int err = FileWriteLayer::ReadAt(srcFd, srcOffset, buffer.data(), n))
            return err;
        if (int err = WriteFully(dstFd, dstOffset, buffer.data(), n))
            return err;
        srcOffset += n;
        dstOffset += n;
        length -= n;
    }
    return 0;
}

}  // namespace

namespace FileWriteLayer {

int ReadAt(int fd, std::uint64_t offset, void* to, std::size_t length)
{
    auto* p = static_cast<std::uint8_t*>(to);
    while (length > 0) {
        ssize_t n = pread(fd, p, length, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;  // the source is shorter than its sample table says
        p += n;
        offset += std::uint64_t(n);
        length -= std::size_t(n);
    }
    return 0;
}

void InjectWriteFault(const WriteFault& fault)
{
    gFault = fault;
    gOperations = 0;
    gFaultTripped = false;
}

void ClearWriteFault() { InjectWriteFault(WriteFault{}); }

long OperationCount() { return gOperations; }

int WriteAt(int fd, std::uint64_t offset, const void* data, std::size_t length)
{
    auto p = static_cast<const std::uint8_t*>(data);
    if (int err = CountOperation([&] { WriteFully(fd, offset, p, length / 2); }))
        return err;
    return WriteFully(fd, offset, p, length);
}

int CopyRange(int srcFd, std::uint64_t srcOffset, int dstFd, std::uint64_t dstOffset, std::uint64_t length)
{
    if (int err = CountOperation([&] { CopyByBuffer(srcFd, srcOffset, dstFd, dstOffset, length / 2); }))
        return err;
    // The kernel moves 16 pages at a time, each step written into the
    // destination's cache as one block when it starts on a 64 KiB boundary
    // there, and as several smaller ones (some 40% more work) when it does not;
    // so a copy that starts elsewhere is split at the first such boundary.
    constexpr std::uint64_t kStep = 64u << 10;
    std::uint64_t first = (kStep - dstOffset % kStep) % kStep;
    while (length > 0) {
        std::uint64_t want = std::min<std::uint64_t>(length, first ? first : 1u << 30);
        first = 0;
        off_t in = off_t(srcOffset), out = off_t(dstOffset);
        ssize_t n = copy_file_range(srcFd, &in, dstFd, &out, std::size_t(want), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                       ? errno
                       : CopyByBuffer(srcFd, srcOffset, dstFd, dstOffset, length);
        srcOffset += std::uint64_t(n);
        dstOffset += std::uint64_t(n);
        length -= std::uint64_t(n);
    }
    return 0;
}

int Sync(int fd)
{
    if (int err = CountOperation([] {}))
        return err;
    return fsync(fd) == 0 ? 0 : errno;
}

int Truncate(int fd, std::uint64_t length)
{
    if (int err = CountOperation([] {}))
        return err;
    return ftruncate(fd, off_t(length)) == 0 ? 0 : errno;
}

int Rename(const std::string& from, const std::string& to)
{
    if (int err = CountOperation([] {}))
        return err;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (int err = CountOperation([] {}))
        return err;
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int SyncFolder(const std::string& folder)
{
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = Sync(fd);
    close(fd);
    return err;
}

}  // namespace FileWriteLayer
