#include "platform/movies/playback/PlaybackEngine.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "platform/movies/playback/PictureTimes.h"
#include "platform/movies/playback/SoundTrackDecoder.h"
#include "platform/movies/playback/VideoTrackDecoder.h"

namespace {

constexpr UInt32 kPlaceholderGrey = 0xFF808080;
constexpr UInt32 kBackground = 0xFF000000;

double Fix(Fixed v) { return double(v) / 65536.0; }

// The picture's own colour matrix and range (high-definition pictures are
// BT.709, which the scaler would otherwise read as BT.601).
void UseFrameColours(SwsContext* scaler, const AVFrame* frame)
{
    int* inverse = nullptr;
    int* table = nullptr;
    int srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
    if (sws_getColorspaceDetails(scaler, &inverse, &srcRange, &table, &dstRange, &brightness, &contrast,
                                 &saturation) < 0)
        return;  // an RGB source: nothing to choose
    int space = frame->colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT : int(frame->colorspace);
    if (frame->color_range != AVCOL_RANGE_UNSPECIFIED)
        srcRange = frame->color_range == AVCOL_RANGE_JPEG ? 1 : 0;
    sws_setColorspaceDetails(scaler, sws_getCoefficients(space), srcRange, table, dstRange, brightness, contrast,
                             saturation);
}

}  // namespace

struct PlaybackEngine::VideoTrack {
    std::shared_ptr<const SnapshotTrack> track;
    std::unique_ptr<VideoTrackDecoder> decoder;
    bool missingCodec = false;
    SwsContext* scaler = nullptr;
    std::vector<UInt32> scaled;
    ~VideoTrack() { sws_freeContext(scaler); }
};

struct PlaybackEngine::SoundTrack {
    std::shared_ptr<const SnapshotTrack> track;
    std::unique_ptr<SoundTrackDecoder> decoder;
    double gain = 1;
};

PlaybackEngine::PlaybackEngine(std::shared_ptr<const MovieSnapshot> s) : snapshot(std::move(s))
{
    // The libraries' own notes (a deprecated pixel format, a damaged
    // packet concealed) are no news to a person watching the movie.
    av_log_set_level(AV_LOG_ERROR);
    for (const auto& t : snapshot->tracks) {
        if (!t->enabled || t->table.Empty())
            continue;
        if (t->IsVisual()) {
            auto v = std::make_unique<VideoTrack>();
            v->track = t;
            v->decoder = std::make_unique<VideoTrackDecoder>(t);
            if (!v->decoder->MissingFile().empty()) {
                problems.push_back({PlaybackProblem::MissingFile, t->id, v->decoder->Format(), v->decoder->MissingFile()});
                continue;  // blank
            }
            if (!v->decoder->CanDecode()) {
                problems.push_back({PlaybackProblem::MissingCodec, t->id, v->decoder->Format(), {}});
                v->missingCodec = true;
            }
            videoTracks.push_back(std::move(v));
        } else if (t->IsSound()) {
            auto a = std::make_unique<SoundTrack>();
            a->track = t;
            a->decoder = std::make_unique<SoundTrackDecoder>(t);
            if (!a->decoder->MissingFile().empty()) {
                problems.push_back({PlaybackProblem::MissingFile, t->id, a->decoder->Format(), a->decoder->MissingFile()});
                continue;  // silent
            }
            if (!a->decoder->CanDecode()) {
                problems.push_back({PlaybackProblem::MissingCodec, t->id, a->decoder->Format(), {}});
                continue;
            }
            a->gain = double(t->volume) / 256.0 * double(snapshot->volume) / 256.0;
            soundTracks.push_back(std::move(a));
        }
    }
    // Higher layers lie behind lower ones: draw them first.
    std::stable_sort(videoTracks.begin(), videoTracks.end(),
                     [](const auto& a, const auto& b) { return a->track->layer > b->track->layer; });
}

PlaybackEngine::~PlaybackEngine() = default;

void PlaybackEngine::Compose(double movieTime, int width, int height, PlaybackImage* out)
{
    out->width = std::max(width, 0);
    out->height = std::max(height, 0);
    out->movieTime = movieTime;
    out->placeholders.clear();
    // The usual movie, one picture filling the box, is scaled straight into
    // the image.
    if (videoTracks.size() == 1 && ScaleWhole(*videoTracks[0], movieTime, out))
        return;
    out->pixels.assign(size_t(out->width) * size_t(out->height), kBackground);
    for (auto& v : videoTracks)
        DrawTrack(*v, movieTime, out);
}

// Where a track's picture lands in the image, through its matrix and the
// movie's scaling; false when it does not show.
bool PlaybackEngine::Place(const SnapshotTrack& t, const PlaybackImage& out, Placement* p) const
{
    double naturalW = snapshot->right - snapshot->left, naturalH = snapshot->bottom - snapshot->top;
    if (naturalW <= 0 || naturalH <= 0 || out.width == 0 || out.height == 0)
        return false;
    double sx = out.width / naturalW, sy = out.height / naturalH;
    const auto& m = t.matrix.matrix;
    // Track point (u, v) lands on image point (A u + C v + X, B u + D v + Y).
    p->A = Fix(m[0][0]) * sx, p->B = Fix(m[0][1]) * sy, p->C = Fix(m[1][0]) * sx, p->D = Fix(m[1][1]) * sy;
    p->X = (Fix(m[2][0]) - snapshot->left) * sx, p->Y = (Fix(m[2][1]) - snapshot->top) * sy;
    double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
    for (double u : {0.0, t.width})
        for (double w : {0.0, t.height}) {
            double px = p->A * u + p->C * w + p->X, py = p->B * u + p->D * w + p->Y;
            x0 = std::min(x0, px), x1 = std::max(x1, px), y0 = std::min(y0, py), y1 = std::max(y1, py);
        }
    p->left = int(std::lround(x0)), p->top = int(std::lround(y0));
    p->w = int(std::lround(x1)) - p->left, p->h = int(std::lround(y1)) - p->top;
    if (p->w <= 0 || p->h <= 0)
        return false;
    p->upright = p->B == 0 && p->C == 0 && p->A > 0 && p->D > 0;
    // The size the picture is scaled to before it is placed: the box itself
    // when upright, else the track's own sides as they appear.
    p->fw = p->upright ? p->w : std::max(1, int(std::lround(t.width * std::hypot(p->A, p->B))));
    p->fh = p->upright ? p->h : std::max(1, int(std::lround(t.height * std::hypot(p->C, p->D))));
    return true;
}

// The decoded picture at movieTime, nil when the track shows none.
const AVFrame* PlaybackEngine::FrameOf(VideoTrack& v, double movieTime)
{
    MediaPosition pos = MapMovieTime(*v.track, snapshot->timeScale, movieTime);
    if (!pos.inMedia || v.missingCodec)
        return nullptr;
    const AVFrame* frame = v.decoder->FrameAt(pos.mediaTime);
    return frame && frame->width > 0 && frame->height > 0 ? frame : nullptr;
}

// Converts the frame to 0xAARRGGBB at fw x fh into rows of `stride` pixels.
bool PlaybackEngine::Scale(VideoTrack& v, const AVFrame* frame, int fw, int fh, UInt32* pixels, int stride)
{
    v.scaler = sws_getCachedContext(v.scaler, frame->width, frame->height, AVPixelFormat(frame->format), fw, fh,
                                    AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!v.scaler)
        return false;
    UseFrameColours(v.scaler, frame);
    uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(pixels), nullptr, nullptr, nullptr};
    int dstStride[4] = {stride * 4, 0, 0, 0};
    sws_scale(v.scaler, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    return true;
}

// One opaque, upright picture that covers the whole image is scaled into
// it directly: no background to paint, no second copy. The scaler writes
// whole vectors, so this needs rows of a whole number of 64 bytes.
bool PlaybackEngine::ScaleWhole(VideoTrack& v, double movieTime, PlaybackImage* out)
{
    Placement p;
    if (v.missingCodec || out->width % 16 != 0 || !Place(*v.track, *out, &p) || !p.upright || p.left != 0 ||
        p.top != 0 || p.w != out->width || p.h != out->height)
        return false;
    const AVFrame* frame = FrameOf(v, movieTime);
    if (!frame)
        return false;
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
    if (!format || (format->flags & AV_PIX_FMT_FLAG_ALPHA))
        return false;  // its alpha would come through; the picture is drawn opaque
    out->pixels.resize(size_t(out->width) * size_t(out->height));
    return Scale(v, frame, p.w, p.h, out->pixels.data(), out->width);
}

// The track's picture through its matrix and the movie's scaling into the
// image. Scaling and moving (the usual case) is one scaled copy; a rotated
// or mirrored track (a telephone held upright) is drawn pixel by pixel
// through the inverse of the matrix.
void PlaybackEngine::DrawTrack(VideoTrack& v, double movieTime, PlaybackImage* out)
{
    const SnapshotTrack& t = *v.track;
    Placement p;
    if (!MapMovieTime(t, snapshot->timeScale, movieTime).inMedia || !Place(t, *out, &p))
        return;
    int left = p.left, top = p.top, w = p.w, h = p.h, fw = p.fw, fh = p.fh;
    auto blit = [&](auto pixelAt) {
        for (int y = std::max(0, top); y < std::min(out->height, top + h); ++y)
            for (int x = std::max(0, left); x < std::min(out->width, left + w); ++x)
                pixelAt(x, y, out->pixels[size_t(y) * out->width + x]);
    };
    if (v.missingCodec) {
        blit([](int, int, UInt32& px) { px = kPlaceholderGrey; });
        out->placeholders.push_back({left, top, left + w, top + h, v.decoder->Format()});
        return;
    }
    const AVFrame* frame = FrameOf(v, movieTime);
    if (!frame)
        return;
    // Rows padded to 64 bytes and a spare row at the end keep the scaler's
    // last vector writes inside the buffer.
    int stride = (fw + 15) & ~15;
    v.scaled.resize(size_t(stride) * size_t(fh + 2));
    if (!Scale(v, frame, fw, fh, v.scaled.data(), stride))
        return;
    const UInt32* src = v.scaled.data();
    // An alpha channel the picture lacks comes out as 0; the picture is opaque.
    if (p.upright) {
        blit([&](int x, int y, UInt32& px) { px = src[size_t(y - top) * stride + (x - left)] | 0xFF000000u; });
        return;
    }
    double A = p.A, B = p.B, C = p.C, D = p.D, X = p.X, Y = p.Y;
    double det = A * D - B * C;
    if (det == 0)
        return;
    blit([&](int x, int y, UInt32& px) {
        double qx = x + 0.5 - X, qy = y + 0.5 - Y;
        double u = (D * qx - C * qy) / det, vv = (-B * qx + A * qy) / det;  // track coordinates
        int sxp = int(u / t.width * fw), syp = int(vv / t.height * fh);
        if (sxp >= 0 && sxp < fw && syp >= 0 && syp < fh)
            px = src[size_t(syp) * stride + sxp] | 0xFF000000u;
    });
}

double PlaybackEngine::NextPictureChange(double t) const
{
    double next = double(snapshot->duration);
    const double movieScale = snapshot->timeScale;
    for (const auto& v : videoTracks) {
        const SnapshotTrack& track = *v->track;
        if (t < double(track.offset)) {
            next = std::min(next, double(track.offset));
            continue;
        }
        MediaPosition pos = MapMovieTime(track, snapshot->timeScale, t);
        if (pos.editEnd > t)
            next = std::min(next, double(pos.editEnd));
        if (!pos.inMedia || pos.rate <= 0)
            continue;
        PictureSpan picture = PictureAt(track.table, pos.mediaTime);
        if (picture.sample == 0 || picture.end <= pos.mediaTime)
            continue;
        double mediaLeft = double(picture.end) - pos.mediaTime;
        next = std::min(next, t + mediaLeft * movieScale / (pos.rate * double(track.mediaScale)));
    }
    return std::max(next, t + 1e-6);
}

double PlaybackEngine::PreviousPictureChange(double t) const
{
    const double movieScale = snapshot->timeScale;
    double before = t - 1e-3, best = -1;
    for (const auto& v : videoTracks) {
        const SnapshotTrack& track = *v->track;
        MediaPosition pos = MapMovieTime(track, snapshot->timeScale, before);
        if (!pos.inMedia || pos.rate <= 0)
            continue;
        PictureSpan picture = PictureAt(track.table, pos.mediaTime);
        if (picture.sample == 0 || double(picture.start) > pos.mediaTime)
            continue;
        double back = (pos.mediaTime - double(picture.start)) * movieScale / (pos.rate * double(track.mediaScale));
        best = std::max(best, std::ceil(before - back - 1e-6));
    }
    if (best < 0 || best >= t)
        best = t - movieScale / 10;
    return std::max(best, 0.0);
}

double PlaybackEngine::GroupStart(double t) const
{
    const double movieScale = snapshot->timeScale;
    double start = t;
    for (const auto& v : videoTracks) {
        const SnapshotTrack& track = *v->track;
        MediaPosition pos = MapMovieTime(track, snapshot->timeScale, t);
        if (!pos.inMedia || pos.rate <= 0 || v->missingCodec)
            continue;
        double sync = double(SyncPictureTime(track.table, pos.mediaTime));
        double back = std::max(0.0, pos.mediaTime - sync) * movieScale / (pos.rate * double(track.mediaScale));
        start = std::min(start, std::max(t - back, double(pos.editStart)));
    }
    return std::max(start, 0.0);
}

void PlaybackEngine::MixSound(SInt64 firstFrame, int frameCount, SInt16* out)
{
    if (frameCount <= 0)
        return;
    mix.assign(size_t(frameCount) * 2, 0.0f);
    const double movieScale = snapshot->timeScale;
    for (auto& a : soundTracks) {
        const SnapshotTrack& track = *a->track;
        int i = 0;
        while (i < frameCount) {
            double t = double(firstFrame + i) * movieScale / kSoundRate;
            MediaPosition pos = MapMovieTime(track, snapshot->timeScale, t);
            // The frames up to the next boundary (the track's start or the
            // edit's end) are one run.
            double boundary = t < double(track.offset) ? double(track.offset) : double(pos.editEnd);
            if (!pos.inMedia && boundary <= t)
                break;  // past the end of the track
            SInt64 boundaryFrame = SInt64(std::ceil(boundary * kSoundRate / movieScale));
            int run = int(std::clamp<SInt64>(boundaryFrame - (firstFrame + i), 1, frameCount - i));
            if (pos.inMedia && pos.rate > 0) {
                double step = pos.rate;  // decoded frames per output frame: both streams are 48 kHz
                double f0 = pos.mediaTime * kSoundRate / double(track.mediaScale);
                SInt64 first = SInt64(std::floor(f0));
                int span = int(SInt64(std::ceil(f0 + step * run)) - first + 2);
                const SInt16* src = a->decoder->Frames(first, span);
                for (int k = 0; k < run; ++k) {
                    double f = f0 + step * k - double(first);
                    int j = int(f);
                    double frac = f - j;
                    for (int c = 0; c < 2; ++c) {
                        double s = src[j * 2 + c] * (1 - frac) + (frac > 0 ? src[(j + 1) * 2 + c] * frac : 0);
                        mix[size_t(i + k) * 2 + c] += float(s * a->gain);
                    }
                }
            }
            i += run;
        }
    }
    for (size_t k = 0; k < mix.size(); ++k)
        out[k] = SInt16(std::clamp(std::lround(mix[k]), -32768l, 32767l));
}
