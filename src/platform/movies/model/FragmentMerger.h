// Merging movie fragments ('moof') into the plain sample tables of their
// tracks, so that the rest of Orvo sees one ordinary movie.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/movies/atoms/ContainerAtom.h"
#include "platform/movies/model/MovieRecord.h"

// Appends every fragment's samples, in file order, to the tracks' tables.
// Fragments are added one at a time as the file is read, so only one of
// them needs to be in memory; their samples reach the tracks at Finish.
// Fragments of unknown tracks are skipped.
class FragmentMerger {
public:
    // fileSize bounds what runs of default samples may claim: their bytes
    // (at least one a sample) must fit in the file, since a count the
    // file's bytes cannot back would only cost memory.
    FragmentMerger(MovieRecord& movie, UInt64 fileSize);
    ~FragmentMerger();

    // One 'moof' whose header starts at fileOffset (the default base of its
    // data). False with the reason on data that cannot describe samples:
    // offsets before the start of the file, counts past the file's bytes.
    bool Add(const ContainerAtom& moof, UInt64 fileOffset, std::string* whyNot);

    // Hands the samples to the tracks. False with the reason when a track's
    // own table and its fragments' cannot be combined within bounds.
    bool Finish(std::string* whyNot);

    // For each track whose samples all come from fragments, the decode time
    // its first fragment names (tfdt): the media time its first sample plays.
    const std::map<UInt32, SInt64>& FirstDecodeTimes() const { return firstDecodeTimes_; }

private:
    struct State;
    MovieRecord& movie_;
    std::unique_ptr<State> state_;
    std::map<UInt32, SInt64> firstDecodeTimes_;
};
