// Decodes one sound track's media into 48 kHz, 16-bit stereo, addressed by
// frame position in that stream (media time x 48000 / media scale). Reading
// forward continues the decoding; a jump starts again at the sample that
// holds the wanted position.
#pragma once

#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
}

#include "platform/movies/playback/CodecSetup.h"
#include "platform/movies/playback/SampleReader.h"

class SoundTrackDecoder {
public:
    static constexpr int kRate = 48000;

    explicit SoundTrackDecoder(std::shared_ptr<const SnapshotTrack> track);
    ~SoundTrackDecoder();
    SoundTrackDecoder(const SoundTrackDecoder&) = delete;
    SoundTrackDecoder& operator=(const SoundTrackDecoder&) = delete;

    OSType Format() const { return setup.format; }
    bool CanDecode() const { return context != nullptr; }
    const std::string& MissingFile() const { return missingFile; }

    // Stereo frames [first, first + count) of the decoded stream, silence
    // where the media has none. Valid until the next call.
    const SInt16* Frames(SInt64 first, int count);

private:
    void Seek(SInt64 position);
    bool DecodeMore();
    bool SendNext();
    void Append(const AVFrame* frame);

    std::shared_ptr<const SnapshotTrack> track;
    SampleReader reader;
    CodecSetup setup;
    std::string missingFile;
    AVCodecContext* context = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    std::vector<ChunkVisit> chunks;   // uncompressed media: read by byte ranges of chunks
    UInt32 nextSample = 1;
    bool ended = false;
    SInt64 bufferStart = 0;           // position of buffer's first frame
    std::vector<SInt16> buffer;       // decoded, interleaved stereo
    std::vector<SInt16> window;       // what Frames hands out
    std::vector<UInt8> bytes;
};
