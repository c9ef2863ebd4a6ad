// The frame values the program shows and edits, as the front ends and the
// document's own commands hand them to the layers below, which take the
// moment they work at as an argument.
#pragma once

#include "scene/CModel.h"
#include "scene/TimePoint.h"

namespace vantomo {

struct FrameValues {
    int animation = 0;
    int frame = 0;
    int lastFrame = 0;      // of the current animation
    int animationCount = 1; // as last synchronised with the scene
    TimePoint Time() const { return {animation, frame}; }
};

// The values in force now.
FrameValues CurrentFrameValues();
// The animation and frame shown: CurrentFrameValues().Time().
TimePoint CurrentTime();
// How tracks are sized now: every animation, the current one with its frames.
TrackShape CurrentTrackShape();

} // namespace vantomo
