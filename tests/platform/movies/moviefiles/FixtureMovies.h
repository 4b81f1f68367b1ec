// Movies made by ffmpeg for the tests, once per test program, in a scratch
// folder: several tracks, a track offset, a timecode track, an odd time
// scale, the movie atom at either end, a fragmented file, and a sparse file
// whose samples lie beyond 4 GiB.
#pragma once

#include <string>

#include "platform/movies/Movies.h"

namespace FixtureMovies {

// The folder holding the fixtures (made on first use).
const std::string& Folder();
// Path of a fixture by name; made on first use. Names:
//   "av.mov"          video 160x120 25 fps 2 s (mpeg4) + 48 kHz PCM sound, movie atom at the end
//   "faststart.mp4"   the same as MP4 with the movie atom first
//   "offset.mov"      sound starting 1 s late (a leading empty edit)
//   "timecode.mov"    video with a timecode track
//   "oddscale.mov"    video with media time scale 7919
//   "fragmented.mp4"  fragmented MP4, a fragment every 5 frames
//   "h264aac.mov"     H.264 160x120 25 fps 2.4 s (no B-frames) + 48 kHz AAC
std::string Path(const std::string& name);

// Copies a fixture into folder (tests change their copies, never the originals).
std::string CopyTo(const std::string& name, const std::string& folder);

// Opens a movie file read/write and reads its movie (resource ID 0); fails
// the test on error. *refNum receives the open file.
Movie Open(const std::string& path, short* refNum, short* resId = nullptr);

}  // namespace FixtureMovies
