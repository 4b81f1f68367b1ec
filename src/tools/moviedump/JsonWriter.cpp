#include "tools/moviedump/JsonWriter.h"

#include <cmath>
#include <cstdio>

void JsonWriter::Key(const std::string& name)
{
    if (first_.empty())
        return;
    if (!first_.back())
        out_ += ',';
    first_.back() = false;
    if (!inArray_.back())
        out_ += Quote(name) + ':';
}

void JsonWriter::Open(const std::string& name, char bracket)
{
    Key(name);
    out_ += bracket;
    first_.push_back(true);
    inArray_.push_back(bracket == '[');
}

void JsonWriter::Close(char bracket)
{
    out_ += bracket;
    first_.pop_back();
    inArray_.pop_back();
}

void JsonWriter::Real(const std::string& name, double value)
{
    Key(name);
    if (!std::isfinite(value)) {
        out_ += "null";
        return;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", value);
    std::string s = buf;
    if (s.find_first_of(".e") == std::string::npos)
        s += ".0";
    out_ += s;
}

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0.
size_t Utf8Length(const std::string& s, size_t i)
{
    unsigned char c = s[i];
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
            return 0;
    return n;
}

}  // namespace

// Names in movie files are not always UTF-8 (older files use Mac Roman);
// a byte that is not part of valid UTF-8 is written as the character with
// that code, so the output is always valid JSON.
std::string JsonWriter::Quote(const std::string& s)
{
    std::string q = "\"";
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        size_t n = Utf8Length(s, i);
        if (c == '"' || c == '\\') {
            q += '\\';
            q += char(c);
        } else if (c < 0x20 || c == 0x7F || n == 0) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            q += buf;
        } else {
            q.append(s, i, n);
            i += n;
            continue;
        }
        ++i;
    }
    return q + "\"";
}
