#include "platform/ui/harness/WavWriter.h"

#include <cstdio>
#include <limits>

namespace harness {

namespace {

// WAV stores every field little-endian, whatever the host.
void PutLE(std::string& out, UInt32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

}  // namespace

bool WriteWAV(const std::vector<SInt16>& samples, int sampleRate, int channels, const std::string& path)
{
    const UInt64 dataBytes = UInt64(samples.size()) * 2;
    if (channels < 1 || sampleRate < 1 || dataBytes > std::numeric_limits<UInt32>::max() - 36)
        return false;
    std::string out;
    out += "RIFF";
    PutLE(out, UInt32(36 + dataBytes), 4);
    out += "WAVE";
    // The "fmt " chunk: PCM (1), channels, sample rate, byte rate, block
    // align, bits per sample.
    out += "fmt ";
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);
    PutLE(out, UInt32(channels), 2);
    PutLE(out, UInt32(sampleRate), 4);
    PutLE(out, UInt32(sampleRate * channels * 2), 4);
    PutLE(out, UInt32(channels * 2), 2);
    PutLE(out, 16, 2);
    out += "data";
    PutLE(out, UInt32(dataBytes), 4);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    // The samples go out in blocks: a long recording is large.
    constexpr size_t kBlock = 1 << 16;
    bool ok = true;
    for (size_t at = 0; ok && at <= samples.size(); at += kBlock) {
        for (size_t i = at; i < samples.size() && i < at + kBlock; ++i)
            PutLE(out, UInt16(samples[i]), 2);
        ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
        out.clear();
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace harness
