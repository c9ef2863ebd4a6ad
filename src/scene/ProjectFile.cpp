#include "scene/ProjectFile.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

#include "base/FileIo.h"

namespace vantomo {

static_assert(sizeof(CVector) == 12 && sizeof(CUV) == 8);
static_assert(offsetof(CAnimation, m_position) == 0 && offsetof(CAnimation, m_axis) == 12 &&
                  offsetof(CAnimation, m_scale) == 24 && offsetof(CAnimation, m_angle) == 36 &&
                  offsetof(CAnimation, m_key) == 40 && sizeof(CAnimation) == 44,
              "a frame record is copied to and from the file as one block");

namespace {

// Smallest encoding of each record, used to check counts before allocating.
constexpr std::size_t kMinVector = 12;
constexpr std::size_t kMinRecord = 44;
constexpr std::size_t kMinVertex = kMinVector + 4;
constexpr std::size_t kMinFace = kMinVector + 4 + 4 + 4;
constexpr std::size_t kMinTrack = 4;
constexpr std::size_t kMinString = 1;
constexpr std::size_t kMinModel = 4 + 1 + 4 + 1 + 4 + 4 + 4 + 4 + 4 + kMinVector;
constexpr std::size_t kMinMaterial = 4 + 1 + 16 + 20 + 3;

// Ints stored as a count and the values, in one block.
template <typename Vector>
void IntBlock(Archive& ar, Vector& values, std::size_t capacity)
{
    std::int32_t n = static_cast<std::int32_t>(values.size());
    if (!ar.Count(n, 4)) {
        return;
    }
    if (ar.IsLoading()) {
        if (static_cast<std::size_t>(n) > capacity) {
            // More than the vector can hold: consume the values, keep none.
            std::vector<std::int32_t> skipped(static_cast<std::size_t>(n));
            ar.Raw(skipped.data(), skipped.size() * 4);
            values.resize(0);
            return;
        }
        values.resize(static_cast<std::size_t>(n));
    }
    ar.Raw(values.data(), static_cast<std::size_t>(n) * 4);
}

void Names(Archive& ar, std::vector<std::string>& names)
{
    std::int32_t n = static_cast<std::int32_t>(names.size());
    if (!ar.Count(n, kMinString, kMaxFileNames)) {
        return;
    }
    if (ar.IsLoading()) {
        names.clear();
        names.reserve(static_cast<std::size_t>(n));
        for (std::int32_t i = 0; i < n && !ar.Failed(); ++i) {
            names.emplace_back();
            ar.String(names.back());
        }
    } else {
        for (std::string& name : names) {
            ar.String(name);
        }
    }
}

} // namespace

void Serialize(Archive& ar, CVector& v) { ar.Raw(&v.x, 12); }

void Serialize(Archive& ar, CUV& uv) { ar.Raw(&uv.m_u, 8); }

void Serialize(Archive& ar, CAnimation& record) { ar.Raw(&record, sizeof record); }

namespace {

// Storing a small record: its fields are gathered into one block, so the
// archive takes one copy per vertex or face instead of one per field.
class Block {
public:
    void Put(const void* data, std::size_t size)
    {
        if (size > 0) {
            std::memcpy(m_bytes + m_size, data, size);
            m_size += size;
        }
    }
    void PutInt(std::int32_t value) { Put(&value, 4); }
    void StoreInto(Archive& ar) { ar.Raw(m_bytes, m_size); }

private:
    unsigned char m_bytes[128];
    std::size_t m_size = 0;
};

constexpr std::size_t kBlockVertexFaces = 24; // 16 + 24 * 4 bytes fit a Block

} // namespace

void Serialize(Archive& ar, CVertex& vertex)
{
    if (ar.IsStoring() && vertex.m_faces.size() <= kBlockVertexFaces) {
        Block block;
        block.Put(&vertex.m_position.x, 12);
        block.PutInt(static_cast<std::int32_t>(vertex.m_faces.size()));
        block.Put(vertex.m_faces.data(), vertex.m_faces.size() * 4);
        block.StoreInto(ar);
        return;
    }
    Serialize(ar, vertex.m_position);
    IntBlock(ar, vertex.m_faces, SIZE_MAX);
}

void Serialize(Archive& ar, CFace& face)
{
    if (ar.IsStoring()) {
        // At most 12 + 4 + 4 + 16 + 4 + 32 bytes.
        Block block;
        block.Put(&face.m_normal.x, 12);
        block.PutInt(face.m_material);
        block.PutInt(static_cast<std::int32_t>(face.m_indices.size()));
        block.Put(face.m_indices.data(), face.m_indices.size() * 4);
        block.PutInt(static_cast<std::int32_t>(face.m_uvs.size()));
        block.Put(face.m_uvs.data(), face.m_uvs.size() * 8);
        block.StoreInto(ar);
        return;
    }
    Serialize(ar, face.m_normal);
    ar.Int(face.m_material);
    IntBlock(ar, face.m_indices, face.m_indices.capacity());
    std::int32_t u = static_cast<std::int32_t>(face.m_uvs.size());
    if (!ar.Count(u, 8)) {
        return;
    }
    if (ar.IsLoading()) {
        if (static_cast<std::size_t>(u) > face.m_uvs.capacity()) {
            std::vector<CUV> skipped(static_cast<std::size_t>(u));
            ar.Raw(skipped.data(), skipped.size() * 8);
            face.m_indices.resize(0);
            face.m_uvs.resize(0);
            return;
        }
        face.m_uvs.resize(static_cast<std::size_t>(u));
    }
    ar.Raw(face.m_uvs.data(), static_cast<std::size_t>(u) * 8);
}

void Serialize(Archive& ar, CMaterial& material)
{
    ar.Int(material.m_id);
    ar.String(material.m_name);
    ar.Raw(material.m_color, 16);
    ar.Float(material.m_diffuse);
    ar.Float(material.m_ambient);
    ar.Float(material.m_emissive);
    ar.Float(material.m_specular);
    ar.Float(material.m_power);
    ar.String(material.m_texture);
    ar.String(material.m_alphaPlane);
    ar.String(material.m_bump);
}

void Serialize(Archive& ar, CModel& model)
{
    ar.Int(model.m_id);
    ar.String(model.m_name);
    ar.Int(model.m_parent);
    ar.String(model.m_parentName);
    std::int32_t v = static_cast<std::int32_t>(model.m_vertices.size());
    std::int32_t f = static_cast<std::int32_t>(model.m_faces.size());
    std::int32_t t = static_cast<std::int32_t>(model.m_tracks.size());
    if (!ar.Count(v, kMinVertex) || !ar.Count(f, kMinFace) || !ar.Count(t, kMinTrack, kMaxFileNames)) {
        return;
    }
    if (ar.IsLoading()) {
        model.m_tracks.resize(static_cast<std::size_t>(t));
    }
    for (Track& track : model.m_tracks) {
        std::int32_t n = static_cast<std::int32_t>(track.size());
        if (!ar.Count(n, kMinRecord)) {
            return;
        }
        if (ar.IsLoading()) {
            track.resize(static_cast<std::size_t>(n));
            ar.Raw(track.data(), static_cast<std::size_t>(n) * kMinRecord);
        } else {
            // Read through the const view: saving must not mark the track changed.
            ar.Raw(const_cast<CAnimation*>(std::as_const(track).data()),
                   static_cast<std::size_t>(n) * kMinRecord);
        }
    }
    ar.Int(model.m_visible);
    ar.Float(model.m_facet);
    Serialize(ar, model.m_pivot);
    if (ar.Failed()) {
        return;
    }
    if (ar.IsLoading()) {
        // Counts were checked against the bytes left before the tracks; check
        // again now that the tracks have taken their share.
        if (static_cast<std::size_t>(v) > ar.Remaining() / kMinVertex) {
            ar.Fail();
            return;
        }
        model.m_vertices.resize(static_cast<std::size_t>(v));
    }
    for (CVertex& vertex : model.m_vertices) {
        Serialize(ar, vertex);
        if (ar.Failed()) {
            return;
        }
    }
    if (ar.IsLoading()) {
        if (static_cast<std::size_t>(f) > ar.Remaining() / kMinFace) {
            ar.Fail();
            return;
        }
        model.m_faces.resize(static_cast<std::size_t>(f));
    }
    for (CFace& face : model.m_faces) {
        Serialize(ar, face);
        if (ar.Failed()) {
            return;
        }
    }
}

void Serialize(Archive& ar, CTessaline& scene)
{
    ar.Float(scene.m_version);
    std::int32_t m = static_cast<std::int32_t>(scene.m_models.size());
    std::int32_t c = static_cast<std::int32_t>(scene.m_camera.size());
    std::int32_t k = static_cast<std::int32_t>(scene.m_materials.size());
    if (!ar.Count(m, kMinModel, kMaxFileModels) || !ar.Count(c, kMinRecord) ||
        !ar.Count(k, kMinMaterial)) {
        return;
    }
    Names(ar, scene.m_characterNames);
    Names(ar, scene.m_animationNames);
    ar.Int(scene.m_lastModelId);
    ar.Int(scene.m_nextMaterialId);
    ar.Float(scene.m_fps);
    ar.Int(scene.m_smoothShading);
    if (ar.Failed()) {
        return;
    }

    if (ar.IsLoading()) {
        // Models are appended as they are read, so memory follows the bytes
        // actually consumed, not the stored count.
        scene.m_models.clear();
        scene.m_models.reserve(std::min<std::size_t>(static_cast<std::size_t>(m), ar.Remaining() / 1024 + 16));
        for (std::int32_t i = 0; i < m; ++i) {
            scene.m_models.emplace_back();
            Serialize(ar, scene.m_models.back());
            if (ar.Failed()) {
                return;
            }
        }
        if (static_cast<std::size_t>(c) > ar.Remaining() / kMinRecord ||
            static_cast<std::size_t>(k) > ar.Remaining() / kMinMaterial) {
            ar.Fail();
            return;
        }
        // Records already present stay and are overwritten; the rest start at rest.
        scene.m_camera.resize(static_cast<std::size_t>(c));
        scene.m_materials.resize(static_cast<std::size_t>(k));
    } else {
        for (CModel& model : scene.m_models) {
            Serialize(ar, model);
        }
    }
    for (CAnimation& record : scene.m_camera) {
        Serialize(ar, record);
    }
    for (CMaterial& material : scene.m_materials) {
        Serialize(ar, material);
        if (ar.Failed()) {
            return;
        }
    }
}

namespace {

std::size_t StringSize(const std::string& s)
{
    return (s.size() < 0xFF ? 1 : s.size() < 0xFFFE ? 3 : 7) + s.size();
}

} // namespace

std::size_t ProjectFileSize(const CTessaline& scene)
{
    std::size_t size = 4 * 4 + 4 + 4 + 4 * 4;
    for (const std::string& name : scene.m_characterNames) {
        size += StringSize(name);
    }
    for (const std::string& name : scene.m_animationNames) {
        size += StringSize(name);
    }
    for (const CModel& model : scene.m_models) {
        size += 4 + StringSize(model.m_name) + 4 + StringSize(model.m_parentName) + 3 * 4 + 4 + 4 + kMinVector;
        for (const Track& track : model.m_tracks) {
            size += 4 + track.size() * kMinRecord;
        }
        for (const CVertex& vertex : model.m_vertices) {
            size += kMinVertex + vertex.m_faces.size() * 4;
        }
        for (const CFace& face : model.m_faces) {
            size += kMinFace + face.m_indices.size() * 4 + face.m_uvs.size() * 8;
        }
    }
    size += scene.m_camera.size() * kMinRecord;
    for (const CMaterial& material : scene.m_materials) {
        size += kMinMaterial - 4 + StringSize(material.m_name) + StringSize(material.m_texture) +
                StringSize(material.m_alphaPlane) + StringSize(material.m_bump);
    }
    return size;
}

bool StoreProject(CTessaline& scene, Archive& ar)
{
    scene.m_version = 1.7f;
    if (!ar.Streaming()) {
        ar.Reserve(ProjectFileSize(scene));
    }
    Serialize(ar, scene);
    return !ar.Failed();
}

bool LoadProject(std::span<const unsigned char> bytes, LoadedProject& out)
{
    out.scene.reset();
    auto scene = std::make_unique<CTessaline>();
    Archive ar(bytes);
    // A camera vector that the file leaves empty keeps this new-scene camera.
    const std::vector<CAnimation> defaultCamera = scene->m_camera;
    Serialize(ar, *scene);
    if (ar.Failed()) {
        return false;
    }
    if (scene->m_camera.empty()) {
        scene->m_camera = defaultCamera;
    }
    // A zero or negative zoom from a damaged or foreign file would make the
    // view matrix singular; the mouse never lets it drop below the floor either.
    for (CAnimation& record : scene->m_camera) {
        FloorScale(record.m_scale);
    }
    if (!RepairLoadedScene(*scene)) {
        return false;
    }
    out.scene = std::move(scene);
    return true;
}

namespace {

// Drop faces whose corners do not name vertices of the model (or that have
// not three or four corners), renumbering the faces the vertices list.
void RepairFaces(CModel& model)
{
    const std::size_t vertexCount = model.m_vertices.size();
    std::vector<int> newIndex(model.m_faces.size(), -1);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < model.m_faces.size(); ++i) {
        CFace& face = model.m_faces[i];
        const std::size_t n = face.m_indices.size();
        bool valid = n == 3 || n == 4;
        for (int corner : face.m_indices) {
            valid = valid && corner >= 0 && static_cast<std::size_t>(corner) < vertexCount;
        }
        if (!valid) {
            continue;
        }
        if (!face.m_uvs.empty() && face.m_uvs.size() != n) {
            face.m_uvs.clear(); // coordinates that do not pair with the corners
        }
        newIndex[i] = static_cast<int>(kept);
        if (kept != i) {
            model.m_faces[kept] = face;
        }
        ++kept;
    }
    model.m_faces.resize(kept);
    // Face positions outside the list go; the others follow the kept faces.
    for (CVertex& vertex : model.m_vertices) {
        std::vector<int>& faces = vertex.m_faces;
        std::size_t out = 0;
        for (int f : faces) {
            if (f >= 0 && static_cast<std::size_t>(f) < newIndex.size() && newIndex[static_cast<std::size_t>(f)] >= 0) {
                faces[out++] = newIndex[static_cast<std::size_t>(f)];
            }
        }
        faces.resize(out);
    }
}

} // namespace

bool RepairLoadedScene(CTessaline& scene)
{
    if (scene.m_characterNames.empty()) {
        scene.m_characterNames.assign(1, "Character_0");
    }
    if (scene.m_animationNames.empty()) {
        scene.m_animationNames.assign(1, "Animation_0");
    }
    const std::size_t animations = scene.m_animationNames.size();
    if (static_cast<long long>(animations) * static_cast<long long>(scene.m_models.size()) > kMaxFileTracks) {
        return false;
    }
    for (CModel& model : scene.m_models) {
        model.m_tracks.resize(animations);
        RepairFaces(model);
    }
    // Opening sizes every model's first track to the first animation's length;
    // a file whose short tracks would then explode is refused instead.
    if (scene.RecordsIfSized(0, scene.FrameCountOf(0)) > kRecordBudget) {
        return false;
    }
    scene.RepairParents();
    return true;
}

void AdoptLoadedProject(CTessaline& live, CTessaline&& loaded)
{
    live.m_version = loaded.m_version;
    live.m_models = std::move(loaded.m_models);
    live.m_camera = std::move(loaded.m_camera);
    live.m_materials = std::move(loaded.m_materials);
    live.m_characterNames = std::move(loaded.m_characterNames);
    live.m_animationNames = std::move(loaded.m_animationNames);
    live.m_lastModelId = loaded.m_lastModelId;
    live.m_nextMaterialId = loaded.m_nextMaterialId;
    live.m_smoothShading = loaded.m_smoothShading;
    live.m_fps = loaded.m_fps;
}

namespace {

// Passes the archive's blocks to the file, keeps the first error and counts
// the bytes for the progress report.
class AtomicFileSink final : public ArchiveSink {
public:
    AtomicFileSink(AtomicFile& file, WorkMeter& meter) : m_file(file), m_meter(meter) {}
    bool Write(const unsigned char* data, std::size_t size) override
    {
        const FileResult result = m_file.Write(data, size);
        if (!result.ok && error == 0) {
            error = result.error;
        }
        m_meter.Advance(size);
        static_cast<void>(m_meter.Poll());
        return result.ok;
    }
    int error = 0;

private:
    AtomicFile& m_file;
    WorkMeter& m_meter;
};

} // namespace

bool SaveProjectFile(CTessaline& scene, const std::string& path, std::string* detail, Progress* progress)
{
    AtomicFile file(path);
    FileResult result = file.Open();
    WorkMeter meter(progress, progress != nullptr ? ProjectFileSize(scene) : 0, WorkMeter::kUnstoppable);
    if (result.ok) {
        AtomicFileSink sink(file, meter);
        Archive ar(sink);
        if (!StoreProject(scene, ar) || !ar.Flush()) {
            result = FileResult{false, sink.error != 0 ? sink.error : ENOMEM};
        }
    }
    if (result.ok) {
        result = file.Commit();
        meter.Finish();
    }
    if (!result.ok && detail != nullptr) {
        *detail = std::strerror(result.error);
    }
    return result.ok;
}

} // namespace vantomo
