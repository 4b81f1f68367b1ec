#include "platform/movies/moviefiles/FlattenCopier.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "platform/filesystem/FileWriteLayer.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace {

// A copy that replaces a file (or that a new companion's movie will refer
// to) must reach the disk before it is renamed into place. Asking the kernel
// to start writing each stretch as soon as it is copied lets the disk work
// while the next stretch is copied, so the final flush has little left to
// wait for. It is only a hint: a failure here changes nothing. A copy that
// need not be flushed is left to the kernel's own pace.
class WriteBehind {
public:
    WriteBehind(int fd, bool enabled) : fFd(fd), fEnabled(enabled) {}
    void Copied(UInt64 end)
    {
        if (!fEnabled || end < fStarted + kStretch)
            return;
#ifdef SYNC_FILE_RANGE_WRITE
        sync_file_range(fFd, off_t(fStarted), off_t(end - fStarted), SYNC_FILE_RANGE_WRITE);
#endif
        fStarted = end;
    }

private:
    static constexpr UInt64 kStretch = 32u << 20;
    int fFd;
    bool fEnabled;
    UInt64 fStarted = 0;
};

// Copying a few kilobytes file to file costs the kernel nearly as much as
// copying a megabyte, and it writes the destination's cache in small
// blocks: small pieces, which follow each other in the destination, are
// read into one buffer and written with one call.
class SampleCopier {
public:
    SampleCopier(const FlattenPlan& plan, int dest, bool flushFirst, MovieProgress& progress)
        : fPlan(plan), fDest(dest), fWriteBehind(dest, flushFirst), fProgress(progress)
    {
    }
    ~SampleCopier()
    {
        for (int fd : fSources)
            if (fd >= 0)
                close(fd);
    }

    OSErr Run()
    {
        fSources.assign(fPlan.sources.size(), -1);
        for (std::size_t i = 0; i < fSources.size(); ++i)
            if ((fSources[i] = open(fPlan.sources[i].c_str(), O_RDONLY | O_CLOEXEC)) < 0)
                return OSErrFromErrno(errno) == fnfErr ? OSErr(couldNotResolveDataRef) : OSErrFromErrno(errno);
        fBuffer.resize(kBuffer);
        for (const FlattenCopy& c : fPlan.copies)
            fTotal += c.length;  // the data less the gaps before large pieces
        for (const FlattenCopy& c : fPlan.copies)
            if (OSErr err = c.length >= FlattenPlan::kPageAlignedPiece ? CopyLarge(c) : Gather(c))
                return err;
        return Flush();
    }

private:
    static constexpr UInt64 kBuffer = 1u << 20;

    OSErr CopyLarge(const FlattenCopy& c)
    {
        if (OSErr err = Flush())
            return err;
        if (int e = FileWriteLayer::CopyRange(fSources[c.source], c.sourceOffset, fDest, c.destinationOffset, c.length))
            return OSErrFromErrno(e);
        fWriteBehind.Copied(c.destinationOffset + c.length);
        return Done(c.length);
    }

    OSErr Gather(const FlattenCopy& c)
    {
        if (fFill > 0 && (fStart + fFill != c.destinationOffset || fFill + c.length > kBuffer))
            if (OSErr err = Flush())
                return err;
        if (fFill == 0)
            fStart = c.destinationOffset;
        if (int e = FileWriteLayer::ReadAt(fSources[c.source], c.sourceOffset, fBuffer.data() + fFill, size_t(c.length)))
            return OSErrFromErrno(e);
        fFill += c.length;
        return Done(c.length);
    }

    OSErr Flush()
    {
        if (fFill == 0)
            return noErr;
        UInt64 length = fFill;
        fFill = 0;
        if (int e = FileWriteLayer::WriteAt(fDest, fStart, fBuffer.data(), length))
            return OSErrFromErrno(e);
        fWriteBehind.Copied(fStart + length);
        return noErr;
    }

    // Progress counts a gathered piece when it is read, so that a copy of
    // small pieces can be stopped as often as one of large ones.
    OSErr Done(UInt64 length)
    {
        fDone += length;
        return fProgress.Update(fDone, fTotal);
    }

    const FlattenPlan& fPlan;
    int fDest;
    WriteBehind fWriteBehind;
    MovieProgress& fProgress;
    std::vector<int> fSources;
    std::vector<UInt8> fBuffer;
    UInt64 fStart = 0, fFill = 0, fDone = 0, fTotal = 0;
};

}  // namespace

OSErr CopyFlattenedSamples(const FlattenPlan& plan, int dest, bool flushFirst, MovieProgress& progress)
{
    return SampleCopier(plan, dest, flushFirst, progress).Run();
}
