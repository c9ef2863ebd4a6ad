// The document's viewing commands: framing the models and the onion skin's
// setting. Both change only how the scene is looked at.
#include "document/Document.h"
#include "document/FrameValues.h"
#include "render/Framing.h"
#include "scene/AppValues.h"

namespace vantomo {

bool CVantomoDoc::FrameCameraOn(int onlyModel)
{
    const std::vector<D3DXVECTOR3> corners = ShownBoxCorners(m_scene, g_currentAnimation, g_currentFrame, onlyModel);
    return FrameCamera(m_scene, m_view, corners, m_scene.GetCameraRecord());
}

bool CVantomoDoc::FrameModels(bool selectedOnly)
{
    if (selectedOnly && !m_scene.HasSelectedModel()) {
        return false;
    }
    if (!FrameCameraOn(selectedOnly ? m_scene.m_selectedModel : -1)) {
        return false;
    }
    // The camera is part of the project, as the presets treat it.
    UpdateAllViews(Change::Camera);
    SetModifiedFlag();
    return true;
}

void CVantomoDoc::FrameFirstImport(std::size_t modelsBefore)
{
    if (modelsBefore != 0 || m_scene.m_models.empty()) {
        return;
    }
    static_cast<void>(FrameCameraOn(-1)); // with nothing shown the camera stays
}

void CVantomoDoc::SetOnionSkin(OnionSkin onion)
{
    onion = ClampedOnionSkin(onion);
    if (onion == m_onionSkin) {
        return;
    }
    m_onionSkin = onion;
    UpdateAllViews(Change::OnionSkin);
}

} // namespace vantomo
