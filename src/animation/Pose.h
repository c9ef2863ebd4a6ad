// In-betweening of keys into every frame record, the matrices of one record,
// the composition of a model's pose along its parents, and the accessors that
// read and change the record of the current frame.
#pragma once

#include <vector>

#include "math/D3DMath.h"
#include "scene/CTessaline.h"
#include "scene/TimePoint.h"

namespace vantomo {

// Rewrite every non-key record of one track from the keys around it: linear in
// every component, in single precision, B - (B - A) * n / d; the pose after the
// last key is held. Record 0 always serves as a key; key records are not changed.
void InbetweenRecords(CAnimation* records, std::size_t count);

// Rewrite every non-key record of every track of the model. Tracks that were not
// touched since they were last baked are skipped: baking them again would give
// the same records.
void Inbetween(CModel& model);

// Inbetween on every model of the scene, in index order.
void InbetweenAll(CTessaline& scene);

// S x R x T of a record, with the translation scaled by k.
D3DXMATRIX BuildFrameMatrix(const CAnimation& record, float k);
// R x T of a record (no scaling), with the translation scaled by k.
D3DXMATRIX BuildMotionMatrix(const CAnimation& record, float k);
// The view matrix of a camera record: its scale x the Euler rotation of its
// axis (degrees) x its position. The view draws with it; exports place their
// camera with it.
D3DXMATRIX CameraViewMatrix(const CAnimation& camera);

// The record at `time` of a model, or null when that frame or animation
// lies outside the model's tracks.
const CAnimation* FindCurrentRecord(const CModel& model, const TimePoint& time);
CAnimation* FindCurrentRecord(CModel& model, const TimePoint& time);
// Copy of the record at `time`; the rest pose when it lies outside the tracks.
CAnimation GetCurrentRecord(const CModel& model, const TimePoint& time);
// Accessors of the record at `time`. Outside the tracks a read gives the rest
// pose and a write changes nothing.
CVector GetCurrentPosition(const CModel& model, const TimePoint& time);
CVector GetCurrentAxis(const CModel& model, const TimePoint& time);
CVector GetCurrentScale(const CModel& model, const TimePoint& time);
float GetCurrentAngle(const CModel& model, const TimePoint& time);
void SetCurrentPosition(CModel& model, const TimePoint& time, float x, float y, float z);
// An axis of exactly (0, 0, 0) is stored as (0, 1, 0).
void SetCurrentRotation(CModel& model, const TimePoint& time, float x, float y, float z, float angle);
void SetCurrentScale(CModel& model, const TimePoint& time, float x, float y, float z);
CVector AddCurrentPosition(CModel& model, const TimePoint& time, const CVector& delta);
// A sum of exactly (0, 0, 0) becomes (0, 1, 0).
CVector AddCurrentAxis(CModel& model, const TimePoint& time, const CVector& delta);
void AddCurrentAngle(CModel& model, const TimePoint& time, float delta);
// Every component below 0.01 (or NaN) afterwards becomes 0.01 (FloorScale).
CVector AddCurrentScale(CModel& model, const TimePoint& time, const CVector& delta);
// The selected model's values at `time`, or the camera's when no model is selected.
CVector GetEditPosition(const CTessaline& scene, const TimePoint& time);
CVector GetEditAxis(const CTessaline& scene, const TimePoint& time);
float GetEditAngle(const CTessaline& scene, const TimePoint& time);
CVector GetEditScale(const CTessaline& scene, const TimePoint& time);
// World matrix of every model at (animation, frame), composed by walking
// m_traversal with a matrix stack exactly as the renderer draws:
//   BeginCharacter: top := I;  EnterModel: push, top := T(-p) x F x T(p) x top;
//   LeaveModel: world := T(p) x top, pop.
// The result has one matrix per model; a model the walk does not reach, and
// entries whose model index is outside the list, leave the unit matrix.
std::vector<D3DXMATRIX> ComposeWorldMatrices(const CTessaline& scene, int animation, int frame);

// The same world matrix for one model, composed along its parent chain with the
// same products in the same order as the traversal walk, so both agree bit for bit.
// A chain that does not end at a character stops where it leaves the model list.
D3DXMATRIX ComposeWorldMatrix(const CTessaline& scene, int model, int animation, int frame);

} // namespace vantomo
