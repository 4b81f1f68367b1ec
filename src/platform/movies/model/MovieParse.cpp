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

OSErr ParseMovieAtom(std::span<const UInt8> moovAtom, const MovieSource& source, Movie* outMovie, std::string* whyNot)
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

OSErr ParseMovieFileData(std::span<const UInt8> fileBytes, const MovieSource& source, Movie* outMovie,
                         std::string* whyNot)
{
    std::string reason;
    if (!outMovie)
        return paramErr;
    *outMovie = nullptr;
    std::vector<TopLevelAtom> atoms;
    ScanTopLevelAtoms(fileBytes, &atoms);
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
        movie = ParseTree(fileBytes.subspan(a.offset, a.size), a.offset, source, &reason);
    }
    OSErr err = movie ? OSErr(noErr) : sawMovie ? OSErr(invalidMovie) : OSErr(noMovieFound);
    if (movie) {
        // Fragments are read only after a movie: they refine its tracks.
        std::vector<std::unique_ptr<ContainerAtom>> trees;
        std::vector<MovieFragment> fragments;
        for (auto& a : atoms) {
            if (a.type != 'moof' || a.truncated)
                continue;
            auto tree = ReadContainer(fileBytes.subspan(a.offset, a.size), a.offset, nullptr);
            if (!tree)
                continue;  // a damaged fragment is left out, the rest still plays
            fragments.push_back({tree.get(), a.offset});
            trees.push_back(std::move(tree));
        }
        if (!fragments.empty()) {
            std::map<UInt32, SInt64> firstDecodeTimes;
            if (!MergeFragments(*movie, fragments, &firstDecodeTimes, &reason)) {
                movie.reset();
                err = invalidMovie;
            } else {
                RefreshAfterMerge(*movie, firstDecodeTimes);
            }
        }
    }
    if (!movie) {
        if (whyNot)
            *whyNot = sawMovie ? reason : "the file holds no movie atom";
        SetMoviesError(err);
        return err;
    }
    *outMovie = AdoptMovie(std::move(movie));
    SetMoviesError(noErr);
    return noErr;
}

bool MovieWasFragmented(Movie theMovie)
{
    return theMovie && theMovie->fragmented;
}

std::vector<std::string> MovieReadWarnings(Movie theMovie)
{
    std::vector<std::string> out;
    if (theMovie)
        for (const AtomStatus& w : theMovie->readWarnings)
            out.push_back(w.Describe());
    return out;
}
