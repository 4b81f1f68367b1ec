#include "tools/scenario/Script.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tools/scenario/KeyChord.h"

namespace scenario {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits a line into blank-separated arguments; an argument in double
// quotes keeps its blanks, and \" and \\ stand for " and \ inside it.
bool Tokenize(const std::string& line, std::vector<Argument>* out, std::string* reason)
{
    size_t i = 0;
    for (;;) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        if (i == line.size())
            return true;
        Argument arg;
        if (line[i] == '"') {
            arg.quoted = true;
            ++i;
            for (;;) {
                if (i == line.size()) {
                    *reason = "a double quote is not closed";
                    return false;
                }
                if (line[i] == '"')
                    break;
                if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\'))
                    ++i;
                arg.text += line[i++];
            }
            ++i;
            if (i < line.size() && !IsBlank(line[i])) {
                *reason = "a closing double quote must be followed by a blank";
                return false;
            }
        } else {
            while (i < line.size() && !IsBlank(line[i]))
                arg.text += line[i++];
        }
        out->push_back(arg);
    }
}

bool IsWhere(const Argument& a) { return a.quoted || a.text == "front" || a.text == "screen"; }

bool IsCoordinate(const Argument& a)
{
    long v;
    return ParseInt(a.text, -32768, 32767, &v);
}

bool IsModifiers(const Argument& a)
{
    UInt16 m;
    return ParseModifiers(a.text, &m);
}

// Checks one command's arguments; "" when they are right, else the reason.
std::string CheckArguments(const Command& c)
{
    const auto& a = c.args;
    const size_t n = a.size();
    auto count = [&](size_t lo, size_t hi) -> std::string {
        if (n >= lo && n <= hi)
            return "";
        std::string range = lo == hi ? std::to_string(lo) : std::to_string(lo) + " to " + std::to_string(hi);
        if (hi == 0)
            return c.name + " takes no arguments";
        return c.name + " takes " + range + (hi == 1 ? " argument" : " arguments") + ", not " + std::to_string(n);
    };
    long v = 0;
    unsigned long h = 0;
    const std::string where = "WHERE is front, screen or a window title in double quotes";
    if (c.name == "screen") {
        if (auto e = count(2, 3); !e.empty())
            return e;
        if (!ParseInt(a[0].text, 64, 8192, &v) || !ParseInt(a[1].text, 64, 8192, &v))
            return "the screen size is two numbers from 64 to 8192";
        if (n == 3 && !ParseInt(a[2].text, 1, 4, &v))
            return "the scale is 1, 2, 3 or 4";
        return "";
    }
    if (c.name == "system") {
        if (auto e = count(1, 1); !e.empty())
            return e;
        return ParseHex(a[0].text, &h) && h <= 0x7FFFFFFF ? "" : "the system version is a hexadecimal number (1040: 10.4)";
    }
    if (c.name == "gestalt") {
        if (auto e = count(2, 2); !e.empty())
            return e;
        if (a[0].text.size() != 4)
            return "a Gestalt selector has four characters";
        return a[1].text == "missing" || (ParseHex(a[1].text, &h) && h <= 0xFFFFFFFF)
                   ? ""
                   : "a Gestalt answer is a hexadecimal number or missing";
    }
    if (c.name == "open")
        return "";
    if (c.name == "menu") {
        if (auto e = count(2, 3); !e.empty())
            return e;
        if (!ParseInt(a[0].text, -32768, 32767, &v) || !ParseInt(a[1].text, 1, 32767, &v))
            return "menu takes a menu ID and an item number";
        return n == 3 && !IsModifiers(a[2]) ? "unknown modifier keys " + a[2].text : "";
    }
    if (c.name == "key") {
        KeyStroke k;
        if (auto e = count(1, 1); !e.empty())
            return e;
        return ParseKey(a[0].text, &k) ? "" : "unknown key " + a[0].text;
    }
    if (c.name == "type")
        return c.rest.empty() ? "type needs the text to type" : "";
    if (c.name == "click" || c.name == "doubleclick" || c.name == "drag") {
        const size_t coords = c.name == "drag" ? 4 : 2;
        const size_t most = c.name == "doubleclick" ? coords + 1 : coords + 2;
        if (auto e = count(coords + 1, most); !e.empty())
            return e;
        if (!IsWhere(a[0]))
            return where;
        for (size_t i = 1; i <= coords; ++i)
            if (!IsCoordinate(a[i]))
                return "not a coordinate: " + a[i].text;
        return n == most && c.name != "doubleclick" && !IsModifiers(a[n - 1]) ? "unknown modifier keys " + a[n - 1].text
                                                                              : "";
    }
    if (c.name == "wheel") {
        if (auto e = count(4, 5); !e.empty())
            return e;
        if (!IsWhere(a[0]))
            return where;
        if (!IsCoordinate(a[1]) || !IsCoordinate(a[2]) || !ParseInt(a[3].text, -100, 100, &v))
            return "wheel takes X Y and a number of notches (negative: up)";
        return n == 5 && !IsModifiers(a[4]) ? "unknown modifier keys " + a[4].text : "";
    }
    if (c.name == "part" || c.name == "dragpart") {
        const bool drag = c.name == "dragpart";
        if (auto e = drag ? count(4, 4) : count(2, 3); !e.empty())
            return e;
        if (!IsWhere(a[0]))
            return where;
        const std::string& part = a[1].text;
        if (drag ? part != "title" && part != "grow"
                 : part != "title" && part != "close" && part != "zoom" && part != "grow")
            return drag ? "dragpart drags title or grow" : "a part is title, close, zoom or grow";
        if (drag)
            return IsCoordinate(a[2]) && IsCoordinate(a[3]) ? "" : "dragpart takes the distances DX DY";
        return n == 3 && !IsModifiers(a[2]) ? "unknown modifier keys " + a[2].text : "";
    }
    if (c.name == "item") {
        if (auto e = count(1, 2); !e.empty())
            return e;
        if (!ParseInt(a[0].text, 1, 32767, &v))
            return "not an item number: " + a[0].text;
        return n == 2 && !IsModifiers(a[1]) ? "unknown modifier keys " + a[1].text : "";
    }
    if (c.name == "set") {
        if (auto e = count(1, 2); !e.empty())
            return e;
        return ParseInt(a[0].text, 1, 32767, &v) ? "" : "not an item number: " + a[0].text;
    }
    if (c.name == "wait") {
        if (auto e = count(1, 1); !e.empty())
            return e;
        return ParseInt(a[0].text, 0, 0x7FFFFFFF, &v) ? "" : "wait takes a number of ticks";
    }
    if (c.name == "nav") {
        if (n == 0)
            return "nav takes choose PATH, save PATH, check K or cancel";
        const std::string& what = a[0].text;
        if (what == "choose" || what == "save")
            return count(2, 2);
        if (what == "check")
            return n == 2 && ParseInt(a[1].text, 1, 3, &v) ? "" : "nav check takes a check box, 1, 2 or 3";
        if (what == "cancel")
            return count(1, 1);
        return "nav takes choose PATH, save PATH, check K or cancel";
    }
    if (c.name == "fault") {
        const std::string usage = "fault takes kill N, full N, fail N or clear";
        if (n == 1 && a[0].text == "clear")
            return "";
        return n == 2 && (a[0].text == "kill" || a[0].text == "full" || a[0].text == "fail") && ParseInt(a[1].text, 1, 0x7FFFFFFF, &v)
                   ? ""
                   : usage;
    }
    if (c.name == "dump")
        return count(0, 1);
    if (c.name == "screenshot" || c.name == "audio")
        return count(1, 1);
    if (c.name == "quit")
        return count(0, 0);
    return "unknown command " + c.name;
}

}  // namespace

bool IsSetupCommand(const std::string& name) { return name == "screen" || name == "system" || name == "gestalt"; }

bool IsOutputCommand(const std::string& name) { return name == "dump" || name == "screenshot" || name == "audio"; }

bool ParseInt(const std::string& text, long min, long max, long* value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || v < min || v > max)
        return false;
    *value = v;
    return true;
}

short ShortValue(const Argument& a)
{
    long v = 0;
    ParseInt(a.text, -32768, 32767, &v);
    return short(v);
}

bool ParseHex(const std::string& text, unsigned long* value)
{
    std::string digits = text.rfind("0x", 0) == 0 ? text.substr(2) : text;
    if (digits.empty() || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
        digits.size() > 8)
        return false;
    *value = std::strtoul(digits.c_str(), nullptr, 16);
    return true;
}

bool ParseScript(const std::string& text, std::vector<Command>* commands, ScriptError* error)
{
    bool setupAllowed = true;
    int lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        Command c;
        c.line = lineNumber;
        size_t nameEnd = line.find_first_of(" \t", first);
        c.name = line.substr(first, nameEnd == std::string::npos ? std::string::npos : nameEnd - first);
        if (nameEnd != std::string::npos)
            c.rest = line.substr(nameEnd + 1);
        std::string reason;
        if (c.name != "type" && !Tokenize(c.rest, &c.args, &reason)) {
            *error = ScriptError{lineNumber, reason};
            return false;
        }
        reason = CheckArguments(c);
        if (reason.empty() && IsSetupCommand(c.name) && !setupAllowed)
            reason = c.name + " must come before every other command";
        if (!reason.empty()) {
            *error = ScriptError{lineNumber, reason};
            return false;
        }
        if (!IsSetupCommand(c.name))
            setupAllowed = false;
        commands->push_back(std::move(c));
    }
    return true;
}

}  // namespace scenario
