// Calls that fail change nothing. Every allocation of a call is made to fail
// in turn (this program replaces operator new): the call answers memFullErr
// and leaves its movies, its files and the memory in use as they were, and
// once memory suffices it succeeds. Imports the movie refuses change nothing
// either.
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <new>

#include "MovieTestSupport.h"
#include "platform/movies/moviefiles/MovieFiles.h"

namespace {

// While armed (>= 0), the allocation that brings this to -1 fails.
long gAllocationsToFailure = -1;
// Allocations not yet freed, to tell that a failed read left nothing behind.
long gLiveAllocations = 0;

// Allocations that may fail: those that throw. The nothrow ones (a sort's
// scratch buffer) have a fallback for failing and are left alone.
void* Allocate(std::size_t size, bool mayFail = true)
{
    if (mayFail && gAllocationsToFailure >= 0 && gAllocationsToFailure-- == 0)
        throw std::bad_alloc();
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    ++gLiveAllocations;
    return p;
}

void Free(void* p) noexcept
{
    if (p) {
        --gLiveAllocations;
        std::free(p);
    }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, false); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, false); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }

namespace {

const std::string kCorpusMovie = std::string(ORVO_CORPUS_DIR) + "/wellformed/filetype-fixture.mov";
const std::string kFragmentedMovie = std::string(ORVO_CORPUS_DIR) + "/wellformed/gomp4-sample_fragmented.mp4";

std::vector<std::string> FolderListing(const std::string& path)
{
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(path))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

size_t OpenDescriptors() { return FolderListing("/proc/self/fd").size(); }

// What a call must leave as it was: each movie as written out, with its
// changed flag, tracks and sample counts, and the files of the folder.
std::string Snapshot(const std::vector<Movie>& movies, const std::string& folder)
{
    std::string s;
    for (Movie m : movies) {
        std::vector<UInt8> atom = Serialize(m);
        s += "movie atom " + std::to_string(std::hash<std::string>()(std::string(atom.begin(), atom.end())));
        s += " changed " + std::to_string(HasMovieChanged(m)) + " tracks " + std::to_string(GetMovieTrackCount(m));
        for (long i = 1; i <= GetMovieTrackCount(m); ++i)
            if (Media media = GetTrackMedia(GetMovieIndTrack(m, i)))
                s += " samples " + std::to_string(GetMediaSampleCount(media)) + " descriptions " +
                     std::to_string(GetMediaSampleDescriptionCount(media));
    }
    for (auto& name : FolderListing(folder))
        s += " file " + name;
    return s;
}

// `samples` samples of `size` bytes in one chunk.
TestTrack OneChunk(UInt32 id, const char* type, UInt32 samples, UInt32 size, UInt32 delta = 60)
{
    TestTrack t;
    t.id = id, t.type = type, t.sampleCount = samples, t.sampleDelta = delta, t.sampleSize = size, t.chunkCount = 1;
    return t;
}

FSSpec SpecFor(const std::string& path)
{
    FSSpec location {};
    FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    return location;
}

// What a case works on, made afresh for each case and before memory starts
// failing, so that the call under test is the only thing that allocates.
struct Movies {
    ScratchFolder folder;
    FSSpec corpusSpec = SpecFor(kCorpusMovie);
    FSSpec flatSpec = SpecFor(folder / "flat.mov");
    short corpusRefNum = 0;
    Movie corpus = nullptr;  // samples in a real file
    Movie built = ParseOrFail(BuildMovieAtom(600, {OneChunk(1, "vide", 10, 100), OneChunk(2, "soun", 10, 100)}));
    Movie other = ParseOrFail(BuildMovieAtom(600, {OneChunk(1, "vide", 7, 50)}), "/movies/b.mov");
    std::vector<UInt8> fragmented = ReadFileBytes(kFragmentedMovie);
    MovieSource fragmentedSource{kFragmentedMovie, fragmented.size()};
    std::vector<UInt8> written = {1, 2, 3};
    Movies()
    {
        EXPECT_EQ(OpenMovieFile(&corpusSpec, &corpusRefNum, fsRdPerm), noErr);
        EXPECT_EQ(NewMovieFromFile(&corpus, corpusRefNum, nullptr, nullptr, 0, nullptr), noErr);
    }
    ~Movies()
    {
        CloseMovieFile(corpusRefNum);
        for (Movie m : {corpus, built, other})
            DisposeMovie(m);
    }
};

struct Case {
    const char* name;
    // Makes the call; a movie it makes goes to *made (nil when it failed).
    std::function<OSErr(Movies&, Movie* made)> call;
};

const std::vector<Case> kCases = {
    {"open a file", [](Movies& m, Movie*) {
         short refNum = 0;
         OSErr err = OpenMovieFile(&m.corpusSpec, &refNum, fsRdPerm);
         return err ? err : CloseMovieFile(refNum);
     }},
    {"read a file", [](Movies& m, Movie* made) {
         return NewMovieFromFile(made, m.corpusRefNum, nullptr, nullptr, 0, nullptr);
     }},
    {"read fragments in memory",
     [](Movies& m, Movie* made) { return ParseMovieFileData(m.fragmented, m.fragmentedSource, made); }},
    {"serialize", [](Movies& m, Movie*) {
         OSErr err = SerializeMovieAtom(m.corpus, SerializeOptions{}, &m.written);
         bool untouched = m.written.size() == 3 && m.written[0] == 1;
         return err && !untouched ? OSErr(paramErr) : err;  // a failure leaves the output alone
     }},
    {"flatten", [](Movies& m, Movie*) {
         FlattenMovie(m.corpus, 0, &m.flatSpec, 0, 0, createMovieFileDeleteCurFile, nullptr, nullptr);
         return GetMoviesError();
     }},
    {"create a movie file", [](Movies& m, Movie* made) {
         short refNum = 0;
         OSErr err = CreateMovieFile(&m.flatSpec, 0, 0, createMovieFileDeleteCurFile, &refNum, made);
         if (!err)
             CloseMovieFile(refNum);
         return err;
     }},
    {"insert a segment of another movie", [](Movies& m, Movie*) {
         return InsertTrackSegment(GetMovieIndTrack(m.other, 1), GetMovieIndTrack(m.built, 1), 60, 300, 120);
     }},
    {"delete a segment", [](Movies& m, Movie*) { return DeleteTrackSegment(GetMovieIndTrack(m.corpus, 1), 10, 100); }},
    {"scale the movie", [](Movies& m, Movie*) { return ScaleMovieSegment(m.built, 60, 300, 900); }},
    {"copy settings", [](Movies& m, Movie*) {
         OSErr err = CopyMovieSettings(m.corpus, m.built);
         return err ? err : CopyTrackSettings(GetMovieIndTrack(m.corpus, 1), GetMovieIndTrack(m.built, 2));
     }},
    {"new track", [](Movies& m, Movie*) { return NewMovieTrack(m.built, 0, 0, 0) ? OSErr(noErr) : GetMoviesError(); }},
    {"new media", [](Movies& m, Movie*) {
         return NewTrackMedia(GetMovieIndTrack(m.built, 2), SoundMediaType, 44100, nullptr, 0) ? OSErr(noErr)
                                                                                               : GetMoviesError();
     }},
};

}  // namespace

TEST(AllOrNothing, EveryAllocationFailingInTurnIsMemFullErrAndChangesNothing)
{
    for (const Case& c : kCases) {
        Movies movies;
        std::string before = Snapshot({movies.corpus, movies.built, movies.other}, movies.folder.Path());
        size_t descriptors = OpenDescriptors();
        for (long failing = 0;; ++failing) {
            ASSERT_LT(failing, 100000) << c.name;
            Movie made = nullptr;
            long live = gLiveAllocations;
            gAllocationsToFailure = failing;
            OSErr err = c.call(movies, &made);
            bool failed = gAllocationsToFailure < 0;
            gAllocationsToFailure = -1;
            if (!failed) {
                EXPECT_EQ(err, noErr) << c.name;
                DisposeMovie(made);
                break;
            }
            ASSERT_EQ(err, memFullErr) << c.name << ", allocation " << failing;
            EXPECT_EQ(GetMoviesError(), memFullErr) << c.name << ", allocation " << failing;
            ASSERT_EQ(made, nullptr) << c.name << ", allocation " << failing;
            ASSERT_EQ(OpenDescriptors(), descriptors) << c.name << ", allocation " << failing;
            if (std::string(c.name).starts_with("read")) {
                ASSERT_EQ(gLiveAllocations, live) << c.name << ", allocation " << failing;
            }
            ASSERT_EQ(Snapshot({movies.corpus, movies.built, movies.other}, movies.folder.Path()), before)
                << c.name << ", allocation " << failing;
        }
    }
}

// An import the destination refuses once its samples are made: the samples
// would start past the largest media time, or there would be more than a
// table can count. The destination keeps its samples, descriptions, data
// references and edits.
TEST(AllOrNothing, RefusedImportsChangeNothing)
{
    struct Refusal {
        const char* name;
        TestTrack destination;
        OSErr expected;
    } refusals[] = {
        {"media time past the largest", OneChunk(1, "vide", 0x80000001u, 100, 0xFFFFFFFFu), invalidDuration},
        {"too many samples", OneChunk(1, "vide", 0xFFFFFFFAu, 100, 1), memFullErr},
    };
    Movie source = ParseOrFail(BuildMovieAtom(600, {OneChunk(1, "vide", 10, 100)}), "/movies/source.mov");
    for (const Refusal& r : refusals) {
        Movie destination = ParseOrFail(BuildMovieAtom(600, {r.destination}), "/movies/destination.mov");
        ScratchFolder folder;
        std::string before = Snapshot({destination}, folder.Path());
        Track to = GetMovieIndTrack(destination, 1);
        EXPECT_EQ(InsertTrackSegment(GetMovieIndTrack(source, 1), to, 60, 300, 0), r.expected) << r.name;
        EXPECT_EQ(Snapshot({destination}, folder.Path()), before) << r.name;
        short refs = 0;
        GetMediaDataRefCount(GetTrackMedia(to), &refs);
        EXPECT_EQ(refs, 1) << r.name;
        DisposeMovie(destination);
    }
    DisposeMovie(source);
}
