// Result codes of the movie toolbox, with their classic values, and the
// "last error" that every movie call leaves behind for GetMoviesError.
#pragma once

#include <new>
#include <stdexcept>
#include <type_traits>

#include "platform/core/MacTypes.h"

enum {
    couldNotResolveDataRef = -2000,
    badImageDescription = -2001,
    badPublicMovieAtom = -2002,
    cantFindHandler = -2003,
    cantOpenHandler = -2004,
    badComponentType = -2005,
    noMediaHandler = -2006,
    noDataHandler = -2007,
    invalidMedia = -2008,
    invalidTrack = -2009,
    invalidMovie = -2010,
    invalidSampleTable = -2011,
    invalidDataRef = -2012,
    invalidHandler = -2013,
    invalidDuration = -2014,
    invalidTime = -2015,
    cantPutPublicMovieAtom = -2016,
    badEditList = -2017,
    mediaTypesDontMatch = -2018,
    progressProcAborted = -2019,
    movieToolboxUninitialized = -2020,
    cantCreateSingleForkFile = -2022,
    userDataItemNotFound = -2026,
    badTrackIndex = -2028,
    trackIDNotFound = -2029,
    trackNotInMovie = -2030,
    timeNotInTrack = -2031,
    timeNotInMedia = -2032,
    badEditIndex = -2033,
    internalQuickTimeError = -2034,
    invalidSampleNum = -2037,
    invalidChunkNum = -2038,
    invalidSampleDescIndex = -2039,
    invalidSampleDescription = -2041,
    noMovieFound = -2048,
    badDataRefIndex = -2050,
    featureUnsupported = -2053,
};

// The result of the most recent movie toolbox call (noErr after success).
OSErr GetMoviesError();

// Sets the result that GetMoviesError reports; every movie call, the file
// layer's included, ends by calling it.
void SetMoviesError(OSErr err);

// Leaves err for GetMoviesError and returns it, so that a call can end with
// `return MoviesResult(err);`.
inline OSErr MoviesResult(OSErr err)
{
    SetMoviesError(err);
    return err;
}

// Running out of memory inside a call: std::bad_alloc, or std::length_error
// for a size no container can hold (a count from a file, multiplied out).
// Calls that allocate run their body through one of these two, so that the
// caller sees the classic memFullErr and never an exception. A guarded body
// makes everything new before it changes anything, so a call that runs out
// of memory leaves the movie as it was.

// For a call that returns its result code: memFullErr.
template <class Body>
OSErr GuardMemory(Body&& body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return MoviesResult(memFullErr);
}

// For a call that returns a value or nothing: an empty value (nil, 0), with
// memFullErr for GetMoviesError.
template <class Body>
auto GuardMemoryValue(Body&& body) -> std::invoke_result_t<Body>
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    SetMoviesError(memFullErr);
    if constexpr (!std::is_void_v<std::invoke_result_t<Body>>)
        return {};
}
