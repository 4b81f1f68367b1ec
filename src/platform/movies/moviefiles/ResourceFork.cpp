#include "platform/movies/moviefiles/ResourceFork.h"

#include <algorithm>
#include <map>

#include "platform/movies/moviefiles/BigEndian.h"
#include "platform/movies/moviefiles/MovieFileErrors.h"

using namespace BigEndian;

namespace {

// Offsets inside the map, fixed by the format.
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kMapFixedSize = 28 + 2;  // header copy, next map, ref, attrs, two offsets, type count
constexpr std::size_t kTypeEntrySize = 8;
constexpr std::size_t kRefEntrySize = 12;
constexpr std::uint32_t kDataStart = 256;  // the header plus the reserved system and application areas
constexpr std::uint32_t kMaxDataOffset = 0xFFFFFF;

bool Fits(std::uint64_t offset, std::uint64_t length, std::uint64_t limit)
{
    return offset <= limit && length <= limit - offset;
}

struct MapView {
    std::span<const UInt8> map;
    std::span<const UInt8> data;
    std::size_t typeList = 0;
    std::size_t nameList = 0;
};

OSErr DecodeReference(const MapView& v, ResType type, std::size_t refAt, ResourceForkEntry* out)
{
    if (!Fits(refAt, kRefEntrySize, v.map.size()))
        return mapReadErr;
    const UInt8* r = v.map.data() + refAt;
    out->type = type;
    out->id = SInt16(Get16(r));
    std::uint16_t nameOffset = Get16(r + 2);
    out->attributes = r[4];
    std::uint32_t dataOffset = Get24(r + 5);
    if (!Fits(dataOffset, 4, v.data.size()))
        return mapReadErr;
    std::uint32_t length = Get32(v.data.data() + dataOffset);
    if (!Fits(std::uint64_t(dataOffset) + 4, length, v.data.size()))
        return mapReadErr;
    const UInt8* bytes = v.data.data() + dataOffset + 4;
    out->data.assign(bytes, bytes + length);
    out->hasName = nameOffset != 0xFFFF;
    if (out->hasName) {
        std::size_t at = v.nameList + nameOffset;
        if (!Fits(at, 1, v.map.size()) || !Fits(at + 1, v.map[at], v.map.size()))
            return mapReadErr;
        out->name.assign(reinterpret_cast<const char*>(v.map.data() + at + 1), v.map[at]);
    }
    return noErr;
}

OSErr DecodeTypeList(const MapView& v, std::vector<ResourceForkEntry>* out)
{
    if (!Fits(v.typeList, 2, v.map.size()))
        return mapReadErr;
    // The count is stored minus one; an empty list is stored as 0xFFFF.
    std::size_t typeCount = (Get16(v.map.data() + v.typeList) + 1) & 0xFFFF;
    if (!Fits(v.typeList + 2, typeCount * kTypeEntrySize, v.map.size()))
        return mapReadErr;
    for (std::size_t t = 0; t < typeCount; ++t) {
        const UInt8* e = v.map.data() + v.typeList + 2 + t * kTypeEntrySize;
        ResType type = Get32(e);
        std::size_t count = std::size_t(Get16(e + 4)) + 1;
        std::size_t refList = v.typeList + Get16(e + 6);
        if (!Fits(refList, count * kRefEntrySize, v.map.size()))
            return mapReadErr;
        for (std::size_t i = 0; i < count; ++i) {
            ResourceForkEntry entry;
            if (OSErr err = DecodeReference(v, type, refList + i * kRefEntrySize, &entry))
                return err;
            out->push_back(std::move(entry));
        }
    }
    return noErr;
}

}  // namespace

OSErr ResourceFork::Decode(std::span<const UInt8> bytes, ResourceFork* out)
{
    out->fEntries.clear();
    if (bytes.empty())
        return noErr;
    if (bytes.size() < kHeaderSize)
        return mapReadErr;
    std::uint32_t dataOffset = Get32(bytes.data()), mapOffset = Get32(bytes.data() + 4);
    std::uint32_t dataLength = Get32(bytes.data() + 8), mapLength = Get32(bytes.data() + 12);
    if (!Fits(dataOffset, dataLength, bytes.size()) || !Fits(mapOffset, mapLength, bytes.size()) ||
        mapLength < kMapFixedSize)
        return mapReadErr;
    MapView v;
    v.map = bytes.subspan(mapOffset, mapLength);
    v.data = bytes.subspan(dataOffset, dataLength);
    v.typeList = Get16(v.map.data() + 24);
    v.nameList = Get16(v.map.data() + 26);
    return DecodeTypeList(v, &out->fEntries);
}

OSErr ResourceFork::Encode(std::vector<UInt8>* out) const
{
    // Group by type, keeping the order in which each type first appears.
    std::vector<ResType> types;
    std::map<ResType, std::vector<const ResourceForkEntry*>> byType;
    for (const auto& e : fEntries) {
        if (!byType.count(e.type))
            types.push_back(e.type);
        byType[e.type].push_back(&e);
    }

    std::vector<UInt8> data, names;
    std::vector<UInt8> typeList, refLists;
    Append16(typeList, std::uint32_t(types.size()) - 1);
    std::size_t refListStart = 2 + types.size() * kTypeEntrySize;
    for (ResType type : types) {
        const auto& list = byType[type];
        Append32(typeList, type);
        Append16(typeList, std::uint32_t(list.size() - 1));
        Append16(typeList, std::uint32_t(refListStart + refLists.size()));
        for (const ResourceForkEntry* e : list) {
            if (data.size() > kMaxDataOffset)
                return addResFailed;
            Append16(refLists, std::uint16_t(e->id));
            if (e->hasName) {
                Append16(refLists, std::uint32_t(names.size()));
                std::size_t n = std::min<std::size_t>(e->name.size(), 255);
                names.push_back(UInt8(n));
                AppendBytes(names, e->name.data(), n);
            } else {
                Append16(refLists, 0xFFFF);
            }
            Append8(refLists, e->attributes);
            refLists.resize(refLists.size() + 3);
            Put24(refLists.data() + refLists.size() - 3, std::uint32_t(data.size()));
            Append32(refLists, 0);  // handle, filled in by the Resource Manager in memory
            Append32(data, std::uint32_t(e->data.size()));
            AppendBytes(data, e->data.data(), e->data.size());
        }
    }
    if (refListStart + refLists.size() + kMapFixedSize > 0xFFFF || names.size() > 0xFFFF)
        return addResFailed;

    std::uint32_t mapOffset = kDataStart + std::uint32_t(data.size());
    std::uint32_t mapLength = std::uint32_t(28 + typeList.size() + refLists.size() + names.size());
    std::vector<UInt8> header;
    Append32(header, kDataStart);
    Append32(header, mapOffset);
    Append32(header, std::uint32_t(data.size()));
    Append32(header, mapLength);

    out->clear();
    AppendBytes(*out, header.data(), header.size());
    AppendZeros(*out, kDataStart - header.size());
    AppendBytes(*out, data.data(), data.size());
    AppendBytes(*out, header.data(), header.size());  // the map begins with a copy of the header
    Append32(*out, 0);                                 // next map handle
    Append16(*out, 0);                                 // file reference number
    Append16(*out, 0);                                 // fork attributes
    Append16(*out, 28);                                // type list offset from the map
    Append16(*out, std::uint32_t(28 + typeList.size() + refLists.size()));  // name list offset
    AppendBytes(*out, typeList.data(), typeList.size());
    AppendBytes(*out, refLists.data(), refLists.size());
    AppendBytes(*out, names.data(), names.size());
    return noErr;
}

const ResourceForkEntry* ResourceFork::Find(ResType type, SInt16 id) const
{
    for (const auto& e : fEntries)
        if (e.type == type && e.id == id)
            return &e;
    return nullptr;
}

const ResourceForkEntry* ResourceFork::FirstOfType(ResType type) const
{
    for (const auto& e : fEntries)
        if (e.type == type)
            return &e;
    return nullptr;
}

void ResourceFork::Set(ResourceForkEntry entry)
{
    for (auto& e : fEntries)
        if (e.type == entry.type && e.id == entry.id) {
            e = std::move(entry);
            return;
        }
    fEntries.push_back(std::move(entry));
}

bool ResourceFork::Remove(ResType type, SInt16 id)
{
    auto it = std::find_if(fEntries.begin(), fEntries.end(),
                           [&](const ResourceForkEntry& e) { return e.type == type && e.id == id; });
    if (it == fEntries.end())
        return false;
    fEntries.erase(it);
    return true;
}

SInt16 ResourceFork::UniqueID(ResType type) const
{
    for (int id = 128; id <= 32767; ++id)
        if (!Find(type, SInt16(id)))
            return SInt16(id);
    return 0;
}
