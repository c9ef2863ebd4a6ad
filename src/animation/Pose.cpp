#include "animation/Pose.h"


namespace vantomo {

namespace {

// One segment between the keys at k and i: every record strictly between them.
// Written over raw floats so the compiler keeps the ten components in registers;
// the arithmetic is exactly B - (B - A) * n / d per component.
inline void FillSegment(CAnimation* records, std::size_t k, std::size_t i)
{
    const CAnimation& a = records[k];
    const CAnimation& b = records[i];
    const float d = static_cast<float>(i - k);
    const float dPos[3] = {b.m_position.x - a.m_position.x, b.m_position.y - a.m_position.y,
                           b.m_position.z - a.m_position.z};
    const float dAxis[3] = {b.m_axis.x - a.m_axis.x, b.m_axis.y - a.m_axis.y, b.m_axis.z - a.m_axis.z};
    const float dScale[3] = {b.m_scale.x - a.m_scale.x, b.m_scale.y - a.m_scale.y,
                             b.m_scale.z - a.m_scale.z};
    const float dAngle = b.m_angle - a.m_angle;
    for (std::size_t j = k + 1; j < i; ++j) {
        const float n = static_cast<float>(i - j);
        CAnimation& r = records[j];
        r.m_axis.x = b.m_axis.x - dAxis[0] * n / d;
        r.m_axis.y = b.m_axis.y - dAxis[1] * n / d;
        r.m_axis.z = b.m_axis.z - dAxis[2] * n / d;
        r.m_angle = b.m_angle - n * dAngle / d;
        r.m_position.x = b.m_position.x - dPos[0] * n / d;
        r.m_position.y = b.m_position.y - dPos[1] * n / d;
        r.m_position.z = b.m_position.z - dPos[2] * n / d;
        r.m_scale.x = b.m_scale.x - dScale[0] * n / d;
        r.m_scale.y = b.m_scale.y - dScale[1] * n / d;
        r.m_scale.z = b.m_scale.z - dScale[2] * n / d;
    }
}

const CAnimation kRest{};

} // namespace

void InbetweenRecords(CAnimation* records, std::size_t count)
{
    if (count <= 1) {
        return;
    }
    std::size_t k = 0;
    for (std::size_t i = 1; i < count; ++i) {
        if (records[i].m_key == 1) {
            FillSegment(records, k, i);
            k = i;
        }
    }
    const CAnimation& held = records[k];
    for (std::size_t j = k + 1; j < count; ++j) {
        records[j].CopyPose(held);
    }
}

void Inbetween(CModel& model)
{
    for (Track& track : model.m_tracks) {
        if (!track.IsDirty()) {
            continue;
        }
        InbetweenRecords(track.data(), track.size());
        track.MarkBaked();
    }
}

void InbetweenAll(CTessaline& scene)
{
    for (CModel& model : scene.m_models) {
        Inbetween(model);
    }
}

D3DXMATRIX BuildFrameMatrix(const CAnimation& record, float k)
{
    const D3DXMATRIX t = D3DXMatrixTranslation(k * record.m_position.x, k * record.m_position.y,
                                               k * record.m_position.z);
    const D3DXMATRIX r = D3DXMatrixRotationAxis(record.m_axis, DegreesToRadians(record.m_angle));
    const D3DXMATRIX s = D3DXMatrixScaling(record.m_scale.x, record.m_scale.y, record.m_scale.z);
    return D3DXMatrixMultiply(D3DXMatrixMultiply(s, r), t);
}

D3DXMATRIX CameraViewMatrix(const CAnimation& camera)
{
    const D3DXMATRIX s = D3DXMatrixScaling(camera.m_scale.x, camera.m_scale.y, camera.m_scale.z);
    const D3DXMATRIX r = EulerRotation(camera.m_axis.x, camera.m_axis.y, camera.m_axis.z);
    const D3DXMATRIX t = D3DXMatrixTranslation(camera.m_position.x, camera.m_position.y, camera.m_position.z);
    return D3DXMatrixMultiply(D3DXMatrixMultiply(s, r), t);
}

D3DXMATRIX BuildMotionMatrix(const CAnimation& record, float k)
{
    const D3DXMATRIX t = D3DXMatrixTranslation(k * record.m_position.x, k * record.m_position.y,
                                               k * record.m_position.z);
    const D3DXMATRIX r = D3DXMatrixRotationAxis(record.m_axis, DegreesToRadians(record.m_angle));
    return D3DXMatrixMultiply(r, t);
}

const CAnimation* FindCurrentRecord(const CModel& model, const TimePoint& time)
{
    return model.FindRecord(time.animation, time.frame);
}

CAnimation* FindCurrentRecord(CModel& model, const TimePoint& time)
{
    return model.FindRecord(time.animation, time.frame);
}

CAnimation GetCurrentRecord(const CModel& model, const TimePoint& time)
{
    const CAnimation* record = FindCurrentRecord(model, time);
    return record != nullptr ? *record : kRest;
}

CVector GetCurrentPosition(const CModel& model, const TimePoint& time) { return GetCurrentRecord(model, time).m_position; }
CVector GetCurrentAxis(const CModel& model, const TimePoint& time) { return GetCurrentRecord(model, time).m_axis; }
CVector GetCurrentScale(const CModel& model, const TimePoint& time) { return GetCurrentRecord(model, time).m_scale; }
float GetCurrentAngle(const CModel& model, const TimePoint& time) { return GetCurrentRecord(model, time).m_angle; }

void SetCurrentPosition(CModel& model, const TimePoint& time, float x, float y, float z)
{
    if (CAnimation* record = FindCurrentRecord(model, time)) {
        record->m_position = CVector{x, y, z};
    }
}

void SetCurrentRotation(CModel& model, const TimePoint& time, float x, float y, float z, float angle)
{
    if (CAnimation* record = FindCurrentRecord(model, time)) {
        record->m_axis = (x == 0.0f && y == 0.0f && z == 0.0f) ? CVector{0.0f, 1.0f, 0.0f} : CVector{x, y, z};
        record->m_angle = angle;
    }
}

void SetCurrentScale(CModel& model, const TimePoint& time, float x, float y, float z)
{
    if (CAnimation* record = FindCurrentRecord(model, time)) {
        record->m_scale = CVector{x, y, z};
    }
}

CVector AddCurrentPosition(CModel& model, const TimePoint& time, const CVector& delta)
{
    CAnimation* record = FindCurrentRecord(model, time);
    if (record == nullptr) {
        return kRest.m_position;
    }
    return record->m_position += delta;
}

CVector AddCurrentAxis(CModel& model, const TimePoint& time, const CVector& delta)
{
    CAnimation* record = FindCurrentRecord(model, time);
    if (record == nullptr) {
        return kRest.m_axis;
    }
    record->m_axis += delta;
    if (record->m_axis.x == 0.0f && record->m_axis.y == 0.0f && record->m_axis.z == 0.0f) {
        record->m_axis = CVector{0.0f, 1.0f, 0.0f};
    }
    return record->m_axis;
}

void AddCurrentAngle(CModel& model, const TimePoint& time, float delta)
{
    if (CAnimation* record = FindCurrentRecord(model, time)) {
        record->m_angle += delta;
    }
}

CVector AddCurrentScale(CModel& model, const TimePoint& time, const CVector& delta)
{
    CAnimation* record = FindCurrentRecord(model, time);
    if (record == nullptr) {
        return kRest.m_scale;
    }
    CVector& s = record->m_scale;
    s += delta;
    FloorScale(s);
    return s;
}

CVector GetEditPosition(const CTessaline& scene, const TimePoint& time)
{
    const CModel* model = scene.GetSelectedModel();
    return model != nullptr ? GetCurrentPosition(*model, time) : scene.GetCameraRecord().m_position;
}

CVector GetEditAxis(const CTessaline& scene, const TimePoint& time)
{
    const CModel* model = scene.GetSelectedModel();
    return model != nullptr ? GetCurrentAxis(*model, time) : scene.GetCameraRecord().m_axis;
}

float GetEditAngle(const CTessaline& scene, const TimePoint& time)
{
    const CModel* model = scene.GetSelectedModel();
    return model != nullptr ? GetCurrentAngle(*model, time) : 0.0f;
}

CVector GetEditScale(const CTessaline& scene, const TimePoint& time)
{
    const CModel* model = scene.GetSelectedModel();
    return model != nullptr ? GetCurrentScale(*model, time) : scene.GetCameraRecord().m_scale;
}

namespace {

const CAnimation& RecordOrRest(const CModel& model, int animation, int frame)
{
    const CAnimation* record = model.FindRecord(animation, frame);
    return record != nullptr ? *record : kRest;
}

// EnterModel: top := T(-p) x (F x (T(p) x top)), one local multiplication at a time.
void EnterModel(MatrixStack& stack, const CModel& model, int animation, int frame)
{
    const CVector& p = model.m_pivot;
    stack.Push();
    stack.MultMatrixLocal(D3DXMatrixTranslation(p.x, p.y, p.z));
    stack.MultMatrixLocal(BuildFrameMatrix(RecordOrRest(model, animation, frame), 1.0f));
    stack.MultMatrixLocal(D3DXMatrixTranslation(-p.x, -p.y, -p.z));
}

// LeaveModel: the model's world matrix is T(p) x top.
D3DXMATRIX LeaveModel(MatrixStack& stack, const CModel& model)
{
    const CVector& p = model.m_pivot;
    stack.MultMatrixLocal(D3DXMatrixTranslation(p.x, p.y, p.z));
    D3DXMATRIX world = stack.GetTop();
    stack.Pop();
    return world;
}

} // namespace

std::vector<D3DXMATRIX> ComposeWorldMatrices(const CTessaline& scene, int animation, int frame)
{
    const std::size_t count = scene.m_models.size();
    std::vector<D3DXMATRIX> worlds(count, D3DXMatrixIdentity());
    MatrixStack stack;
    for (const TraversalEntry& entry : scene.m_traversal) {
        if (entry.kind == kBeginCharacter) {
            stack = MatrixStack();
            continue;
        }
        if (entry.model < 0 || static_cast<std::size_t>(entry.model) >= count) {
            continue;
        }
        const CModel& model = scene.m_models[static_cast<std::size_t>(entry.model)];
        if (entry.kind == kEnterModel) {
            EnterModel(stack, model, animation, frame);
        } else if (entry.kind == kLeaveModel) {
            worlds[static_cast<std::size_t>(entry.model)] = LeaveModel(stack, model);
        }
    }
    return worlds;
}

D3DXMATRIX ComposeWorldMatrix(const CTessaline& scene, int model, int animation, int frame)
{
    const int count = static_cast<int>(scene.m_models.size());
    if (model < 0 || model >= count) {
        return D3DXMatrixIdentity();
    }
    // The chain from the model up to its root, bounded by the model count.
    std::vector<int> chain;
    for (int m = model; m >= 0 && m < count && static_cast<int>(chain.size()) <= count;
         m = scene.m_models[static_cast<std::size_t>(m)].m_parent) {
        chain.push_back(m);
    }
    MatrixStack stack;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        EnterModel(stack, scene.m_models[static_cast<std::size_t>(*it)], animation, frame);
    }
    return LeaveModel(stack, scene.m_models[static_cast<std::size_t>(model)]);
}

} // namespace vantomo
