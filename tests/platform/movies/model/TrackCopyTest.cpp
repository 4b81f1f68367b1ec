// Copying a track into a new movie the way the track export does: the new
// media refers to the same sample data as the source.
#include <gtest/gtest.h>

#include "MovieTestSupport.h"
#include "platform/core/Memory.h"

namespace {

const std::string kSource = "/movies/source.mov";

Movie SourceMovie()
{
    TestTrack v;
    v.mediaScale = 30;
    v.sampleDelta = 1;
    v.sampleCount = 30;
    v.edits = {{100, -1}, {600, 0}};
    TestTrack s;
    s.id = 2;
    s.type = "soun";
    s.mediaScale = 44100;
    s.sampleDelta = 1024;
    s.sampleCount = 43;
    s.samplesPerChunk = 10;
    s.firstChunkOffset = 50000;
    return ParseOrFail(BuildMovieAtom(1000, {v, s}), kSource);
}

std::vector<MediaChunk> Chunks(Media media)
{
    std::vector<MediaChunk> chunks;
    ForEachMediaChunk(media, [&](const MediaChunk& c) {
        chunks.push_back(c);
        return true;
    });
    return chunks;
}

// The export of one track, step by step as the tracks window does it.
Movie Export(Movie source, long trackID)
{
    Track srcTrack = GetMovieTrack(source, trackID);
    Media srcMedia = GetTrackMedia(srcTrack);
    Movie copy = NewMovie(newMovieActive);
    EXPECT_EQ(CopyMovieSettings(source, copy), noErr);
    Track dstTrack = NewMovieTrack(copy, 0, 0, 0);
    EXPECT_EQ(CopyTrackSettings(srcTrack, dstTrack), noErr);
    Handle dataRef = nullptr;
    OSType refType = 0;
    long attributes = 0;
    EXPECT_EQ(GetMediaDataRef(srcMedia, 1, &dataRef, &refType, &attributes), noErr);
    OSType mediaType = 0;
    GetMediaHandlerDescription(srcMedia, &mediaType, nullptr, nullptr);
    Media dstMedia = NewTrackMedia(dstTrack, mediaType, GetMediaTimeScale(srcMedia), dataRef, refType);
    EXPECT_NE(dstMedia, nullptr);
    EXPECT_EQ(InsertTrackSegment(srcTrack, dstTrack, 0, GetTrackDuration(srcTrack), 0), noErr);
    DisposeHandle(dataRef);
    return copy;
}

}  // namespace

// The exported sound keeps its media and samples; the exported video plays
// its own edits without the offset, at its dimensions.
TEST(TrackCopy, ExportedTrackHasTheSourceMediaAndEditsWithoutTheOffset)
{
    Movie source = SourceMovie();
    Movie copy = Export(source, 2);
    ASSERT_EQ(GetMovieTrackCount(copy), 1);
    Track t = GetMovieIndTrack(copy, 1);
    Media media = GetTrackMedia(t);
    OSType type = 0;
    Str255 name;
    GetMediaHandlerDescription(media, &type, name, nullptr);
    EXPECT_EQ(type, FourCharCode('soun'));
    EXPECT_EQ(std::string(name + 1, name + 1 + name[0]), "Test Handler");
    EXPECT_EQ(GetMediaTimeScale(media), 44100);
    EXPECT_EQ(GetMediaSampleCount(media), 43);
    EXPECT_EQ(GetTrackDuration(t), GetTrackDuration(GetMovieTrack(source, 2)));
    auto a = Chunks(media), b = Chunks(GetTrackMedia(GetMovieTrack(source, 2)));
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].fileOffset, b[i].fileOffset);
        EXPECT_EQ(a[i].size, b[i].size);
        ASSERT_NE(GetMediaDataRefEntry(media, short(a[i].dataRefIndex)), nullptr);
        EXPECT_EQ(GetMediaDataRefEntry(media, short(a[i].dataRefIndex))->resolvedPath, kSource);
    }
    EXPECT_EQ(CountMediaDataRefs(media), 1) << "the ref from NewTrackMedia names the same file";
    EXPECT_FALSE(HasMovieChanged(source));
    DisposeMovie(copy);

    copy = Export(source, 1);
    t = GetMovieIndTrack(copy, 1);
    EXPECT_EQ(GetMovieTimeScale(copy), 1000);
    EXPECT_EQ(GetTrackOffset(t), 0);
    EXPECT_EQ(GetTrackDuration(t), 600);
    Fixed w = 0, h = 0;
    GetTrackDimensions(t, &w, &h);
    EXPECT_EQ(w, 320 << 16);
    EXPECT_EQ(h, 240 << 16);
    DisposeMovie(copy);
    DisposeMovie(source);
}

// Saved elsewhere, the copy names the source file; saved into the source
// file itself, it is a self reference.
TEST(TrackCopy, SavedCopyReachesTheSourceSamplesFromWhereverItIsSaved)
{
    Movie source = SourceMovie();
    Movie copy = Export(source, 2);
    for (const std::string& destination : {std::string("/movies/exported.mov"), kSource}) {
        SCOPED_TRACE(destination);
        Movie back = ParseOrFail(AtomBytes{Serialize(copy, destination)}, destination);
        Media media = GetTrackMedia(GetMovieIndTrack(back, 1));
        EXPECT_EQ(GetMediaSampleCount(media), 43);
        ASSERT_EQ(CountMediaDataRefs(media), 1);
        const DataRefEntry* entry = GetMediaDataRefEntry(media, 1);
        EXPECT_EQ(entry->IsSelf(), destination == kSource);
        if (!entry->IsSelf()) {
            EXPECT_STREQ(reinterpret_cast<const char*>(entry->data.data()), "file:///movies/source.mov");
        }
        DisposeMovie(back);
    }
    DisposeMovie(copy);
    DisposeMovie(source);
}

// Inserting from the same source again, or within one track, reuses the
// media; a media of another type is refused.
TEST(TrackCopy, InsertingAgainSharesTheSamples)
{
    Movie source = SourceMovie();
    Movie copy = Export(source, 2);
    Track src = GetMovieTrack(source, 2);
    Track dst = GetMovieIndTrack(copy, 1);
    TimeValue d = GetTrackDuration(dst);
    ASSERT_EQ(InsertTrackSegment(src, dst, 0, GetTrackDuration(src), d), noErr);
    EXPECT_EQ(GetTrackDuration(dst), 2 * d);
    EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(dst)), 43);
    Track video = GetMovieTrack(source, 1);
    EXPECT_EQ(InsertTrackSegment(video, dst, 0, 100, 0), mediaTypesDontMatch);
    EXPECT_EQ(GetTrackDuration(dst), 2 * d);

    ASSERT_EQ(InsertTrackSegment(video, video, 0, 300, 600), noErr);
    EXPECT_EQ(GetTrackDuration(video), 900);
    EXPECT_EQ(GetMediaSampleCount(GetTrackMedia(video)), 30);
    TimeValue dur = 0, mediaTime = 0;
    GetTrackEditInfo(video, 2, &dur, &mediaTime, nullptr);
    EXPECT_EQ(dur, 300);
    EXPECT_EQ(mediaTime, 0);
    DisposeMovie(copy);
    DisposeMovie(source);
}

TEST(TrackCopy, InsertingIntoAMovieOfAnotherScaleConvertsTheDurations)
{
    Movie source = SourceMovie();  // 1000 units a second
    Movie copy = NewMovie(0);      // 600
    Track src = GetMovieTrack(source, 1);
    Track dst = NewMovieTrack(copy, 0, 0, 0);
    NewTrackMedia(dst, 'vide', 30, nullptr, 0);
    ASSERT_EQ(InsertTrackSegment(src, dst, 0, 333, 0), noErr);
    ASSERT_EQ(InsertTrackSegment(src, dst, 333, 267, 200), noErr);
    EXPECT_EQ(GetTrackDuration(dst), 360);  // 200 + 160
    TimeValue d = 0, mediaTime = 0;
    GetTrackEditInfo(dst, 2, &d, &mediaTime, nullptr);
    EXPECT_EQ(d, 160);
    EXPECT_EQ(mediaTime, 10);  // 333/1000 s into a 30/s media, rounded
    DisposeMovie(copy);
    DisposeMovie(source);
}

TEST(TrackCopy, ADisposedTrackLeavesTheMovieAndTheFile)
{
    Movie source = SourceMovie();
    Track t = GetMovieTrack(source, 1);
    DisposeMovieTrack(t);
    EXPECT_EQ(GetMovieTrackCount(source), 1);
    EXPECT_EQ(GetMovieTrack(source, 1), nullptr);
    GetTrackDuration(t);
    EXPECT_EQ(GetMoviesError(), invalidTrack);
    EXPECT_TRUE(HasMovieChanged(source));
    Movie back = ParseOrFail(AtomBytes{Serialize(source)});
    EXPECT_EQ(GetMovieTrackCount(back), 1);
    EXPECT_EQ(GetTrackID(GetMovieIndTrack(back, 1)), 2);
    DisposeMovie(back);
    DisposeMovie(source);
}
