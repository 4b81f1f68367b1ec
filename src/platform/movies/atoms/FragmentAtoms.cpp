#include "platform/movies/atoms/FragmentAtoms.h"

#include <bit>

void TrexAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    trackID = r.Read32();
    sampleDescriptionIndex = r.Read32();
    sampleDuration = r.Read32();
    sampleSize = r.Read32();
    sampleFlags = r.Read32();
}

void TrexAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    for (UInt32 v : {trackID, sampleDescriptionIndex, sampleDuration, sampleSize, sampleFlags})
        w.Put32(v);
}

void TfhdAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    trackID = r.Read32();
    if (flags & kBaseDataOffset)
        baseDataOffset = r.Read64();
    if (flags & kSampleDescriptionIndex)
        sampleDescriptionIndex = r.Read32();
    if (flags & kDefaultDuration)
        defaultDuration = r.Read32();
    if (flags & kDefaultSize)
        defaultSize = r.Read32();
    if (flags & kDefaultFlags)
        defaultFlags = r.Read32();
}

void TfhdAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    w.Put32(trackID);
    if (flags & kBaseDataOffset)
        w.Put64(baseDataOffset);
    if (flags & kSampleDescriptionIndex)
        w.Put32(sampleDescriptionIndex);
    if (flags & kDefaultDuration)
        w.Put32(defaultDuration);
    if (flags & kDefaultSize)
        w.Put32(defaultSize);
    if (flags & kDefaultFlags)
        w.Put32(defaultFlags);
}

UInt64 TfhdAtom::FieldsSize(const AtomSubstitutions*) const
{
    return 8 + ((flags & kBaseDataOffset) ? 8 : 0) + 4 * std::popcount(flags & (kSampleDescriptionIndex |
                                                                                 kDefaultDuration | kDefaultSize |
                                                                                 kDefaultFlags));
}

size_t TrunAtom::PerSampleBytes() const
{
    return 4 * std::popcount(flags & (kDuration | kSize | kFlags | kCompositionOffset));
}

void TrunAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    UInt32 count = r.Read32();
    if (flags & kDataOffset)
        dataOffset = SInt32(r.Read32());
    if (flags & kFirstSampleFlags)
        firstSampleFlags = r.Read32();
    // With no per-sample fields a huge count costs no bytes; bound it by
    // the memory it would take instead.
    size_t each = PerSampleBytes();
    if (each ? !r.CheckCount(count, each, "trun sample") : count > (1u << 24)) {
        if (r.Ok())
            r.Fail(-2002, "trun sample count " + std::to_string(count) + " is implausible");
        return;
    }
    sampleCount = count;
    if (each == 0)
        return;
    samples.resize(count);
    for (auto& s : samples) {
        if (flags & kDuration)
            s.duration = r.Read32();
        if (flags & kSize)
            s.size = r.Read32();
        if (flags & kFlags)
            s.flags = r.Read32();
        if (flags & kCompositionOffset)
            s.compositionOffset = SInt32(r.Read32());
    }
}

void TrunAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    w.Put32(PerSampleBytes() ? UInt32(samples.size()) : sampleCount);
    if (flags & kDataOffset)
        w.Put32(UInt32(dataOffset));
    if (flags & kFirstSampleFlags)
        w.Put32(firstSampleFlags);
    for (auto& s : samples) {
        if (flags & kDuration)
            w.Put32(s.duration);
        if (flags & kSize)
            w.Put32(s.size);
        if (flags & kFlags)
            w.Put32(s.flags);
        if (flags & kCompositionOffset)
            w.Put32(UInt32(s.compositionOffset));
    }
}

UInt64 TrunAtom::FieldsSize(const AtomSubstitutions*) const
{
    return 8 + ((flags & kDataOffset) ? 4 : 0) + ((flags & kFirstSampleFlags) ? 4 : 0) +
           samples.size() * PerSampleBytes();
}
