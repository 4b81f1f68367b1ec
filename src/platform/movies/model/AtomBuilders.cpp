#include "platform/movies/model/AtomBuilders.h"

#include <algorithm>

#include "platform/movies/atoms/ChunkOffsetAtom.h"
#include "platform/movies/atoms/DrefAtom.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/MdhdAtom.h"
#include "platform/movies/atoms/MvhdAtom.h"
#include "platform/movies/atoms/RawAtom.h"
#include "platform/movies/atoms/SampleTableAtoms.h"
#include "platform/movies/atoms/StsdAtom.h"
#include "platform/movies/atoms/StszAtom.h"
#include "platform/movies/atoms/TkhdAtom.h"

namespace {

template <class T> std::unique_ptr<T> New(FourCharCode type) { return std::make_unique<T>(type); }

std::unique_ptr<RawAtom> Raw(FourCharCode type, std::vector<UInt8> bytes)
{
    auto a = New<RawAtom>(type);
    a->bytes = std::move(bytes);
    return a;
}

// The media information header that each kind of media carries.
std::unique_ptr<Atom> BuildMediaInfoHeader(OSType mediaType)
{
    if (mediaType == 'vide')  // version 0, flags 1, graphics mode ditherCopy, opcolor
        return Raw('vmhd', {0, 0, 0, 1, 0, 0x40, 0x80, 0, 0x80, 0, 0x80, 0});
    if (mediaType == 'soun')  // version, flags, balance, reserved
        return Raw('smhd', {0, 0, 0, 0, 0, 0, 0, 0});
    auto gmhd = New<ContainerAtom>('gmhd');
    gmhd->children.push_back(Raw('gmin', {0, 0, 0, 0, 0, 0x40, 0x80, 0, 0x80, 0, 0x80, 0, 0, 0, 0, 0}));
    return gmhd;
}

}  // namespace

std::unique_ptr<ContainerAtom> BuildEmptyMovieAtom(UInt32 timeScale)
{
    auto moov = New<ContainerAtom>('moov');
    auto mvhd = New<MvhdAtom>('mvhd');
    mvhd->timeScale = timeScale;
    moov->children.push_back(std::move(mvhd));
    return moov;
}

std::unique_ptr<ContainerAtom> BuildTrackAtom(UInt32 trackID)
{
    auto trak = New<ContainerAtom>('trak');
    auto tkhd = New<TkhdAtom>('tkhd');
    tkhd->flags = TkhdAtom::kEnabled | TkhdAtom::kInMovie | TkhdAtom::kInPreview | TkhdAtom::kInPoster;
    tkhd->trackID = trackID;
    trak->children.push_back(std::move(tkhd));
    return trak;
}

std::unique_ptr<ContainerAtom> BuildMediaAtom(OSType mediaType, UInt32 timeScale, const std::string& handlerName)
{
    auto mdia = New<ContainerAtom>('mdia');
    auto mdhd = New<MdhdAtom>('mdhd');
    mdhd->timeScale = timeScale;
    mdia->children.push_back(std::move(mdhd));
    auto hdlr = New<HdlrAtom>('hdlr');
    hdlr->componentType = 'mhlr';
    hdlr->componentSubtype = mediaType;
    hdlr->SetName(handlerName);
    mdia->children.push_back(std::move(hdlr));

    auto minf = New<ContainerAtom>('minf');
    minf->children.push_back(BuildMediaInfoHeader(mediaType));
    auto dataHandler = New<HdlrAtom>('hdlr');
    dataHandler->componentType = 'dhlr';
    dataHandler->componentSubtype = 'alis';
    dataHandler->SetName("Alias Data Handler");
    minf->children.push_back(std::move(dataHandler));
    auto dinf = New<ContainerAtom>('dinf');
    dinf->children.push_back(New<DrefAtom>('dref'));
    minf->children.push_back(std::move(dinf));
    auto stbl = New<ContainerAtom>('stbl');
    stbl->children.push_back(New<StsdAtom>('stsd'));
    RebuildSampleTableAtoms(*stbl, SampleTable(), false);
    minf->children.push_back(std::move(stbl));
    mdia->children.push_back(std::move(minf));
    return mdia;
}

ContainerAtom* EnsureContainer(ContainerAtom& parent, FourCharCode type, std::initializer_list<FourCharCode> after)
{
    if (ContainerAtom* c = parent.FindContainer(type))
        return c;
    return static_cast<ContainerAtom*>(parent.InsertAfter(New<ContainerAtom>(type), after));
}

std::unique_ptr<Atom> BuildChunkOffsetAtom(std::vector<UInt64> offsets, bool force64)
{
    bool need64 = force64 || std::any_of(offsets.begin(), offsets.end(), [](UInt64 o) { return o > 0xFFFFFFFFull; });
    auto atom = New<ChunkOffsetAtom>(need64 ? 'co64' : 'stco');
    atom->offsets = std::make_shared<const std::vector<UInt64>>(std::move(offsets));
    return atom;
}

void RebuildSampleTableAtoms(ContainerAtom& stbl, const SampleTable& table, bool force64)
{
    std::erase_if(stbl.children, [](const std::unique_ptr<Atom>& a) { return a->Type() != 'stsd'; });
    stbl.trailing.clear();
    auto stts = New<SttsAtom>('stts');
    stts->entries = table.times;
    stbl.children.push_back(std::move(stts));
    if (!table.compositions.empty()) {
        auto ctts = New<CttsAtom>('ctts');
        ctts->entries = table.compositions;
        // Negative offsets need version 1.
        for (auto& r : table.compositions)
            if (r.offset < 0)
                ctts->version = 1;
        stbl.children.push_back(std::move(ctts));
    }
    if (table.syncSamples) {
        auto stss = New<StssAtom>('stss');
        stss->entries = *table.syncSamples;
        stbl.children.push_back(std::move(stss));
    }
    auto stsc = New<StscAtom>('stsc');
    stsc->entries = table.chunkRuns;
    stbl.children.push_back(std::move(stsc));
    auto stsz = New<StszAtom>('stsz');
    stsz->sampleSize = table.constantSize;
    stsz->sampleCount = table.SampleCount();
    if (table.constantSize == 0) {
        if (table.sizeTable)
            stsz->table = table.sizeTable;
        else if (stsz->sampleCount <= SampleTable::kMaxMadeUpEntries)
            stsz->table = std::make_shared<const std::vector<UInt8>>(size_t(stsz->sampleCount) * 4, 0);
        else
            // A track that came without sizes keeps none: a table of zeros
            // for a sample count the file merely claims could take gigabytes.
            stsz->sampleCount = 0;
    }
    stbl.children.push_back(std::move(stsz));
    stbl.children.push_back(BuildChunkOffsetAtom(*table.chunkOffsets, force64));
}
