// What the document tells its views after an operation: which kind of change
// it made and, where the views can use it, what it touched. The document has
// applied every rule of the change before it announces it; a view only shows
// the document again and never changes the scene while it is told.
#pragma once

namespace vantomo {

// The kinds keep the numbers the update hints always had (script `expect
// hint N` lines and older notes name them); the kinds after 123 are changes the
// hints left unannounced, numbered after them.
enum class Change : int {
    NewDocument = 101,
    ProjectOpened = 102,
    Layout = 103,
    ModelAddedOrDeleted = 104,
    ModelMoved = 105,
    Structure = 106, // character added or deleted, renamed, camera reset, undo, redo, background
    Shading = 107,
    AnimationList = 108, // animation added, deleted or renamed, last frame set
    AnimationSelected = 109,
    ModeMove = 110,
    ModeRotate = 111,
    ModeScale = 112,
    Selection = 114,
    Keys = 115,
    Frames = 117,
    Navigation = 120, // a frame command: playback stopped
    Play = 121,
    Camera = 122, // a camera preset key set the camera
    Stop = 123,
    Frame = 124, // the current frame moved while playback goes on (slider, playback tick, typed frame)
    Pose = 125,  // a record's values changed (the panel's fields, a drag in the 3D view), or which may
    Rate = 126,  // the playback rate
    Title = 127, // the document's path and title (a save under another name)
    KeySelection = 128, // the keys the dope sheet shows selected
    OnionSkin = 129, // the onion skin's setting, a viewing choice that is not saved
};

inline constexpr int kNoIndex = -1;

// One announcement. The indices are kNoIndex where the change does not name one.
struct ChangeNotice {
    // Implicit, so an operation can announce a bare kind.
    ChangeNotice(Change k) : kind(k) {} // NOLINT(google-explicit-constructor)
    ChangeNotice(Change k, int modelIndex) : kind(k), model(modelIndex) {}

    Change kind;
    int model = kNoIndex;     // the model changed or selected
    int animation = kNoIndex; // the animation changed
    int material = kNoIndex;  // the material changed

    int Number() const { return static_cast<int>(kind); }
};

class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual void OnChange(const ChangeNotice& change) = 0;
};

} // namespace vantomo
