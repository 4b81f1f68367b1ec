#include "platform/movies/atoms/MvhdAtom.h"

void MvhdAtom::ReadFields(AtomReader& r)
{
    ReadVersionFlags(r);
    if (version == 1) {
        creationTime = r.Read64();
        modificationTime = r.Read64();
        timeScale = r.Read32();
        duration = r.Read64();
    } else {
        creationTime = r.Read32();
        modificationTime = r.Read32();
        timeScale = r.Read32();
        duration = r.Read32();
    }
    preferredRate = r.Read32();
    preferredVolume = r.Read16();
    auto res = r.ReadSpan(reserved.size(), "mvhd reserved");
    std::copy(res.begin(), res.end(), reserved.begin());
    for (auto& m : matrix)
        m = r.Read32();
    previewTime = r.Read32();
    previewDuration = r.Read32();
    posterTime = r.Read32();
    selectionTime = r.Read32();
    selectionDuration = r.Read32();
    currentTime = r.Read32();
    nextTrackID = r.Read32();
    trailing = r.ReadTrailing();
}

void MvhdAtom::WriteFields(ByteWriter& w, const AtomSubstitutions*) const
{
    WriteVersionFlags(w);
    if (version == 1) {
        w.Put64(creationTime);
        w.Put64(modificationTime);
        w.Put32(timeScale);
        w.Put64(duration);
    } else {
        w.Put32(UInt32(creationTime));
        w.Put32(UInt32(modificationTime));
        w.Put32(timeScale);
        w.Put32(UInt32(duration));
    }
    w.Put32(preferredRate);
    w.Put16(preferredVolume);
    w.PutBytes(reserved);
    for (auto m : matrix)
        w.Put32(m);
    for (UInt32 v : {previewTime, previewDuration, posterTime, selectionTime, selectionDuration, currentTime,
                     nextTrackID})
        w.Put32(v);
    w.PutBytes(trailing);
}

UInt64 MvhdAtom::FieldsSize(const AtomSubstitutions*) const
{
    return 4 + (version == 1 ? 28 : 16) + 4 + 2 + 10 + 36 + 28 + trailing.size();
}
