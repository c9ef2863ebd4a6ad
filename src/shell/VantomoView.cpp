#include "shell/VantomoView.h"

#include <cmath>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QTimer>
#include <QWheelEvent>

#include "document/FrameValues.h"
#include "document/ViewRequests.h"
#include "scene/AppValues.h"

namespace vantomo {

CVantomoView::CVantomoView(CVantomoDoc& doc, QWidget* parent) : QOpenGLWidget(parent), m_doc(doc)
{
    setMouseTracking(true); // a move without buttons still sets the point the next drag starts from
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(0, 0);
    m_doc.AddView(this);
    // A platform that cannot make any OpenGL context never calls initializeGL.
    QTimer::singleShot(3000, this, [this] {
        if (isVisible() && !isValid() && m_failure.isEmpty()) {
            ShowFailure(QStringLiteral("No OpenGL context could be created."));
        }
    });
}

CVantomoView::~CVantomoView()
{
    m_doc.RemoveView(this);
    ReleaseGl();
    // QOpenGLWidget's own destructor destroys the context; by then this
    // class is gone and must not hear of it.
    if (context() != nullptr) {
        disconnect(context(), nullptr, this, nullptr);
    }
}

void CVantomoView::ReleaseGl()
{
    if (context() == nullptr || !m_renderer.IsReady()) {
        return;
    }
    makeCurrent();
    m_renderer.Release();
    doneCurrent();
}

void CVantomoView::initializeGL()
{
    // Re-created contexts (a top-level change) come back here: every object
    // is made anew and the scene is uploaded at the next paint.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &CVantomoView::ReleaseGl,
            Qt::UniqueConnection);
    const RenderResult result = m_renderer.Initialize();
    if (!result.ok) {
        ShowFailure(QString::fromStdString(result.message));
        return;
    }
    m_rebuildBuffers = true;
    m_reloadTextures = true;
}

QString CVantomoView::FailureText(const QString& reason)
{
    return QCoreApplication::translate("VantomoView", "OpenGL 3.3 が使えないため、3D ビューを表示できません。") +
           QStringLiteral("\n\n") + reason;
}

void CVantomoView::ShowFailure(const QString& reason)
{
    const bool first = m_failure.isEmpty();
    m_failure = reason.isEmpty() ? QStringLiteral("OpenGL failed") : reason;
    if (first && onFailure) {
        // Not from inside the GL callbacks: the window swaps the view out.
        QTimer::singleShot(0, this, [this] { onFailure(); });
    }
}

QSize FramebufferSize(const QSize& size, qreal devicePixelRatio)
{
    // QSize * qreal rounds each side, as QOpenGLWidget sizes its framebuffer.
    return size * devicePixelRatio;
}

QPoint ViewPoint(const QPointF& position)
{
    // Positions come in fractions of a pixel on a scaled screen (and below 0
    // while a drag leaves the view): the pixel is the one the point lies in.
    return QPoint(static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y())));
}

QSize CVantomoView::Framebuffer() const { return FramebufferSize(size(), devicePixelRatioF()); }

void CVantomoView::resizeGL(int, int)
{
    // The framebuffer's own size, in device pixels: the picture's aspect and
    // its half-pixel shift both follow the pixels drawn.
    const QSize fb = Framebuffer();
    if (GlRenderer::ResizeView(m_view, fb.width(), fb.height())) {
        (void)GlRenderer::ResizeView(m_doc.View(), fb.width(), fb.height());
    }
}

void CVantomoView::paintGL()
{
    if (!m_renderer.IsReady()) {
        return;
    }
    CTessaline& scene = m_doc.Scene();
    DoPutOffGlWork(scene);
    const QSize fb = Framebuffer();
    const TimePoint time = CurrentTime();
    const std::vector<OnionGhost> ghosts = OnionGhosts(scene, time.animation, time.frame, m_doc.GetOnionSkin());
    const RenderResult result = m_renderer.Render(scene, m_view, time, fb.width(), fb.height(), ghosts);
    if (!result.ok) {
        ShowFailure(QString::fromStdString(result.message));
        return;
    }
    ++m_framesDrawn;
    if (onFrameDrawn) {
        onFrameDrawn();
    }
}

void CVantomoView::DoPutOffGlWork(CTessaline& scene)
{
    if (m_rebuildBuffers) {
        m_renderer.RebuildVertexBuffers(scene);
        m_rebuildBuffers = false;
    }
    if (m_reloadTextures) {
        m_renderer.RecreateTextures(scene);
        m_reloadTextures = false;
    }
}

std::string CVantomoView::BeginFrames(CTessaline& scene)
{
    makeCurrent();
    if (!m_renderer.IsReady()) {
        return "the 3D view cannot draw";
    }
    // Work the view had put off to its next paint is done now.
    DoPutOffGlWork(scene);
    return {};
}

std::string CVantomoView::DrawFrame(CTessaline& scene, const TimePoint& time, int width, int height, DibStream& image)
{
    // The progress dialog lets events through, and a paint of the view may
    // have made another context current in between.
    makeCurrent();
    if ((m_frameTarget.Width() != width || m_frameTarget.Height() != height) && !m_frameTarget.Create(width, height)) {
        return "no " + std::to_string(width) + "x" + std::to_string(height) + " picture can be drawn";
    }
    // A frame of its own size; the view on screen keeps its size and manipulator.
    ViewState frameView;
    if (!GlRenderer::ResizeView(frameView, width, height)) {
        return "cannot draw a picture without area";
    }
    m_frameTarget.Bind();
    const RenderResult drawn = m_renderer.Render(scene, frameView, time, width, height);
    if (!drawn.ok) {
        return drawn.message;
    }
    if (!m_frameTarget.Read(image)) {
        return "cannot read the picture back";
    }
    return {};
}

void CVantomoView::EndFrames()
{
    makeCurrent();
    m_frameTarget.Release();
    doneCurrent();
    // The view's own frame comes back with the next paint.
    update();
}

void CVantomoView::OnChange(const ChangeNotice& change)
{
    switch (change.kind) {
    case Change::NewDocument:
        m_view.m_grabbedHandle = -1;
        [[fallthrough]];
    case Change::ProjectOpened:
    case Change::ModelAddedOrDeleted:
    case Change::Shading:
        // GL work waits for paintGL, where the context is current.
        m_rebuildBuffers = true;
        m_reloadTextures = true;
        break;
    default:
        break;
    }
    update();
}

MouseInput CVantomoView::Input(const QPointF& position, Qt::KeyboardModifiers modifiers,
                               Qt::MouseButtons buttons) const
{
    MouseInput input;
    const QPoint point = ViewPoint(position);
    input.x = point.x();
    input.y = point.y();
    input.viewWidth = static_cast<float>(width());
    input.viewHeight = static_cast<float>(height());
    input.control = (modifiers & Qt::ControlModifier) != 0;
    input.middleButton = (buttons & Qt::MiddleButton) != 0;
    return input;
}

void CVantomoView::Act(const ViewRequests& requests)
{
    // Qt grabs the mouse for the widget a button went down on, which is the
    // capture the handlers ask for.
    ApplyViewRequests(m_doc, requests);
    if (requests.invalidate) {
        update();
    }
}

void CVantomoView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    const MouseInput input = Input(event->position(), event->modifiers(), event->buttons());
    if (event->button() == Qt::LeftButton) {
        Act(LeftButtonDown(m_doc.Scene(), m_view, CurrentTime(), m_mouse, input));
    } else if (event->button() == Qt::RightButton) {
        Act(RightButtonDown(m_mouse, input));
    } else if (event->button() == Qt::MiddleButton) {
        MiddleButtonDown(m_mouse, input);
    }
}

void CVantomoView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Act(LeftButtonUp(m_mouse));
    } else if (event->button() == Qt::RightButton) {
        Act(RightButtonUp(m_mouse));
    }
}

void CVantomoView::mouseMoveEvent(QMouseEvent* event)
{
    const MouseInput input = Input(event->position(), event->modifiers(), event->buttons());
    Act(MouseMove(m_doc.Scene(), m_view, CurrentTime(), m_mouse, input, m_doc.m_mouseMode));
}

void CVantomoView::wheelEvent(QWheelEvent* event)
{
    MouseInput input = Input(event->position(), event->modifiers(), event->buttons());
    input.wheelDelta = event->angleDelta().y();
    Act(MouseWheel(m_doc.Scene(), CurrentTime(), input));
    event->accept();
}

} // namespace vantomo
