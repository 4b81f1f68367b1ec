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
