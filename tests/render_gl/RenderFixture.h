// A headless GL context shared by the renderer tests, the picture of one
// frame, and the projection worked out independently of the renderer.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "render/gl/GlRenderer.h"
#include "render/gl/HeadlessContext.h"
#include "render/ViewState.h"
#include "scene/AppValues.h"
#include "scene/TimePoint.h"
#include "render/gl/OffscreenTarget.h"
#include "scene/AppValues.h"

namespace vantomo {

// A frame read back from the renderer.
using Picture = std::unique_ptr<DibStream>;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

inline bool Near(Rgb a, Rgb b, int tolerance = 3)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& out, Rgb c) { return out << '(' << c.r << ", " << c.g << ", " << c.b << ')'; }

inline Rgb PixelAt(const DibStream& image, int x, int y)
{
    const std::uint32_t p = image.GetPixel(x, y);
    return {static_cast<int>((p >> 16) & 0xFFu), static_cast<int>((p >> 8) & 0xFFu), static_cast<int>(p & 0xFFu)};
}

// A point on screen in pixels, x to the right and y down from the top-left
// pixel's centre, as the original rasteriser placed pixels.
struct ScreenPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// Camera x projection of the scene worked out here from the math primitives.
inline D3DXMATRIX ExpectedViewProjection(const CTessaline& scene, int width, int height)
{
    const CAnimation& c = scene.GetCameraRecord();
    const D3DXMATRIX view = D3DXMatrixMultiply(
        D3DXMatrixMultiply(D3DXMatrixScaling(c.m_scale.x, c.m_scale.y, c.m_scale.z),
                           EulerRotation(c.m_axis.x, c.m_axis.y, c.m_axis.z)),
        D3DXMatrixTranslation(c.m_position.x, c.m_position.y, c.m_position.z));
    const D3DXMATRIX projection = D3DXMatrixPerspectiveFovRH(
        DegreesToRadians(scene.m_fieldOfView), static_cast<float>(width) / static_cast<float>(height), 100.0f, 10000.0f);
    return D3DXMatrixMultiply(view, projection);
}

inline ScreenPoint Project(const CTessaline& scene, D3DXVECTOR3 world, int width, int height)
{
    const D3DXVECTOR3 ndc = D3DXVec3TransformCoord(world, ExpectedViewProjection(scene, width, height));
    return {(ndc.x + 1.0f) * 0.5f * static_cast<float>(width), (1.0f - ndc.y) * 0.5f * static_cast<float>(height)};
}

inline Rgb PixelAt(const DibStream& image, ScreenPoint p)
{
    return PixelAt(image, static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
}
inline Rgb PixelAt(const Picture& image, int x, int y) { return PixelAt(*image, x, y); }
inline Rgb PixelAt(const Picture& image, ScreenPoint p) { return PixelAt(*image, p); }

class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        s_context = HeadlessContext::Create(error);
        s_error = error;
    }
    static void TearDownTestSuite() { s_context.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(s_context) << s_error;
        ASSERT_TRUE(s_context->MakeCurrent());
        const RenderResult ready = renderer.Initialize();
        ASSERT_TRUE(ready.ok) << ready.message;
        ResetAppValues();
    }
    void TearDown() override
    {
        if (s_context && s_context->MakeCurrent()) {
            target.Release();
            renderer.Release();
        }
    }

    // One frame of the scene at width x height, as the view draws it after a
    // size event, with the onion skin's `ghosts`; the scene's buffers and
    // textures are uploaded first.
    Picture Draw(CTessaline& scene, int width = 160, int height = 120, std::span<const OnionGhost> ghosts = {})
    {
        EXPECT_TRUE(GlRenderer::ResizeView(view, width, height));
        auto image = std::make_unique<DibStream>();
        if (target.Width() != width || target.Height() != height) {
            EXPECT_TRUE(target.Create(width, height));
        }
        target.Bind();
        const RenderResult drawn = renderer.Render(scene, view, Now(), width, height, ghosts);
        EXPECT_TRUE(drawn.ok) << drawn.message;
        EXPECT_TRUE(target.Read(*image));
        // VANTOMO_RENDER_DUMP=FOLDER keeps every picture for a look.
        if (const char* folder = std::getenv("VANTOMO_RENDER_DUMP")) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            SavePNG(std::string(folder) + "/" + info->name() + "_" + std::to_string(m_pictures++) + ".png", *image);
        }
        return image;
    }

    static inline std::unique_ptr<HeadlessContext> s_context;
    static inline std::string s_error;
    // The moment the frame values show.
    static TimePoint Now() { return {g_currentAnimation, g_currentFrame}; }

    GlRenderer renderer;
    OffscreenTarget target;
    ViewState view;
    int m_pictures = 0;
};

} // namespace vantomo
