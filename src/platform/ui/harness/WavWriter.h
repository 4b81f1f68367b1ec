// Writes 16-bit PCM as a RIFF WAVE file.
#pragma once

#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

namespace harness {

// samples are interleaved, `channels` per frame; false when the file cannot
// be written or the data would not fit a WAV file's 32-bit sizes.
bool WriteWAV(const std::vector<SInt16>& samples, int sampleRate, int channels, const std::string& path);

}  // namespace harness
