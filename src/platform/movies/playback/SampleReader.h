// Reads samples of one track from their files with positioned reads. Each
// decoder has a reader of its own, so readers on different threads never
// share a file position.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/movies/playback/MovieSnapshot.h"

class SampleReader {
public:
    explicit SampleReader(std::shared_ptr<const SnapshotTrack> track);
    ~SampleReader();
    SampleReader(const SampleReader&) = delete;
    SampleReader& operator=(const SampleReader&) = delete;

    // One sample's bytes and its place; false when the tables do not hold it
    // or its file cannot be read.
    bool Read(UInt32 sampleNumber, SampleVisit* visit, std::vector<UInt8>* bytes);
    // A byte range of a file named by a sample description.
    bool ReadRange(UInt32 descriptionIndex, UInt64 offset, size_t size, std::vector<UInt8>* bytes);
    // The first file of the track's descriptions that cannot be opened, "" when all can.
    std::string MissingFile();

private:
    int FileFor(UInt32 descriptionIndex);

    std::shared_ptr<const SnapshotTrack> track;
    std::map<std::string, int> files;  // path -> descriptor (-1: cannot be opened)
};
