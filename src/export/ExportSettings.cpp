#include "export/ExportSettings.h"

#include <charconv>
#include <cmath>

#include "base/PathHelpers.h"

namespace vantomo {

bool ExportSettings::AnimationKeyAvailable(int choice) const
{
    switch (animationKeysLock) {
    case -3:
        return false;
    case -2:
        return choice == kAnimationKeysMatrix;
    case -1:
        return choice != kAnimationKeysMatrix;
    default:
        return true;
    }
}

ExportSettings InitialMqoSettings()
{
    ExportSettings s;
    s.extension = "mqo";
    s.animationKeys = kAnimationKeysNone;
    s.animationKeysLock = -3;
    s.meshLayoutLock = -1;
    s.writeNormalsLock = -1;
    s.writeLightsLock = -1;
    return s;
}

ExportSettings InitialXamlSettings()
{
    ExportSettings s;
    s.extension = "xaml";
    s.animationKeys = kAnimationKeysMoveRotateScale;
    s.animationKeysLock = -1;
    s.writeLightsLock = -1;
    return s;
}

ExportSettings InitialGltfSettings()
{
    ExportSettings s;
    s.extension = "gltf";
    // Every animation goes out as translation, rotation and scale channels:
    // the dialog shows that choice, unavailable as the only one there is.
    s.animationKeys = kAnimationKeysMoveRotateScale;
    s.animationKeysLock = -3;
    s.meshLayoutLock = -1;
    s.writeUVLock = -1;
    s.writeNormalsLock = -1;
    s.writeLightsLock = -1;
    return s;
}

void TakeExportChoices(ExportSettings& record, const ExportSettings& chosen)
{
    record.animationKeys = chosen.animationKeys;
    record.speed = chosen.speed;
    record.meshLayout = chosen.meshLayout;
    record.writeUV = chosen.writeUV;
    // Without the choice the normals are written: the dialog shows the box ticked.
    record.writeNormals = record.WriteNormalsAvailable() ? chosen.writeNormals : 1;
    record.writeLights = chosen.writeLights;
    record.scale = chosen.scale;
}

std::optional<ExportSettings> InitialSettingsForPath(std::string_view path)
{
    const std::string extension = LowerAscii(GetPathExtension(path));
    if (extension == "mqo") {
        return InitialMqoSettings();
    }
    if (extension == "xaml") {
        return InitialXamlSettings();
    }
    if (extension == "gltf" || extension == "glb") {
        return InitialGltfSettings();
    }
    return std::nullopt;
}

int ExportOptionValueCount(std::string_view word)
{
    if (word == "--scale" || word == "--mesh-layout") {
        return 1;
    }
    if (word == "--uv" || word == "--normals" || word == "--no-animation") {
        return 0;
    }
    return -1;
}

namespace {

// A whole token as a finite number, read as in the "C" locale.
bool ParseScale(std::string_view text, float& value)
{
    double number = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto result = std::from_chars(first, last, number, std::chars_format::general);
    if (result.ec != std::errc{} || result.ptr != last || !std::isfinite(static_cast<float>(number))) {
        return false;
    }
    value = static_cast<float>(number);
    return true;
}

} // namespace

std::string ApplyExportOptions(const std::vector<std::string_view>& options, ExportSettings* settings)
{
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string_view word = options[i];
        const int values = ExportOptionValueCount(word);
        if (values < 0) {
            return "unknown option " + std::string(word);
        }
        if (values > 0 && i + 1 >= options.size()) {
            return std::string(word) + " needs a value";
        }
        const std::string kind = settings != nullptr ? "a ." + settings->extension + " file" : "a project file";
        const auto refuse = [&] { return std::string(word) + " does not apply to " + kind; };
        if (settings == nullptr) {
            return refuse();
        }
        if (word == "--scale") {
            if (!ParseScale(options[++i], settings->scale)) {
                return "--scale: not a number: " + std::string(options[i]);
            }
        } else if (word == "--mesh-layout") {
            if (!settings->MeshLayoutAvailable()) {
                return refuse();
            }
            const std::string_view value = options[++i];
            if (value != "0" && value != "1") {
                return "--mesh-layout: expected 0 or 1, not " + std::string(value);
            }
            settings->meshLayout = value == "1" ? 1 : 0;
        } else if (word == "--uv") {
            if (!settings->WriteUVAvailable()) {
                return refuse();
            }
            settings->writeUV = 1;
        } else if (word == "--normals") {
            if (!settings->WriteNormalsAvailable()) {
                return refuse();
            }
            settings->writeNormals = 1;
        } else { // --no-animation
            if (!settings->AnimationKeyAvailable(kAnimationKeysNone)) {
                return refuse();
            }
            settings->animationKeys = kAnimationKeysNone;
        }
    }
    return {};
}

} // namespace vantomo
