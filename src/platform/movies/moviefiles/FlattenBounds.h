// What a sample table may ask of the flatten planner. A table is taken as
// the file gives it, and its counts can claim billions of samples that no
// bytes back; planned sample by sample, such a table would cost minutes and
// gigabytes before the copy ever found the bytes missing. These checks cost
// no more than the table itself: a damaged table fails at once, with the
// same error a copy of it would end in.
#pragma once

#include <vector>

#include "platform/movies/moviefiles/FlattenSegment.h"

// invalidSampleTable when a kept sample lies in no chunk, when the table
// has no sizes at all, or when a chunk holding kept samples ends past the
// end of the largest file the media's samples can lie in (not checked when
// no such file is known, as for a reference movie whose file is missing).
OSErr CheckSegmentsBacked(const TrackRecord& track, const MediaRecord& media, const std::vector<Segment>& segments);

// Samples whose durations cannot all be converted run by run are retimed
// one by one, and each may become its own time-to-sample entry. Past this
// many in one track (128 MB of entries) the plan fails with
// invalidSampleTable instead.
constexpr UInt64 kMaxSamplesRetimedOneByOne = UInt64(1) << 24;
