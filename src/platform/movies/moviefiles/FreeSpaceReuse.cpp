#include "platform/movies/moviefiles/FreeSpaceReuse.h"

#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFileErrors.h"

namespace {

bool IsFree(const TopLevelAtom& atom) { return (atom.type == 'free' || atom.type == 'skip') && !atom.truncated; }

OSErr Write(int fd, UInt64 offset, const void* data, std::size_t length)
{
    int err = FileWriteLayer::WriteAt(fd, offset, data, length);
    return err ? OSErrFromErrno(err) : OSErr(noErr);
}

OSErr Sync(int fd)
{
    int err = FileWriteLayer::Sync(fd);
    return err ? OSErrFromErrno(err) : OSErr(noErr);
}

OSErr WriteFreeHeader(int fd, UInt64 offset, UInt64 size)
{
    UInt8 header[8];
    BigEndian::Put32(header, UInt32(size));
    header[4] = 'f', header[5] = 'r', header[6] = 'e', header[7] = 'e';
    return Write(fd, offset, header, sizeof header);
}

}  // namespace

namespace FreeSpaceReuse {

bool FindRun(const std::vector<TopLevelAtom>& atoms, UInt64 moovSize, const SampleCheck& holdsSamples, FreeRun* out)
{
    if (!holdsSamples)
        return false;
    std::size_t firstMovie = atoms.size(), afterData = 0;
    for (std::size_t i = 0; i < atoms.size(); ++i) {
        if (atoms[i].type == 'moov' && firstMovie == atoms.size())
            firstMovie = i;
        if (atoms[i].type == 'mdat')
            afterData = i + 1;
    }
    for (std::size_t i = afterData; i < firstMovie; ++i) {
        if (!IsFree(atoms[i]) || atoms[i].headerSize != 8)
            continue;
        FreeRun run{atoms[i].offset, 0, 0};
        for (std::size_t j = i; j < firstMovie && IsFree(atoms[j]); ++j)
            run.size += atoms[j].size, ++run.atomCount;
        bool fits = run.size == moovSize || run.size >= moovSize + 8;
        if (fits && run.size <= 0xFFFFFFFFu && !holdsSamples(run.offset, run.size)) {
            *out = run;
            return true;
        }
        i += run.atomCount - 1;
    }
    return false;
}

OSErr WriteIntoRun(int fd, const FreeRun& run, std::span<const UInt8> moov)
{
    // One free atom over the whole run, so that moov bytes written into it
    // never sit where a reader expects the header of the next atom.
    if (run.atomCount > 1) {
        if (OSErr err = WriteFreeHeader(fd, run.offset, run.size))
            return err;
        if (OSErr err = Sync(fd))
            return err;
    }
    if (run.size > moov.size())
        if (OSErr err = WriteFreeHeader(fd, run.offset + moov.size(), run.size - moov.size()))
            return err;
    if (OSErr err = Write(fd, run.offset + 8, moov.data() + 8, moov.size() - 8))
        return err;
    if (OSErr err = Sync(fd))
        return err;
    if (run.size != moov.size()) {
        if (OSErr err = WriteFreeHeader(fd, run.offset, moov.size()))
            return err;
        if (OSErr err = Sync(fd))
            return err;
    }
    if (OSErr err = Write(fd, run.offset + 4, moov.data() + 4, 4))
        return err;
    return Sync(fd);
}

OSErr TrimTrailingFreeSpace(int fd, const std::vector<TopLevelAtom>& atoms, UInt64 keepFrom,
                            const SampleCheck& holdsSamples)
{
    if (atoms.empty() || !holdsSamples)
        return noErr;
    UInt64 cut = atoms.back().offset + atoms.back().size;
    for (std::size_t i = atoms.size(); i-- > 0;) {
        const TopLevelAtom& a = atoms[i];
        bool retired = IsFree(a) || a.type == 'moov';
        if (!retired || a.offset < keepFrom)
            break;
        cut = a.offset;
    }
    UInt64 end = atoms.back().offset + atoms.back().size;
    if (cut >= end || holdsSamples(cut, end - cut))
        return noErr;
    int err = FileWriteLayer::Truncate(fd, cut);
    return err ? OSErrFromErrno(err) : OSErr(noErr);
}

}  // namespace FreeSpaceReuse
