// A sample description turned into what libavcodec needs to decode its
// samples: the codec, its tag and extradata (avcC, hvcC, esds, ...), the
// picture size, and for sound the channels, rate and, for uncompressed
// sound, how many bytes one frame takes.
#pragma once

#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "platform/core/MacTypes.h"

struct CodecSetup {
    OSType format = 0;                 // the sample entry's type ('avc1', 'twos', ...)
    AVCodecID codec = AV_CODEC_ID_NONE;
    std::vector<UInt8> extradata;
    // Video.
    int width = 0, height = 0, depth = 0;
    // The picture's colours as its 'colr' atom gives them; a stream that
    // says nothing of its own colours is read with these.
    AVColorPrimaries colorPrimaries = AVCOL_PRI_UNSPECIFIED;
    AVColorTransferCharacteristic colorTransfer = AVCOL_TRC_UNSPECIFIED;
    AVColorSpace colorSpace = AVCOL_SPC_UNSPECIFIED;
    AVColorRange colorRange = AVCOL_RANGE_UNSPECIFIED;
    // Sound.
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    bool uncompressed = false;         // PCM: any byte range of whole frames decodes
    int bytesPerFrame = 0;             // uncompressed: bytes of one frame, all channels
};

// Reads a whole sample description entry (header included) of a video or
// sound media. The codec stays AV_CODEC_ID_NONE for a format this build
// cannot decode; `format` still names it.
CodecSetup VideoCodecSetup(const std::vector<UInt8>& description);
CodecSetup SoundCodecSetup(const std::vector<UInt8>& description);

// Copies the setup into a codec context (parameters and extradata).
void ApplyCodecSetup(const CodecSetup& setup, AVCodecContext* context);

// "avc1" from 'avc1', with unprintable bytes as '?'.
std::string FourCharText(OSType code);
