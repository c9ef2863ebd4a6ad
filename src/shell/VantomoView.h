// The 3D view: an OpenGL 3.3 core widget that draws the scene with the
// renderer and turns mouse presses, moves, releases and the wheel into the
// camera and model edits of the mouse handlers. It draws only when
// something invalidated it (a hint, a mouse edit, a playback tick).
#pragma once

// epoxy must come before any header of Qt that includes the system's GL.
#include "render/gl/GlRenderer.h"

#include <functional>

#include <QOpenGLWidget>

#include "document/Document.h"
#include "document/VideoExport.h"
#include "render/gl/OffscreenTarget.h"
#include "render/MouseHandling.h"

namespace vantomo {

// The framebuffer a view of `size` logical pixels draws into on a screen
// of `devicePixelRatio`: each side rounded, as Qt sizes it.
QSize FramebufferSize(const QSize& size, qreal devicePixelRatio);
// The pixel a mouse position lies in (floored, also below 0).
QPoint ViewPoint(const QPointF& position);

class CVantomoView final : public QOpenGLWidget, public DocumentView, public FrameDrawer {
public:
    CVantomoView(CVantomoDoc& doc, QWidget* parent);
    ~CVantomoView() override;

    void OnChange(const ChangeNotice& change) override;

    // Called after every drawn frame (the status bar's frame rate).
    std::function<void()> onFrameDrawn;
    // Called (once the event loop runs again) when the renderer cannot draw:
    // the window then shows the message in place of the view.
    std::function<void()> onFailure;

    // Frames drawn so far, and why the renderer could not start or draw
    // (the renderer's own reason, "" when it works).
    int FramesDrawn() const { return m_framesDrawn; }
    const QString& Failure() const { return m_failure; }
    // The size of the framebuffer the view draws into, in device pixels.
    QSize Framebuffer() const;
    // What the window shows instead of the view, in the language in force.
    static QString FailureText(const QString& reason);

    // A video's frames, drawn with the view's renderer in its context into
    // a picture of their own; the view itself is not drawn over.
    std::string BeginFrames(CTessaline& scene) override;
    std::string DrawFrame(CTessaline& scene, const TimePoint& time, int width, int height, DibStream& image) override;
    void EndFrames() override;

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // The buffers and textures a change asked for, made while the context is current.
    void DoPutOffGlWork(CTessaline& scene);
    MouseInput Input(const QPointF& position, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) const;
    void Act(const ViewRequests& requests);
    void ReleaseGl();
    void ShowFailure(const QString& reason);

    CVantomoDoc& m_doc;
    GlRenderer m_renderer;
    OffscreenTarget m_frameTarget; // a video's frames; released when the export ends
    ViewMouseState m_mouse;
    ViewState m_view; // what this view drew last; its size also goes to the document's
    bool m_rebuildBuffers = true;
    bool m_reloadTextures = true;
    int m_framesDrawn = 0;
    QString m_failure;
};

} // namespace vantomo
