// When each picture of a video track shows. A sample's picture shows from
// its composition time (decode time plus composition offset) until the next
// picture's; with pictures reordered (B pictures) that is not the sample
// that decodes at the same time, so playback looks pictures up here.
#pragma once

#include "platform/movies/model/SampleTable.h"

struct PictureSpan {
    UInt32 sample = 0;   // 0: past the end of the last picture
    SInt64 start = 0;    // media time at which it shows
    SInt64 end = 0;      // and at which the next picture takes over
};

// The picture showing at mediaTime; before the first picture, the first one.
// A time a millionth of a unit short of a picture's start, as times carried
// through edits and rates come out, counts as that picture's.
PictureSpan PictureAt(const SampleTable& table, double mediaTime);
constexpr double kPictureTimeSlack = 1e-6;

// The sync sample decoding starts at to reach the picture showing at
// mediaTime: the one at or before its sample in decode order, or the one
// before that for a picture shown before its sync sample (a leading
// picture of an open group, which also refers to the group before).
UInt32 SyncSampleFor(const SampleTable& table, double mediaTime);
// Where the picture of that sync sample shows, in media time.
SInt64 SyncPictureTime(const SampleTable& table, double mediaTime);
