// A small JSON writer for the command-line tool's output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view utf8);
    JsonWriter& String(std::string_view utf8);
    JsonWriter& Int(long long value);
    // Full precision: the value reads back as the same double.
    JsonWriter& Double(double value);
    JsonWriter& Bool(bool value);

    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();

    std::string m_out;
    // One entry per open container: whether a value has been written in it.
    std::vector<bool> m_hasValue;
    bool m_afterKey = false;
};
