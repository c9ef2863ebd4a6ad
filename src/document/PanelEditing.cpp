#include "document/PanelEditing.h"

#include "animation/Pose.h"
#include "document/FrameValues.h"

namespace vantomo {

void ApplyPosition(CTessaline& scene, float x, float y, float z)
{
    if (CModel* model = scene.GetSelectedModel()) {
        SetCurrentPosition(*model, CurrentTime(), x, y, z);
        return;
    }
    scene.GetCameraRecord().m_position = CVector{x, y, z};
}

void ApplyRotation(CTessaline& scene, float x, float y, float z, float angle)
{
    if (CModel* model = scene.GetSelectedModel()) {
        SetCurrentRotation(*model, CurrentTime(), x, y, z, angle);
        return;
    }
    scene.GetCameraRecord().m_axis = CVector{x, y, z};
}

void ApplyScale(CTessaline& scene, float x, float y, float z)
{
    if (CModel* model = scene.GetSelectedModel()) {
        SetCurrentScale(*model, CurrentTime(), x, y, z);
    }
}

void ApplyPanelValues(CTessaline& scene, float x, float y, float z, float angle)
{
    switch (scene.m_transformMode) {
    case 0: ApplyPosition(scene, x, y, z); break;
    case 1: ApplyRotation(scene, x, y, z, angle); break;
    case 2: ApplyScale(scene, x, y, z); break;
    default: break;
    }
}

} // namespace vantomo
