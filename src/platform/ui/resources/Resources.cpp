#include "platform/ui/resources/Resources.h"

#include <cstring>

#include "platform/core/Memory.h"

namespace {

OSErr gResError = noErr;

// The tag at the start of a handle for the template types: enough to find
// the template again, and a magic number so that a foreign handle is never
// mistaken for one of ours.
struct ResourceTag {
    UInt32 magic;
    ResType type;
    short id;
};
constexpr UInt32 kTagMagic = 'oRsT';

Handle NewTagHandle(ResType type, short id)
{
    ResourceTag tag{kTagMagic, type, id};
    Handle h = nil;
    PtrToHand(&tag, &h, sizeof tag);
    return h;
}

Handle NewMenuBarHandle(const MenuBarTemplate& t)
{
    short count = static_cast<short>(t.menuIDs.size());
    Handle h = NewHandle(sizeof(short) * (1 + t.menuIDs.size()));
    if (h == nil)
        return nil;
    std::memcpy(*h, &count, sizeof count);
    if (count > 0)
        std::memcpy(*h + sizeof count, t.menuIDs.data(), sizeof(short) * count);
    return h;
}

// The classic NavTypeList: signature, reserved, count, types.
Handle NewTypeListHandle(const TypeListTemplate& t)
{
    const size_t header = sizeof(OSType) + 2 * sizeof(short);
    Handle h = NewHandleClear(header + sizeof(OSType) * t.types.size());
    if (h == nil)
        return nil;
    short count = static_cast<short>(t.types.size());
    std::memcpy(*h, &t.componentSignature, sizeof(OSType));
    std::memcpy(*h + sizeof(OSType) + sizeof(short), &count, sizeof count);
    if (count > 0)
        std::memcpy(*h + header, t.types.data(), sizeof(OSType) * count);
    return h;
}

const ResourceTag* TagOf(Handle h)
{
    if (h == nil || *h == nil || GetHandleSize(h) != Size(sizeof(ResourceTag)))
        return nil;
    auto* tag = reinterpret_cast<const ResourceTag*>(*h);
    return tag->magic == kTagMagic ? tag : nil;
}

}  // namespace

OSErr ResError() { return gResError; }

Handle GetResource(ResType theType, short theID)
{
    Handle h = nil;
    if (theType == kMenuBarResType) {
        if (const MenuBarTemplate* t = LookupMenuBarTemplate(theID))
            h = NewMenuBarHandle(*t);
    } else if (theType == kTypeListResType) {
        if (const TypeListTemplate* t = LookupTypeListTemplate(theID))
            h = NewTypeListHandle(*t);
    } else if (HasResourceTemplate(theType, theID)) {
        h = NewTagHandle(theType, theID);
    }
    gResError = h != nil ? noErr : resNotFound;
    return h;
}

// There is one resource file, so the current file is every file.
Handle Get1Resource(ResType theType, short theID) { return GetResource(theType, theID); }

void ReleaseResource(Handle theResource)
{
    gResError = noErr;
    DisposeHandle(theResource);
}

// Every handle is already the caller's own; nothing to detach.
void DetachResource(Handle theResource) { gResError = theResource != nil ? noErr : resNotFound; }

void GetResInfo(Handle theResource, short* theID, ResType* theType, StringPtr name)
{
    const ResourceTag* tag = TagOf(theResource);
    if (theID != nil)
        *theID = tag != nil ? tag->id : 0;
    if (theType != nil)
        *theType = tag != nil ? tag->type : 0;
    if (name != nil)
        name[0] = 0;
    gResError = tag != nil ? noErr : resNotFound;
}

std::vector<OSType> TypeListFromHandle(Handle theResource)
{
    const size_t header = sizeof(OSType) + 2 * sizeof(short);
    if (theResource == nil || *theResource == nil || size_t(GetHandleSize(theResource)) < header)
        return {};
    short count = 0;
    std::memcpy(&count, *theResource + sizeof(OSType) + sizeof(short), sizeof count);
    if (count < 0 || size_t(GetHandleSize(theResource)) != header + sizeof(OSType) * count)
        return {};
    std::vector<OSType> types(count);
    if (count > 0)
        std::memcpy(types.data(), *theResource + header, sizeof(OSType) * count);
    return types;
}
