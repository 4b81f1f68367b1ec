// Movies whose samples lie beyond 4 GiB, made cheaply as sparse files: the
// samples of a small movie are written after a 4 GiB hole and its movie atom
// is rewritten with 64-bit chunk offsets (co64) pointing there.
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FilesTestSupport.h"
#include "FixtureMovies.h"
#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/model/MovieSeam.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kHole = (4ull << 30) + 4096;

// Returns false when the file system cannot hold the sparse file.
bool MakeSparseMovie(const std::string& source, const std::string& dest)
{
    auto bytes = ReadFileBytes(source);
    std::vector<TopLevelAtom> atoms;
    EXPECT_EQ(ScanTopLevelAtoms(bytes, &atoms), noErr);
    const TopLevelAtom* mdat = nullptr;
    for (const auto& a : atoms)
        if (a.type == 'mdat')
            mdat = &a;
    EXPECT_NE(mdat, nullptr);
    if (!mdat)
        return false;
    std::uint64_t payloadStart = mdat->offset + mdat->headerSize, payloadLength = mdat->size - mdat->headerSize;
    std::uint64_t newStart = 20 + 16 + kHole;

    Movie movie = nullptr;
    EXPECT_EQ(ParseMovieFileData(bytes, MovieSource{source, bytes.size()}, &movie), noErr);
    SerializeOptions options;
    options.destinationPath = dest;
    options.forceCo64 = true;
    options.remapChunkOffset = [&](Track, UInt32, UInt64 old) { return old - payloadStart + newStart; };
    std::vector<UInt8> moov;
    EXPECT_EQ(SerializeMovieAtom(movie, options, &moov), noErr);
    DisposeMovie(movie);

    std::vector<std::uint8_t> head = {0, 0, 0, 20, 'f', 't', 'y', 'p', 'q', 't', ' ', ' ', 0, 0, 2, 0, 'q', 't', ' ', ' '};
    BigEndian::Append32(head, 1);
    BigEndian::AppendBytes(head, "mdat", 4);
    BigEndian::Append64(head, 16 + kHole + payloadLength);
    int fd = open(dest.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    bool ok = fd >= 0 && pwrite(fd, head.data(), head.size(), 0) == ssize_t(head.size()) &&
              pwrite(fd, bytes.data() + payloadStart, payloadLength, off_t(newStart)) == ssize_t(payloadLength) &&
              pwrite(fd, moov.data(), moov.size(), off_t(newStart + payloadLength)) == ssize_t(moov.size());
    struct stat st {};
    ok = ok && fstat(fd, &st) == 0 && std::uint64_t(st.st_blocks) * 512 < (64u << 20);  // really sparse
    close(fd);
    return ok;
}

}  // namespace

// Made once (a sparse file): copied out whole, then saved in place.
TEST(LargeFile, SamplesBeyondFourGigabytesAreFlattenedAndSavedInPlace)
{
    ScratchFolder dir;
    std::string path = dir / "sparse.mov";
    if (!MakeSparseMovie(FixtureMovies::Path("av.mov"), path))
        GTEST_SKIP() << "no sparse files here";
    ASSERT_GT(fs::file_size(path), 4ull << 30);
    EXPECT_EQ(DecodeErrors(path), "");
    {
        OpenMovie open(path);
        ASSERT_NE(open.movie, nullptr);
        EXPECT_EQ(GetMovieTrackCount(open.movie), 2);
        // The copy holds only the samples, not the gap before them.
        ASSERT_EQ(FlattenMovieTo(open.movie, dir / "flat.mov"), noErr);
        EXPECT_LT(fs::file_size(dir / "flat.mov"), fs::file_size(FixtureMovies::Path("av.mov")) + 4096);
        EXPECT_EQ(DecodeErrors(dir / "flat.mov"), "");
        SetTrackOffset(GetMovieIndTrack(open.movie, 1), 300);
        ASSERT_EQ(UpdateMovieResource(open.movie, open.refNum, open.resId, nullptr), noErr);
    }
    EXPECT_EQ(DecodeErrors(path), "");
    std::string trace;
    RunCommand("ffprobe -v trace " + Quote(path), &trace);
    EXPECT_NE(trace.find("co64"), std::string::npos);
}
