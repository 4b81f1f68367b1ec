// Apple event descriptors: typed data, lists of descriptors and Apple
// events (a descriptor with keyword parameters and attributes).
//
// An AEDesc owns its data: every call that hands out a descriptor hands out
// a copy, which the caller releases with AEDisposeDesc, as on the classic
// system.
#pragma once

#include "platform/core/MacTypes.h"

typedef FourCharCode AEEventClass;
typedef FourCharCode AEEventID;
typedef FourCharCode AEKeyword;
typedef SInt16 AEReturnID;
typedef SInt32 AETransactionID;

struct OpaqueAEDataStorageType;
typedef OpaqueAEDataStorageType* AEDataStorage;

struct AEDesc {
    DescType descriptorType;
    AEDataStorage dataHandle;
};
typedef AEDesc AEDescList;
typedef AEDesc AERecord;
typedef AEDesc AEAddressDesc;
typedef AEDesc AppleEvent;
typedef AppleEvent* AppleEventPtr;

enum : DescType {
    typeNull = 'null',
    typeWildCard = '****',
    typeAEList = 'list',
    typeAERecord = 'reco',
    typeAppleEvent = 'aevt',
    typeFSS = 'fss ',
    typeChar = 'TEXT',
    typeUTF8Text = 'utf8',
    typeSInt32 = 'long',
    typeType = 'type',
};
enum : DescType { typeLongInteger = typeSInt32 };

enum : AEKeyword {
    keyDirectObject = '----',
    keyEventClassAttr = 'evcl',
    keyEventIDAttr = 'evid',
};

enum {
    errAECoercionFail = -1700,
    errAEDescNotFound = -1701,
    errAECorruptData = -1702,
    errAEWrongDataType = -1703,
    errAENotAEDesc = -1704,
    errAEBadListItem = -1705,
    errAENotAppleEvent = -1707,
    errAEEventNotHandled = -1708,
    errAEHandlerNotFound = -1717,
    errAEIllegalIndex = -1719,
};

enum : AEReturnID { kAutoGenerateReturnID = -1 };
enum : AETransactionID { kAnyTransactionID = 0 };

// A descriptor holding a copy of dataSize bytes.
OSErr AECreateDesc(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* result);
// An empty list (isRecord false) or record. Factoring is not supported:
// factoringPtr must be nil and factoredSize 0.
OSErr AECreateList(const void* factoringPtr, Size factoredSize, Boolean isRecord, AEDescList* resultList);
OSErr AEDuplicateDesc(const AEDesc* theAEDesc, AEDesc* result);
// Releases the data and leaves a null descriptor; harmless on a null one.
OSErr AEDisposeDesc(AEDesc* theAEDesc);

// Items of a list, counted from 1. AEPutPtr/AEPutDesc replace item `index`,
// or append when index is 0 or one past the end; errAEIllegalIndex beyond.
OSErr AECountItems(const AEDescList* theAEDescList, long* theCount);
OSErr AEPutPtr(AEDescList* theAEDescList, long index, DescType typeCode, const void* dataPtr, Size dataSize);
OSErr AEPutDesc(AEDescList* theAEDescList, long index, const AEDesc* theAEDesc);
// Copies up to maximumSize bytes of item `index` into dataPtr; actualSize
// receives the item's full size, typeCode its type. desiredType must be the
// item's type or typeWildCard (errAECoercionFail otherwise).
OSErr AEGetNthPtr(const AEDescList* theAEDescList, long index, DescType desiredType, AEKeyword* theAEKeyword,
                  DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize);
OSErr AEGetNthDesc(const AEDescList* theAEDescList, long index, DescType desiredType, AEKeyword* theAEKeyword,
                   AEDesc* result);

// Apple events.
OSErr AECreateAppleEvent(AEEventClass theAEEventClass, AEEventID theAEEventID, const AEAddressDesc* target,
                         AEReturnID returnID, AETransactionID transactionID, AppleEvent* result);
// Stores a copy of theAEDesc as parameter theAEKeyword, replacing any.
OSErr AEPutParamDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, const AEDesc* theAEDesc);
// A copy of a parameter: errAEDescNotFound when absent. desiredType
// typeAEList turns a single descriptor into a one-item list; other types
// must match (or be typeWildCard), else errAECoercionFail.
OSErr AEGetParamDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType, AEDesc* result);
// keyEventClassAttr / keyEventIDAttr as typeType (4 bytes).
OSErr AEGetAttributePtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                        DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize);

// Orvo: the class and ID of an Apple event; false for other descriptors.
bool AEEventIdentity(const AppleEvent* theAppleEvent, AEEventClass* eventClass, AEEventID* eventID);
