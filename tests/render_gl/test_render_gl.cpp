// Pictures of the 3D view drawn through EGL without a display, checked
// against where the projection puts things and how the fixed-function light
// colours them.
#include <cstdlib>
#include <string>

#include "RenderFixture.h"
#include "SceneParts.h"
#include "animation/Pose.h"
#include "imaging/Codecs.h"
#include "document/Document.h"
#include "render/RenderGeometry.h"
#include "scene/MessageSink.h"

namespace vantomo {

namespace {

// The tests never look for a display. Mesa's software rasteriser draws on
// the calling thread: the same pictures, and no worker threads running when
// the leak checker of the sanitizer build stops the process at exit.
[[maybe_unused]] const int kSurfaceless = setenv("EGL_PLATFORM", "surfaceless", 1) + setenv("LP_NUM_THREADS", "0", 1);

const Rgb kBackground{30, 65, 90};
const Rgb kMagenta{255, 0, 255};

// Counts the pixels of exactly this colour (within 2) and their bounding box.
struct Blob {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    float cx = 0, cy = 0;
};

Blob FindColour(const Picture& picture, Rgb colour)
{
    const DibStream& image = *picture;
    Blob b;
    for (int y = 0; y < image.AbsHeight(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (Near(PixelAt(image, x, y), colour, 2)) {
                ++b.count;
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
                b.cx += static_cast<float>(x);
                b.cy += static_cast<float>(y);
            }
        }
    }
    if (b.count > 0) {
        b.cx /= static_cast<float>(b.count);
        b.cy /= static_cast<float>(b.count);
    }
    return b;
}

// A scene whose one magenta box stands at rest between two corners.
CTessaline BoxScene(D3DXVECTOR3 lo, D3DXVECTOR3 hi)
{
    CTessaline scene;
    scene.m_materials.push_back(FlatColour(1, 1, 0, 1));
    scene.m_models.push_back(Box(6, -1, lo, hi, 1));
    Finish(scene);
    return scene;
}

class MessageCollector final : public MessageSink {
public:
    void ShowMessage(std::string_view) override {}
};

} // namespace

TEST_F(RenderTest, ClearsToTheBackgroundColourAndDrawsTheGroundGrid)
{
    CTessaline scene;
    Picture image = Draw(scene);
    EXPECT_TRUE(Near(PixelAt(image, 0, 0), kBackground, 0)) << PixelAt(image, 0, 0);
    EXPECT_TRUE(Near(PixelAt(image, 159, 0), kBackground, 0));
    // The axes leave the origin: +X red, +Y green, +Z blue, at their projected ends.
    // (Between the grid lines, which run every 50 units.)
    const ScreenPoint x = Project(scene, {325, 0, 0}, 160, 120);
    const ScreenPoint y = Project(scene, {0, 150, 0}, 160, 120);
    const ScreenPoint z = Project(scene, {0, 0, 325}, 160, 120);
    EXPECT_TRUE(Near(PixelAt(image, x), {255, 0, 0}, 40)) << PixelAt(image, x);
    EXPECT_TRUE(Near(PixelAt(image, y), {0, 255, 0}, 40)) << PixelAt(image, y);
    EXPECT_TRUE(Near(PixelAt(image, z), {0, 0, 255}, 40)) << PixelAt(image, z);

    scene.m_backgroundColor = 0x00204080u; // red in the low byte
    image = Draw(scene);
    EXPECT_TRUE(Near(PixelAt(image, 0, 0), {0x80, 0x40, 0x20}, 0)) << PixelAt(image, 0, 0);
}

TEST_F(RenderTest, BoxAtRestCoversExactlyItsProjection)
{
    CTessaline scene = BoxScene({-60, 100, -60}, {60, 220, 60});
    const int w = 320;
    const int h = 240;
    const Picture image = Draw(scene, w, h);
    const Blob blob = FindColour(image, kMagenta);
    ASSERT_GT(blob.count, 0);
    // The projected corners bound the box on screen to within a pixel.
    float left = 1e9f, right = -1e9f, top = 1e9f, bottom = -1e9f;
    for (int i = 0; i < 8; ++i) {
        const ScreenPoint p = Project(scene, {(i & 1) ? 60.0f : -60.0f, (i & 2) ? 220.0f : 100.0f, (i & 4) ? 60.0f : -60.0f}, w, h);
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    EXPECT_NEAR(blob.left, left, 1.0f);
    EXPECT_NEAR(blob.right, right, 1.0f);
    EXPECT_NEAR(blob.top, top, 1.0f);
    EXPECT_NEAR(blob.bottom, bottom, 1.0f);
    EXPECT_TRUE(Near(PixelAt(image, Project(scene, {0, 160, 0}, w, h)), kMagenta));
    // The model's world matrix is kept for picking: at rest, the unit matrix.
    EXPECT_EQ(scene.m_models[0].m_world, D3DXMatrixIdentity());

    // A wider view keeps the vertical field of view: the box keeps its height.
    const Picture wide = Draw(scene, 480, 240);
    const Blob wideBlob = FindColour(wide, kMagenta);
    EXPECT_NEAR(wideBlob.bottom - wideBlob.top, blob.bottom - blob.top, 1);
    EXPECT_NEAR(wideBlob.cx - 240.0f, blob.cx - 160.0f, 1.0f);
}

TEST_F(RenderTest, ClipsWhatIsNearerThan100OrFartherThan10000FromTheEye)
{
    for (const float distance : {75.0f, 150.0f, 9000.0f, 10500.0f}) {
        CTessaline scene;
        scene.GetCameraRecord().m_axis = {0, 0, 0}; // the eye at z = 1500, looking down -z
        scene.m_materials.push_back(FlatColour(1, 1, 0, 1));
        CModel quad = MakeAnimatedModel(6, -1, 61);
        const float z = 1500.0f - distance;
        const float s = 0.05f * distance;
        for (const D3DXVECTOR3 p : {D3DXVECTOR3{-s, s, z}, {s, s, z}, {s, -s, z}, {-s, -s, z}}) {
            CVertex v;
            v.m_position = {p.x, p.y, p.z};
            quad.m_vertices.push_back(v);
        }
        AddFace(quad, {0, 1, 2, 3}, 1); // clockwise on screen
        scene.m_models.push_back(quad);
        Finish(scene);
        renderer.RebuildVertexBuffers(scene); // a new scene, as after "new"
        const bool inside = distance > 100.0f && distance < 10000.0f;
        EXPECT_EQ(FindColour(Draw(scene), kMagenta).count > 0, inside) << "distance " << distance;
    }
}

TEST_F(RenderTest, HiddenModelIsNotDrawnButCarriesItsChild)
{
    CTessaline scene;
    scene.m_materials.push_back(FlatColour(1, 1, 0, 1));
    scene.m_materials.push_back(FlatColour(2, 1, 1, 0));
    scene.m_models.push_back(Box(6, -1, {-50, 0, -50}, {50, 100, 50}, 2)); // yellow parent
    scene.m_models.push_back(Box(7, 0, {-20, 150, -20}, {20, 190, 20}, 1)); // magenta child
    Finish(scene);
    scene.m_models[0].m_visible = 0;
    CAnimation& moved = scene.m_models[0].m_tracks[0][0];
    moved.m_position = {250, 0, 0};

    const Picture image = Draw(scene, 320, 240);
    EXPECT_EQ(FindColour(image, {255, 255, 0}).count, 0); // the hidden parent
    EXPECT_TRUE(Near(PixelAt(image, Project(scene, {250, 170, 0}, 320, 240)), kMagenta));
    EXPECT_FALSE(Near(PixelAt(image, Project(scene, {0, 170, 0}, 320, 240)), kMagenta));
    EXPECT_EQ(scene.m_models[1].m_world, D3DXMatrixTranslation(250, 0, 0));

    // Models of another character are neither drawn nor move anything.
    scene.m_selectedCharacter = 1;
    scene.m_characterNames.push_back("Character_1");
    const Picture other = Draw(scene, 320, 240);
    EXPECT_EQ(FindColour(other, kMagenta).count, 0);
}

TEST_F(RenderTest, ManipulatorKeepsItsScreenSizeWhenTheCameraZooms)
{
    CTessaline scene = BoxScene({-30, 0, -30}, {30, 40, 30});
    scene.m_materials[0] = FlatColour(1, 0.5f, 0.5f, 0.5f); // 0.5 x 1.1: 140
    scene.m_selectedModel = 0;
    scene.m_models[0].m_boxVertices = SelectionBoxVertices(scene.m_models[0].m_bounds[0], scene.m_models[0].m_bounds[1]);
    scene.m_models[0].m_tracks[0][0].m_position = {100, 50, 0};
    const Rgb yellow{255, 255, 0};
    const int w = 320;
    const int h = 240;

    const Picture near = Draw(scene, w, h);
    const Blob centre = FindColour(near, yellow);
    const Blob grey = FindColour(near, {140, 140, 140});
    ASSERT_GT(centre.count, 4);
    // The centre block stands at the model's pivot moved by its position.
    const ScreenPoint at = Project(scene, {100, 50, 0}, w, h);
    EXPECT_NEAR(centre.cx, at.x, 1.5f);
    EXPECT_NEAR(centre.cy, at.y, 1.5f);
    EXPECT_EQ(view.m_manipulatorModelId, 6);
    EXPECT_EQ(view.m_manipulatorMode, 0);
    D3DXMATRIX expected;
    ASSERT_TRUE(ComposeManipulatorWorld(scene, 0, 0, expected));
    EXPECT_EQ(view.m_manipulatorWorld, expected);
    // The selection box: white lines around the model.
    EXPECT_GT(FindColour(near, {255, 255, 255}).count, 40);

    scene.GetCameraRecord().m_scale = {2, 2, 2};
    const Picture zoomed = Draw(scene, w, h);
    const Blob zoomedCentre = FindColour(zoomed, yellow);
    const Blob zoomedGrey = FindColour(zoomed, {140, 140, 140});
    // The model doubles on screen, the manipulator does not.
    EXPECT_GT(zoomedGrey.count, 3 * grey.count);
    EXPECT_NEAR(zoomedCentre.count, centre.count, centre.count / 5 + 2);
    EXPECT_NEAR(zoomedCentre.right - zoomedCentre.left, centre.right - centre.left, 1);

    // Each mode draws its own manipulator; another mode draws none.
    scene.m_transformMode = 2;
    EXPECT_GT(FindColour(Draw(scene, w, h), yellow).count, 4);
    EXPECT_EQ(view.m_manipulatorMode, 2);
    scene.m_transformMode = 5;
    EXPECT_EQ(FindColour(Draw(scene, w, h), yellow).count, 0);
    EXPECT_EQ(view.m_manipulatorMode, 2);
}

// A one-sided quad is drawn exactly when its corners run clockwise on screen.
TEST_F(RenderTest, OneSidedQuadIsSeenFromItsFrontAndCulledFromItsBack)
{
    CTessaline scene;
    scene.m_materials.push_back(FlatColour(1, 1, 0, 1));
    CModel quad = MakeAnimatedModel(6, -1, 61);
    for (const D3DXVECTOR3 p : {D3DXVECTOR3{-80, 20, 0}, {80, 20, 0}, {80, 180, 0}, {-80, 180, 0}}) {
        CVertex v;
        v.m_position = {p.x, p.y, p.z};
        quad.m_vertices.push_back(v);
    }
    AddFace(quad, {0, 3, 2, 1}, 1);
    scene.m_models.push_back(quad);
    Finish(scene);

    for (const float angle : {0.0f, 180.0f, 60.0f, 120.0f}) {
        CAnimation& record = scene.m_models[0].m_tracks[0][0];
        record.m_axis = {0, 1, 0};
        record.m_angle = angle;
        // Screen winding of the first triangle, y down: positive is clockwise.
        const D3DXMATRIX world = BuildFrameMatrix(record, 1.0f);
        ScreenPoint s[3];
        const int corners[3] = {0, 3, 2};
        for (int i = 0; i < 3; ++i) {
            const CVector& p = scene.m_models[0].m_vertices[static_cast<std::size_t>(corners[i])].m_position;
            s[i] = Project(scene, D3DXVec3TransformCoord({p.x, p.y, p.z}, world), 320, 240);
        }
        const float area = (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[2].x - s[0].x) * (s[1].y - s[0].y);
        const bool front = area > 0;
        const Blob blob = FindColour(Draw(scene, 320, 240), kMagenta);
        EXPECT_EQ(blob.count > 0, front) << "angle " << angle << " area " << area;
    }
}

// Lighting per vertex: flat shading paints each triangle with the colour of
// the corner that leads it, Gouraud shading blends the corners' colours.
TEST_F(RenderTest, FlatAndSmoothShadingColourAsTheFixedPipelineLights)
{
    CTessaline scene;
    CMaterial grey;
    grey.m_id = 1;
    grey.m_color[0] = grey.m_color[1] = grey.m_color[2] = 1.0f;
    grey.m_diffuse = 0.6f;
    grey.m_ambient = 0.0f;
    grey.UpdateD3DMaterial();
    scene.m_materials.push_back(grey);
    // A tent: two slopes meeting at a ridge, so the ridge corners average
    // both slopes' normals.
    CModel tent = MakeAnimatedModel(6, -1, 61);
    for (const D3DXVECTOR3 p : {D3DXVECTOR3{-150, 0, 150}, {150, 0, 150}, {150, 200, 0}, {-150, 200, 0},
                                {-150, 0, -150}, {150, 0, -150}}) {
        CVertex v;
        v.m_position = {p.x, p.y, p.z};
        tent.m_vertices.push_back(v);
    }
    AddFace(tent, {0, 3, 2, 1}, 1); // front slope, clockwise from the camera
    AddFace(tent, {4, 5, 2, 3}, 1);
    scene.m_models.push_back(tent);
    Finish(scene);
    const int w = 320;
    const int h = 240;

    // The lit colour of a corner, worked out on the CPU.
    const auto lit = [&](int corner) {
        D3DXVECTOR3 light;
        EXPECT_TRUE(GlRenderer::LightDirection(scene, light));
        const D3DXMATRIX view = ViewMatrix(scene);
        const D3DXVECTOR3 l = D3DXVec3Normalize(D3DXVec3TransformNormal(light, view));
        D3DXMATRIX inverse;
        EXPECT_TRUE(D3DXMatrixInverse(inverse, view));
        const CVector& n0 = scene.m_models[0].m_vertices[static_cast<std::size_t>(corner)].m_normal;
        // Normals by the inverse transpose: n x (V^-1)^T, i.e. (V^-1) x n.
        D3DXVECTOR3 n{inverse.m[0][0] * n0.x + inverse.m[0][1] * n0.y + inverse.m[0][2] * n0.z,
                      inverse.m[1][0] * n0.x + inverse.m[1][1] * n0.y + inverse.m[1][2] * n0.z,
                      inverse.m[2][0] * n0.x + inverse.m[2][1] * n0.y + inverse.m[2][2] * n0.z};
        n = D3DXVec3Normalize(n);
        const float d = std::max(0.0f, -(n.x * l.x + n.y * l.y + n.z * l.z));
        const int c = static_cast<int>(std::lround(std::min(1.0f, 0.6f * d) * 255.0f));
        return Rgb{c, c, c};
    };
    const auto inside = [&](std::initializer_list<int> corners, float a, float b, float c) {
        D3DXVECTOR3 p{};
        const float weights[3] = {a, b, c};
        int i = 0;
        for (int corner : corners) {
            const CVector& v = scene.m_models[0].m_vertices[static_cast<std::size_t>(corner)].m_position;
            p = {p.x + weights[i] * v.x, p.y + weights[i] * v.y, p.z + weights[i] * v.z};
            ++i;
        }
        return Project(scene, p, w, h);
    };

    scene.m_smoothShading = 0;
    const Picture flat = Draw(scene, w, h);
    // The quad (0, 3, 2, 1) is the fan (0, 3, 2), (0, 2, 1); flat shading
    // gives a fan's triangle i the colour of corner i + 1: the ridge's
    // corners 3 and 2 here, not the eave's corner 0.
    const Rgb corner0 = lit(0);
    const Rgb ridge = lit(3);
    EXPECT_GT(ridge.r, 20);
    EXPECT_GT(std::abs(ridge.r - corner0.r), 10);
    for (const ScreenPoint p : {inside({0, 3, 2}, 0.6f, 0.2f, 0.2f), inside({0, 3, 2}, 0.2f, 0.6f, 0.2f),
                                inside({0, 3, 2}, 0.2f, 0.2f, 0.6f)}) {
        EXPECT_TRUE(Near(PixelAt(flat, p), ridge)) << PixelAt(flat, p) << " expected " << ridge;
    }
    const Rgb second = lit(2);
    for (const ScreenPoint p : {inside({0, 2, 1}, 0.6f, 0.2f, 0.2f), inside({0, 2, 1}, 0.2f, 0.2f, 0.6f)}) {
        EXPECT_TRUE(Near(PixelAt(flat, p), second)) << PixelAt(flat, p) << " expected " << second;
    }

    scene.m_smoothShading = 1;
    const Picture smooth = Draw(scene, w, h);
    const Rgb nearEave = PixelAt(smooth, inside({0, 3, 2}, 0.8f, 0.1f, 0.1f));
    const Rgb nearRidge = PixelAt(smooth, inside({0, 3, 2}, 0.1f, 0.45f, 0.45f));
    // Blends run from the eave's colour towards the ridge's.
    EXPECT_LT(std::abs(nearEave.r - corner0.r), std::abs(nearRidge.r - corner0.r));
    EXPECT_LT(std::abs(nearRidge.r - ridge.r), std::abs(nearEave.r - ridge.r));
    const int mid = (corner0.r + 2 * ridge.r) / 3;
    EXPECT_NEAR(PixelAt(smooth, inside({0, 3, 2}, 1.0f / 3, 1.0f / 3, 1.0f / 3)).r, mid, 6);
}

TEST_F(RenderTest, TexturedQuadShowsItsTextureModulatedByTheMaterial)
{
    CTessaline scene;
    scene.GetCameraRecord().m_axis = {0, 0, 0}; // looking straight down -z
    auto image = std::make_shared<DibStream>();
    ASSERT_TRUE(image->CreateDIB(2, 2, 24));
    const std::uint8_t texels[2][2][3] = {{{0, 0, 255}, {0, 255, 0}}, {{255, 0, 0}, {255, 255, 255}}}; // BGR rows, top first
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            std::copy_n(texels[y][x], 3, image->RowAddress(y) + 3 * x);
        }
    }
    CMaterial material;
    material.m_id = 1;
    material.m_color[0] = material.m_color[1] = material.m_color[2] = 1.0f;
    material.m_diffuse = 0.0f;
    material.m_ambient = 0.0f;
    material.m_emissive = 1.0f;
    material.m_texture = "checker.bmp";
    material.m_image = image;
    material.UpdateD3DMaterial();
    scene.m_materials.push_back(material);

    CModel quad = MakeAnimatedModel(6, -1, 61);
    // In front of the axes, which would cross its middle.
    for (const D3DXVECTOR3 p : {D3DXVECTOR3{-100, 100, 10}, {100, 100, 10}, {100, -100, 10}, {-100, -100, 10}}) {
        CVertex v;
        v.m_position = {p.x, p.y, p.z};
        quad.m_vertices.push_back(v);
    }
    AddFace(quad, {0, 1, 2, 3}, 1);
    quad.m_faces[0].m_uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    scene.m_models.push_back(quad);
    Finish(scene);

    const int w = 200;
    const int h = 200;
    const Picture picture = Draw(scene, w, h);
    EXPECT_NE(scene.m_materials[0].m_d3dTexture, 0u);
    EXPECT_TRUE(Near(PixelAt(picture, Project(scene, {-50, 50, 10}, w, h)), {255, 0, 0}));
    EXPECT_TRUE(Near(PixelAt(picture, Project(scene, {50, 50, 10}, w, h)), {0, 255, 0}));
    EXPECT_TRUE(Near(PixelAt(picture, Project(scene, {-50, -50, 10}, w, h)), {0, 0, 255}));
    EXPECT_TRUE(Near(PixelAt(picture, Project(scene, {50, -50, 10}, w, h)), {255, 255, 255}));
    // Linear filtering: half way between red and green texels.
    const Rgb between = PixelAt(picture, Project(scene, {0, 50, 10}, w, h));
    EXPECT_NEAR(between.r, 128, 20);
    EXPECT_NEAR(between.g, 128, 20);

    // The material's colour modulates the texture; without the texture the
    // faces show the colour alone.
    scene.m_materials[0].m_color[1] = 0.0f;
    scene.m_materials[0].UpdateD3DMaterial();
    const Picture tinted = Draw(scene, w, h);
    EXPECT_TRUE(Near(PixelAt(tinted, Project(scene, {50, -50, 10}, w, h)), {255, 0, 255}));
    EXPECT_TRUE(Near(PixelAt(tinted, Project(scene, {50, 50, 10}, w, h)), {0, 0, 0}));
    scene.m_materials[0].m_texture.clear();
    const Picture plain = Draw(scene, w, h);
    EXPECT_TRUE(Near(PixelAt(plain, Project(scene, {50, 50, 10}, w, h)), {255, 0, 255}));

    // Facing the camera squarely, the quad covers exactly the pixels whose
    // centres, at whole pixel coordinates, lie inside its projection: from
    // the left and top edges inclusive to the right and bottom edges exclusive.
    const ScreenPoint topLeft = Project(scene, {-100, 100, 10}, w, h);
    const ScreenPoint bottomRight = Project(scene, {100, -100, 10}, w, h);
    const Blob covered = FindColour(plain, {255, 0, 255});
    EXPECT_EQ(covered.left, static_cast<int>(std::ceil(topLeft.x))) << topLeft.x;
    EXPECT_EQ(covered.top, static_cast<int>(std::ceil(topLeft.y))) << topLeft.y;
    EXPECT_EQ(covered.right, static_cast<int>(std::ceil(bottomRight.x)) - 1) << bottomRight.x;
    EXPECT_EQ(covered.bottom, static_cast<int>(std::ceil(bottomRight.y)) - 1) << bottomRight.y;
}

// Faces of many materials draw in one call; a change of texture, or more
// materials than one call holds, starts the next. Every face keeps its own
// material's colour and the faces keep their order.
TEST_F(RenderTest, RunsOfMaterialsShareDrawCallsUntilTheTextureChanges)
{
    CTessaline scene;
    scene.GetCameraRecord().m_axis = {0, 0, 0};
    for (int m = 0; m < 20; ++m) {
        scene.m_materials.push_back(FlatColour(m, static_cast<float>(m) / 19.0f, 1.0f - static_cast<float>(m) / 19.0f, 0.5f));
    }
    auto checker = std::make_shared<DibStream>();
    ASSERT_TRUE(checker->CreateDIB(1, 1, 24));
    scene.m_materials[5].m_texture = "one.bmp";
    scene.m_materials[5].m_image = checker; // black
    CModel strip = MakeAnimatedModel(6, -1, 61);
    constexpr int kQuads = 60;
    for (int i = 0; i <= kQuads; ++i) {
        for (const float y : {100.0f, -100.0f}) {
            CVertex v;
            v.m_position = {static_cast<float>(i) * 6.0f - 180.0f, y, 0.0f};
            strip.m_vertices.push_back(v);
        }
    }
    // Quad i (clockwise on screen) takes material i mod 20: sixty runs.
    for (int i = 0; i < kQuads; ++i) {
        AddFace(strip, {2 * i, 2 * i + 2, 2 * i + 3, 2 * i + 1}, i % 20);
    }
    scene.m_models.push_back(strip);
    Finish(scene);
    renderer.RecreateTextures(scene);
    renderer.RebuildVertexBuffers(scene);
    const int w = 320;
    const int h = 240;
    const Picture image = Draw(scene, w, h);
    // Calls: 0..4 | texture 5 | 6..19 and 0..1 (sixteen materials) | 2..4 |
    // texture 5 | 6..19, 0..1 | 2..4 | texture 5 | 6..19: nine, and the grid.
    EXPECT_EQ(renderer.LastDrawCalls(), 9 + 1);
    for (int i = 0; i < kQuads; ++i) {
        const int m = i % 20;
        const int c = static_cast<int>(std::lround(std::min(1.0f, static_cast<float>(m) / 19.0f * 1.1f) * 255.0f));
        const int g = static_cast<int>(std::lround(std::min(1.0f, (1.0f - static_cast<float>(m) / 19.0f) * 1.1f) * 255.0f));
        const Rgb expected = m == 5 ? Rgb{0, 0, 0} : Rgb{c, g, 140};
        const Rgb seen = PixelAt(image, Project(scene, {static_cast<float>(i) * 6.0f - 177.0f, 50.0f, 0.0f}, w, h));
        EXPECT_TRUE(Near(seen, expected)) << "quad " << i << ": " << seen << " expected " << expected;
    }
}

TEST_F(RenderTest, FaceWithoutMaterialDrawsOpaqueWhiteAndTheRestStaysInPlace)
{
    CTessaline scene = BoxScene({-60, 100, -60}, {60, 220, 60});
    for (std::size_t f = 0; f < 3; ++f) {
        scene.m_models[0].m_faces[f].m_material = 99; // no such material
    }
    const Picture image = Draw(scene, 320, 240);
    EXPECT_GT(FindColour(image, {255, 255, 255}).count, 100);
    EXPECT_GT(FindColour(image, kMagenta).count, 100);
}

// With the camera on the point it looks at, there is no direction from that
// point to the eye. The light then runs along the view axis, as it does for
// a point straight ahead, whatever frames were drawn before: the desktop
// view, which draws many frames, and the command line, which draws one,
// show the same picture.
TEST_F(RenderTest, CameraOnItsLookAtPointLightsAlongTheViewAxis)
{
    CTessaline scene;
    CMaterial grey;
    grey.m_id = 1;
    grey.m_color[0] = grey.m_color[1] = grey.m_color[2] = 1.0f;
    grey.m_diffuse = 0.8f;
    grey.m_ambient = 0.0f;
    grey.UpdateD3DMaterial();
    scene.m_materials.push_back(grey);
    // A turned eye at the origin, and a box 500 units ahead of it.
    CAnimation& camera = scene.GetCameraRecord();
    camera.m_axis = {15, 50, 0};
    camera.m_position = {0, 0, 0};
    D3DXMATRIX inverse;
    ASSERT_TRUE(D3DXMatrixInverse(inverse, ViewMatrix(scene)));
    const D3DXVECTOR3 ahead = D3DXVec3TransformCoord({0, 0, -500}, inverse);
    scene.m_models.push_back(Box(6, -1, {ahead.x - 60, ahead.y - 60, ahead.z - 60},
                                 {ahead.x + 60, ahead.y + 60, ahead.z + 60}, 1));
    Finish(scene);

    // The light of a camera that looks elsewhere must not linger.
    camera.m_position = {400, -300, -1500};
    (void)Draw(scene);
    camera.m_position = {0, 0, 0};
    const Picture drawn = Draw(scene);

    // A look-at point a hair straight ahead: the light along the view axis.
    camera.m_position = {0, 0, -0.01f};
    const Picture straight = Draw(scene);

    // The first frame of a new renderer, as the command line draws it.
    camera.m_position = {0, 0, 0};
    GlRenderer fresh;
    ASSERT_TRUE(fresh.Initialize().ok);
    target.Bind();
    ASSERT_TRUE(fresh.Render(scene, view, Now(), 160, 120).ok);
    Picture alone = std::make_unique<DibStream>();
    ASSERT_TRUE(target.Read(*alone));
    fresh.Release();

    int lit = 0, differing = 0;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) {
            const Rgb a = PixelAt(drawn, x, y);
            lit += a.r > 40 && a.r == a.g && a.g == a.b ? 1 : 0;
            differing += Near(a, PixelAt(alone, x, y), 1) && Near(a, PixelAt(straight, x, y), 1) ? 0 : 1;
        }
    }
    EXPECT_GT(lit, 1000);
    EXPECT_EQ(differing, 0);
}

TEST_F(RenderTest, SurvivesMissingSizesLightsTexturesAndAReleasedContext)
{
    CTessaline scene = BoxScene({-60, 100, -60}, {60, 220, 60});
    const Picture before = Draw(scene, 160, 120);

    // A view without area draws nothing and is no failure; a minimised
    // window's size event keeps the last size.
    EXPECT_FALSE(GlRenderer::ResizeView(view, 0, 0));
    EXPECT_EQ(view.m_viewWidth, 160.0f);
    target.Bind();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    view.m_viewWidth = 0;
    EXPECT_TRUE(renderer.Render(scene, view, Now(), 160, 0).ok);
    EXPECT_TRUE(renderer.Render(scene, view, Now(), 160, 120).ok);
    DibStream untouched;
    ASSERT_TRUE(target.Read(untouched));
    EXPECT_TRUE(Near(PixelAt(untouched, 80, 60), {0, 0, 0}, 0));

    // The camera at the point it looks at gives no light direction.
    D3DXVECTOR3 light;
    scene.GetCameraRecord().m_position = {0, 0, 0};
    EXPECT_FALSE(GlRenderer::LightDirection(scene, light));
    scene.GetCameraRecord().m_position = {0, 0, -1500};

    // A texture larger than GL allows leaves its material untextured.
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    auto huge = std::make_shared<DibStream>();
    ASSERT_TRUE(huge->CreateDIB(maxSize + 1, 1, 24));
    scene.m_materials[0].m_texture = "huge.bmp";
    scene.m_materials[0].m_image = huge;
    renderer.CreateDeviceTexture(scene.m_materials[0]);
    EXPECT_EQ(scene.m_materials[0].m_d3dTexture, 0u);
    EXPECT_TRUE(Near(PixelAt(Draw(scene, 160, 120), 80, 60), PixelAt(before, 80, 60)));

    // After Release nothing draws and the reason is given; a new Initialize
    // (a re-created context) uploads the scene again by itself.
    renderer.Release();
    const RenderResult released = renderer.Render(scene, view, Now(), 160, 120);
    EXPECT_FALSE(released.ok);
    EXPECT_FALSE(released.message.empty());
    ASSERT_TRUE(renderer.Initialize().ok);
    const Picture again = Draw(scene, 160, 120);
    EXPECT_EQ(FindColour(again, kMagenta).count, FindColour(before, kMagenta).count);

    // A scene the caller uploaded into the context is drawn as it is: the
    // first frame makes no second set of buffers.
    renderer.RebuildVertexBuffers(scene);
    renderer.RecreateTextures(scene);
    const DeviceHandle uploaded = scene.m_models[0].m_vertexBuffer;
    ASSERT_NE(uploaded, 0u);
    Draw(scene, 160, 120);
    EXPECT_EQ(scene.m_models[0].m_vertexBuffer, uploaded);

    // A renderer that was never initialised fails without touching GL.
    GlRenderer fresh;
    EXPECT_FALSE(fresh.Render(scene, view, Now(), 160, 120).ok);
    fresh.RebuildVertexBuffers(scene);
    EXPECT_EQ(scene.m_models[0].m_vertexBuffer, 0u);
}

// The bundled robot, imported as the program imports it, against a picture
// that was looked at and found right.
TEST_F(RenderTest, RobotSampleMatchesItsReferencePicture)
{
    CTessaline scene;
    MessageCollector messages;
    bool modified = false;
    TextureLookup textures;
    ASSERT_TRUE(OpenInto(scene, std::string(VANTOMO_SOURCE_DIR) + "/samples/robot.mqo", messages, textures, modified).ok);
    InbetweenAll(scene);
    ASSERT_EQ(scene.m_models.size(), 6u);
    scene.m_selectedModel = 0;
    scene.m_models[0].m_boxVertices = SelectionBoxVertices(scene.m_models[0].m_bounds[0], scene.m_models[0].m_bounds[1]);
    scene.m_transformMode = 1;
    const Picture picture = Draw(scene, 320, 240);
    const std::string reference = std::string(VANTOMO_TEST_DATA_DIR) + "/render/robot_rotate.png";
    if (std::getenv("VANTOMO_UPDATE_REFERENCES") != nullptr) {
        ASSERT_TRUE(SavePNG(reference, *picture));
    }
    DibStream expected;
    ASSERT_TRUE(LoadPNG(reference, expected));
    ASSERT_EQ(expected.Width(), 320);
    ASSERT_EQ(expected.AbsHeight(), 240);
    int off = 0;
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) {
            off += Near(PixelAt(picture, x, y), PixelAt(expected, x, y), 4) ? 0 : 1;
        }
    }
    // Rasterisers may differ on a few edge pixels.
    EXPECT_LE(off, 320 * 240 / 200) << off << " pixels differ";
    // Every model was drawn and kept its world matrix.
    EXPECT_EQ(renderer.LastDrawCalls(), 6 * 1 + 1 + 1 + 1); // one run each, box, grid, manipulator
}

} // namespace vantomo
