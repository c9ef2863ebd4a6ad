// Selection, deletion, characters, reparenting, animations and the traversal.
#include "document/Fixture.h"
#include "document/Structure.h"
#include "scene/Names.h"

namespace vantomo {

namespace {

class StructureTest : public DocumentTest {
protected:
    std::vector<std::string> ModelNames() const
    {
        std::vector<std::string> names;
        for (const CModel& model : scene.m_models) {
            names.push_back(model.m_name);
        }
        return names;
    }
    CTessaline scene;
    CollectingMessageSink messages;
};

} // namespace

TEST_F(StructureTest, DeletingAModelMovesItsChildrenToTheRootAndRenumbersParents)
{
    // root, then mid (child of root) with kids a and b, then c (child of a).
    scene.m_models = {Model("root", -1), Model("mid", 0), Model("a", 1), Model("b", 1), Model("c", 2)};
    scene.m_materials.resize(3);
    scene.m_materials[0].m_id = 10; // used by "mid" only
    scene.m_materials[1].m_id = 11; // used by "c"
    scene.m_materials[2].m_id = 12; // used by nobody
    AddTriangle(scene.m_models[1], 10);
    AddTriangle(scene.m_models[4], 11);
    SelectModel(scene, 1);
    g_currentFrame = 4;

    ASSERT_TRUE(DeleteModel(scene));
    EXPECT_EQ(ModelNames(), (std::vector<std::string>{"root", "a", "b", "c"}));
    EXPECT_EQ(scene.m_models[1].m_parent, -1); // a and b: roots of their character, in order
    EXPECT_EQ(scene.m_models[2].m_parent, -1);
    EXPECT_EQ(scene.m_models[3].m_parent, 1); // c follows a to its new index
    EXPECT_EQ(scene.m_models[3].m_parentName, "a");
    ASSERT_EQ(scene.m_materials.size(), 1u);
    EXPECT_EQ(scene.m_materials[0].m_id, 11);
    EXPECT_EQ(scene.m_selectedModel, kNoModel);
    EXPECT_EQ(g_currentFrame, 0);
    const std::vector<TraversalEntry> walk = {
        {kBeginCharacter, 0}, {kEnterModel, 0}, {kLeaveModel, 0}, {kEnterModel, 1}, {kEnterModel, 3},
        {kLeaveModel, 3},     {kLeaveModel, 1}, {kEnterModel, 2}, {kLeaveModel, 2}, {kEndCharacter, 2}};
    EXPECT_EQ(scene.m_traversal, walk);

    EXPECT_FALSE(DeleteModel(scene)); // nothing selected
    EXPECT_EQ(scene.m_models.size(), 4u);
}

TEST_F(StructureTest, DeletingTheLastModelResetsTheAnimationList)
{
    scene.m_models = {Model("only", -1, 61, 2)};
    scene.m_animationNames = {"Animation_0", "Walk"};
    g_animationCount = 2;
    g_currentAnimation = 1;
    SelectModel(scene, 0);
    ASSERT_TRUE(DeleteModel(scene));
    EXPECT_EQ(scene.m_animationNames, std::vector<std::string>{"Animation_0"});
    EXPECT_EQ(g_currentAnimation, 0);
    EXPECT_EQ(g_animationCount, 1);
    EXPECT_TRUE(scene.m_traversal.empty());
}

TEST_F(StructureTest, DeletingACharacterRenumbersTheOnesAfterIt)
{
    scene.m_characterNames = {"A", "B", "C"};
    scene.m_models = {Model("a", ~0), Model("b", ~1), Model("c", ~2), Model("c-child", 2), Model("b-child", 1)};
    SelectCharacter(scene, 1);
    ASSERT_TRUE(DeleteCharacter(scene));
    EXPECT_EQ(scene.m_characterNames, (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(ModelNames(), (std::vector<std::string>{"a", "c", "c-child"}));
    EXPECT_EQ(scene.m_models[1].m_parent, ~1);
    EXPECT_EQ(scene.m_models[1].m_parentName, "C");
    EXPECT_EQ(scene.m_models[2].m_parent, 1);
    EXPECT_EQ(scene.m_models[2].m_character, 1);
    EXPECT_EQ(scene.m_selectedCharacter, 0);
    EXPECT_EQ(scene.m_traversal.front(), (TraversalEntry{kBeginCharacter, 0}));
    EXPECT_EQ(scene.m_traversal.back(), (TraversalEntry{kEndCharacter, 2}));
}

TEST_F(StructureTest, DeletingTheOnlyCharacterLeavesTheDefaults)
{
    scene.m_characterNames = {"Hero"};
    scene.m_animationNames = {"Animation_0", "Walk"};
    scene.m_models = {Model("a", -1, 61, 2)};
    scene.m_materials.resize(1);
    g_animationCount = 2;
    ASSERT_TRUE(DeleteCharacter(scene));
    EXPECT_EQ(scene.m_characterNames, std::vector<std::string>{"Character_0"});
    EXPECT_TRUE(scene.m_models.empty());
    EXPECT_TRUE(scene.m_materials.empty());
    EXPECT_EQ(scene.m_animationNames, std::vector<std::string>{"Animation_0"});
    EXPECT_EQ(g_lastFrame, 60);
}

TEST_F(StructureTest, AfterDeletingACharacterTheLengthComesFromAModelWithRecords)
{
    // "late" was imported while animation 1 was current: its first track is empty.
    scene.m_characterNames = {"A", "B"};
    scene.m_animationNames = {"Animation_0", "Walk"};
    scene.m_models = {Model("a", ~0, 90, 2), Model("late", ~1, 0, 2), Model("b", ~1, 25, 2)};
    scene.m_models[1].m_tracks[1].resize(90);
    g_animationCount = 2;
    g_currentAnimation = 1;
    SelectCharacter(scene, 0);
    ASSERT_TRUE(DeleteCharacter(scene));
    EXPECT_EQ(g_lastFrame, 24);
    EXPECT_EQ(g_currentAnimation, 0);
    for (const CModel& model : scene.m_models) {
        ASSERT_EQ(model.m_tracks[0].size(), 25u) << model.m_name;
        EXPECT_EQ(model.m_tracks[0][0].m_key, 1);
    }
}

TEST_F(StructureTest, DefaultNamesAreComparedExactly)
{
    scene.m_characterNames = {"character_0"};
    ASSERT_TRUE(AddCharacter(scene));
    EXPECT_EQ(scene.m_characterNames.back(), "Character_0");
    ASSERT_TRUE(AddCharacter(scene));
    EXPECT_EQ(scene.m_characterNames.back(), "Character_1");

    scene.m_characterNames.clear();
    for (int n = 0; n < 20000; ++n) {
        scene.m_characterNames.push_back("Character_" + std::to_string(n));
    }
    EXPECT_FALSE(AddCharacter(scene));
    EXPECT_EQ(scene.m_characterNames.size(), 20000u);
}

TEST_F(StructureTest, ReparentingCarriesTheSubtreeAndFollowsTheSelection)
{
    scene.m_characterNames = {"A", "B"};
    scene.m_models = {Model("a", ~0), Model("b", ~1), Model("b-child", 1)};
    SelectModel(scene, 2);
    EXPECT_EQ(scene.m_selectedCharacter, 1);
    ReparentModel(scene, 1, 0);
    EXPECT_EQ(scene.m_models[1].m_parentName, "a");
    EXPECT_EQ(scene.m_models[2].m_character, 0);
    EXPECT_EQ(scene.m_selectedCharacter, 0);
    EXPECT_TRUE(IsDescendantOrSelf(scene, 2, 0));
    EXPECT_FALSE(IsDescendantOrSelf(scene, 0, 2));
    EXPECT_EQ(scene.m_traversal.size(), 2u + 6u); // one character with three models
}

TEST_F(StructureTest, VisibilityMovesTheSelection)
{
    scene.m_characterNames = {"A", "B"};
    scene.m_models = {Model("a", ~0), Model("b", ~1)};
    SelectModel(scene, 1);
    SetModelVisible(scene, 1, false);
    EXPECT_EQ(scene.m_models[1].m_visible, 0);
    EXPECT_EQ(scene.m_selectedModel, kNoModel);
    EXPECT_EQ(scene.m_selectedCharacter, 0);
    SetModelVisible(scene, 1, true);
    EXPECT_EQ(scene.m_models[1].m_visible, 1);
    EXPECT_EQ(scene.m_selectedModel, 1);
    EXPECT_EQ(scene.m_selectedCharacter, 1);
}

TEST_F(StructureTest, AddingAnAnimationGivesEveryModelRestFramesOfTheCurrentLength)
{
    EXPECT_FALSE(AddAnimation(scene, messages)); // no model: nothing at all
    EXPECT_EQ(scene.m_animationNames.size(), 1u);

    scene.m_models = {Model("a", -1), Model("b", -1)};
    scene.m_models[0].m_tracks[0][5].m_key = 1;
    g_currentFrame = 30;
    ASSERT_TRUE(AddAnimation(scene, messages));
    EXPECT_EQ(scene.m_animationNames.back(), "Animation_1");
    EXPECT_EQ(g_currentAnimation, 1);
    EXPECT_EQ(g_animationCount, 2);
    EXPECT_EQ(g_currentFrame, 0);
    for (const CModel& model : scene.m_models) {
        ASSERT_EQ(model.m_tracks.size(), 2u);
        ASSERT_EQ(model.m_tracks[1].size(), 61u);
        EXPECT_EQ(model.m_tracks[1][0].m_key, 1);
    }
    EXPECT_EQ(scene.m_models[0].m_tracks[0][5].m_key, 1);
}

TEST_F(StructureTest, DeletingTheOnlyAnimationRecreatesTheDefault)
{
    scene.m_models = {Model("a", -1, 61, 2)};
    scene.m_animationNames = {"Animation_0", "Walk"};
    g_animationCount = 2;
    scene.m_models[0].m_tracks[1][3].m_key = 1;
    DeleteAnimation(scene, 0);
    EXPECT_EQ(scene.m_animationNames, std::vector<std::string>{"Walk"});
    ASSERT_EQ(scene.m_models[0].m_tracks.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_tracks[0][3].m_key, 1); // the later track moved down
    DeleteAnimation(scene, 0);
    EXPECT_EQ(scene.m_animationNames, std::vector<std::string>{"Animation_0"});
    ASSERT_EQ(scene.m_models[0].m_tracks.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_tracks[0].size(), 61u);
    EXPECT_EQ(scene.m_models[0].m_tracks[0][3].m_key, 0);
    EXPECT_EQ(g_animationCount, 1);
    DeleteAnimation(scene, 7); // outside the list: history cleared, nothing removed
    EXPECT_EQ(scene.m_animationNames.size(), 1u);
}

TEST_F(StructureTest, ParentsResolveByNameWithoutRegardToCase)
{
    scene.m_models = {Model("Arm", -1), Model("ARM", -1), Model("hand", 5), Model("foot", 0)};
    scene.m_models[2].m_parentName = "arm";
    scene.m_models[3].m_parentName = "missing";
    scene.m_models[3].m_character = 0;
    scene.m_selectedModel = 1;
    ResolveParentsByName(scene);
    EXPECT_EQ(scene.m_selectedModel, kNoModel);
    EXPECT_EQ(scene.m_models[2].m_parent, 0); // the first match in index order
    EXPECT_EQ(scene.m_models[2].m_parentName, "Arm");
    EXPECT_EQ(scene.m_models[3].m_parent, -1);
    EXPECT_EQ(scene.m_models[3].m_parentName, "Character_0");
    // Trail bytes are not letters: 0x83 0x61 and 0x83 0x41 are different characters.
    EXPECT_NE(NameFoldKey("\x83\x61"), NameFoldKey("\x83\x41"));
}

TEST_F(StructureTest, TraversalWalksEveryCharacterWithModelsInTreeOrder)
{
    scene.m_characterNames = {"empty", "A", "B"};
    // A: r0 with children c1 (with grandchild g3) and c2; B: s4.
    scene.m_models = {Model("r0", ~1), Model("c1", 0), Model("c2", 0), Model("g3", 1), Model("s4", ~2)};
    scene.BuildTraversal();
    const std::vector<TraversalEntry> walk = {
        {kBeginCharacter, 0}, {kEnterModel, 0}, {kEnterModel, 1}, {kEnterModel, 3}, {kLeaveModel, 3},
        {kLeaveModel, 1},     {kEnterModel, 2}, {kLeaveModel, 2}, {kLeaveModel, 0}, {kEndCharacter, 2},
        {kBeginCharacter, 4}, {kEnterModel, 4}, {kLeaveModel, 4}, {kEndCharacter, 4}};
    EXPECT_EQ(scene.m_traversal, walk);

    // A chain far deeper than the call stack could follow.
    scene.m_models.clear();
    scene.m_models.push_back(Model("top", -1, 1));
    for (int i = 1; i < 60000; ++i) {
        CModel model;
        model.m_parent = i - 1;
        scene.m_models.push_back(std::move(model));
    }
    scene.BuildTraversal();
    EXPECT_EQ(scene.m_traversal.size(), 2u + 2u * 60000u);
    EXPECT_EQ(scene.m_traversal[60001], (TraversalEntry{kLeaveModel, 59999}));
}

TEST_F(StructureTest, RenamesRefuseNamesTakenWithoutRegardToCase)
{
    scene.m_models = {Model("Arm", -1), Model("Leg", -1), Model("foot", 1)};
    scene.m_characterNames = {"Hero", "Villain"};
    scene.RefreshDerived();

    SelectModel(scene, 1);
    EXPECT_FALSE(RenameModel(scene, "ARM", messages));
    EXPECT_EQ(scene.m_models[1].m_name, "Leg");
    EXPECT_EQ(messages.messages, std::vector<std::string>{"同名のアイテムが存在します！"});
    EXPECT_TRUE(RenameModel(scene, "LEG", messages)); // its own name in another case is fine
    EXPECT_TRUE(RenameModel(scene, "Shin", messages));
    EXPECT_EQ(scene.m_models[2].m_parentName, "Shin"); // children follow at once

    SelectCharacter(scene, 0);
    EXPECT_FALSE(RenameCharacter(scene, "villain", messages));
    EXPECT_TRUE(RenameCharacter(scene, "Knight", messages));
    EXPECT_EQ(scene.m_models[0].m_parentName, "Knight");

    scene.m_animationNames = {"Walk", "Run"};
    g_currentAnimation = 1;
    EXPECT_FALSE(RenameAnimation(scene, 1, "WALK", messages));
    EXPECT_TRUE(RenameAnimation(scene, 1, "Jump", messages));
    EXPECT_EQ(scene.m_animationNames[1], "Jump");
    EXPECT_FALSE(RenameAnimation(scene, 5, "X", messages));
    EXPECT_EQ(messages.messages.size(), 3u);

    // Full-width letters fold too; a trail byte equal to 'a' is not a letter.
    scene.m_models[0].m_name = "\x82\x60"; // full-width A
    SelectModel(scene, 1);
    EXPECT_FALSE(RenameModel(scene, "\x82\x81", messages)); // full-width a
    EXPECT_TRUE(RenameModel(scene, "\x83\x41", messages));
}

TEST_F(StructureTest, RenamesWithoutASelectionChangeNothing)
{
    scene.m_models = {Model("Arm", -1)};
    scene.m_selectedModel = kNoModel;
    EXPECT_FALSE(RenameModel(scene, "X", messages));
    scene.m_selectedCharacter = 4;
    EXPECT_FALSE(RenameCharacter(scene, "X", messages));
    EXPECT_EQ(scene.m_models[0].m_name, "Arm");
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace vantomo
