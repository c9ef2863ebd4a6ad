// The onion skin's setting among the user's settings: it belongs to the
// person looking, not to the project, so it is kept with the language and the
// recent files and given to the document as a value at start.
#pragma once

#include "render/OnionSkin.h"

namespace vantomo {

// "Vantomo/OnionSkin" (on or off) and "Vantomo/OnionSkinFrames" (0 .. 3);
// a missing or unreadable value gives the default (off, previous and next key).
OnionSkin LoadOnionSkinSetting();
void SaveOnionSkinSetting(const OnionSkin& onion);

} // namespace vantomo
