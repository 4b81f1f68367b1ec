// Compressed movie headers: a 'moov' whose only content is 'cmov', holding
// the compressor ('dcom', always 'zlib' in practice) and the compressed
// movie atom ('cmvd': its uncompressed size, then the zlib stream).
#pragma once

#include <string>
#include <vector>

#include "platform/movies/atoms/ContainerAtom.h"

// True when moov holds a compressed movie.
bool IsCompressedMovie(const ContainerAtom& moov);

// The uncompressed movie atom bytes; false with the reason in *whyNot. The
// uncompressed size may be at most kMaxCompressionRatio times the
// compressed one (or 1 MiB, whichever is larger), and never more than
// kMaxCompressedMovieBytes.
constexpr UInt64 kMaxCompressionRatio = 256;
constexpr UInt64 kMaxCompressedMovieBytes = UInt64(32) << 20;
bool DecompressMovie(const ContainerAtom& moov, std::vector<UInt8>* out, std::string* whyNot);
