// Regression runner: every file named on the command line (folders are
// walked), and every hostile file the tests build, goes through the
// sanitized reader as it is and through the write path, and a fixed set of
// variants of it (cut short at several lengths, single bytes changed in the
// atom headers) goes through the in-memory parser. A sanitizer report ends
// the program with an error; otherwise it prints what it ran. Files in a
// folder named writer are inputs of the write-path fuzzer, run as they are.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "HostileMovies.h"
#include "MovieReaderTarget.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The variants are deterministic so that a failure can be repeated.
// The write path with a few fixed sets of changes.
int RunWriteBack(const std::vector<std::uint8_t>& bytes)
{
    static const std::uint8_t kControls[][kWriteBackControlBytes] = {
        {0, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 0x20, 0x40, 0x60, 3}, {5, 4, 1, 0, 0x85, 0x10, 0x7F, 0}};
    for (const auto& control : kControls) {
        std::vector<std::uint8_t> input(control, control + kWriteBackControlBytes);
        input.insert(input.end(), bytes.begin(), bytes.end());
        RunMovieWriteBack(input.data(), input.size());
    }
    return 3;
}

int RunVariants(std::vector<std::uint8_t> bytes)
{
    int runs = 0;
    const std::size_t size = bytes.size();
    for (int cut = 1; cut <= 8 && size > 1; ++cut, ++runs)
        RunMovieParserInMemory(bytes.data(), size * std::size_t(cut) / 9);
    // Atom size and type fields sit at the start of atoms; corrupting bytes
    // near the front and at pseudo-random places reaches most of them.
    std::uint32_t seed = 2463534242u;
    for (int i = 0; i < 48 && size > 0; ++i, ++runs) {
        seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
        std::size_t at = i < 16 ? std::size_t(i) * 4 % size : seed % size;
        std::uint8_t old = bytes[at];
        bytes[at] = std::uint8_t(i % 3 == 0 ? 0xFF : i % 3 == 1 ? 0x00 : old ^ 0x80);
        RunMovieParserInMemory(bytes.data(), size);
        bytes[at] = old;
    }
    return runs;
}

}  // namespace

int main(int argc, char** argv)
{
    int files = 0, runs = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> paths;
        if (fs::is_directory(argv[i])) {
            for (const auto& e : fs::recursive_directory_iterator(argv[i]))
                if (e.is_regular_file())
                    paths.push_back(e.path());
        } else {
            paths.push_back(argv[i]);
        }
        for (const auto& path : paths) {
            auto bytes = ReadAll(path);
            // Inputs of the write-path fuzzer carry its control bytes first.
            if (path.parent_path().filename() == "writer") {
                RunMovieWriteBack(bytes.data(), bytes.size());
                ++runs, ++files;
                continue;
            }
            RunMovieReader(bytes.data(), bytes.size());
            runs += 1 + RunWriteBack(bytes) + RunVariants(bytes);
            ++files;
        }
    }
    for (const auto& hostile : HostileMovies::All()) {
        RunMovieReader(hostile.bytes.data(), hostile.bytes.size());
        runs += 1 + RunWriteBack(hostile.bytes) + RunVariants(hostile.bytes);
        ++files;
    }
    std::printf("%d files, %d runs through the sanitized reader\n", files, runs);
    return files > 0 ? 0 : 1;
}
