// Long work through the document: what is shown, and what a user who stops
// it finds afterwards.
#include "Fixture.h"

#include <filesystem>

#include "document/Commands.h"
#include "document/DroppedFiles.h"

namespace vantomo {

namespace {

std::string Mqo() { return std::string(VANTOMO_SOURCE_DIR) + "/samples/robot.mqo"; }

class LongWorkTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        ASSERT_TRUE(doc.AddModelFromPath(Mqo()).Complete());
        doc.SetModifiedFlag(false);
        doc.History().Clear();
        ui.progressTitles.clear();
        ui.stopAfterReports = 0; // the user presses Cancel at the first report
    }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    TempFolder folder;
};

} // namespace

TEST_F(LongWorkTest, AStoppedImportChangesNothingAndSaysNothing)
{
    const std::size_t models = doc.Scene().m_models.size();
    const OpenResult result = doc.AddModelFromPath(Mqo());
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(ui.progressTitles, std::vector<std::string>{kImportingProgress});
    EXPECT_EQ(doc.Scene().m_models.size(), models);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.History().CanUndo()) << "a stopped import is no step";
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(doc.LastFailure().empty());

    // Opening a Metasequoia document is an import too; so is a drop.
    EXPECT_FALSE(doc.OnOpenDocument(Mqo()));
    EXPECT_EQ(OpenDroppedFiles(doc, {Mqo(), Mqo()}), 0);
    EXPECT_EQ(doc.Scene().m_models.size(), models);
    EXPECT_EQ(ui.progressTitles.size(), 3u) << "the drop stops at its first file";
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LongWorkTest, SavingAndOpeningAProjectRunToTheirEnd)
{
    const std::string path = folder.Path("scene.vtm");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(ui.progressTitles, (std::vector<std::string>{kSavingProgress, kOpeningProgress}));
    EXPECT_EQ(doc.Scene().m_models.size(), 6u);
    EXPECT_GT(ui.progressReports, 1);
}

TEST_F(LongWorkTest, AStoppedExportKeepsTheOldFileAndSaysNothing)
{
    const std::string path = folder.Path("scene.xaml");
    std::ofstream(path) << "old";
    ui.paths.push_back(path);
    ui.answers.push_back({DialogAnswer::Kind::Export, {}});
    ASSERT_TRUE(doc.Execute(kCmdFileSaveAs));
    EXPECT_EQ(ui.progressTitles, std::vector<std::string>{kExportingProgress});
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{'o', 'l', 'd'}));

    ui.stopAfterReports = -1;
    ui.paths.push_back(path);
    ui.answers.push_back({DialogAnswer::Kind::Export, {}});
    ASSERT_TRUE(doc.Execute(kCmdFileSaveAs));
    EXPECT_GT(std::filesystem::file_size(path), 1000u);
    EXPECT_TRUE(ui.messages.empty());
}

} // namespace vantomo
