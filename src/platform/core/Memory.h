// Handles and pointers, the classic Memory Manager subset.
//
// A handle is a pointer to a master pointer; the block never moves here, but
// callers may still resize it through SetHandleSize.
#pragma once

#include "platform/core/MacTypes.h"

Handle NewHandle(Size byteCount);
Handle NewHandleClear(Size byteCount);
void DisposeHandle(Handle h);
Size GetHandleSize(Handle h);
void SetHandleSize(Handle h, Size newSize);
OSErr PtrToHand(const void* srcPtr, Handle* dstHndl, long size);
OSErr HandToHand(Handle* theHndl);
void HLock(Handle h);
void HUnlock(Handle h);
OSErr MemError();

Ptr NewPtr(Size byteCount);
Ptr NewPtrClear(Size byteCount);
void DisposePtr(Ptr p);

// Copies byteCount bytes; the ranges may overlap.
void BlockMove(const void* srcPtr, void* destPtr, Size byteCount);
void BlockMoveData(const void* srcPtr, void* destPtr, Size byteCount);
