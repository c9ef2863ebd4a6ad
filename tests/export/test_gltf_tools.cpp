// Exports of every corpus document, animated by a script of the command-line
// tool, checked by two programs nobody here wrote: the Khronos glTF-Validator
// (0 errors, 0 warnings) and Blender's importer (every node's world matrix at
// every frame equals the pose composition). Each skips, saying why, when its
// program is missing; scripts/test installs both.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "GltfReadBack.h"
#include "MeshFacing.h"
#include "TempFolder.h"

#include "animation/Pose.h"
#include "cli/Open.h"
#include "scene/AppValues.h"
#include "scene/CTessaline.h"
#include "base/Cp932.h"
#include "scene/MessageSink.h"

namespace vantomo {

namespace {

struct CommandRun {
    int exitCode = -1;
    std::string output;
};

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

CommandRun RunCommand(const std::string& command)
{
    CommandRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool HasProgram(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null").exitCode == 0; }

using QuietSink = CollectingMessageSink;

// The UTF-8 names of the models the document imports; false when it does not open.
bool ModelNames(const std::string& document, std::vector<std::string>& names)
{
    ResetAppValues();
    CTessaline scene;
    QuietSink messages;
    TextureLookup textures;
    if (!OpenDocumentInto(scene, document, messages, textures).ok) {
        return false;
    }
    for (const CModel& model : scene.m_models) {
        names.push_back(Cp932ToUtf8(model.m_name));
    }
    return true;
}

// Animates every model of `document` in two animations (turns about changing
// axes, moves, scales, one hidden model carrying a child) and saves the project as `project`.
bool AnimateWithScript(const std::string& document, const std::string& project, const std::string& scriptPath)
{
    std::vector<std::string> names;
    if (!ModelNames(document, names)) {
        return false;
    }
    const int models = static_cast<int>(names.size());
    std::ofstream script(scriptPath);
    script << "open \"" << document << "\"\n";
    script << "rename-animation \"歩く\"\n";
    for (int i = 0; i < models; ++i) {
        script << "select-model #" << i << "\n"
               << "frame 10\nmode rotate\nvalues " << (i % 3) << " 1 " << (i % 2) << " " << (45 + 30 * i) << "\nadd-key\n"
               << "mode move\nvalues " << i << " 2 -1\nadd-key\n"
               << "frame 20\nmode scale\nvalues 1.5 1 0.5\nadd-key\n"
               << "frame 30\nmode rotate\nvalues 0 0 1 -200\nadd-key\n";
    }
    if (models > 0) { // a scene without models keeps its one animation
        script << "add-animation\nanimation 1\nset-last-frame 15\n";
        script << "select-model #0\nframe 5\nmode rotate\nvalues 1 0 0 180\nadd-key\n"
               << "frame 15\nmode move\nvalues 0 -3 7\nadd-key\n";
    }
    if (models > 1) {
        script << "select-model #1\nhide\n";
    }
    // A chain through the hidden model: 2 under 1 under 0.
    if (models > 2 && names[0] != names[1] && names[1] != names[2] &&
        names[0].find('"') == std::string::npos && names[1].find('"') == std::string::npos &&
        names[2].find('"') == std::string::npos) {
        script << "reparent \"" << names[1] << "\" \"" << names[0] << "\"\n"
               << "reparent \"" << names[2] << "\" \"" << names[1] << "\"\n";
    }
    script << "save \"" << project << "\"\n";
    script.close();
    const CommandRun run = RunCommand(Quote(VANTOMO_CLI_PATH) + " script " + Quote(scriptPath));
    EXPECT_EQ(run.exitCode, 0) << document << "\n" << run.output;
    return run.exitCode == 0;
}

bool Convert(const std::string& project, const std::string& output)
{
    const CommandRun run = RunCommand(Quote(VANTOMO_CLI_PATH) + " convert " + Quote(project) + " -o " + Quote(output));
    EXPECT_EQ(run.exitCode, 0) << output << "\n" << run.output;
    return run.exitCode == 0;
}

TEST(GltfValidator, CorpusExportsHaveNoErrorsAndNoWarnings)
{
    const std::string validator = std::string(VANTOMO_GLTF_VALIDATOR_DIR) + "/node_modules/gltf-validator";
    if (!HasProgram("node") || !std::filesystem::exists(validator)) {
        GTEST_SKIP() << "node or the glTF-Validator is missing (scripts/test installs them into "
                     << VANTOMO_GLTF_VALIDATOR_DIR << ")";
    }
    const std::vector<std::string> documents = CorpusDocuments();
    if (documents.empty()) {
        GTEST_SKIP() << "no corpus documents in " << VANTOMO_CORPUS_DIR;
    }
    const std::string node = "NODE_PATH=" + Quote(std::string(VANTOMO_GLTF_VALIDATOR_DIR) + "/node_modules") +
                             " node " + Quote(std::string(VANTOMO_EXPORT_TEST_DIR) + "/gltf_validate.js") + " ";
    for (const std::string& document : documents) {
        TempFolder folder;
        const std::string project = folder.Path("animated.vtm");
        if (!AnimateWithScript(document, project, folder.Path("animate.txt"))) {
            continue;
        }
        for (const char* name : {"scene.gltf", "scene.glb"}) {
            const std::string output = folder.Path(name);
            if (!Convert(project, output)) {
                continue;
            }
            const CommandRun run = RunCommand(node + Quote(output));
            EXPECT_EQ(run.exitCode, 0) << run.output;
            EXPECT_NE(run.output.find("\"errors\":0,\"warnings\":0,"), std::string::npos)
                << document << " as " << name << ":\n" << run.output;
        }
    }
}

// The expected world matrices of every pose and mesh node, for blender_check.py.
std::string Expectations(const CTessaline& scene)
{
    std::string json = "{\"fps\": " + std::to_string(scene.m_fps) + ", \"animations\": [";
    for (std::size_t a = 0; a < scene.m_animationNames.size(); ++a) {
        const int frames = scene.FrameCountOf(static_cast<int>(a));
        json += (a > 0 ? ", " : "") + std::string("{\"name\": \"") + Cp932ToUtf8(scene.m_animationNames[a]) +
                "\", \"frames\": " + std::to_string(frames) + ", \"nodes\": {";
        for (std::size_t m = 0; m < scene.m_models.size(); ++m) {
            for (const char* kind : {"pose", "mesh"}) {
                json += (m > 0 || kind[0] == 'm' ? ", " : "") + std::string("\"") + kind + std::to_string(m) + "\": [";
                for (int f = 0; f < frames; ++f) {
                    Matrix4 world = FromScene(ComposeWorldMatrices(scene, static_cast<int>(a), f)[m]);
                    if (kind[0] == 'm') {
                        const CVector& p = scene.m_models[m].m_pivot;
                        const double shift[3] = {-p.x, -p.y, -p.z}, none[4] = {0, 0, 0, 1}, one[3] = {1, 1, 1};
                        world = Multiply(world, Trs(shift, none, one));
                    }
                    json += f > 0 ? ", [" : "[";
                    for (std::size_t i = 0; i < 16; ++i) {
                        char number[40];
                        std::snprintf(number, sizeof number, "%.9g", world[i]);
                        json += (i > 0 ? ", " : "") + std::string(number);
                    }
                    json += "]";
                }
                json += "]";
            }
        }
        json += "}}";
    }
    return json + "]}";
}

TEST(GltfBlender, ImportedWorldMatricesEqualThePoseComposition)
{
    if (!HasProgram("blender")) {
        GTEST_SKIP() << "blender is missing (scripts/install-deps installs it)";
    }
    // Two documents with many models in a hierarchy-free and a textured
    // setting; the corpus-wide structure is the validator's part.
    const std::vector<std::string> documents = {
        std::string(VANTOMO_CORPUS_DIR) + "/mqo/garlic-flavor_mqo_loader/dsan/d-chan2.mqo",
        std::string(VANTOMO_CORPUS_DIR) + "/mqo/wertrain_webgl-metasequoia/app/models/isu.mqo"};
    for (const std::string& document : documents) {
        if (!std::filesystem::exists(document)) {
            GTEST_SKIP() << "corpus document missing: " << document;
        }
        TempFolder folder;
        const std::string project = folder.Path("animated.vtm");
        ASSERT_TRUE(AnimateWithScript(document, project, folder.Path("animate.txt")));
        ResetAppValues();
        CTessaline scene;
        QuietSink messages;
        TextureLookup textures;
        ASSERT_TRUE(OpenDocumentInto(scene, project, messages, textures).ok);
        InbetweenAll(scene);
        scene.BuildTraversal();
        {
            std::ofstream expected(folder.Path("expected.json"));
            expected << Expectations(scene);
        }
        for (const char* name : {"scene.glb", "scene.gltf"}) {
            const std::string output = folder.Path(name);
            ASSERT_TRUE(Convert(project, output));
            const CommandRun run = RunCommand("blender -b --factory-startup --python " +
                                       Quote(std::string(VANTOMO_EXPORT_TEST_DIR) + "/blender_check.py") + " -- " +
                                       Quote(output) + " " + Quote(folder.Path("expected.json")));
            const std::size_t result = run.output.find("RESULT ");
            ASSERT_NE(result, std::string::npos) << run.output;
            const std::string line = run.output.substr(result, run.output.find('\n', result) - result);
            EXPECT_NE(line.find("failures=0"), std::string::npos) << document << " as " << name << ":\n" << run.output;
            EXPECT_EQ(line.find("checked=0 "), std::string::npos) << line;
            std::printf("%s %s: %s\n", document.c_str(), name, line.c_str());
        }
    }
}

} // namespace

} // namespace vantomo
