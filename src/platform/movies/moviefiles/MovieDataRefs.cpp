#include "platform/movies/moviefiles/MovieDataRefs.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "platform/movies/moviefiles/AliasRecord.h"
#include "platform/filesystem/SafeFileOps.h"
#include "platform/movies/model/MovieSeam.h"

namespace fs = std::filesystem;

namespace {

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string PercentDecode(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        int hi = i + 2 < text.size() + 0 && text[i] == '%' ? HexValue(text[i + 1]) : -1;
        int lo = hi >= 0 ? HexValue(text[i + 2]) : -1;
        if (hi >= 0 && lo >= 0) {
            out.push_back(char(hi * 16 + lo));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// Resolves one entry; true when its file was found.
bool ResolveEntry(DataRefEntry* entry, const std::string& movieFilePath, Boolean* changed)
{
    std::vector<std::string> candidates;
    if (entry->type == 'alis') {
        AliasRecordInfo info;
        if (DecodeAliasRecord(entry->data, &info) != noErr)
            return false;
        candidates = AliasCandidatePaths(info, movieFilePath);
    } else if (entry->type == 'url ') {
        std::string path = MovieDataRefs::PathFromUrlEntry(entry->data, movieFilePath);
        if (!path.empty())
            candidates.push_back(path);
    }
    for (std::size_t i = 0; i < candidates.size(); ++i)
        if (IsRegularFile(candidates[i])) {
            entry->resolvedPath = candidates[i];
            if (i > 0 && changed)
                *changed = true;
            return true;
        }
    return false;
}

template <typename Visit>
void ForEachDataRef(Movie theMovie, Visit visit)
{
    long trackCount = GetMovieTrackCount(theMovie);
    for (long t = 1; t <= trackCount; ++t) {
        Media media = GetTrackMedia(GetMovieIndTrack(theMovie, t));
        if (!media)
            continue;
        short count = CountMediaDataRefs(media);
        for (short i = 1; i <= count; ++i)
            if (DataRefEntry* entry = GetMediaDataRefEntry(media, i))
                visit(entry);
    }
}

}  // namespace

namespace MovieDataRefs {

std::string PathFromUrlEntry(const std::vector<UInt8>& data, const std::string& movieFilePath)
{
    std::string url(data.begin(), std::find(data.begin(), data.end(), UInt8(0)));
    if (url.empty())
        return {};
    if (url.rfind("file://", 0) == 0) {
        std::string rest = url.substr(7);
        std::size_t slash = rest.find('/');  // skip "localhost" or an empty host
        return slash == std::string::npos ? std::string() : PercentDecode(rest.substr(slash));
    }
    if (url.find("://") != std::string::npos || url.rfind("data:", 0) == 0)
        return {};
    fs::path p = PercentDecode(url);
    if (p.is_absolute())
        return p.string();
    return (fs::path(SafeFileOps::FolderOf(movieFilePath)) / p).lexically_normal().string();
}

OSErr Resolve(Movie theMovie, const std::string& movieFilePath, Boolean* changed)
{
    OSErr result = noErr;
    ForEachDataRef(theMovie, [&](DataRefEntry* entry) {
        if (entry->IsSelf()) {
            if (entry->resolvedPath.empty())
                entry->resolvedPath = movieFilePath;
            return;
        }
        if (!ResolveEntry(entry, movieFilePath, changed))
            result = couldNotResolveDataRef;
    });
    return result;
}

DataRefEntry MakeAliasEntry(const std::string& dataPath, const std::string& destinationPath)
{
    DataRefEntry entry;
    entry.type = 'alis';
    entry.flags = 0;
    AliasRecordInfo info = DescribeAliasTarget(dataPath, destinationPath);
    info.fileType = 'MooV';
    entry.data = EncodeAliasRecord(info);
    entry.resolvedPath = dataPath;
    return entry;
}

std::vector<std::string> DataFiles(Movie theMovie)
{
    std::vector<std::string> files;
    ForEachDataRef(theMovie, [&](DataRefEntry* entry) {
        if (!entry->resolvedPath.empty() &&
            std::find(files.begin(), files.end(), entry->resolvedPath) == files.end())
            files.push_back(entry->resolvedPath);
    });
    return files;
}

bool MovieUsesFile(Movie theMovie, const std::string& path)
{
    for (const auto& file : DataFiles(theMovie))
        if (SafeFileOps::SameFile(file, path))
            return true;
    return false;
}

bool SampleRangesIn(Movie theMovie, const std::string& path, std::vector<std::pair<UInt64, UInt64>>* ranges)
{
    ranges->clear();
    long trackCount = GetMovieTrackCount(theMovie);
    for (long t = 1; t <= trackCount; ++t) {
        Media media = GetTrackMedia(GetMovieIndTrack(theMovie, t));
        if (!media)
            continue;
        std::vector<bool> inFile(std::size_t(CountMediaDataRefs(media)) + 1, false);
        for (short i = 1; i < short(inFile.size()); ++i) {
            DataRefEntry* entry = GetMediaDataRefEntry(media, i);
            if (!entry || entry->resolvedPath.empty())
                return false;
            inFile[std::size_t(i)] = SafeFileOps::SameFile(entry->resolvedPath, path);
        }
        ForEachMediaChunk(media, [&](const MediaChunk& chunk) {
            if (chunk.dataRefIndex < inFile.size() && inFile[chunk.dataRefIndex] && chunk.size > 0)
                ranges->push_back({chunk.fileOffset, chunk.fileOffset + chunk.size});
            return true;
        });
    }
    std::sort(ranges->begin(), ranges->end());
    std::vector<std::pair<UInt64, UInt64>> merged;
    for (const auto& r : *ranges) {
        if (!merged.empty() && r.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    *ranges = std::move(merged);
    return true;
}

}  // namespace MovieDataRefs
