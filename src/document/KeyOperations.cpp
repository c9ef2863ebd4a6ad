// The document's key-set edits: the checks of document/KeyEdits.h first,
// the affected tracks kept for the undo step, the edit, then one undo step,
// the modified mark and one announcement.
#include "document/Document.h"
#include "scene/AppValues.h"

namespace vantomo {

namespace {

OperationResult Result(const char* refusal)
{
    OperationResult result;
    result.ok = refusal == nullptr;
    if (refusal != nullptr) {
        result.message = refusal;
    }
    return result;
}

} // namespace

std::vector<Track> CVantomoDoc::TracksOf(const std::vector<int>& models) const
{
    std::vector<Track> tracks;
    tracks.reserve(models.size());
    for (const int model : models) {
        tracks.push_back(*CurrentTrack(m_scene, model));
    }
    return tracks;
}

void CVantomoDoc::EndKeyEdit(std::string_view label, const std::vector<int>& models, std::vector<Track> before,
                             KeySelection selected)
{
    m_selectedKeys = std::move(selected);
    RecordTracksEdit(label, g_currentAnimation, models, std::move(before));
    SetModifiedFlag();
    ChangeNotice change(Change::Keys, models.size() == 1 ? models.front() : kNoIndex);
    change.animation = g_currentAnimation;
    UpdateAllViews(change);
}

OperationResult CVantomoDoc::MoveKeys(const KeySelection& keys, long long offset)
{
    if (const char* refusal = CheckMoveKeys(m_scene, keys, offset)) {
        m_ui.ShowMessage(refusal);
        return Result(refusal);
    }
    if (offset == 0) {
        return Result(""); // nothing would change: no undo step for it
    }
    const std::vector<int> models = keys.Models();
    std::vector<Track> before = TracksOf(models);
    // `keys` may be the selection itself, which the edit replaces.
    KeySelection moved = vantomo::MoveKeys(m_scene, keys, static_cast<int>(offset));
    EndKeyEdit(kMoveKeysLabel, models, std::move(before), std::move(moved));
    return Result(nullptr);
}

OperationResult CVantomoDoc::CopyKeys(const KeySelection& keys)
{
    if (const char* refusal = CheckKeys(m_scene, keys)) {
        m_ui.ShowMessage(refusal);
        return Result(refusal);
    }
    m_copiedKeys = vantomo::CopyKeys(m_scene, keys);
    return Result(nullptr);
}

OperationResult CVantomoDoc::PasteKeys(long long frame, const std::vector<int>& models)
{
    std::vector<PasteTarget> targets;
    const char* refusal = PasteTargets(m_scene, m_copiedKeys, models, targets);
    if (refusal == nullptr) {
        refusal = CheckPaste(m_scene, m_copiedKeys, targets, frame);
    }
    if (refusal != nullptr) {
        m_ui.ShowMessage(refusal);
        return Result(refusal);
    }
    std::vector<int> changed;
    for (const PasteTarget& target : targets) {
        changed.push_back(target.model);
    }
    std::vector<Track> before = TracksOf(changed);
    KeySelection pasted = vantomo::PasteKeys(m_scene, m_copiedKeys, targets, static_cast<int>(frame));
    EndKeyEdit(kPasteKeysLabel, changed, std::move(before), std::move(pasted));
    return Result(nullptr);
}

OperationResult CVantomoDoc::DeleteKeys(const KeySelection& keys)
{
    if (const char* refusal = CheckKeys(m_scene, keys)) {
        m_ui.ShowMessage(refusal);
        return Result(refusal);
    }
    // Frame 0 is always a key: deleting it alone does nothing, as the key
    // commands do at frame 0.
    const KeySelection deleted = DeletableKeys(keys);
    if (deleted.Empty()) {
        return Result("");
    }
    const std::vector<int> models = deleted.Models();
    std::vector<Track> before = TracksOf(models);
    vantomo::DeleteKeys(m_scene, deleted);
    EndKeyEdit(kDeleteKeysLabel, models, std::move(before), KeySelection());
    return Result(nullptr);
}

void CVantomoDoc::SelectKeys(KeySelection keys)
{
    keys.RemoveIf([this](int model, int frame) { return !IsKey(m_scene, model, frame); });
    if (keys == m_selectedKeys) {
        return;
    }
    m_selectedKeys = std::move(keys);
    UpdateAllViews(Change::KeySelection);
}

void CVantomoDoc::FollowKeySelection(Change kind)
{
    switch (kind) {
    // Models, animations or frames renumbered: the indices would name other keys.
    case Change::NewDocument:
    case Change::ProjectOpened:
    case Change::ModelAddedOrDeleted:
    case Change::Structure:
    case Change::AnimationList:
    case Change::AnimationSelected:
    case Change::Frames:
        m_selectedKeys.Clear();
        break;
    // Changes that leave every key where it is.
    case Change::Layout:
    case Change::Shading:
    case Change::ModeMove:
    case Change::ModeRotate:
    case Change::ModeScale:
    case Change::Selection:
    case Change::Navigation:
    case Change::Play:
    case Change::Camera:
    case Change::Stop:
    case Change::Frame:
    case Change::Pose:
    case Change::Rate:
    case Change::Title:
    case Change::KeySelection:
        break;
    default:
        m_selectedKeys.RemoveIf([this](int model, int frame) { return !IsKey(m_scene, model, frame); });
        break;
    }
}

} // namespace vantomo
