// Classic alias records: how a reference movie names the files that hold
// its samples (the data of an 'alis' data reference).
//
// The record has a 150-byte fixed part (version 2): volume name (Str27),
// volume creation date, parent directory ID, file name (Str63), file number,
// creation date, type and creator, and the relative levels nlvlFrom (how many
// folders up from the alias's own file to the common folder, plus one) and
// nlvlTo (how many folders down from there to the target, plus one; -1 when
// the two are on different volumes). Then tagged "extra" fields, each a
// 2-byte tag, a 2-byte length and the bytes padded to an even length, ended
// by tag -1:
//   0  parent folder name        2  absolute path "Volume:folder:file"
//   14 file name in UTF-16       15 volume name in UTF-16
//   18 POSIX path                19 POSIX path of the volume's mount point
// Readers that follow aliases (FFmpeg's mov demuxer among them) rebuild the
// path from the movie file's folder using nlvlFrom, nlvlTo and the tail of
// the absolute path; we write all three so that they, the classic toolbox
// and we find the same file.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/core/MacTypes.h"

struct AliasRecordInfo {
    bool isFolder = false;
    std::string volumeName;  // classic name: '/' stands for a POSIX ':'
    std::string fileName;    // classic name, cut to 63 bytes
    SInt16 nlvlFrom = -1;
    SInt16 nlvlTo = -1;
    OSType fileType = 0;
    OSType fileCreator = 0;
    std::string parentName;   // extra 0
    std::string hfsPath;      // extra 2
    std::string posixPath;    // extra 18
    std::string mountPoint;   // extra 19
};

// Describes targetPath as seen from the file at fromFilePath (the movie file
// that will hold the alias). Both are made absolute first.
AliasRecordInfo DescribeAliasTarget(const std::string& targetPath, const std::string& fromFilePath);

std::vector<UInt8> EncodeAliasRecord(const AliasRecordInfo& info);

// paramErr when the bytes are too short for the fixed part or a field runs
// past their end.
OSErr DecodeAliasRecord(std::span<const UInt8> bytes, AliasRecordInfo* out);

// The paths where the target may be, best first: relative to the folder of
// the file holding the alias (fromFilePath), then the absolute POSIX path,
// then the classic absolute path, then the same name beside that file.
std::vector<std::string> AliasCandidatePaths(const AliasRecordInfo& info, const std::string& fromFilePath);
