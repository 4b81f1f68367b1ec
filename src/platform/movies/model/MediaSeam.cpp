// The file layer's view of a media: its data references and its chunks.
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/MovieSeam.h"
#include "platform/movies/model/Registry.h"

short CountMediaDataRefs(Media theMedia)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return 0;
    SetMoviesError(noErr);
    return short(m->dataRefs.size());
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

OSErr ForEachMediaChunk(Media theMedia, const std::function<bool(const MediaChunk&)>& visit)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return GetMoviesError();
    m->table.ForEachChunk([&](const ChunkVisit& v) {
        MediaChunk c;
        c.chunkIndex = v.chunkIndex;
        c.sampleDescriptionIndex = v.sampleDescriptionIndex;
        // The chunk's data reference is the one its sample description names.
        c.dataRefIndex = 1;
        if (v.sampleDescriptionIndex >= 1 && v.sampleDescriptionIndex <= m->sampleDescriptions.size()) {
            const auto& e = m->sampleDescriptions[v.sampleDescriptionIndex - 1];
            if (e.size() >= 16)
                c.dataRefIndex = UInt16((e[14] << 8) | e[15]);
        }
        c.fileOffset = v.offset;
        c.size = v.size;
        c.firstSample = v.firstSample;
        c.sampleCount = v.sampleCount;
        c.decodeTime = v.decodeTime;
        c.duration = v.duration;
        return visit(c);
    });
    SetMoviesError(noErr);
    return noErr;
}
