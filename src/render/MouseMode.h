// The document's mouse mode, apart from the handlers so the document can hold
// it without them.
#pragma once

namespace vantomo {

// What a left-button drag in the 3D view manipulates: the camera, the model
// (a mode the program offers but never enables), or the selected model's
// current record. A successful pick switches to Animation.
enum class MouseMode { Camera = 0, Model = 1, Animation = 2 };

} // namespace vantomo
