// The options of an export, one record per kind of file. The records live for
// the whole run in the program (the options dialog edits them, so the next
// export of the same kind starts from the last choices); here they are plain
// values with their initial contents and the rules of which option a kind
// offers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantomo {

// Animation-key choices.
inline constexpr int kAnimationKeysMoveRotateScale = 0; // "移動・回転・ｽｹｰﾙ"
inline constexpr int kAnimationKeysMatrix = 1;          // "行列"
inline constexpr int kAnimationKeysNone = 2;            // "なし"

struct ExportSettings {
    std::string extension; // the kind the record belongs to ("mqo", "xaml", "gltf")
    int animationKeys = 0;
    // -3 no choice available; -2 only "行列"; -1 all but "行列"; other values all.
    int animationKeysLock = 0;
    int speed = 0; // animation speed factor; 0 makes the field read-only
    int meshLayout = 0; // 0 shared vertices ("標準(ｻｲｽﾞ小)"), 1 one vertex per corner ("高画質ﾃｸｽﾁｬ(ｻｲｽﾞ大)")
    int meshLayoutLock = 0;   // -1 both choices unavailable
    int writeUV = 0;          // "UV座標"
    int writeUVLock = 0;      // -1 unavailable
    int writeNormals = 0;     // normals "書き出す"
    int writeNormalsLock = 0; // -1 unavailable (the box then shows ticked)
    int writeLights = 0;      // lights "書き出す"
    int writeLightsLock = 0;  // -1 unavailable
    float scale = 1.0f;       // factor on every exported coordinate

    // Whether the options dialog offers an animation-key choice under the lock.
    bool AnimationKeyAvailable(int choice) const;
    bool MeshLayoutAvailable() const { return meshLayoutLock != -1; }
    bool WriteUVAvailable() const { return writeUVLock != -1; }
    bool WriteNormalsAvailable() const { return writeNormalsLock != -1; }
    bool WriteLightsAvailable() const { return writeLightsLock != -1; }
};

// The records at program start. The Metasequoia writer uses the scale and the
// UV flag; the XAML export the animation keys, mesh layout, UV and normal
// flags and the scale; the glTF export only the scale (its record serves both
// ".gltf" and ".glb").
ExportSettings InitialMqoSettings();
ExportSettings InitialXamlSettings();
ExportSettings InitialGltfSettings();

// The initial record for an output path's extension (any letter case): "mqo",
// "xaml", "gltf" or "glb"; nullopt for any other, the project file included.
std::optional<ExportSettings> InitialSettingsForPath(std::string_view path);

// The user's choices of `chosen` kept in a kind's record: the animation keys,
// speed, mesh layout, UV, normals (always on where the kind offers no
// choice), lights and scale. The locks are the kind's own and never change.
void TakeExportChoices(ExportSettings& record, const ExportSettings& chosen);

// The option words shared by the command line and scripts:
//   --scale S   --uv   --normals   --mesh-layout 0|1   --no-animation
// How many values follow an option word: 0 or 1, or -1 for an unknown word.
int ExportOptionValueCount(std::string_view word);

// Applies options (words with their values, in order) to `settings`. An
// option the kind does not offer, a bad value, a missing value or an unknown
// word is refused: the result is the message, and `settings` may be partly
// changed. "" when all applied. `settings` null means a project file, which
// takes no option.
std::string ApplyExportOptions(const std::vector<std::string_view>& options, ExportSettings* settings);

} // namespace vantomo
