// One pass of the movie-file reader over arbitrary bytes, shared by the
// libFuzzer target and the sanitized regression runner: the bytes are tried
// as a data fork, as an AppleDouble companion holding a resource fork, and
// as an alias record, and every movie read is queried the way the tracks
// window queries it and written back to memory.
#pragma once

#include <cstddef>
#include <cstdint>

void RunMovieReader(const std::uint8_t* data, std::size_t size);
// The same over bytes already in memory only (no files): for the many
// mutated variants the regression runner tries.
void RunMovieParserInMemory(const std::uint8_t* data, std::size_t size);
// The write path: the first kWriteBackControlBytes bytes choose changes to
// track offsets and edits (and 64-bit chunk offsets), the rest is read as a
// data fork; the changed movie is written as a movie atom, which must read
// back with the same tracks. A movie that does not read back aborts.
constexpr std::size_t kWriteBackControlBytes = 8;
void RunMovieWriteBack(const std::uint8_t* data, std::size_t size);
