// Merging movie fragments ('moof') into the plain sample tables of their
// tracks, so that the rest of Orvo sees one ordinary movie.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/movies/atoms/ContainerAtom.h"
#include "platform/movies/model/MovieRecord.h"

struct MovieFragment {
    const ContainerAtom* moof = nullptr;
    UInt64 fileOffset = 0;  // of the moof header: the default base of its data
};

// Appends every fragment's samples, in file order, to the tracks' tables.
// Fragments of unknown tracks are skipped. False with the reason on data
// that cannot describe samples (offsets before the start of the file).
// *firstDecodeTimes receives, for each track whose samples all come from
// fragments, the decode time its first fragment names (tfdt): the media
// time at which its first sample plays.
bool MergeFragments(MovieRecord& movie, const std::vector<MovieFragment>& fragments,
                    std::map<UInt32, SInt64>* firstDecodeTimes, std::string* whyNot);
