// A small JSON writer: objects and arrays nested by Begin/End calls, names
// ignored inside arrays, strings escaped.
#pragma once

#include <string>
#include <vector>

class JsonWriter {
public:
    void BeginObject(const std::string& name) { Open(name, '{'); }
    void EndObject() { Close('}'); }
    void BeginArray(const std::string& name) { Open(name, '['); }
    void EndArray() { Close(']'); }
    void String(const std::string& name, const std::string& value) { Key(name); out_ += Quote(value); }
    void Number(const std::string& name, long long value) { Key(name); out_ += std::to_string(value); }
    void Real(const std::string& name, double value);
    void Bool(const std::string& name, bool value) { Key(name); out_ += value ? "true" : "false"; }
    void Null(const std::string& name) { Key(name); out_ += "null"; }
    const std::string& Text() const { return out_; }

private:
    void Key(const std::string& name);
    void Open(const std::string& name, char bracket);
    void Close(char bracket);
    static std::string Quote(const std::string& s);

    std::string out_;
    std::vector<bool> first_;     // per open level: nothing written yet
    std::vector<bool> inArray_;
};
