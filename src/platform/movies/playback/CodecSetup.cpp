#include "platform/movies/playback/CodecSetup.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

namespace {

UInt32 Be32(const UInt8* p) { return (UInt32(p[0]) << 24) | (UInt32(p[1]) << 16) | (UInt32(p[2]) << 8) | p[3]; }
UInt16 Be16(const UInt8* p) { return UInt16((p[0] << 8) | p[1]); }

struct FormatCodec {
    OSType format;
    AVCodecID codec;
};

// Sample entry types and the decoders that read them.
constexpr FormatCodec kVideoFormats[] = {
    {'avc1', AV_CODEC_ID_H264},      {'avc3', AV_CODEC_ID_H264},      {'hvc1', AV_CODEC_ID_HEVC},
    {'hev1', AV_CODEC_ID_HEVC},      {'jpeg', AV_CODEC_ID_MJPEG},     {'mjpa', AV_CODEC_ID_MJPEG},
    {'mjpb', AV_CODEC_ID_MJPEGB},    {'AVDJ', AV_CODEC_ID_MJPEG},     {'dmb1', AV_CODEC_ID_MJPEG},
    {'apcn', AV_CODEC_ID_PRORES},    {'apch', AV_CODEC_ID_PRORES},    {'apcs', AV_CODEC_ID_PRORES},
    {'apco', AV_CODEC_ID_PRORES},    {'ap4h', AV_CODEC_ID_PRORES},    {'ap4x', AV_CODEC_ID_PRORES},
    {'raw ', AV_CODEC_ID_RAWVIDEO},  {'2vuy', AV_CODEC_ID_RAWVIDEO},  {'yuv2', AV_CODEC_ID_RAWVIDEO},
    {'v210', AV_CODEC_ID_V210},      {'mp4v', AV_CODEC_ID_MPEG4},     {'png ', AV_CODEC_ID_PNG},
    {'rle ', AV_CODEC_ID_QTRLE},     {'smc ', AV_CODEC_ID_SMC},       {'rpza', AV_CODEC_ID_RPZA},
    {'cvid', AV_CODEC_ID_CINEPAK},   {'SVQ1', AV_CODEC_ID_SVQ1},      {'SVQ3', AV_CODEC_ID_SVQ3},
    {'h263', AV_CODEC_ID_H263},      {'s263', AV_CODEC_ID_H263},      {'vp09', AV_CODEC_ID_VP9},
    {'av01', AV_CODEC_ID_AV1},       {'dvc ', AV_CODEC_ID_DVVIDEO},   {'dvcp', AV_CODEC_ID_DVVIDEO},
    {'dv5n', AV_CODEC_ID_DVVIDEO},   {'dv5p', AV_CODEC_ID_DVVIDEO},   {'dvpp', AV_CODEC_ID_DVVIDEO},
    {'mx5p', AV_CODEC_ID_MPEG2VIDEO}, {'xd5e', AV_CODEC_ID_MPEG2VIDEO}, {'hdv2', AV_CODEC_ID_MPEG2VIDEO},
    {'hdv3', AV_CODEC_ID_MPEG2VIDEO}, {'m2v1', AV_CODEC_ID_MPEG2VIDEO}, {'hdv1', AV_CODEC_ID_MPEG2VIDEO},
    {'hdv5', AV_CODEC_ID_MPEG2VIDEO}, {'hdv6', AV_CODEC_ID_MPEG2VIDEO}, {'hdv7', AV_CODEC_ID_MPEG2VIDEO},
    {'hdv8', AV_CODEC_ID_MPEG2VIDEO}, {'hdv9', AV_CODEC_ID_MPEG2VIDEO}, {'hdva', AV_CODEC_ID_MPEG2VIDEO},
    {'mp2v', AV_CODEC_ID_MPEG2VIDEO}, {'mx3n', AV_CODEC_ID_MPEG2VIDEO}, {'mx5n', AV_CODEC_ID_MPEG2VIDEO}, {'tiff', AV_CODEC_ID_TIFF},
    {'gif ', AV_CODEC_ID_GIF},       {'Hap1', AV_CODEC_ID_HAP},       {'Hap5', AV_CODEC_ID_HAP},
    {'HapY', AV_CODEC_ID_HAP},       {'icod', AV_CODEC_ID_AIC},
};

constexpr FormatCodec kSoundFormats[] = {
    {'mp4a', AV_CODEC_ID_AAC},  {'.mp3', AV_CODEC_ID_MP3}, {'ms\0\x55', AV_CODEC_ID_MP3},
    {'ac-3', AV_CODEC_ID_AC3},  {'ec-3', AV_CODEC_ID_EAC3}, {'alac', AV_CODEC_ID_ALAC},
    {'Opus', AV_CODEC_ID_OPUS}, {'fLaC', AV_CODEC_ID_FLAC}, {'ima4', AV_CODEC_ID_ADPCM_IMA_QT},
    {'samr', AV_CODEC_ID_AMR_NB}, {'sawb', AV_CODEC_ID_AMR_WB}, {'QDM2', AV_CODEC_ID_QDM2},
    {'MAC3', AV_CODEC_ID_MACE3}, {'MAC6', AV_CODEC_ID_MACE6},
};

template <size_t N>
AVCodecID Lookup(const FormatCodec (&table)[N], OSType format)
{
    for (const auto& entry : table)
        if (entry.format == format)
            return entry.codec;
    return AV_CODEC_ID_NONE;
}

// The child atoms in [begin, end): calls visit(type, payload, size) for each.
template <class Visit>
void ForEachAtom(const UInt8* begin, const UInt8* end, Visit visit)
{
    while (end - begin >= 8) {
        UInt32 size = Be32(begin);
        OSType type = Be32(begin + 4);
        if (size < 8 || size > UInt32(end - begin))
            return;
        visit(type, begin + 8, size - 8);
        begin += size;
    }
}

// The length of an MPEG-4 descriptor (1 to 4 bytes of 7 bits).
bool DescriptorLength(const UInt8*& p, const UInt8* end, UInt32* length)
{
    *length = 0;
    for (int i = 0; i < 4 && p < end; ++i) {
        UInt8 b = *p++;
        *length = (*length << 7) | (b & 0x7F);
        if (!(b & 0x80))
            return true;
    }
    return false;
}

// The decoder-specific information of an esds payload (version and flags
// first), and the object type that says which codec it is.
void ReadEsds(const UInt8* p, UInt32 size, CodecSetup& setup)
{
    const UInt8* end = p + size;
    p += 4;
    while (p + 2 <= end) {
        UInt8 tag = *p++;
        UInt32 length = 0;
        if (!DescriptorLength(p, end, &length) || length > UInt32(end - p))
            return;
        if (tag == 3) {          // ES_Descriptor: ES_ID, flags and what they add
            if (length < 3)
                return;
            UInt8 flags = p[2];
            const UInt8* q = p + 3;
            if (flags & 0x80) q += 2;
            if ((flags & 0x40) && q < end) q += 1 + *q;
            if (flags & 0x20) q += 2;
            p = q;
            continue;
        }
        if (tag == 4) {          // DecoderConfigDescriptor: objectTypeIndication first
            if (length < 13)
                return;
            switch (p[0]) {
            case 0x40: case 0x66: case 0x67: case 0x68: setup.codec = AV_CODEC_ID_AAC; break;
            case 0x69: case 0x6B: setup.codec = AV_CODEC_ID_MP3; break;
            case 0x20: setup.codec = AV_CODEC_ID_MPEG4; break;
            case 0x21: setup.codec = AV_CODEC_ID_H264; break;
            case 0x6A: setup.codec = AV_CODEC_ID_MPEG1VIDEO; break;
            case 0x60: case 0x61: case 0x62: case 0x63: case 0x64: case 0x65:
                setup.codec = AV_CODEC_ID_MPEG2VIDEO; break;
            case 0x6C: setup.codec = AV_CODEC_ID_MJPEG; break;
            case 0xA5: setup.codec = AV_CODEC_ID_AC3; break;
            default: break;
            }
            p += 13;
            continue;
        }
        if (tag == 5) {          // DecoderSpecificInfo
            setup.extradata.assign(p, p + length);
            return;
        }
        p += length;
    }
}

// colr: colour_type, then for 'nclc' (QuickTime) and 'nclx' (ISO) the
// primaries, transfer function and matrix as 16-bit codes, which are the
// codes FFmpeg uses; 'nclx' adds full_range_flag in the top bit of one byte.
// Without it a high-definition picture would be read with the standard-
// definition matrix and its colours come out too strong.
void ReadColr(const UInt8* p, UInt32 size, CodecSetup& setup)
{
    if (size < 10)
        return;
    OSType kind = Be32(p);
    if (kind != 'nclc' && kind != 'nclx')
        return;
    setup.colorPrimaries = AVColorPrimaries(Be16(p + 4));
    setup.colorTransfer = AVColorTransferCharacteristic(Be16(p + 6));
    setup.colorSpace = AVColorSpace(Be16(p + 8));
    if (kind == 'nclx' && size >= 11)
        setup.colorRange = (p[10] & 0x80) ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
}

// Extradata atoms of a sample entry, and those inside a 'wave' atom.
void ReadExtensions(const UInt8* begin, const UInt8* end, CodecSetup& setup)
{
    ForEachAtom(begin, end, [&](OSType type, const UInt8* p, UInt32 size) {
        switch (type) {
        case 'avcC': case 'hvcC': case 'av1C': case 'glbl': case 'alac': case 'dfLa':
            if (setup.extradata.empty())
                setup.extradata.assign(p, p + size);
            break;
        case 'vpcC':
            break;
        case 'esds': ReadEsds(p, size, setup); break;
        case 'colr': ReadColr(p, size, setup); break;
        case 'wave': ReadExtensions(p, p + size, setup); break;
        case 'enda':
            // Little-endian uncompressed sound.
            if (size >= 2 && Be16(p) != 0) {
                if (setup.codec == AV_CODEC_ID_PCM_S24BE) setup.codec = AV_CODEC_ID_PCM_S24LE;
                if (setup.codec == AV_CODEC_ID_PCM_S32BE) setup.codec = AV_CODEC_ID_PCM_S32LE;
                if (setup.codec == AV_CODEC_ID_PCM_F32BE) setup.codec = AV_CODEC_ID_PCM_F32LE;
                if (setup.codec == AV_CODEC_ID_PCM_F64BE) setup.codec = AV_CODEC_ID_PCM_F64LE;
            }
            break;
        default: break;
        }
    });
}

// lpcm: the flags of a version-2 description say float or integer, the
// byte order and the bit depth.
AVCodecID LinearPcmCodec(UInt32 flags, int bits)
{
    bool isFloat = flags & 1, bigEndian = flags & 2, isSigned = flags & 4;
    if (isFloat)
        return bits == 64 ? (bigEndian ? AV_CODEC_ID_PCM_F64BE : AV_CODEC_ID_PCM_F64LE)
                          : (bigEndian ? AV_CODEC_ID_PCM_F32BE : AV_CODEC_ID_PCM_F32LE);
    switch (bits) {
    case 8: return isSigned ? AV_CODEC_ID_PCM_S8 : AV_CODEC_ID_PCM_U8;
    case 16: return bigEndian ? AV_CODEC_ID_PCM_S16BE : AV_CODEC_ID_PCM_S16LE;
    case 24: return bigEndian ? AV_CODEC_ID_PCM_S24BE : AV_CODEC_ID_PCM_S24LE;
    case 32: return bigEndian ? AV_CODEC_ID_PCM_S32BE : AV_CODEC_ID_PCM_S32LE;
    default: return AV_CODEC_ID_NONE;
    }
}

// The uncompressed formats: the decoder and the bits of one sample.
void UncompressedCodec(CodecSetup& s)
{
    struct Pcm {
        OSType format;
        AVCodecID codec;
        int bits;
    };
    static constexpr Pcm kPcm[] = {
        {'sowt', AV_CODEC_ID_PCM_S16LE, 16}, {'in24', AV_CODEC_ID_PCM_S24BE, 24},
        {'in32', AV_CODEC_ID_PCM_S32BE, 32}, {'fl32', AV_CODEC_ID_PCM_F32BE, 32},
        {'fl64', AV_CODEC_ID_PCM_F64BE, 64}, {'raw ', AV_CODEC_ID_PCM_U8, 8},
        {'NONE', AV_CODEC_ID_PCM_U8, 8},     {'ulaw', AV_CODEC_ID_PCM_MULAW, 8},
        {'alaw', AV_CODEC_ID_PCM_ALAW, 8},
    };
    for (const auto& p : kPcm)
        if (p.format == s.format) {
            s.codec = p.codec;
            s.bitsPerSample = p.bits;
        }
    // twos: big-endian signed, 8 or 16 bits as the description says.
    if (s.format == 'twos') {
        s.bitsPerSample = s.bitsPerSample == 8 ? 8 : 16;
        s.codec = s.bitsPerSample == 8 ? AV_CODEC_ID_PCM_S8 : AV_CODEC_ID_PCM_S16BE;
    }
    s.uncompressed = s.codec != AV_CODEC_ID_NONE;
}

}  // namespace

std::string FourCharText(OSType code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((code >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

// The video sample entry: 8 header bytes, 8 of reserved and data reference
// index, then version, revision, vendor, temporal and spatial quality,
// width, height, resolutions, data size, frame count, compressor name (32),
// depth and colour table ID: 86 bytes before the extension atoms.
CodecSetup VideoCodecSetup(const std::vector<UInt8>& d)
{
    CodecSetup s;
    if (d.size() < 8)
        return s;
    s.format = Be32(&d[4]);
    s.codec = Lookup(kVideoFormats, s.format);
    if (d.size() < 86)
        return s;
    s.width = Be16(&d[32]);
    s.height = Be16(&d[34]);
    s.depth = Be16(&d[82]);
    AVCodecID named = s.codec;
    ReadExtensions(d.data() + 86, d.data() + d.size(), s);
    if (named != AV_CODEC_ID_NONE && s.format != 'mp4v')
        s.codec = named;  // an esds object type only decides for mp4v
    return s;
}

// The sound sample entry: after the 16 bytes of header and data reference
// index, version, revision, vendor, channels, sample size, compression ID,
// packet size and rate (16.16): the extension atoms follow at 36 (version
// 0), 52 (version 1: four more 32-bit fields) or 72 (version 2, whose rate
// is a 64-bit float and whose channels and bits are 32-bit fields).
CodecSetup SoundCodecSetup(const std::vector<UInt8>& d)
{
    CodecSetup s;
    if (d.size() < 8)
        return s;
    s.format = Be32(&d[4]);
    if (d.size() < 36)
        return s;
    UInt16 version = Be16(&d[16]);
    size_t extensions = 36;
    UInt32 lpcmFlags = 0;
    s.channels = Be16(&d[24]);
    s.bitsPerSample = Be16(&d[26]);
    s.sampleRate = int(Be32(&d[32]) >> 16);
    if (version == 1 && d.size() >= 52) {
        extensions = 52;
        s.bytesPerFrame = int(Be32(&d[44]));
    } else if (version == 2 && d.size() >= 72) {
        extensions = 72;
        double rate;
        UInt64 bits = (UInt64(Be32(&d[40])) << 32) | Be32(&d[44]);
        std::memcpy(&rate, &bits, sizeof rate);
        s.sampleRate = rate > 0 && rate < 1e7 ? int(rate + 0.5) : 0;
        s.channels = int(Be32(&d[48]));
        s.bitsPerSample = int(Be32(&d[56]));
        lpcmFlags = Be32(&d[60]);
        s.bytesPerFrame = int(Be32(&d[64]));
    }
    if (s.format == 'lpcm') {
        s.codec = LinearPcmCodec(lpcmFlags, s.bitsPerSample);
        s.uncompressed = s.codec != AV_CODEC_ID_NONE;
    } else {
        UncompressedCodec(s);
        if (!s.uncompressed)
            s.codec = Lookup(kSoundFormats, s.format);
    }
    ReadExtensions(d.data() + extensions, d.data() + d.size(), s);
    if (s.uncompressed) {
        int fromFormat = s.channels * std::max(1, av_get_bits_per_sample(s.codec)) / 8;
        // Version 1 and 2 say the frame size; version 0 leaves it to the format.
        if (s.bytesPerFrame <= 0 || s.bytesPerFrame != fromFormat)
            s.bytesPerFrame = fromFormat;
    }
    if (s.channels <= 0 || s.channels > 64)
        s.channels = 0;
    return s;
}

void ApplyCodecSetup(const CodecSetup& s, AVCodecContext* c)
{
    // libavcodec spells a tag in file byte order, the first character lowest.
    c->codec_tag = __builtin_bswap32(s.format);
    if (s.width > 0) {
        c->width = s.width;
        c->height = s.height;
        c->bits_per_coded_sample = s.depth;
        // Codes past the known ones are left to the stream.
        if (s.colorPrimaries < AVCOL_PRI_NB) c->color_primaries = s.colorPrimaries;
        if (s.colorTransfer < AVCOL_TRC_NB) c->color_trc = s.colorTransfer;
        if (s.colorSpace < AVCOL_SPC_NB) c->colorspace = s.colorSpace;
        c->color_range = s.colorRange;
    }
    if (s.channels > 0)
        av_channel_layout_default(&c->ch_layout, s.channels);
    if (s.sampleRate > 0)
        c->sample_rate = s.sampleRate;
    if (s.uncompressed)
        c->bits_per_coded_sample = av_get_bits_per_sample(s.codec);
    if (!s.extradata.empty()) {
        c->extradata = static_cast<uint8_t*>(av_mallocz(s.extradata.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (c->extradata) {
            std::memcpy(c->extradata, s.extradata.data(), s.extradata.size());
            c->extradata_size = int(s.extradata.size());
        }
    }
}
