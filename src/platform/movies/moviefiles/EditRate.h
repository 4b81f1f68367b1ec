// The rate at which an edit plays its media, as an exact fraction.
//
// An edit's rate is stored in 16.16 fixed point, which holds few scales
// exactly: 25 frames a second scaled to 29.97 plays at 1200/1001, stored as
// 78565/65536. Baked into sample durations as stored, each frame would last
// 0.0333665 s instead of 1001/30000 s. The edit's duration is exact, though,
// and an edit meant to end on a sample boundary ends on one within the
// rounding of its rate: that span over that duration is the rate meant.
#pragma once

#include <utility>

#include "platform/movies/model/MovieRecord.h"

// Media seconds played per movie second: num / den, in lowest terms, each
// below 2^31.
struct MediaRate {
    SInt64 num = 1, den = 1;
    bool operator==(const MediaRate&) const = default;
    std::pair<SInt64, SInt64> Key() const { return {num, den}; }
};

// num / den in lowest terms; false when that does not fit a MediaRate.
bool MakeMediaRate(__int128 num, __int128 den, MediaRate* out);

// The rate `e` plays its media at. Empty edits, rate 1 and rates of 0 and
// below (a still or a reversed edit, which are not retimed) give 1.
MediaRate EditMediaRate(const Edit& e, const SampleTable& table, SInt64 movieScale, SInt64 mediaScale);

// Whether a write must retime some of the track's samples: other readers
// ignore an edit's rate.
bool PlaysAtOtherRates(const TrackRecord& track);
