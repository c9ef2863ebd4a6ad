#include "cli/Json.h"

#include <charconv>
#include <cmath>

namespace vantomo {

void JsonWriter::NewLine()
{
    if (!m_pretty) {
        return;
    }
    m_out.push_back('\n');
    m_out.append(m_hasItems.size() * 2, ' ');
}

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasItems.empty()) {
        if (m_hasItems.back()) {
            m_out.push_back(',');
        }
        m_hasItems.back() = true;
        NewLine();
    }
}

JsonWriter& JsonWriter::BeginObject()
{
    BeforeValue();
    m_out.push_back('{');
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject()
{
    const bool had = m_hasItems.back();
    m_hasItems.pop_back();
    if (had) {
        NewLine();
    }
    m_out.push_back('}');
    return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
    BeforeValue();
    m_out.push_back('[');
    m_hasItems.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray()
{
    const bool had = m_hasItems.back();
    m_hasItems.pop_back();
    if (had) {
        NewLine();
    }
    m_out.push_back(']');
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key)
{
    String(key);
    m_out.append(m_pretty ? ": " : ":");
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value)
{
    BeforeValue();
    m_out.push_back('"');
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': m_out.append("\\\""); break;
        case '\\': m_out.append("\\\\"); break;
        case '\n': m_out.append("\\n"); break;
        case '\r': m_out.append("\\r"); break;
        case '\t': m_out.append("\\t"); break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                m_out.append("\\u00");
                m_out.push_back(hex[c >> 4]);
                m_out.push_back(hex[c & 15]);
            } else {
                m_out.push_back(ch);
            }
        }
    }
    m_out.push_back('"');
    return *this;
}

JsonWriter& JsonWriter::Int(long long value)
{
    BeforeValue();
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_out.append(buffer, r.ptr);
    return *this;
}

JsonWriter& JsonWriter::Float(float value)
{
    if (!std::isfinite(value)) {
        return Null();
    }
    BeforeValue();
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_out.append(buffer, r.ptr);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_out.append(value ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::Null()
{
    BeforeValue();
    m_out.append("null");
    return *this;
}

} // namespace vantomo
