// libFuzzer target for the project file reader: any input must either be
// refused or give a scene every later operation can follow, and a scene that
// was read must save and read back.
#include <cstddef>
#include <cstdint>
#include <span>

#include "scene/AppValues.h"
#include "scene/ProjectFile.h"

using namespace vantomo;


namespace {

void Check(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

void CheckConsistent(const CTessaline& scene)
{
    const int count = static_cast<int>(scene.m_models.size());
    Check(!scene.m_characterNames.empty() && !scene.m_animationNames.empty() && !scene.m_camera.empty());
    for (const CModel& model : scene.m_models) {
        int r = model.m_parent;
        for (int steps = 0; r >= 0 && steps <= count; ++steps) {
            Check(r < count);
            r = scene.m_models[static_cast<std::size_t>(r)].m_parent;
        }
        Check(r < 0 && ~r < static_cast<int>(scene.m_characterNames.size()));
        Check(model.m_tracks.size() == scene.m_animationNames.size());
        Check(model.m_tracks[0].size() == static_cast<std::size_t>(g_lastFrame) + 1);
        for (const CFace& face : model.m_faces) {
            Check(face.m_indices.size() == 3 || face.m_indices.size() == 4);
            for (int corner : face.m_indices) {
                Check(corner >= 0 && static_cast<std::size_t>(corner) < model.m_vertices.size());
            }
        }
    }
    std::size_t entered = 0;
    for (const TraversalEntry& e : scene.m_traversal) {
        Check(e.model >= 0 && e.model < count);
        entered += e.kind == kEnterModel ? 1 : 0;
    }
    Check(entered == scene.m_models.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ResetAppValues();
    LoadedProject loaded;
    if (!LoadProject(std::span(data, size), loaded)) {
        return 0;
    }
    CTessaline& scene = *loaded.scene;
    // The steps an open runs after reading.
    g_lastFrame = scene.FrameCountOf(0) - 1;
    g_prevLastFrame = g_lastFrame;
    g_currentAnimation = 0;
    g_animationCount = static_cast<int>(scene.m_animationNames.size());
    scene.RefreshDerived();
    for (CModel& model : scene.m_models) {
        model.ResetTrack(g_prevLastFrame + 1);
        model.UpdateBounds();
    }
    scene.BuildTraversal();
    CheckConsistent(scene);

    Archive out;
    Check(StoreProject(scene, out));
    LoadedProject again;
    Check(LoadProject(out.Stored(), again));
    Check(again.scene->m_models.size() == scene.m_models.size());
    return 0;
}
