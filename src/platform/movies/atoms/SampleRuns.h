// The run forms that the sample table atoms store, shared with the model.
#pragma once

#include "platform/core/MacTypes.h"

struct TimeToSampleRun {   // stts: count samples lasting delta each
    UInt32 count = 0;
    UInt32 delta = 0;
    bool operator==(const TimeToSampleRun&) const = default;
};

struct CompositionRun {    // ctts: count samples displayed offset later
    UInt32 count = 0;
    SInt32 offset = 0;
    bool operator==(const CompositionRun&) const = default;
};

struct SampleToChunkRun {  // stsc: from firstChunk on, samplesPerChunk each
    UInt32 firstChunk = 1;
    UInt32 samplesPerChunk = 0;
    UInt32 sampleDescriptionIndex = 1;
    bool operator==(const SampleToChunkRun&) const = default;
};
