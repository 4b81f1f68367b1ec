// The atoms of movies, tracks and media that Orvo makes itself (NewMovie,
// NewMovieTrack, NewTrackMedia), and the sample-table atoms written from a
// changed table.
#pragma once

#include <memory>
#include <string>

#include "platform/movies/atoms/ContainerAtom.h"
#include "platform/movies/model/SampleTable.h"

std::unique_ptr<ContainerAtom> BuildEmptyMovieAtom(UInt32 timeScale);
std::unique_ptr<ContainerAtom> BuildTrackAtom(UInt32 trackID);
std::unique_ptr<ContainerAtom> BuildMediaAtom(OSType mediaType, UInt32 timeScale, const std::string& handlerName);

// The child of parent with that type; made (and placed after the last of
// `after`) when missing.
ContainerAtom* EnsureContainer(ContainerAtom& parent, FourCharCode type, std::initializer_list<FourCharCode> after);

// Replaces every child of stbl but the sample descriptions with atoms
// written from table; co64 when an offset needs it or force64.
void RebuildSampleTableAtoms(ContainerAtom& stbl, const SampleTable& table, bool force64);

// A chunk offset atom ('stco', or 'co64' when needed or forced).
std::unique_ptr<Atom> BuildChunkOffsetAtom(std::vector<UInt64> offsets, bool force64);
