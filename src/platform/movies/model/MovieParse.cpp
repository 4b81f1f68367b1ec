// Reading a movie from bytes: the movie atom alone, or a whole file with
// its fragments.
#include <algorithm>

#include "platform/movies/atoms/AtomFactory.h"
#include "platform/movies/model/CompressedMovie.h"
#include "platform/movies/model/FragmentMerger.h"
#include "platform/movies/model/MovieParser.h"
#include "platform/movies/model/MovieSeam.h"
#include "platform/movies/model/Registry.h"
#include "platform/movies/model/TimeMath.h"

namespace {

// The container atom at the start of bytes; nil with the reason when it
// cannot be read. What the reading noted goes to *warnings when given.
std::unique_ptr<ContainerAtom> ReadContainer(std::span<const UInt8> bytes, UInt64 fileOffset, std::string* whyNot,
                                             std::vector<AtomStatus>* warnings = nullptr)
{
    AtomReader reader(bytes, fileOffset, "");
    auto atom = ReadAtom(reader);
    if (warnings)
        warnings->insert(warnings->end(), reader.Warnings().begin(), reader.Warnings().end());
    if (!atom || !atom->IsContainer()) {
        if (whyNot)
            *whyNot = atom ? "not a container atom" : reader.Status().Describe();
        return nullptr;
    }
    return std::unique_ptr<ContainerAtom>(static_cast<ContainerAtom*>(atom.release()));
}

std::unique_ptr<ContainerAtom> ReadMovieTree(std::span<const UInt8> bytes, UInt64 fileOffset, std::string* whyNot,
                                             std::vector<AtomStatus>* warnings)
{
    auto tree = ReadContainer(bytes, fileOffset, whyNot, warnings);
    if (tree && tree->Type() != 'moov') {
        *whyNot = "not a movie atom";
        return nullptr;
    }
    return tree;
}

std::unique_ptr<MovieRecord> ParseTree(std::span<const UInt8> bytes, UInt64 fileOffset, const MovieSource& source,
                                       std::string* whyNot)
{
    std::vector<AtomStatus> warnings;
    auto moov = ReadMovieTree(bytes, fileOffset, whyNot, &warnings);
    if (!moov)
        return nullptr;
    if (IsCompressedMovie(*moov)) {
        std::vector<UInt8> plain;
        if (!DecompressMovie(*moov, &plain, whyNot))
            return nullptr;
        moov.reset();  // the compressed bytes are not needed again
        // The inner atom has no place in the file, so its offsets are its own.
        moov = ReadMovieTree(plain, 0, whyNot, &warnings);
        if (!moov)
            return nullptr;
    }
    auto movie = BuildMovieFromAtoms(std::move(moov), source, whyNot);
    if (movie)
        movie->readWarnings = std::move(warnings);
    return movie;
}

// A fragmented movie does not know its length when its header is written,
// so a last edit of length 0 means "to the end of the media"; once the
// fragments are in, that length is known.
void ResolveOpenEndedEdit(TrackRecord& t)
{
    if (t.edits.empty() || t.edits.back().duration != 0 || t.edits.back().IsEmpty())
        return;
    Edit& last = t.edits.back();
    SInt64 rest = t.media->Duration() - last.mediaTime;
    if (rest > 0 && last.rate > 0)
        last.duration = std::min(MulDivRound(ConvertTime(rest, t.movie->timeScale, t.media->timeScale), fixed1, last.rate),
                                 SInt64(1) << 48);
}

// The samples of a track made of fragments start at media time 0 here,
// while the file says they start at `start` (tfdt): edits that reach into the
// time before it play nothing for that long, and later media times move.
void StartMediaAtZero(TrackRecord& t, SInt64 start)
{
    std::vector<Edit> edits;
    for (const Edit& e : t.edits) {
        if (e.IsEmpty() || e.mediaTime >= start) {
            edits.push_back(e);
            if (!e.IsEmpty())
                edits.back().mediaTime -= start;
            continue;
        }
        SInt64 gap = MulDivRound(ConvertTime(start - e.mediaTime, t.movie->timeScale, t.media->timeScale), fixed1,
                                 std::max<Fixed>(e.rate, 1));
        if (e.duration != 0)
            gap = std::min(gap, e.duration);
        edits.push_back(Edit{gap, -1, fixed1});
        if (e.duration == 0 || e.duration > gap)
            edits.push_back(Edit{e.duration == 0 ? 0 : e.duration - gap, 0, e.rate});
    }
    t.edits = std::move(edits);
}

// After fragments have added samples, tracks without an edit list play the
// whole of their longer media, and the header durations follow the samples.
void RefreshAfterMerge(MovieRecord& movie, const std::map<UInt32, SInt64>& firstDecodeTimes)
{
    for (auto& t : movie.tracks) {
        if (!t->media->tableChanged)
            continue;
        auto start = firstDecodeTimes.find(t->id);
        if (!t->editsFromFile) {
            t->edits = t->ImplicitEdits();
            if (start != firstDecodeTimes.end())
                t->offset += ConvertTime(start->second, movie.timeScale, t->media->timeScale);
        } else {
            if (start != firstDecodeTimes.end())
                StartMediaAtZero(*t, start->second);
            ResolveOpenEndedEdit(*t);
        }
        t->durationAtRead = -1;
    }
    movie.durationAtRead = -1;
}

}  // namespace

namespace {

OSErr ReadMovieAtom(std::span<const UInt8> moovAtom, const MovieSource& source, Movie* outMovie, std::string* whyNot)
{
    std::string reason;
    if (!outMovie)
        return paramErr;
    *outMovie = nullptr;
    auto movie = ParseTree(moovAtom, 0, source, &reason);
    if (!movie) {
        if (whyNot)
            *whyNot = reason;
        SetMoviesError(invalidMovie);
        return invalidMovie;
    }
    *outMovie = AdoptMovie(std::move(movie));
    SetMoviesError(noErr);
    return noErr;
}

// Out of memory anywhere in a read: nothing was adopted yet, so the movie
// under construction is simply gone.
template <typename Read>
OSErr GuardRead(Movie* outMovie, std::string* whyNot, Read read)
{
    OSErr err = GuardMemory(read);
    if (err == memFullErr) {
        if (outMovie)
            *outMovie = nullptr;
        if (whyNot)
            *whyNot = "out of memory";
    }
    return err;
}

}  // namespace

OSErr ParseMovieAtom(std::span<const UInt8> moovAtom, const MovieSource& source, Movie* outMovie, std::string* whyNot)
{
    return GuardRead(outMovie, whyNot, [&] { return ReadMovieAtom(moovAtom, source, outMovie, whyNot); });
}

OSErr ParseMovieFileData(std::span<const UInt8> fileBytes, const MovieSource& source, Movie* outMovie,
                         std::string* whyNot)
{
    auto readAt = [&](UInt64 offset, UInt8* buffer, size_t length) {
        if (offset > fileBytes.size() || length > fileBytes.size() - offset)
            return false;
        std::copy_n(fileBytes.data() + offset, length, buffer);
        return true;
    };
    return ParseMovieFile(fileBytes.size(), readAt, source, outMovie, whyNot);
}

namespace {

OSErr ReadMovieFile(UInt64 fileSize, const ReadAtProc& readAt, const MovieSource& source, Movie* outMovie,
                    std::string* whyNot)
{
    if (!outMovie)
        return paramErr;
    *outMovie = nullptr;
    std::string reason;
    auto fail = [&](OSErr err, const std::string& why) {
        if (whyNot)
            *whyNot = why;
        SetMoviesError(err);
        return err;
    };
    std::vector<TopLevelAtom> atoms;
    if (OSErr err = ScanTopLevelAtoms(fileSize, readAt, &atoms))
        return fail(err, "the file could not be read");
    // Each atom is read on its own, so only the header and one fragment at a
    // time are in memory, however large the file.
    std::vector<UInt8> bytes;
    auto readAtom = [&](const TopLevelAtom& a) {
        if (a.size > kMaxHeaderAtomBytes) {
            reason = "an atom of the movie's header is larger than any header can be";
            return false;
        }
        bytes.resize(size_t(a.size));
        if (!readAt(a.offset, bytes.data(), bytes.size())) {
            reason = "the file could not be read";
            return false;
        }
        return true;
    };
    std::unique_ptr<MovieRecord> movie;
    bool sawMovie = false;
    for (auto& a : atoms) {
        if (a.type != 'moov' || movie)
            continue;
        sawMovie = true;
        if (a.truncated) {
            reason = "the movie atom runs past the end of the file";
            continue;
        }
        if (readAtom(a))
            movie = ParseTree(bytes, a.offset, source, &reason);
    }
    if (!movie)
        return fail(sawMovie ? OSErr(invalidMovie) : OSErr(noMovieFound),
                    sawMovie ? reason : "the file holds no movie atom");
    // Fragments are read only after a movie: they refine its tracks.
    FragmentMerger merger(*movie, fileSize);
    bool anyFragment = false;
    for (auto& a : atoms) {
        if (a.type != 'moof' || a.truncated)
            continue;
        if (!readAtom(a))
            return fail(invalidMovie, reason);
        auto tree = ReadContainer(bytes, a.offset, nullptr);
        if (!tree)
            continue;  // a damaged fragment is left out, the rest still plays
        anyFragment = true;
        if (!merger.Add(*tree, a.offset, &reason))
            return fail(invalidMovie, reason);
    }
    if (anyFragment) {
        if (!merger.Finish(&reason))
            return fail(invalidMovie, reason);
        RefreshAfterMerge(*movie, merger.FirstDecodeTimes());
    }
    *outMovie = AdoptMovie(std::move(movie));
    SetMoviesError(noErr);
    return noErr;
}

}  // namespace

OSErr ParseMovieFile(UInt64 fileSize, const ReadAtProc& readAt, const MovieSource& source, Movie* outMovie,
                     std::string* whyNot)
{
    return GuardRead(outMovie, whyNot, [&] { return ReadMovieFile(fileSize, readAt, source, outMovie, whyNot); });
}

bool MovieWasFragmented(Movie theMovie)
{
    return theMovie && theMovie->fragmented;
}

std::vector<std::string> MovieReadWarnings(Movie theMovie)
{
    return GuardMemoryValue([&] {
        std::vector<std::string> out;
        if (theMovie)
            for (const AtomStatus& w : theMovie->readWarnings)
                out.push_back(w.Describe());
        return out;
    });
}
