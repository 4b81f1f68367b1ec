// NewMovieFromFile: finding the movie in a movie file and the files that
// hold its samples.
#include <cerrno>
#include <sys/mman.h>
#include <sys/stat.h>

#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFileTable.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/moviefiles/MovieResourceFork.h"
#include "platform/movies/model/MovieSeam.h"

namespace {

// The data fork is mapped rather than read: the parser only touches the
// atoms it needs, so a multi-gigabyte file costs no more than its header.
OSErr ParseDataFork(int fd, const MovieSource& source, Movie* movie)
{
    if (source.fileSize == 0)
        return noMovieFound;
    if (source.fileSize > SIZE_MAX)
        return memFullErr;
    void* map = mmap(nullptr, size_t(source.fileSize), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED)
        return OSErrFromErrno(errno);
    OSErr err = ParseMovieFileData({static_cast<const UInt8*>(map), size_t(source.fileSize)}, source, movie);
    munmap(map, size_t(source.fileSize));
    return err;
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

OSErr NewMovieFromFile(Movie* theMovie, short resRefNum, short* resId, StringPtr resName, short newMovieFlags,
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
    if (resId)
        *resId = wanted;
    if (!(newMovieFlags & newMovieDontResolveDataRefs))
        err = MovieDataRefs::Resolve(movie, record->path, dataRefWasChanged);
    SetMovieActive(movie, (newMovieFlags & newMovieActive) != 0);
    ClearMovieChanged(movie);
    *theMovie = movie;
    return MoviesResult(err);
}
