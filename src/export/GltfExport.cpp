// The glTF writer works in two passes over the scene. The plan pass decides
// everything the JSON needs (nodes, vertex and index counts, bounds, kept
// animation samples, textures) and lays out the buffer; the write pass walks
// the meshes again and streams their bytes through a small chunk into the
// file. So the export holds one mesh's index list at a time, never the whole
// buffer: a tinygltf model would hold the buffer, and its GLB writer copies it
// once more.
#include "export/GltfExport.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <sys/stat.h>

#include "animation/Pose.h"
#include "export/GltfJson.h"
#include "export/GltfSampling.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "base/PathHelpers.h"
#include "scene/Normals.h"
#include "base/Cp932.h"
#include "base/Numbers.h"
#include "base/FileIo.h"

namespace vantomo {

static_assert(std::endian::native == std::endian::little, "glTF buffers are little-endian");

namespace {

constexpr int kComponentFloat = 5126;
constexpr int kComponentUint32 = 5125;
constexpr int kTargetArrayBuffer = 34962;
constexpr int kTargetElementArrayBuffer = 34963;
constexpr std::uint32_t kNoVertex = std::numeric_limits<std::uint32_t>::max();

constexpr std::string_view kWriteFailed = "glTFファイルへの書き出しに失敗しました。";

// ---------------------------------------------------------------- plan data

struct ExportedModel {
    int model = 0;
    int poseNode = 0;
    int meshNode = 0;
    int mesh = -1; // glTF mesh index, -1 when the model has none (hidden, no faces)
};

struct PrimitivePlan {
    std::size_t slot = 0; // material slot: position in m_materials, or the default material after them
    bool texcoord = false;
    std::uint64_t vertexCount = 0;
    std::uint64_t indexCount = 0;
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    std::uint64_t vertexOffset = 0;
    std::uint64_t indexOffset = 0;
};

struct MeshPlan {
    int model = 0;
    std::vector<PrimitivePlan> primitives;
};

struct InputPlan {
    std::vector<float> times;
    std::uint64_t offset = 0;
    int accessor = 0;
};

struct ChannelPlan {
    int node = 0;
    std::string_view path;
    std::size_t input = 0; // index into the input plans
    std::size_t components = 3;
    std::vector<float> values;
    std::uint64_t offset = 0;
    int accessor = 0;
};

struct AnimationPlan {
    std::string name;
    std::vector<ChannelPlan> channels;
};

struct ImagePlan {
    std::string source;   // m_texture, which identifies the image
    std::string fileName; // UTF-8 file name beside the document (.gltf)
    std::vector<std::uint8_t> png;
    bool hasAlpha = false;
    std::uint64_t offset = 0; // inside the GLB buffer
    std::uint64_t view = 0;
};

struct MaterialPlan {
    std::string name;
    float color[4] = {0, 0, 0, 1};
    int image = -1;
    bool blend = false;
};

// Grows the buffer layout; every block starts on a 4-byte boundary.
struct Layout {
    std::uint64_t size = 0;
    std::uint64_t Reserve(std::uint64_t bytes)
    {
        size = (size + 3) & ~std::uint64_t{3};
        const std::uint64_t offset = size;
        size += bytes;
        return offset;
    }
};

// ---------------------------------------------------------------- helpers

float Clamp01(float value)
{
    if (!(value > 0.0f)) { // NaN too
        return 0.0f;
    }
    return value < 1.0f ? value : 1.0f;
}

bool Finite(const CVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

std::string PercentEncode(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The target name of a texture beside the document: only the file-name part
// of the stored name (never a folder, "..", or an absolute path), in UTF-8,
// with the extension ".png", or "texture.png" when nothing usable is left.
std::string TextureBaseName(const std::string& texture)
{
    const std::optional<std::string> fileName = GetPathFileName(texture, PathText::Cp932);
    std::string base;
    if (fileName) {
        base = GetPathBaseName(*fileName, PathText::Cp932).value_or("");
    }
    base = Cp932ToUtf8(base);
    for (char& ch : base) {
        if (static_cast<unsigned char>(ch) < 0x20 || ch == '/' || ch == '\\') {
            ch = '_';
        }
    }
    if (base.empty() || base.find_first_not_of('.') == std::string::npos) {
        base = "texture";
    }
    return base;
}

bool ImageHasAlpha(const DibStream& image)
{
    if (image.BitCount() != 32) {
        return false;
    }
    const std::int32_t width = image.Width();
    const std::int32_t height = image.AbsHeight();
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            if ((image.GetPixel(x, y) >> 24) != 0xFF) {
                return true;
            }
        }
    }
    return false;
}

ExportResult Failure(std::string message, std::string detail = {})
{
    ExportResult result;
    result.ok = false;
    result.message = std::move(message);
    result.detail = std::move(detail);
    return result;
}

std::string NotFiniteMessage(const CTessaline& scene, int model, std::string_view what)
{
    return "モデル「" + Cp932ToUtf8(scene.GetModelName(model)) + "」の" + std::string(what) +
           "に有限でない値（無限大または非数）があるため、glTFに書き出せません。";
}

// ---------------------------------------------------------------- mesh walk

// The faces of one model grouped by material slot, faces in order in each group.
struct FaceGroups {
    std::vector<std::uint32_t> faces;
    std::vector<std::size_t> begin; // per slot, plus one end entry
};

FaceGroups GroupFaces(const CModel& model, const std::unordered_map<int, std::size_t>& slotOfId,
                      std::size_t defaultSlot)
{
    FaceGroups groups;
    const std::size_t vertexCount = model.m_vertices.size();
    std::vector<std::size_t> slots(model.m_faces.size(), defaultSlot + 1); // +1: skipped
    std::vector<std::size_t> counts(defaultSlot + 2, 0);
    for (std::size_t f = 0; f < model.m_faces.size(); ++f) {
        const CFace& face = model.m_faces[f];
        const std::size_t corners = face.m_indices.size();
        if (corners < 3 || corners > 4) {
            continue;
        }
        bool inside = true;
        for (const int index : face.m_indices) {
            inside = inside && index >= 0 && static_cast<std::size_t>(index) < vertexCount;
        }
        if (!inside) {
            continue;
        }
        const auto found = slotOfId.find(face.m_material);
        slots[f] = found != slotOfId.end() ? found->second : defaultSlot;
        ++counts[slots[f]];
    }
    groups.begin.assign(defaultSlot + 2, 0);
    for (std::size_t s = 0; s <= defaultSlot; ++s) {
        groups.begin[s + 1] = groups.begin[s] + counts[s];
    }
    groups.faces.resize(groups.begin[defaultSlot + 1]);
    std::vector<std::size_t> next(groups.begin.begin(), groups.begin.end() - 1);
    for (std::size_t f = 0; f < model.m_faces.size(); ++f) {
        if (slots[f] <= defaultSlot) {
            groups.faces[next[slots[f]]++] = static_cast<std::uint32_t>(f);
        }
    }
    return groups;
}

// Maps model vertices to primitive vertices. A model vertex becomes one
// primitive vertex per texture coordinate it is used with; only the latest
// one is remembered, which shares every vertex of an unbroken UV island
// without a hash table.
struct VertexMap {
    std::vector<std::uint32_t> index;
    std::vector<CUV> uv;
    std::vector<std::size_t> touched; // vertices numbered since the last reset

    // Every vertex unnumbered, for a model of `vertices` vertices. Only the
    // entries the last primitive numbered are cleared, so a model of many
    // materials is not cleared whole once per material.
    void Reset(std::size_t vertices)
    {
        if (index.size() != vertices) {
            index.assign(vertices, kNoVertex);
            uv.resize(vertices);
        } else {
            for (const std::size_t vertex : touched) {
                index[vertex] = kNoVertex;
            }
        }
        touched.clear();
    }
};

// Walks the triangles of one primitive: onVertex(modelVertex, uv) for each new
// primitive vertex, in numbering order, and onIndex(primitiveVertex) for every
// triangle corner. A quadrilateral (0, 1, 2, 3) is the fan (0, 1, 2),
// (0, 2, 3), each triangle reversed so that it runs counter-clockwise seen
// from the front: (2, 1, 0) and (3, 2, 0); a triangle is (2, 1, 0). False
// when the primitive would need more vertices than a 32-bit index can name.
template <class OnVertex, class OnIndex>
bool WalkPrimitive(const CModel& model, std::span<const std::uint32_t> faces, bool texcoord, VertexMap& map,
                   OnVertex&& onVertex, OnIndex&& onIndex)
{
    std::uint32_t next = 0;
    static constexpr int kCorners[2][3] = {{2, 1, 0}, {3, 2, 0}};
    for (const std::uint32_t f : faces) {
        const CFace& face = model.m_faces[f];
        const int triangles = face.m_indices.size() == 4 ? 2 : 1;
        for (int t = 0; t < triangles; ++t) {
            for (const int corner : kCorners[t]) {
                const auto vertex = static_cast<std::size_t>(face.m_indices[static_cast<std::size_t>(corner)]);
                CUV uv;
                if (texcoord && static_cast<std::size_t>(corner) < face.m_uvs.size()) {
                    uv = face.m_uvs[static_cast<std::size_t>(corner)];
                    // A reader cannot do anything with a NaN coordinate; 0 samples the corner.
                    if (!std::isfinite(uv.m_u) || !std::isfinite(uv.m_v)) {
                        uv = CUV{};
                    }
                }
                std::uint32_t& mapped = map.index[vertex];
                if (mapped == kNoVertex || std::memcmp(&map.uv[vertex], &uv, sizeof(CUV)) != 0) {
                    if (next == kNoVertex) { // the largest value means "restart" to some readers
                        return false;
                    }
                    if (mapped == kNoVertex) {
                        map.touched.push_back(vertex);
                    }
                    mapped = next++;
                    map.uv[vertex] = uv;
                    onVertex(vertex, uv);
                }
                onIndex(mapped);
            }
        }
    }
    return true;
}

// A vertex normal as glTF requires it: of unit length. The renderer's normals
// are unit within float rounding; sums that overflowed or nearly cancelled
// are normalised again in double, or point up when nothing is left.
std::array<float, 3> UnitNormal(const CVector& n)
{
    const double x = n.x, y = n.y, z = n.z;
    const double lengthSquared = x * x + y * y + z * z;
    if (std::isfinite(lengthSquared) && std::fabs(lengthSquared - 1.0) <= 1e-6) {
        return {n.x, n.y, n.z};
    }
    const double length = std::sqrt(lengthSquared);
    if (!std::isfinite(length) || length < 1e-30) {
        return {0.0f, 1.0f, 0.0f};
    }
    return {static_cast<float>(x / length), static_cast<float>(y / length), static_cast<float>(z / length)};
}

// ---------------------------------------------------------------- output

// Streams bytes into an AtomicFile through a fixed chunk, reporting every
// chunk to the meter; when the user asks to stop, the sink fails with ECANCELED.
class BinarySink {
public:
    BinarySink(AtomicFile& file, WorkMeter& meter) : m_file(file), m_meter(meter), m_chunk(new unsigned char[kChunk])
    {
    }

    void Append(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        while (size > 0 && m_result.ok) {
            if (m_used == kChunk) {
                Flush();
            }
            const std::size_t n = std::min(size, kChunk - m_used);
            std::memcpy(m_chunk.get() + m_used, bytes, n);
            m_used += n;
            bytes += n;
            size -= n;
        }
    }
    // Zero bytes up to `position`, counted from the start of the sink.
    void PadTo(std::uint64_t position)
    {
        static constexpr unsigned char kZeros[8] = {};
        while (Position() < position && m_result.ok) {
            Append(kZeros, static_cast<std::size_t>(std::min<std::uint64_t>(8, position - Position())));
        }
    }
    void Flush()
    {
        if (m_used > 0 && m_result.ok) {
            m_result = m_file.Write(m_chunk.get(), m_used);
            m_flushed += m_used;
            m_meter.Advance(m_used);
            if (m_result.ok && !m_meter.Poll()) {
                m_result = FileResult{false, ECANCELED};
            }
        }
        m_used = 0;
    }
    std::uint64_t Position() const { return m_flushed + m_used; }
    const FileResult& Result() const { return m_result; }

private:
    static constexpr std::size_t kChunk = std::size_t{1} << 20;
    AtomicFile& m_file;
    WorkMeter& m_meter;
    std::unique_ptr<unsigned char[]> m_chunk;
    std::size_t m_used = 0;
    std::uint64_t m_flushed = 0;
    FileResult m_result{true, 0};
};

// ---------------------------------------------------------------- the export

class GltfWriter {
public:
    GltfWriter(const CTessaline& scene, const std::string& path, const GltfExportOptions& options,
               Progress* progress)
        : m_scene(scene), m_path(path), m_options(options), m_meter(progress)
    {
    }

    ExportResult Run();

private:
    bool PlanNodes();
    void PlanMaterials();
    bool CheckVertices();
    bool PlanMeshes();
    bool PlanAnimations();
    void LayOut();
    std::string BuildJson();
    bool WriteMeshData(BinarySink& sink);
    void WriteAnimationAndImageData(BinarySink& sink);
    ExportResult WriteGltfFiles(const std::string& json);
    ExportResult WriteGlbFile(const std::string& json);
    // The success of an export whose every file is in place.
    ExportResult Done();

    const CTessaline& m_scene;
    const std::string& m_path;
    const GltfExportOptions& m_options;
    std::string m_folder; // with its trailing separator, or empty
    std::string m_binName;

    std::string m_error; // set when a plan step refuses

    struct Node {
        std::string name;
        std::vector<int> children;
        int mesh = -1;
        bool pose = false;
        float translation[3] = {0, 0, 0};
        float rotation[4] = {0, 0, 0, 1};
        float scale[3] = {1, 1, 1};
        bool hasTranslation = false;
    };
    std::vector<Node> m_nodes;
    std::vector<int> m_rootNodes;
    std::vector<ExportedModel> m_models;

    std::unordered_map<int, std::size_t> m_slotOfId;
    std::vector<MaterialPlan> m_materials; // one per slot, the default material last
    std::vector<bool> m_materialUsed;
    std::vector<ImagePlan> m_images;
    std::vector<std::string> m_skipped;

    std::vector<MeshPlan> m_meshes;
    std::vector<InputPlan> m_inputs;
    std::vector<AnimationPlan> m_animations;
    Layout m_layout;
    WorkMeter m_meter; // bytes of the buffer and the document
};

bool GltfWriter::PlanNodes()
{
    const std::size_t characters = m_scene.m_characterNames.size();
    for (std::size_t k = 0; k < characters; ++k) {
        Node node;
        node.name = "char" + std::to_string(k) + ":" + Cp932ToUtf8(m_scene.m_characterNames[k]);
        m_rootNodes.push_back(static_cast<int>(m_nodes.size()));
        m_nodes.push_back(std::move(node));
    }
    const int modelCount = static_cast<int>(m_scene.m_models.size());
    std::vector<int> meshNodeOf; // stack of the mesh nodes of the models entered
    int characterNode = -1;
    for (const TraversalEntry& entry : m_scene.m_traversal) {
        if (entry.model < 0 || entry.model >= modelCount) {
            continue;
        }
        const CModel& model = m_scene.m_models[static_cast<std::size_t>(entry.model)];
        if (entry.kind == kBeginCharacter) {
            // The walk starts a character at one of its roots, which hangs at ~character.
            const int character = ~model.m_parent;
            characterNode = model.m_parent < 0 && static_cast<std::size_t>(character) < characters ? character : -1;
            meshNodeOf.clear();
        } else if (entry.kind == kEnterModel) {
            const int parentNode = meshNodeOf.empty() ? characterNode : meshNodeOf.back();
            ExportedModel exported;
            exported.model = entry.model;
            exported.poseNode = static_cast<int>(m_nodes.size());
            exported.meshNode = exported.poseNode + 1;
            const std::string name = Cp932ToUtf8(model.m_name);
            const std::string index = std::to_string(entry.model);

            const CAnimation record = m_scene.GetRecord(entry.model, m_options.pose.animation, m_options.pose.frame);
            const float s = m_options.scale;
            const CVector& p = model.m_pivot;
            if (!Finite(p)) {
                m_error = NotFiniteMessage(m_scene, entry.model, "ピボット");
                return false;
            }
            Node pose;
            pose.name = "pose" + index + ":" + name;
            pose.pose = true;
            pose.children.push_back(exported.meshNode);
            pose.translation[0] = (record.m_position.x + p.x) * s;
            pose.translation[1] = (record.m_position.y + p.y) * s;
            pose.translation[2] = (record.m_position.z + p.z) * s;
            const std::array<float, 4> q = AxisAngleToQuaternion(record.m_axis, record.m_angle);
            std::copy(q.begin(), q.end(), pose.rotation);
            pose.scale[0] = record.m_scale.x;
            pose.scale[1] = record.m_scale.y;
            pose.scale[2] = record.m_scale.z;
            const bool angleOk = std::isfinite(record.m_angle) || !IsUsableRotationAxis(record.m_axis);
            if (!Finite(CVector{pose.translation[0], pose.translation[1], pose.translation[2]}) ||
                !Finite(record.m_scale) || !angleOk) {
                m_error = NotFiniteMessage(m_scene, entry.model, "ポーズ");
                return false;
            }
            Node mesh;
            mesh.name = "mesh" + index + ":" + name;
            mesh.hasTranslation = true;
            // 0 - x rather than -x: a pivot at 0 gives 0, not -0.
            mesh.translation[0] = 0.0f - p.x * s;
            mesh.translation[1] = 0.0f - p.y * s;
            mesh.translation[2] = 0.0f - p.z * s;
            if (!Finite(CVector{mesh.translation[0], mesh.translation[1], mesh.translation[2]})) {
                m_error = NotFiniteMessage(m_scene, entry.model, "ピボット");
                return false;
            }
            if (parentNode >= 0) {
                m_nodes[static_cast<std::size_t>(parentNode)].children.push_back(exported.poseNode);
            }
            m_nodes.push_back(std::move(pose));
            m_nodes.push_back(std::move(mesh));
            m_models.push_back(exported);
            meshNodeOf.push_back(exported.meshNode);
        } else if (entry.kind == kLeaveModel) {
            if (!meshNodeOf.empty()) {
                meshNodeOf.pop_back();
            }
        }
    }
    return true;
}

void GltfWriter::PlanMaterials()
{
    const std::vector<CMaterial>& materials = m_scene.m_materials;
    for (std::size_t i = 0; i < materials.size(); ++i) {
        m_slotOfId.emplace(materials[i].m_id, i); // the first material of an id wins
    }
    // Texture target names in use, so that different sources never share one.
    std::map<std::string, std::string> sourceOfName;
    const std::string document = GetPathFileName(m_path).value_or("");
    sourceOfName[document] = "";
    sourceOfName[m_binName] = "";
    std::map<std::string, int> imageOfSource;
    std::map<std::string, bool> reported;

    auto skip = [&](const std::string& texture) {
        if (!reported[texture]) {
            reported[texture] = true;
            m_skipped.push_back(texture);
        }
    };

    for (std::size_t i = 0; i <= materials.size(); ++i) {
        const CMaterial fallback;
        const CMaterial& material = i < materials.size() ? materials[i] : fallback;
        MaterialPlan plan;
        plan.name = i < materials.size() ? Cp932ToUtf8(material.m_name) : "default";
        for (int c = 0; c < 3; ++c) {
            plan.color[c] = Clamp01(material.m_color[c] * material.m_diffuse);
        }
        plan.color[3] = Clamp01(material.m_color[3]);
        if (i < materials.size() && !material.m_texture.empty()) {
            const auto known = imageOfSource.find(material.m_texture);
            if (known != imageOfSource.end()) {
                plan.image = known->second;
            } else if (material.m_image == nullptr || material.m_image->IsEmpty()) {
                skip(material.m_texture);
            } else {
                ImagePlan image;
                image.source = material.m_texture;
                if (!EncodePNG(*material.m_image, image.png)) {
                    skip(material.m_texture);
                    plan.image = -2;
                }
                if (plan.image == -1 && !m_options.binary) {
                    // Beside the document: the first free name for this source,
                    // and never over a file this export did not write, unless
                    // that file already holds exactly these bytes.
                    const std::string base = TextureBaseName(material.m_texture);
                    for (int n = 1;; ++n) {
                        const std::string name = base + (n == 1 ? "" : "_" + std::to_string(n)) + ".png";
                        if (!sourceOfName.contains(name)) {
                            sourceOfName[name] = material.m_texture;
                            image.fileName = name;
                            break;
                        }
                    }
                    const std::string target = m_folder + image.fileName;
                    bool written = false;
                    if (FileExists(target)) {
                        FileBytes existing;
                        written = ReadWholeFile(target, existing).ok && existing.Size() == image.png.size() &&
                                  std::memcmp(existing.Data(), image.png.data(), image.png.size()) == 0;
                    } else {
                        written = WriteFileAtomically(target, image.png).ok;
                    }
                    if (!written) {
                        skip(material.m_texture);
                        plan.image = -2;
                    }
                    image.png.clear();
                    image.png.shrink_to_fit();
                }
                if (plan.image == -1) {
                    image.hasAlpha = ImageHasAlpha(*material.m_image);
                    plan.image = static_cast<int>(m_images.size());
                    imageOfSource[material.m_texture] = plan.image;
                    m_images.push_back(std::move(image));
                } else {
                    imageOfSource[material.m_texture] = -2;
                }
            }
            if (plan.image < 0) {
                plan.image = -1;
            }
        }
        plan.blend = plan.color[3] < 1.0f || (plan.image >= 0 && m_images[static_cast<std::size_t>(plan.image)].hasAlpha);
        m_materials.push_back(std::move(plan));
    }
    m_materialUsed.assign(m_materials.size(), false);
}

bool GltfWriter::CheckVertices()
{
    const float s = m_options.scale;
    for (const ExportedModel& exported : m_models) {
        const CModel& model = m_scene.m_models[static_cast<std::size_t>(exported.model)];
        if (model.m_visible == 0) {
            continue;
        }
        for (const CVertex& vertex : model.m_vertices) {
            const CVector scaled{vertex.m_position.x * s, vertex.m_position.y * s, vertex.m_position.z * s};
            if (!Finite(scaled)) {
                m_error = NotFiniteMessage(m_scene, exported.model, "頂点");
                return false;
            }
        }
    }
    return true;
}

bool GltfWriter::PlanMeshes()
{
    const std::size_t defaultSlot = m_scene.m_materials.size();
    const float s = m_options.scale;
    VertexMap map;
    for (ExportedModel& exported : m_models) {
        const CModel& model = m_scene.m_models[static_cast<std::size_t>(exported.model)];
        if (model.m_visible == 0) {
            continue;
        }
        const FaceGroups groups = GroupFaces(model, m_slotOfId, defaultSlot);
        MeshPlan mesh;
        mesh.model = exported.model;
        for (std::size_t slot = 0; slot <= defaultSlot; ++slot) {
            const std::span<const std::uint32_t> faces(groups.faces.data() + groups.begin[slot],
                                                       groups.begin[slot + 1] - groups.begin[slot]);
            if (faces.empty()) {
                continue;
            }
            PrimitivePlan primitive;
            primitive.slot = slot;
            // Coordinates go wherever faces carry them, so a model textured
            // elsewhere later keeps its mapping; a textured material needs
            // them whatever its faces carry.
            primitive.texcoord = m_materials[slot].image >= 0 ||
                                 std::any_of(faces.begin(), faces.end(), [&](std::uint32_t f) {
                                     return !model.m_faces[f].m_uvs.empty();
                                 });
            std::fill(std::begin(primitive.min), std::end(primitive.min), std::numeric_limits<float>::infinity());
            std::fill(std::begin(primitive.max), std::end(primitive.max), -std::numeric_limits<float>::infinity());
            map.Reset(model.m_vertices.size());
            const bool fits = WalkPrimitive(
                model, faces, primitive.texcoord, map,
                [&](std::size_t vertex, const CUV&) {
                    const CVector& p = model.m_vertices[vertex].m_position;
                    const float v[3] = {p.x * s, p.y * s, p.z * s};
                    for (int c = 0; c < 3; ++c) {
                        primitive.min[c] = std::min(primitive.min[c], v[c]);
                        primitive.max[c] = std::max(primitive.max[c], v[c]);
                    }
                    ++primitive.vertexCount;
                },
                [&](std::uint32_t) { ++primitive.indexCount; });
            if (!fits) {
                m_error = "モデル「" + Cp932ToUtf8(model.m_name) + "」の頂点が多すぎるため、glTFに書き出せません。";
                return false;
            }
            m_materialUsed[slot] = true;
            mesh.primitives.push_back(primitive);
        }
        if (!mesh.primitives.empty()) {
            exported.mesh = static_cast<int>(m_meshes.size());
            m_nodes[static_cast<std::size_t>(exported.meshNode)].mesh = exported.mesh;
            m_meshes.push_back(std::move(mesh));
        }
    }
    return true;
}

bool GltfWriter::PlanAnimations()
{
    if (m_models.empty()) {
        return true;
    }
    const double fps = m_scene.m_fps;
    if (!std::isfinite(fps) || !(fps > 0.0)) {
        m_error = "フレームレートが正しくないため、glTFに書き出せません。";
        return false;
    }
    std::map<std::vector<std::uint32_t>, std::size_t> inputOfKept;
    const float s = m_options.scale;
    for (std::size_t a = 0; a < m_scene.m_animationNames.size(); ++a) {
        const int animation = static_cast<int>(a);
        const int frames = m_scene.FrameCountOf(animation);
        std::vector<float> times(static_cast<std::size_t>(frames));
        for (int f = 0; f < frames; ++f) {
            times[static_cast<std::size_t>(f)] = static_cast<float>(static_cast<double>(f) / fps);
            if (!std::isfinite(times[static_cast<std::size_t>(f)]) ||
                (f > 0 && !(times[static_cast<std::size_t>(f)] > times[static_cast<std::size_t>(f - 1)]))) {
                m_error = "フレームレートが正しくないため、glTFに書き出せません。";
                return false;
            }
        }
        AnimationPlan plan;
        plan.name = Cp932ToUtf8(m_scene.m_animationNames[a]);
        std::vector<float> translation(static_cast<std::size_t>(frames) * 3);
        std::vector<float> rotation(static_cast<std::size_t>(frames) * 4);
        std::vector<float> scale(static_cast<std::size_t>(frames) * 3);
        for (const ExportedModel& exported : m_models) {
            const CModel& model = m_scene.m_models[static_cast<std::size_t>(exported.model)];
            const CVector& p = model.m_pivot;
            for (int f = 0; f < frames; ++f) {
                const CAnimation record = m_scene.GetRecord(exported.model, animation, f);
                const std::size_t i = static_cast<std::size_t>(f);
                translation[i * 3 + 0] = (record.m_position.x + p.x) * s;
                translation[i * 3 + 1] = (record.m_position.y + p.y) * s;
                translation[i * 3 + 2] = (record.m_position.z + p.z) * s;
                const std::array<float, 4> q = AxisAngleToQuaternion(record.m_axis, record.m_angle);
                std::copy(q.begin(), q.end(), rotation.begin() + static_cast<std::ptrdiff_t>(i * 4));
                scale[i * 3 + 0] = record.m_scale.x;
                scale[i * 3 + 1] = record.m_scale.y;
                scale[i * 3 + 2] = record.m_scale.z;
                const bool angleOk = std::isfinite(record.m_angle) || !IsUsableRotationAxis(record.m_axis);
                if (!Finite(CVector{translation[i * 3], translation[i * 3 + 1], translation[i * 3 + 2]}) ||
                    !Finite(record.m_scale) || !angleOk) {
                    m_error = NotFiniteMessage(m_scene, exported.model,
                                               "アニメーション「" + plan.name + "」のフレーム" + std::to_string(f) +
                                                   "の値");
                    return false;
                }
            }
            MakeQuaternionsContinuous(rotation);
            const struct {
                std::string_view path;
                const std::vector<float>* values;
                std::size_t components;
            } channels[3] = {{"translation", &translation, 3}, {"rotation", &rotation, 4}, {"scale", &scale, 3}};
            for (const auto& source : channels) {
                std::vector<std::uint32_t> kept =
                    KeptSamples(times, *source.values, source.components, source.components == 4);
                ChannelPlan channel;
                channel.node = exported.poseNode;
                channel.path = source.path;
                channel.components = source.components;
                channel.values.reserve(kept.size() * source.components);
                for (const std::uint32_t k : kept) {
                    for (std::size_t c = 0; c < source.components; ++c) {
                        channel.values.push_back((*source.values)[k * source.components + c]);
                    }
                }
                auto [it, added] = inputOfKept.try_emplace(std::move(kept), m_inputs.size());
                if (added) {
                    InputPlan input;
                    input.times.reserve(it->first.size());
                    for (const std::uint32_t k : it->first) {
                        input.times.push_back(times[k]);
                    }
                    m_inputs.push_back(std::move(input));
                }
                channel.input = it->second;
                plan.channels.push_back(std::move(channel));
            }
        }
        m_animations.push_back(std::move(plan));
    }
    return true;
}

void GltfWriter::LayOut()
{
    for (MeshPlan& mesh : m_meshes) {
        for (PrimitivePlan& primitive : mesh.primitives) {
            const std::uint64_t stride = primitive.texcoord ? 32 : 24;
            primitive.vertexOffset = m_layout.Reserve(primitive.vertexCount * stride);
            primitive.indexOffset = m_layout.Reserve(primitive.indexCount * 4);
        }
    }
    for (InputPlan& input : m_inputs) {
        input.offset = m_layout.Reserve(input.times.size() * 4);
    }
    for (AnimationPlan& animation : m_animations) {
        for (ChannelPlan& channel : animation.channels) {
            channel.offset = m_layout.Reserve(channel.values.size() * 4);
        }
    }
    if (m_options.binary) {
        for (ImagePlan& image : m_images) {
            image.offset = m_layout.Reserve(image.png.size());
        }
    }
}

std::string GltfWriter::BuildJson()
{
    GltfJson json;
    json.BeginObject();
    json.Key("asset").BeginObject();
    json.Key("version").String("2.0");
    json.Key("generator").String("Vantomo");
    json.Key("extras").BeginObject().Key("fps").Number(static_cast<double>(m_scene.m_fps)).EndObject();
    json.EndObject();

    json.Key("scene").Integer(0);
    json.Key("scenes").BeginArray().BeginObject();
    if (!m_rootNodes.empty()) {
        json.Key("nodes").BeginArray();
        for (const int node : m_rootNodes) {
            json.Integer(node);
        }
        json.EndArray();
    }
    json.EndObject().EndArray();

    if (!m_nodes.empty()) {
        json.Key("nodes").BeginArray();
        for (const Node& node : m_nodes) {
            json.BeginObject();
            json.Key("name").String(node.name);
            if (!node.children.empty()) {
                json.Key("children").BeginArray();
                for (const int child : node.children) {
                    json.Integer(child);
                }
                json.EndArray();
            }
            if (node.mesh >= 0) {
                json.Key("mesh").Integer(node.mesh);
            }
            if (node.pose || node.hasTranslation) {
                json.Key("translation").FloatArray(node.translation, 3);
            }
            if (node.pose) {
                json.Key("rotation").FloatArray(node.rotation, 4);
                json.Key("scale").FloatArray(node.scale, 3);
            }
            json.EndObject();
        }
        json.EndArray();
    }

    // Accessors and buffer views are numbered as they are written below.
    struct View {
        std::uint64_t offset, length, stride;
        int target;
    };
    std::vector<View> views;
    GltfJson accessors;
    accessors.BeginArray();
    int accessorCount = 0;
    auto addAccessor = [&](int view, std::uint64_t offset, int componentType, std::uint64_t count,
                           std::string_view type, const float* min, const float* max, std::size_t bounds) {
        accessors.BeginObject();
        accessors.Key("bufferView").Integer(view);
        if (offset != 0) {
            accessors.Key("byteOffset").Unsigned(offset);
        }
        accessors.Key("componentType").Integer(componentType);
        accessors.Key("count").Unsigned(count);
        accessors.Key("type").String(type);
        if (min != nullptr) {
            accessors.Key("min").FloatArray(min, bounds);
            accessors.Key("max").FloatArray(max, bounds);
        }
        accessors.EndObject();
        return accessorCount++;
    };

    if (!m_meshes.empty()) {
        json.Key("meshes").BeginArray();
        for (const MeshPlan& mesh : m_meshes) {
            json.BeginObject();
            json.Key("name").String(Cp932ToUtf8(m_scene.m_models[static_cast<std::size_t>(mesh.model)].m_name));
            json.Key("primitives").BeginArray();
            for (const PrimitivePlan& primitive : mesh.primitives) {
                const std::uint64_t stride = primitive.texcoord ? 32 : 24;
                const int vertexView = static_cast<int>(views.size());
                views.push_back({primitive.vertexOffset, primitive.vertexCount * stride, stride, kTargetArrayBuffer});
                const int indexView = static_cast<int>(views.size());
                views.push_back({primitive.indexOffset, primitive.indexCount * 4, 0, kTargetElementArrayBuffer});
                const int position = addAccessor(vertexView, 0, kComponentFloat, primitive.vertexCount, "VEC3",
                                                 primitive.min, primitive.max, 3);
                const int normal =
                    addAccessor(vertexView, 12, kComponentFloat, primitive.vertexCount, "VEC3", nullptr, nullptr, 0);
                int texcoord = -1;
                if (primitive.texcoord) {
                    texcoord = addAccessor(vertexView, 24, kComponentFloat, primitive.vertexCount, "VEC2", nullptr,
                                           nullptr, 0);
                }
                const int indices = addAccessor(indexView, 0, kComponentUint32, primitive.indexCount, "SCALAR",
                                                nullptr, nullptr, 0);
                json.BeginObject();
                json.Key("attributes").BeginObject();
                json.Key("POSITION").Integer(position);
                json.Key("NORMAL").Integer(normal);
                if (texcoord >= 0) {
                    json.Key("TEXCOORD_0").Integer(texcoord);
                }
                json.EndObject();
                json.Key("indices").Integer(indices);
                json.Key("material").Integer(static_cast<int>(primitive.slot));
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
    }

    // Every scene material keeps its position, so the glTF index is the slot;
    // the default material follows only when a face needs it.
    std::size_t materialCount = m_scene.m_materials.size();
    if (m_materialUsed.back()) {
        ++materialCount;
    }
    if (materialCount > 0) {
        json.Key("materials").BeginArray();
        for (std::size_t i = 0; i < materialCount; ++i) {
            const MaterialPlan& material = m_materials[i];
            json.BeginObject();
            json.Key("name").String(material.name);
            json.Key("pbrMetallicRoughness").BeginObject();
            json.Key("baseColorFactor").FloatArray(material.color, 4);
            json.Key("metallicFactor").Number(0);
            if (material.image >= 0) {
                json.Key("baseColorTexture").BeginObject().Key("index").Integer(material.image).EndObject();
            }
            json.EndObject();
            if (material.blend) {
                json.Key("alphaMode").String("BLEND");
            }
            json.EndObject();
        }
        json.EndArray();
    }

    if (!m_images.empty()) {
        json.Key("textures").BeginArray();
        for (std::size_t i = 0; i < m_images.size(); ++i) {
            json.BeginObject().Key("source").Integer(static_cast<int>(i)).EndObject();
        }
        json.EndArray();
        json.Key("images").BeginArray();
        for (ImagePlan& image : m_images) {
            json.BeginObject();
            if (m_options.binary) {
                image.view = views.size();
                views.push_back({image.offset, image.png.size(), 0, 0});
                json.Key("bufferView").Unsigned(image.view);
                json.Key("mimeType").String("image/png");
            } else {
                json.Key("uri").String(PercentEncode(image.fileName));
            }
            json.EndObject();
        }
        json.EndArray();
    }

    if (!m_animations.empty()) {
        std::vector<int> inputAccessors;
        for (const InputPlan& input : m_inputs) {
            const int view = static_cast<int>(views.size());
            views.push_back({input.offset, input.times.size() * 4, 0, 0});
            inputAccessors.push_back(addAccessor(view, 0, kComponentFloat, input.times.size(), "SCALAR",
                                                 &input.times.front(), &input.times.back(), 1));
        }
        json.Key("animations").BeginArray();
        for (const AnimationPlan& animation : m_animations) {
            json.BeginObject();
            json.Key("name").String(animation.name);
            json.Key("channels").BeginArray();
            for (std::size_t c = 0; c < animation.channels.size(); ++c) {
                json.BeginObject();
                json.Key("sampler").Unsigned(c);
                json.Key("target").BeginObject();
                json.Key("node").Integer(animation.channels[c].node);
                json.Key("path").String(animation.channels[c].path);
                json.EndObject();
                json.EndObject();
            }
            json.EndArray();
            json.Key("samplers").BeginArray();
            for (const ChannelPlan& channel : animation.channels) {
                const int view = static_cast<int>(views.size());
                views.push_back({channel.offset, channel.values.size() * 4, 0, 0});
                const int output = addAccessor(view, 0, kComponentFloat, channel.values.size() / channel.components,
                                               channel.components == 4 ? "VEC4" : "VEC3", nullptr, nullptr, 0);
                json.BeginObject();
                json.Key("input").Integer(inputAccessors[channel.input]);
                json.Key("interpolation").String("LINEAR");
                json.Key("output").Integer(output);
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
    }

    accessors.EndArray();
    if (accessorCount > 0) {
        json.Key("accessors").Raw(accessors.Text());
    }
    if (!views.empty()) {
        json.Key("bufferViews").BeginArray();
        for (const View& view : views) {
            json.BeginObject();
            json.Key("buffer").Integer(0);
            if (view.offset != 0) {
                json.Key("byteOffset").Unsigned(view.offset);
            }
            json.Key("byteLength").Unsigned(view.length);
            if (view.stride != 0) {
                json.Key("byteStride").Unsigned(view.stride);
            }
            if (view.target != 0) {
                json.Key("target").Integer(view.target);
            }
            json.EndObject();
        }
        json.EndArray();
    }
    if (m_layout.size > 0) {
        json.Key("buffers").BeginArray().BeginObject();
        json.Key("byteLength").Unsigned(m_layout.size);
        if (!m_options.binary) {
            json.Key("uri").String(PercentEncode(m_binName));
        }
        json.EndObject().EndArray();
    }
    json.EndObject();
    return json.Text();
}

bool GltfWriter::WriteMeshData(BinarySink& sink)
{
    const std::size_t defaultSlot = m_scene.m_materials.size();
    const float s = m_options.scale;
    VertexMap map;
    std::vector<std::uint32_t> indices;
    for (const MeshPlan& mesh : m_meshes) {
        const CModel& model = m_scene.m_models[static_cast<std::size_t>(mesh.model)];
        const FaceGroups groups = GroupFaces(model, m_slotOfId, defaultSlot);
        const std::vector<CVector> normals = ComputeFrontNormals(model);
        for (const PrimitivePlan& primitive : mesh.primitives) {
            const std::span<const std::uint32_t> faces(groups.faces.data() + groups.begin[primitive.slot],
                                                       groups.begin[primitive.slot + 1] - groups.begin[primitive.slot]);
            sink.PadTo(primitive.vertexOffset);
            indices.clear();
            indices.reserve(primitive.indexCount);
            map.Reset(model.m_vertices.size());
            (void)WalkPrimitive(
                model, faces, primitive.texcoord, map,
                [&](std::size_t vertex, const CUV& uv) {
                    const CVector& p = model.m_vertices[vertex].m_position;
                    const std::array<float, 3> n = UnitNormal(normals[vertex]);
                    float record[8] = {p.x * s, p.y * s, p.z * s, n[0], n[1], n[2], uv.m_u, uv.m_v};
                    sink.Append(record, primitive.texcoord ? 32 : 24);
                },
                [&](std::uint32_t index) { indices.push_back(index); });
            sink.PadTo(primitive.indexOffset);
            sink.Append(indices.data(), indices.size() * 4);
            if (!sink.Result().ok) {
                return false;
            }
        }
    }
    return true;
}

void GltfWriter::WriteAnimationAndImageData(BinarySink& sink)
{
    for (const InputPlan& input : m_inputs) {
        sink.PadTo(input.offset);
        sink.Append(input.times.data(), input.times.size() * 4);
    }
    for (const AnimationPlan& animation : m_animations) {
        for (const ChannelPlan& channel : animation.channels) {
            sink.PadTo(channel.offset);
            sink.Append(channel.values.data(), channel.values.size() * 4);
        }
    }
    if (m_options.binary) {
        for (const ImagePlan& image : m_images) {
            sink.PadTo(image.offset);
            sink.Append(image.png.data(), image.png.size());
        }
    }
}

ExportResult FileFailure(const FileResult& result)
{
    return WriteFailure(kWriteFailed, result.error != 0 ? result.error : EIO);
}

ExportResult GltfWriter::Done()
{
    m_meter.Finish();
    ExportResult done;
    done.ok = true;
    done.skippedTextures = m_skipped;
    return done;
}

ExportResult GltfWriter::WriteGltfFiles(const std::string& json)
{
    if (m_layout.size > 0) {
        AtomicFile bin(m_folder + m_binName);
        FileResult result = bin.Open();
        if (!result.ok) {
            return FileFailure(result);
        }
        BinarySink sink(bin, m_meter);
        if (!WriteMeshData(sink)) {
            return FileFailure(sink.Result());
        }
        WriteAnimationAndImageData(sink);
        sink.PadTo(m_layout.size);
        sink.Flush();
        if (!sink.Result().ok) {
            return FileFailure(sink.Result());
        }
        if (sink.Position() != m_layout.size) {
            return Failure(std::string(kWriteFailed), "internal layout mismatch");
        }
        result = bin.Commit();
        if (!result.ok) {
            return FileFailure(result);
        }
    }
    const FileResult result = WriteFileAtomically(
        m_path, std::span(reinterpret_cast<const unsigned char*>(json.data()), json.size()));
    if (!result.ok) {
        return FileFailure(result);
    }
    return Done();
}

ExportResult GltfWriter::WriteGlbFile(const std::string& json)
{
    const std::uint64_t jsonLength = (json.size() + 3) & ~std::uint64_t{3};
    const std::uint64_t binLength = (m_layout.size + 3) & ~std::uint64_t{3};
    const std::uint64_t total = 12 + 8 + jsonLength + (binLength > 0 ? 8 + binLength : 0);
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        return Failure("シーンが大きすぎるため、.glbに書き出せません（4 GiBまで）。.gltfで書き出してください。");
    }
    AtomicFile file(m_path);
    FileResult result = file.Open();
    if (!result.ok) {
        return FileFailure(result);
    }
    BinarySink sink(file, m_meter);
    const std::uint32_t header[5] = {0x46546C67u, 2u, static_cast<std::uint32_t>(total),
                                     static_cast<std::uint32_t>(jsonLength), 0x4E4F534Au};
    sink.Append(header, sizeof header);
    sink.Append(json.data(), json.size());
    while (sink.Position() < 20 + jsonLength) {
        sink.Append(" ", 1);
    }
    if (binLength > 0) {
        const std::uint32_t chunk[2] = {static_cast<std::uint32_t>(binLength), 0x004E4942u};
        sink.Append(chunk, sizeof chunk);
        // The plan counts offsets from the start of the buffer, the sink from
        // the start of the file.
        const std::uint64_t base = sink.Position();
        for (MeshPlan& mesh : m_meshes) {
            for (PrimitivePlan& primitive : mesh.primitives) {
                primitive.vertexOffset += base;
                primitive.indexOffset += base;
            }
        }
        for (InputPlan& input : m_inputs) {
            input.offset += base;
        }
        for (AnimationPlan& animation : m_animations) {
            for (ChannelPlan& channel : animation.channels) {
                channel.offset += base;
            }
        }
        for (ImagePlan& image : m_images) {
            image.offset += base;
        }
        if (!WriteMeshData(sink)) {
            return FileFailure(sink.Result());
        }
        WriteAnimationAndImageData(sink);
        sink.PadTo(base + binLength);
    }
    sink.Flush();
    if (!sink.Result().ok) {
        return FileFailure(sink.Result());
    }
    if (sink.Position() != total) {
        return Failure(std::string(kWriteFailed), "internal layout mismatch");
    }
    result = file.Commit();
    if (!result.ok) {
        return FileFailure(result);
    }
    return Done();
}

ExportResult GltfWriter::Run()
{
    if (!std::isfinite(m_options.scale) || !(m_options.scale > 0.0f)) {
        return Failure("倍率は0より大きい有限の数でなければなりません。");
    }
    m_folder = FolderOf(m_path, PathText::Native);
    const std::string title = GetPathBaseName(m_path, PathText::Native).value_or("scene");
    m_binName = title + ".bin";

    if (!PlanNodes()) {
        return Failure(m_error);
    }
    // Materials come before meshes (a primitive needs to know whether its
    // texture was written) but write texture files; refuse what can be
    // refused before that.
    if (!PlanAnimations() || !CheckVertices()) {
        return Failure(m_error);
    }
    PlanMaterials();
    if (!PlanMeshes()) {
        return Failure(m_error);
    }
    LayOut();
    const std::string json = BuildJson();
    m_meter.SetTotal(m_layout.size + json.size());
    return m_options.binary ? WriteGlbFile(json) : WriteGltfFiles(json);
}

} // namespace

ExportResult ExportGltf(CTessaline& scene, const std::string& path, const GltfExportOptions& options,
                        Progress* progress)
{
    scene.BuildTraversal();
    GltfWriter writer(scene, path, options, progress);
    return writer.Run();
}

} // namespace vantomo
