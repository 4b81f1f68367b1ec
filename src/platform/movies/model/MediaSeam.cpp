// The file layer's view of a media: its data references and its chunks.
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/MovieSeam.h"
#include "platform/movies/model/Registry.h"

short CountMediaDataRefs(Media theMedia)
{
    return ValueOf(theMedia, [](MediaRecord& m) { return short(m.dataRefs.size()); });
}

DataRefEntry* GetMediaDataRefEntry(Media theMedia, short index)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return nullptr;
    if (index < 1 || size_t(index) > m->dataRefs.size()) {
        SetMoviesError(badDataRefIndex);
        return nullptr;
    }
    SetMoviesError(noErr);
    return &m->dataRefs[size_t(index - 1)];
}

namespace {

// The data reference that a sample description names (1 when it names none).
UInt16 DataRefOfDescription(const MediaRecord& m, UInt32 descriptionIndex)
{
    if (descriptionIndex >= 1 && descriptionIndex <= m.sampleDescriptions.size()) {
        const auto& e = m.sampleDescriptions[descriptionIndex - 1];
        if (e.size() >= 16)
            return UInt16((e[14] << 8) | e[15]);
    }
    return 1;
}

MediaSample SampleOf(const MediaRecord& m, const SampleVisit& v)
{
    MediaSample s;
    s.sampleNumber = v.sampleNumber;
    s.decodeTime = v.decodeTime;
    s.duration = v.duration;
    s.compositionOffset = v.compositionOffset;
    s.fileOffset = v.offset;
    s.size = v.size;
    s.sampleDescriptionIndex = v.sampleDescriptionIndex;
    s.dataRefIndex = DataRefOfDescription(m, v.sampleDescriptionIndex);
    s.sync = v.sync;
    return s;
}

// Every chunk of m in order, as ForEachMediaChunk gives them.
OSErr VisitChunks(MediaRecord& m, const std::function<bool(const MediaChunk&)>& visit)
{
    m.table.ForEachChunk([&](const ChunkVisit& v) {
        MediaChunk c;
        c.chunkIndex = v.chunkIndex;
        c.sampleDescriptionIndex = v.sampleDescriptionIndex;
        // The chunk's data reference is the one its sample description names.
        c.dataRefIndex = DataRefOfDescription(m, v.sampleDescriptionIndex);
        c.fileOffset = v.offset;
        c.size = v.size;
        c.firstSample = v.firstSample;
        c.sampleCount = v.sampleCount;
        c.decodeTime = v.decodeTime;
        c.duration = v.duration;
        return visit(c);
    });
    return MoviesResult(noErr);
}

}  // namespace

UInt32 MediaSampleAtTime(Media theMedia, SInt64 mediaTime)
{
    // The table indexes its runs on first use.
    return GuardMemoryValue(
        [&] { return ValueOf(theMedia, [=](MediaRecord& m) { return m.table.SampleAtTime(mediaTime); }); });
}

OSErr GetMediaSample(Media theMedia, UInt32 sampleNumber, MediaSample* out)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return GetMoviesError();
    SampleVisit v;
    bool found = false;
    auto lookUp = [&] {
        found = out && m->table.LookUpSample(sampleNumber, &v);  // indexes the table on first use
        return OSErr(noErr);
    };
    if (OSErr err = GuardMemory(lookUp))
        return err;
    if (!found)
        return MoviesResult(invalidSampleNum);
    *out = SampleOf(*m, v);
    return MoviesResult(noErr);
}

OSErr ForEachMediaSampleStretch(Media theMedia, const std::function<bool(const MediaSample& first, UInt32 count)>& visit)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return GetMoviesError();
    return GuardMemory([&] {
        m->table.ForEachStretch([&](const SampleVisit& v, UInt32 count) { return visit(SampleOf(*m, v), count); });
        return MoviesResult(noErr);
    });
}

OSErr ForEachMediaChunk(Media theMedia, const std::function<bool(const MediaChunk&)>& visit)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return GetMoviesError();
    return GuardMemory([&] { return VisitChunks(*m, visit); });
}

OSErr GetMediaSampleDescriptionBytes(Media theMedia, long index, std::vector<UInt8>* out)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return GetMoviesError();
    OSErr err = !out ? OSErr(paramErr)
                : (index < 1 || size_t(index) > m->sampleDescriptions.size()) ? OSErr(invalidSampleDescIndex)
                                                                              : OSErr(noErr);
    if (err == noErr)
        err = GuardMemory([&] {
            *out = m->sampleDescriptions[size_t(index - 1)];
            return OSErr(noErr);
        });
    return MoviesResult(err);
}
