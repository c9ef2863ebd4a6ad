// A small JSON text writer for the glTF document.
//
// Numbers go through std::to_chars, so the text never follows the process
// locale, and a float written as a double reads back as exactly that float
// (the glTF validator compares accessor bounds with the stored float32 data).
// Separators between members are placed by the writer; the caller only opens,
// names and closes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantomo {

class GltfJson {
public:
    // Starts a member of the enclosing object: "name": (with a comma first when needed).
    GltfJson& Key(std::string_view name);
    GltfJson& BeginObject();
    GltfJson& EndObject();
    GltfJson& BeginArray();
    GltfJson& EndArray();
    // A string value; `utf8` must be UTF-8. Quotes, backslashes and control
    // characters are escaped; everything else is written as it is.
    GltfJson& String(std::string_view utf8);
    // The shortest text that reads back as exactly `value`. The caller passes
    // only finite values (JSON has no infinity or NaN).
    GltfJson& Number(double value);
    GltfJson& Integer(std::int64_t value);
    GltfJson& Unsigned(std::uint64_t value);
    GltfJson& Bool(bool value);
    // A value already written as JSON text (e.g. by another GltfJson).
    GltfJson& Raw(std::string_view json);
    // An array of floats, each widened to double.
    GltfJson& FloatArray(const float* values, std::size_t count);

    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();

    std::string m_text;
    // Per open container: whether a value was written in it yet.
    std::vector<bool> m_hasValue;
    bool m_afterKey = false;
};

} // namespace vantomo
