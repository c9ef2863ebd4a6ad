// A small streaming JSON writer: commas and nesting are tracked for the caller.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantomo {

class JsonWriter {
public:
    explicit JsonWriter(bool pretty = true) : m_pretty(pretty) {}

    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    // Strings must be UTF-8; control characters and quotes are escaped.
    JsonWriter& String(std::string_view value);
    JsonWriter& Int(long long value);
    // Shortest text that reads back as the same float; null when not finite.
    JsonWriter& Float(float value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return m_out; }

private:
    void BeforeValue();
    void NewLine();

    std::string m_out;
    std::vector<bool> m_hasItems; // per open container: already holds an item
    bool m_afterKey = false;
    bool m_pretty;
};

} // namespace vantomo
