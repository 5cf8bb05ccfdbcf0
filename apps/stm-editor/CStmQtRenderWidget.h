// The render window on screen in a Qt window: a widget that hands the scene its mouse and keys as
// client points in framebuffer pixels (y down), MK_* flags and virtual keys, over an OpenGL
// window of its own with a compatibility-profile context that the scene draws into through the
// surface interface. The GL window is a native child that takes no input: the widget gets it as
// any widget does (focus, tooltips, the cursor), while a frame is swapped to the screen for the
// view's area alone, not composed into the whole window as a GL widget would be.
// It draws only when asked: after input that changed the scene, or when the window calls
// RequestFrame() for a change of its own; every paint is counted.
#pragma once

#include <QImage>
#include <QSurfaceFormat>
#include <QWidget>
#include <functional>
#include <memory>

#include "host/framework/CUbSurface.h"
#include "host/platform/CRect.h"
#include "host/platform/WinDefs.h"

class CUbRenderWnd;
class QOpenGLWindow;

class CStmQtRenderWidget : public QWidget {
  Q_OBJECT
public:
  explicit CStmQtRenderWidget(QWidget* parent = nullptr);

  // The fixed-function pipeline the scene draws with needs the compatibility profile.
  static QSurfaceFormat CompatibilityFormat();

  // The surface the render window takes; it draws into this view and must not outlive it.
  std::unique_ptr<CUbSurface> CreateSurface();
  void SetRenderWnd(CUbRenderWnd* wnd) { m_pWnd = wnd; }
  // Runs before each input reaches the scene; false holds the input back (a running analysis
  // lets the view move, not edit).
  void SetInputFilter(std::function<bool(QEvent*)> filter) { m_filter = std::move(filter); }
  // The tooltip of what the cursor rests on, as rich text; empty for none.
  void SetTooltipText(std::function<QString()> text) { m_tooltip = std::move(text); }

  int GetPaintCount() const { return m_nPaints; }
  int FramebufferWidth() const;
  int FramebufferHeight() const;
  // A widget position as the scene counts it.
  CPoint ToClient(const QPointF& pos) const;
  CPoint GetLastCursor() const { return m_ptCursor; }

  // The virtual key of a Qt key, or 0 for one the scene has no use for.
  static int VirtualKey(int qtKey);
  static UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

  // Redraws when the scene says something changed.
  void UpdateIfInvalid();
  // A frame at the event loop's next turn.
  void RequestFrame();

  // The context is there once the view was first shown.
  bool IsValid() const;
  void makeCurrent();
  void doneCurrent();
  // The scene drawn afresh and read back, as the next frame would show it.
  QImage grabFramebuffer();
  // The window this view is in as it looks on screen: a grab of the widgets alone leaves the
  // view's area empty, as the GL window's pixels never reach them.
  QImage GrabWindow();

signals:
  // A press, a turn of the wheel or a key is about to reach the scene: a message on the status
  // line stands until the user does something else.
  void BeforeInput();
  // Input reached the scene: the window follows the history, the status and its commands.
  void SceneInput();
  // The cursor moved over the view, in client pixels.
  void CursorMoved(const CPoint& pt);
  // The scene is drawn into the back buffer; the swap comes next.
  void FramePainted();
  // The frame is on screen.
  void frameSwapped();

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // A resting cursor asks for its tooltip.
  bool event(QEvent* event) override;
  // Tab types a coordinate in the view; it must not move the focus away.
  bool focusNextPrevChild(bool) override { return false; }

private:
  bool Allowed(QEvent* event) const { return !m_filter || m_filter(event); }
  void AfterInput();

  QOpenGLWindow* m_pWindow = nullptr;
  CUbRenderWnd* m_pWnd = nullptr;
  std::function<bool(QEvent*)> m_filter;
  std::function<QString()> m_tooltip;
  int m_nPaints = 0;
  bool m_bFramePending = false;
  CPoint m_ptCursor;
  // Buttons whose press the scene had: only their release goes to it.
  Qt::MouseButtons m_sceneButtons;
};
