#include "platform/movies/playback/SoundTrackDecoder.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {

constexpr int kFramesPerRead = 4096;  // uncompressed sound is read this many frames at a time

}  // namespace

SoundTrackDecoder::SoundTrackDecoder(std::shared_ptr<const SnapshotTrack> t) : track(t), reader(t)
{
    missingFile = reader.MissingFile();
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    if (track->sampleDescriptions.empty())
        return;
    setup = SoundCodecSetup(track->sampleDescriptions[0]);
    const AVCodec* codec = setup.codec == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(setup.codec);
    if (!codec || (setup.uncompressed && setup.bytesPerFrame <= 0))
        return;
    context = avcodec_alloc_context3(codec);
    ApplyCodecSetup(setup, context);
    context->pkt_timebase = AVRational{1, int(track->mediaScale)};
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return;
    }
    if (setup.uncompressed)
        track->table.ForEachChunk([&](const ChunkVisit& c) {
            chunks.push_back(c);
            return true;
        });
}

SoundTrackDecoder::~SoundTrackDecoder()
{
    swr_free(&resampler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
}

void SoundTrackDecoder::Seek(SInt64 position)
{
    buffer.clear();
    ended = false;
    if (context)
        avcodec_flush_buffers(context);
    swr_free(&resampler);
    SInt64 mediaTime = SInt64(std::floor(double(position) * double(track->mediaScale) / kRate));
    SInt64 start = 0;
    UInt32 n = track->table.SampleAtTime(std::max<SInt64>(0, mediaTime), &start);
    if (n == 0 || !context) {
        ended = true;
        bufferStart = position;
        return;
    }
    SampleVisit visit;
    if (!setup.uncompressed && n > 1)
        --n;  // one packet earlier, so the decoder has primed itself where it matters
    if (!track->table.LookUpSample(n, &visit)) {
        ended = true;
        bufferStart = position;
        return;
    }
    nextSample = n;
    bufferStart = SInt64(std::llround(double(visit.decodeTime) * kRate / double(track->mediaScale)));
}

bool SoundTrackDecoder::SendNext()
{
    SampleVisit visit;
    if (!track->table.LookUpSample(nextSample, &visit))
        return false;
    if (setup.uncompressed) {
        auto it = std::upper_bound(chunks.begin(), chunks.end(), nextSample,
                                   [](UInt32 n, const ChunkVisit& c) { return n < c.firstSample; });
        if (it == chunks.begin())
            return false;
        const ChunkVisit& c = *(it - 1);
        UInt32 into = nextSample - c.firstSample;
        if (into >= c.sampleCount)
            return false;
        UInt32 count = std::min<UInt32>(kFramesPerRead, c.sampleCount - into);
        nextSample += count;
        if (!reader.ReadRange(c.sampleDescriptionIndex, c.offset + UInt64(into) * setup.bytesPerFrame,
                              size_t(count) * setup.bytesPerFrame, &bytes))
            bytes.assign(size_t(count) * setup.bytesPerFrame, 0);
    } else {
        ++nextSample;
        if (!reader.ReadRange(visit.sampleDescriptionIndex, visit.offset, visit.size, &bytes))
            return true;  // skipped; the stream goes on
    }
    av_packet_unref(packet);
    if (av_new_packet(packet, int(bytes.size())) < 0)
        return false;
    std::copy(bytes.begin(), bytes.end(), packet->data);
    avcodec_send_packet(context, packet);
    return true;
}

void SoundTrackDecoder::Append(const AVFrame* f)
{
    if (!resampler) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, kRate, const_cast<AVChannelLayout*>(&f->ch_layout),
                                AVSampleFormat(f->format), f->sample_rate, 0, nullptr) < 0 ||
            swr_init(resampler) < 0) {
            swr_free(&resampler);
            return;
        }
    }
    int room = swr_get_out_samples(resampler, f->nb_samples);
    if (room <= 0)
        return;
    size_t used = buffer.size();
    buffer.resize(used + size_t(room) * 2);
    uint8_t* out = reinterpret_cast<uint8_t*>(buffer.data() + used);
    int made = swr_convert(resampler, &out, room, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
    buffer.resize(used + size_t(std::max(made, 0)) * 2);
}

bool SoundTrackDecoder::DecodeMore()
{
    for (int guard = 0; guard < 1000 && !ended; ++guard) {
        int got = avcodec_receive_frame(context, frame);
        if (got == 0) {
            Append(frame);
            av_frame_unref(frame);
            return true;
        }
        if (got == AVERROR_EOF) {
            ended = true;
            break;
        }
        if (!SendNext())
            avcodec_send_packet(context, nullptr);
    }
    return false;
}

const SInt16* SoundTrackDecoder::Frames(SInt64 first, int count)
{
    window.assign(size_t(std::max(count, 0)) * 2, 0);
    if (!context || count <= 0)
        return window.data();
    SInt64 bufferEnd = bufferStart + SInt64(buffer.size() / 2);
    if (first < bufferStart && first + count + kRate > bufferStart)
        Seek(std::max<SInt64>(0, first - kRate / 2));  // playing backwards: decode half a second at a time
    else if (first < bufferStart || first > bufferEnd + kRate)
        Seek(first);
    while (!ended && bufferStart + SInt64(buffer.size() / 2) < first + count)
        if (!DecodeMore())
            break;
    bufferEnd = bufferStart + SInt64(buffer.size() / 2);
    for (SInt64 p = std::max(first, bufferStart); p < std::min(first + count, bufferEnd); ++p) {
        window[size_t(p - first) * 2] = buffer[size_t(p - bufferStart) * 2];
        window[size_t(p - first) * 2 + 1] = buffer[size_t(p - bufferStart) * 2 + 1];
    }
    // What lies well behind is not needed again while playing forward.
    if (first - bufferStart > 2 * kRate) {
        SInt64 drop = first - bufferStart - kRate / 2;
        buffer.erase(buffer.begin(), buffer.begin() + drop * 2);
        bufferStart += drop;
    }
    return window.data();
}
