// Hostile movie files, built byte by byte: each class of file that once
// crashed the reader, made it allocate far more than the file could justify,
// took far too long, or made it follow a reference where the person never
// chose to go. The tests, the sanitized replay and the bounds benchmark all
// build them here, small by default and as large as asked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AtomBytes.h"

namespace HostileMovies {

// The pieces: a sample table of `count` samples of `delta` units, `perChunk`
// to a chunk, of `size` bytes each (none: no stsz), in chunks at `chunks`
// (co64 when `wide`); a count of 0 gives empty tables.
AtomBytes SampleTable(UInt32 count, UInt32 delta, UInt32 perChunk, std::optional<UInt32> size,
                      const std::vector<UInt64>& chunks, bool wide = false);
// A one-track movie atom ('vide', media scale 600, track ID 1,
// data reference `dref` or a self alias) whose sample table holds the given
// atoms after its stsd, with `more` appended inside the moov (an mvex).
AtomBytes MovieAtom(const AtomBytes& stblAtoms, const AtomBytes& more = {}, const AtomBytes& dref = {});
// mvex with trex defaults for track 1.
AtomBytes TrackDefaults(UInt32 duration, UInt32 size, UInt32 flags);
// A moof for track 1: a tfhd with default base is moof (and default size
// when nonzero), and the runs given.
AtomBytes Fragment(UInt32 sequence, const std::vector<AtomBytes>& runs, UInt32 defaultSize = 0);
// A trun with a data offset and per-sample sizes.
AtomBytes ListedRun(const std::vector<UInt32>& sizes, UInt32 dataOffset);
// A trun with no per-sample fields: a bare count.
AtomBytes DefaultRun(UInt32 count);
// An ftyp atom of this brand.
AtomBytes FileType(const char* brand);
// A moov holding a cmov: `moov` compressed with zlib.
AtomBytes Compressed(const AtomBytes& moov);

// The classes.
// A track with times but no sample sizes (no stsz) that also gets samples
// from a fragment: the fragment's samples must keep their sizes.
std::vector<UInt8> TrackWithoutSizesGetsFragments();
// `runs` runs of `count` default samples of 1000 bytes each, in a file far
// too small to hold them.
std::vector<UInt8> DefaultRunsBeyondTheFile(int runs, UInt32 count);
// A track whose own table claims 2^32 - 1 samples of one size, and a
// fragment whose samples have another: combining them would make up a
// size table of 16 GB.
std::vector<UInt8> HugeOwnTableWithFragments();
// A track whose own table claims 2^32 - 16 samples of one byte in one
// chunk: a few hundred bytes that take minutes to go through one sample at
// a time.
std::vector<UInt8> BillionsOfSamplesOfOneSize();
// A compressed header whose movie atom is padded with `padding` zero bytes,
// so that it expands about padding/1000-fold.
std::vector<UInt8> ExpandingCompressedHeader(UInt32 padding);
// `fragments` moof+mdat pairs of one listed sample each.
std::vector<UInt8> ManySmallFragments(UInt32 fragments);
// One fragment of `runs` runs of one listed sample each.
std::vector<UInt8> ManyRunsInOneFragment(UInt32 runs);
// One fragment of `samples` listed samples, each a distinct size.
std::vector<UInt8> OneLargeFragment(UInt32 samples);
// A movie header of `atoms` empty atoms after its track.
std::vector<UInt8> HeaderOfEmptyAtoms(UInt32 atoms);
// A movie whose only data reference is a 'url ' entry with this text.
std::vector<UInt8> UrlReference(const std::string& url);
// A movie whose only data reference is an alias naming this absolute path.
std::vector<UInt8> AliasReference(const std::string& path);

struct Named {
    std::string name;
    std::vector<UInt8> bytes;
};
// Every class, small enough for a sanitized run.
std::vector<Named> All();

}  // namespace HostileMovies
