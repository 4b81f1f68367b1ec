// The Resource Manager subset: resources by type and number.
//
// The resources are the templates registered in code (ResourceTemplates.h).
// GetResource hands out a fresh handle for each call, so that releasing it
// with ReleaseResource or DisposeHandle can never leave another caller with
// a dangling one. A missing resource gives nil and ResError() resNotFound,
// never a crash.
//
// What a resource handle holds:
// - 'MBAR': the classic layout, a short count followed by the menu numbers.
// - 'open': the classic Navigation Services type list (NavTypeList) in host
//   byte order: OSType componentSignature, short reserved, short osTypeCount,
//   OSType osType[osTypeCount].
// - every other type: a small tag naming the type and number; read it with
//   GetResInfo and look the template up (ResourceTemplates.h), or hand the
//   handle to the call that takes it (AppendDITL for a 'DITL').
#pragma once

#include <vector>

#include "platform/core/MacTypes.h"
#include "platform/ui/resources/ResourceTemplates.h"

Handle GetResource(ResType theType, short theID);
Handle Get1Resource(ResType theType, short theID);
void ReleaseResource(Handle theResource);
void DetachResource(Handle theResource);

// The result of the last resource call: noErr or resNotFound.
OSErr ResError();

// The type and number a resource handle came from. For a handle that did
// not come from GetResource, *theID is 0 and *theType 0, and ResError()
// answers resNotFound. name may be nil; it is always set empty.
void GetResInfo(Handle theResource, short* theID, ResType* theType, StringPtr name);

// The file types held by an 'open' handle (empty for any other handle).
// The Navigation Services module may equally read the layout directly.
std::vector<OSType> TypeListFromHandle(Handle theResource);
