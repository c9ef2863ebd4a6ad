#include "export/GltfJson.h"

#include <array>
#include <charconv>

namespace vantomo {

void GltfJson::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasValue.empty()) {
        if (m_hasValue.back()) {
            m_text += ',';
        }
        m_hasValue.back() = true;
    }
}

GltfJson& GltfJson::Key(std::string_view name)
{
    BeforeValue();
    m_text += '"';
    m_text += name; // keys are the format's own ASCII names
    m_text += "\":";
    m_afterKey = true;
    return *this;
}

GltfJson& GltfJson::BeginObject()
{
    BeforeValue();
    m_text += '{';
    m_hasValue.push_back(false);
    return *this;
}

GltfJson& GltfJson::EndObject()
{
    m_text += '}';
    m_hasValue.pop_back();
    return *this;
}

GltfJson& GltfJson::BeginArray()
{
    BeforeValue();
    m_text += '[';
    m_hasValue.push_back(false);
    return *this;
}

GltfJson& GltfJson::EndArray()
{
    m_text += ']';
    m_hasValue.pop_back();
    return *this;
}

GltfJson& GltfJson::String(std::string_view utf8)
{
    BeforeValue();
    static constexpr char kHex[] = "0123456789abcdef";
    m_text += '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            m_text += '\\';
            m_text += ch;
        } else if (c < 0x20) {
            m_text += "\\u00";
            m_text += kHex[c >> 4];
            m_text += kHex[c & 15];
        } else {
            m_text += ch;
        }
    }
    m_text += '"';
    return *this;
}

GltfJson& GltfJson::Number(double value)
{
    BeforeValue();
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    m_text.append(buffer.data(), result.ptr);
    return *this;
}

GltfJson& GltfJson::Integer(std::int64_t value)
{
    BeforeValue();
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    m_text.append(buffer.data(), result.ptr);
    return *this;
}

GltfJson& GltfJson::Unsigned(std::uint64_t value)
{
    BeforeValue();
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    m_text.append(buffer.data(), result.ptr);
    return *this;
}

GltfJson& GltfJson::Bool(bool value)
{
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

GltfJson& GltfJson::FloatArray(const float* values, std::size_t count)
{
    BeginArray();
    for (std::size_t i = 0; i < count; ++i) {
        Number(static_cast<double>(values[i]));
    }
    return EndArray();
}

GltfJson& GltfJson::Raw(std::string_view json)
{
    BeforeValue();
    m_text += json;
    return *this;
}

} // namespace vantomo
