// AddMovieResource and UpdateMovieResource: writing a movie atom into the
// data fork or as a 'moov' resource of the resource fork.
#include <algorithm>
#include <memory>
#include <span>
#include <sys/stat.h>

#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/BakedMovie.h"
#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/movies/moviefiles/DataForkWriter.h"
#include "platform/movies/moviefiles/FileReplacement.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFileTable.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/moviefiles/MovieResourceFork.h"
#include "platform/movies/model/MovieSeam.h"

namespace {

// Samples in other files are named by alias records relative to the file
// the movie is written to. Tracks whose edits play at other rates than 1
// are written from a copy with those rates baked into their sample tables.
OSErr SerializeFor(Movie theMovie, const std::string& destinationPath, std::vector<UInt8>* out)
{
    SerializeOptions options;
    options.destinationPath = destinationPath;
    options.makeDataRef = [destinationPath](const DataRefEntry&, const std::string& dataPath, DataRefEntry* entry) {
        *entry = MovieDataRefs::MakeAliasEntry(dataPath, destinationPath);
        return OSErr(noErr);
    };
    // The file is touched only after this, so running out of memory here
    // leaves it as it was.
    Movie copy = nullptr;
    OSErr err = BakeRatesInPlace(theMovie, &copy);
    std::unique_ptr<MovieRecord, void (*)(Movie)> baked(copy, [](Movie m) { DisposeMovie(m); });
    return err ? err : SerializeMovieAtom(copy ? copy : theMovie, options, out);
}

// Tells the data-fork writer where this movie's samples lie in its own file,
// so that free space it reuses never holds any. Without complete knowledge
// (an unresolved reference) no space is reused.
FreeSpaceReuse::SampleCheck SampleCheckFor(Movie theMovie, const std::string& path)
{
    auto ranges = std::make_shared<std::vector<std::pair<UInt64, UInt64>>>();
    if (!MovieDataRefs::SampleRangesIn(theMovie, path, ranges.get()))
        return {};
    return [ranges](UInt64 offset, UInt64 length) {
        // The first range that ends after `offset` overlaps when it begins
        // before the end of the asked stretch.
        auto it = std::upper_bound(ranges->begin(), ranges->end(), offset,
                                   [](UInt64 value, const std::pair<UInt64, UInt64>& r) { return value < r.second; });
        return it != ranges->end() && it->first < offset + length;
    };
}

OSType ExistingCreator(const AppleDoubleFile& container)
{
    const AppleDoubleEntry* info = container.Find(kAppleDoubleFinderInfo);
    OSType creator = info && info->data.size() >= 8 ? BigEndian::Get32(info->data.data() + 4) : 0;
    return creator ? creator : OSType(kMovieFileCreator);
}

OSErr PutMovieResource(const std::string& dataPath, std::vector<UInt8> moov, short* resId, ConstStr255Param name,
                       bool adding)
{
    AppleDoubleFile container;
    ResourceFork fork;
    OSErr err = MovieResourceFork::Read(dataPath, &container, &fork);
    if (err && err != fnfErr)
        return err;
    const ResourceForkEntry* old = *resId > 0 ? fork.Find(kMovieResourceType, *resId)
                                              : (adding ? nullptr : fork.FirstOfType(kMovieResourceType));
    if (!adding && !old)
        return resNotFound;
    ResourceForkEntry entry;
    entry.type = kMovieResourceType;
    entry.id = old ? old->id : (*resId > 0 ? *resId : fork.UniqueID(kMovieResourceType));
    entry.hasName = old && old->hasName;
    entry.name = old ? old->name : std::string();
    if (name && name[0]) {
        entry.hasName = true;
        entry.name = pstr::ToStd(name);
    }
    entry.data = std::move(moov);
    *resId = entry.id;
    fork.Set(std::move(entry));
    return MovieResourceFork::Write(AppleDoubleCompanionPath(dataPath), container, fork, ExistingCreator(container));
}

// A file removed or replaced by another program since it was opened has no
// name left: whatever is written into it is lost when it is closed.
bool HasLostItsName(int fd)
{
    struct stat st {};
    return fstat(fd, &st) == 0 && st.st_nlink == 0;
}

// Free space is reused only while this movie is the only one that could
// hold samples there; with the file open elsewhere the new movie atom is
// only appended. A save that rewrote the file under a new inode takes the
// file's other openers along.
OSErr PutDataForkMovie(Movie theMovie, short resRefNum, MovieFileRecord* record, std::span<const UInt8> moov)
{
    FreeSpaceReuse::SampleCheck holdsSamples;
    if (!MovieFileTable::IsOpenElsewhere(resRefNum))
        holdsSamples = SampleCheckFor(theMovie, record->path);
    FileId before, after;
    bool known = IdentityOfDescriptor(record->fd, &before);
    OSErr err = DataForkWriter::PutMovieAtom(&record->fd, record->WritePath(), moov, holdsSamples);
    if (known && IdentityOfDescriptor(record->fd, &after) && !(after == before))
        MovieFileTable::FollowReplacement(before, resRefNum);
    return err;
}

OSErr WriteMovie(Movie theMovie, short resRefNum, short* resId, ConstStr255Param name, bool adding)
{
    MovieFileRecord* record = MovieFileTable::Find(resRefNum);
    if (!record)
        return rfNumErr;
    if (!theMovie)
        return invalidMovie;
    if (!record->writable)
        return wrPermErr;
    if (record->replacementAbandoned)
        return fBsyErr;
    if (HasLostItsName(record->fd))
        return fnfErr;
    // Replacing the file would delete samples this very movie plays from.
    if (record->replacementPending && MovieDataRefs::MovieUsesFile(theMovie, record->path)) {
        FileReplacement::Abandon(record);
        return fBsyErr;
    }
    std::vector<UInt8> moov;
    if (OSErr err = SerializeFor(theMovie, record->path, &moov))
        return err;
    OSErr err = *resId == movieInDataForkResID
                    ? PutDataForkMovie(theMovie, resRefNum, record, moov)
                    : PutMovieResource(record->WritePath(), std::move(moov), resId, name, adding);
    if (err) {
        // A file that was to replace another is given up, so that closing
        // it cannot put a half-written file in place of the old one.
        FileReplacement::Abandon(record);
        return err;
    }
    return FileReplacement::Commit(record);
}

}  // namespace

OSErr AddMovieResource(Movie theMovie, short resRefNum, short* resId, ConstStr255Param resName)
{
    short id = resId ? *resId : 0;
    OSErr err = GuardMemory([&] { return WriteMovie(theMovie, resRefNum, &id, resName, true); });
    if (!err && resId)
        *resId = id;
    return MoviesResult(err);
}

OSErr UpdateMovieResource(Movie theMovie, short resRefNum, short resId, ConstStr255Param resName)
{
    OSErr err = GuardMemory([&] { return WriteMovie(theMovie, resRefNum, &resId, resName, false); });
    if (!err)
        ClearMovieChanged(theMovie);
    return MoviesResult(err);
}
