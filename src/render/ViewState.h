// What one 3D view last drew and holds between mouse messages: its size, the
// manipulator it drew and the handle a press took hold of. Each view keeps
// its own, so drawing a picture elsewhere (a video frame, a render) leaves
// the view on screen as it was.
#pragma once

#include "math/D3DMath.h"
#include "scene/CTessaline.h" // kNoModel

namespace vantomo {

struct ViewState {
    // The size starts at 1 x 1 so the aspect ratio is defined before the
    // first size event.
    float m_viewWidth = 1.0f;
    float m_viewHeight = 1.0f;
    D3DXMATRIX m_manipulatorWorld = D3DXMatrixIdentity();
    // The model id and transform mode of the manipulator last drawn; id
    // kNoModel until one is drawn. A manipulator can only be grabbed while
    // both still match the selection.
    int m_manipulatorModelId = kNoModel;
    int m_manipulatorMode = -1;
    int m_grabbedHandle = -1; // -1 none, 0..2 an axis handle, 3 the centre or the body
};

} // namespace vantomo
