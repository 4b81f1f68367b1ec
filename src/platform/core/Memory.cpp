#include "platform/core/Memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The block behind a handle: the master pointer lives in front of its size.
struct HandleBlock {
    Ptr master;
    Size size;
};

OSErr gMemError = noErr;

HandleBlock* BlockOf(Handle h) { return reinterpret_cast<HandleBlock*>(h); }

}  // namespace

OSErr MemError() { return gMemError; }

Handle NewHandle(Size byteCount)
{
    gMemError = noErr;
    if (byteCount < 0) {
        gMemError = paramErr;
        return nil;
    }
    auto* block = new (std::nothrow) HandleBlock{nil, byteCount};
    if (block == nil) {
        gMemError = memFullErr;
        return nil;
    }
    block->master = static_cast<Ptr>(std::malloc(byteCount > 0 ? byteCount : 1));
    if (block->master == nil) {
        delete block;
        gMemError = memFullErr;
        return nil;
    }
    return &block->master;
}

Handle NewHandleClear(Size byteCount)
{
    Handle h = NewHandle(byteCount);
    if (h != nil && byteCount > 0)
        std::memset(*h, 0, byteCount);
    return h;
}

void DisposeHandle(Handle h)
{
    gMemError = noErr;
    if (h == nil)
        return;
    std::free(*h);
    delete BlockOf(h);
}

Size GetHandleSize(Handle h)
{
    if (h == nil) {
        gMemError = nilHandleErr;
        return 0;
    }
    gMemError = noErr;
    return BlockOf(h)->size;
}

void SetHandleSize(Handle h, Size newSize)
{
    if (h == nil || newSize < 0) {
        gMemError = h == nil ? nilHandleErr : paramErr;
        return;
    }
    Ptr grown = static_cast<Ptr>(std::realloc(*h, newSize > 0 ? newSize : 1));
    if (grown == nil) {
        gMemError = memFullErr;
        return;
    }
    *h = grown;
    BlockOf(h)->size = newSize;
    gMemError = noErr;
}

OSErr PtrToHand(const void* srcPtr, Handle* dstHndl, long size)
{
    Handle h = NewHandle(size);
    if (h == nil)
        return MemError();
    if (size > 0)
        std::memcpy(*h, srcPtr, size);
    *dstHndl = h;
    return noErr;
}

OSErr HandToHand(Handle* theHndl)
{
    if (theHndl == nil || *theHndl == nil)
        return nilHandleErr;
    Handle src = *theHndl;
    return PtrToHand(*src, theHndl, GetHandleSize(src));
}

void HLock(Handle) {}
void HUnlock(Handle) {}

Ptr NewPtr(Size byteCount)
{
    gMemError = noErr;
    Ptr p = byteCount >= 0 ? static_cast<Ptr>(std::malloc(byteCount > 0 ? byteCount : 1)) : nil;
    if (p == nil)
        gMemError = memFullErr;
    return p;
}

Ptr NewPtrClear(Size byteCount)
{
    Ptr p = NewPtr(byteCount);
    if (p != nil && byteCount > 0)
        std::memset(p, 0, byteCount);
    return p;
}

void DisposePtr(Ptr p) { std::free(p); }

void BlockMove(const void* srcPtr, void* destPtr, Size byteCount)
{
    if (byteCount > 0 && srcPtr != nil && destPtr != nil)
        std::memmove(destPtr, srcPtr, byteCount);
}

void BlockMoveData(const void* srcPtr, void* destPtr, Size byteCount)
{
    BlockMove(srcPtr, destPtr, byteCount);
}
