// Movies made by ffmpeg for the playback tests, and ffmpeg's own decoding of
// them as the reference the engine's pictures are compared with.
#pragma once

#include <string>
#include <vector>

#include "platform/movies/Movies.h"

namespace playbacktest {

// A scratch folder for this test program, removed at exit.
const std::string& Folder();
// Runs ffmpeg with args writing `name` in the folder, once per program;
// returns the path ("" after a failure, which fails the test).
std::string MakeMovie(const std::string& name, const std::string& args);
// Opens a movie file and reads its movie; the file stays open.
Movie OpenMovie(const std::string& path);
// Frame `index` (in display order) of the file's first video stream, as
// ffmpeg decodes it, scaled to width x height, 0xAARRGGBB.
std::vector<UInt32> FfmpegFrame(const std::string& path, int index, int width, int height);
// Peak signal-to-noise ratio of two pictures over their colour channels.
double Psnr(const std::vector<UInt32>& a, const std::vector<UInt32>& b);
// The first stereo frame whose left sample's magnitude passes threshold; -1 when none.
long FirstLoudFrame(const std::vector<SInt16>& frames, int threshold = 200);
// A case's name as a test name: letters and digits, the rest '_'.
std::string TestName(const char* name);
// The last loud frame; -1 when none.
long LastLoudFrame(const std::vector<SInt16>& frames);

}  // namespace playbacktest
