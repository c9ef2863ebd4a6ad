// A moment of the scene's animations: which animation, which frame of it.
// Everything that poses, draws or samples the scene is told the moment it
// works at, so it can work at any frame, not only the one on screen.
#pragma once

namespace vantomo {

struct TimePoint {
    int animation = 0;
    int frame = 0;
    bool operator==(const TimePoint&) const = default;
};

} // namespace vantomo
