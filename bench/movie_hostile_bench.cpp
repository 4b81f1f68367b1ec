// Hostile files of up to 10 MB, each opened through the movie-file calls in
// a child and, when it opens, written out as moviedump does and each media's
// last sample looked up: wall time and peak memory against the bounds every
// input under 10 MB must keep (1 s to open or fail, 256 MB at most).
#include <cstdio>
#include <fstream>
#include <functional>

#include "HostileMovies.h"
#include "movie_bench_support.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/model/MovieSeam.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "tools/moviedump/MovieJson.h"

namespace {

constexpr double kMaxSeconds = 1.0;
constexpr long kMaxKilobytes = 256 * 1024;

int Open(const std::string& path)
{
    FSSpec location {};
    FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    short refNum = 0;
    if (OpenMovieFile(&location, &refNum, fsRdPerm))
        return 2;
    Movie movie = nullptr;
    OSErr err = NewMovieFromFile(&movie, refNum, nullptr, nullptr, 0, nullptr);
    if (movie) {
        JsonWriter j;
        WriteMovieJson(j, movie);
        // Where a seek to the end lands: each media's last sample.
        for (long i = 1; i <= GetMovieTrackCount(movie); ++i) {
            Media media = GetTrackMedia(GetMovieIndTrack(movie, i));
            MediaSample last;
            if (media && GetMediaSampleCount(media) > 0)
                GetMediaSample(media, UInt32(GetMediaSampleCount(media)), &last);
        }
        DisposeMovie(movie);
    }
    CloseMovieFile(refNum);
    return err == memFullErr ? 3 : 0;  // a clean refusal is fine; running out is not
}

}  // namespace

int main()
{
    using namespace HostileMovies;
    struct Case {
        const char* name;
        std::function<std::vector<UInt8>()> make;
    } cases[] = {
        {"400,000 runs in one fragment", [] { return ManyRunsInOneFragment(400000); }},
        {"120,000 small fragments", [] { return ManySmallFragments(120000); }},
        {"1,500,000 listed samples", [] { return OneLargeFragment(1500000); }},
        {"600,000 runs of 2^24 defaults", [] { return DefaultRunsBeyondTheFile(600000, 1u << 24); }},
        {"4 billion own samples + fragment", [] { return HugeOwnTableWithFragments(); }},
        {"4 billion own samples of one size", [] { return BillionsOfSamplesOfOneSize(); }},
        {"1,250,000 empty atoms in the header", [] { return HeaderOfEmptyAtoms(1250000); }},
        {"compressed header of 64 MB", [] { return ExpandingCompressedHeader(64u << 20); }},
    };
    BenchFolder folder;
    int failures = 0;
    std::printf("%-36s %10s %8s %12s\n", "file", "bytes", "seconds", "peak MB");
    for (auto& c : cases) {
        std::string path = folder / "hostile.mov";
        auto bytes = c.make();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        Measurement m = MeasureChild([&] { return Open(path); });
        bool ok = m.status == 0 && m.seconds <= kMaxSeconds && m.peakKilobytes <= kMaxKilobytes && bytes.size() < (10u << 20);
        failures += !ok;
        std::printf("%-36s %10zu %8.3f %12.1f %s\n", c.name, bytes.size(), m.seconds, m.peakKilobytes / 1024.0,
                    ok ? "ok" : "OVER BOUND");
    }
    std::printf("targets: under %.0f s and %ld MB for every file under 10 MB\n", kMaxSeconds, kMaxKilobytes / 1024);
    return failures == 0 ? 0 : 1;
}
