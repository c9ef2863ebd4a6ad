// The project file (".vtm"): the scene's own binary format.
//
// Layout, all little-endian, no signature: version f32 (1.7), model, camera and
// material counts, the character names, the animation names, the last model id,
// the next material id, the playback rate, the smooth-shading flag, then every
// model (id, name, parent, parent name, vertex/face/track counts, the tracks as
// count + 44-byte records, visible, facet, pivot, vertices, faces), the camera
// records and the materials. One Serialize routine per class reads and writes,
// the direction being the archive's.
//
// Reading trusts nothing: every count is checked against the bytes that remain
// before anything is allocated, and indices are repaired after the read
// (RepairLoadedScene) so later operations can follow them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/Progress.h"
#include "scene/Archive.h"
#include "scene/CTessaline.h"

namespace vantomo {

// Most models, names and tracks a project file may hold, and most records the
// scene may hold after its tracks are sized; beyond these a file is refused
// rather than exhausting memory.
inline constexpr std::int32_t kMaxFileModels = 1'000'000;
inline constexpr std::int32_t kMaxFileNames = 1'000'000;
inline constexpr long long kMaxFileTracks = 10'000'000;

void Serialize(Archive& ar, CVector& v);
void Serialize(Archive& ar, CUV& uv);
void Serialize(Archive& ar, CAnimation& record);
void Serialize(Archive& ar, CVertex& vertex);
// Loading a face whose corner or coordinate count does not fit a face (more
// than four) consumes its values and leaves the face without corners, which
// RepairLoadedScene then drops.
void Serialize(Archive& ar, CFace& face);
void Serialize(Archive& ar, CMaterial& material);
// Loading resizes the track list to the stored count; validation of the
// counts against the animation list is RepairLoadedScene's.
void Serialize(Archive& ar, CModel& model);
// Loading expects a freshly constructed scene and replaces the stored fields.
void Serialize(Archive& ar, CTessaline& scene);

// The exact number of bytes StoreProject writes for `scene`.
std::size_t ProjectFileSize(const CTessaline& scene);

// The bytes of the project file of `scene` (m_version becomes 1.7 first).
// False when memory ran out; the archive's bytes are then incomplete.
bool StoreProject(CTessaline& scene, Archive& ar);

// A scene read from a project file, not yet adopted by the open scene.
struct LoadedProject {
    std::unique_ptr<CTessaline> scene;
};

// Reads a whole project file image into a new scene object and repairs its
// indices. False when the bytes end early, a count cannot fit, or the limits
// above are passed; `out` is then empty. The application-wide values are
// left as they were either way.
bool LoadProject(std::span<const unsigned char> bytes, LoadedProject& out);

// Make a freshly read scene safe to use: default character, animation and
// camera when the file had none; every model's track list sized to the
// animation count; faces with out-of-range or too few corners dropped (and the
// vertices' face lists renumbered); parent references outside the lists and
// parent cycles turned into roots of character 0. False when sizing the tracks
// would pass the limits above or the record budget.
bool RepairLoadedScene(CTessaline& scene);

// Move what a project file stores from `loaded` into `live`: version, models,
// camera, materials, character and animation names, the two ids, the
// smooth-shading flag and the playback rate. Everything the file does not store (selection, history,
// clipboard, field of view, background colour, modes) stays as it is in `live`.
void AdoptLoadedProject(CTessaline& live, CTessaline&& loaded);

// Shown when a project file could not be written.
inline constexpr const char* kSaveFailedMessage = "ドキュメントの保存に失敗しました。";

// Writes the project file of `scene` atomically.
// False (the old file intact) when writing failed; `detail` then holds the
// system's reason. The bytes written are reported to `progress` when given;
// a save always runs to its end.
bool SaveProjectFile(CTessaline& scene, const std::string& path, std::string* detail = nullptr,
                     Progress* progress = nullptr);

} // namespace vantomo
