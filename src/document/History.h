// Undo and redo of pose edits: one entry is a snapshot of one frame record of
// one model plus that model's parent reference, taken just before a change.
// Entries name the model by name and the record by animation and frame, so
// operations that change the structure or the timeline clear the history
// (CTessaline::ClearHistory) instead of recording entries.
#pragma once

#include "scene/CTessaline.h"

namespace vantomo {

// Push (name, parent, frame, copy of record (g_currentAnimation, frame),
// g_currentAnimation) onto the undo stack and empty the redo stack. A frame
// outside the track records the rest pose. Nothing happens for a model index
// outside the list.
void PushUndo(CTessaline& scene, int model, int frame);

// PushUndo(selected model, g_currentFrame) when a valid model is selected.
void PushUndoSelected(CTessaline& scene);

// Restore the top undo entry into the first model with exactly its name:
// select that model, push its present state onto the redo stack, then set its
// parent, g_currentFrame and the record. An entry whose name matches no model
// (the model was renamed) is dropped without restoring anything. A restored
// parent rebuilds the traversal; the derived fields follow at the next
// RefreshDerived. Returns true
// when an entry was restored. Nothing happens without models.
bool Undo(CTessaline& scene);

// Undo with the two stacks exchanged.
bool Redo(CTessaline& scene);

} // namespace vantomo
