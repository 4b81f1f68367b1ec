// Hostile files against the reader: each class is read as bytes and as a
// file, and must give a movie or a clean error, within bounded memory, and
// never lead the reader to files the person did not choose.
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "HostileMovies.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/model/MovieSeam.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "support/ScratchFolder.h"

using namespace HostileMovies;

namespace {

struct Read {
    OSErr err = noErr;
    Movie movie = nullptr;
    std::string why;
};

Read ReadBytes(const std::vector<UInt8>& bytes)
{
    Read r;
    r.err = ParseMovieFileData(bytes, MovieSource{"/movies/hostile.mov", bytes.size()}, &r.movie, &r.why);
    return r;
}

std::string Write(const ScratchFolder& dir, const std::string& name, const std::vector<UInt8>& bytes)
{
    WriteFileBytes(dir / name, bytes);
    return dir / name;
}

struct FileRead {
    OSErr err = noErr;
    Movie movie = nullptr;
    short refNum = 0;
    explicit FileRead(const std::string& path)
    {
        FSSpec location {};
        EXPECT_EQ(FSPathMakeFSSpec(path.c_str(), &location, nullptr), noErr);
        EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr);
        err = NewMovieFromFile(&movie, refNum, nullptr, nullptr, 0, nullptr);
    }
    ~FileRead()
    {
        DisposeMovie(movie);
        if (refNum)
            CloseMovieFile(refNum);
    }
};

struct Dump {
    int status = -1;  // exit status, or 128 + the signal that ended it
    std::string out, err;
};

// moviedump on path in a fresh process whose address space is limited to
// `bytes` (0: no limit), so that what a read needs is measured from a clean
// start.
Dump RunMoviedump(const std::string& path, size_t bytes)
{
    std::string outPath = path + ".out", errPath = path + ".err";
    pid_t pid = fork();
    if (pid == 0) {
        if (bytes) {
            rlimit limit {bytes, bytes};
            setrlimit(RLIMIT_AS, &limit);
        }
        dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        execl(ORVO_MOVIEDUMP, ORVO_MOVIEDUMP, path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    auto text = [](const std::string& p) {
        auto b = ReadFileBytes(p);
        return std::string(b.begin(), b.end());
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), text(outPath), text(errPath)};
}

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

#define SKIP_IF_SANITIZED()                                                                 \
    if (kSanitized)                                                                         \
    GTEST_SKIP() << "an address-space limit and the address sanitizer do not mix"

UInt32 StszConstantSize(const std::vector<UInt8>& moov)
{
    std::string text(moov.begin(), moov.end());
    size_t at = text.find("stsz");
    if (at == std::string::npos || at + 12 > moov.size())
        return 0;
    const UInt8* p = &moov[at + 8];
    return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | p[3];
}

}  // namespace

TEST(HostileFiles, FragmentSamplesOfATrackWithoutSizesKeepTheirSizes)
{
    Read r = ReadBytes(TrackWithoutSizesGetsFragments());
    ASSERT_EQ(r.err, noErr) << r.why;
    Media media = GetTrackMedia(GetMovieIndTrack(r.movie, 1));
    ASSERT_EQ(GetMediaSampleCount(media), 13);
    UInt32 expected[] = {0, 11, 22, 33};
    for (UInt32 n : {1u, 11u, 12u, 13u}) {
        MediaSample s;
        ASSERT_EQ(GetMediaSample(media, n, &s), noErr) << n;
        EXPECT_EQ(s.size, expected[n < 11 ? 0 : n - 10]) << n;
    }
    UInt64 bytes = 0;
    ForEachMediaChunk(media, [&](const MediaChunk& c) {
        bytes += c.size;
        return true;
    });
    EXPECT_EQ(bytes, 66u);
    DisposeMovie(r.movie);
}

TEST(HostileFiles, CountsTheFileCannotBackAreErrors)
{
    struct Case {
        const char* name;
        std::vector<UInt8> bytes;
        const char* reason;
    } cases[] = {
        {"default runs", DefaultRunsBeyondTheFile(16, 1u << 24), "more samples than the file has bytes"},
        {"one default run", DefaultRunsBeyondTheFile(1, 100), "more samples than the file has bytes"},
        {"huge own table", HugeOwnTableWithFragments(), "cannot be combined"},
        {"compressed header", ExpandingCompressedHeader(4u << 20), "past the limit"},
    };
    for (auto& c : cases) {
        Read r = ReadBytes(c.bytes);
        EXPECT_EQ(r.err, invalidMovie) << c.name;
        EXPECT_EQ(r.movie, nullptr) << c.name;
        EXPECT_NE(r.why.find(c.reason), std::string::npos) << c.name << ": " << r.why;
    }
}

TEST(HostileFiles, WhatTheFileCanBackStillOpens)
{
    // A modest compressed header, runs of defaults whose data is there, and
    // many small fragments.
    Read small = ReadBytes(ExpandingCompressedHeader(200000));
    EXPECT_EQ(small.err, noErr) << small.why;
    DisposeMovie(small.movie);
    Read many = ReadBytes(ManySmallFragments(20000));
    ASSERT_EQ(many.err, noErr) << many.why;
    EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(GetMovieIndTrack(many.movie, 1))), 20000);
    DisposeMovie(many.movie);

    // 1000 default samples of 10 bytes, backed by the file: one size for
    // all, as the file says, not a table of them.
    AtomBytes file = MovieAtom(SampleTable(0, 0, 0, std::nullopt, {}), TrackDefaults(1, 10, 0));
    file.Add(Fragment(1, {DefaultRun(1000)}, 10)).Add(AtomBytes::Atom("mdat", AtomBytes().Zeros(10000)));
    Read r = ReadBytes(file.bytes);
    ASSERT_EQ(r.err, noErr) << r.why;
    EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(GetMovieIndTrack(r.movie, 1))), 1000);
    std::vector<UInt8> written;
    ASSERT_EQ(SerializeMovieAtom(r.movie, SerializeOptions{}, &written), noErr);
    EXPECT_EQ(StszConstantSize(written), 10u);
    DisposeMovie(r.movie);
}

TEST(HostileFiles, LargeHostileFilesStayWithinMemory)
{
    SKIP_IF_SANITIZED();
    // Each about 8 MB or claiming far more than that: all of moviedump,
    // reading any of them, fits in 256 MB of address space, and none fails
    // for want of memory.
    std::vector<std::function<std::vector<UInt8>()>> makers = {
        [] { return DefaultRunsBeyondTheFile(400000, 1u << 24); },
        [] { return HugeOwnTableWithFragments(); },
        [] { return ExpandingCompressedHeader(16u << 20); },
        [] { return ManySmallFragments(100000); },
        [] { return ManyRunsInOneFragment(400000); },
        [] { return OneLargeFragment(1500000); },
    };
    ScratchFolder dir;
    for (size_t i = 0; i < makers.size(); ++i) {
        Dump d = RunMoviedump(Write(dir, "large.mov", makers[i]()), size_t(256) << 20);
        EXPECT_TRUE(d.status == 0 || d.status == 1) << "file " << i << ": " << d.status;
        EXPECT_EQ(d.err.find("error -108"), std::string::npos) << "file " << i << ": " << d.err;
    }
}

TEST(HostileFiles, BillionsOfSamplesOfOneSizeDumpAsOneRun)
{
    ScratchFolder dir;
    Dump d = RunMoviedump(Write(dir, "billions.mov", BillionsOfSamplesOfOneSize()), 0);
    EXPECT_EQ(d.status, 0) << d.err;
    EXPECT_NE(d.out.find("\"sampleCount\":4294967280,"), std::string::npos) << d.out;
    EXPECT_NE(d.out.find("\"sampleRuns\":[[28,1,4294967280,1]]"), std::string::npos) << d.out;
}

TEST(HostileFiles, RunningOutOfMemoryIsMemFullErr)
{
    SKIP_IF_SANITIZED();
    // A movie that needs some tens of megabytes, read with 16 MB in all: the
    // read fails with memFullErr instead of ending the process.
    ScratchFolder dir;
    std::string path = Write(dir, "large.mov", OneLargeFragment(600000));
    Dump d = RunMoviedump(path, size_t(16) << 20);
    EXPECT_EQ(d.status, 1) << d.err;
    EXPECT_NE(d.err.find("error -108"), std::string::npos) << d.err;
    EXPECT_EQ(RunMoviedump(path, 0).status, 0) << "with memory enough it opens";
}

TEST(HostileFiles, ReferencesLeadOnlyToMovieFiles)
{
    ScratchFolder dir;
    Write(dir, "elsewhere.mov", UrlReference("self.mov"));  // starts with ftyp
    dir.MakeFile("notes.txt", "hello world");
    mkfifo((dir / "pipe.mov").c_str(), 0600);
    chmod(Write(dir, "locked.mov", UrlReference("x")).c_str(), 0);
    bool root = geteuid() == 0;
    struct Case {
        const char* name;
        std::vector<UInt8> bytes;
        OSErr err;
        bool refused;
    } cases[] = {
        {"a movie file", UrlReference("elsewhere.mov"), noErr, false},
        {"a movie file by address", UrlReference("file://" + dir.Path() + "/elsewhere.mov"), noErr, false},
        {"a movie file by alias", AliasReference(dir / "elsewhere.mov"), noErr, false},
        {"a missing file", UrlReference("gone.mov"), couldNotResolveDataRef, false},
        {"a text file", UrlReference("notes.txt"), couldNotResolveDataRef, true},
        {"/etc/passwd", UrlReference("file:///etc/passwd"), couldNotResolveDataRef, true},
        {"up to /etc/passwd", UrlReference("../../../../../../../../../etc/passwd"), couldNotResolveDataRef, true},
        {"alias to /etc/passwd", AliasReference("/etc/passwd"), couldNotResolveDataRef, true},
        {"/proc", UrlReference("file:///proc/self/environ"), couldNotResolveDataRef, true},
        {"a device", UrlReference("/dev/zero"), couldNotResolveDataRef, true},
        {"a FIFO", UrlReference("pipe.mov"), couldNotResolveDataRef, true},
        {"an unreadable file", UrlReference("locked.mov"), root ? OSErr(noErr) : OSErr(couldNotResolveDataRef), !root},
    };
    for (auto& c : cases) {
        FileRead r(Write(dir, "ref.mov", c.bytes));
        EXPECT_EQ(r.err, c.err) << c.name;
        ASSERT_NE(r.movie, nullptr) << c.name << ": the movie opens whatever its references";
        DataRefEntry* entry = GetMediaDataRefEntry(GetTrackMedia(GetMovieIndTrack(r.movie, 1)), 1);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->refused, c.refused) << c.name;
        EXPECT_EQ(entry->resolvedPath.empty(), c.err != noErr) << c.name << ": " << entry->resolvedPath;
        if (c.err != noErr) {
            // Nothing of the refused file may end up in a copy.
            std::vector<std::pair<UInt64, UInt64>> ranges;
            EXPECT_FALSE(MovieDataRefs::SampleRangesIn(r.movie, "/etc/passwd", &ranges)) << c.name;
            EXPECT_TRUE(MovieDataRefs::DataFiles(r.movie).empty()) << c.name;
        }
    }
}

TEST(HostileFiles, MoviedumpShowsAMovieWithRefusedReferences)
{
    ScratchFolder dir;
    Dump refused = RunMoviedump(Write(dir, "ref.mov", UrlReference("file:///etc/passwd")), 0);
    EXPECT_EQ(refused.status, 0);
    EXPECT_NE(refused.out.find("\"refused: file:///etc/passwd\""), std::string::npos) << refused.out;
    EXPECT_NE(refused.out.find("\"tracks\""), std::string::npos);
    EXPECT_NE(refused.err.find("refused: file:///etc/passwd"), std::string::npos) << refused.err;
    Dump missing = RunMoviedump(Write(dir, "alias.mov", AliasReference(dir / "gone.mov")), 0);
    EXPECT_EQ(missing.status, 0);
    EXPECT_NE(missing.out.find("\"missing: " + dir / "gone.mov\""), std::string::npos) << missing.out;
}

TEST(HostileFiles, FileSizeDoesNotLimitWhatOpens)
{
    SKIP_IF_SANITIZED();
    // A 5 GB sparse file: a large mdat, then the movie. With 512 MB of
    // address space the whole file could never be mapped.
    ScratchFolder dir;
    std::string path = dir / "large.mov";
    const UInt64 hole = UInt64(5) << 30;
    AtomBytes head = FileType("qt  ");
    head.U32(1).Code("mdat").U64(16 + hole);
    auto moov = MovieAtom(SampleTable(10, 60, 10, 100, {hole}, true));
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    bool ok = pwrite(fd, head.bytes.data(), head.Size(), 0) == ssize_t(head.Size()) &&
              pwrite(fd, moov.bytes.data(), moov.Size(), off_t(head.Size() + hole)) == ssize_t(moov.Size());
    close(fd);
    if (!ok)
        GTEST_SKIP() << "the file system cannot hold a 5 GB sparse file";
    Dump d = RunMoviedump(path, size_t(512) << 20);
    EXPECT_EQ(d.status, 0) << d.err;
    EXPECT_NE(d.out.find("\"sampleCount\":10,"), std::string::npos) << d.out;
}
