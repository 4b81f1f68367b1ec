#include "MovieTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

std::vector<std::string> CorpusFiles(const std::string& folder)
{
    std::vector<std::string> files;
    for (auto& e : std::filesystem::directory_iterator(std::string(ORVO_CORPUS_DIR) + "/" + folder))
        files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

namespace {

AtomBytes Matrix()
{
    AtomBytes m;
    return m.U32(0x10000).U32(0).U32(0).U32(0).U32(0x10000).U32(0).U32(0).U32(0).U32(0x40000000);
}

AtomBytes TrackAtom(const TestTrack& t, UInt32 movieScale)
{
    UInt64 mediaDuration = UInt64(t.sampleCount) * t.sampleDelta;
    UInt64 trackDuration = 0;
    for (auto& e : t.edits)
        trackDuration += e.duration;
    if (t.edits.empty())
        trackDuration = mediaDuration * movieScale / t.mediaScale;
    AtomBytes tkhd;
    tkhd.U32(0).U32(0).U32(t.id).U32(0).U32(UInt32(trackDuration)).Zeros(8).U16(0).U16(0)
        .U16(std::string(t.type) == "soun" ? 0x100 : 0).U16(0).Add(Matrix()).U32(t.width << 16).U32(t.height << 16);
    AtomBytes trak = AtomBytes::Full("tkhd", 0, t.enabled ? 0xF : 0xE, tkhd);
    if (!t.edits.empty()) {
        AtomBytes elst;
        elst.U32(UInt32(t.edits.size()));
        for (auto& e : t.edits)
            elst.U32(UInt32(e.duration)).U32(UInt32(SInt32(e.mediaTime))).U32(UInt32(e.rate));
        trak.Add(AtomBytes::Atom("edts", AtomBytes::Full("elst", 0, 0, elst)));
    }
    AtomBytes mdhd;
    mdhd.U32(0).U32(0).U32(t.mediaScale).U32(UInt32(mediaDuration)).U16(0).U16(0);
    AtomBytes hdlr;
    hdlr.Code("mhlr").Code(t.type).U32(0).U32(0).U32(0).U8(12).Text("Test Handler");
    AtomBytes entry;
    entry.U32(16).Code("test").Zeros(6).U16(1);
    UInt32 chunks = t.chunkCount ? t.chunkCount : (t.sampleCount + t.samplesPerChunk - 1) / t.samplesPerChunk;
    AtomBytes stco;
    stco.U32(chunks);
    for (UInt32 c = 0; c < chunks; ++c)
        stco.U32(t.firstChunkOffset + c * t.samplesPerChunk * t.sampleSize);
    AtomBytes stbl;
    stbl.Add(AtomBytes::Full("stsd", 0, 0, AtomBytes().U32(1).Add(entry)))
        .Add(AtomBytes::Full("stts", 0, 0, AtomBytes().U32(1).U32(t.sampleCount).U32(t.sampleDelta)))
        .Add(AtomBytes::Full("stsc", 0, 0, AtomBytes().U32(1).U32(1).U32(t.samplesPerChunk).U32(1)))
        .Add(AtomBytes::Full("stsz", 0, 0, AtomBytes().U32(t.sampleSize).U32(t.sampleCount)))
        .Add(AtomBytes::Full("stco", 0, 0, stco));
    AtomBytes minf;
    minf.Add(AtomBytes::Full("vmhd", 0, 1, AtomBytes().Zeros(8)))
        .Add(AtomBytes::Atom("dinf", AtomBytes::Full("dref", 0, 0, AtomBytes().U32(1).Add(AtomBytes::Full("alis", 0, 1)))))
        .Add(AtomBytes::Atom("stbl", stbl));
    AtomBytes mdia;
    mdia.Add(AtomBytes::Full("mdhd", 0, 0, mdhd)).Add(AtomBytes::Full("hdlr", 0, 0, hdlr)).Add(AtomBytes::Atom("minf", minf));
    trak.Add(AtomBytes::Atom("mdia", mdia));
    return AtomBytes::Atom("trak", trak);
}

}  // namespace

AtomBytes BuildMovieAtom(UInt32 movieScale, const std::vector<TestTrack>& tracks, UInt32 movieDuration)
{
    AtomBytes mvhd;
    mvhd.U32(0).U32(0).U32(movieScale).U32(movieDuration).U32(0x10000).U16(0x100).Zeros(10).Add(Matrix())
        .Zeros(24).U32(UInt32(tracks.size() + 1));
    AtomBytes moov = AtomBytes::Full("mvhd", 0, 0, mvhd);
    for (auto& t : tracks)
        moov.Add(TrackAtom(t, movieScale));
    return AtomBytes::Atom("moov", moov);
}

Movie ParseOrFail(const AtomBytes& moov, const std::string& path)
{
    Movie movie = nullptr;
    std::string why;
    OSErr err = ParseMovieAtom(moov.bytes, MovieSource{path, 0}, &movie, &why);
    EXPECT_EQ(err, noErr) << why;
    return movie;
}

std::vector<UInt8> Serialize(Movie movie, const std::string& destination)
{
    std::vector<UInt8> out;
    SerializeOptions options;
    options.destinationPath = destination;
    EXPECT_EQ(SerializeMovieAtom(movie, options, &out), noErr);
    return out;
}
