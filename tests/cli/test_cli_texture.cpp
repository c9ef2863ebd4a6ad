#include <array>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "cli/CliRunner.h"

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "imaging/ImageFiles.h"

namespace vantomo {

namespace {

struct RunResult {
    int exitCode = -1;
    std::string err;
};

// stderr captured, stdout discarded.
RunResult RunCli(const std::string& arguments)
{
    const CliRun run = RunCliCapturing(arguments, "2>&1 >/dev/null");
    return {run.exitCode, run.output};
}

} // namespace

TEST(CliTexture, WritesTheDecodedTextureAsPng)
{
    TempFolder dir;
    TgaSpec t;
    t.type = 10;
    t.width = 3;
    t.height = 1;
    t.depth = 32;
    t.descriptor = 8;
    t.data = {0x82, 10, 20, 30, 200};
    WriteFileBytes(dir.Path("in.tga"), MakeTga(t));
    const RunResult r = RunCli("texture '" + (dir.Path("in.tga")) + "' -o '" + (dir.Path("out.png")) + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    DibStream out;
    ASSERT_TRUE(LoadPNG(dir.Path("out.png"), out));
    EXPECT_EQ(out.BitCount(), 32);
    EXPECT_EQ(out.Width(), 3);
    EXPECT_EQ(out.GetPixel(2, 0), 0xC81E140Au);

    BmpSpec b;
    b.width = 1;
    b.height = 1;
    b.bits = 1;
    b.palette = {0, 0, 0, 0, 0, 255, 0, 0};
    b.pixels = {0x80, 0, 0, 0};
    WriteFileBytes(dir.Path("in.bmp"), MakeBmp(b));
    ASSERT_EQ(RunCli("texture '" + (dir.Path("in.bmp")) + "' -o '" + (dir.Path("out.png")) + "'").exitCode, 0);
    ASSERT_TRUE(LoadPNG(dir.Path("out.png"), out));
    EXPECT_EQ(out.BitCount(), 24);
    EXPECT_EQ(out.GetPixel(0, 0), 0xFF00FF00u);
}

TEST(CliTexture, FailuresAndUsage)
{
    TempFolder dir;
    const RunResult missing = RunCli("texture '" + (dir.Path("none.bmp")) + "' -o '" + (dir.Path("o.png")) + "'");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("ファイルが見つからないか、この画像ファイルには対応していません！"), std::string::npos)
        << missing.err;
    WriteFileBytes(dir.Path("bad.png"), Bytes{'x'});
    EXPECT_EQ(RunCli("texture '" + (dir.Path("bad.png")) + "' -o '" + (dir.Path("o.png")) + "'").exitCode, 1);
    EXPECT_EQ(RunCli("texture").exitCode, 2);
    EXPECT_EQ(RunCli("texture a.bmp").exitCode, 2);
    EXPECT_EQ(RunCli("texture a.bmp -o").exitCode, 2);
    EXPECT_EQ(RunCli("texture a.bmp b.bmp -o c.png").exitCode, 2);
    EXPECT_EQ(RunCli("texture --frobnicate a.bmp -o c.png").exitCode, 2);
}

} // namespace vantomo
