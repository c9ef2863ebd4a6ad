// Frame time and buffer building of the OpenGL renderer, headless (EGL on
// Mesa's surfaceless platform; llvmpipe on machines without a GPU) at
// 1280 x 720.
//
// BM_Frame1M draws a scene of one model of 1,000,000 triangles in four runs
// of materials, with grid and manipulator, as the view draws it;
// BM_Reference1M draws the same triangles from the same buffer with the same
// shader in one draw call, the yardstick the frame is measured against.
// BM_FrameCorpus draws the largest corpus model (BM_FrameCorpusOnion with six
// onion-skin ghosts behind it) and BM_Frame45k a generated
// model of 45,000 triangles. BM_Build1M uploads the 1M-triangle model as an
// import does (normals, layout, upload); BM_MemcpyUpload1M copies the same
// vertex and index bytes and uploads them, its yardstick.
#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "render/Picking.h"
#include "MqoGenerator.h"
#include "animation/Pose.h"
#include "document/Document.h"
#include "import/MeshBuilder.h"
#include "render/OnionSkin.h"
#include "render/RenderGeometry.h"
#include "render/gl/GlRenderer.h"
#include "render/gl/GlShaders.h"
#include "render/gl/HeadlessContext.h"
#include "render/gl/OffscreenTarget.h"
#include "scene/AppValues.h"
#include "scene/MessageSink.h"
#include "scene/Normals.h"

using namespace vantomo;


namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

// The view every frame is drawn for.
ViewState BenchView()
{
    ViewState view;
    view.m_viewWidth = static_cast<float>(kWidth);
    view.m_viewHeight = static_cast<float>(kHeight);
    return view;
}

class Quiet final : public MessageSink {
public:
    void ShowMessage(std::string_view) override {}
};

struct Gl {
    std::unique_ptr<HeadlessContext> context;
    OffscreenTarget target;
};

Gl& Context()
{
    static Gl* gl = [] {
        auto* g = new Gl;
        setenv("EGL_PLATFORM", "surfaceless", 0);
        std::string error;
        g->context = HeadlessContext::Create(error);
        if (!g->context || !g->target.Create(kWidth, kHeight)) {
            std::fprintf(stderr, "bench_render: %s\n", error.c_str());
            std::exit(1);
        }
        return g;
    }();
    return *gl;
}

// A rippled sheet of side x side quads in front of the camera, four
// materials in four bands of faces.
CModel Sheet(int side)
{
    CModel model;
    model.m_id = 6;
    model.m_parent = -1;
    model.m_tracks.emplace_back(61);
    model.m_tracks[0][0].m_key = 1;
    const float step = 800.0f / static_cast<float>(side);
    for (int z = 0; z <= side; ++z) {
        for (int x = 0; x <= side; ++x) {
            CVertex v;
            const float fx = static_cast<float>(x) * step - 400.0f;
            const float fz = static_cast<float>(z) * step - 400.0f;
            v.m_position = {fx, 40.0f * std::sin(fx * 0.02f) * std::cos(fz * 0.02f), fz};
            model.m_vertices.push_back(v);
        }
    }
    for (int z = 0; z < side; ++z) {
        for (int x = 0; x < side; ++x) {
            CFace f;
            f.m_material = (z * 4) / side;
            const int a = z * (side + 1) + x;
            f.m_indices = {a, a + 1, a + side + 2, a + side + 1}; // clockwise seen from above
            f.m_uvs = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
            model.m_faces.push_back(f);
        }
    }
    LinkFaces(model);
    model.UpdateBounds();
    return model;
}

std::unique_ptr<CTessaline> SheetScene(int side)
{
    auto scene = std::make_unique<CTessaline>();
    for (int m = 0; m < 4; ++m) {
        CMaterial material;
        material.m_id = m;
        material.m_color[0] = 0.2f + 0.2f * static_cast<float>(m);
        material.UpdateD3DMaterial();
        scene->m_materials.push_back(material);
    }
    scene->m_models.push_back(Sheet(side));
    scene->RefreshDerived();
    scene->BuildTraversal();
    scene->m_selectedModel = 0;
    BuildSelectionBox(scene->m_models[0]);
    return scene;
}

constexpr int kSide1M = 707; // 707 x 707 quads: 999,698 triangles

void Finish()
{
    // llvmpipe draws when the frame is read; one pixel makes it finish.
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

void DrawFrames(benchmark::State& state, CTessaline& scene, std::span<const OnionGhost> ghosts = {})
{
    Gl& gl = Context();
    ResetAppValues();
    GlRenderer renderer;
    if (!renderer.Initialize().ok) {
        state.SkipWithError("no renderer");
        return;
    }
    renderer.RecreateTextures(scene);
    renderer.RebuildVertexBuffers(scene);
    gl.target.Bind();
    ViewState view = BenchView();
    for (auto _ : state) {
        if (!renderer.Render(scene, view, TimePoint{}, kWidth, kHeight, ghosts).ok) {
            state.SkipWithError("render failed");
            break;
        }
        Finish();
    }
    state.counters["draw_calls"] = renderer.LastDrawCalls();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    renderer.Release();
}

void BM_Frame1M(benchmark::State& state)
{
    static auto scene = SheetScene(kSide1M);
    DrawFrames(state, *scene);
}
BENCHMARK(BM_Frame1M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Reference1M(benchmark::State& state)
{
    Gl& gl = Context();
    static auto scene = SheetScene(kSide1M);
    ComputeNormals(scene->m_models[0]);
    const MeshBuffer mesh = BuildMeshBuffer(scene->m_models[0], scene->m_materials);
    MeshProgram program;
    std::string error;
    if (!BuildMeshProgram(false, program, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    GLuint vao = 0;
    GLuint buffers[2] = {0, 0};
    glGenVertexArrays(1, &vao);
    glGenBuffers(2, buffers);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)), mesh.vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.indices.size() * 4), mesh.indices.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(kAttribPosition);
    glVertexAttribPointer(kAttribPosition, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), nullptr);
    glEnableVertexAttribArray(kAttribNormal);
    glVertexAttribPointer(kAttribNormal, 3, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), reinterpret_cast<const void*>(12));
    glEnableVertexAttribArray(kAttribTexCoord);
    glVertexAttribPointer(kAttribTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(MeshVertex), reinterpret_cast<const void*>(24));
    GLuint white = 0;
    glGenTextures(1, &white);
    glBindTexture(GL_TEXTURE_2D, white);
    const std::uint32_t texel = 0xFFFFFFFFu;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    const D3DXMATRIX view = ViewMatrix(*scene);
    const D3DXMATRIX viewProj = D3DXMatrixMultiply(view, ProjectionMatrix(*scene, BenchView()));
    gl.target.Bind();
    glViewport(0, 0, kWidth, kHeight);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glUseProgram(program.program);
    glUniformMatrix4fv(program.worldViewProj, 1, GL_FALSE, &viewProj.m[0][0]);
    glUniformMatrix4fv(program.worldView, 1, GL_FALSE, &view.m[0][0]);
    // The light and normal matrix the renderer computes for this camera
    // (the model stands at rest, so world x view is the view).
    D3DXMATRIX inverse;
    D3DXMatrixInverse(inverse, view);
    const float normal[9] = {inverse.m[0][0], inverse.m[1][0], inverse.m[2][0], inverse.m[0][1], inverse.m[1][1],
                             inverse.m[2][1], inverse.m[0][2], inverse.m[1][2], inverse.m[2][2]};
    glUniformMatrix3fv(program.normalMatrix, 1, GL_FALSE, normal);
    const D3DXVECTOR3 light = GlRenderer::LightTowards(*scene, view);
    glUniform3f(program.lightDirection, light.x, light.y, light.z);
    const D3DMATERIAL9& m = scene->m_materials[0].m_d3dMaterial;
    glUniform4f(program.diffuse, m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Diffuse.a);
    glUniform4f(program.ambient, m.Ambient.r, m.Ambient.g, m.Ambient.b, m.Ambient.a);
    glUniform4f(program.specular, 0, 0, 0, 1);
    glUniform4f(program.emissive, 0, 0, 0, 1);
    glUniform1f(program.power, m.Power);
    glUniform1i(program.texture, 0);
    glUniform1i(program.textured, 0);
    for (auto _ : state) {
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indices.size()), GL_UNSIGNED_INT, nullptr);
        Finish();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    glDeleteTextures(1, &white);
    glDeleteBuffers(2, buffers);
    glDeleteVertexArrays(1, &vao);
    glDeleteProgram(program.program);
    glUseProgram(0);
}
BENCHMARK(BM_Reference1M)->Unit(benchmark::kMillisecond)->UseRealTime();

std::unique_ptr<CTessaline> Imported(const std::string& path)
{
    auto scene = std::make_unique<CTessaline>();
    Quiet quiet;
    bool modified = false;
    TextureLookup textures;
    if (!OpenInto(*scene, path, quiet, textures, modified).ok || scene->m_models.empty()) {
        return nullptr;
    }
    InbetweenAll(*scene);
    return scene;
}

void BM_FrameCorpus(benchmark::State& state)
{
    static auto scene = Imported(std::string(VANTOMO_CORPUS_DIR) + "/mqo/garlic-flavor_mqo_loader/dsan/"
                                 "\xE3\x83\xAF\xE3\x82\xA4\xE3\x83\xAB\xE3\x83\x89" "D\xE3\x81\x95\xE3\x82\x93.mqo");
    if (!scene) {
        state.SkipWithError("corpus model not found");
        return;
    }
    DrawFrames(state, *scene);
}
BENCHMARK(BM_FrameCorpus)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same frame with the onion skin at its widest: three ghosts each way.
void BM_FrameCorpusOnion(benchmark::State& state)
{
    static auto scene = Imported(std::string(VANTOMO_CORPUS_DIR) + "/mqo/garlic-flavor_mqo_loader/dsan/"
                                 "\xE3\x83\xAF\xE3\x82\xA4\xE3\x83\xAB\xE3\x83\x89" "D\xE3\x81\x95\xE3\x82\x93.mqo");
    if (!scene) {
        state.SkipWithError("corpus model not found");
        return;
    }
    const std::vector<OnionGhost> ghosts = OnionGhosts(*scene, 0, 30, {true, kMaxOnionFrames});
    DrawFrames(state, *scene, ghosts);
    state.counters["ghosts"] = static_cast<double>(ghosts.size());
}
BENCHMARK(BM_FrameCorpusOnion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Frame45k(benchmark::State& state)
{
    static auto scene = [] {
        const std::string path = (std::filesystem::temp_directory_path() / "vantomo-bench-45k.mqo").string();
        MqoGeneratorOptions options;
        options.objects = 1;
        options.verticesPerObject = 23000;
        options.facesPerObject = 22500; // quads: 45,000 triangles
        options.mirroredObject = -1;
        WriteSyntheticMqo(path, options);
        auto s = Imported(path);
        std::filesystem::remove(path);
        return s;
    }();
    if (!scene) {
        state.SkipWithError("generated model did not import");
        return;
    }
    DrawFrames(state, *scene);
}
BENCHMARK(BM_Frame45k)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: clears, grid and axes only.
void BM_FrameEmpty(benchmark::State& state)
{
    static auto scene = [] {
        auto s = std::make_unique<CTessaline>();
        return s;
    }();
    DrawFrames(state, *scene);
}
BENCHMARK(BM_FrameEmpty)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Build1M(benchmark::State& state)
{
    Context();
    static auto scene = SheetScene(kSide1M);
    GlRenderer renderer;
    if (!renderer.Initialize().ok) {
        state.SkipWithError("no renderer");
        return;
    }
    for (auto _ : state) {
        renderer.BuildVertexBuffer(scene->m_models[0], scene->m_materials);
        Finish();
    }
    renderer.Release();
}
BENCHMARK(BM_Build1M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MemcpyUpload1M(benchmark::State& state)
{
    Context();
    static auto scene = SheetScene(kSide1M);
    ComputeNormals(scene->m_models[0]);
    const MeshBuffer mesh = BuildMeshBuffer(scene->m_models[0], scene->m_materials);
    GLuint buffers[2] = {0, 0};
    glGenBuffers(2, buffers);
    for (auto _ : state) {
        std::vector<MeshVertex> vertices(mesh.vertices.size());
        std::memcpy(vertices.data(), mesh.vertices.data(), vertices.size() * sizeof(MeshVertex));
        std::vector<std::uint32_t> indices(mesh.indices.size());
        std::memcpy(indices.data(), mesh.indices.data(), indices.size() * 4);
        benchmark::DoNotOptimize(vertices.data());
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(MeshVertex)), vertices.data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 4), indices.data(), GL_STATIC_DRAW);
        Finish();
    }
    glDeleteBuffers(2, buffers);
}
BENCHMARK(BM_MemcpyUpload1M)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
