// Decodes one video track's media: the picture shown at a media time.
// Moving forward continues the decoding; any other move starts again at the
// sync sample before the wanted one, so every frame can be reached exactly.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "platform/movies/playback/CodecSetup.h"
#include "platform/movies/playback/SampleReader.h"

class VideoTrackDecoder {
public:
    explicit VideoTrackDecoder(std::shared_ptr<const SnapshotTrack> track);
    ~VideoTrackDecoder();
    VideoTrackDecoder(const VideoTrackDecoder&) = delete;
    VideoTrackDecoder& operator=(const VideoTrackDecoder&) = delete;

    // The format of the first sample description, and whether it decodes.
    OSType Format() const { return format; }
    bool CanDecode() const { return canDecode; }
    // The missing file the samples live in ("" when every file is there).
    const std::string& MissingFile() const { return missingFile; }

    // The picture displayed at mediaTime (media units), nil when there is
    // none. Valid until the next call.
    const AVFrame* FrameAt(double mediaTime);

private:
    bool OpenCodec(UInt32 descriptionIndex);
    void Restart(UInt32 sampleNumber);
    bool FeedOne();
    void Take(AVFrame* frame);

    std::shared_ptr<const SnapshotTrack> track;
    SampleReader reader;
    OSType format = 0;
    bool canDecode = false;
    std::string missingFile;
    AVCodecContext* context = nullptr;
    UInt32 openDescription = 0;
    AVPacket* packet = nullptr;
    UInt32 nextSample = 1;         // the next sample to hand the decoder
    bool flushed = false;          // the decoder was told the samples ended
    AVFrame* shown = nullptr;      // the latest frame at or before the last time asked
    bool haveShown = false;
    std::deque<AVFrame*> ahead;    // frames decoded past the last time asked, in display order
    double lastTime = -1;
    std::vector<UInt8> bytes;
};
