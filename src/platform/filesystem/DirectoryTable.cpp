#include "platform/filesystem/DirectoryTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/filesystem/FileNames.h"
#include "platform/filesystem/Files.h"

namespace files {

namespace {

// IDs below this are reserved: 1 and 2 are the classic root IDs, and a few
// more low numbers had fixed meanings on classic volumes.
constexpr SInt32 kFirstAllocatedID = 100;

struct Table {
    std::mutex lock;
    std::unordered_map<std::string, SInt32> idByPath{{"/", fsRtDirID}};
    std::unordered_map<SInt32, std::string> pathByID{{fsRtDirID, "/"}};
    SInt32 nextID = kFirstAllocatedID;
    // Per directory: short name -> real name, and real name -> short name.
    std::map<std::pair<SInt32, std::string>, std::string> realByShort;
    std::map<std::pair<SInt32, std::string>, std::string> shortByReal;
};

Table& TheTable()
{
    static Table table;
    return table;
}

bool ExistsOnDisk(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string CurrentDirectory()
{
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nil) {
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

}  // namespace

std::string NormalizePath(const std::string& path)
{
    std::string full = (!path.empty() && path[0] == '/') ? path : CurrentDirectory() + "/" + path;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= full.size()) {
        size_t slash = full.find('/', start);
        if (slash == std::string::npos)
            slash = full.size();
        std::string part = full.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string JoinPath(const std::string& dirPath, const std::string& leaf)
{
    if (leaf.empty())
        return dirPath;
    return dirPath == "/" ? "/" + leaf : dirPath + "/" + leaf;
}

void SplitPath(const std::string& path, std::string* dirPath, std::string* leaf)
{
    size_t slash = path.rfind('/');
    *dirPath = slash == 0 ? "/" : path.substr(0, slash);
    *leaf = path.substr(slash + 1);
}

SInt32 DirectoryIDForPath(const std::string& dirPath)
{
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.idByPath.find(dirPath);
    if (found != table.idByPath.end())
        return found->second;
    SInt32 id = table.nextID++;
    table.idByPath.emplace(dirPath, id);
    table.pathByID.emplace(id, dirPath);
    return id;
}

bool PathForDirectoryID(SInt32 dirID, std::string* dirPath)
{
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.pathByID.find(dirID);
    if (found == table.pathByID.end())
        return false;
    *dirPath = found->second;
    return true;
}

std::string SpecNameFor(SInt32 dirID, const std::string& dirPath, const std::string& realName)
{
    if (realName.size() <= kSpecNameMax)
        return realName;
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto known = table.shortByReal.find({dirID, realName});
    if (known != table.shortByReal.end())
        return known->second;
    // A short name must not stand for two long names, nor hide a real file
    // that happens to carry it.
    UInt32 suffix = NameHash(realName);
    std::string shortName = ShortenedName(realName, suffix);
    while (table.realByShort.count({dirID, shortName}) != 0 || ExistsOnDisk(JoinPath(dirPath, shortName)))
        shortName = ShortenedName(realName, ++suffix);
    table.realByShort.emplace(std::make_pair(dirID, shortName), realName);
    table.shortByReal.emplace(std::make_pair(dirID, realName), shortName);
    return shortName;
}

std::string RealNameFor(SInt32 dirID, const std::string& specName)
{
    Table& table = TheTable();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.realByShort.find({dirID, specName});
    return found != table.realByShort.end() ? found->second : specName;
}

}  // namespace files
