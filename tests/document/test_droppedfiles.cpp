// Files dropped on the main window, through the document.
#include "Fixture.h"

#include <filesystem>

#include "document/DroppedFiles.h"

namespace vantomo {

namespace {

std::string Mqo() { return std::string(VANTOMO_SOURCE_DIR) + "/samples/robot.mqo"; }

class DroppedFilesTest : public DocumentTest {
protected:
    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
};

TEST_F(DroppedFilesTest, KindGoesByTheLastThreeCharactersInAnyCase)
{
    EXPECT_EQ(KindOfDroppedPath("/a/b.VTM"), DroppedKind::Project);
    EXPECT_EQ(KindOfDroppedPath("/a/MODEL.Mqo"), DroppedKind::Metasequoia);
    EXPECT_EQ(KindOfDroppedPath("/a/modelmqo"), DroppedKind::Metasequoia);
    EXPECT_EQ(KindOfDroppedPath("/a/b.mqoz"), DroppedKind::Other);
    EXPECT_EQ(KindOfDroppedPath("qo"), DroppedKind::Other);
    EXPECT_EQ(KindOfDroppedPath(""), DroppedKind::Other);
}

TEST_F(DroppedFilesTest, EveryMetasequoiaFileIsImportedInOrderKeepingHistoryAndSelection)
{
    TempFolder folder;
    const std::string upper = folder.Path("ROBOT.MQO");
    std::filesystem::copy_file(Mqo(), upper);
    ASSERT_EQ(OpenDroppedFiles(doc, {Mqo(), folder.Path("notes.txt"), upper}), 2);
    EXPECT_EQ(doc.Scene().m_models.size(), 12u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(doc.Scene().m_traversal.empty()) << "the new models are walked and drawn";

    doc.Scene().m_selectedModel = 3;
    const std::size_t steps = doc.History().UndoCount();
    ASSERT_EQ(OpenDroppedFiles(doc, {Mqo()}), 1);
    EXPECT_EQ(doc.Scene().m_selectedModel, 3);
    EXPECT_EQ(doc.History().UndoCount(), steps + 1) << "each dropped file is one step";
}

TEST_F(DroppedFilesTest, AProjectOpensAfterTheSaveQuestionAndEndsTheDrop)
{
    TempFolder folder;
    const std::string project = folder.Path("scene.vtm");
    ASSERT_TRUE(doc.OnSaveDocument(project));
    doc.SetModifiedFlag(true);

    ui.answers.push_back({DialogAnswer::Kind::Cancel, {}});
    EXPECT_EQ(OpenDroppedFiles(doc, {project, Mqo()}), 0);
    EXPECT_EQ(ui.answers.size(), 0u) << "the question was asked";
    EXPECT_TRUE(doc.Scene().m_models.empty()) << "Cancel drops the whole rest";

    ui.answers.push_back({DialogAnswer::Kind::No, {}});
    EXPECT_EQ(OpenDroppedFiles(doc, {project, Mqo()}), 1);
    EXPECT_TRUE(doc.Scene().m_models.empty()) << "files after a project are ignored";
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DroppedFilesTest, ObjectsLeftOutAreNamedInOneMessagePerDocument)
{
    TempFolder folder;
    const std::string header = "Metasequoia Document\nFormat Text Ver 1.0\n";
    const std::string stick = "Object \"stick\" {\n\tvertex 2 {\n\t\t0 0 0\n\t\t1 0 0\n\t}\n"
                              "\tface 1 {\n\t\t2 V(0 1)\n\t}\n}\n";
    const std::string faceless = folder.Path("faceless.mqo");
    const std::string cut = folder.Path("cut.mqo");
    std::ofstream(faceless, std::ios::binary) << header << stick << stick;
    std::ofstream(cut, std::ios::binary) << header << "Object \"half\" {\n\tvertex 3 {\n\t\t0 0 0\n";
    ASSERT_EQ(OpenDroppedFiles(doc, {faceless, Mqo(), cut}), 3);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{std::string(kObjectsWithoutModelMessage) + "\nstick\nstick",
                                                     std::string(kUnreadObjectsMessage) + "\nhalf"}));

    // Opening one by name says it as well.
    ui.messages.clear();
    ASSERT_TRUE(doc.OnOpenDocument(faceless));
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace

} // namespace vantomo
