// Turning baked frame records into glTF animation samples: the rotation as a
// unit quaternion, and which samples a linear sampler can do without.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "scene/CVector.h"

namespace vantomo {

// Whether the scene's rotation matrix turns about `axis` at all: false for a
// zero, tiny (|axis|^2 <= FLT_MIN in single precision) or non-finite axis,
// which the matrix treats as no rotation whatever the angle.
bool IsUsableRotationAxis(const CVector& axis);

// The rotation the scene builds from an axis and an angle in degrees, as a
// unit quaternion (x, y, z, w). The axis is judged exactly as the rotation
// matrix judges it: a zero, tiny (|axis|^2 <= FLT_MIN in single precision) or
// non-finite axis is no rotation, whatever the angle. Otherwise the angle must
// be finite (the caller checks); the quaternion is computed in double from the
// angle converted to radians as the scene converts it, then rounded.
std::array<float, 4> AxisAngleToQuaternion(const CVector& axis, float degrees);

// The same rotation as a column-vector 3x3 matrix, rows first, in double:
// for tests and checks that compare a written quaternion with the scene.
std::array<double, 9> QuaternionToMatrix(const std::array<float, 4>& q);

// Flips quaternions in place so that each lies in the same hemisphere as the
// one before (q and -q are the same rotation): interpolation between
// neighbours then takes the short way, whether a reader slerps or blends
// components.
void MakeQuaternionsContinuous(std::span<float> quaternions);

// Which samples a LINEAR sampler must keep so that interpolating between kept
// neighbours reproduces every dropped sample within 1e-6 x max(1, |value|) in
// every component. `times` holds one strictly increasing time per sample and
// `values` `components` floats per sample. For rotations (components 4) a
// sample is dropped only when both spherical and component-wise interpolation
// reproduce it, since readers differ. The first and the last samples are
// always kept. The result lists the kept sample indices in order.
std::vector<std::uint32_t> KeptSamples(std::span<const float> times, std::span<const float> values,
                                       std::size_t components, bool rotation);

} // namespace vantomo
