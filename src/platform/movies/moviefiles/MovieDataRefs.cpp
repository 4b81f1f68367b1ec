#include "platform/movies/moviefiles/MovieDataRefs.h"

#include <algorithm>
#include <filesystem>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/movies/moviefiles/AliasRecord.h"
#include "platform/filesystem/SafeFileOps.h"
#include "platform/movies/model/MovieSeam.h"

namespace fs = std::filesystem;

namespace {

// What a reference may lead to: the person chose the movie, not the files
// it names, so a reference is followed only to something that is plainly a
// movie file of theirs. Anything under /proc, /sys or /dev, anything not a
// regular file (devices, FIFOs, sockets), anything unreadable, and any file
// that does not start with a movie file's top-level atom is refused.
enum class Candidate { absent, refused, accepted };

bool UnderFolder(const std::string& path, const char* folder)
{
    size_t n = std::strlen(folder);
    return path.compare(0, n, folder) == 0 && (path.size() == n || path[n] == '/');
}

bool StartsWithMovieAtom(const UInt8* head)
{
    static const OSType kTopLevel[] = {'ftyp', 'moov', 'mdat', 'wide', 'free', 'skip', 'pnot', 'uuid', 'junk'};
    OSType type = (OSType(head[4]) << 24) | (OSType(head[5]) << 16) | (OSType(head[6]) << 8) | head[7];
    return std::find(std::begin(kTopLevel), std::end(kTopLevel), type) != std::end(kTopLevel);
}

Candidate CheckCandidate(const std::string& path)
{
    struct stat st {};
    if (path.empty() || lstat(path.c_str(), &st) != 0)
        return Candidate::absent;
    // Links are judged by where they lead.
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return Candidate::absent;
    std::string target(real);
    std::free(real);
    for (const char* folder : {"/proc", "/sys", "/dev"})
        if (UnderFolder(target, folder))
            return Candidate::refused;
    if (stat(target.c_str(), &st) != 0)
        return Candidate::absent;
    if (!S_ISREG(st.st_mode))
        return Candidate::refused;
    // Non-blocking, so that a file swapped for a FIFO after the check cannot
    // hang the open; the type is checked again on what was opened.
    int fd = open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return Candidate::refused;
    UInt8 head[8];
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && pread(fd, head, sizeof head, 0) == ssize_t(sizeof head) &&
              StartsWithMovieAtom(head);
    close(fd);
    return ok ? Candidate::accepted : Candidate::refused;
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
    entry->resolvedPath.clear();
    entry->refused = false;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        Candidate c = CheckCandidate(candidates[i]);
        if (c == Candidate::refused)
            entry->refused = true;
        if (c != Candidate::accepted)
            continue;
        entry->resolvedPath = candidates[i];
        entry->refused = false;
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

std::string ReferenceText(const DataRefEntry& entry)
{
    if (entry.IsSelf())
        return "self";
    if (entry.type == 'url ')
        return std::string(entry.data.begin(), std::find(entry.data.begin(), entry.data.end(), UInt8(0)));
    if (entry.type == 'alis') {
        AliasRecordInfo info;
        if (DecodeAliasRecord(entry.data, &info) == noErr)
            return !info.posixPath.empty() ? info.posixPath : !info.hfsPath.empty() ? info.hfsPath : info.fileName;
    }
    std::string type;
    for (int shift = 24; shift >= 0; shift -= 8)
        type += char(entry.type >> shift);
    return type;
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
