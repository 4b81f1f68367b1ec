// The atoms of movie fragments: 'trex' (defaults per track, in mvex), and in
// each 'moof' the track fragment header 'tfhd', decode time 'tfdt' and the
// sample runs 'trun'. Fragments are merged into plain sample tables on read.
#pragma once

#include <vector>

#include "platform/movies/atoms/Atom.h"

class TrexAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    UInt32 trackID = 0, sampleDescriptionIndex = 1, sampleDuration = 0, sampleSize = 0, sampleFlags = 0;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return 24; }
};

class TfhdAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    enum : UInt32 {
        kBaseDataOffset = 0x1, kSampleDescriptionIndex = 0x2, kDefaultDuration = 0x8,
        kDefaultSize = 0x10, kDefaultFlags = 0x20, kDefaultBaseIsMoof = 0x20000,
    };
    UInt32 trackID = 0;
    UInt64 baseDataOffset = 0;
    UInt32 sampleDescriptionIndex = 0, defaultDuration = 0, defaultSize = 0, defaultFlags = 0;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;
};

class TfdtAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    UInt64 baseMediaDecodeTime = 0;

    void ReadFields(AtomReader& r) override { ReadVersionFlags(r); baseMediaDecodeTime = version == 1 ? r.Read64() : r.Read32(); }
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override
    {
        WriteVersionFlags(w);
        version == 1 ? w.Put64(baseMediaDecodeTime) : w.Put32(UInt32(baseMediaDecodeTime));
    }
    UInt64 FieldsSize(const AtomSubstitutions*) const override { return version == 1 ? 12 : 8; }
};

struct TrunSample {
    UInt32 duration = 0, size = 0, flags = 0;
    SInt32 compositionOffset = 0;
};

class TrunAtom : public FullAtom {
public:
    using FullAtom::FullAtom;
    enum : UInt32 {
        kDataOffset = 0x1, kFirstSampleFlags = 0x4, kDuration = 0x100, kSize = 0x200,
        kFlags = 0x400, kCompositionOffset = 0x800,
    };
    SInt32 dataOffset = 0;
    UInt32 firstSampleFlags = 0;
    // The run's sample count. `samples` holds them only when the run has
    // per-sample fields: a run of defaults is its count alone, so a count
    // costs memory only where the file spends bytes on it.
    UInt32 sampleCount = 0;
    std::vector<TrunSample> samples;

    void ReadFields(AtomReader& r) override;
    void WriteFields(ByteWriter& w, const AtomSubstitutions*) const override;
    UInt64 FieldsSize(const AtomSubstitutions*) const override;

private:
    size_t PerSampleBytes() const;
};
