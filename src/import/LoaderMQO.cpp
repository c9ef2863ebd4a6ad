#include "import/LoaderMQO.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "import/MeshBuilder.h"
#include "import/MqozArchive.h"
#include "import/TextureLoader.h"
#include "scene/AppValues.h"
#include "base/Cp932.h"
#include "base/PathHelpers.h"
#include "scene/Names.h"
#include "scene/Normals.h"

namespace vantomo {

namespace {

// A count in the document that promised more than the lines gave must not
// keep its memory.
template <typename Vector>
void ReleaseOverReservation(Vector& items)
{
    if (items.capacity() > items.size() * 2 + 1024) {
        items.shrink_to_fit();
    }
}

// Ids and counters wrap like the 32-bit values they are instead of overflowing.
int WrappingAdd(int a, int b)
{
    return static_cast<int>(static_cast<unsigned>(a) + static_cast<unsigned>(b));
}

// The material attributes the reader keeps, in the order they are tried.
enum class Attribute { kShader, kDbls, kUid, kColor, kDiffuse, kAmbient, kSpecular, kEmissive, kPower,
                       kTexture, kAlphaPlane, kBump };

struct AttributeKeyword {
    std::string_view name;
    Attribute attribute;
    int values;
};

constexpr AttributeKeyword kAttributes[] = {
    {"shader", Attribute::kShader, 1},   {"dbls", Attribute::kDbls, 1},
    {"uid", Attribute::kUid, 1},         {"col", Attribute::kColor, 4},
    {"dif", Attribute::kDiffuse, 1},     {"amb", Attribute::kAmbient, 1},
    {"spc", Attribute::kSpecular, 1},    {"emi", Attribute::kEmissive, 1},
    {"power", Attribute::kPower, 1},     {"tex", Attribute::kTexture, 1},
    {"aplane", Attribute::kAlphaPlane, 1}, {"bump", Attribute::kBump, 1},
};

// Smallest number of bytes a vertex line ("0 0 0\n") and a face line
// ("3 V(0 0 0)\n") take; bounds what a count in the document may reserve.
constexpr std::size_t kMinVertexLine = 6;
constexpr std::size_t kMinFaceLine = 11;
constexpr std::size_t kMaxReserve = std::size_t{1} << 22;

// A vertex of a binary block: three little-endian floats.
constexpr std::size_t kBinaryVertexBytes = 12;

// What follows the reader whatever its result: the scene is made whole again.
void FinishImport(CTessaline& scene)
{
    if (scene.m_materials.empty()) {
        CMaterial material;
        material.m_id = 0;
        scene.m_materials.push_back(std::move(material));
        scene.m_nextMaterialId = WrappingAdd(scene.m_nextMaterialId, 1);
    }
    for (CMaterial& material : scene.m_materials) {
        material.UpdateD3DMaterial();
    }
    for (CModel& model : scene.m_models) {
        model.UpdateBounds();
    }
    for (CModel& model : scene.m_models) {
        // The renderer makes a buffer again for every model whose handle is 0.
        model.m_vertexBuffer = 0;
        ComputeNormals(model);
    }
    MakeNamesUnique(scene);
}

} // namespace

LoaderMQO::LoaderMQO(CTessaline& scene, ByteSource& source, MessageSink& messages, const TrackShape& shape)
    : m_scene(&scene),
      m_messages(&messages),
      m_tokens(source),
      m_rootParent(~scene.m_selectedCharacter),
      m_materialBase(scene.m_nextMaterialId),
      m_shape(shape)
{
}

int LoaderMQO::Load()
{
    const int header = CheckHeader();
    if (header != kMqoOk) {
        return header;
    }
    const int result = ReadChunks();
    // An object left out while the rest was read still leaves the document
    // read only in part.
    return result == kMqoOk && !m_unreadObjects.empty() ? kMqoMalformed : result;
}

std::string LoaderMQO::Text(int index) const
{
    const std::string_view token = m_tokens.GetToken(index);
    return m_utf8 ? Utf8ToCp932(token) : std::string(token);
}

std::size_t LoaderMQO::ReserveHint(int count, std::size_t minBytes) const
{
    if (count <= 0) {
        return 0;
    }
    const std::optional<std::uint64_t> left = m_tokens.Remaining();
    const std::uint64_t bound = left ? *left / minBytes : 1024;
    return static_cast<std::size_t>(
        std::min<std::uint64_t>({static_cast<std::uint64_t>(count), bound, kMaxReserve}));
}

int LoaderMQO::CheckHeader()
{
    int n = m_tokens.ReadLine();
    if (n < 2 || !m_tokens.Equals(0, "Metasequoia") || !m_tokens.Equals(1, "Document")) {
        return kMqoNotDocument;
    }
    n = m_tokens.ReadLine();
    if (n < 4 || !m_tokens.Equals(0, "Format") || !m_tokens.Equals(1, "Text") ||
        !m_tokens.Equals(2, "Ver") || m_tokens.GetDouble(3) < 1.0) {
        return kMqoBadFormat;
    }
    return kMqoOk;
}

int LoaderMQO::ReadChunks()
{
    for (;;) {
        const int n = m_tokens.ReadLine();
        if (n < 0) {
            return kMqoOk; // the end of the file ends the document; "Eof" is not needed
        }
        if (n == 0) {
            continue;
        }
        int result = kMqoOk;
        if (n >= 2 && m_tokens.Equals(0, "Material")) {
            if (!m_tokens.Equals(n - 1, "{")) {
                return kMqoMalformed;
            }
            result = ReadMaterialChunk();
        } else if (n >= 2 && m_tokens.Equals(0, "Object")) {
            if (!m_tokens.Equals(n - 1, "{")) {
                return kMqoMalformed;
            }
            result = ReadObject(n);
        } else {
            if (n >= 2 && m_tokens.Equals(0, "CodePage") && m_tokens.Equals(1, "utf8")) {
                // Metasequoia 4 writes UTF-8 text after this line; double-byte
                // pairing would split its characters wrongly.
                m_utf8 = true;
                m_tokens.SetDoubleByte(false);
            }
            result = SkipChunk(n);
        }
        if (result != kMqoOk) {
            return result;
        }
    }
}

int LoaderMQO::ReadMaterialChunk()
{
    for (;;) {
        const int n = m_tokens.ReadLine();
        if (n < 0) {
            return kMqoEndInChunk;
        }
        if (n == 0) {
            continue;
        }
        if (m_tokens.Equals(0, "}")) {
            return kMqoOk;
        }
        ReadMaterialLine(n);
    }
}

void LoaderMQO::ReadMaterialLine(int n)
{
    CMaterial material;
    material.m_name = Text(0);
    int i = 1;
    while (i < n) {
        const AttributeKeyword* keyword = nullptr;
        for (const AttributeKeyword& candidate : kAttributes) {
            if (m_tokens.Equals(i, candidate.name)) {
                keyword = &candidate;
                break;
            }
        }
        if (keyword != nullptr && i + keyword->values + 3 <= n) {
            if (!m_tokens.Equals(i + 1, "(") || !m_tokens.Equals(i + keyword->values + 2, ")")) {
                break; // the rest of the line is ignored
            }
            const int v = i + 2;
            switch (keyword->attribute) {
            case Attribute::kShader: material.m_shader = m_tokens.GetInt(v); break;
            case Attribute::kDbls:
            case Attribute::kUid: break;
            case Attribute::kColor:
                for (int c = 0; c < 4; ++c) {
                    material.m_color[c] = m_tokens.GetFloat(v + c);
                }
                break;
            case Attribute::kDiffuse: material.m_diffuse = m_tokens.GetFloat(v); break;
            case Attribute::kAmbient: material.m_ambient = m_tokens.GetFloat(v); break;
            case Attribute::kSpecular: material.m_specular = m_tokens.GetFloat(v); break;
            case Attribute::kEmissive: material.m_emissive = m_tokens.GetFloat(v); break;
            case Attribute::kPower: material.m_power = m_tokens.GetFloat(v); break;
            case Attribute::kTexture: material.m_texture = Text(v); break;
            case Attribute::kAlphaPlane: material.m_alphaPlane = Text(v); break;
            case Attribute::kBump: material.m_bump = Text(v); break;
            }
            i += keyword->values + 3;
            continue;
        }
        // An unknown attribute (or one without room for its values) is
        // skipped with its parenthesised values.
        if (!m_tokens.Equals(i + 1, "(")) {
            break;
        }
        int close = i + 2;
        while (close < n && !m_tokens.Equals(close, ")")) {
            ++close;
        }
        i = close + 1;
    }
    material.m_id = m_scene->m_nextMaterialId;
    m_scene->m_nextMaterialId = WrappingAdd(m_scene->m_nextMaterialId, 1);
    m_scene->m_materials.push_back(std::move(material));
}

int LoaderMQO::ReadObject(int n)
{
    CModel model;
    if (n >= 3) {
        model.m_name = Text(1);
    }
    bool unreadable = false;
    const int result = ReadObjectChunk(model, unreadable);
    if (result != kMqoOk || unreadable) {
        m_unreadObjects.push_back(std::move(model.m_name)); // an object not read whole is discarded
        return result;
    }
    if (!BuildMesh(model)) {
        m_facelessObjects.push_back(std::move(model.m_name));
        return kMqoOk;
    }
    LinkFaces(model);
    model.ResetTrack(0, m_shape);
    // The other animations get their frames too, as the models already there
    // have them: an empty track would be filled only when its animation is
    // next shown, a change of the project that no undo step holds.
    for (std::size_t a = 0; a < model.m_tracks.size(); ++a) {
        Track& track = model.m_tracks[a];
        if (track.empty()) {
            track.resize(static_cast<std::size_t>(m_scene->FrameCountOf(static_cast<int>(a))));
            track[0].m_key = 1;
        }
    }
    // The new tracks count against the record budget as every edit's do, so
    // a long timeline typed into a scene of few models cannot make an import
    // exhaust memory: an object beyond it is left out, and named.
    long long records = 0;
    for (const Track& track : model.m_tracks) {
        records += static_cast<long long>(track.size());
    }
    if (m_scene->RecordsIfSized(-1, 0) + records > kRecordBudget) {
        m_unreadObjects.push_back(std::move(model.m_name));
        return kMqoOk;
    }
    ++m_modelsAdded;
    m_scene->m_lastModelId = WrappingAdd(m_scene->m_lastModelId, 1);
    model.m_id = m_scene->m_lastModelId;
    model.m_parent = m_rootParent;
    m_scene->m_models.push_back(std::move(model));
    return kMqoOk;
}

int LoaderMQO::ReadObjectChunk(CModel& model, bool& unreadable)
{
    // The vertices come from the first list the object holds, text or binary;
    // a list of the other kind after it would renumber the faces' corners.
    enum class VertexList { kNone, kText, kBinary };
    VertexList vertexList = VertexList::kNone;
    for (;;) {
        const int n = m_tokens.ReadLine();
        if (n < 0) {
            return kMqoEndInChunk;
        }
        int result = kMqoOk;
        if (n >= 1 && m_tokens.Equals(0, "}")) {
            return kMqoOk;
        } else if (n >= 2 && m_tokens.Equals(0, "facet")) {
            model.m_facet = m_tokens.GetFloat(1);
        } else if (n >= 2 && m_tokens.Equals(0, "mirror_axis")) {
            model.m_mirrorAxis = m_tokens.GetInt(1);
        } else if (n >= 3 && m_tokens.Equals(0, "vertex")) {
            if (!m_tokens.Equals(n - 1, "{")) {
                return kMqoMalformed;
            }
            if (vertexList == VertexList::kBinary) {
                result = SkipChunk(n);
            } else {
                vertexList = VertexList::kText;
                result = ReadVertexChunk(model, m_tokens.GetInt(1));
            }
        } else if (n >= 3 && m_tokens.Equals(0, "BVertex")) {
            if (!m_tokens.Equals(n - 1, "{")) {
                return kMqoMalformed;
            }
            if (vertexList == VertexList::kText) {
                result = SkipChunk(n);
            } else {
                vertexList = VertexList::kBinary;
                result = ReadBinaryVertexChunk(model, m_tokens.GetInt(1), unreadable);
            }
        } else if (n >= 2 && m_tokens.Equals(0, "face")) {
            if (!m_tokens.Equals(n - 1, "{")) {
                return kMqoMalformed;
            }
            result = ReadFaceChunk(model, n >= 3 ? m_tokens.GetInt(1) : 0);
        } else {
            result = SkipChunk(n);
        }
        if (result != kMqoOk) {
            return result;
        }
    }
}

int LoaderMQO::ReadVertexChunk(CModel& model, int countHint)
{
    // The count on the opening line only sizes the list; the lines decide.
    model.m_vertices.reserve(model.m_vertices.size() + ReserveHint(countHint, kMinVertexLine));
    for (;;) {
        const int n = m_tokens.ReadLine();
        if (n < 0) {
            return kMqoEndInChunk;
        }
        if (m_tokens.Equals(0, "}")) {
            ReleaseOverReservation(model.m_vertices);
            return kMqoOk;
        }
        if (n >= 3) {
            float xyz[3];
            m_tokens.GetFloats(0, 3, xyz);
            model.m_vertices.emplace_back().m_position = CVector{xyz[0], xyz[1], xyz[2]};
        }
    }
}

int LoaderMQO::ReadBinaryVertexChunk(CModel& model, int count, bool& unreadable)
{
    for (;;) {
        const int n = m_tokens.ReadLine();
        if (n < 0) {
            return kMqoEndInChunk;
        }
        if (n == 0) {
            continue;
        }
        if (m_tokens.Equals(0, "}")) {
            return kMqoOk;
        }
        // "Vector n [b]": b bytes of n little-endian float triples follow the line.
        const bool vectors = n >= 5 && m_tokens.Equals(0, "Vector") && m_tokens.Equals(n - 3, "[") &&
                             m_tokens.Equals(n - 1, "]");
        if (!vectors) {
            const int result = SkipChunk(n);
            if (result != kMqoOk) {
                return result;
            }
            continue;
        }
        const int vectorCount = m_tokens.GetInt(1);
        const int bytes = m_tokens.GetInt(n - 2);
        if (vectorCount < 0 || vectorCount != count ||
            static_cast<long long>(bytes) != static_cast<long long>(kBinaryVertexBytes) * vectorCount) {
            // Which number is wrong cannot be told, so no vertex of the block
            // can be trusted; its announced size still says where it ends.
            unreadable = true;
            const int result = SkipBinaryData(bytes);
            if (result != kMqoOk) {
                return result;
            }
            continue;
        }
        const int result = ReadBinaryVertices(model, vectorCount);
        if (result != kMqoOk) {
            return result;
        }
    }
}

int LoaderMQO::ReadBinaryVertices(CModel& model, int count)
{
    model.m_vertices.reserve(model.m_vertices.size() + ReserveHint(count, kBinaryVertexBytes));
    // A run of vertices at a time: a count the file does not hold stops at
    // its end, having stored no more than the file had.
    constexpr int kRun = 1024;
    std::array<unsigned char, kBinaryVertexBytes * kRun> run;
    for (int done = 0; done < count;) {
        const int take = std::min(kRun, count - done);
        const std::size_t want = kBinaryVertexBytes * static_cast<std::size_t>(take);
        if (m_tokens.ReadBytes(reinterpret_cast<char*>(run.data()), want) != want) {
            return kMqoMalformed; // the object is discarded
        }
        for (int v = 0; v < take; ++v) {
            float xyz[3];
            for (int c = 0; c < 3; ++c) {
                const unsigned char* b = run.data() + kBinaryVertexBytes * static_cast<std::size_t>(v) + 4 * c;
                const std::uint32_t bits = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 |
                                           std::uint32_t{b[2]} << 16 | std::uint32_t{b[3]} << 24;
                xyz[c] = std::bit_cast<float>(bits);
            }
            model.m_vertices.emplace_back().m_position = CVector{xyz[0], xyz[1], xyz[2]};
        }
        done += take;
    }
    return kMqoOk;
}

int LoaderMQO::ReadFaceChunk(CModel& model, int countHint)
{
    model.m_faces.reserve(model.m_faces.size() + ReserveHint(countHint, kMinFaceLine));
    // Positions are computed in 64 bits: a corner count near the int limit
    // must not wrap the index arithmetic.
    const auto equals = [this](long long index, std::string_view text) {
        return index >= 0 && index < m_tokens.GetCount() && m_tokens.Equals(static_cast<int>(index), text);
    };
    const auto getInt = [this](long long index) { return m_tokens.GetInt(static_cast<int>(index)); };
    for (;;) {
        const int n = m_tokens.ReadLine();
        if (n < 0) {
            return kMqoEndInChunk;
        }
        if (n == 0) {
            continue;
        }
        if (m_tokens.Equals(0, "}")) {
            ReleaseOverReservation(model.m_faces);
            return kMqoOk;
        }
        const long long k = m_tokens.GetInt(0);
        if (!m_tokens.Equals(1, "V") || n < k + 4) {
            return kMqoMalformed;
        }
        if (!equals(2, "(") || !equals(k + 3, ")")) {
            continue;
        }
        CFace face;
        const int corners = static_cast<int>(std::clamp(k, 0LL, 4LL));
        face.m_indices.resize(static_cast<std::size_t>(corners));
        m_tokens.GetInts(3, corners, face.m_indices.data());
        long long p = k + 4;
        if (equals(p, "M") && n >= k + 8) {
            if (!equals(k + 5, "(") || !equals(k + 7, ")")) {
                continue;
            }
            face.m_material = WrappingAdd(m_materialBase, getInt(k + 6));
            p = k + 8;
        } else {
            face.m_material = m_materialBase;
        }
        if (equals(p, "UV") && n >= p + 2 * k + 3) {
            if (!equals(p + 1, "(") || !equals(p + 2 * k + 2, ")")) {
                continue;
            }
            float uv[8];
            m_tokens.GetFloats(static_cast<int>(p + 2), 2 * corners, uv);
            for (int c = 0; c < corners; ++c) {
                face.m_uvs.push_back(CUV{uv[2 * c], uv[2 * c + 1]});
            }
        }
        model.m_faces.push_back(face);
    }
}

int LoaderMQO::SkipChunk(int n)
{
    const auto binaryBlock = [this](int count) {
        return count >= 3 && m_tokens.Equals(count - 3, "[") && m_tokens.Equals(count - 1, "]");
    };
    if (m_tokens.Equals(n - 1, "{")) {
        int depth = 1;
        while (depth > 0) {
            const int m = m_tokens.ReadLine();
            if (m < 0) {
                return kMqoEndInChunk;
            }
            if (m == 0) {
                continue;
            }
            if (m_tokens.Equals(m - 1, "{")) {
                ++depth;
            } else if (m_tokens.Equals(m - 1, "}")) {
                --depth;
            } else if (binaryBlock(m)) {
                const int result = SkipBinaryData(m_tokens.GetInt(m - 2));
                if (result != kMqoOk) {
                    return result;
                }
            }
        }
        return kMqoOk;
    }
    if (binaryBlock(n)) {
        return SkipBinaryData(m_tokens.GetInt(n - 2));
    }
    return kMqoOk;
}

int LoaderMQO::SkipBinaryData(int count)
{
    // A negative count would move back to the line announcing it, and the
    // reader would go round for ever.
    if (count < 0) {
        return kMqoMalformed;
    }
    m_tokens.SkipBytes(static_cast<std::uint64_t>(count));
    return kMqoOk;
}

OpenResult ImportMQO(CTessaline& scene, ByteSource& source, MessageSink& messages, const TextureLookup* textures,
                     Progress* progress, const TrackShape& shape)
{
    OpenResult result;
    result.ok = true;
    const std::size_t firstNew = scene.m_materials.size();
    const std::size_t firstNewModel = scene.m_models.size();
    const int nextMaterialId = scene.m_nextMaterialId;
    const int lastModelId = scene.m_lastModelId;
    {
        std::optional<ProgressByteSource> counted;
        if (progress != nullptr) {
            counted.emplace(source, *progress);
        }
        LoaderMQO loader(scene, counted ? static_cast<ByteSource&>(*counted) : source, messages, shape);
        result.importCode = loader.Load();
        result.unreadObjects = loader.UnreadObjects();
        if (loader.ModelsAdded() == 0) {
            result.objectsWithoutModel = loader.FacelessObjects();
        }
        if (counted && counted->Stopped()) {
            // Nothing the reader added stays: the scene is as it was before.
            scene.m_models.resize(firstNewModel);
            scene.m_materials.resize(firstNew);
            scene.m_nextMaterialId = nextMaterialId;
            scene.m_lastModelId = lastModelId;
            OpenResult cancelled;
            cancelled.cancelled = true;
            return cancelled;
        }
    }
    // The reader only parses; the files its texture names point at are found
    // where the caller says, if anywhere.
    if (textures != nullptr) {
        for (std::size_t m = firstNew; m < scene.m_materials.size(); ++m) {
            CMaterial& material = scene.m_materials[m];
            if (material.m_texture.empty()) {
                continue;
            }
            ++(LoadTexture(material, messages, *textures) ? result.texturesFound : result.texturesMissing);
            // The renderer makes the device texture from m_image when it next draws.
            material.m_d3dTexture = 0;
        }
    }
    FinishImport(scene);
    const std::string missing = MissingObjectsMessage(result);
    if (!missing.empty()) {
        messages.ShowMessage(missing);
    }
    return result;
}

OpenResult ImportMQO(CTessaline& scene, const std::string& path, MessageSink& messages, TextureLookup* textures,
                     Progress* progress, const TrackShape& shape)
{
    if (LowerAscii(GetPathExtension(path)) == "mqoz") {
        MqozDocument container;
        std::string error;
        if (!container.Open(path, error)) {
            OpenResult result;
            result.message = kOpenFailedMessage;
            result.detail = error;
            return result;
        }
        if (textures != nullptr) {
            textures->baseFolder = FolderOf(path, PathText::Native);
        }
        return ImportMQO(scene, container.Source(), messages, textures, progress, shape);
    }

    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        OpenResult result;
        result.message = kOpenFailedMessage;
        result.detail = std::strerror(errno);
        return result;
    }
    if (textures != nullptr) {
        textures->baseFolder = FolderOf(path, PathText::Native);
    }
    OpenResult result;
    {
        FileByteSource source(file);
        result = ImportMQO(scene, source, messages, textures, progress, shape);
    }
    std::fclose(file);
    return result;
}

std::string MissingObjectsMessage(const OpenResult& result)
{
    std::string text;
    const auto list = [&text](const char* heading, const std::vector<std::string>& names) {
        if (names.empty()) {
            return;
        }
        if (!text.empty()) {
            text += '\n';
        }
        text += heading;
        for (const std::string& name : names) {
            text += '\n';
            text += Cp932ToUtf8(name);
        }
    };
    list(kUnreadObjectsMessage, result.unreadObjects);
    list(kObjectsWithoutModelMessage, result.objectsWithoutModel);
    return text;
}

const char* MqoResultMeaning(int code)
{
    switch (code) {
    case kMqoOk:
        return "complete";
    case kMqoMalformed:
        return "a malformed line";
    case kMqoEndInChunk:
        return "the document ends inside a chunk";
    case kMqoNotDocument:
        return "not a Metasequoia document";
    case kMqoBadFormat:
        return "an unsupported format version";
    default:
        return "incomplete";
    }
}

} // namespace vantomo
