// Keys of the current animation edited as sets, as the dope sheet and scripts
// edit them: moved by a frame offset, copied and pasted with their relative
// frames, deleted several at once. Each edit has its check, which the
// document runs first: a refused edit changes nothing. Only the tracks of the
// current animation of the models named are changed and in-betweened, so an
// edit is undone by putting those tracks back.
#pragma once

#include <string>
#include <vector>

#include "document/KeySelection.h"
#include "scene/CTessaline.h"

namespace vantomo {

inline constexpr const char* kSelectKeysMessage = "キーを選択してください！";
inline constexpr const char* kNotAKeyMessage = "キーではないフレームが選ばれています！";
inline constexpr const char* kKeyInTheWayMessage = "移動先に別のキーがあります！";
inline constexpr const char* kNothingToPasteMessage = "貼り付けるキーがありません！";
inline constexpr const char* kNoPasteTargetMessage = "貼り付け先のモデルが決まりません！";

// What a copy holds: for each copied model, in the order of the selection,
// its name and its keys' records, with frames counted from the earliest key
// of the whole copy.
struct CopiedKeys {
    struct Model {
        std::string name; // CP932, as the scene holds it
        std::vector<int> frames;
        std::vector<CAnimation> records;
    };
    std::vector<Model> models;
    bool Empty() const { return models.empty(); }
};

// One copied model (index into CopiedKeys::models) and the model it lands on.
struct PasteTarget {
    int copied = 0;
    int model = 0;
    bool operator==(const PasteTarget&) const = default;
};

// The track of the current animation of `model`; null when the model or the
// track does not exist.
const Track* CurrentTrack(const CTessaline& scene, int model);

// Whether frame `frame` of the current animation of `model` is a key (record 0
// always is).
bool IsKey(const CTessaline& scene, int model, int frame);

// Null when every key of `keys` is a key of its model; else the message
// (kSelectKeysMessage for an empty selection).
const char* CheckKeys(const CTessaline& scene, const KeySelection& keys);

// Null when `keys` may move by `offset` frames: they are keys, each lands in
// 0 .. the last frame, and none lands on a key of its model that stays
// behind (frame 0 always stays). An offset of 0 passes.
const char* CheckMoveKeys(const CTessaline& scene, const KeySelection& keys, long long offset);

// After CheckMoveKeys passed: each key's record (pose and key flag) goes
// `offset` frames on; the frames it leaves stop being keys except frame 0,
// which keeps its record; the tracks are in-betweened. The keys where they
// landed.
KeySelection MoveKeys(CTessaline& scene, const KeySelection& keys, int offset);

// After CheckKeys passed: the records of the keys.
CopiedKeys CopyKeys(const CTessaline& scene, const KeySelection& keys);

// Where a paste lands. With no models named, each copied model goes to the
// first model of its name. With models named: by name when each named model
// has the name of a copied model and each copied model is named once (a paste
// back onto the models copied from, in any order); otherwise by order, the
// i-th copied model onto the i-th named model, or one copied model onto every
// named model. Null and `targets` filled, or the message.
const char* PasteTargets(const CTessaline& scene, const CopiedKeys& copied, const std::vector<int>& models,
                         std::vector<PasteTarget>& targets);

// Null when the copy fits at `frame` on every target: its earliest key at
// `frame`, its last within the target's last frame.
const char* CheckPaste(const CTessaline& scene, const CopiedKeys& copied, const std::vector<PasteTarget>& targets,
                       long long frame);

// After CheckPaste passed: each copied record becomes a key of its target at
// `frame` plus its relative frame, over whatever was there; the tracks are
// in-betweened. The keys pasted.
KeySelection PasteKeys(CTessaline& scene, const CopiedKeys& copied, const std::vector<PasteTarget>& targets, int frame);

// The keys `keys` would delete: all but those at frame 0, which stay keys.
KeySelection DeletableKeys(const KeySelection& keys);

// After CheckKeys passed: the keys stop being keys (frame 0 stays one) and
// the tracks are in-betweened.
void DeleteKeys(CTessaline& scene, const KeySelection& keys);

} // namespace vantomo
