// The movie as Orvo sees it, as JSON, through the movie toolbox's calls.
#pragma once

#include <string>

#include "platform/movies/Movies.h"
#include "tools/moviedump/JsonWriter.h"

// Writes the movie as one object named name (empty inside an array or at
// the top level).
void WriteMovieJson(JsonWriter& j, Movie movie, const std::string& name = "");

// A data reference as shown: its file, or "missing: TEXT" / "refused: TEXT"
// with the reference as the file writes it.
std::string DataRefName(Media media, short index);
