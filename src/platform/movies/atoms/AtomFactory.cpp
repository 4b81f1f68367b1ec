#include "platform/movies/atoms/AtomFactory.h"

#include <algorithm>
#include <unordered_map>

#include "platform/movies/MoviesError.h"
#include "platform/movies/atoms/ChunkOffsetAtom.h"
#include "platform/movies/atoms/ContainerAtom.h"
#include "platform/movies/atoms/DrefAtom.h"
#include "platform/movies/atoms/ElstAtom.h"
#include "platform/movies/atoms/FragmentAtoms.h"
#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/atoms/MdhdAtom.h"
#include "platform/movies/atoms/MvhdAtom.h"
#include "platform/movies/atoms/RawAtom.h"
#include "platform/movies/atoms/SampleTableAtoms.h"
#include "platform/movies/atoms/StsdAtom.h"
#include "platform/movies/atoms/StszAtom.h"
#include "platform/movies/atoms/Stz2Atom.h"
#include "platform/movies/atoms/TkhdAtom.h"

namespace {

using Maker = std::unique_ptr<Atom> (*)(FourCharCode);

template <class T> std::unique_ptr<Atom> Make(FourCharCode type) { return std::make_unique<T>(type); }

const std::unordered_map<FourCharCode, Maker>& Table()
{
    static const std::unordered_map<FourCharCode, Maker> table = {
        {'moov', Make<ContainerAtom>}, {'trak', Make<ContainerAtom>}, {'mdia', Make<ContainerAtom>},
        {'minf', Make<ContainerAtom>}, {'stbl', Make<ContainerAtom>}, {'edts', Make<ContainerAtom>},
        {'dinf', Make<ContainerAtom>}, {'mvex', Make<ContainerAtom>}, {'moof', Make<ContainerAtom>},
        {'traf', Make<ContainerAtom>}, {'cmov', Make<ContainerAtom>},
        {'mvhd', Make<MvhdAtom>},      {'tkhd', Make<TkhdAtom>},      {'mdhd', Make<MdhdAtom>},
        {'hdlr', Make<HdlrAtom>},      {'elst', Make<ElstAtom>},      {'dref', Make<DrefAtom>},
        {'stsd', Make<StsdAtom>},      {'stts', Make<SttsAtom>},      {'ctts', Make<CttsAtom>},
        {'stss', Make<StssAtom>},      {'stsc', Make<StscAtom>},      {'stsz', Make<StszAtom>},      {'stz2', Make<Stz2Atom>},
        {'stco', Make<ChunkOffsetAtom>}, {'co64', Make<ChunkOffsetAtom>},
        {'trex', Make<TrexAtom>},      {'tfhd', Make<TfhdAtom>},      {'tfdt', Make<TfdtAtom>},
        {'trun', Make<TrunAtom>},
    };
    return table;
}

// Containers nest this deep at most; deeper ones are kept as bytes, which
// bounds the recursion whatever the file says.
constexpr size_t kMaxDepth = 12;

size_t Depth(const std::string& path) { return size_t(std::count(path.begin(), path.end(), '/')); }

}  // namespace

std::string FourCCString(FourCharCode type)
{
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char(type >> shift);
        if (c < 32 || c > 126) {
            char hex[16];
            snprintf(hex, sizeof hex, "0x%08X", type);
            return hex;
        }
        s += c;
    }
    return s;
}

std::unique_ptr<Atom> MakeAtom(FourCharCode type)
{
    auto it = Table().find(type);
    return it == Table().end() ? std::make_unique<RawAtom>(type) : it->second(type);
}

std::unique_ptr<Atom> ReadAtom(AtomReader& parent)
{
    UInt64 start = parent.FileOffset();
    if (parent.Remaining() < 8) {
        parent.Fail(badPublicMovieAtom, "atom header runs past its parent");
        return nullptr;
    }
    UInt64 size = parent.Read32();
    FourCharCode type = parent.Read32();
    UInt64 header = 8;
    bool large = false, toEnd = false;
    if (size == 1) {
        size = parent.Read64();
        header = 16;
        large = true;
    } else if (size == 0) {
        size = parent.Remaining() + 8;
        toEnd = true;
    }
    if (!parent.Ok())
        return nullptr;
    if (size < header || size - header > parent.Remaining()) {
        parent.FailAt(badPublicMovieAtom,
                      "atom '" + FourCCString(type) + "' of size " + std::to_string(size) + " does not fit in its parent",
                      start);
        return nullptr;
    }
    std::string path = parent.Path().empty() ? FourCCString(type) : parent.Path() + "/" + FourCCString(type);
    AtomReader body = parent.Sub(size_t(size - header), path);
    auto atom = MakeAtom(type);
    if (atom->IsContainer() && Depth(path) >= kMaxDepth)
        atom = std::make_unique<RawAtom>(type);
    atom->largeSize = large;
    atom->sizeToEnd = toEnd;
    atom->ReadFields(body);
    if (body.Ok() && body.Remaining() != 0)
        body.Fail(badPublicMovieAtom, std::to_string(body.Remaining()) + " bytes left unread");
    if (!body.Ok()) {
        parent.Adopt(body.Status());
        return nullptr;
    }
    return atom;
}

std::unique_ptr<Atom> CloneAtom(const Atom& atom)
{
    std::vector<UInt8> bytes;
    ByteWriter w(bytes);
    atom.Write(w);
    AtomReader r(bytes, 0, "");
    return ReadAtom(r);
}
