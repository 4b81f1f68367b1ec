// The playback engine: the picture and the sound of a movie snapshot at any
// movie time, with no user interface of its own. The picture side
// (Compose) and the sound side (MixSound) keep separate decoders, so one
// thread may compose while another mixes; each side belongs to one thread
// at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/movies/playback/MovieSnapshot.h"

struct AVFrame;
class VideoTrackDecoder;
class SoundTrackDecoder;
struct SwsContext;

// A track the engine cannot play, and why.
struct PlaybackProblem {
    enum Kind { MissingCodec, MissingFile } kind = MissingCodec;
    UInt32 trackID = 0;
    OSType format = 0;       // MissingCodec: the sample description's format
    std::string file;        // MissingFile: what the data reference names
};

// The composed picture: 0xAARRGGBB rows of `width` pixels.
struct PlaybackImage {
    int width = 0, height = 0;
    std::vector<UInt32> pixels;
    double movieTime = 0;
    // Areas (in image pixels) of tracks whose codec is missing, painted grey;
    // the caller writes the format's code on them.
    struct Placeholder {
        int left = 0, top = 0, right = 0, bottom = 0;
        OSType format = 0;
    };
    std::vector<Placeholder> placeholders;
};

class PlaybackEngine {
public:
    static constexpr int kSoundRate = 48000;

    explicit PlaybackEngine(std::shared_ptr<const MovieSnapshot> snapshot);
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    const MovieSnapshot& Snapshot() const { return *snapshot; }
    // Every track that will stay grey or blank and silent, found when the
    // engine was made.
    const std::vector<PlaybackProblem>& Problems() const { return problems; }

    // The picture at movieTime (movie units), composed by layer and matrix
    // into width x height pixels that show the movie's natural bounds.
    void Compose(double movieTime, int width, int height, PlaybackImage* out);

    // The movie time after t at which the picture next changes (a new
    // sample of a shown track, or an edit boundary); the duration when none.
    double NextPictureChange(double t) const;
    // The time at which the picture shown just before t began (stepping
    // back a frame); t less a tenth of a second when no track shows one.
    double PreviousPictureChange(double t) const;
    // The time from which composing forward reaches the picture at t with
    // the decoders only moving forward: where the sync picture it is decoded
    // from shows (or its edit starts), the earliest over the shown tracks;
    // t when no track shows a picture then.
    double GroupStart(double t) const;
    bool HasSound() const { return !soundTracks.empty(); }

    // Sound: frameCount stereo frames at 48 kHz starting at movie position
    // firstFrame (frames of 1/48000 s from movie time 0), every enabled sound
    // track through its edits at its volume, mixed and clipped.
    void MixSound(SInt64 firstFrame, int frameCount, SInt16* out);

private:
    struct VideoTrack;
    struct SoundTrack;
    struct Placement {
        int left = 0, top = 0, w = 0, h = 0;  // the picture's extent in the image
        bool upright = false;                  // only scaled and moved
        int fw = 0, fh = 0;                    // the size it is scaled to
        double A = 1, B = 0, C = 0, D = 1, X = 0, Y = 0;  // track to image
    };
    bool Place(const SnapshotTrack& t, const PlaybackImage& out, Placement* p) const;
    const AVFrame* FrameOf(VideoTrack& v, double movieTime);
    bool Scale(VideoTrack& v, const AVFrame* frame, int fw, int fh, UInt32* pixels, int stride);
    bool ScaleWhole(VideoTrack& v, double movieTime, PlaybackImage* out);
    void DrawTrack(VideoTrack& v, double movieTime, PlaybackImage* out);

    std::shared_ptr<const MovieSnapshot> snapshot;
    std::vector<PlaybackProblem> problems;
    std::vector<std::unique_ptr<VideoTrack>> videoTracks;  // back to front
    std::vector<std::unique_ptr<SoundTrack>> soundTracks;
    std::vector<float> mix;
};
