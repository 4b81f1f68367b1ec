#include "platform/movies/moviefiles/MovieFileTable.h"

#include <map>
#include <sys/stat.h>

namespace {

std::map<short, MovieFileRecord>& Records()
{
    static std::map<short, MovieFileRecord> records;
    return records;
}

}  // namespace

namespace MovieFileTable {

// Reference numbers start well away from 0 and -1, which callers use as
// "no file", and are not reused while the process runs, so a stale number
// never reaches another file.
short Add(MovieFileRecord record)
{
    static short next = 1000;
    if (next >= 32000)
        next = 1000;
    while (Records().count(next))
        ++next;
    short refNum = next++;
    Records()[refNum] = std::move(record);
    return refNum;
}

MovieFileRecord* Find(short refNum)
{
    auto it = Records().find(refNum);
    return it == Records().end() ? nullptr : &it->second;
}

void Remove(short refNum) { Records().erase(refNum); }

bool IsOpenForWriting(dev_t dev, ino_t ino, short except)
{
    for (const auto& [refNum, record] : Records()) {
        struct stat st {};
        if (refNum != except && record.writable && fstat(record.fd, &st) == 0 && st.st_dev == dev &&
            st.st_ino == ino)
            return true;
    }
    return false;
}

}  // namespace MovieFileTable
