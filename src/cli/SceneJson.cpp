#include "cli/SceneJson.h"

#include "cli/Json.h"
#include "document/FrameValues.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

void Vector3(JsonWriter& json, const CVector& v)
{
    json.BeginArray().Float(v.x).Float(v.y).Float(v.z).EndArray();
}

void Name(JsonWriter& json, const std::string& cp932) { json.String(Cp932ToUtf8(cp932)); }

void Material(JsonWriter& json, const CMaterial& m)
{
    json.BeginObject();
    json.Key("id").Int(m.m_id);
    json.Key("name");
    Name(json, m.m_name);
    json.Key("color").BeginArray();
    for (float c : m.m_color) {
        json.Float(c);
    }
    json.EndArray();
    json.Key("diffuse").Float(m.m_diffuse);
    json.Key("ambient").Float(m.m_ambient);
    json.Key("emissive").Float(m.m_emissive);
    json.Key("specular").Float(m.m_specular);
    json.Key("power").Float(m.m_power);
    json.Key("texture");
    Name(json, m.m_texture);
    json.Key("alphaPlane");
    Name(json, m.m_alphaPlane);
    json.Key("bump");
    Name(json, m.m_bump);
    json.EndObject();
}

void Model(JsonWriter& json, const CModel& m)
{
    json.BeginObject();
    json.Key("id").Int(m.m_id);
    json.Key("name");
    Name(json, m.m_name);
    json.Key("parent").Int(m.m_parent);
    json.Key("parentName");
    Name(json, m.m_parentName);
    json.Key("character").Int(m.m_character);
    json.Key("visible").Bool(m.m_visible != 0);
    json.Key("facet").Float(m.m_facet);
    json.Key("pivot");
    Vector3(json, m.m_pivot);
    json.Key("bounds").BeginArray();
    Vector3(json, m.m_bounds[0]);
    Vector3(json, m.m_bounds[1]);
    json.EndArray();
    json.Key("vertexCount").Int(static_cast<long long>(m.m_vertices.size()));
    json.Key("faceCount").Int(static_cast<long long>(m.m_faces.size()));
    json.Key("trackLengths").BeginArray();
    for (const Track& track : m.m_tracks) {
        json.Int(static_cast<long long>(track.size()));
    }
    json.EndArray();
    json.Key("keyFrames").BeginArray();
    for (const Track& track : m.m_tracks) {
        json.BeginArray();
        for (std::size_t f = 0; f < track.size(); ++f) {
            if (track[f].m_key == 1) {
                json.Int(static_cast<long long>(f));
            }
        }
        json.EndArray();
    }
    json.EndArray();
    json.EndObject();
}

} // namespace

std::string SceneToJson(const CTessaline& scene, const std::vector<ImportRecord>& imports)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("version").Float(scene.m_version);
    json.Key("fps").Float(scene.m_fps);
    const FrameValues frames = CurrentFrameValues();
    json.Key("lastFrame").Int(frames.lastFrame);
    json.Key("currentFrame").Int(frames.frame);
    json.Key("currentAnimation").Int(frames.animation);
    json.Key("characters").BeginArray();
    for (const std::string& name : scene.m_characterNames) {
        Name(json, name);
    }
    json.EndArray();
    json.Key("animations").BeginArray();
    for (const std::string& name : scene.m_animationNames) {
        Name(json, name);
    }
    json.EndArray();
    const CAnimation& camera = scene.GetCameraRecord();
    json.Key("camera").BeginObject();
    json.Key("position");
    Vector3(json, camera.m_position);
    json.Key("axis");
    Vector3(json, camera.m_axis);
    json.Key("scale");
    Vector3(json, camera.m_scale);
    json.Key("angle").Float(camera.m_angle);
    json.EndObject();
    json.Key("materials").BeginArray();
    for (const CMaterial& m : scene.m_materials) {
        Material(json, m);
    }
    json.EndArray();
    json.Key("models").BeginArray();
    for (const CModel& m : scene.m_models) {
        Model(json, m);
    }
    json.EndArray();
    json.Key("imports").BeginArray();
    for (const ImportRecord& record : imports) {
        json.BeginObject();
        json.Key("file").String(record.file);
        json.Key("result");
        if (record.result) {
            json.Int(*record.result);
        } else {
            json.Null();
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

} // namespace vantomo
