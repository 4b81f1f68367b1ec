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

std::string JsonWriter::Quote(const std::string& s)
{
    std::string q = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            q += '\\';
            q += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            q += buf;
        } else {
            q += char(c);  // UTF-8 passes through; invalid bytes are rare in names
        }
    }
    return q + "\"";
}
