#include "document/KeyEditing.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>

#include "animation/Pose.h"
#include "document/FrameValues.h"
#include "scene/AppValues.h"
#include "base/Numbers.h"

namespace vantomo {

namespace {

Track* CurrentTrack(CModel& model)
{
    if (g_currentAnimation < 0 || static_cast<std::size_t>(g_currentAnimation) >= model.m_tracks.size()) {
        return nullptr;
    }
    return &model.m_tracks[static_cast<std::size_t>(g_currentAnimation)];
}

// The models a key operation acts on: the selected one, or all of its character.
template <typename Action>
void ForKeyModels(const CTessaline& scene, bool all, Action action)
{
    if (!all) {
        action(scene.m_selectedModel);
        return;
    }
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        if (scene.m_models[i].m_character == scene.m_selectedCharacter) {
            action(static_cast<int>(i));
        }
    }
}

// A frame count the scene can take: within a 32-bit frame number and, with
// every model's current track at that length, within the record budget.
bool FrameCountFits(const CTessaline& scene, long long frames)
{
    // Without models the length still must fit one model's track: the next
    // import sizes its tracks to it.
    return frames >= 1 && frames <= INT_MAX && frames <= kRecordBudget &&
           scene.RecordsIfSized(g_currentAnimation, frames) <= kRecordBudget;
}

// Room for `frames` records in every model's current track, taken before
// anything changes, so a track that cannot grow leaves every track as it was.
bool ReserveCurrentTracks(CTessaline& scene, long long frames)
{
    try {
        for (CModel& model : scene.m_models) {
            if (g_currentAnimation >= 0 && static_cast<std::size_t>(g_currentAnimation) < model.m_tracks.size()) {
                model.m_tracks[static_cast<std::size_t>(g_currentAnimation)].reserve(static_cast<std::size_t>(frames));
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

} // namespace

std::vector<int> KeyModels(const CTessaline& scene, bool all)
{
    std::vector<int> models;
    if (!scene.HasSelectedModel()) {
        return models;
    }
    ForKeyModels(scene, all, [&](int index) { models.push_back(index); });
    return models;
}

void AddKey(CTessaline& scene, bool all, long long f)
{
    if (!scene.HasSelectedModel() || f < 0 || f > g_lastFrame) {
        return;
    }
    const int frame = static_cast<int>(f);
    const bool atCurrent = frame == g_currentFrame;
    ForKeyModels(scene, all, [&](int index) {
        CModel& model = scene.m_models[static_cast<std::size_t>(index)];
        Track* track = CurrentTrack(model);
        if (track != nullptr && static_cast<std::size_t>(frame) < track->size()) {
            if (!atCurrent && g_currentFrame >= 0 && static_cast<std::size_t>(g_currentFrame) < track->size()) {
                (*track)[static_cast<std::size_t>(frame)].CopyPose((*track)[static_cast<std::size_t>(g_currentFrame)]);
            }
            (*track)[static_cast<std::size_t>(frame)].m_key = 1;
        }
        Inbetween(model);
    });
}

void DeleteKey(CTessaline& scene, bool all, long long f)
{
    if (!scene.HasSelectedModel() || f <= 0 || f > g_lastFrame) {
        return;
    }
    const int frame = static_cast<int>(f);
    ForKeyModels(scene, all, [&](int index) {
        CModel& model = scene.m_models[static_cast<std::size_t>(index)];
        Track* track = CurrentTrack(model);
        if (track != nullptr && static_cast<std::size_t>(frame) < track->size()) {
            (*track)[static_cast<std::size_t>(frame)].m_key = 0;
        }
        Inbetween(model);
    });
}

bool InsertFrames(CTessaline& scene, long long after, long long count)
{
    if (after < 0 || after > g_lastFrame || count < 0 || count > INT_MAX) {
        return false;
    }
    const long long newLast = static_cast<long long>(g_lastFrame) + count;
    if (!FrameCountFits(scene, newLast + 1) || !ReserveCurrentTracks(scene, newLast + 1)) {
        return false;
    }
    g_lastFrame = static_cast<int>(newLast);
    g_prevLastFrame = g_lastFrame;
    SyncAnimationCount(scene);
    for (CModel& model : scene.m_models) {
        model.ResetTrack(g_prevLastFrame + 1, CurrentTrackShape());
    }
    const std::size_t from = static_cast<std::size_t>(after) + 1;
    const std::size_t n = static_cast<std::size_t>(count);
    for (CModel& model : scene.m_models) {
        Track* track = CurrentTrack(model);
        if (track == nullptr || track->size() < from + n) {
            continue;
        }
        std::vector<CAnimation>& records = track->MutableRecords();
        // Records after..last-count move count frames back; the gap becomes rest.
        std::move_backward(records.begin() + static_cast<std::ptrdiff_t>(from),
                           records.end() - static_cast<std::ptrdiff_t>(n), records.end());
        std::fill(records.begin() + static_cast<std::ptrdiff_t>(from),
                  records.begin() + static_cast<std::ptrdiff_t>(from + n), CAnimation{});
    }
    InbetweenAll(scene);
    g_currentFrame = 0;
    return true;
}

bool DeleteFrames(CTessaline& scene, long long first, long long last)
{
    if (first > last || first < 0 || first > g_lastFrame || last < 0 || last > g_lastFrame) {
        return false;
    }
    const long long n = last - first + 1;
    // At least one frame must remain, whether or not there are models.
    if (n >= static_cast<long long>(g_lastFrame) + 1) {
        return false;
    }
    if (!scene.m_models.empty()) {
        const Track* track = CurrentTrack(scene.m_models.front());
        if (track == nullptr || n >= static_cast<long long>(track->size())) {
            return false;
        }
    }
    for (CModel& model : scene.m_models) {
        Track* track = CurrentTrack(model);
        if (track == nullptr || static_cast<std::size_t>(first) >= track->size()) {
            continue;
        }
        const std::size_t end = std::min(static_cast<std::size_t>(last) + 1, track->size());
        track->erase(track->begin() + static_cast<std::ptrdiff_t>(first),
                     track->begin() + static_cast<std::ptrdiff_t>(end));
        if (!track->empty()) {
            // Deleting from frame 0 moves a record that may be no key to the front;
            // every track needs its key at frame 0.
            (*track)[0].m_key = 1;
        }
    }
    g_lastFrame -= static_cast<int>(n);
    g_currentFrame = 0;
    SyncAnimationCount(scene);
    InbetweenAll(scene);
    g_currentFrame = 0;
    return true;
}

SetLastFrameResult SetLastFrame(CTessaline& scene, std::string_view text, MessageSink& messages)
{
    g_prevLastFrame = g_lastFrame;
    const long long n = AtolC(text);
    if (n < 0) {
        return SetLastFrameResult::kNegative;
    }
    if (n == LLONG_MAX || !FrameCountFits(scene, n + 1) || !ReserveCurrentTracks(scene, n + 1)) {
        messages.ShowMessage(kFrameOutOfRangeMessage);
        return SetLastFrameResult::kOutOfRange;
    }
    g_lastFrame = static_cast<int>(n);
    for (CModel& model : scene.m_models) {
        model.ResetTrack(g_prevLastFrame + 1, CurrentTrackShape());
    }
    g_currentFrame = 0;
    return SetLastFrameResult::kSet;
}

void ApplyCurrentAnimationLength(CTessaline& scene, MessageSink& messages)
{
    SetLastFrame(scene, FormatInt(static_cast<long long>(scene.FrameCountOf(g_currentAnimation)) - 1), messages);
}

} // namespace vantomo
