#include "CStmQtRenderWidget.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>
#include <utility>

#include "host/framework/CUbRenderWnd.h"

namespace {

// Drawing goes into the widget's framebuffer, which Qt shows with the window: nothing to swap.
class CQtWidgetSurface final : public CUbSurface {
public:
  explicit CQtWidgetSurface(CStmQtRenderWidget& widget) : m_widget(widget) {}
  bool MakeCurrent() override {
    if (!m_widget.context() || !m_widget.isValid()) return false;
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

const std::pair<int, int> kKeys[] = {
    {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Backspace, VK_BACK},
    {Qt::Key_Tab, VK_TAB},       {Qt::Key_Return, VK_RETURN}, {Qt::Key_Enter, VK_RETURN},
    {Qt::Key_Left, VK_LEFT},     {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Up, VK_UP},
    {Qt::Key_Down, VK_DOWN},     {Qt::Key_Home, VK_HOME},     {Qt::Key_End, VK_END},
    {Qt::Key_F8, VK_F8},         {Qt::Key_Shift, VK_SHIFT},   {Qt::Key_Control, VK_CONTROL},
    {Qt::Key_Alt, VK_MENU},
};

}  // namespace

CStmQtRenderWidget::CStmQtRenderWidget(QWidget* parent) : QOpenGLWidget(parent) {
  setFormat(CompatibilityFormat());
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // The widget's own update behaviour already keeps the last frame until the next paint.
  setUpdateBehavior(QOpenGLWidget::NoPartialUpdate);
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

void CStmQtRenderWidget::initializeGL() {
  // Lists and the background compiled in a context that went away are gone with it.
  if (m_pWnd) m_pWnd->InvalidateAllWnd();
}

void CStmQtRenderWidget::paintGL() {
  ++m_nPaints;
  if (m_pWnd) m_pWnd->Render();
}

void CStmQtRenderWidget::UpdateIfInvalid() {
  if (m_pWnd && m_pWnd->IsInvalid()) update();
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
    QOpenGLWidget::keyPressEvent(event);
    return;
  }
  emit BeforeInput();
  m_pWnd->OnKeyDown(static_cast<UINT>(vk), 1, 0);
  AfterInput();
}

bool CStmQtRenderWidget::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QOpenGLWidget::event(event);
  const QString text = m_tooltip ? m_tooltip() : QString();
  if (text.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, this);
  }
  return true;
}
