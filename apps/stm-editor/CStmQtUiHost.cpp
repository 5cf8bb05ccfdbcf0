#include "CStmQtUiHost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "CStmQtDialog.h"
#include "StmMessageBoxAnswer.h"
#include "host/platform/CDialog.h"

namespace {

QString ToQt(const CString& text) { return QString::fromUtf8(text.c_str()); }

}  // namespace

CStmQtUiHost::CStmQtUiHost(QWidget& window, QWidget& view, std::function<CPoint()> cursor)
    : m_window(window), m_view(view), m_cursor(std::move(cursor)) {
  SetUiHost(this);
}

CStmQtUiHost::~CStmQtUiHost() {
  if (&GetUiHost() == this) SetUiHost(nullptr);
}

int CStmQtUiHost::MessageBox(const CString& text, const CString& caption, UINT type) {
  QMessageBox box(&m_window);
  box.setObjectName("stmMessageBox");
  box.setWindowTitle(caption.IsEmpty() ? QString("stm-editor") : ToQt(caption));
  box.setText(ToQt(text));
  switch (type & 0xF0u) {
    case MB_ICONSTOP:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONWARNING:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  const UINT buttons = type & 0x0Fu;
  std::map<QAbstractButton*, int> answers;
  const auto add = [&](QMessageBox::StandardButton button, int answer) { answers[box.addButton(button)] = answer; };
  switch (buttons) {
    case MB_OKCANCEL:
      add(QMessageBox::Ok, IDOK);
      add(QMessageBox::Cancel, IDCANCEL);
      break;
    case MB_YESNOCANCEL:
      add(QMessageBox::Yes, IDYES);
      add(QMessageBox::No, IDNO);
      add(QMessageBox::Cancel, IDCANCEL);
      break;
    case MB_YESNO:
      add(QMessageBox::Yes, IDYES);
      add(QMessageBox::No, IDNO);
      break;
    default:
      add(QMessageBox::Ok, IDOK);
      break;
  }
  ++m_nModal;
  box.exec();
  --m_nModal;
  const auto found = answers.find(box.clickedButton());
  return found == answers.end() ? StmSafeMessageBoxAnswer(buttons) : found->second;
}

int CStmQtUiHost::RunModal(CDialog& dialog) {
  dialog.EndDialog(0);
  CStmQtDialog window(dialog, &m_window);
  ++m_nModal;
  const int result = window.exec();
  --m_nModal;
  // Closed by the window's own close box: as Cancel.
  return result == QDialog::Rejected && dialog.GetResult() == 0 ? IDCANCEL : result;
}

LRESULT CStmQtUiHost::SendToMainWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  m_messages.push_back({message, wParam, lParam});
  return 0;
}

void CStmQtUiHost::SetStatusText(const CString& text) {
  if (text == m_strStatus) return;
  m_strStatus = text;
  emit StatusChanged(ToQt(text));
}

void CStmQtUiHost::SetCursor(int cursorId) {
  switch (cursorId) {
    case IDC_CROSS:
      m_view.setCursor(Qt::CrossCursor);
      break;
    case IDC_SIZEALL:
      m_view.setCursor(Qt::SizeAllCursor);
      break;
    case IDC_NONE:
      // The scene draws its own cross hair.
      m_view.setCursor(Qt::BlankCursor);
      break;
    default:
      m_view.setCursor(Qt::ArrowCursor);
      break;
  }
}

short CStmQtUiHost::GetKeyState(int virtualKey) {
  const Qt::KeyboardModifiers modifiers = QApplication::queryKeyboardModifiers();
  const Qt::MouseButtons buttons = QApplication::mouseButtons();
  bool down = false;
  switch (virtualKey) {
    case VK_SHIFT:
      down = modifiers & Qt::ShiftModifier;
      break;
    case VK_CONTROL:
      down = modifiers & Qt::ControlModifier;
      break;
    case VK_MENU:
      down = modifiers & Qt::AltModifier;
      break;
    case 0x01:  // VK_LBUTTON
      down = buttons & Qt::LeftButton;
      break;
    case 0x02:  // VK_RBUTTON
      down = buttons & Qt::RightButton;
      break;
    case 0x04:  // VK_MBUTTON
      down = buttons & Qt::MiddleButton;
      break;
    default:
      break;
  }
  return down ? static_cast<short>(0x8000) : 0;
}

void CStmQtUiHost::SetTimer(UINT id, UINT milliseconds) {
  QTimer*& timer = m_timers[id];
  if (!timer) {
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] {
      // Timers wait while a box or a dialog holds the input, as the scene does.
      if (m_nModal == 0) emit TimerDue(id);
    });
  }
  timer->start(static_cast<int>(milliseconds));
}

void CStmQtUiHost::KillTimer(UINT id) {
  const auto found = m_timers.find(id);
  if (found != m_timers.end()) found->second->stop();
}
