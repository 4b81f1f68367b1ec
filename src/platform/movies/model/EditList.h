// Operations on a track's edit list, in track time (movie units from the
// start of the track's own edits).
#pragma once

#include <vector>

#include "platform/movies/model/MovieRecord.h"

struct EditScales {
    SInt64 movieScale = 600;
    SInt64 mediaScale = 600;
};

SInt64 TotalDuration(const std::vector<Edit>& edits);

// Makes an edit boundary at time t (0 < t < total); the media time of the
// second half advances by what the first half plays at its rate.
void SplitEditsAt(std::vector<Edit>& edits, SInt64 t, const EditScales& scales);

// The index of the edit that starts at t (edits.size() when t is the end);
// call after SplitEditsAt(t).
size_t EditIndexAt(const std::vector<Edit>& edits, SInt64 t);

// Inserts newEdits at time t; a t past the end is reached through an empty
// edit.
void InsertEdits(std::vector<Edit>& edits, SInt64 t, const std::vector<Edit>& newEdits, const EditScales& scales);

// The edits between t and t + duration (cut at both ends).
std::vector<Edit> EditsInRange(const std::vector<Edit>& edits, SInt64 t, SInt64 duration, const EditScales& scales);

void DeleteEditRange(std::vector<Edit>& edits, SInt64 t, SInt64 duration, const EditScales& scales);

// Scales the segment [segStart, segStart + oldDuration) of a time line in
// which the track's time 0 lies at `base` so that it lasts newDuration;
// what follows moves by the difference. Edit boundaries are mapped (rounded
// to the nearest unit), so the edits inside sum exactly to newDuration; their
// media rates are divided by the same factor, so they play the same media.
// Returns where the track's time 0 lies afterwards.
SInt64 ScaleEditSegment(std::vector<Edit>& edits, SInt64 base, SInt64 segStart, SInt64 oldDuration,
                        SInt64 newDuration, const EditScales& scales);
