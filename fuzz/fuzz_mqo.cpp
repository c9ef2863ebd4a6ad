// libFuzzer target for the Metasequoia reader: any bytes must import without
// a crash, a leak or undefined behaviour, and leave a scene whose models the
// rest of the program can use.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/LoaderMQO.h"
#include "scene/AppValues.h"

using namespace vantomo;


namespace {

class NullSink final : public MessageSink {
public:
    void ShowMessage(std::string_view) override {}
};

void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResetAppValues();
    CTessaline scene;
    NullSink messages;
    MemoryByteSource source(std::string_view(reinterpret_cast<const char*>(data), size));
    const OpenResult result = ImportMQO(scene, source, messages, nullptr);
    Require(result.ok && result.importCode <= 0 && result.importCode >= -4);
    Require(!scene.m_materials.empty());
    for (const CModel& model : scene.m_models) {
        Require(!model.m_faces.empty());
        Require(model.m_tracks.size() == static_cast<std::size_t>(g_animationCount));
        Require(!model.m_tracks[0].empty() && model.m_tracks[0][0].m_key == 1);
        for (const CFace& face : model.m_faces) {
            Require(face.m_indices.size() == 3 || face.m_indices.size() == 4);
            for (const int index : face.m_indices) {
                Require(index >= 0 && static_cast<std::size_t>(index) < model.m_vertices.size());
            }
        }
        for (const CVertex& vertex : model.m_vertices) {
            for (const int f : vertex.m_faces) {
                Require(f >= 0 && static_cast<std::size_t>(f) < model.m_faces.size());
            }
        }
    }
    return 0;
}
