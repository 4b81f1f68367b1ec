// Walking the top-level atoms of a file without reading their bodies.
#include <cstring>

#include "platform/movies/atoms/TopLevelScan.h"

OSErr ScanTopLevelAtoms(UInt64 fileSize, const ReadAtProc& readAt, std::vector<TopLevelAtom>* out)
{
    if (!out || !readAt)
        return paramErr;
    out->clear();
    UInt64 pos = 0;
    // Each pass moves at least 8 bytes or stops, so the walk ends.
    while (fileSize - pos >= 8) {
        UInt8 head[16];
        if (!readAt(pos, head, 8))
            return -36;  // ioErr: the file could not be read
        TopLevelAtom a;
        a.offset = pos;
        UInt64 size = (UInt64(head[0]) << 24) | (UInt64(head[1]) << 16) | (UInt64(head[2]) << 8) | head[3];
        a.type = (UInt32(head[4]) << 24) | (UInt32(head[5]) << 16) | (UInt32(head[6]) << 8) | head[7];
        if (size == 1) {
            if (fileSize - pos < 16 || !readAt(pos + 8, head + 8, 8)) {
                a.truncated = true;
                a.size = fileSize - pos;
                out->push_back(a);
                break;
            }
            size = 0;
            for (int i = 8; i < 16; ++i)
                size = (size << 8) | head[i];
            a.headerSize = 16;
        } else if (size == 0) {
            size = fileSize - pos;
            a.extendsToEnd = true;
        }
        if (size < a.headerSize || size > fileSize - pos) {
            a.truncated = true;
            a.size = size < a.headerSize ? fileSize - pos : size;
            out->push_back(a);
            break;
        }
        a.size = size;
        out->push_back(a);
        pos += size;
    }
    return noErr;
}

OSErr ScanTopLevelAtoms(std::span<const UInt8> fileBytes, std::vector<TopLevelAtom>* out)
{
    auto readAt = [&](UInt64 offset, UInt8* buffer, size_t length) {
        if (offset > fileBytes.size() || length > fileBytes.size() - offset)
            return false;
        std::memcpy(buffer, fileBytes.data() + offset, length);
        return true;
    };
    return ScanTopLevelAtoms(fileBytes.size(), readAt, out);
}
