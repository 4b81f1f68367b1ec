#include "platform/ui/appleevents/AEDescriptors.h"

#include <algorithm>
#include <cstring>
#include <vector>

// The data behind a descriptor. Scalars keep their bytes; lists, records and
// Apple events keep their items (with keywords for the last two); an Apple
// event also knows its class and ID.
struct AEItem;
struct OpaqueAEDataStorageType {
    std::vector<UInt8> bytes;
    std::vector<AEItem> items;
    AEEventClass eventClass = 0;
    AEEventID eventID = 0;
};
struct AEItem {
    AEKeyword keyword;
    DescType type;
    OpaqueAEDataStorageType data;
};

namespace {

void MakeNull(AEDesc* desc)
{
    desc->descriptorType = typeNull;
    desc->dataHandle = nil;
}

void MakeDesc(DescType type, const OpaqueAEDataStorageType& data, AEDesc* result)
{
    result->descriptorType = type;
    result->dataHandle = new OpaqueAEDataStorageType(data);
}

bool HoldsItems(const AEDesc* desc)
{
    return desc != nil && desc->dataHandle != nil &&
           (desc->descriptorType == typeAEList || desc->descriptorType == typeAERecord ||
            desc->descriptorType == typeAppleEvent);
}

bool IsListOrRecord(const AEDesc* desc)
{
    return HoldsItems(desc) && desc->descriptorType != typeAppleEvent;
}

// A descriptor whose data is items rather than bytes has no flat form.
bool IsFlat(DescType type)
{
    return type != typeAEList && type != typeAERecord && type != typeAppleEvent;
}

OSErr FindItem(const AEDescList* list, long index, const AEItem** item)
{
    if (!IsListOrRecord(list))
        return errAEWrongDataType;
    const std::vector<AEItem>& items = list->dataHandle->items;
    if (index < 1 || static_cast<size_t>(index) > items.size())
        return errAEIllegalIndex;
    *item = &items[static_cast<size_t>(index) - 1];
    return noErr;
}

// Copies up to maximumSize of bytes to dataPtr and reports the full size.
OSErr CopyOut(const std::vector<UInt8>& bytes, void* dataPtr, Size maximumSize, Size* actualSize)
{
    if (maximumSize < 0 || (dataPtr == nil && maximumSize > 0))
        return paramErr;
    size_t n = std::min(bytes.size(), static_cast<size_t>(maximumSize));
    if (n > 0)
        std::memcpy(dataPtr, bytes.data(), n);
    if (actualSize != nil)
        *actualSize = static_cast<Size>(bytes.size());
    return noErr;
}

OSErr InsertItem(AEDescList* list, long index, AEItem item)
{
    if (!IsListOrRecord(list))
        return errAEWrongDataType;
    std::vector<AEItem>& items = list->dataHandle->items;
    if (index == 0 || static_cast<size_t>(index) == items.size() + 1) {
        items.push_back(std::move(item));
        return noErr;
    }
    if (index < 0 || static_cast<size_t>(index) > items.size())
        return errAEIllegalIndex;
    items[static_cast<size_t>(index) - 1] = std::move(item);
    return noErr;
}

}  // namespace

OSErr AECreateDesc(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* result)
{
    if (result == nil || dataSize < 0 || (dataPtr == nil && dataSize > 0))
        return paramErr;
    OpaqueAEDataStorageType data;
    if (dataSize > 0) {
        const UInt8* bytes = static_cast<const UInt8*>(dataPtr);
        data.bytes.assign(bytes, bytes + dataSize);
    }
    MakeDesc(typeCode, data, result);
    return noErr;
}

OSErr AECreateList(const void* factoringPtr, Size factoredSize, Boolean isRecord, AEDescList* resultList)
{
    if (resultList == nil)
        return paramErr;
    MakeNull(resultList);
    if (factoringPtr != nil || factoredSize != 0)
        return paramErr;
    MakeDesc(isRecord ? typeAERecord : typeAEList, OpaqueAEDataStorageType(), resultList);
    return noErr;
}

OSErr AEDuplicateDesc(const AEDesc* theAEDesc, AEDesc* result)
{
    if (theAEDesc == nil || result == nil)
        return paramErr;
    if (theAEDesc->dataHandle == nil) {
        *result = *theAEDesc;
        return noErr;
    }
    MakeDesc(theAEDesc->descriptorType, *theAEDesc->dataHandle, result);
    return noErr;
}

OSErr AEDisposeDesc(AEDesc* theAEDesc)
{
    if (theAEDesc == nil)
        return paramErr;
    delete theAEDesc->dataHandle;
    MakeNull(theAEDesc);
    return noErr;
}

OSErr AECountItems(const AEDescList* theAEDescList, long* theCount)
{
    if (theCount == nil)
        return paramErr;
    if (!IsListOrRecord(theAEDescList))
        return errAEWrongDataType;
    *theCount = static_cast<long>(theAEDescList->dataHandle->items.size());
    return noErr;
}

OSErr AEPutPtr(AEDescList* theAEDescList, long index, DescType typeCode, const void* dataPtr, Size dataSize)
{
    if (dataSize < 0 || (dataPtr == nil && dataSize > 0))
        return paramErr;
    AEItem item{typeWildCard, typeCode, {}};
    if (dataSize > 0) {
        const UInt8* bytes = static_cast<const UInt8*>(dataPtr);
        item.data.bytes.assign(bytes, bytes + dataSize);
    }
    return InsertItem(theAEDescList, index, std::move(item));
}

OSErr AEPutDesc(AEDescList* theAEDescList, long index, const AEDesc* theAEDesc)
{
    if (theAEDesc == nil)
        return paramErr;
    AEItem item{typeWildCard, theAEDesc->descriptorType, {}};
    if (theAEDesc->dataHandle != nil)
        item.data = *theAEDesc->dataHandle;
    return InsertItem(theAEDescList, index, std::move(item));
}

OSErr AEGetNthPtr(const AEDescList* theAEDescList, long index, DescType desiredType, AEKeyword* theAEKeyword,
                  DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize)
{
    const AEItem* item = nil;
    if (OSErr err = FindItem(theAEDescList, index, &item))
        return err;
    if (!IsFlat(item->type))
        return errAEWrongDataType;
    if (desiredType != typeWildCard && desiredType != item->type)
        return errAECoercionFail;
    if (OSErr err = CopyOut(item->data.bytes, dataPtr, maximumSize, actualSize))
        return err;
    if (theAEKeyword != nil)
        *theAEKeyword = item->keyword;
    if (typeCode != nil)
        *typeCode = item->type;
    return noErr;
}

OSErr AEGetNthDesc(const AEDescList* theAEDescList, long index, DescType desiredType, AEKeyword* theAEKeyword,
                   AEDesc* result)
{
    if (result == nil)
        return paramErr;
    MakeNull(result);
    const AEItem* item = nil;
    if (OSErr err = FindItem(theAEDescList, index, &item))
        return err;
    if (desiredType != typeWildCard && desiredType != item->type)
        return errAECoercionFail;
    if (theAEKeyword != nil)
        *theAEKeyword = item->keyword;
    MakeDesc(item->type, item->data, result);
    return noErr;
}

OSErr AECreateAppleEvent(AEEventClass theAEEventClass, AEEventID theAEEventID, const AEAddressDesc* target,
                         AEReturnID returnID, AETransactionID transactionID, AppleEvent* result)
{
    if (result == nil)
        return paramErr;
    OpaqueAEDataStorageType data;
    data.eventClass = theAEEventClass;
    data.eventID = theAEEventID;
    MakeDesc(typeAppleEvent, data, result);
    return noErr;
}

OSErr AEPutParamDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, const AEDesc* theAEDesc)
{
    if (theAEDesc == nil)
        return paramErr;
    if (!HoldsItems(theAppleEvent) || theAppleEvent->descriptorType == typeAEList)
        return errAEWrongDataType;
    AEItem item{theAEKeyword, theAEDesc->descriptorType, {}};
    if (theAEDesc->dataHandle != nil)
        item.data = *theAEDesc->dataHandle;
    std::vector<AEItem>& items = theAppleEvent->dataHandle->items;
    auto same = std::find_if(items.begin(), items.end(), [&](const AEItem& i) { return i.keyword == theAEKeyword; });
    if (same != items.end())
        *same = std::move(item);
    else
        items.push_back(std::move(item));
    return noErr;
}

OSErr AEGetParamDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType, AEDesc* result)
{
    if (result == nil)
        return paramErr;
    MakeNull(result);
    if (!HoldsItems(theAppleEvent) || theAppleEvent->descriptorType == typeAEList)
        return errAEWrongDataType;
    const std::vector<AEItem>& items = theAppleEvent->dataHandle->items;
    auto found = std::find_if(items.begin(), items.end(), [&](const AEItem& i) { return i.keyword == theAEKeyword; });
    if (found == items.end())
        return errAEDescNotFound;
    if (desiredType == typeWildCard || desiredType == found->type) {
        MakeDesc(found->type, found->data, result);
        return noErr;
    }
    if (desiredType == typeAEList) {
        // Any single descriptor reads as a list holding just that item.
        OpaqueAEDataStorageType list;
        list.items.push_back(AEItem{typeWildCard, found->type, found->data});
        MakeDesc(typeAEList, list, result);
        return noErr;
    }
    return errAECoercionFail;
}

OSErr AEGetAttributePtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                        DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize)
{
    AEEventClass eventClass;
    AEEventID eventID;
    if (!AEEventIdentity(theAppleEvent, &eventClass, &eventID))
        return errAEWrongDataType;
    if (theAEKeyword != keyEventClassAttr && theAEKeyword != keyEventIDAttr)
        return errAEDescNotFound;
    if (desiredType != typeWildCard && desiredType != typeType)
        return errAECoercionFail;
    FourCharCode value = theAEKeyword == keyEventClassAttr ? eventClass : eventID;
    std::vector<UInt8> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    if (OSErr err = CopyOut(bytes, dataPtr, maximumSize, actualSize))
        return err;
    if (typeCode != nil)
        *typeCode = typeType;
    return noErr;
}

bool AEEventIdentity(const AppleEvent* theAppleEvent, AEEventClass* eventClass, AEEventID* eventID)
{
    if (theAppleEvent == nil || theAppleEvent->descriptorType != typeAppleEvent || theAppleEvent->dataHandle == nil)
        return false;
    if (eventClass != nil)
        *eventClass = theAppleEvent->dataHandle->eventClass;
    if (eventID != nil)
        *eventID = theAppleEvent->dataHandle->eventID;
    return true;
}
