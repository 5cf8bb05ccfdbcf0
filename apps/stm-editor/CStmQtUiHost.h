// What the layer asks of the window system, on Qt: message boxes as QMessageBox, the layer's
// dialogs as Qt dialogs built from their control tables, the status line, the cursor shape over
// the view, key state and timers. Installs itself as the host in force for its lifetime.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "host/platform/CUiHost.h"

class QTimer;
class QWidget;

class CStmQtUiHost : public QObject, public CUiHost {
  Q_OBJECT
public:
  struct SMessage { UINT message; WPARAM wParam; LPARAM lParam; };

  // window: the parent of boxes and dialogs; view: the widget whose cursor the scene sets;
  // cursor: where the scene's input last fell, in its client pixels.
  CStmQtUiHost(QWidget& window, QWidget& view, std::function<CPoint()> cursor);
  ~CStmQtUiHost() override;

  int MessageBox(const CString& text, const CString& caption, UINT type) override;
  int RunModal(CDialog& dialog) override;
  LRESULT SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) override;
  void SetStatusText(const CString& text) override;
  void SetCursor(int cursorId) override;
  short GetKeyState(int virtualKey) override;
  CPoint GetCursorPos() override { return m_cursor(); }
  void SetTimer(UINT id, UINT milliseconds) override;
  void KillTimer(UINT id) override;

  const CString& GetStatusText() const { return m_strStatus; }
  const std::vector<SMessage>& GetMessages() const { return m_messages; }
  // Whether a box or a dialog of the layer is up.
  bool IsModal() const { return m_nModal > 0; }

signals:
  void StatusChanged(const QString& text);
  // A timer of the layer is due (the hover pick, ...).
  void TimerDue(unsigned id);

private:
  QWidget& m_window;
  QWidget& m_view;
  std::function<CPoint()> m_cursor;
  CString m_strStatus;
  std::map<UINT, QTimer*> m_timers;
  std::vector<SMessage> m_messages;
  int m_nModal = 0;
};
