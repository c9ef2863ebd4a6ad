// The dope sheet on a large scene, on Qt's offscreen platform.
//
// Scene: 1,000 models in 10 characters of 100, one animation of 501 frames,
// each model keyed at frame 0 and at 50 more frames (5, 15, ..., 495): 50,000
// keys besides the frame-0 keys. The pane is 1200 x 400 pixels, scrolled to
// the middle of the rows and frames.
//   BM_RepaintVisiblePane/zoom/selected: one paint of the pane at 12 pixels a
//   frame (the default) or 3 (zoomed out, about 350 columns in view), with no
//   key or every key selected.
//   BM_DragStep: every key selected and grabbed; one mouse move that changes
//   the offset (the document's check of the move runs) and the paint after it.
//   BM_MoveAllKeys: MoveKeys of all 50,000 keys by one frame, back and forth:
//   the tracks kept for the undo step, the records carried, the 1,000 tracks
//   in-betweened, the pane told.
#include <memory>
#include <string>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include "animation/Pose.h"
#include "document/Document.h"
#include "scene/AppValues.h"
#include "shell/panes/DopeSheetView.h"

using namespace vantomo;

namespace {

constexpr int kCharacters = 10;
constexpr int kModelsPerCharacter = 100;
constexpr int kFrames = 501;

struct Sheet {
    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    std::unique_ptr<CDopeSheetView> pane;
    KeySelection all; // every key but frame 0's

    Sheet()
    {
        ResetAppValues();
        CTessaline& scene = doc.Scene();
        scene.m_characterNames.clear();
        for (int c = 0; c < kCharacters; ++c) {
            scene.m_characterNames.push_back("Character_" + std::to_string(c));
        }
        for (int m = 0; m < kCharacters * kModelsPerCharacter; ++m) {
            CModel model;
            model.m_id = 6 + m;
            model.m_name = "model_" + std::to_string(m);
            model.m_parent = ~(m / kModelsPerCharacter);
            Track track(kFrames);
            track[0].m_key = 1;
            for (int f = 5; f < kFrames; f += 10) {
                track[static_cast<std::size_t>(f)].m_key = 1;
                track[static_cast<std::size_t>(f)].m_angle = static_cast<float>(f);
                all.Add(m, f);
            }
            model.m_tracks.push_back(std::move(track));
            scene.m_models.push_back(std::move(model));
        }
        scene.RefreshDerived();
        scene.BuildTraversal();
        InbetweenAll(scene);
        g_lastFrame = kFrames - 1;
        g_prevLastFrame = g_lastFrame;
        SyncAnimationCount(scene);
        pane = std::make_unique<CDopeSheetView>(doc);
        pane->resize(1200, 400);
        pane->show();
        ScrollToMiddle();
    }

    void ScrollToMiddle()
    {
        pane->horizontalScrollBar()->setValue(pane->horizontalScrollBar()->maximum() / 2);
        pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum() / 2);
    }

    // The first row in view that is a model's, and a key of it in view.
    QPoint KeyInView() const
    {
        const int row = pane->RowAt(CDopeSheetView::kRulerHeight + 1) + 1;
        const int frame = pane->FrameAt(CDopeSheetView::kNameWidth + 40);
        return pane->CellCentre(row, frame + (15 - frame % 10) % 10);
    }

    void Paint(QImage& image) { pane->viewport()->render(&image); }
};

Sheet& TheSheet()
{
    static Sheet sheet;
    return sheet;
}

void BM_RepaintVisiblePane(benchmark::State& state)
{
    Sheet& s = TheSheet();
    s.pane->SetZoom(static_cast<int>(state.range(0)));
    s.ScrollToMiddle();
    s.doc.SelectKeys(state.range(1) != 0 ? s.all : KeySelection());
    QImage image(s.pane->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        s.Paint(image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(std::to_string(s.doc.SelectedKeys().Size()) + " keys selected");
}
BENCHMARK(BM_RepaintVisiblePane)->Args({12, 0})->Args({12, 1})->Args({3, 0})->Args({3, 1})->Unit(benchmark::kMillisecond);

void BM_DragStep(benchmark::State& state)
{
    Sheet& s = TheSheet();
    s.pane->SetZoom(12);
    s.ScrollToMiddle();
    s.doc.SelectKeys(s.all);
    QWidget* viewport = s.pane->viewport();
    QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    const QPoint grab = s.KeyInView();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(grab), viewport->mapToGlobal(QPointF(grab)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    int step = 0;
    for (auto _ : state) {
        // One and two frames on in turn: every step changes the offset.
        const QPoint at = grab + QPoint((1 + (step++ % 2)) * s.pane->Zoom(), 0);
        QMouseEvent move(QEvent::MouseMove, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        s.Paint(image);
    }
    if (s.pane->DragOffset() == 0) {
        state.SkipWithError("the drag did not start");
    }
    // Back where it started before letting go: nothing moves.
    QMouseEvent back(QEvent::MouseMove, QPointF(grab), viewport->mapToGlobal(QPointF(grab)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &back);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(grab), viewport->mapToGlobal(QPointF(grab)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

void BM_MoveAllKeys(benchmark::State& state)
{
    Sheet& s = TheSheet();
    // Every key but frame 0's, wherever an earlier run left them.
    KeySelection keys;
    for (int m = 0; m < static_cast<int>(s.doc.Scene().m_models.size()); ++m) {
        for (int f = 1; f < kFrames; ++f) {
            if (IsKey(s.doc.Scene(), m, f)) {
                keys.Add(m, f);
            }
        }
    }
    s.doc.SelectKeys(keys);
    int direction = 1;
    for (auto _ : state) {
        // The moved keys stay selected: the next move takes them back.
        const OperationResult result = s.doc.MoveKeys(s.doc.SelectedKeys(), direction);
        if (!result.ok) {
            state.SkipWithError(result.message.c_str());
            break;
        }
        direction = -direction;
    }
    state.SetLabel(std::to_string(s.all.Size()) + " keys");
}
BENCHMARK(BM_MoveAllKeys)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
