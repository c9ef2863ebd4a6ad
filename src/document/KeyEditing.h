// Making and removing keys, and changing the length of the timeline. All of it
// works on the track of the current animation (g_currentAnimation) only.
//
// Frame arguments are 64-bit so that a typed or computed value can be checked
// before it is narrowed to a frame number.
#pragma once

#include "base/Numbers.h" // AtolC, which the callers of these operations use

#include <string_view>
#include <vector>

#include "scene/CTessaline.h"
#include "scene/MessageSink.h"

namespace vantomo {

inline constexpr const char* kFrameOutOfRangeMessage = "フレーム番号が範囲外です！";

// The models a key command acts on: the selected one, or every model of its
// character when `all`; none without a valid selection.
std::vector<int> KeyModels(const CTessaline& scene, bool all);

// Mark frame f a key of the selected model (or of every model of the selected
// character when `all`). At another frame than the
// current one the key takes the pose shown now. Frames below 0 or beyond
// g_lastFrame, or no valid selected model: nothing happens.
void AddKey(CTessaline& scene, bool all, long long f);

// Clear the key at frame f (never frame 0) of the same models. Frames outside
// 1..g_lastFrame or no valid selected model: nothing happens.
void DeleteKey(CTessaline& scene, bool all, long long f);

// Insert `count` rest frames after frame `after`, moving later records back.
// Refused (false, nothing changed) unless 0 <= after <= g_lastFrame and
// count >= 0, and the frame count and the records stay within bounds.
bool InsertFrames(CTessaline& scene, long long after, long long count);

// Delete frames first..last. Refused unless both lie in 0..g_lastFrame,
// first <= last, and at least one frame remains. Record 0 stays a key.
bool DeleteFrames(CTessaline& scene, long long first, long long last);

enum class SetLastFrameResult {
    kSet,        // the frame count changed (or stayed) as typed
    kNegative,   // refused; the field shows g_prevLastFrame again
    kOutOfRange, // refused with the message; the field shows g_prevLastFrame again
};

// The last-frame field's text, read as C atol does (64-bit): size every model's
// current track to it; frame 0. No in-betweening.
SetLastFrameResult SetLastFrame(CTessaline& scene, std::string_view text, MessageSink& messages);

// What the control panel does when the animation list changed or another
// animation became current: SetLastFrame with the current animation's length,
// which sizes every model's track of it.
void ApplyCurrentAnimationLength(CTessaline& scene, MessageSink& messages);

} // namespace vantomo
