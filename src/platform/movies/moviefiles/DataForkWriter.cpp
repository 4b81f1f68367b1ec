#include "platform/movies/moviefiles/DataForkWriter.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFileErrors.h"
#include "platform/filesystem/SafeFileOps.h"
#include "platform/movies/model/MovieSeam.h"

namespace {

constexpr UInt8 kFileType[20] = {0, 0, 0, 20, 'f', 't', 'y', 'p', 'q', 't', ' ', ' ',
                                 0x20, 0x05, 0x03, 0x00, 'q', 't', ' ', ' '};

OSErr FromErrno(int err) { return err ? OSErrFromErrno(err) : OSErr(noErr); }

OSErr ScanAtoms(int fd, UInt64 size, std::vector<TopLevelAtom>* atoms)
{
    ReadAtProc readAt = [fd](UInt64 offset, UInt8* buffer, size_t length) {
        return pread(fd, buffer, length, off_t(offset)) == ssize_t(length);
    };
    return ScanTopLevelAtoms(size, readAt, atoms);
}

bool IsFragmentAtom(OSType type) { return type == 'moof' || type == 'sidx' || type == 'mfra'; }

// An atom whose size field says "to the end of the file" or more than the
// file holds would swallow an atom appended after it: give it its real size
// first. Returns where the next atom may begin.
OSErr SealLastAtom(int fd, const TopLevelAtom& last, UInt64 fileSize, UInt64* appendAt)
{
    *appendAt = last.offset + last.size;
    if (!last.extendsToEnd && !last.truncated)
        return noErr;
    UInt64 realSize = fileSize - last.offset;
    UInt8 field[8];
    if (last.headerSize == 16) {
        BigEndian::Put64(field, realSize);
        if (int err = FileWriteLayer::WriteAt(fd, last.offset + 8, field, 8))
            return OSErrFromErrno(err);
    } else if (realSize <= 0xFFFFFFFFu && realSize >= 8) {
        BigEndian::Put32(field, UInt32(realSize));
        if (int err = FileWriteLayer::WriteAt(fd, last.offset, field, 4))
            return OSErrFromErrno(err);
    } else {
        return featureUnsupported;
    }
    *appendAt = fileSize;
    return noErr;
}

OSErr RetireAtoms(int fd, const std::vector<TopLevelAtom>& atoms, bool fragmentsToo)
{
    for (const auto& atom : atoms)
        if (atom.type == 'moov' || (fragmentsToo && IsFragmentAtom(atom.type)))
            if (int err = FileWriteLayer::WriteAt(fd, atom.offset + 4, "free", 4))
                return OSErrFromErrno(err);
    return noErr;
}

OSErr AppendAndRetire(int fd, const std::vector<TopLevelAtom>& atoms, UInt64 fileSize,
                      std::span<const UInt8> moov, bool fragmentsToo)
{
    UInt64 appendAt = fileSize;
    if (!atoms.empty())
        if (OSErr err = SealLastAtom(fd, atoms.back(), fileSize, &appendAt))
            return err;
    if (int err = FileWriteLayer::WriteAt(fd, appendAt, moov.data(), moov.size())) {
        // Best effort: do not leave half a movie atom dangling at the end.
        // Its result is not needed: the old movie is still the first one
        // either way, and the write's error is the one to report.
        FileWriteLayer::Truncate(fd, std::max(fileSize, appendAt));
        return OSErrFromErrno(err);
    }
    // Stray bytes after the last atom (too few for a header) are cut off so
    // the file ends with the new movie.
    if (appendAt + moov.size() < fileSize)
        if (int err = FileWriteLayer::Truncate(fd, appendAt + moov.size()))
            return OSErrFromErrno(err);
    if (int err = FileWriteLayer::Sync(fd))
        return OSErrFromErrno(err);
    if (OSErr err = RetireAtoms(fd, atoms, fragmentsToo))
        return err;
    return FromErrno(FileWriteLayer::Sync(fd));
}

OSErr RewriteWithoutFragments(int* fd, const std::string& path, const std::vector<TopLevelAtom>& atoms,
                              UInt64 fileSize, std::span<const UInt8> moov)
{
    std::string tempPath;
    OSErr err = noErr;
    int temp = SafeFileOps::CreateTemporaryBeside(path, &tempPath, &err);
    if (temp < 0)
        return err;
    struct stat st {};
    if (fstat(*fd, &st) == 0)
        fchmod(temp, st.st_mode & 07777);
    if (int e = FileWriteLayer::CopyRange(*fd, 0, temp, 0, fileSize))
        err = OSErrFromErrno(e);
    if (!err)
        err = AppendAndRetire(temp, atoms, fileSize, moov, true);
    if (err) {
        SafeFileOps::DiscardTemporary(temp, tempPath);
        return err;
    }
    if ((err = SafeFileOps::CommitTemporary(temp, tempPath, path)))
        return err;
    int reopened = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (reopened < 0)
        return OSErrFromErrno(errno);
    close(*fd);
    *fd = reopened;
    return noErr;
}

}  // namespace

namespace DataForkWriter {

std::span<const UInt8> QuickTimeFileType() { return kFileType; }

OSErr PutMovieAtom(int* fd, const std::string& path, std::span<const UInt8> moovAtom,
                   const FreeSpaceReuse::SampleCheck& holdsSamples)
{
    struct stat st {};
    if (fstat(*fd, &st) != 0)
        return OSErrFromErrno(errno);
    UInt64 fileSize = UInt64(st.st_size);
    if (fileSize == 0) {
        std::vector<UInt8> bytes(kFileType, kFileType + sizeof kFileType);
        bytes.insert(bytes.end(), moovAtom.begin(), moovAtom.end());
        if (int err = FileWriteLayer::WriteAt(*fd, 0, bytes.data(), bytes.size()))
            return OSErrFromErrno(err);
        return FromErrno(FileWriteLayer::Sync(*fd));
    }
    std::vector<TopLevelAtom> atoms;
    if (OSErr err = ScanAtoms(*fd, fileSize, &atoms))
        return err;
    bool fragmented = false;
    for (const auto& atom : atoms)
        fragmented = fragmented || atom.type == 'moof';
    if (fragmented)
        return RewriteWithoutFragments(fd, path, atoms, fileSize, moovAtom);
    FreeSpaceReuse::FreeRun run;
    if (!FreeSpaceReuse::FindRun(atoms, moovAtom.size(), holdsSamples, &run))
        return AppendAndRetire(*fd, atoms, fileSize, moovAtom, false);
    if (OSErr err = FreeSpaceReuse::WriteIntoRun(*fd, run, moovAtom))
        return err;
    if (OSErr err = RetireAtoms(*fd, atoms, false))
        return err;
    if (OSErr err = FromErrno(FileWriteLayer::Sync(*fd)))
        return err;
    // The new movie is in place; cutting the retired space off is a bonus
    // whose failure takes nothing from the save.
    FreeSpaceReuse::TrimTrailingFreeSpace(*fd, atoms, run.offset + run.size, holdsSamples);
    return noErr;
}

}  // namespace DataForkWriter
