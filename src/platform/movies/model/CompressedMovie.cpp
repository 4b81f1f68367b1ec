#include "platform/movies/model/CompressedMovie.h"

#include <algorithm>
#include <zlib.h>

#include "platform/movies/atoms/RawAtom.h"

bool IsCompressedMovie(const ContainerAtom& moov)
{
    return moov.FindContainer('cmov') != nullptr;
}

bool DecompressMovie(const ContainerAtom& moov, std::vector<UInt8>* out, std::string* whyNot)
{
    const ContainerAtom* cmov = moov.FindContainer('cmov');
    auto* dcom = cmov ? cmov->FindAs<RawAtom>('dcom') : nullptr;
    auto* cmvd = cmov ? cmov->FindAs<RawAtom>('cmvd') : nullptr;
    if (!dcom || !cmvd || dcom->bytes.size() < 4 || cmvd->bytes.size() < 4) {
        *whyNot = "compressed movie without dcom/cmvd";
        return false;
    }
    if (dcom->bytes != std::vector<UInt8>{'z', 'l', 'i', 'b'}) {
        *whyNot = "compressed movie uses an unknown compressor";
        return false;
    }
    const auto& c = cmvd->bytes;
    uLongf size = (uLongf(c[0]) << 24) | (uLongf(c[1]) << 16) | (uLongf(c[2]) << 8) | c[3];
    // zlib cannot expand more than about 1032 to 1; a larger claim is a lie
    // and would only make us allocate for nothing.
    if (size < 8 || size > (c.size() - 4) * 1032 + 64) {
        *whyNot = "compressed movie claims an implausible size";
        return false;
    }
    // Real movie headers compress a few times over; the bound leaves room for
    // very repetitive tables while keeping what a small file can cost small.
    const UInt64 limit = std::min<UInt64>(kMaxCompressedMovieBytes,
                                          std::max<UInt64>(UInt64(c.size() - 4) * kMaxCompressionRatio, 1 << 20));
    if (size > limit) {
        *whyNot = "compressed movie would expand to " + std::to_string(size) + " bytes from " +
                  std::to_string(c.size() - 4) + ", past the limit of " + std::to_string(limit);
        return false;
    }
    out->resize(size);
    uLongf got = size;
    if (uncompress(out->data(), &got, c.data() + 4, uLong(c.size() - 4)) != Z_OK || got != size) {
        *whyNot = "compressed movie does not decompress";
        return false;
    }
    return true;
}
