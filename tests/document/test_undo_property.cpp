// Long seeded runs of random edits on real documents, valid and invalid ones
// mixed: after every edit and every undo or redo the scene's derived data is
// what a fresh derivation gives, a refused edit leaves neither a step nor a
// changed byte, and the whole history undoes to the first bytes and redoes to
// the last. A failure names the seed and the step, so it replays exactly.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <span>
#include <sstream>

#include "Fixture.h"
#include "document/Commands.h"
#include "scene/Archive.h"
#include "scene/ProjectFile.h"

namespace vantomo {

namespace {

std::string CorpusFile(const char* name) { return std::string(VANTOMO_CORPUS_DIR) + "/mqo/" + name; }

const char* const kDChan2 = "garlic-flavor_mqo_loader/dsan/d-chan2.mqo";
const char* const kDChan3 = "garlic-flavor_mqo_loader/dsan/d-chan3.mqo";
const char* const kAutoCsg = "binzume_mqo-jsmacro-plugin/scripts/autocsg_sample.mqo";
const char* const kChair = "wertrain_webgl-metasequoia/app/models/isu.mqo";

std::uint64_t Fnv1a(std::span<const unsigned char> bytes)
{
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char b : bytes) {
        h = (h ^ b) * 1099511628211ull;
    }
    return h;
}

// What an edit is expected to do: be refused (no step, no byte changed), or
// anything an edit may do (no step and no change, or exactly one step).
enum class Expect { Refused, Any };

// The parent chain of `model` passes through `ancestor` (or is it).
bool Below(const CTessaline& scene, int model, int ancestor)
{
    for (std::size_t hops = 0; model >= 0 && hops <= scene.m_models.size(); ++hops) {
        if (model == ancestor) {
            return true;
        }
        model = scene.m_models[static_cast<std::size_t>(model)].m_parent;
    }
    return false;
}

// The consistency the rest of the program relies on; "" when it holds.
std::string Inconsistency(const CTessaline& scene, const KeySelection& keys)
{
    std::ostringstream out;
    const int models = static_cast<int>(scene.m_models.size());
    const int characters = static_cast<int>(scene.m_characterNames.size());
    for (int i = 0; i < models; ++i) {
        const int p = scene.m_models[static_cast<std::size_t>(i)].m_parent;
        if (p >= models || (p < 0 && ~p >= characters)) {
            out << "model " << i << " has parent " << p << "; ";
        }
    }
    if (!out.str().empty()) {
        return out.str();
    }
    for (int i = 0; i < models; ++i) {
        int p = i;
        int hops = 0;
        while (p >= 0 && hops <= models) {
            p = scene.m_models[static_cast<std::size_t>(p)].m_parent;
            ++hops;
        }
        if (p >= 0) {
            return "model " + std::to_string(i) + " is in a parent cycle";
        }
    }

    // A derivation from the parents and names alone, on a copy.
    CTessaline fresh;
    fresh.m_characterNames = scene.m_characterNames;
    fresh.m_models.resize(scene.m_models.size());
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        fresh.m_models[i].m_name = scene.m_models[i].m_name;
        fresh.m_models[i].m_parent = scene.m_models[i].m_parent;
        fresh.m_models[i].m_parentName = "?";
        fresh.m_models[i].m_character = -99;
    }
    fresh.RefreshDerived();
    fresh.BuildTraversal();
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        const CModel& m = scene.m_models[i];
        if (m.m_character != fresh.m_models[i].m_character || m.m_parentName != fresh.m_models[i].m_parentName) {
            out << "model " << i << " derives character " << fresh.m_models[i].m_character << " and parent name '"
                << fresh.m_models[i].m_parentName << "' but holds " << m.m_character << " and '" << m.m_parentName
                << "'; ";
        }
    }
    if (scene.m_traversal != fresh.m_traversal) {
        out << "the traversal differs from a rebuilt one; ";
    }

    const std::size_t animations = scene.m_animationNames.size();
    if (static_cast<std::size_t>(g_animationCount) != animations) {
        out << "g_animationCount " << g_animationCount << " with " << animations << " animation names; ";
    }
    if (g_currentAnimation < 0 || static_cast<std::size_t>(g_currentAnimation) >= animations) {
        out << "current animation " << g_currentAnimation << " outside the list; ";
        return out.str();
    }
    if (g_currentFrame < 0 || g_currentFrame > g_lastFrame) {
        out << "frame " << g_currentFrame << " outside 0.." << g_lastFrame << "; ";
    }
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        const CModel& m = scene.m_models[i];
        if (m.m_tracks.size() != animations) {
            out << "model " << i << " has " << m.m_tracks.size() << " tracks for " << animations << " animations; ";
        } else if (m.m_tracks[static_cast<std::size_t>(g_currentAnimation)].size() !=
                   static_cast<std::size_t>(g_lastFrame) + 1) {
            out << "model " << i << " has " << m.m_tracks[static_cast<std::size_t>(g_currentAnimation)].size()
                << " records in the current animation, last frame " << g_lastFrame << "; ";
        }
    }

    if (scene.m_selectedModel != kNoModel && (scene.m_selectedModel < 0 || scene.m_selectedModel >= models)) {
        out << "selected model " << scene.m_selectedModel << "; ";
    }
    if (scene.m_selectedCharacter < 0 || scene.m_selectedCharacter >= std::max(characters, 1)) {
        out << "selected character " << scene.m_selectedCharacter << " of " << characters << "; ";
    }
    // The selected material is left alone when materials go: a position
    // outside the list reads as none.
    for (const KeyRef& key : keys.Keys()) {
        if (key.model < 0 || key.model >= models || !IsKey(scene, key.model, key.frame)) {
            out << "selected key " << key.model << "@" << key.frame << " is no key; ";
            break;
        }
    }
    return out.str();
}

class UndoPropertyTest : public DocumentTest {
protected:
    static constexpr int kEdits = 2000;

    // The project's bytes. The camera is a viewing choice that no step holds
    // (the first import into an empty scene frames it), so it is left out.
    std::vector<unsigned char> Bytes()
    {
        CTessaline& scene = doc.Scene();
        std::vector<CAnimation> camera(1);
        std::swap(camera, scene.m_camera);
        Archive ar;
        EXPECT_TRUE(StoreProject(scene, ar));
        std::swap(camera, scene.m_camera);
        return {ar.Stored().begin(), ar.Stored().end()};
    }
    std::uint64_t Hash() { return Fnv1a(Bytes()); }

    int Pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng); }
    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, std::max(lo, hi))(rng); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng); }
    float Value() { return static_cast<float>(Between(-400, 400)) / 4.0f; }

    int ModelCount() const { return static_cast<int>(doc.Scene().m_models.size()); }
    int CharacterCount() const { return static_cast<int>(doc.Scene().m_characterNames.size()); }
    int MaterialCount() const { return static_cast<int>(doc.Scene().m_materials.size()); }
    // Indices beyond either end now and then.
    int AnyIndex(int n) { return Chance(0.15) ? (Chance(0.5) ? -1 - Pick(3) : n + Pick(3)) : Pick(n); }
    std::string FreshName() { return "n" + std::to_string(++names); }

    // A key of the current animation, or a frame that is none.
    std::vector<int> KeyFrames(int model) const
    {
        std::vector<int> frames;
        if (const Track* track = CurrentTrack(doc.Scene(), model)) {
            for (std::size_t f = 0; f < track->size(); ++f) {
                if (IsKey(doc.Scene(), model, static_cast<int>(f))) {
                    frames.push_back(static_cast<int>(f));
                }
            }
        }
        return frames;
    }
    KeySelection RandomKeys(bool withNonKey)
    {
        KeySelection keys;
        const int n = ModelCount();
        for (int k = 0, models = 1 + Pick(3); k < models && n > 0; ++k) {
            const int model = Pick(n);
            const std::vector<int> frames = KeyFrames(model);
            for (int j = 0, count = 1 + Pick(3); j < count && !frames.empty(); ++j) {
                keys.Add(model, frames[static_cast<std::size_t>(Pick(static_cast<int>(frames.size())))]);
            }
        }
        if (withNonKey && n > 0) {
            const int model = Pick(n);
            const std::vector<int> frames = KeyFrames(model);
            for (int f = 1; f <= g_lastFrame; ++f) {
                if (!std::binary_search(frames.begin(), frames.end(), f)) {
                    keys.Add(model, f);
                    break;
                }
            }
        }
        return keys;
    }

    // What a click on the panes does between edits: it is never a step and
    // changes no byte.
    void Look(std::string& what)
    {
        const int n = ModelCount();
        switch (Pick(6)) {
        case 0:
            what = "select a model";
            if (n > 0) {
                doc.SelectModelItem(Pick(n));
            }
            break;
        case 1:
            what = "select a character";
            doc.SelectCharacterItem(Pick(CharacterCount()));
            break;
        case 2:
            what = "select an animation";
            doc.SelectAnimationItem(Pick(g_animationCount));
            break;
        case 3:
            what = "go to a frame";
            doc.SetCurrentFrame(Between(0, g_lastFrame));
            break;
        case 4:
            what = "transform mode";
            doc.Execute(kCmdModeMove + Pick(2)); // move or rotate
            break;
        default:
            what = "transform mode";
            doc.Execute(kCmdModeScale);
            break;
        }
    }

    // One random edit; `what` names it for the failure message.
    Expect Edit(std::string& what)
    {
        CTessaline& scene = doc.Scene();
        const int n = ModelCount();
        const int last = g_lastFrame;
        const int kind = Pick(24);
        switch (kind) {
        case 0:
        case 1:
        case 2: {
            what = "typed pose";
            if (n == 0 || Chance(0.1)) {
                doc.ClearSelectionItem(); // then the fields move the camera, which is no edit
                doc.ApplyValueFields(Value(), Value(), Value(), Value());
                return Expect::Refused;
            }
            doc.SelectModelItem(Pick(n));
            doc.SetCurrentFrame(Between(0, last));
            if (Chance(0.3)) {
                doc.ApplyValueField(Pick(4), Value());
            } else {
                doc.ApplyValueFields(Value(), Value(), Value(), Chance(0.5) ? std::optional<float>(Value()) : std::nullopt);
            }
            return Expect::Any;
        }
        case 3:
        case 4: {
            what = "key command";
            if (n == 0) {
                return Expect::Refused;
            }
            doc.SelectModelItem(Pick(n));
            doc.SetCurrentFrame(Between(0, last));
            static const int kCommands[] = {kCmdAddKeySelected, kCmdAddKeyAll, kCmdDeleteKeySelected, kCmdDeleteKeyAll};
            EXPECT_TRUE(doc.Execute(kCommands[Pick(4)]));
            return Expect::Any;
        }
        case 5: {
            what = "key dialog";
            if (n == 0) {
                doc.ClearSelectionItem();
                EXPECT_FALSE(doc.SetKey(true, false, 1).ok);
                return Expect::Refused;
            }
            doc.SelectModelItem(Pick(n));
            // A frame beyond either end addresses no record, but the dialog
            // still in-betweens every model.
            const int frame = Chance(0.15) ? (Chance(0.5) ? -1 - Pick(5) : last + 1 + Pick(5)) : Between(0, last);
            EXPECT_TRUE(doc.SetKey(Chance(0.6), Chance(0.5), frame).ok);
            return Expect::Any;
        }
        case 6: {
            what = "move keys";
            const KeySelection keys = RandomKeys(Chance(0.15));
            const int offset = Chance(0.1) ? 0 : Between(-last, last);
            return doc.MoveKeys(keys, offset).ok ? Expect::Any : Expect::Refused;
        }
        case 7: {
            what = "delete keys";
            const KeySelection keys = RandomKeys(Chance(0.15));
            return doc.DeleteKeys(keys).ok ? Expect::Any : Expect::Refused;
        }
        case 8: {
            what = "copy and paste keys";
            const KeySelection keys = RandomKeys(Chance(0.1));
            static_cast<void>(doc.CopyKeys(keys));
            std::vector<int> targets;
            if (n > 0 && Chance(0.6)) {
                for (int k = 0, count = 1 + Pick(3); k < count; ++k) {
                    targets.push_back(AnyIndex(n));
                }
            }
            return doc.PasteKeys(Between(-2, last + 2), targets).ok ? Expect::Any : Expect::Refused;
        }
        case 9: {
            what = "insert frames";
            if (Chance(0.2)) {
                const bool badAfter = Chance(0.5);
                EXPECT_FALSE(doc.InsertFrames(badAfter ? (Chance(0.5) ? -1 : last + 1 + Pick(5)) : Between(0, last),
                                              badAfter ? 1 : -1 - Pick(5))
                                 .ok);
                return Expect::Refused;
            }
            // The tracks stay short: every scene step holds all of them.
            EXPECT_TRUE(doc.InsertFrames(Between(0, last), last > 120 ? Pick(2) : Between(0, 12)).ok);
            return Expect::Any;
        }
        case 10: {
            what = "delete frames";
            if (Chance(0.25) || last == 0) {
                switch (Pick(3)) {
                case 0:
                    EXPECT_FALSE(doc.DeleteFrames(0, last).ok) << "no frame would remain";
                    break;
                case 1:
                    EXPECT_FALSE(doc.DeleteFrames(Between(1, last), last + 1 + Pick(4)).ok);
                    break;
                default:
                    if (last > 0) {
                        const int first = Between(1, last);
                        EXPECT_FALSE(doc.DeleteFrames(first, first - 1).ok);
                    }
                    break;
                }
                return Expect::Refused;
            }
            const int first = Between(0, last);
            const int lastDeleted = std::min(last, first + Pick(8));
            if (first == 0 && lastDeleted == last) {
                return Expect::Refused; // would leave nothing; not tried
            }
            EXPECT_TRUE(doc.DeleteFrames(first, lastDeleted).ok);
            return Expect::Any;
        }
        case 11: {
            what = "last frame";
            switch (Pick(5)) {
            case 0:
                EXPECT_FALSE(doc.SetLastFrame(last).ok);
                return Expect::Refused;
            case 1:
                EXPECT_FALSE(doc.SetLastFrame(-1 - Pick(10)).ok);
                return Expect::Refused;
            case 2:
                // Without models nothing holds records yet, and the next
                // import would size its tracks to this; not tried then.
                if (n > 0) {
                    EXPECT_FALSE(doc.SetLastFrame(kRecordBudget + 1).ok);
                }
                return Expect::Refused;
            default: {
                const int to = Between(1, 100);
                EXPECT_EQ(doc.SetLastFrame(to).ok, to != last);
                return to == last ? Expect::Refused : Expect::Any;
            }
            }
        }
        case 12: {
            what = "delete model";
            const int index = AnyIndex(n);
            const bool ok = doc.DeleteModel(index).ok;
            EXPECT_EQ(ok, index >= 0 && index < n);
            return ok ? Expect::Any : Expect::Refused;
        }
        case 13: {
            what = "rename";
            const int target = Pick(4);
            const int count = target == 0 ? n : target == 1 ? CharacterCount() : target == 2 ? g_animationCount : MaterialCount();
            const int index = AnyIndex(count);
            const bool inRange = index >= 0 && index < count;
            std::string name = FreshName();
            bool refused = !inRange;
            const int mode = Pick(5);
            if (mode == 0) {
                name.clear();
                refused = true;
            } else if (mode == 1 && inRange && count > 1) {
                // Another item's name, in other letter case for the kinds that ignore case.
                int other = Pick(count - 1);
                other += other >= index ? 1 : 0;
                const std::size_t o = static_cast<std::size_t>(other);
                name = target == 0   ? scene.m_models[o].m_name
                       : target == 1 ? scene.m_characterNames[o]
                       : target == 2 ? scene.m_animationNames[o]
                                     : scene.m_materials[o].m_name;
                const bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return c > 0 && c < 0x7F; });
                if (ascii && Chance(0.5)) {
                    std::transform(name.begin(), name.end(), name.begin(), [](char c) {
                        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
                    });
                }
                refused = !name.empty();
                if (name.empty()) {
                    return Expect::Refused;
                }
            }
            OperationResult result;
            switch (target) {
            case 0:
                what = "rename model";
                result = doc.RenameModel(index, name);
                break;
            case 1:
                what = "rename character";
                result = doc.RenameCharacter(index, name);
                break;
            case 2:
                what = "rename animation";
                result = doc.RenameAnimation(index, name);
                break;
            default:
                what = "rename material";
                result = doc.RenameMaterial(index, name);
                break;
            }
            EXPECT_EQ(result.ok, !refused) << what << " to '" << name << "'";
            return refused ? Expect::Refused : Expect::Any;
        }
        case 14: {
            what = "show or hide";
            const int index = AnyIndex(n);
            const bool ok = doc.ShowHideModel(index);
            EXPECT_EQ(ok, index >= 0 && index < n);
            return ok ? Expect::Any : Expect::Refused;
        }
        case 15: {
            what = "reparent";
            if (n == 0) {
                return Expect::Refused;
            }
            const int model = AnyIndex(n);
            int ref = 0;
            if (Chance(0.3)) {
                ref = ~AnyIndex(CharacterCount());
            } else if (Chance(0.3) && model >= 0 && model < n) {
                // Under its own child, or itself.
                std::vector<int> below;
                for (int i = 0; i < n; ++i) {
                    if (Below(scene, i, model)) {
                        below.push_back(i);
                    }
                }
                ref = below[static_cast<std::size_t>(Pick(static_cast<int>(below.size())))];
            } else {
                ref = AnyIndex(n);
            }
            const bool valid = model >= 0 && model < n &&
                               (ref >= 0 ? ref < n && !Below(scene, ref, model) : ~ref < CharacterCount());
            what = "reparent " + std::to_string(model) + " on " + std::to_string(ref);
            EXPECT_EQ(doc.DropModel(model, ref), valid) << what;
            return valid ? Expect::Any : Expect::Refused;
        }
        case 16: {
            what = "add character";
            EXPECT_TRUE(doc.Execute(kCmdAddCharacter));
            return Expect::Any;
        }
        case 17: {
            what = "delete character";
            doc.SelectCharacterItem(Pick(CharacterCount()));
            EXPECT_TRUE(doc.Execute(kCmdDeleteCharacter));
            return Expect::Any;
        }
        case 18: {
            // Few animations: every scene step holds every track.
            if (g_animationCount < 4 && Chance(0.6)) {
                what = "add animation";
                EXPECT_TRUE(doc.Execute(kCmdAddAnimation));
            } else {
                what = "delete animation";
                EXPECT_TRUE(doc.Execute(kCmdDeleteAnimation));
            }
            return Expect::Any;
        }
        case 19: {
            what = "copy and paste animation";
            if (n == 0) {
                return Expect::Refused;
            }
            doc.SelectModelItem(Pick(n));
            EXPECT_TRUE(doc.Execute(kCmdCopyAnimation));
            if (Chance(0.3)) {
                doc.SelectAnimationItem(Pick(g_animationCount)); // carried across animations
            }
            doc.SelectModelItem(Pick(n));
            EXPECT_TRUE(doc.Execute(kCmdPasteAnimation));
            return Expect::Any;
        }
        case 20: {
            what = "material colour";
            if (MaterialCount() == 0 || !doc.SelectMaterialItem(Pick(MaterialCount()))) {
                return Expect::Refused;
            }
            const bool cancelled = Chance(0.2);
            if (!cancelled) {
                ui.answers.push_back({DialogAnswer::Kind::Color,
                                      {std::to_string(Pick(256)), std::to_string(Pick(256)), std::to_string(Pick(256))}});
            }
            EXPECT_TRUE(doc.Execute(kCmdMaterialColor));
            ui.answers.clear();
            return cancelled ? Expect::Refused : Expect::Any;
        }
        case 21: {
            what = "import";
            if (Chance(0.2)) {
                what = "import of a missing file";
                EXPECT_FALSE(doc.AddModelFromPath(CorpusFile("no such file.mqo")).ok);
                return Expect::Refused;
            }
            if (n > 40 || Chance(0.5)) {
                return Expect::Refused; // keeps the scene, and every step holding it, small
            }
            const std::string path = Chance(0.5) ? CorpusFile(kChair)
                                     : Chance(0.5) ? CorpusFile(kDChan3)
                                                   : std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo";
            what = "import " + path;
            EXPECT_TRUE(doc.AddModelFromPath(path).ok) << doc.LastFailure();
            return Expect::Any;
        }
        default: {
            Look(what);
            return Expect::Refused;
        }
        }
    }

    // The session: `edits` random edits from the scene as it is, with undo
    // and redo walks between them, then the whole history back and forth.
    void Run(unsigned seed)
    {
        rng.seed(seed);
        UndoHistory& history = doc.History();
        history.Clear();
        history.SetMemoryLimit(std::size_t{1} << 40);
        ASSERT_EQ(Inconsistency(doc.Scene(), doc.SelectedKeys()), "") << "seed " << seed << " before any edit";

        const std::vector<unsigned char> start = Bytes();
        // chain[k]: the bytes' hash with k steps in the undo stack; the steps
        // beyond the undo stack's size are the redo stack's.
        std::vector<std::uint64_t> chain{Fnv1a(start)};
        std::map<std::string, int> accepted;

        const auto fail = [&](int step, const std::string& what, const std::string& why) {
            FAIL() << "seed " << seed << ", step " << step << " (" << what << "): " << why;
        };
        const auto checkPosition = [&](int step, const std::string& what) {
            const std::size_t undo = history.UndoCount();
            if (undo + history.RedoCount() + 1 != chain.size()) {
                fail(step, what, "the history holds " + std::to_string(undo) + "+" + std::to_string(history.RedoCount()) +
                                     " steps, expected " + std::to_string(chain.size() - 1));
                return;
            }
            if (Hash() != chain[undo]) {
                fail(step, what, "the bytes differ from those the history had at " + std::to_string(undo) + " steps");
                return;
            }
            if (const std::string bad = Inconsistency(doc.Scene(), doc.SelectedKeys()); !bad.empty()) {
                fail(step, what, bad);
            }
        };

        for (int step = 0; step < kEdits; ++step) {
            if (Chance(0.04)) {
                // Back a few steps and, now and then, forward again: each
                // position shows the bytes it had.
                const int back = 1 + Pick(4);
                for (int k = 0; k < back && history.CanUndo(); ++k) {
                    const std::string label = "undo " + history.UndoLabel();
                    ASSERT_TRUE(doc.Undo());
                    ASSERT_NO_FATAL_FAILURE(checkPosition(step, label));
                }
                for (int k = Pick(back + 1); k > 0 && history.CanRedo(); --k) {
                    const std::string label = "redo " + history.RedoLabel();
                    ASSERT_TRUE(doc.Redo());
                    ASSERT_NO_FATAL_FAILURE(checkPosition(step, label));
                }
            }
            const std::size_t undoBefore = history.UndoCount();
            const std::size_t redoBefore = history.RedoCount();
            const std::uint64_t before = chain[undoBefore];
            std::string what;
            const Expect expect = Edit(what);
            ASSERT_FALSE(HasFailure()) << "seed " << seed << ", step " << step << " (" << what << ")";
            const std::size_t undo = history.UndoCount();
            const std::uint64_t after = Hash();
            if (undo == undoBefore) {
                if (history.RedoCount() != redoBefore) {
                    fail(step, what, "an edit that made no step emptied the redo stack");
                }
                if (after != before) {
                    fail(step, what, expect == Expect::Refused ? "a refused edit changed the bytes"
                                                               : "an edit changed the bytes without a step");
                }
            } else if (undo == undoBefore + 1) {
                if (expect == Expect::Refused) {
                    fail(step, what, "a refused edit made a step labelled " + history.UndoLabel());
                }
                if (history.RedoCount() != 0) {
                    fail(step, what, "a new step kept the redo stack");
                }
                chain.resize(undoBefore + 1);
                chain.push_back(after);
                ++accepted[history.UndoLabel()];
            } else {
                fail(step, what, "the edit made " + std::to_string(undo - undoBefore) + " steps");
            }
            ASSERT_FALSE(HasFailure());
            if (const std::string bad = Inconsistency(doc.Scene(), doc.SelectedKeys()); !bad.empty()) {
                fail(step, what, bad);
                return;
            }
        }

        // Forward to the newest step, then the whole way back and forth.
        while (history.CanRedo()) {
            const std::string label = "redo to the end: " + history.RedoLabel();
            ASSERT_TRUE(doc.Redo());
            ASSERT_NO_FATAL_FAILURE(checkPosition(kEdits, label));
        }
        const std::vector<unsigned char> end = Bytes();
        const std::size_t steps = history.UndoCount();
        while (history.CanUndo()) {
            const std::string label = "undo all: " + history.UndoLabel();
            ASSERT_TRUE(doc.Undo());
            ASSERT_NO_FATAL_FAILURE(checkPosition(kEdits, label));
        }
        EXPECT_FALSE(doc.Undo());
        ASSERT_EQ(history.RedoCount(), steps) << "seed " << seed;
        EXPECT_TRUE(Bytes() == start) << "seed " << seed << ": undoing everything did not give the first bytes";
        while (history.CanRedo()) {
            const std::string label = "redo all: " + history.RedoLabel();
            ASSERT_TRUE(doc.Redo());
            ASSERT_NO_FATAL_FAILURE(checkPosition(kEdits, label));
        }
        EXPECT_FALSE(doc.Redo());
        EXPECT_TRUE(Bytes() == end) << "seed " << seed << ": redoing everything did not give the last bytes";

        // Every kind of step was taken, so the run did cover them.
        for (const char* label : {kPoseLabel, kAddKeyLabel, kDeleteKeyLabel, kMoveKeysLabel, kPasteKeysLabel,
                                  kDeleteKeysLabel, kInsertFramesLabel, kDeleteFramesLabel, kLastFrameLabel,
                                  kPasteAnimationLabel, kAddModelLabel, kDeleteModelLabel, kReparentLabel,
                                  kShowHideLabel, kRenameLabel, kAddCharacterLabel, kDeleteCharacterLabel,
                                  kAddAnimationLabel, kDeleteAnimationLabel, kMaterialColorLabel}) {
            EXPECT_GT(accepted[label], 0) << "seed " << seed << ": no step '" << label << "' was taken";
        }
    }

    bool HaveCorpus(std::initializer_list<const char*> files)
    {
        for (const char* file : files) {
            if (!std::filesystem::exists(CorpusFile(file))) {
                return false;
            }
        }
        return true;
    }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    std::mt19937 rng;
    int names = 0;
};

} // namespace

TEST_F(UndoPropertyTest, RandomEditsOnTheWalkerWithAnImportedCharacterUndoAndRedoExactly)
{
    if (!HaveCorpus({kDChan2, kDChan3, kChair})) {
        GTEST_SKIP() << "the Metasequoia corpus is not at " << VANTOMO_CORPUS_DIR;
    }
    ASSERT_TRUE(doc.OnOpenDocument(std::string(VANTOMO_SOURCE_DIR) + "/samples/walker.vtm"));
    ASSERT_TRUE(doc.Execute(kCmdAddCharacter));
    doc.SelectCharacterItem(1);
    ASSERT_TRUE(doc.AddModelFromPath(CorpusFile(kDChan2)).ok) << doc.LastFailure();
    Run(20240611u);
}

TEST_F(UndoPropertyTest, RandomEditsOnImportedDocumentsUndoAndRedoExactly)
{
    if (!HaveCorpus({kDChan3, kAutoCsg, kChair})) {
        GTEST_SKIP() << "the Metasequoia corpus is not at " << VANTOMO_CORPUS_DIR;
    }
    ASSERT_TRUE(doc.AddModelFromPath(CorpusFile(kAutoCsg)).ok) << doc.LastFailure();
    ASSERT_TRUE(doc.Execute(kCmdAddCharacter));
    doc.SelectCharacterItem(1);
    ASSERT_TRUE(doc.AddModelFromPath(CorpusFile(kDChan3)).ok) << doc.LastFailure();
    ASSERT_TRUE(doc.Execute(kCmdAddAnimation));
    Run(7u);
}

} // namespace vantomo
