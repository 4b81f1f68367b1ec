#include "platform/movies/playback/SampleReader.h"

#include <fcntl.h>
#include <unistd.h>

SampleReader::SampleReader(std::shared_ptr<const SnapshotTrack> t) : track(std::move(t)) {}

SampleReader::~SampleReader()
{
    for (auto& [path, fd] : files)
        if (fd >= 0)
            close(fd);
}

int SampleReader::FileFor(UInt32 descriptionIndex)
{
    std::string path = track->FileForDescription(descriptionIndex);
    if (path.empty())
        return -1;
    auto it = files.find(path);
    if (it == files.end())
        it = files.emplace(path, open(path.c_str(), O_RDONLY | O_CLOEXEC)).first;
    return it->second;
}

bool SampleReader::ReadRange(UInt32 descriptionIndex, UInt64 offset, size_t size, std::vector<UInt8>* bytes)
{
    int fd = FileFor(descriptionIndex);
    if (fd < 0 || size > (size_t(1) << 30))
        return false;
    bytes->resize(size);
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fd, bytes->data() + done, size - done, off_t(offset + done));
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

bool SampleReader::Read(UInt32 sampleNumber, SampleVisit* visit, std::vector<UInt8>* bytes)
{
    if (!track->table.LookUpSample(sampleNumber, visit))
        return false;
    return ReadRange(visit->sampleDescriptionIndex, visit->offset, visit->size, bytes);
}

std::string SampleReader::MissingFile()
{
    for (UInt32 i = 1; i <= track->sampleDescriptions.size(); ++i)
        if (FileFor(i) < 0)
            return track->NameForDescription(i);
    return {};
}
