#include "HostileMovies.h"

#include <zlib.h>

namespace HostileMovies {

namespace {

AtomBytes Matrix()
{
    AtomBytes m;
    return m.U32(0x10000).U32(0).U32(0).U32(0).U32(0x10000).U32(0).U32(0).U32(0).U32(0x40000000);
}

AtomBytes SelfAlias()
{
    return AtomBytes::Full("dref", 0, 0, AtomBytes().U32(1).Add(AtomBytes::Full("alis", 0, 1)));
}

// A plain table of `count` samples of `size` bytes, five to a chunk.
AtomBytes PlainTable(UInt32 count, UInt32 size)
{
    std::vector<UInt64> chunks;
    for (UInt32 c = 0; c < (count + 4) / 5; ++c)
        chunks.push_back(8 + c * 5 * size);
    return SampleTable(count, 60, 5, size, chunks);
}

AtomBytes EmptyTable() { return SampleTable(0, 0, 0, 0, {}); }

// A fragment for track 1 whose listed runs (each the sizes of its samples)
// all point just past the fragment and the mdat header after it.
AtomBytes FragmentBeforeItsData(UInt32 sequence, const std::vector<std::vector<UInt32>>& runs)
{
    std::vector<AtomBytes> truns;
    for (auto& sizes : runs)
        truns.push_back(ListedRun(sizes, 0));
    UInt32 dataOffset = UInt32(Fragment(sequence, truns).Size() + 8);
    truns.clear();
    for (auto& sizes : runs)
        truns.push_back(ListedRun(sizes, dataOffset));
    return Fragment(sequence, truns);
}

// A fragmented file: the movie, then each fragment followed by an mdat of
// `dataBytes` zero bytes.
std::vector<UInt8> WithFragments(const AtomBytes& moov, const std::vector<AtomBytes>& moofs, size_t dataBytes)
{
    AtomBytes file = FileType("isom").Add(moov);
    for (auto& moof : moofs)
        file.Add(moof).Add(AtomBytes::Atom("mdat", AtomBytes().Zeros(dataBytes)));
    return file.bytes;
}

// A movie of ten samples whose only data reference is `entry`.
std::vector<UInt8> WithReference(const AtomBytes& entry)
{
    AtomBytes dref = AtomBytes::Full("dref", 0, 0, AtomBytes().U32(1).Add(entry));
    return FileType("qt  ").Add(MovieAtom(PlainTable(10, 100), {}, dref)).bytes;
}

}  // namespace

AtomBytes SampleTable(UInt32 count, UInt32 delta, UInt32 perChunk, std::optional<UInt32> size,
                      const std::vector<UInt64>& chunks, bool wide)
{
    AtomBytes stts, stsc, offsets;
    count ? stts.U32(1).U32(count).U32(delta) : stts.U32(0);
    count ? stsc.U32(1).U32(1).U32(perChunk).U32(1) : stsc.U32(0);
    offsets.U32(UInt32(chunks.size()));
    for (UInt64 c : chunks)
        wide ? offsets.U64(c) : offsets.U32(UInt32(c));
    AtomBytes t = AtomBytes::Full("stts", 0, 0, stts).Add(AtomBytes::Full("stsc", 0, 0, stsc));
    if (size)
        t.Add(AtomBytes::Full("stsz", 0, 0, AtomBytes().U32(*size).U32(count)));
    return t.Add(AtomBytes::Full(wide ? "co64" : "stco", 0, 0, offsets));
}

AtomBytes FileType(const char* brand) { return AtomBytes::Atom("ftyp", AtomBytes().Code(brand).U32(0).Code(brand)); }

AtomBytes MovieAtom(const AtomBytes& stblAtoms, const AtomBytes& more, const AtomBytes& dref)
{
    AtomBytes mvhd;
    mvhd.U32(0).U32(0).U32(600).U32(0).U32(0x10000).U16(0x100).Zeros(10).Add(Matrix()).Zeros(24).U32(2);
    AtomBytes tkhd;
    tkhd.U32(0).U32(0).U32(1).U32(0).U32(0).Zeros(8).U16(0).U16(0).U16(0).U16(0).Add(Matrix()).U32(64 << 16).U32(48 << 16);
    AtomBytes mdhd;
    mdhd.U32(0).U32(0).U32(600).U32(0).U16(0).U16(0);
    AtomBytes hdlr;
    hdlr.Code("mhlr").Code("vide").U32(0).U32(0).U32(0).U8(0);
    AtomBytes entry;
    entry.U32(16).Code("test").Zeros(6).U16(1);
    AtomBytes stbl = AtomBytes::Full("stsd", 0, 0, AtomBytes().U32(1).Add(entry));
    stbl.Add(stblAtoms);
    AtomBytes minf = AtomBytes::Full("vmhd", 0, 1, AtomBytes().Zeros(8));
    minf.Add(AtomBytes::Atom("dinf", dref.Size() ? dref : SelfAlias())).Add(AtomBytes::Atom("stbl", stbl));
    AtomBytes mdia = AtomBytes::Full("mdhd", 0, 0, mdhd);
    mdia.Add(AtomBytes::Full("hdlr", 0, 0, hdlr)).Add(AtomBytes::Atom("minf", minf));
    AtomBytes trak = AtomBytes::Full("tkhd", 0, 0xF, tkhd);
    trak.Add(AtomBytes::Atom("mdia", mdia));
    AtomBytes moov = AtomBytes::Full("mvhd", 0, 0, mvhd);
    moov.Add(AtomBytes::Atom("trak", trak)).Add(more);
    return AtomBytes::Atom("moov", moov);
}

AtomBytes TrackDefaults(UInt32 duration, UInt32 size, UInt32 flags)
{
    return AtomBytes::Atom("mvex", AtomBytes::Full("trex", 0, 0, AtomBytes().U32(1).U32(1).U32(duration).U32(size).U32(flags)));
}

AtomBytes Fragment(UInt32 sequence, const std::vector<AtomBytes>& runs, UInt32 defaultSize)
{
    AtomBytes tfhd;
    tfhd.U32(1);
    if (defaultSize)
        tfhd.U32(defaultSize);
    AtomBytes traf = AtomBytes::Full("tfhd", 0, 0x20000 | (defaultSize ? 0x10 : 0), tfhd);
    for (auto& run : runs)
        traf.Add(run);
    return AtomBytes::Atom("moof", AtomBytes::Full("mfhd", 0, 0, AtomBytes().U32(sequence)).Add(AtomBytes::Atom("traf", traf)));
}

AtomBytes ListedRun(const std::vector<UInt32>& sizes, UInt32 dataOffset)
{
    AtomBytes body;
    body.U32(UInt32(sizes.size())).U32(dataOffset);
    for (UInt32 s : sizes)
        body.U32(s);
    return AtomBytes::Full("trun", 0, 0x1 | 0x200, body);
}

AtomBytes DefaultRun(UInt32 count)
{
    return AtomBytes::Full("trun", 0, 0, AtomBytes().U32(count));
}

AtomBytes Compressed(const AtomBytes& moov)
{
    uLongf length = compressBound(uLong(moov.Size()));
    std::vector<UInt8> z(length);
    compress2(z.data(), &length, moov.bytes.data(), uLong(moov.Size()), 9);
    z.resize(length);
    AtomBytes cmvd;
    cmvd.U32(UInt32(moov.Size())).bytes.insert(cmvd.bytes.end(), z.begin(), z.end());
    AtomBytes cmov = AtomBytes::Atom("dcom", AtomBytes().Code("zlib"));
    cmov.Add(AtomBytes::Atom("cmvd", cmvd));
    return AtomBytes::Atom("moov", AtomBytes::Atom("cmov", cmov));
}

std::vector<UInt8> TrackWithoutSizesGetsFragments()
{
    AtomBytes moov = MovieAtom(SampleTable(10, 60, 10, std::nullopt, {8}), TrackDefaults(60, 0, 0));
    return WithFragments(moov, {FragmentBeforeItsData(1, {{11, 22, 33}})}, 66);
}

std::vector<UInt8> DefaultRunsBeyondTheFile(int runs, UInt32 count)
{
    AtomBytes moov = MovieAtom(EmptyTable(), TrackDefaults(1, 1000, 0));
    return WithFragments(moov, {Fragment(1, std::vector<AtomBytes>(size_t(runs), DefaultRun(count)))}, 16);
}

std::vector<UInt8> HugeOwnTableWithFragments()
{
    AtomBytes moov = MovieAtom(SampleTable(0xFFFFFFF0u, 1, 0xFFFFFFF0u, 1, {8}), TrackDefaults(1, 2, 0));
    return WithFragments(moov, {Fragment(1, {DefaultRun(4)})}, 8);
}

std::vector<UInt8> BillionsOfSamplesOfOneSize()
{
    // ftyp (20 bytes), then an mdat whose data starts at 28.
    AtomBytes file = FileType("qt  ").Add(AtomBytes::Atom("mdat", AtomBytes().Zeros(16)));
    return file.Add(MovieAtom(SampleTable(0xFFFFFFF0u, 1, 0xFFFFFFF0u, 1, {28}))).bytes;
}

std::vector<UInt8> ExpandingCompressedHeader(UInt32 padding)
{
    // The padding goes inside the movie atom, as a free atom, so that the
    // header is valid however far it expands.
    AtomBytes padded;
    padded.Add(MovieAtom(PlainTable(10, 100)));
    padded.bytes.erase(padded.bytes.begin(), padded.bytes.begin() + 8);
    padded.Add(AtomBytes::Atom("free", AtomBytes().Zeros(padding)));
    return FileType("qt  ").Add(Compressed(AtomBytes::Atom("moov", padded))).bytes;
}

std::vector<UInt8> ManySmallFragments(UInt32 fragments)
{
    AtomBytes file = FileType("isom").Add(MovieAtom(EmptyTable(), TrackDefaults(10, 0, 0)));
    for (UInt32 f = 0; f < fragments; ++f)
        file.Add(FragmentBeforeItsData(f + 1, {{1}})).Add(AtomBytes::Atom("mdat", AtomBytes().Zeros(1)));
    return file.bytes;
}

std::vector<UInt8> ManyRunsInOneFragment(UInt32 runs)
{
    // Every run points at the same byte after the fragment: only the number
    // of runs matters here.
    AtomBytes moov = MovieAtom(EmptyTable(), TrackDefaults(10, 0, 0));
    return WithFragments(moov, {FragmentBeforeItsData(1, std::vector<std::vector<UInt32>>(runs, {1}))}, 1);
}

std::vector<UInt8> OneLargeFragment(UInt32 samples)
{
    AtomBytes moov = MovieAtom(EmptyTable(), TrackDefaults(10, 0, 0x00010000));
    std::vector<UInt32> sizes(samples);
    for (UInt32 i = 0; i < samples; ++i)
        sizes[i] = i % 3;  // varied, and cheap in data
    return WithFragments(moov, {FragmentBeforeItsData(1, {sizes})}, samples);
}

std::vector<UInt8> HeaderOfEmptyAtoms(UInt32 atoms)
{
    AtomBytes empties;
    for (UInt32 i = 0; i < atoms; ++i)
        empties.U32(8).Code("free");
    return MovieAtom(PlainTable(10, 100), empties).bytes;
}

std::vector<UInt8> UrlReference(const std::string& url)
{
    return WithReference(AtomBytes::Full("url ", 0, 0, AtomBytes().Text(url).U8(0)));
}

std::vector<UInt8> AliasReference(const std::string& path)
{
    // A version 2 alias record: the fixed part, then the POSIX path (extra
    // 18) and the end tag.
    std::string name = path.substr(path.rfind('/') + 1).substr(0, 63);
    AtomBytes record;
    record.U32(0).U16(0).U16(2).U16(0).U8(4).Text("Disk").Zeros(23).U32(0).U16(0).U16(0).U32(0);  // to offset 50
    record.U8(UInt32(name.size())).Text(name).Zeros(63 - name.size());                           // to 114
    record.U32(0).U32(0).Code("MooV").Code("TVOD").U16(0xFFFF).U16(0xFFFF).Zeros(16);            // to 150
    record.U16(18).U16(UInt32(path.size())).Text(path);
    if (path.size() % 2)
        record.U8(0);
    record.U16(0xFFFF).U16(0);
    record.bytes[4] = UInt8(record.Size() >> 8);
    record.bytes[5] = UInt8(record.Size());
    return WithReference(AtomBytes::Full("alis", 0, 0, record));
}

std::vector<Named> All()
{
    return {
        {"track-without-sizes-gets-fragments", TrackWithoutSizesGetsFragments()},
        {"default-runs-beyond-the-file", DefaultRunsBeyondTheFile(16, 1u << 24)},
        {"huge-own-table-with-fragments", HugeOwnTableWithFragments()},
        {"billions-of-samples-of-one-size", BillionsOfSamplesOfOneSize()},
        {"expanding-compressed-header", ExpandingCompressedHeader(4u << 20)},
        {"many-small-fragments", ManySmallFragments(2000)},
        {"many-runs-in-one-fragment", ManyRunsInOneFragment(2000)},
        {"one-large-fragment", OneLargeFragment(5000)},
        {"header-of-empty-atoms", HeaderOfEmptyAtoms(5000)},
        {"url-to-etc-passwd", UrlReference("file:///etc/passwd")},
        {"url-up-to-etc-passwd", UrlReference("../../../../../../../../etc/passwd")},
        {"url-to-proc", UrlReference("file:///proc/self/environ")},
        {"alias-to-etc-passwd", AliasReference("/etc/passwd")},
    };
}

}  // namespace HostileMovies
