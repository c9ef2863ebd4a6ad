// Operations on the organisation of the scene: selection, deleting and hiding
// models, characters, reparenting, animations, and the book-keeping that keeps
// parent references valid, drops unused materials and rebuilds the traversal.
//
// Every operation that changes the hierarchy ends by rebuilding m_traversal
// (CTessaline::BuildTraversal), so the walk always matches the models even
// without a tree view.
#pragma once

#include <string>
#include <string_view>

#include "scene/CTessaline.h"
#include "scene/MessageSink.h"

namespace vantomo {

void SelectModel(CTessaline& scene, int model);
void ClearSelection(CTessaline& scene);
void SelectCharacter(CTessaline& scene, int character);

// Delete the selected model; its children move to the root of their character.
// Frame 0 becomes current. The model goes to `removed` when given. False
// (nothing done) when no valid model is selected.
bool DeleteModel(CTessaline& scene, std::vector<CModel>* removed = nullptr);

// Hiding clears the selection; showing selects the model. Nothing happens for
// an index outside the list.
void SetModelVisible(CTessaline& scene, int model, bool visible);

// Append "Character_<n>" with the first n in 0..19999 whose name is free
// (compared exactly). False when every name is taken.
bool AddCharacter(CTessaline& scene);

// Delete the selected character and its models, renumbering the characters
// after it. The list never ends empty. The frame values then follow the first
// animation's length, frame 0. The deleted models go to `removed` when
// given. False when the selected character lies outside the list.
bool DeleteCharacter(CTessaline& scene, std::vector<CModel>* removed = nullptr);

// Hang `model` under model `ref` (ref >= 0) or at the root of character ~ref.
// The caller ensures ref is neither the model nor one of its descendants.
void ReparentModel(CTessaline& scene, int model, int ref);

// True when `target` is `model` or hangs below it.
bool IsDescendantOrSelf(const CTessaline& scene, int target, int model);

// Append "Animation_<n>" (first free n, exact comparison), make it current and
// give every model a track of g_lastFrame + 1 rest frames. Does nothing
// without models. Refuses with "フレーム番号が範囲外です！" when the new tracks
// would pass the record budget. Frame 0 once it runs.
bool AddAnimation(CTessaline& scene, MessageSink& messages);

// Delete animation `a` and its track in every model; the last one deleted is
// re-created as "Animation_0". Does nothing without models.
void DeleteAnimation(CTessaline& scene, int a);

// Duplicate tests before a rename, without regard to case: any model other
// than the selected one, any character other than the selected one, any
// animation other than the current one whose name equals `name`.
bool ModelNameExists(const CTessaline& scene, std::string_view name);
bool CharacterNameExists(const CTessaline& scene, std::string_view name);
bool AnimationNameExists(const CTessaline& scene, std::string_view name);

// The renames. A name another item of the same kind already has is refused
// with "同名のアイテムが存在します！" and nothing changes. True when renamed
// (the caller marks the document modified). RenameModel acts on the selected
// model and RenameCharacter on the selected character; both do nothing when
// the selection lies outside its list, as RenameAnimation does for an index
// outside the animation list.
bool RenameModel(CTessaline& scene, const std::string& name, MessageSink& messages);
bool RenameCharacter(CTessaline& scene, const std::string& name, MessageSink& messages);
bool RenameAnimation(CTessaline& scene, int a, const std::string& name, MessageSink& messages);

inline constexpr const char* kDuplicateNameMessage = "同名のアイテムが存在します！";

// After models were removed: m_parent of every model from its m_parentName
// (the first model of that name, compared without regard to case), or the root
// of its character (m_character) when the name matches no model or the
// reference was a character. Clears the selection first.
void ResolveParentsByName(CTessaline& scene);

// Drop every material no face of any model uses.
void RemoveUnusedMaterials(CTessaline& scene);

} // namespace vantomo
