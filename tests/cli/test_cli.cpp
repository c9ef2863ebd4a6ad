#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "cli/CliRunner.h"
#include "cli/Json.h"
#include "cli/SceneJson.h"
#include "cli/TerminalProgress.h"
#include "import/LoaderMQO.h"
#include "scene/AppValues.h"

namespace vantomo {

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
};

// stdout captured, stderr discarded.
RunResult RunCli(const std::string& arguments)
{
    const CliRun run = RunCliCapturing(arguments, "2>/dev/null");
    return {run.exitCode, run.output};
}

} // namespace

TEST(Json, EscapesAndWritesShortestFloats)
{
    JsonWriter json(false);
    json.BeginObject().Key("a\"b").String("x\ny\x01").Key("f").BeginArray().Float(0.1f).Float(1500.0f)
        .Float(-0.0f).EndArray().Key("n").Float(1.0f / 0.0f).EndObject();
    EXPECT_EQ(json.Text(), R"({"a\"b":"x\ny\u0001","f":[0.1,1500,-0],"n":null})");
}

TEST(TerminalProgress, OneLineRedrawnInPlaceAndErasedForMessagesAndAtTheEnd)
{
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    const auto text = [out] {
        std::string all(static_cast<std::size_t>(std::ftell(out)), '\0');
        std::rewind(out);
        all.resize(std::fread(all.data(), 1, all.size(), out));
        return all;
    };
    {
        TerminalProgress later("slow", out, std::chrono::hours(1));
        EXPECT_TRUE(later.Report(1, 2));
    }
    EXPECT_EQ(text(), "") << "short work writes nothing";
    {
        TerminalProgress progress("reading a.mqo", out, std::chrono::milliseconds(0));
        EXPECT_TRUE(progress.Report(1, 4));
        EXPECT_TRUE(progress.Report(2, 4)); // too soon to redraw
        TerminalProgress::ClearLine();
        EXPECT_TRUE(progress.Report(3, 4)); // a cleared line comes back at once
        EXPECT_TRUE(progress.Report(3, 0));
    }
    EXPECT_EQ(text(), "\rreading a.mqo   25%\r\033[K\rreading a.mqo   75%\r\033[K");
    std::fclose(out);
}

TEST(SceneJson, NamesAreConvertedFromCp932)
{
    ResetAppValues();
    CTessaline scene;
    scene.m_characterNames[0] = "\x8E\x4F\x8A\x70\x8C\x60";
    const std::string text = SceneToJson(scene, {{"a.mqo", 0}, {"b.vtm", std::nullopt}});
    EXPECT_NE(text.find("\"三角形\""), std::string::npos);
    EXPECT_NE(text.find("\"result\": 0"), std::string::npos);
    EXPECT_NE(text.find("\"result\": null"), std::string::npos);
}

TEST(CliInfo, NewSceneStateAsJson)
{
    const RunResult r = RunCli("info --json");
    ASSERT_EQ(r.exitCode, 0);
    for (const char* expected :
         {"\"version\": 1.7", "\"fps\": 30", "\"lastFrame\": 60", "\"currentFrame\": 0",
          "\"currentAnimation\": 0", "\"Character_0\"", "\"Animation_0\"", "\"materials\": []",
          "\"models\": []", "\"imports\": []"}) {
        EXPECT_NE(r.out.find(expected), std::string::npos) << expected << "\n" << r.out;
    }
    const std::string camera = "\"camera\": {\n    \"position\": [\n      0,\n      0,\n      -1500\n    ],\n"
                               "    \"axis\": [\n      20,\n      10,\n      0\n    ]";
    EXPECT_NE(r.out.find(camera), std::string::npos) << r.out;
}

TEST(CliInfo, ExitCodesTellUsageFromFailure)
{
    EXPECT_EQ(RunCli("--version").exitCode, 0);
    EXPECT_EQ(RunCli("--help").exitCode, 0);
    EXPECT_EQ(RunCli("").exitCode, 2);
    EXPECT_EQ(RunCli("frobnicate").exitCode, 2);
    EXPECT_EQ(RunCli("info --bogus").exitCode, 2);
    EXPECT_EQ(RunCli("info /nonexistent/file.xyz --json").exitCode, 1);
}

TEST(CliInfo, ImportsMetasequoiaDocumentsIntoOneScene)
{
    const std::string folder = std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/";
    const RunResult json = RunCli("info '" + folder + "textured.mqo' '" + folder + "textured.mqoz' --json");
    ASSERT_EQ(json.exitCode, 0) << json.out;
    for (const char* expected : {"\"name\": \"board\"", "\"name\": \"board_2\"", "\"result\": 0", "\"id\": 7",
                                 "\"faceCount\": 1", "\"parentName\": \"Character_0\""}) {
        EXPECT_NE(json.out.find(expected), std::string::npos) << expected << "\n" << json.out;
    }
    const RunResult summary = RunCli("info '" + folder + "textured.mqo'");
    ASSERT_EQ(summary.exitCode, 0);
    EXPECT_NE(summary.out.find("models: 1 (vertices: 4, faces: 1)"), std::string::npos) << summary.out;
    EXPECT_NE(summary.out.find("textures: "), std::string::npos) << summary.out;
    EXPECT_EQ(RunCli("info '" + folder + "missing.mqo'").exitCode, 1);
}

namespace {

std::string Golden(const std::string& name) { return std::string(VANTOMO_TEST_DATA_DIR) + "/vtm/" + name; }

std::string ReadAll(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    std::string bytes;
    if (f == nullptr) {
        return bytes;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) {
        bytes.append(buffer.data(), n);
    }
    std::fclose(f);
    return bytes;
}

class CliFiles : public ::testing::Test {
protected:
    TempFolder temp;
    const std::string& folder = temp.Folder();
};

} // namespace

TEST_F(CliFiles, ConvertSavesTheProjectAndInfoReadsIt)
{
    const std::string out = folder + "/out.vtm";
    ASSERT_EQ(RunCli("convert '" + Golden("two_characters.vtm") + "' -o '" + out + "'").exitCode, 0);
    EXPECT_EQ(ReadAll(out), ReadAll(Golden("two_characters.vtm")));
    const RunResult info = RunCli("info '" + out + "' --json");
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("\"fps\": 24"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"勇者\""), std::string::npos);

    EXPECT_EQ(RunCli("convert '" + Golden("truncated.vtm") + "' -o '" + folder + "/bad.vtm'").exitCode, 1);
    EXPECT_EQ(ReadAll(folder + "/bad.vtm"), "");
    EXPECT_EQ(RunCli("convert '" + Golden("new_scene.vtm") + "'").exitCode, 2);
    EXPECT_EQ(RunCli("convert -o '" + out + "'").exitCode, 2);
}

TEST_F(CliFiles, ConvertWritesEveryKindWithItsOptions)
{
    const std::string robot = "'" + std::string(VANTOMO_TEST_DATA_DIR) + "/../../samples/robot.mqo'";
    ASSERT_EQ(RunCli("convert " + robot + " -o '" + folder + "/r.xaml' --scale 2 --uv --normals --mesh-layout 1")
                  .exitCode,
              0);
    const std::string xaml = ReadAll(folder + "/r.xaml");
    EXPECT_EQ(xaml.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Viewbox x:Name=\"Viewbox_r\"", 0), 0u);
    EXPECT_NE(xaml.find("\t\t\t\t\tNormals=\""), std::string::npos);
    EXPECT_NE(xaml.find("<Viewbox.Triggers>"), std::string::npos);
    ASSERT_EQ(RunCli("convert " + robot + " -o '" + folder + "/still.xaml' --no-animation").exitCode, 0);
    EXPECT_EQ(ReadAll(folder + "/still.xaml").find("<Viewbox.Triggers>"), std::string::npos);

    ASSERT_EQ(RunCli("convert " + robot + " -o '" + folder + "/r.mqo' --uv --scale 0.5").exitCode, 0);
    const std::string mqo = ReadAll(folder + "/r.mqo");
    EXPECT_EQ(mqo.rfind("Metasequoia Document\r\nFormat Text Ver 1.0\r\n", 0), 0u);
    EXPECT_NE(mqo.find("Object \"body\" {"), std::string::npos);
    ASSERT_EQ(RunCli("convert '" + folder + "/r.mqo' -o '" + folder + "/r.vtm'").exitCode, 0);
    EXPECT_NE(ReadAll(folder + "/r.vtm"), "");
    ASSERT_EQ(RunCli("convert " + robot + " -o '" + folder + "/r.glb' --scale 2").exitCode, 0);
    EXPECT_EQ(ReadAll(folder + "/r.glb").rfind("glTF", 0), 0u);

    // Usage errors write nothing: an unknown output type, an option the kind
    // cannot use, a bad value.
    EXPECT_EQ(RunCli("convert " + robot + " -o '" + folder + "/x.xyz'").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + robot + " -o '" + folder + "/x.mqo' --normals").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + robot + " -o '" + folder + "/x.mqo' --no-animation").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + robot + " -o '" + folder + "/x.vtm' --scale 2").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + robot + " -o '" + folder + "/x.glb' --uv").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + robot + " -o '" + folder + "/x.xaml' --mesh-layout 3").exitCode, 2);
    EXPECT_EQ(RunCli("convert " + robot + " -o '" + folder + "/x.xaml' --scale").exitCode, 2);
    EXPECT_EQ(temp.Entries(), (std::vector<std::string>{"r.glb", "r.mqo", "r.vtm", "r.xaml", "still.xaml"}));
}

TEST_F(CliFiles, ScriptSavesOnlyWhenEveryLineRan)
{
    const std::string script = folder + "/edit.txt";

    std::FILE* f = std::fopen(script.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(("open " + Golden("long_track.vtm") + "\nselect-model cube\nframe 10\nadd-key\nprint\n").c_str(), f);
    std::fclose(f);
    const RunResult ok = RunCli("script '" + script + "' -o '" + folder + "/out.vtm'");
    ASSERT_EQ(ok.exitCode, 0);
    EXPECT_NE(ok.out.find("\"keyFrames\": [\n        [\n          0,\n          10,\n          120"), std::string::npos)
        << ok.out;
    EXPECT_NE(ReadAll(folder + "/out.vtm"), "");

    f = std::fopen(script.c_str(), "wb");
    std::fputs("new\nadd-character\nno-such-command\n", f);
    std::fclose(f);
    EXPECT_EQ(RunCli("script '" + script + "' -o '" + folder + "/never.vtm'").exitCode, 1);
    EXPECT_EQ(ReadAll(folder + "/never.vtm"), "");
    EXPECT_EQ(RunCli("script").exitCode, 2);

}

TEST(CliInfo, ADocumentReadOnlyInPartIsPrintedAndFails)
{
    TempFolder temp;
    const std::string path = temp.Path("cut.mqo");
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string text = "Metasequoia Document\nFormat Text Ver 1.0\n"
                                 "Object \"half\" {\n\tvertex 3 {\n\t\t0 0 0\n\t\t1 0 0\n\t\t0 1 0\n\t}\n";
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    const CliRun run = RunCliCapturing("info '" + path + "'", "2>&1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("models:"), std::string::npos);  // what was read is printed
    EXPECT_NE(run.output.find("cut.mqo: read only in part: result -2 (the document ends inside a chunk)"),
              std::string::npos);
    EXPECT_EQ(RunCli("convert '" + path + "' -o '" + temp.Path("out.vtm") + "'").exitCode, 1);
    // The object not read to its end is named.
    EXPECT_NE(run.output.find(std::string(kUnreadObjectsMessage) + "\nhalf\n"), std::string::npos) << run.output;

    // Read whole, but no object gave a model: named too, and a failure.
    const std::string faceless = temp.Path("faceless.mqo");
    {
        std::FILE* file = std::fopen(faceless.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string text = "Metasequoia Document\nFormat Text Ver 1.0\n"
                                 "Object \"stick\" {\n\tvertex 2 {\n\t\t0 0 0\n\t\t1 0 0\n\t}\n"
                                 "\tface 1 {\n\t\t2 V(0 1)\n\t}\n}\n";
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    const CliRun empty = RunCliCapturing("info '" + faceless + "'", "2>&1 >/dev/null");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.output.find(std::string(kObjectsWithoutModelMessage) + "\nstick\n"), std::string::npos)
        << empty.output;
    EXPECT_NE(empty.output.find("faceless.mqo: read, but no model was made from its objects"), std::string::npos)
        << empty.output;
    EXPECT_EQ(RunCli("convert '" + faceless + "' -o '" + temp.Path("empty.vtm") + "'").exitCode, 1);
}

} // namespace vantomo
