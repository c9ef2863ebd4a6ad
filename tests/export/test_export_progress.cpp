#include <string>
#include <vector>

#include "ExportFixture.h"
#include "RecordingProgress.h"
#include "export/ExportScene.h"
#include "export/ExportSettings.h"

namespace vantomo {

namespace {

// One model of `cells` x `cells` quads: large enough that every writer
// passes its buffer several times.
CTessaline GridScene(int cells)
{
    CTessaline scene;
    scene.m_characterNames = {"c"};
    scene.m_animationNames = {"a"};
    scene.m_materials.push_back(MakeMaterial("m", 0, 1, 1, 1, 1));
    CModel model = MakeModel("grid", 0);
    for (int y = 0; y <= cells; ++y) {
        for (int x = 0; x <= cells; ++x) {
            AddVertex(model, static_cast<float>(x), static_cast<float>(y), 0.0f);
        }
    }
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            const int a = y * (cells + 1) + x;
            model.m_faces.push_back(MakeFace(0, {a, a + 1, a + cells + 2, a + cells + 1}));
        }
    }
    scene.m_models.push_back(std::move(model));
    return scene;
}

ExportSettings SettingsFor(const std::string& name)
{
    return InitialSettingsForPath(name).value_or(ExportSettings{});
}

class ExportProgress : public ExportTest {
protected:
    CTessaline scene = GridScene(300);
};

const char* const kKinds[] = {"out.mqo", "out.xaml", "out.gltf", "out.glb"};

} // namespace

TEST_F(ExportProgress, EveryWriterReportsInOrderUpToItsTotal)
{
    for (const char* name : kKinds) {
        RecordingProgress progress;
        const ExportResult result = ExportScene(scene, folder.Path(name), SettingsFor(name), TimePoint{}, &progress);
        ASSERT_TRUE(result.ok) << name << ": " << result.Describe();
        ASSERT_GE(progress.reports.size(), 2u) << name;
        EXPECT_TRUE(progress.Orderly()) << name;
        EXPECT_GT(progress.reports.back().second, 0u) << name;
        EXPECT_EQ(progress.reports.back().first, progress.reports.back().second) << name << " ends at its total";
    }
}

TEST_F(ExportProgress, AStoppedExportLeavesTheOldFileAndNoTemporaryFiles)
{
    for (const char* name : kKinds) {
        const std::string path = folder.Path(name);
        WriteText(path, "old contents");
        for (int stopAt : {1, 3}) {
            RecordingProgress progress(stopAt);
            const ExportResult result = ExportScene(scene, path, SettingsFor(name), TimePoint{}, &progress);
            EXPECT_FALSE(result.ok) << name;
            EXPECT_TRUE(result.cancelled) << name;
            EXPECT_TRUE(result.message.empty()) << name << ": " << result.message;
            EXPECT_EQ(static_cast<int>(progress.reports.size()), stopAt) << name << " stops at once";
            EXPECT_EQ(ReadText(path), "old contents") << name;
            EXPECT_EQ(folder.Entries(), std::vector<std::string>{name}) << name;
        }
        std::filesystem::remove(path);
    }
}

TEST_F(ExportProgress, AFileNameWithABackslashIsWrittenWhereItsPathSays)
{
    // On this system "\\" is an ordinary character of a file name.
    for (const char* name : {"a\\b.vtm", "a\\b.mqo", "a\\b.xaml", "a\\b.gltf"}) {
        const ExportResult result = ExportScene(scene, folder.Path(name), SettingsFor(name), TimePoint{});
        EXPECT_TRUE(result.ok) << name << ": " << result.Describe();
    }
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"a\\b.bin", "a\\b.gltf", "a\\b.mqo", "a\\b.vtm", "a\\b.xaml"}));
}

TEST_F(ExportProgress, AProjectSaveCannotBeStopped)
{
    const std::string path = folder.Path("scene.vtm");
    RecordingProgress progress(1);
    const ExportResult result = ExportScene(scene, path, ExportSettings{}, TimePoint{}, &progress);
    EXPECT_TRUE(result.ok) << result.Describe();
    EXPECT_FALSE(result.cancelled);
    EXPECT_TRUE(progress.Orderly());
    ASSERT_FALSE(progress.reports.empty());
    EXPECT_EQ(progress.reports.back().first, std::filesystem::file_size(path));
    EXPECT_EQ(progress.reports.back().second, std::filesystem::file_size(path));
}

} // namespace vantomo
