#include "CStmQtRenderWidget.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <utility>

#include "host/framework/CUbRenderWnd.h"

namespace {

// The GL window draws straight into its own back buffer and swaps it after the paint: the
// scene's surface swaps nothing itself.
class CQtWidgetSurface final : public CUbSurface {
public:
  explicit CQtWidgetSurface(CStmQtRenderWidget& widget) : m_widget(widget) {}
  bool MakeCurrent() override {
    if (!m_widget.IsValid()) return false;
    m_widget.makeCurrent();
    return true;
  }
  void ReleaseCurrent() override { m_widget.doneCurrent(); }
  int GetWidth() const override { return m_widget.FramebufferWidth(); }
  int GetHeight() const override { return m_widget.FramebufferHeight(); }
  void SwapBuffers() override {}
  bool IsOffscreen() const override { return false; }

private:
  CStmQtRenderWidget& m_widget;
};

// Only draws: its input goes through to the widget beneath, and it never takes the focus.
class CQtViewWindow final : public QOpenGLWindow {
public:
  CQtViewWindow(std::function<void()> created, std::function<void()> paint)
      : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate), m_created(std::move(created)), m_paint(std::move(paint)) {
    setFormat(CStmQtRenderWidget::CompatibilityFormat());
    setFlags(flags() | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
  }

protected:
  void initializeGL() override { m_created(); }
  void paintGL() override { m_paint(); }

private:
  std::function<void()> m_created, m_paint;
};

const std::pair<int, int> kKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Left, VK_LEFT},     {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Up, VK_UP},
    {Qt::Key_Down, VK_DOWN},     {Qt::Key_Home, VK_HOME},     {Qt::Key_End, VK_END},
    {Qt::Key_F8, VK_F8},         {Qt::Key_Shift, VK_SHIFT},   {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
};

}  // namespace

CStmQtRenderWidget::CStmQtRenderWidget(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // The GL window covers all of this widget: nothing of its own to paint.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  m_pWindow = new CQtViewWindow(
      [this] {
        // Lists and the background compiled in a context that went away are gone with it.
        if (m_pWnd) m_pWnd->InvalidateAllWnd();
      },
      [this] {
        ++m_nPaints;
        if (m_pWnd) m_pWnd->Render();
        emit FramePainted();
      });
  connect(m_pWindow, &QOpenGLWindow::frameSwapped, this, &CStmQtRenderWidget::frameSwapped);
  QWidget* container = QWidget::createWindowContainer(m_pWindow, this);
  // Clicks, keys and the focus belong to this widget, which the scene's handlers are on.
  container->setAttribute(Qt::WA_TransparentForMouseEvents);
  container->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(container);
}

QSurfaceFormat CStmQtRenderWidget::CompatibilityFormat() {
  QSurfaceFormat format;
  format.setRenderableType(QSurfaceFormat::OpenGL);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setVersion(2, 1);
  format.setDepthBufferSize(24);
  return format;
}

std::unique_ptr<CUbSurface> CStmQtRenderWidget::CreateSurface() { return std::make_unique<CQtWidgetSurface>(*this); }

int CStmQtRenderWidget::FramebufferWidth() const {
  return static_cast<int>(std::lround(width() * devicePixelRatioF()));
}

int CStmQtRenderWidget::FramebufferHeight() const {
  return static_cast<int>(std::lround(height() * devicePixelRatioF()));
}

CPoint CStmQtRenderWidget::ToClient(const QPointF& pos) const {
  const double ratio = devicePixelRatioF();
  return CPoint(static_cast<int>(pos.x() * ratio), static_cast<int>(pos.y() * ratio));
}

int CStmQtRenderWidget::VirtualKey(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
      qtKey == Qt::Key_Space)
    return qtKey;
  for (const auto& [key, vk] : kKeys) {
    if (key == qtKey) return vk;
  }
  return 0;
}

UINT CStmQtRenderWidget::MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  UINT flags = 0;
  if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
  if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
  if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
  if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
  return flags;
}

void CStmQtRenderWidget::UpdateIfInvalid() {
  if (m_pWnd && m_pWnd->IsInvalid()) RequestFrame();
}

void CStmQtRenderWidget::RequestFrame() {
  // The window's own update() waits out the platform's idle time (5 ms on X) and then may draw
  // twice: the frame is drawn at the loop's next turn instead, once for all requests until then.
  if (m_bFramePending) return;
  m_bFramePending = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        m_bFramePending = false;
        if (!m_pWindow->isExposed()) return;
        QPaintEvent paint(QRect(QPoint(0, 0), m_pWindow->size()));
        QCoreApplication::sendEvent(m_pWindow, &paint);
      },
      Qt::QueuedConnection);
}

bool CStmQtRenderWidget::IsValid() const { return m_pWindow->isValid(); }

void CStmQtRenderWidget::makeCurrent() { m_pWindow->makeCurrent(); }

void CStmQtRenderWidget::doneCurrent() { m_pWindow->doneCurrent(); }

QImage CStmQtRenderWidget::grabFramebuffer() {
  if (!IsValid()) return QImage();
  // After a swap the back buffer holds nothing defined.
  makeCurrent();
  if (m_pWnd) m_pWnd->Render();
  makeCurrent();
  return m_pWindow->grabFramebuffer();
}

QImage CStmQtRenderWidget::GrabWindow() {
  QWidget* top = window();
  QImage picture = top->grab().toImage();
  QPainter painter(&picture);
  painter.drawImage(QRect(mapTo(top, QPoint(0, 0)), size()), grabFramebuffer());
  return picture;
}

void CStmQtRenderWidget::AfterInput() {
  emit SceneInput();
  UpdateIfInvalid();
}

void CStmQtRenderWidget::mousePressEvent(QMouseEvent* event) {
  if (!m_pWnd || !Allowed(event)) return;
  setFocus(Qt::MouseFocusReason);
  emit BeforeInput();
  m_ptCursor = ToClient(event->position());
  const UINT flags = MouseFlags(event->buttons(), event->modifiers());
  switch (event->button()) {
    case Qt::LeftButton:
      m_pWnd->OnLButtonDown(flags, m_ptCursor);
      break;
    case Qt::RightButton:
      m_pWnd->OnRButtonDown(flags, m_ptCursor);
      break;
    case Qt::MiddleButton:
      m_pWnd->OnMButtonDown(flags, m_ptCursor);
      break;
    default:
      return;
  }
  m_sceneButtons |= event->button();
  AfterInput();
}

void CStmQtRenderWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_pWnd || !(m_sceneButtons & event->button())) return;
  m_sceneButtons &= ~event->button();
  m_ptCursor = ToClient(event->position());
  const UINT flags = MouseFlags(event->buttons(), event->modifiers());
  if (event->button() == Qt::LeftButton) m_pWnd->OnLButtonUp(flags, m_ptCursor);
  if (event->button() == Qt::RightButton) m_pWnd->OnRButtonUp(flags, m_ptCursor);
  if (event->button() == Qt::MiddleButton) m_pWnd->OnMButtonUp(flags, m_ptCursor);
  AfterInput();
}

void CStmQtRenderWidget::mouseMoveEvent(QMouseEvent* event) {
  m_ptCursor = ToClient(event->position());
  emit CursorMoved(m_ptCursor);
  if (!m_pWnd || !Allowed(event)) return;
  CPoint pt = m_ptCursor;
  m_pWnd->OnMouseMove(MouseFlags(event->buttons(), event->modifiers()), pt);
  AfterInput();
}

void CStmQtRenderWidget::wheelEvent(QWheelEvent* event) {
  if (!m_pWnd || !Allowed(event)) return;
  // Qt counts a notch as 120, as the scene does.
  const short delta = static_cast<short>(event->angleDelta().y());
  if (delta == 0) return;
  m_ptCursor = ToClient(event->position());
  emit BeforeInput();
  m_pWnd->OnMouseWheel(MouseFlags(event->buttons(), event->modifiers()), delta, m_ptCursor);
  AfterInput();
}

void CStmQtRenderWidget::keyPressEvent(QKeyEvent* event) {
  const int vk = VirtualKey(event->key());
  // The filter sees every key: one the scene has no use for may still be a command's.
  if (!m_pWnd || !Allowed(event) || vk == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  emit BeforeInput();
  m_pWnd->OnKeyDown(static_cast<UINT>(vk), 1, 0);
  AfterInput();
}

bool CStmQtRenderWidget::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  const QString text = m_tooltip ? m_tooltip() : QString();
  if (text.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, this);
  }
  return true;
}
