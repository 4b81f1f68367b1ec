#include "platform/movies/playback/VideoTrackDecoder.h"

#include <algorithm>

#include "platform/movies/playback/PictureTimes.h"

VideoTrackDecoder::VideoTrackDecoder(std::shared_ptr<const SnapshotTrack> t) : track(t), reader(t)
{
    missingFile = reader.MissingFile();
    if (!track->sampleDescriptions.empty()) {
        CodecSetup setup = VideoCodecSetup(track->sampleDescriptions[0]);
        format = setup.format;
        canDecode = OpenCodec(1);
    }
    packet = av_packet_alloc();
    shown = av_frame_alloc();
}

VideoTrackDecoder::~VideoTrackDecoder()
{
    for (AVFrame* f : ahead)
        av_frame_free(&f);
    av_frame_free(&shown);
    av_packet_free(&packet);
    avcodec_free_context(&context);
}

bool VideoTrackDecoder::OpenCodec(UInt32 descriptionIndex)
{
    avcodec_free_context(&context);
    openDescription = descriptionIndex;
    if (descriptionIndex < 1 || descriptionIndex > track->sampleDescriptions.size())
        return false;
    CodecSetup setup = VideoCodecSetup(track->sampleDescriptions[descriptionIndex - 1]);
    const AVCodec* codec = setup.codec == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(setup.codec);
    if (!codec)
        return false;
    context = avcodec_alloc_context3(codec);
    if (!context)
        return false;
    ApplyCodecSetup(setup, context);
    // Frame threads would hold frames back; slice threads do not, and a
    // high-definition picture still decodes on more than one core.
    context->thread_type = FF_THREAD_SLICE;
    context->thread_count = 0;
    context->pkt_timebase = AVRational{1, int(track->mediaScale)};
    if (avcodec_open2(context, codec, nullptr) < 0) {
        avcodec_free_context(&context);
        return false;
    }
    return true;
}

void VideoTrackDecoder::Restart(UInt32 sampleNumber)
{
    if (context)
        avcodec_flush_buffers(context);
    for (AVFrame* f : ahead)
        av_frame_free(&f);
    ahead.clear();
    haveShown = false;
    flushed = false;
    nextSample = std::max<UInt32>(1, sampleNumber);
}

// Hands the decoder one more sample (or the end of the samples); false when
// there is nothing more to give.
bool VideoTrackDecoder::FeedOne()
{
    if (flushed || !context)
        return false;
    SampleVisit visit;
    if (nextSample > track->table.SampleCount() || !track->table.LookUpSample(nextSample, &visit)) {
        avcodec_send_packet(context, nullptr);
        flushed = true;
        return true;
    }
    ++nextSample;
    if (visit.sampleDescriptionIndex != openDescription && !OpenCodec(visit.sampleDescriptionIndex))
        return true;
    if (!reader.ReadRange(visit.sampleDescriptionIndex, visit.offset, visit.size, &bytes))
        return true;  // an unreadable sample is skipped; the decoder conceals it
    av_packet_unref(packet);
    if (av_new_packet(packet, int(bytes.size())) < 0)
        return true;
    std::copy(bytes.begin(), bytes.end(), packet->data);
    packet->dts = visit.decodeTime;
    packet->pts = visit.decodeTime + visit.compositionOffset;
    packet->duration = visit.duration;
    if (visit.sync)
        packet->flags |= AV_PKT_FLAG_KEY;
    if (avcodec_send_packet(context, packet) == AVERROR(EAGAIN)) {
        --nextSample;  // the decoder is full: give it back after taking frames
    }
    return true;
}

void VideoTrackDecoder::Take(AVFrame* frame)
{
    if (frame->pts == AV_NOPTS_VALUE)
        frame->pts = frame->best_effort_timestamp;
    auto at = std::upper_bound(ahead.begin(), ahead.end(), frame->pts,
                               [](int64_t pts, const AVFrame* f) { return pts < f->pts; });
    ahead.insert(at, frame);
}

const AVFrame* VideoTrackDecoder::FrameAt(double mediaTime)
{
    if (!context && !canDecode)
        return nullptr;
    UInt32 sync = SyncSampleFor(track->table, mediaTime);
    double due = mediaTime + kPictureTimeSlack;  // as PictureAt reckons
    // Backwards, or forward past another sync sample: start again there. A
    // time a little back that still shows the same picture is no move.
    bool backwards = haveShown ? double(shown->pts) > due : mediaTime < lastTime;
    if (backwards || sync > nextSample || lastTime < 0)
        Restart(sync);
    lastTime = mediaTime;
    for (int guard = 0; guard < 100000; ++guard) {
        while (!ahead.empty() && double(ahead.front()->pts) <= due) {
            av_frame_unref(shown);
            av_frame_move_ref(shown, ahead.front());
            av_frame_free(&ahead.front());
            ahead.pop_front();
            haveShown = true;
        }
        if (!ahead.empty())
            break;  // frames come in display order: the next one is later
        AVFrame* frame = av_frame_alloc();
        int got = context ? avcodec_receive_frame(context, frame) : AVERROR_EOF;
        if (got == 0) {
            Take(frame);
            continue;
        }
        av_frame_free(&frame);
        if (got == AVERROR_EOF || !FeedOne())
            break;
    }
    if (haveShown)
        return shown;
    // Before the first picture: show the first one there is.
    return ahead.empty() ? nullptr : ahead.front();
}
