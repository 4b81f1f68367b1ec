#include "platform/movies/moviefiles/AliasRecord.h"

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

#include "platform/core/PascalStrings.h"
#include "platform/movies/moviefiles/BigEndian.h"

using namespace BigEndian;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFixedSize = 150;
constexpr std::uint32_t kMacEpochOffset = 2082844800u;  // seconds from 1904 to 1970
enum : SInt16 {
    kExtraParentName = 0,
    kExtraAbsolutePath = 2,
    kExtraPosixPath = 18,
    kExtraMountPoint = 19,
    kExtraEnd = -1,
};

// On a classic volume ':' separates folders, so a ':' inside a POSIX name is
// shown as '/' and the other way round.
std::string ClassicName(std::string name)
{
    std::replace(name.begin(), name.end(), ':', '/');
    return name;
}

std::string PosixName(std::string name)
{
    std::replace(name.begin(), name.end(), '/', ':');
    return name;
}

// The Str27 and Str63 fields hold UTF-8 here; never split a character.
std::string CutToFit(const std::string& text, std::size_t maxLen)
{
    return text.substr(0, pstr::Utf8CutLength(text, maxLen));
}

std::vector<std::string> Components(const fs::path& p)
{
    std::vector<std::string> parts;
    for (const auto& c : p)
        if (c != "/" && !c.empty())
            parts.push_back(c.string());
    return parts;
}

fs::path Absolute(const std::string& path)
{
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? fs::absolute(path).lexically_normal() : p;
}

// The folder on which the file system holding `p` is mounted: the highest
// ancestor with the same device number.
fs::path MountPoint(const fs::path& p)
{
    struct stat st {};
    fs::path at = p;
    if (stat(at.c_str(), &st) != 0)
        return "/";
    dev_t dev = st.st_dev;
    while (at.has_parent_path() && at.parent_path() != at) {
        struct stat up {};
        if (stat(at.parent_path().c_str(), &up) != 0 || up.st_dev != dev)
            break;
        at = at.parent_path();
    }
    return at;
}

std::uint32_t MacTime(const struct stat& st) { return std::uint32_t(std::uint64_t(st.st_mtime) + kMacEpochOffset); }

void SetRelativeLevels(const fs::path& targetDir, const fs::path& fromDir, AliasRecordInfo* info)
{
    struct stat a {}, b {};
    if (stat(targetDir.c_str(), &a) != 0 || stat(fromDir.c_str(), &b) != 0 || a.st_dev != b.st_dev)
        return;  // different volumes: the levels stay -1
    auto to = Components(targetDir), from = Components(fromDir);
    std::size_t common = 0;
    while (common < to.size() && common < from.size() && to[common] == from[common])
        ++common;
    info->nlvlFrom = SInt16(from.size() - common + 1);
    info->nlvlTo = SInt16(to.size() - common + 1);
}

void AppendExtra(std::vector<UInt8>& out, SInt16 tag, const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > 0xFFFF)
        return;
    Append16(out, std::uint16_t(tag));
    Append16(out, std::uint32_t(bytes.size()));
    AppendBytes(out, bytes.data(), bytes.size());
    if (bytes.size() & 1)
        out.push_back(0);
}

std::string PascalField(const UInt8* p, std::size_t maxLen)
{
    std::size_t n = std::min<std::size_t>(p[0], maxLen);
    return std::string(reinterpret_cast<const char*>(p + 1), n);
}

// The last `levels` names of a classic or POSIX path, as a relative path,
// or empty when it has fewer names or a name that would climb out ("..").
fs::path PathTail(const std::vector<std::string>& names, int levels)
{
    if (levels <= 0 || std::size_t(levels) > names.size())
        return {};
    fs::path tail;
    for (std::size_t i = names.size() - std::size_t(levels); i < names.size(); ++i) {
        if (names[i] == ".." || names[i] == "." || names[i].empty())
            return {};
        tail /= names[i];
    }
    return tail;
}

std::vector<std::string> SplitClassicPath(const std::string& hfsPath)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= hfsPath.size()) {
        std::size_t end = hfsPath.find(':', start);
        if (end == std::string::npos)
            end = hfsPath.size();
        names.push_back(PosixName(hfsPath.substr(start, end - start)));
        start = end + 1;
    }
    return names;  // names[0] is the volume name
}

}  // namespace

AliasRecordInfo DescribeAliasTarget(const std::string& targetPath, const std::string& fromFilePath)
{
    AliasRecordInfo info;
    fs::path target = Absolute(targetPath), from = Absolute(fromFilePath);
    fs::path mount = MountPoint(target.parent_path());
    std::string volume = mount == "/" ? std::string("root") : mount.filename().string();

    info.volumeName = CutToFit(ClassicName(volume), 27);
    info.fileName = CutToFit(ClassicName(target.filename().string()), 63);
    info.parentName = ClassicName(target.parent_path().filename().string());
    info.posixPath = target.string();
    info.mountPoint = mount.string();
    std::string hfs = ClassicName(volume);
    for (const auto& name : Components(target.lexically_relative(mount)))
        hfs += ":" + ClassicName(name);
    info.hfsPath = hfs;
    struct stat st {};
    info.isFolder = stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    SetRelativeLevels(target.parent_path(), from.parent_path(), &info);
    return info;
}

std::vector<UInt8> EncodeAliasRecord(const AliasRecordInfo& info)
{
    std::vector<UInt8> out;
    struct stat target {}, volume {}, parent {};
    stat(info.posixPath.c_str(), &target);
    stat(info.mountPoint.c_str(), &volume);
    stat(fs::path(info.posixPath).parent_path().c_str(), &parent);

    Append32(out, 0);                 // userType
    Append16(out, 0);                 // aliasSize, set below
    Append16(out, 2);                 // version
    Append16(out, info.isFolder ? 1 : 0);  // kind
    AppendPascalField(out, info.volumeName, 27);
    Append32(out, MacTime(volume));   // volume creation date
    Append16(out, 0x482B);            // volume signature 'H+'
    Append16(out, 0);                 // volume type: fixed disk
    Append32(out, std::uint32_t(parent.st_ino));
    AppendPascalField(out, info.fileName, 63);
    Append32(out, std::uint32_t(target.st_ino));
    Append32(out, MacTime(target));
    Append32(out, info.fileType);
    Append32(out, info.fileCreator);
    Append16(out, std::uint16_t(info.nlvlFrom));
    Append16(out, std::uint16_t(info.nlvlTo));
    Append32(out, 0);                 // volume attributes
    Append16(out, 0);                 // volume file-system ID
    AppendZeros(out, 10);             // reserved
    AppendExtra(out, kExtraParentName, info.parentName);
    AppendExtra(out, kExtraAbsolutePath, info.hfsPath);
    AppendExtra(out, kExtraPosixPath, info.posixPath);
    AppendExtra(out, kExtraMountPoint, info.mountPoint);
    Append16(out, 0xFFFF);
    Append16(out, 0);
    Put16(out.data() + 4, std::uint32_t(std::min<std::size_t>(out.size(), 0xFFFF)));
    return out;
}

OSErr DecodeAliasRecord(std::span<const UInt8> bytes, AliasRecordInfo* out)
{
    *out = AliasRecordInfo{};
    if (bytes.size() < kFixedSize)
        return paramErr;
    // aliasSize may claim less than the atom holds (padding) but never more.
    std::size_t size = Get16(bytes.data() + 4);
    if (size < kFixedSize || size > bytes.size())
        size = bytes.size();
    const UInt8* p = bytes.data();
    out->isFolder = Get16(p + 8) == 1;
    out->volumeName = PascalField(p + 10, 27);
    out->fileName = PascalField(p + 50, 63);
    out->fileType = Get32(p + 122);
    out->fileCreator = Get32(p + 126);
    out->nlvlFrom = SInt16(Get16(p + 130));
    out->nlvlTo = SInt16(Get16(p + 132));
    for (std::size_t at = kFixedSize; at + 4 <= size;) {
        SInt16 tag = SInt16(Get16(p + at));
        std::size_t length = Get16(p + at + 2);
        at += 4;
        if (tag == kExtraEnd)
            break;
        if (length > size - at)
            return paramErr;
        std::string value(reinterpret_cast<const char*>(p + at), length);
        if (tag == kExtraParentName)
            out->parentName = value;
        else if (tag == kExtraAbsolutePath)
            out->hfsPath = value;
        else if (tag == kExtraPosixPath)
            out->posixPath = value;
        else if (tag == kExtraMountPoint)
            out->mountPoint = value;
        at += length + (length & 1);
    }
    return noErr;
}

std::vector<std::string> AliasCandidatePaths(const AliasRecordInfo& info, const std::string& fromFilePath)
{
    std::vector<std::string> paths;
    auto add = [&](const fs::path& p) {
        if (!p.empty() && std::find(paths.begin(), paths.end(), p.string()) == paths.end())
            paths.push_back(p.string());
    };
    fs::path fromDir = Absolute(fromFilePath).parent_path();
    std::vector<std::string> names = !info.posixPath.empty() ? Components(info.posixPath)
                                                             : SplitClassicPath(info.hfsPath);
    if (info.nlvlFrom > 0 && info.nlvlTo > 0 && !names.empty()) {
        fs::path tail = PathTail(names, info.nlvlTo);
        if (!tail.empty()) {
            fs::path base = fromDir;
            for (int i = 1; i < info.nlvlFrom; ++i)
                base = base.parent_path();
            add((base / tail).lexically_normal());
        }
    }
    if (!info.posixPath.empty() && info.posixPath[0] == '/')
        add(fs::path(info.posixPath).lexically_normal());
    if (!info.hfsPath.empty()) {
        auto classic = SplitClassicPath(info.hfsPath);
        fs::path p = info.mountPoint.empty() ? fs::path("/") : fs::path(info.mountPoint);
        bool usable = classic.size() > 1;
        for (std::size_t i = 1; i < classic.size(); ++i)
            usable = usable && classic[i] != ".." && !classic[i].empty(), p /= classic[i];
        if (usable)
            add(p.lexically_normal());
    }
    if (!info.fileName.empty() && info.fileName != "." && info.fileName != "..")
        add(fromDir / PosixName(info.fileName));
    return paths;
}
