#include "export/MqoWriter.h"

#include <cstring>
#include <string_view>

namespace vantomo {

namespace {

// A name inside double quotes: a '"' or a control byte would end or break
// the quoted token for a reader. CP932 trail bytes are never below 0x40, so
// replacing single bytes cannot split a double-byte character.
void AppendQuotedName(TextOutput& out, std::string_view name)
{
    out.Append('"');
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        out.Append(u < 0x20 || u == 0x7F || c == '"' ? '_' : c);
    }
    out.Append('"');
}

void AppendNumbers(TextOutput& out, const float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            out.Append(' ');
        }
        out.Fixed6(values[i]);
    }
}

} // namespace

MaterialPositions::MaterialPositions(const std::vector<CMaterial>& materials)
{
    m_positions.reserve(materials.size());
    for (std::size_t i = 0; i < materials.size(); ++i) {
        m_positions.emplace(materials[i].m_id, static_cast<int>(i)); // keeps the first
    }
}

int MaterialPositions::Find(int id) const
{
    const auto it = m_positions.find(id);
    return it != m_positions.end() ? it->second : -1;
}

int MaterialPositions::Of(int id) const
{
    const int position = Find(id);
    return position >= 0 ? position : id;
}

void WriteMQOObject(TextOutput& out, const CModel& model, const MaterialPositions& materials, bool writeUV,
                    float scale)
{
    out.Append("\tvertex ");
    out.Int(static_cast<long long>(model.m_vertices.size()));
    out.Append(" {\r\n");
    for (const CVertex& vertex : model.m_vertices) {
        const float p[3] = {vertex.m_position.x * scale, vertex.m_position.y * scale, vertex.m_position.z * scale};
        out.Append("\t\t");
        AppendNumbers(out, p, 3);
        out.EndLine();
    }
    out.Append("\t}\r\n");

    out.Append("\tface ");
    out.Int(static_cast<long long>(model.m_faces.size()));
    out.Append(" {\r\n");
    for (const CFace& face : model.m_faces) {
        out.Advance(1);
        const std::size_t corners = face.m_indices.size();
        if (corners != 3 && corners != 4) {
            continue;
        }
        if (out.Failed()) {
            return; // nothing more reaches the file
        }
        out.Append(corners == 3 ? "\t\t3 V(" : "\t\t4 V(");
        for (std::size_t c = 0; c < corners; ++c) {
            if (c > 0) {
                out.Append(' ');
            }
            out.Int(face.m_indices[c]);
        }
        out.Append(") M(");
        out.Int(materials.Of(face.m_material));
        out.Append(')');
        if (writeUV && face.m_uvs.size() >= corners) {
            out.Append(" UV(");
            for (std::size_t c = 0; c < corners; ++c) {
                if (c > 0) {
                    out.Append(' ');
                }
                out.Fixed6(face.m_uvs[c].m_u);
                out.Append(' ');
                out.Fixed6(face.m_uvs[c].m_v);
            }
            out.Append(')');
        }
        out.EndLine();
    }
    out.Append("\t}\r\n");
}

ExportResult WriteMQO(const CTessaline& scene, float scale, const std::string& path, bool writeUV,
                      Progress* progress)
{
    ExportResult result;
    TextOutput out(path);
    std::uint64_t faces = 0;
    for (const CModel& model : scene.m_models) {
        faces += model.m_faces.size();
    }
    out.SetProgress(progress, faces);
    if (out.Open()) {
        out.Append("Metasequoia Document\r\n"
                   "Format Text Ver 1.0\r\n"
                   "\r\n"
                   "Scene {\r\n"
                   "\tpos 0.0000 0.0000 1500.0000\r\n"
                   "\tlookat 0.0000 0.0000 0.0000\r\n"
                   "\thead -0.5236\r\n"
                   "\tpich 0.5236\r\n"
                   "\tortho 0\r\n"
                   "\tzoom2 5.0000\r\n"
                   "\tamb 0.250 0.250 0.250\r\n"
                   "}\r\n"
                   "Material ");
        out.Int(static_cast<long long>(scene.m_materials.size()));
        out.Append(" {\r\n");
        for (const CMaterial& material : scene.m_materials) {
            out.Append('\t');
            AppendQuotedName(out, material.m_name);
            out.Append(" shader(3) col(");
            AppendNumbers(out, material.m_color, 4);
            const std::pair<const char*, float> factors[] = {
                {") dif(", material.m_diffuse},  {") amb(", material.m_ambient},
                {") emi(", material.m_emissive}, {") spc(", material.m_specular},
                {") power(", material.m_power},
            };
            for (const auto& [label, value] : factors) {
                out.Append(label);
                out.Fixed6(value);
            }
            out.Append(')');
            if (!material.m_texture.empty()) {
                out.Append(" tex(");
                AppendQuotedName(out, material.m_texture);
                out.Append(')');
            }
            out.EndLine();
        }
        out.Append("}\r\n");
        const MaterialPositions positions(scene.m_materials);
        for (const CModel& model : scene.m_models) {
            if (out.Failed()) {
                break;
            }
            out.Append("Object ");
            AppendQuotedName(out, model.m_name);
            out.Append(" {\r\n"
                       "\tvisible 15\r\n"
                       "\tlocking 1\r\n"
                       "\tshading 1\r\n"
                       "\tfacet 59.5\r\n"
                       "\tcolor 0.898 0.498 0.698\r\n"
                       "\tcolor_type 0\r\n");
            WriteMQOObject(out, model, positions, writeUV, scale);
            out.Append("\r\n}\r\n");
        }
        out.Append("Eof\r\n");
    }
    if (!out.Commit()) {
        return WriteFailure(kMqoExportFailedMessage, out.Error());
    }
    result.ok = true;
    return result;
}

} // namespace vantomo
