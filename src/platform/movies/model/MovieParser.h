// Building the model from a movie atom tree.
#pragma once

#include <memory>
#include <string>

#include "platform/movies/model/MovieRecord.h"

// Takes the tree (a 'moov' container) and builds the movie around it.
// Returns nil with the reason in *whyNot when the tree is no usable movie.
std::unique_ptr<MovieRecord> BuildMovieFromAtoms(std::unique_ptr<ContainerAtom> moov, const MovieSource& source,
                                                 std::string* whyNot);
