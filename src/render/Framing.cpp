#include "render/Framing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "animation/Pose.h"

namespace vantomo {

namespace {

// How far the framed points end up in front of the eye (the middle of their
// depths): where the reset camera sees the world origin. A picture in
// perspective looks the same at any distance once the zoom makes up for it,
// but the manipulator keeps a fixed size in view space, so at this distance it
// shows as large as it does on a fresh scene, and nothing nears the clipping
// planes at 100 and 10000.
constexpr double kFrameDistance = 1500.0;
// A zoom beyond this would only come from points all but on top of each other.
constexpr double kMaxZoom = 1.0e6;
// The clipping planes (100 and 10000 from the eye) with a margin.
constexpr double kNearLimit = 110.0;
constexpr double kFarLimit = 9000.0;

bool IsFinite(const D3DXVECTOR3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

} // namespace

bool HasShownModel(const CTessaline& scene)
{
    return std::any_of(scene.m_models.begin(), scene.m_models.end(), [&scene](const CModel& model) {
        return model.m_character == scene.m_selectedCharacter && model.m_visible != 0;
    });
}

std::vector<D3DXVECTOR3> ShownBoxCorners(const CTessaline& scene, int animation, int frame, int onlyModel)
{
    std::vector<D3DXVECTOR3> corners;
    const std::vector<D3DXMATRIX> worlds = ComposeWorldMatrices(scene, animation, frame);
    const std::size_t count = scene.m_models.size();
    // The walk decides what is drawn, as it does for the renderer.
    for (const TraversalEntry& entry : scene.m_traversal) {
        if (entry.kind != kLeaveModel || entry.model < 0 || static_cast<std::size_t>(entry.model) >= count ||
            (onlyModel >= 0 && entry.model != onlyModel)) {
            continue;
        }
        const CModel& model = scene.m_models[static_cast<std::size_t>(entry.model)];
        if (model.m_character != scene.m_selectedCharacter || model.m_visible == 0) {
            continue;
        }
        const CVector& hi = model.m_bounds[0];
        const CVector& lo = model.m_bounds[1];
        for (int i = 0; i < 8; ++i) {
            const D3DXVECTOR3 local{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
            const D3DXVECTOR3 world =
                D3DXVec3TransformCoord(local, worlds[static_cast<std::size_t>(entry.model)]);
            if (IsFinite(world)) {
                corners.push_back(world);
            }
        }
    }
    return corners;
}

bool FrameCamera(const CTessaline& scene, const ViewState& view, std::span<const D3DXVECTOR3> points,
                 CAnimation& camera)
{
    if (points.empty() || scene.m_camera.empty()) {
        return false;
    }
    const CAnimation& current = scene.GetCameraRecord();
    const double aspect = static_cast<double>(view.m_viewWidth / view.m_viewHeight);
    const double halfFov = static_cast<double>(DegreesToRadians(scene.m_fieldOfView)) / 2.0;
    if (!std::isfinite(aspect) || aspect <= 0.0 || !(halfFov > 0.0 && halfFov < 1.5707963267948966)) {
        return false;
    }
    // A point (x, y, z) of view space is inside while -z > 0 and |x| <= tx (-z),
    // |y| <= ty (-z). With q the point turned and zoomed by the camera and the
    // camera's position (px, py, -d) added, each side gives one bound on d and
    // the shift; taking the largest over the points makes the extreme ones
    // touch the sides.
    const double ty = std::tan(halfFov) * static_cast<double>(kFrameFill);
    const double tx = ty * aspect;
    const CVector& scale = current.m_scale;
    const CVector& angles = current.m_axis;
    const D3DXMATRIX turn =
        D3DXMatrixMultiply(D3DXMatrixScaling(scale.x, scale.y, scale.z), EulerRotation(angles.x, angles.y, angles.z));
    constexpr double kLowest = -std::numeric_limits<double>::infinity();
    double right = kLowest, left = kLowest, top = kLowest, bottom = kLowest;
    double front = kLowest, back = std::numeric_limits<double>::infinity();
    for (const D3DXVECTOR3& p : points) {
        const D3DXVECTOR3 q = D3DXVec3TransformNormal(p, turn);
        const double x = q.x, y = q.y, z = q.z;
        right = std::max(right, x + tx * z);
        left = std::max(left, -x + tx * z);
        top = std::max(top, y + ty * z);
        bottom = std::max(bottom, -y + ty * z);
        front = std::max(front, z);
        back = std::min(back, z);
    }
    const double d = std::max((right + left) / (2.0 * tx), (top + bottom) / (2.0 * ty));
    const double px = (left - right) / 2.0;
    const double py = (bottom - top) / 2.0;
    const double middle = d - (front + back) / 2.0; // depth of the middle of the points
    // One factor on the zoom scales every view-space position, the framing
    // included, so the points are brought to the usual distance that way as
    // far as the zoom's range allows. Points with no depth between them (one
    // point) keep the zoom. Where they would still be nearer than the usual
    // distance the camera steps back, which keeps every point inside.
    double lowest = 0.0;
    double highest = std::numeric_limits<double>::infinity();
    for (const float s : {scale.x, scale.y, scale.z}) {
        lowest = std::max(lowest, static_cast<double>(kMinScale) / static_cast<double>(s));
        highest = std::min(highest, kMaxZoom / static_cast<double>(s));
    }
    // Rounding leaves a point alone a depth of a few units in the last place.
    const bool deep = middle > 1e-9 * (std::fabs(d) + std::fabs(front) + std::fabs(back));
    double k = deep && lowest <= highest ? std::clamp(kFrameDistance / middle, lowest, highest) : 1.0;
    // Points far deeper than wide (a rod seen end on) must still fit between
    // the planes: the zoom shrinks their depth, the step back clears the near one.
    const double nearest = d - front;
    const double farthest = d - back;
    if (farthest > nearest && (farthest - nearest) * k > kFarLimit - kNearLimit) {
        k = std::max(lowest, (kFarLimit - kNearLimit) / (farthest - nearest));
    }
    const double backOff = std::max({0.0, kFrameDistance - middle * k, kNearLimit - nearest * k});
    const double values[6] = {px * k, py * k, -(d * k + backOff), scale.x * k, scale.y * k, scale.z * k};
    for (const double v : values) {
        // Beyond a float the camera cannot be placed; the cast would not be defined either.
        if (!std::isfinite(v) || std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
            return false;
        }
    }
    CAnimation framed = current;
    framed.m_position = {static_cast<float>(values[0]), static_cast<float>(values[1]), static_cast<float>(values[2])};
    framed.m_scale = {static_cast<float>(values[3]), static_cast<float>(values[4]), static_cast<float>(values[5])};
    FloorScale(framed.m_scale);
    camera = framed;
    return true;
}

} // namespace vantomo
