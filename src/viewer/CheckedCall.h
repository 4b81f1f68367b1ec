// The commands check every movie toolbox call they make: a failing call is
// shown in the error alert under its own name, and the command goes on with
// whatever the call returned.
#pragma once

#include "platform/movies/Movies.h"
#include "util/MyError.h"

template <class T> T Checked(T result, ConstStringPtr callName)
{
    FailErr(GetMoviesError(), callName);
    return result;
}
