// Framing: the camera placed so that the models fill the 3D view, seen from
// the direction it already looks in. Plain functions on the scene, so the
// document's commands and the tests run them without a device.
#pragma once

#include <span>
#include <vector>

#include "math/D3DMath.h"
#include "render/ViewState.h"
#include "scene/CTessaline.h"

namespace vantomo {

// Share of the view's half width and half height the framed points may take:
// a thin border stays round them.
inline constexpr float kFrameFill = 0.9f;

// Whether the view draws any model: a visible model of the selected character.
bool HasShownModel(const CTessaline& scene);

// The corners of the boxes (m_bounds, the box the selection shows) of the
// models the view draws at (animation, frame), in world space: the visible
// models of the selected character, or only model `onlyModel` when it is one
// of them. Corners that are not finite are left out.
std::vector<D3DXVECTOR3> ShownBoxCorners(const CTessaline& scene, int animation, int frame, int onlyModel = -1);

// The camera record (of the scene's camera, rotation and angle kept) under
// which every point lies inside the view, the points taking kFrameFill of it
// along the tighter of its width and height, centred on the other. Only the
// position changes while everything then lies between the clipping planes
// (100 and 10000 units from the eye, with a margin); otherwise the zoom
// (m_scale) is changed by one factor so that it does. The size of `view`
// (m_viewWidth, m_viewHeight) and the field of view are the ones drawn with.
// False, with `camera` untouched, when there is no point, no camera or no
// view, or a value is not finite.
[[nodiscard]] bool FrameCamera(const CTessaline& scene, const ViewState& view, std::span<const D3DXVECTOR3> points,
                               CAnimation& camera);

} // namespace vantomo
