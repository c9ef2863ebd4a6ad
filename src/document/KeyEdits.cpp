#include "document/KeyEdits.h"

#include <algorithm>
#include <climits>

#include "animation/Pose.h"
#include "document/KeyEditing.h" // kFrameOutOfRangeMessage
#include "scene/AppValues.h"

namespace vantomo {

namespace {

Track* MutableTrack(CTessaline& scene, int model)
{
    return const_cast<Track*>(CurrentTrack(scene, model));
}

// The last frame a key of `track` may take: the animation's last frame, and
// never beyond the records the track holds.
long long LastFrameOf(const Track& track)
{
    return std::min<long long>(g_lastFrame, static_cast<long long>(track.size()) - 1);
}

// The in-betweening of the one track an edit changed: the other tracks of the
// model (and their pending edits) stay exactly as they were.
void Bake(Track& track)
{
    InbetweenRecords(track.data(), track.size());
    track.MarkBaked();
}

} // namespace

const Track* CurrentTrack(const CTessaline& scene, int model)
{
    if (model < 0 || static_cast<std::size_t>(model) >= scene.m_models.size() || g_currentAnimation < 0) {
        return nullptr;
    }
    const CModel& m = scene.m_models[static_cast<std::size_t>(model)];
    if (static_cast<std::size_t>(g_currentAnimation) >= m.m_tracks.size()) {
        return nullptr;
    }
    return &m.m_tracks[static_cast<std::size_t>(g_currentAnimation)];
}

bool IsKey(const CTessaline& scene, int model, int frame)
{
    const Track* track = CurrentTrack(scene, model);
    if (track == nullptr || frame < 0 || static_cast<std::size_t>(frame) >= track->size()) {
        return false;
    }
    return frame == 0 || (*track)[static_cast<std::size_t>(frame)].m_key == 1;
}

const char* CheckKeys(const CTessaline& scene, const KeySelection& keys)
{
    if (keys.Empty()) {
        return kSelectKeysMessage;
    }
    for (const int model : keys.Models()) {
        for (const int frame : keys.FramesOf(model)) {
            if (!IsKey(scene, model, frame)) {
                return kNotAKeyMessage;
            }
        }
    }
    return nullptr;
}

const char* CheckMoveKeys(const CTessaline& scene, const KeySelection& keys, long long offset)
{
    if (const char* message = CheckKeys(scene, keys)) {
        return message;
    }
    // No frame lies that far away; the bound also keeps the sums below exact.
    if (offset < -static_cast<long long>(INT_MAX) || offset > INT_MAX) {
        return kFrameOutOfRangeMessage;
    }
    for (const int model : keys.Models()) {
        const Track& track = *CurrentTrack(scene, model);
        const std::vector<int>& frames = keys.FramesOf(model);
        // Frames are ascending: the first and the last bound the move.
        if (frames.front() + offset < 0 || frames.back() + offset > LastFrameOf(track)) {
            return kFrameOutOfRangeMessage;
        }
    }
    if (offset == 0) {
        return nullptr;
    }
    for (const int model : keys.Models()) {
        const Track& track = *CurrentTrack(scene, model);
        const std::vector<int>& frames = keys.FramesOf(model);
        for (const int frame : frames) {
            const int to = static_cast<int>(frame + offset);
            // A key moving along leaves its frame free, except frame 0, which stays.
            const bool stays = to == 0 || (track[static_cast<std::size_t>(to)].m_key == 1 &&
                                           !std::binary_search(frames.begin(), frames.end(), to));
            if (stays) {
                return kKeyInTheWayMessage;
            }
        }
    }
    return nullptr;
}

KeySelection MoveKeys(CTessaline& scene, const KeySelection& keys, int offset)
{
    KeySelection moved;
    std::vector<CAnimation> carried;
    for (const int model : keys.Models()) {
        Track& track = *MutableTrack(scene, model);
        const std::vector<int>& frames = keys.FramesOf(model);
        carried.clear();
        for (const int frame : frames) {
            carried.push_back(track[static_cast<std::size_t>(frame)]);
        }
        for (const int frame : frames) {
            if (frame != 0) {
                track[static_cast<std::size_t>(frame)].m_key = 0;
            }
        }
        for (std::size_t i = 0; i < frames.size(); ++i) {
            CAnimation& to = track[static_cast<std::size_t>(frames[i] + offset)];
            to = carried[i];
            to.m_key = 1;
            moved.Add(model, frames[i] + offset);
        }
        Bake(track);
    }
    return moved;
}

CopiedKeys CopyKeys(const CTessaline& scene, const KeySelection& keys)
{
    int earliest = 0;
    bool first = true;
    for (const int model : keys.Models()) {
        const int frame = keys.FramesOf(model).front();
        earliest = first ? frame : std::min(earliest, frame);
        first = false;
    }
    CopiedKeys copied;
    for (const int model : keys.Models()) {
        const Track& track = *CurrentTrack(scene, model);
        CopiedKeys::Model& out = copied.models.emplace_back();
        out.name = scene.m_models[static_cast<std::size_t>(model)].m_name;
        for (const int frame : keys.FramesOf(model)) {
            out.frames.push_back(frame - earliest);
            out.records.push_back(track[static_cast<std::size_t>(frame)]);
        }
    }
    return copied;
}

const char* PasteTargets(const CTessaline& scene, const CopiedKeys& copied, const std::vector<int>& models,
                         std::vector<PasteTarget>& targets)
{
    targets.clear();
    if (copied.Empty()) {
        return kNothingToPasteMessage;
    }
    const int count = static_cast<int>(copied.models.size());
    const auto firstNamed = [&](const std::string& name) {
        for (std::size_t m = 0; m < scene.m_models.size(); ++m) {
            if (scene.m_models[m].m_name == name) {
                return static_cast<int>(m);
            }
        }
        return -1;
    };
    for (const int model : models) {
        if (model < 0 || static_cast<std::size_t>(model) >= scene.m_models.size()) {
            return kNoPasteTargetMessage;
        }
    }
    if (models.empty()) {
        for (int c = 0; c < count; ++c) {
            const int model = firstNamed(copied.models[static_cast<std::size_t>(c)].name);
            if (model < 0) {
                targets.clear();
                return kNoPasteTargetMessage;
            }
            targets.push_back({c, model});
        }
    } else {
        // By name when the named models are exactly the copied names, each once.
        std::vector<PasteTarget> byName;
        std::vector<bool> used(static_cast<std::size_t>(count), false);
        for (const int model : models) {
            const std::string& name = scene.m_models[static_cast<std::size_t>(model)].m_name;
            for (int c = 0; c < count; ++c) {
                if (!used[static_cast<std::size_t>(c)] && copied.models[static_cast<std::size_t>(c)].name == name) {
                    used[static_cast<std::size_t>(c)] = true;
                    byName.push_back({c, model});
                    break;
                }
            }
        }
        if (byName.size() == models.size() && models.size() == static_cast<std::size_t>(count)) {
            targets = std::move(byName);
        } else if (count == 1) {
            for (const int model : models) {
                targets.push_back({0, model});
            }
        } else if (models.size() == static_cast<std::size_t>(count)) {
            for (int c = 0; c < count; ++c) {
                targets.push_back({c, models[static_cast<std::size_t>(c)]});
            }
        } else {
            return kNoPasteTargetMessage;
        }
    }
    // Two copies landing on one model would overwrite each other's keys.
    for (std::size_t i = 0; i < targets.size(); ++i) {
        for (std::size_t j = i + 1; j < targets.size(); ++j) {
            if (targets[i].model == targets[j].model) {
                targets.clear();
                return kNoPasteTargetMessage;
            }
        }
    }
    return nullptr;
}

const char* CheckPaste(const CTessaline& scene, const CopiedKeys& copied, const std::vector<PasteTarget>& targets,
                       long long frame)
{
    if (frame < 0 || frame > INT_MAX) {
        return kFrameOutOfRangeMessage;
    }
    for (const PasteTarget& target : targets) {
        const Track* track = CurrentTrack(scene, target.model);
        const std::vector<int>& frames = copied.models[static_cast<std::size_t>(target.copied)].frames;
        if (track == nullptr || frame + frames.back() > LastFrameOf(*track)) {
            return kFrameOutOfRangeMessage;
        }
    }
    return nullptr;
}

KeySelection PasteKeys(CTessaline& scene, const CopiedKeys& copied, const std::vector<PasteTarget>& targets, int frame)
{
    KeySelection pasted;
    for (const PasteTarget& target : targets) {
        Track& track = *MutableTrack(scene, target.model);
        const CopiedKeys::Model& source = copied.models[static_cast<std::size_t>(target.copied)];
        for (std::size_t i = 0; i < source.frames.size(); ++i) {
            const int to = frame + source.frames[i];
            CAnimation& record = track[static_cast<std::size_t>(to)];
            record = source.records[i];
            record.m_key = 1;
            pasted.Add(target.model, to);
        }
        Bake(track);
    }
    return pasted;
}

KeySelection DeletableKeys(const KeySelection& keys)
{
    KeySelection deletable = keys;
    deletable.RemoveIf([](int, int frame) { return frame == 0; });
    return deletable;
}

void DeleteKeys(CTessaline& scene, const KeySelection& keys)
{
    for (const int model : keys.Models()) {
        Track& track = *MutableTrack(scene, model);
        for (const int frame : keys.FramesOf(model)) {
            if (frame != 0) {
                track[static_cast<std::size_t>(frame)].m_key = 0;
            }
        }
        Bake(track);
    }
}

} // namespace vantomo
