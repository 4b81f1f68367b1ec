// Big-endian reads and writes for the file formats in this folder.
//
// Every on-disk structure here (AppleDouble headers, resource maps, alias
// records, atom headers) is big-endian whatever the host is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace BigEndian {

inline std::uint16_t Get16(const std::uint8_t* p) { return std::uint16_t((p[0] << 8) | p[1]); }
inline std::uint32_t Get24(const std::uint8_t* p) { return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2]; }
inline std::uint32_t Get32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
inline std::uint64_t Get64(const std::uint8_t* p) { return (std::uint64_t(Get32(p)) << 32) | Get32(p + 4); }

inline void Put16(std::uint8_t* p, std::uint32_t v) { p[0] = std::uint8_t(v >> 8); p[1] = std::uint8_t(v); }
inline void Put24(std::uint8_t* p, std::uint32_t v) { p[0] = std::uint8_t(v >> 16); Put16(p + 1, v); }
inline void Put32(std::uint8_t* p, std::uint32_t v) { Put16(p, v >> 16); Put16(p + 2, v); }
inline void Put64(std::uint8_t* p, std::uint64_t v) { Put32(p, std::uint32_t(v >> 32)); Put32(p + 4, std::uint32_t(v)); }

// Appending writers for building structures in a byte vector.
inline void Append8(std::vector<std::uint8_t>& out, std::uint32_t v) { out.push_back(std::uint8_t(v)); }
inline void Append16(std::vector<std::uint8_t>& out, std::uint32_t v) { out.push_back(std::uint8_t(v >> 8)); out.push_back(std::uint8_t(v)); }
inline void Append32(std::vector<std::uint8_t>& out, std::uint32_t v) { Append16(out, v >> 16); Append16(out, v); }
inline void Append64(std::vector<std::uint8_t>& out, std::uint64_t v) { Append32(out, std::uint32_t(v >> 32)); Append32(out, std::uint32_t(v)); }
inline void AppendBytes(std::vector<std::uint8_t>& out, const void* p, std::size_t n)
{
    auto b = static_cast<const std::uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}
inline void AppendZeros(std::vector<std::uint8_t>& out, std::size_t n) { out.insert(out.end(), n, 0); }

// A fixed-width length-prefixed string field (Str27, Str63 in alias records):
// one length byte, the text cut to fit, zero padding to the field's width.
inline void AppendPascalField(std::vector<std::uint8_t>& out, const std::string& text, std::size_t maxLen)
{
    std::size_t n = text.size() < maxLen ? text.size() : maxLen;
    out.push_back(std::uint8_t(n));
    AppendBytes(out, text.data(), n);
    AppendZeros(out, maxLen - n);
}

}  // namespace BigEndian
