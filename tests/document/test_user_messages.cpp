// What the document tells the user once per action: the textures an open, an
// import, a drop or a material edit could not load, in one message naming
// every file; and where its file dialogs open.
#include "Fixture.h"

#include <fstream>
#include <functional>

#include "base/PathHelpers.h"
#include "document/Commands.h"
#include "document/DroppedFiles.h"

namespace vantomo {

namespace {

// A document of three materials naming two textures that are not there (one
// of them twice, one with a Windows separator) and one that is.
std::string WriteScene(const TempFolder& folder, const std::string& name)
{
    const std::string path = folder.Path(name);
    std::ofstream out(path, std::ios::binary);
    out << "Metasequoia Document\nFormat Text Ver 1.0\n\nMaterial 4 {\n"
           "\t\"a\" col(1 1 1 1) tex(\"tex\\wood.bmp\")\n"
           "\t\"b\" col(1 1 1 1) tex(\"stone.png\")\n"
           "\t\"c\" col(1 1 1 1) tex(\"stone.png\")\n"
           "\t\"d\" col(1 1 1 1) tex(\"here.ppm\")\n"
           "}\nObject \"board\" {\n\tvertex 3 {\n\t\t0 0 0\n\t\t1 0 0\n\t\t0 1 0\n\t}\n"
           "\tface 1 {\n\t\t3 V(0 1 2) M(0)\n\t}\n}\nEof\n";
    const std::string red("P6\n1 1\n255\n\xff\0\0", 14);
    std::ofstream(folder.Path("here.ppm"), std::ios::binary) << red;
    return path;
}

// Records whether the views had heard of the new scene when a message came.
class OrderingUi final : public UserInterface {
public:
    void ShowMessage(std::string_view text) override { messages.push_back({std::string(text), hints}); }
    std::optional<std::string> AskPath(const FileDialogRequest& request) override
    {
        requests.push_back(request);
        return answer;
    }
    SaveChoice AskYesNoCancel(std::string_view) override { return SaveChoice::No; }
    std::optional<std::uint32_t> AskColor(std::uint32_t) override { return std::nullopt; }
    bool RunKeyFrameDialog(KeyFrameDialog&) override { return false; }
    bool RunFrameInsertDialog(FrameInsertDialog&) override { return false; }
    bool RunFrameDeleteDialog(FrameDeleteDialog&) override { return false; }
    bool RunExportDialog(ExportDialog&) override { return false; }
    bool RunMaterialDialog(MaterialDialog& dialog) override
    {
        materialDialogs.push_back(dialog);
        dialog.texture = materialTexture;
        return true;
    }
    void BeginRename(const RenameTarget&, std::function<void(const std::string&)>) override {}
    void RunShellCommand(int) override {}
    bool IsShellCommandChecked(int) const override { return false; }

    struct Shown {
        std::string text;
        int hintsBefore;
    };
    std::vector<Shown> messages;
    std::vector<FileDialogRequest> requests;
    std::vector<MaterialDialog> materialDialogs;
    std::optional<std::string> answer;
    std::string materialTexture;
    int hints = 0;
};

class CountingView final : public DocumentView {
public:
    explicit CountingView(OrderingUi& ui) : m_ui(ui) {}
    void OnChange(const ChangeNotice&) override { ++m_ui.hints; }

private:
    OrderingUi& m_ui;
};

class UserMessagesTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        doc.AddView(&view);
    }
    void TearDown() override
    {
        doc.RemoveView(&view);
        DocumentTest::TearDown();
    }
    OrderingUi ui;
    CVantomoDoc doc{ui};
    CountingView view{ui};
    TempFolder folder;
};

const std::string kLead(kTextureLoadFailedMessage);

TEST_F(UserMessagesTest, AnImportTellsEveryMissingTextureOnceInOneMessageAfterTheViews)
{
    const std::string mqo = WriteScene(folder, "board.mqo");
    ASSERT_TRUE(doc.AddModelFromPath(mqo).ok);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kLead + "\ntex\\wood.bmp\nstone.png") << "the found one is not named";
    EXPECT_GT(ui.messages[0].hintsBefore, 0) << "the models are shown before the message";
    EXPECT_EQ(doc.Scene().m_materials[3].m_textureFile, folder.Path("here.ppm"));

    // Opened as a project, the same textures make one message again.
    const std::string project = folder.Path("board.vtm");
    ASSERT_TRUE(doc.OnSaveDocument(project));
    ui.messages.clear();
    doc.OnNewDocument();
    ASSERT_TRUE(doc.OnOpenDocument(project));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kLead + "\ntex\\wood.bmp\nstone.png");
}

TEST_F(UserMessagesTest, ADropOfSeveralFilesIsOneMessageAndAMaterialEditNamesItsFile)
{
    const std::string first = WriteScene(folder, "one.mqo");
    const std::string second = WriteScene(folder, "two.mqo");
    ASSERT_EQ(OpenDroppedFiles(doc, {first, second}), 2);
    ASSERT_EQ(ui.messages.size(), 1u) << "one drop, one message";
    EXPECT_EQ(ui.messages[0].text, kLead + "\ntex\\wood.bmp\nstone.png");

    // A material given a texture that is not there names that file alone.
    ui.messages.clear();
    ui.materialTexture = "gone.bmp";
    ASSERT_TRUE(doc.EditMaterial(3));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kLead + "\ngone.bmp");
    // Its chooser opens where the texture in use was found.
    EXPECT_EQ(ui.materialDialogs.back().textureChooserFolder, folder.Folder() + "/");
}

TEST(MissingTexturesMessage, NamesAreShownInUtf8UnderTheLoadersText)
{
    EXPECT_EQ(MissingTexturesMessage({}), "");
    // "木.bmp" as a Windows document stores it.
    EXPECT_EQ(MissingTexturesMessage({"\x96\xd8.bmp", "b.png"}), kLead + "\n木.bmp\nb.png");

    // Outside an action a texture is told at once, in the same form; actions nest.
    CollectingMessageSink sink;
    TextureReport report(sink);
    report.ShowTextureMessage(kTextureLoadFailedMessage, "a.bmp");
    EXPECT_EQ(sink.messages, std::vector<std::string>{kLead + "\na.bmp"});
    {
        const TextureReportScope outer(report);
        {
            const TextureReportScope inner(report);
            report.ShowTextureMessage(kTextureLoadFailedMessage, "b.bmp");
            report.ShowMessage("other");
        }
        EXPECT_EQ(sink.messages.size(), 2u) << "other messages pass at once, textures wait";
        report.ShowTextureMessage(kTextureLoadFailedMessage, "c.bmp");
    }
    EXPECT_EQ(sink.messages.back(), kLead + "\nb.bmp\nc.bmp");
}

TEST_F(UserMessagesTest, FileDialogsOpenInTheDocumentsFolderNeverTheProgramsOwn)
{
    const auto folders = [this] {
        ui.requests.clear();
        doc.Execute(kCmdFileOpen);
        doc.Execute(kCmdFileSaveAs);
        doc.Execute(kCmdAddModel);
        std::vector<std::string> shown;
        for (const FileDialogRequest& r : ui.requests) {
            shown.push_back(r.initialFolder);
        }
        return shown;
    };
    // An untitled document has no folder: the user interface picks the last
    // one used (or the home folder).
    EXPECT_EQ(folders(), std::vector<std::string>(3, ""));
    ASSERT_TRUE(doc.OnSaveDocument(folder.Path("walk.vtm")));
    EXPECT_EQ(folders(), std::vector<std::string>(3, folder.Folder() + "/"));
    for (const FileDialogRequest& r : ui.requests) {
        EXPECT_NE(r.initialFolder, ProgramFolder());
    }
}

} // namespace

} // namespace vantomo
