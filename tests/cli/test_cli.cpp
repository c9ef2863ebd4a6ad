#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "cli/Json.h"
#include "cli/SceneJson.h"
#include "scene/AppValues.h"

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
};

// Runs vantomo-cli with the arguments (already shell-quoted), stdout captured,
// stderr discarded.
RunResult RunCli(const std::string& arguments)
{
    RunResult result;
    const std::string command = std::string("'") + VANTOMO_CLI_PATH + "' " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace

TEST(Json, EscapesAndWritesShortestFloats)
{
    JsonWriter json(false);
    json.BeginObject().Key("a\"b").String("x\ny\x01").Key("f").BeginArray().Float(0.1f).Float(1500.0f)
        .Float(-0.0f).EndArray().Key("n").Float(1.0f / 0.0f).EndObject();
    EXPECT_EQ(json.Text(), R"({"a\"b":"x\ny\u0001","f":[0.1,1500,-0],"n":null})");
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
