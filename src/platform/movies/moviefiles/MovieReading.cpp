// NewMovieFromFile: finding the movie in a movie file and the files that
// hold its samples.
#include <cerrno>
#include <algorithm>
#include <unistd.h>
#include <vector>
#include <sys/stat.h>

#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFileTable.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/moviefiles/MovieResourceFork.h"
#include "platform/movies/model/MovieSeam.h"

namespace {

// Reads through a window of the file: the many small reads of the top-level
// walk come from one buffer, larger reads go straight to the file. Nothing
// is mapped, so the size of the file never limits what opens.
class WindowedFile {
public:
    explicit WindowedFile(int fd) : fd_(fd) {}

    bool ReadAt(UInt64 offset, UInt8* buffer, size_t length)
    {
        if (length >= kWindowBytes)
            return ReadFully(offset, buffer, length);
        if (offset < windowStart_ || offset - windowStart_ + length > window_.size()) {
            window_.resize(kWindowBytes);
            ssize_t n = pread(fd_, window_.data(), window_.size(), off_t(offset));
            window_.resize(n > 0 ? size_t(n) : 0);
            windowStart_ = offset;
            if (length > window_.size())
                return false;
        }
        std::copy_n(window_.data() + (offset - windowStart_), length, buffer);
        return true;
    }

private:
    static constexpr size_t kWindowBytes = 64 * 1024;

    bool ReadFully(UInt64 offset, UInt8* buffer, size_t length)
    {
        for (size_t done = 0; done < length;) {
            ssize_t n = pread(fd_, buffer + done, length - done, off_t(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += size_t(n);
        }
        return true;
    }

    int fd_;
    std::vector<UInt8> window_;
    UInt64 windowStart_ = 0;
};

OSErr ParseDataFork(int fd, const MovieSource& source, Movie* movie)
{
    if (source.fileSize == 0)
        return noMovieFound;
    WindowedFile file(fd);
    return ParseMovieFile(source.fileSize,
                          [&](UInt64 offset, UInt8* buffer, size_t length) { return file.ReadAt(offset, buffer, length); },
                          source, movie);
}

// Picks the resource: ID 0 the first 'moov' resource, else that ID.
OSErr ParseResource(const std::string& dataPath, const MovieSource& source, short* resId, StringPtr resName,
                    Movie* movie)
{
    AppleDoubleFile container;
    ResourceFork fork;
    if (OSErr err = MovieResourceFork::Read(dataPath, &container, &fork))
        return err == fnfErr ? OSErr(resNotFound) : err;
    const ResourceForkEntry* entry =
        *resId == 0 ? fork.FirstOfType(kMovieResourceType) : fork.Find(kMovieResourceType, *resId);
    if (!entry)
        return resNotFound;
    if (resName)
        pstr::FromStd(entry->hasName ? entry->name : std::string(), resName);
    *resId = entry->id;
    return ParseMovieAtom(entry->data, source, movie);
}

}  // namespace

namespace {

OSErr ReadMovieFromFile(Movie* theMovie, short resRefNum, short* resId, StringPtr resName, short newMovieFlags,
                        Boolean* dataRefWasChanged)
{
    if (!theMovie)
        return MoviesResult(paramErr);
    *theMovie = nullptr;
    if (dataRefWasChanged)
        *dataRefWasChanged = false;
    MovieFileRecord* record = MovieFileTable::Find(resRefNum);
    if (!record)
        return MoviesResult(rfNumErr);
    struct stat st {};
    if (fstat(record->fd, &st) != 0)
        return MoviesResult(OSErrFromErrno(errno));
    MovieSource source{record->path, UInt64(st.st_size)};

    short wanted = resId ? *resId : 0;
    Movie movie = nullptr;
    OSErr err;
    if (wanted == movieInDataForkResID ||
        (wanted == 0 && !MovieResourceFork::HasMovieResource(record->WritePath()))) {
        err = ParseDataFork(record->fd, source, &movie);
        wanted = movieInDataForkResID;
        if (resName)
            resName[0] = 0;
    } else {
        err = ParseResource(record->WritePath(), source, &wanted, resName, &movie);
    }
    if (err || !movie)
        return MoviesResult(err ? err : OSErr(noMovieFound));
    *theMovie = movie;  // from here the caller's, or disposed on a failure below
    if (resId)
        *resId = wanted;
    if (!(newMovieFlags & newMovieDontResolveDataRefs))
        err = MovieDataRefs::Resolve(movie, record->path, dataRefWasChanged);
    SetMovieActive(movie, (newMovieFlags & newMovieActive) != 0);
    ClearMovieChanged(movie);
    return MoviesResult(err);
}

}  // namespace

OSErr NewMovieFromFile(Movie* theMovie, short resRefNum, short* resId, StringPtr resName, short newMovieFlags,
                       Boolean* dataRefWasChanged)
{
    // A movie is adopted only once it is complete, and one handed over
    // before memory ran out is disposed of, so running out of memory anywhere
    // in the read leaves nothing behind but the error.
    OSErr err = GuardMemory(
        [&] { return ReadMovieFromFile(theMovie, resRefNum, resId, resName, newMovieFlags, dataRefWasChanged); });
    if (err == memFullErr && theMovie && *theMovie) {
        DisposeMovie(*theMovie);
        *theMovie = nullptr;
    }
    return MoviesResult(err);
}
