// Media calls: timing, counts, the handler, data references and new media.
#include <cstring>

#include "platform/core/Memory.h"
#include "platform/core/PascalStrings.h"
#include "platform/movies/Movies.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/StsdAtom.h"
#include "platform/movies/model/AtomBuilders.h"
#include "platform/movies/model/MovieRecord.h"
#include "platform/movies/model/Registry.h"
#include "platform/movies/model/TimeMath.h"

namespace {

std::string HandlerNameFor(OSType type)
{
    switch (type) {
    case 'vide': return "Video Media Handler";
    case 'soun': return "Sound Media Handler";
    case 'text': return "Text Media Handler";
    case 'tmcd': return "Time Code Media Handler";
    default: return "Media Handler";
    }
}

const std::string kFileScheme = "file://";

// The data reference that NewTrackMedia gets: the handle's bytes as the
// entry's data, and the file it names when that can be told from the bytes.
DataRefEntry EntryFromHandle(Handle dataRef, OSType type, const MovieRecord& movie)
{
    DataRefEntry e;
    if (!dataRef) {  // no reference: the samples go into the movie's own file
        e.type = 'alis';
        e.flags = 1;
        e.resolvedPath = movie.source.path;
        return e;
    }
    e.type = type;
    const UInt8* p = reinterpret_cast<const UInt8*>(*dataRef);
    e.data.assign(p, p + GetHandleSize(dataRef));
    if (type == 'url ') {
        std::string url(e.data.begin(), e.data.end());
        url = url.substr(0, url.find('\0'));
        if (url.rfind(kFileScheme, 0) == 0)
            e.resolvedPath = url.substr(kFileScheme.size());
    }
    return e;
}

}  // namespace

TimeScale GetMediaTimeScale(Media theMedia) { return ValueOf(theMedia, &MediaRecord::timeScale); }

// Only an empty media can change its time scale: its samples' durations
// are counted in it.
void SetMediaTimeScale(Media theMedia, TimeScale timeScale)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return;
    if (timeScale <= 0 || !m->table.Empty()) {
        SetMoviesError(timeScale <= 0 ? OSErr(paramErr) : OSErr(invalidMedia));
        return;
    }
    if (m->timeScale != timeScale) {
        m->timeScale = timeScale;
        m->track->movie->MarkChanged();
    }
    SetMoviesError(noErr);
}

TimeValue GetMediaDuration(Media theMedia)
{
    return ValueOf(theMedia, [](MediaRecord& m) { return NarrowTime(m.Duration()); });
}

long GetMediaSampleCount(Media theMedia)
{
    return ValueOf(theMedia, [](MediaRecord& m) { return long(m.table.SampleCount()); });
}

long GetMediaSampleDescriptionCount(Media theMedia)
{
    return ValueOf(theMedia, [](MediaRecord& m) { return long(m.sampleDescriptions.size()); });
}

OSType GetMediaSampleDescriptionType(Media theMedia, long index)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return 0;
    if (index < 1 || size_t(index) > m->sampleDescriptions.size()) {
        SetMoviesError(invalidSampleDescIndex);
        return 0;
    }
    SetMoviesError(noErr);
    return StsdAtom::EntryFormat(m->sampleDescriptions[size_t(index - 1)]);
}

void GetMediaHandlerDescription(Media theMedia, OSType* mediaType, Str255 creatorName, OSType* creatorManufacturer)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return;
    GuardMemoryValue([&] {
        std::string name = creatorName ? m->HandlerName() : std::string();
        auto* hdlr = m->mdia->FindAs<HdlrAtom>('hdlr');
        if (mediaType)
            *mediaType = m->type;
        if (creatorName)
            pstr::FromStd(name, creatorName);
        if (creatorManufacturer)
            *creatorManufacturer = hdlr ? hdlr->manufacturer : 0;
        SetMoviesError(noErr);
    });
}

short GetMediaLanguage(Media theMedia) { return ValueOf(theMedia, [](MediaRecord& m) { return short(m.language); }); }

Track GetMediaTrack(Media theMedia) { return ValueOf(theMedia, &MediaRecord::track); }

OSErr GetMediaDataRefCount(Media theMedia, short* count)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return GetMoviesError();
    if (count)
        *count = short(m->dataRefs.size());
    return MoviesResult(noErr);
}

namespace {

OSErr CopyDataRef(const MediaRecord* m, short index, Handle* dataRef, OSType* dataRefType, long* dataRefAttributes)
{
    if (index < 1 || size_t(index) > m->dataRefs.size())
        return MoviesResult(badDataRefIndex);
    const DataRefEntry& e = m->dataRefs[size_t(index - 1)];
    std::vector<UInt8> bytes = e.data;
    OSType type = e.type;
    long attributes = 0;
    if (e.IsSelf()) {
        attributes |= dataRefSelfReference;
        // A self reference means nothing in another movie; name the file.
        if (!e.resolvedPath.empty()) {
            type = 'url ';
            std::string url = kFileScheme + e.resolvedPath;
            bytes.assign(url.begin(), url.end());
            bytes.push_back(0);
        }
    } else if (e.resolvedPath.empty()) {
        attributes |= dataRefWasNotResolved;
    }
    if (dataRef) {
        *dataRef = nullptr;
        if (OSErr err = PtrToHand(bytes.data(), dataRef, long(bytes.size())))
            return MoviesResult(err);
    }
    if (dataRefType)
        *dataRefType = type;
    if (dataRefAttributes)
        *dataRefAttributes = attributes;
    return MoviesResult(noErr);
}

// Everything the new media needs is made and registered before it takes the
// place of the track's old media, so that running out of memory leaves the
// track as it was.
Media MakeTrackMedia(TrackRecord* t, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType dataRefType)
{
    auto media = std::make_unique<MediaRecord>();
    media->track = t;
    media->serial = NextMediaSerial();
    media->type = mediaType;
    media->timeScale = timeScale;
    media->tableChanged = true;
    media->dataRefs.push_back(EntryFromHandle(dataRef, dataRefType, *t->movie));
    auto mdia = BuildMediaAtom(mediaType, UInt32(timeScale), HandlerNameFor(mediaType));
    t->trak->children.reserve(t->trak->children.size() + 1);
    RegisterMedia(media.get());
    if (t->media) {  // a track has one media; a new one replaces the old
        UnregisterMedia(t->media.get());
        t->trak->Remove(t->media->mdia);
    }
    media->mdia = static_cast<ContainerAtom*>(t->trak->InsertAfter(
        std::move(mdia), {'tkhd', 'tapt', 'clef', 'prof', 'enof', 'edts', 'tref', 'load', 'imap'}));
    t->media = std::move(media);
    t->movie->MarkChanged();
    SetMoviesError(noErr);
    return t->media.get();
}

}  // namespace

OSErr GetMediaDataRef(Media theMedia, short index, Handle* dataRef, OSType* dataRefType, long* dataRefAttributes)
{
    MediaRecord* m = CheckMedia(theMedia);
    if (!m)
        return GetMoviesError();
    return GuardMemory([&] { return CopyDataRef(m, index, dataRef, dataRefType, dataRefAttributes); });
}

Media NewTrackMedia(Track theTrack, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType dataRefType)
{
    TrackRecord* t = CheckTrack(theTrack);
    if (!t)
        return nullptr;
    if (timeScale <= 0 || mediaType == 0) {
        SetMoviesError(paramErr);
        return nullptr;
    }
    return GuardMemoryValue([&] { return MakeTrackMedia(t, mediaType, timeScale, dataRef, dataRefType); });
}
