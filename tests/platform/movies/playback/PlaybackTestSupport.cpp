#include "PlaybackTestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "platform/filesystem/Files.h"
#include "platform/movies/moviefiles/MovieFiles.h"
#include "support/RunCommand.h"
#include "support/ScratchFolder.h"

namespace playbacktest {


const std::string& Folder()
{
    static ScratchFolder scratch;
    return scratch.Path();
}

std::string MakeMovie(const std::string& name, const std::string& args)
{
    static std::map<std::string, std::string> made;
    auto it = made.find(name);
    if (it != made.end())
        return it->second;
    std::string path = Folder() + "/" + name;
    std::string out;
    int status = RunCommand("ffmpeg -nostdin -hide_banner -loglevel error -y " + args + " '" + path + "'", &out);
    EXPECT_EQ(status, 0) << out;
    return made[name] = status == 0 ? path : std::string();
}

Movie OpenMovie(const std::string& path)
{
    FSSpec location{};
    FSPathMakeFSSpec(path.c_str(), &location, nullptr);
    short refNum = 0;
    EXPECT_EQ(OpenMovieFile(&location, &refNum, fsRdPerm), noErr) << path;
    Movie movie = nullptr;
    short id = 0;
    EXPECT_EQ(NewMovieFromFile(&movie, refNum, &id, nullptr, newMovieActive, nullptr), noErr) << path;
    return movie;
}

std::vector<UInt32> FfmpegFrame(const std::string& path, int index, int width, int height)
{
    char filter[160];
    std::snprintf(filter, sizeof filter, "select=eq(n\\,%d),scale=%d:%d:flags=bilinear", index, width, height);
    std::string raw = CommandOutput("ffmpeg -nostdin -loglevel error -i '" + path + "' -vf '" + filter +
                                    "' -frames:v 1 -f rawvideo -pix_fmt bgra -");
    std::vector<UInt32> pixels(size_t(width) * height);
    EXPECT_EQ(raw.size(), pixels.size() * 4) << path << " frame " << index;
    std::memcpy(pixels.data(), raw.data(), std::min(raw.size(), pixels.size() * 4));
    return pixels;
}

double Psnr(const std::vector<UInt32>& a, const std::vector<UInt32>& b)
{
    if (a.size() != b.size() || a.empty())
        return 0;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16}) {
            double d = double((a[i] >> shift) & 0xFF) - double((b[i] >> shift) & 0xFF);
            sum += d * d;
        }
    double mse = sum / double(a.size() * 3);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

long FirstLoudFrame(const std::vector<SInt16>& frames, int threshold)
{
    for (size_t i = 0; i + 1 < frames.size(); i += 2)
        if (std::abs(int(frames[i])) > threshold)
            return long(i / 2);
    return -1;
}

std::string TestName(const char* name)
{
    std::string out = name;
    for (char& c : out)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return out;
}

long LastLoudFrame(const std::vector<SInt16>& frames)
{
    for (size_t i = frames.size(); i >= 2; i -= 2)
        if (std::abs(int(frames[i - 2])) > 200)
            return long(i / 2 - 1);
    return -1;
}

}  // namespace playbacktest
