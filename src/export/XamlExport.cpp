#include "export/XamlExport.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string_view>

#include "animation/Pose.h"
#include "base/PathHelpers.h"
#include "export/MqoWriter.h"
#include "export/XamlNames.h"
#include "export/XamlTextures.h"
#include "math/D3DMath.h"
#include "scene/Normals.h"

namespace vantomo {

namespace {

// The material id as the last part of a name. Ids are not negative in any
// scene the program builds; a negative one still gives an identifier.
void AppendId(TextOutput& out, int id)
{
    if (id < 0) {
        out.Append('m');
        out.Int(-static_cast<long long>(id));
    } else {
        out.Int(id);
    }
}

// A colour component or opacity for the brush: NaN counts as 0, the rest is
// held to [0, 1] so the hex digits and the opacity stay in range.
float ClampUnit(float value)
{
    if (!(value >= 0.0f)) {
        return 0.0f;
    }
    return value > 1.0f ? 1.0f : value;
}

void AppendHexByte(TextOutput& out, int value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out.Append(kHex[(value >> 4) & 15]);
    out.Append(kHex[value & 15]);
}

void AppendTriple(TextOutput& out, float x, float y, float z, char separator)
{
    out.Fixed6(x);
    out.Append(separator);
    out.Fixed6(y);
    out.Append(separator);
    out.Fixed6(z);
}

void Line(TextOutput& out, int tabs, std::string_view text)
{
    out.Tabs(tabs);
    out.Append(text);
    out.EndLine();
}

// The positions in m_materials of the materials a model's faces use, in list
// order; a face names a material by id and the first material with that id
// owns it.
std::vector<int> UsedMaterials(const CModel& model, const MaterialPositions& positions, std::size_t materialCount)
{
    std::vector<bool> used(materialCount, false);
    for (const CFace& face : model.m_faces) {
        const std::size_t corners = face.m_indices.size();
        if (corners != 3 && corners != 4) {
            continue;
        }
        const int position = positions.Find(face.m_material);
        if (position >= 0) {
            used[static_cast<std::size_t>(position)] = true;
        }
    }
    std::vector<int> list;
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i]) {
            list.push_back(static_cast<int>(i));
        }
    }
    return list;
}

void WriteMaterial(TextOutput& out, const XamlNameSet& names, std::size_t index, const CMaterial& material,
                   const std::string& imageFile)
{
    out.Append("\t\t\t\t<MaterialGroup x:Key=\"Material_");
    out.Append(names.title);
    out.Append('_');
    out.Append(names.materials[index]);
    out.Append("\" >\r\n");
    Line(out, 5, "<DiffuseMaterial>");
    Line(out, 6, "<DiffuseMaterial.Brush>");
    if (imageFile.empty()) {
        out.Append("\t\t\t\t\t\t\t<SolidColorBrush Color=\"#");
        for (int c = 0; c < 3; ++c) {
            AppendHexByte(out, static_cast<int>(ClampUnit(material.m_color[c]) * 255.0f));
        }
        out.Append("\" Opacity=\"");
        out.Fixed6(ClampUnit(material.m_color[3]));
        out.Append("\"/>\r\n");
    } else {
        out.Append("\t\t\t\t\t\t\t<ImageBrush ImageSource=\"");
        out.Append(XmlEscapeAttribute(PercentEncodeFileName(imageFile)));
        out.Append("\" TileMode=\"Tile\" ViewportUnits=\"Absolute\" Viewport=\"0 0 1 1\" AlignmentX=\"Left\" "
                   "AlignmentY=\"Top\" Opacity=\"1.000000\" />\r\n");
    }
    Line(out, 6, "</DiffuseMaterial.Brush>");
    Line(out, 5, "</DiffuseMaterial>");
    Line(out, 4, "</MaterialGroup>");
}

// A transform group at rest: translation, scale, rotation, translation. A
// model's group scales and turns about its pivot (`centre`, already scaled);
// a character's (`centre` null) about the origin, written as plain zeros.
void WriteTransformGroup(TextOutput& out, std::string_view kind, const std::string& title, const std::string& name,
                         const CVector* centre)
{
    const auto centreAttributes = [&] {
        out.Append("CenterX=\"");
        out.Fixed6(centre->x);
        out.Append("\" CenterY=\"");
        out.Fixed6(centre->y);
        out.Append("\" CenterZ=\"");
        out.Fixed6(centre->z);
        out.Append('"');
    };
    out.Append("\t\t\t\t<Transform3DGroup x:Key=\"Transform_");
    out.Append(kind);
    out.Append('_');
    out.Append(title);
    out.Append('_');
    out.Append(name);
    out.Append("\" >\r\n");
    Line(out, 5, "<TranslateTransform3D OffsetX=\"0\" OffsetY=\"0\" OffsetZ=\"0\"/>");
    if (centre != nullptr) {
        out.Append("\t\t\t\t\t<ScaleTransform3D ");
        centreAttributes();
        out.Append(" ScaleX=\"1\" ScaleY=\"1\" ScaleZ=\"1\"/>\r\n");
        out.Append("\t\t\t\t\t<RotateTransform3D ");
        centreAttributes();
        out.Append(">\r\n");
    } else {
        Line(out, 5, "<ScaleTransform3D ScaleX=\"1\" ScaleY=\"1\" ScaleZ=\"1\"/>");
        Line(out, 5, "<RotateTransform3D CenterX=\"0\" CenterY=\"0\" CenterZ=\"0\">");
    }
    Line(out, 6, "<RotateTransform3D.Rotation>");
    Line(out, 7, "<AxisAngleRotation3D Angle=\"0\" Axis=\"0 1 0\"/>");
    Line(out, 6, "</RotateTransform3D.Rotation>");
    Line(out, 5, "</RotateTransform3D>");
    Line(out, 5, "<TranslateTransform3D OffsetX=\"0\" OffsetY=\"0\" OffsetZ=\"0\"/>");
    Line(out, 4, "</Transform3DGroup>");
}

// WPF's FieldOfView is the horizontal angle, the 3D view's the vertical one:
// the horizontal angle that the vertical one gives at the Viewport3D's
// 400 x 300, in degrees.
double HorizontalFieldOfView(float verticalDegrees)
{
    const double fov = verticalDegrees;
    return 2.0 * std::atan(std::tan(fov * (std::numbers::pi / 180.0) / 2.0) * (400.0 / 300.0)) *
           (180.0 / std::numbers::pi);
}

// The eye (scaled as every other coordinate) and the look direction in world
// space, from the inverse of the view matrix the 3D view draws with.
void WriteCameraAndLights(TextOutput& out, const CTessaline& scene, const std::string& title, float scale)
{
    const CAnimation camera = scene.m_camera.empty() ? CAnimation{} : scene.GetCameraRecord();
    const D3DXMATRIX view = CameraViewMatrix(camera);
    D3DXMATRIX inverse = D3DXMatrixIdentity();
    (void)D3DXMatrixInverse(inverse, view); // a singular view keeps the unit matrix
    const D3DXVECTOR4 eye = D3DXVec4Transform({0.0f, 0.0f, 0.0f, 1.0f}, inverse);
    const D3DXVECTOR4 look = D3DXVec4Normalize(D3DXVec4Transform({0.0f, 0.0f, -1.0f, 0.0f}, inverse));

    Line(out, 2, "<Viewport3D.Camera>");
    out.Append("\t\t\t<PerspectiveCamera x:Name=\"Camera_");
    out.Append(title);
    out.Append("\" Position=\"");
    AppendTriple(out, eye.x * scale, eye.y * scale, eye.z * scale, ',');
    out.Append("\" LookDirection=\"");
    AppendTriple(out, look.x, look.y, look.z, ',');
    out.Append("\" UpDirection=\"0.000000,1.000000,0.000000\" FieldOfView=\"");
    // "%f" of a double; the angle lies within +-180 degrees (or is NaN), so the buffer holds it.
    char fov[kMaxFixed6Chars];
    const std::to_chars_result written =
        std::to_chars(fov, fov + sizeof fov, HorizontalFieldOfView(scene.m_fieldOfView), std::chars_format::fixed, 6);
    out.Append(std::string_view(fov, written.ec == std::errc{} ? static_cast<std::size_t>(written.ptr - fov) : 0));
    out.Append("\" NearPlaneDistance=\"1\" FarPlaneDistance=\"10000\" />\r\n");
    Line(out, 2, "</Viewport3D.Camera>");
    out.EndLine();
    Line(out, 2, "<ModelVisual3D>");
    Line(out, 3, "<ModelVisual3D.Content>");
    Line(out, 4, "<Model3DGroup>");
    Line(out, 5, "<AmbientLight Color=\"#646464\" />");
    out.Append("\t\t\t\t\t<DirectionalLight x:Name=\"Light_");
    out.Append(title);
    out.Append("\" Color=\"#FFFFFF\" Direction=\"");
    AppendTriple(out, look.x, look.y, look.z, ',');
    out.Append("\" />\r\n");
    Line(out, 4, "</Model3DGroup>");
    Line(out, 3, "</ModelVisual3D.Content>");
    Line(out, 2, "</ModelVisual3D>");
}

// The character hierarchy from m_traversal. Returns per model whether it was
// written (a model the walk does not reach has no element to animate).
std::vector<bool> WriteHierarchy(TextOutput& out, const CTessaline& scene, const XamlNameSet& names,
                                 const std::vector<std::vector<int>>& used)
{
    const std::string& t = names.title;
    std::vector<bool> written(scene.m_models.size(), false);
    for (const TraversalEntry& entry : scene.m_traversal) {
        if (entry.model < 0 || static_cast<std::size_t>(entry.model) >= scene.m_models.size()) {
            continue;
        }
        const auto m = static_cast<std::size_t>(entry.model);
        const CModel& model = scene.m_models[m];
        switch (entry.kind) {
        case kBeginCharacter: {
            // The walk begins each character at one of its root models, whose
            // parent reference names the character.
            const std::size_t c = model.m_parent < 0 ? static_cast<std::size_t>(~model.m_parent) : 0;
            const std::string& character = c < names.characters.size() ? names.characters[c] : names.title;
            out.Append("\t\t<ModelVisual3D x:Name=\"Character_");
            out.Append(t);
            out.Append('_');
            out.Append(character);
            out.Append("\" Transform=\"{StaticResource Transform_Character_");
            out.Append(t);
            out.Append('_');
            out.Append(character);
            out.Append("}\">\r\n");
            Line(out, 3, "<ModelVisual3D.Content>");
            Line(out, 4, "<Model3DGroup>");
            break;
        }
        case kEnterModel: {
            const std::string& name = names.models[m];
            written[m] = true;
            out.Append("\t\t\t\t\t<Model3DGroup x:Name=\"Model_");
            out.Append(t);
            out.Append('_');
            out.Append(name);
            out.Append("\" Transform=\"{StaticResource Transform_Model_");
            out.Append(t);
            out.Append('_');
            out.Append(name);
            out.Append("}\">\r\n");
            for (const int position : used[m]) {
                const int id = scene.m_materials[static_cast<std::size_t>(position)].m_id;
                out.Append("\t\t\t\t\t\t<GeometryModel3D x:Name=\"Geometry_Model_");
                out.Append(t);
                out.Append('_');
                out.Append(name);
                out.Append('_');
                AppendId(out, id);
                out.Append("\" Geometry=\"{StaticResource Geometry_");
                out.Append(t);
                out.Append('_');
                out.Append(name);
                out.Append('_');
                AppendId(out, id);
                out.Append("}\" Material=\"{StaticResource Material_");
                out.Append(t);
                out.Append('_');
                out.Append(names.materials[static_cast<std::size_t>(position)]);
                out.Append("}\"/>\r\n");
            }
            break;
        }
        case kLeaveModel:
            Line(out, 5, "</Model3DGroup>");
            break;
        case kEndCharacter:
            Line(out, 4, "</Model3DGroup>");
            Line(out, 3, "</ModelVisual3D.Content>");
            Line(out, 2, "</ModelVisual3D>");
            break;
        default:
            break;
        }
    }
    return written;
}

void WriteStoryboards(TextOutput& out, const CTessaline& scene, const XamlNameSet& names,
                      const std::vector<bool>& written, float scale)
{
    Line(out, 1, "<Viewbox.Resources>");
    for (std::size_t a = 0; a < names.animations.size(); ++a) {
        out.Append("\t\t<Storyboard Duration=\"");
        if (a == 0) {
            out.Append("Forever");
        } else {
            const int frames = scene.FrameCountOf(static_cast<int>(a));
            out.Append(XamlTimeSpan(static_cast<float>(frames - 1) / scene.m_fps));
        }
        out.Append("\" FillBehavior=\"HoldEnd\" BeginTime=\"0:0:0\" x:Key=\"Animation_");
        out.Append(names.title);
        out.Append('_');
        out.Append(names.animations[a]);
        out.Append("\">\r\n");
        for (std::size_t m = 0; m < scene.m_models.size(); ++m) {
            const CModel& model = scene.m_models[m];
            if (written[m] && a < model.m_tracks.size()) {
                WriteXamlStoryboard(out, names, m, model.m_tracks[a], scale, scene.m_fps);
                out.Advance(model.m_tracks[a].size());
            }
        }
        Line(out, 2, "</Storyboard>");
    }
    Line(out, 1, "</Viewbox.Resources>");
    out.EndLine();
    Line(out, 1, "<Viewbox.Triggers>");
    Line(out, 2, "<EventTrigger RoutedEvent=\"Viewport3D.Loaded\">");
    Line(out, 3, "<EventTrigger.Actions>");
    out.Append("\t\t\t\t<BeginStoryboard Storyboard=\"{StaticResource Animation_");
    out.Append(names.title);
    out.Append('_');
    out.Append(names.animations.front());
    out.Append("}\" />\r\n");
    Line(out, 3, "</EventTrigger.Actions>");
    Line(out, 2, "</EventTrigger>");
    Line(out, 1, "</Viewbox.Triggers>");
}

// One corner of a triangle: the model vertex and its texture coordinate.
struct Corner {
    int vertex;
    CUV uv;
};

// The triangles of a face: a triangle as it is, a quadrilateral as (0, 1, 2)
// and (0, 2, 3); the corners with their UVs, (0, 0) where the face has none.
template <typename Emit>
void ForEachTriangle(const CFace& face, std::size_t vertexCount, Emit emit)
{
    const std::size_t corners = face.m_indices.size();
    if (corners != 3 && corners != 4) {
        return;
    }
    const auto corner = [&](std::size_t c) {
        return Corner{face.m_indices[c], c < face.m_uvs.size() ? face.m_uvs[c] : CUV{}};
    };
    for (std::size_t c = 0; c < corners; ++c) {
        if (face.m_indices[c] < 0 || static_cast<std::size_t>(face.m_indices[c]) >= vertexCount) {
            return; // a broken face gives no triangle rather than a bad index
        }
    }
    emit(corner(0), corner(1), corner(2));
    if (corners == 4) {
        emit(corner(0), corner(2), corner(3));
    }
}

} // namespace

std::string XamlTimeSpan(float t)
{
    if (!(t > 0.0f) || !std::isfinite(t)) {
        return "0:0:0.000000";
    }
    char buffer[96];
    char* p = buffer;
    if (t < 86400.0f) {
        const int h = static_cast<int>(t / 3600);
        const int m = -60 * h - static_cast<int>(t / -60.0);
        const float s = t - static_cast<float>(3600 * h) - static_cast<float>(60 * m);
        p = FormatDecimal(p, h);
        *p++ = ':';
        p = FormatDecimal(p, m);
        *p++ = ':';
        p = FormatFloatFixed6(p, s);
        return std::string(buffer, p);
    }
    // Whole microseconds; double(t) x 10^6 is exact, so this is the one rounding.
    const double micro = std::nearbyint(static_cast<double>(t) * 1.0e6);
    const long long total = micro >= 9.2e18 ? 9'200'000'000'000'000'000LL : static_cast<long long>(micro);
    const long long seconds = total / 1'000'000;
    const long long fraction = total % 1'000'000;
    p = FormatDecimal(p, seconds / 86400);
    *p++ = '.';
    p = FormatDecimal(p, seconds / 3600 % 24);
    *p++ = ':';
    p = FormatDecimal(p, seconds / 60 % 60);
    *p++ = ':';
    p = FormatDecimal(p, seconds % 60);
    *p++ = '.';
    for (long long unit = 100000; unit > 0; unit /= 10) {
        *p++ = static_cast<char>('0' + fraction / unit % 10);
    }
    return std::string(buffer, p);
}

void WriteXamlMeshes(TextOutput& out, const CTessaline& scene, std::size_t modelIndex, const XamlNameSet& names,
                     const MaterialPositions& positions, const std::vector<bool>& imageWritten, bool writeUV,
                     float scale, bool writeNormals, int meshLayout)
{
    const CModel& model = scene.m_models[modelIndex];
    const std::size_t vertexCount = model.m_vertices.size();
    // The faces grouped by the material that owns them, in face order.
    std::vector<int> facePosition(model.m_faces.size(), -1);
    std::vector<std::size_t> start(scene.m_materials.size() + 1, 0);
    for (std::size_t f = 0; f < model.m_faces.size(); ++f) {
        const std::size_t corners = model.m_faces[f].m_indices.size();
        if (corners == 3 || corners == 4) {
            facePosition[f] = positions.Find(model.m_faces[f].m_material);
            if (facePosition[f] >= 0) {
                ++start[static_cast<std::size_t>(facePosition[f]) + 1];
            }
        }
    }
    for (std::size_t i = 1; i < start.size(); ++i) {
        start[i] += start[i - 1];
    }
    std::vector<int> ordered(start.back());
    {
        std::vector<std::size_t> next(start.begin(), start.end() - 1);
        for (std::size_t f = 0; f < model.m_faces.size(); ++f) {
            if (facePosition[f] >= 0) {
                ordered[next[static_cast<std::size_t>(facePosition[f])]++] = static_cast<int>(f);
            }
        }
    }

    // Worked out from the positions here, as the glTF writer does: the
    // vertices' stored normals are only filled where something drew them.
    // The triangles are written reversed, so the normals face their front
    // and WPF's directional light reaches them.
    const std::vector<CVector> normals = writeNormals ? ComputeFrontNormals(model) : std::vector<CVector>{};
    std::vector<int> meshVertex(meshLayout == 1 ? 0 : vertexCount, -1);
    std::vector<Corner> vertices; // the mesh vertices in numbering order
    for (std::size_t position = 0; position < scene.m_materials.size(); ++position) {
        if (start[position] == start[position + 1]) {
            continue;
        }
        const CMaterial& material = scene.m_materials[position];
        out.Append("\t\t\t\t<MeshGeometry3D x:Key=\"Geometry_");
        out.Append(names.title);
        out.Append('_');
        out.Append(names.models[modelIndex]);
        out.Append('_');
        AppendId(out, material.m_id);
        out.Append("\" \r\n");

        out.Append("\t\t\t\t\tTriangleIndices=\"");
        vertices.clear();
        for (std::size_t i = start[position]; i < start[position + 1]; ++i) {
            if (out.Failed()) {
                return; // nothing more reaches the file
            }
            out.Advance(1);
            const CFace& face = model.m_faces[static_cast<std::size_t>(ordered[i])];
            ForEachTriangle(face, vertexCount, [&](const Corner& a, const Corner& b, const Corner& c) {
                int ia = 0, ib = 0, ic = 0;
                if (meshLayout == 1) {
                    ia = static_cast<int>(vertices.size());
                    ib = ia + 1;
                    ic = ia + 2;
                    vertices.push_back(a);
                    vertices.push_back(b);
                    vertices.push_back(c);
                } else {
                    const auto number = [&](const Corner& corner) {
                        int& n = meshVertex[static_cast<std::size_t>(corner.vertex)];
                        if (n < 0) {
                            n = static_cast<int>(vertices.size());
                            vertices.push_back(corner);
                        }
                        return n;
                    };
                    ia = number(a);
                    ib = number(b);
                    ic = number(c);
                }
                out.Int(ic);
                out.Append(',');
                out.Int(ib);
                out.Append(',');
                out.Int(ia);
                out.Append(' ');
            });
        }
        out.Append("\"\r\n");
        if (writeNormals) {
            out.Append("\t\t\t\t\tNormals=\"");
            for (const Corner& v : vertices) {
                const CVector& n = normals[static_cast<std::size_t>(v.vertex)];
                AppendTriple(out, n.x, n.y, n.z, ',');
                out.Append(' ');
            }
            out.Append("\"\r\n");
        }
        if (writeUV && imageWritten[position]) {
            out.Append("\t\t\t\t\tTextureCoordinates=\"");
            for (const Corner& v : vertices) {
                out.Fixed6(v.uv.m_u);
                out.Append(',');
                out.Fixed6(v.uv.m_v);
                out.Append(' ');
            }
            out.Append("\"\r\n");
        }
        out.Append("\t\t\t\t\tPositions=\"");
        for (const Corner& v : vertices) {
            const CVector& p = model.m_vertices[static_cast<std::size_t>(v.vertex)].m_position;
            AppendTriple(out, p.x * scale, p.y * scale, p.z * scale, ',');
            out.Append(' ');
        }
        out.Append("\"\r\n");
        Line(out, 4, "/>");
        if (meshLayout != 1) {
            for (const Corner& v : vertices) {
                meshVertex[static_cast<std::size_t>(v.vertex)] = -1;
            }
        }
    }
}

void WriteXamlStoryboard(TextOutput& out, const XamlNameSet& names, std::size_t model, const Track& track,
                         float scale, float fps)
{
    struct Channel {
        const char* property;
        float (*value)(const CAnimation&);
        float rest;
        bool rotation;
        bool offset;
    };
    static constexpr std::string_view kGroup = "(Model3DGroup.Transform).(Transform3DGroup.Children)";
    static const Channel kChannels[] = {
        {"[1].(ScaleTransform3D.ScaleX)", [](const CAnimation& r) { return r.m_scale.x; }, 1.0f, false, false},
        {"[1].(ScaleTransform3D.ScaleY)", [](const CAnimation& r) { return r.m_scale.y; }, 1.0f, false, false},
        {"[1].(ScaleTransform3D.ScaleZ)", [](const CAnimation& r) { return r.m_scale.z; }, 1.0f, false, false},
        {"[2].(RotateTransform3D.Rotation)", [](const CAnimation& r) { return r.m_angle; }, 0.0f, true, false},
        {"[3].(TranslateTransform3D.OffsetX)", [](const CAnimation& r) { return r.m_position.x; }, 0.0f, false, true},
        {"[3].(TranslateTransform3D.OffsetY)", [](const CAnimation& r) { return r.m_position.y; }, 0.0f, false, true},
        {"[3].(TranslateTransform3D.OffsetZ)", [](const CAnimation& r) { return r.m_position.z; }, 0.0f, false, true},
    };
    const std::size_t n = track.size();
    const std::string duration = XamlTimeSpan(static_cast<float>(static_cast<long long>(n) - 1) / fps);
    for (const Channel& channel : kChannels) {
        bool moves = false;
        for (const CAnimation& record : track) {
            if (record.m_key != 0 && channel.value(record) != channel.rest) {
                moves = true;
                break;
            }
        }
        if (!moves) {
            continue;
        }
        const char* element = channel.rotation ? "Rotation3DAnimationUsingKeyFrames" : "DoubleAnimationUsingKeyFrames";
        out.Append("\t\t\t<");
        out.Append(element);
        out.Append(" RepeatBehavior=\"Forever\" BeginTime=\"0:0:0\" Duration=\"");
        out.Append(duration);
        out.Append("\" Storyboard.TargetName=\"Model_");
        out.Append(names.title);
        out.Append('_');
        out.Append(names.models[model]);
        out.Append("\" Storyboard.TargetProperty=\"");
        out.Append(kGroup);
        out.Append(channel.property);
        out.Append("\">\r\n");
        for (std::size_t j = 0; j < n; ++j) {
            const CAnimation& record = track[j];
            if (record.m_key == 0) {
                continue;
            }
            const std::string time = XamlTimeSpan(static_cast<float>(j) / fps);
            if (channel.rotation) {
                out.Append("\t\t\t\t<LinearRotation3DKeyFrame KeyTime=\"");
                out.Append(time);
                out.Append("\">\r\n");
                Line(out, 5, "<LinearRotation3DKeyFrame.Value>");
                out.Append("\t\t\t\t\t\t<AxisAngleRotation3D Angle=\"");
                out.Fixed6(record.m_angle);
                out.Append("\" Axis=\"");
                AppendTriple(out, record.m_axis.x, record.m_axis.y, record.m_axis.z, ' ');
                out.Append("\"/>\r\n");
                Line(out, 5, "</LinearRotation3DKeyFrame.Value>");
                Line(out, 4, "</LinearRotation3DKeyFrame>");
            } else {
                out.Append("\t\t\t\t<LinearDoubleKeyFrame KeyTime=\"");
                out.Append(time);
                out.Append("\" Value=\"");
                out.Fixed6(channel.offset ? channel.value(record) * scale : channel.value(record));
                out.Append("\" />\r\n");
            }
        }
        out.Append("\t\t\t</");
        out.Append(element);
        out.Append(">\r\n");
    }
}

ExportResult ExportXaml(CTessaline& scene, const std::string& path, int meshLayout, int animationKeys, bool writeUV,
                        float scale, bool writeNormals, Progress* progress)
{
    ExportResult result;
    scene.BuildTraversal();
    XamlTextureFiles textures = WriteXamlTextures(scene, FolderOf(path, PathText::Native));
    result.skippedTextures = std::move(textures.skipped);
    std::vector<bool> imageWritten(scene.m_materials.size());
    for (std::size_t i = 0; i < imageWritten.size(); ++i) {
        imageWritten[i] = !textures.fileNames[i].empty();
    }

    XamlNameSet names;
    names.title = XamlTitlePart(path);
    names.characters = XamlNameParts(scene.m_characterNames);
    names.animations = XamlNameParts(scene.m_animationNames);
    {
        std::vector<std::string> list;
        list.reserve(scene.m_models.size());
        for (const CModel& model : scene.m_models) {
            list.push_back(model.m_name);
        }
        names.models = XamlNameParts(list);
        list.clear();
        for (const CMaterial& material : scene.m_materials) {
            list.push_back(material.m_name);
        }
        names.materials = XamlNameParts(list);
    }
    const MaterialPositions positions(scene.m_materials);
    std::vector<std::vector<int>> used;
    used.reserve(scene.m_models.size());
    for (const CModel& model : scene.m_models) {
        used.push_back(UsedMaterials(model, positions, scene.m_materials.size()));
    }

    const bool storyboards = animationKeys == 0 && !scene.m_models.empty() && !names.animations.empty();
    TextOutput out(path);
    {
        std::uint64_t units = 0;
        for (const CModel& model : scene.m_models) {
            units += model.m_faces.size();
            if (storyboards) {
                for (const Track& track : model.m_tracks) {
                    units += track.size();
                }
            }
        }
        out.SetProgress(progress, units);
    }
    if (out.Open()) {
        const std::string& t = names.title;
        out.Append("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");
        out.Append("<Viewbox x:Name=\"Viewbox_");
        out.Append(t);
        out.Append("\" xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\""
                   " xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\""
                   " xmlns:d=\"http://schemas.microsoft.com/expression/interactivedesigner/2006\""
                   " xmlns:c=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""
                   " c:Ignorable=\"d\">\r\n");
        out.Append("\t<Viewport3D x:Name=\"Viewport3D_");
        out.Append(t);
        out.Append("\" Width=\"400\" Height=\"300\">\r\n");
        Line(out, 2, "<Viewport3D.Resources>");
        Line(out, 3, "<ResourceDictionary>");
        for (std::size_t i = 0; i < scene.m_materials.size(); ++i) {
            WriteMaterial(out, names, i, scene.m_materials[i], textures.fileNames[i]);
        }
        for (std::size_t c = 0; c < scene.m_characterNames.size(); ++c) {
            WriteTransformGroup(out, "Character", t, names.characters[c], nullptr);
        }
        for (std::size_t m = 0; m < scene.m_models.size(); ++m) {
            const CVector& pivot = scene.m_models[m].m_pivot;
            const CVector centre{pivot.x * scale, pivot.y * scale, pivot.z * scale};
            WriteTransformGroup(out, "Model", t, names.models[m], &centre);
        }
        for (std::size_t m = 0; m < scene.m_models.size() && !out.Failed(); ++m) {
            WriteXamlMeshes(out, scene, m, names, positions, imageWritten, writeUV, scale, writeNormals,
                            meshLayout);
        }
        Line(out, 3, "</ResourceDictionary>");
        Line(out, 2, "</Viewport3D.Resources>");
        out.EndLine();
        WriteCameraAndLights(out, scene, t, scale);
        const std::vector<bool> written = WriteHierarchy(out, scene, names, used);
        Line(out, 1, "</Viewport3D>");
        out.EndLine();
        if (storyboards) {
            WriteStoryboards(out, scene, names, written, scale);
        }
        Line(out, 0, "</Viewbox>");
    }
    if (!out.Commit()) {
        return WriteFailure(kXamlExportFailedMessage, out.Error());
    }
    result.ok = true;
    return result;
}

} // namespace vantomo
