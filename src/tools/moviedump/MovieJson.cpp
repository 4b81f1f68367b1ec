// The movie as Orvo sees it, as JSON: the shape build/moviedump prints and
// the scenario driver's viewer windows report.
#include "tools/moviedump/MovieJson.h"

#include <cstdio>
#include <string>

#include "platform/core/PascalStrings.h"
#include "platform/core/Memory.h"
#include "platform/filesystem/Files.h"
#include "platform/movies/Movies.h"
#include "platform/movies/moviefiles/MovieDataRefs.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "platform/movies/model/MovieSeam.h"
#include "tools/moviedump/JsonWriter.h"

namespace {

std::string FourCC(OSType t)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8)
        s += char(t >> shift);
    return s;
}

// An entry whose file was not found, or was found but may not be followed,
// is shown as such with the reference as the file writes it; the rest by
// what they are.
}  // namespace

std::string DataRefName(Media media, short index)
{
    if (const DataRefEntry* entry = GetMediaDataRefEntry(media, index); entry && !entry->IsSelf() &&
                                                                        entry->resolvedPath.empty())
        return (entry->refused ? "refused: " : "missing: ") + MovieDataRefs::ReferenceText(*entry);
    Handle ref = nullptr;
    OSType type = 0;
    long attributes = 0;
    if (GetMediaDataRef(media, index, &ref, &type, &attributes) != noErr)
        return "?";
    std::string name;
    if (attributes & dataRefSelfReference)
        name = "self";
    else if (type == 'url ' && ref)
        name = std::string(*ref, size_t(GetHandleSize(ref))).c_str();
    else
        name = FourCC(type);
    if (ref)
        DisposeHandle(ref);
    return name;
}

// The samples in decode order, as runs of samples that follow each other in
// the file with one size and the same sync state: [file offset, size, count,
// sync (1 or 0)]. A run per sample for most video; long runs for sound, so
// the list stays short.
namespace {

void DumpSampleRuns(JsonWriter& j, Media media)
{
    j.BeginArray("sampleRuns");
    MediaSample run;
    UInt32 runLength = 0;
    auto flush = [&] {
        if (runLength == 0)
            return;
        j.BeginArray("");
        for (long long v : {(long long)run.fileOffset, (long long)run.size, (long long)runLength, (long long)run.sync})
            j.Number("", v);
        j.EndArray();
    };
    // Stretches rather than a lookup a sample: a small file may claim
    // billions of samples of one size.
    ForEachMediaSampleStretch(media, [&](const MediaSample& next, UInt32 count) {
        if (runLength > 0 && next.size == run.size && next.sync == run.sync &&
            next.fileOffset == run.fileOffset + UInt64(run.size) * runLength) {
            runLength += count;
            return true;
        }
        flush();
        run = next;
        runLength = count;
        return true;
    });
    flush();
    j.EndArray();
}

void DumpMedia(JsonWriter& j, Media media)
{
    j.BeginObject("media");
    OSType type = 0;
    Str255 name = {0};
    GetMediaHandlerDescription(media, &type, name, nullptr);
    j.String("type", FourCC(type));
    j.Number("timeScale", GetMediaTimeScale(media));
    j.Number("duration", GetMediaDuration(media));
    j.Number("sampleCount", GetMediaSampleCount(media));
    long descriptions = GetMediaSampleDescriptionCount(media);
    j.Number("sampleDescriptionCount", descriptions);
    j.BeginArray("sampleDescriptions");
    for (long i = 1; i <= descriptions; ++i)
        j.String("", FourCC(GetMediaSampleDescriptionType(media, i)));
    j.EndArray();
    j.String("handlerName", pstr::ToStd(name));
    j.Number("language", GetMediaLanguage(media));
    short refs = 0;
    GetMediaDataRefCount(media, &refs);
    j.BeginArray("dataRefs");
    for (short i = 1; i <= refs; ++i)
        j.String("", DataRefName(media, i));
    j.EndArray();
    DumpSampleRuns(j, media);
    j.EndObject();
}

void DumpTrack(JsonWriter& j, Movie movie, long index)
{
    Track track = GetMovieIndTrack(movie, index);
    j.BeginObject("");
    j.Number("index", index);
    j.Number("id", GetTrackID(track));
    j.Bool("enabled", GetTrackEnabled(track));
    Fixed width = 0, height = 0;
    GetTrackDimensions(track, &width, &height);
    j.Real("width", Fix2X(width));
    j.Real("height", Fix2X(height));
    j.Number("offset", GetTrackOffset(track));
    j.Number("duration", GetTrackDuration(track));
    j.Number("layer", GetTrackLayer(track));
    j.Number("volume", GetTrackVolume(track));
    j.BeginArray("edits");
    for (long e = 1; e <= GetTrackEditCount(track); ++e) {
        TimeValue duration = 0, mediaTime = 0;
        Fixed rate = 0;
        GetTrackEditInfo(track, e, &duration, &mediaTime, &rate);
        j.BeginObject("");
        j.Number("duration", duration);
        j.Number("mediaTime", mediaTime);
        j.Real("mediaRate", Fix2X(rate));
        j.EndObject();
    }
    j.EndArray();
    if (Media media = GetTrackMedia(track))
        DumpMedia(j, media);
    j.EndObject();
}

}  // namespace

void WriteMovieJson(JsonWriter& j, Movie movie, const std::string& name)
{
    j.BeginObject(name);
    j.Number("timeScale", GetMovieTimeScale(movie));
    j.Number("duration", GetMovieDuration(movie));
    j.Real("preferredRate", Fix2X(GetMoviePreferredRate(movie)));
    j.Real("preferredVolume", GetMoviePreferredVolume(movie) / 256.0);
    Rect box;
    GetMovieBox(movie, &box);
    j.Bool("fragmented", MovieWasFragmented(movie));
    j.BeginArray("box");
    for (short v : {box.top, box.left, box.bottom, box.right})
        j.Number("", v);
    j.EndArray();
    j.BeginArray("tracks");
    for (long i = 1; i <= GetMovieTrackCount(movie); ++i)
        DumpTrack(j, movie, i);
    j.EndArray();
    j.BeginArray("warnings");
    for (const std::string& w : MovieReadWarnings(movie))
        j.String("", w);
    j.EndArray();
    j.EndObject();
}

