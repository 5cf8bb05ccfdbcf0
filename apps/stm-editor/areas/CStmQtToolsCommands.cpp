#include "CStmQtToolsCommands.h"

#include <QApplication>
#include <QDockWidget>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QWheelEvent>
#include <stdexcept>

#include "CStmMainWindow.h"
#include "CStmQtDialog.h"
#include "CStmQtRenderWidget.h"
#include "CStmQtTemplateSettings.h"
#include "CStmQtUiHost.h"
#include "StmToolCommands.h"
#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgOffset.h"
#include "docks/StmQtText.h"

void CStmQtToolsCommands::AddCommands(CStmCommandTable& table) {
  std::vector<SStmCommand> commands =
      StmOutlineCommands(m_window.RenderWnd(), m_window.Model(), [this](long tool) { StartOutlineTool(tool); });
  for (SStmCommand& command : StmTemplateCommands(m_window.RenderWnd(), m_window.Model(),
                                                  [this](long tool) { m_window.RenderWnd().SetAction(tool, -1, 1); }))
    commands.push_back(std::move(command));
  for (SStmCommand& command : commands) {
    std::string error;
    // The table is the program's own; a clash is a mistake in it that must show at once.
    if (!table.Add(std::move(command), error)) throw std::logic_error("command table: " + error);
  }
}

void CStmQtToolsCommands::AddHandlers(Handlers& run) {
  run["draw.typedCoordinate"] = [this] {
    CStmUbManager& manager = m_window.Manager();
    // The angle, while the rotate tool waits for one; otherwise a point.
    if (CStmDlgAngle* angle = manager.GetDlgAngle(); angle && angle->IsWindowVisible()) {
      angle->SetFocus();
      angle->SetFocusId(CStmDlgAngle::IDC_ANGLE);
      angle->SetSel(CStmDlgAngle::IDC_ANGLE, 0, -1);
    } else if (CStmDlgCoord* coord = manager.GetDlgCoord(); coord && coord->IsWindowVisible()) {
      coord->StartTyping();
    }
  };
}

void CStmQtToolsCommands::StartOutlineTool(long tool) {
  m_window.RenderWnd().SetAction(tool, -1, 1);
  // A chain picked beforehand is used at once; otherwise the tool waits for the picks.
  if (m_window.RenderWnd().GetActionTypeCur() == tool) m_window.SetStatus(StmOutlinePrompt());
}

void CStmQtToolsCommands::AfterBuild() {
  // Below the view, so that what the tool asks for never hides the drawing.
  m_pDock = new QDockWidget(StmQtText("Tool input"), &m_window);
  m_pDock->setObjectName("dock.toolInput");
  m_pDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  auto* body = new QWidget(m_pDock);
  m_pLayout = new QHBoxLayout(body);
  m_pTemplates = new CStmQtTemplateSettings(body);
  connect(m_pTemplates, &CStmQtTemplateSettings::Refused, this,
          [this](const QString& reason) { m_window.SetStatus(CString(reason.toUtf8().constData())); });
  m_pLayout->addWidget(m_pTemplates);
  m_pLayout->addStretch(1);
  m_pDock->setWidget(body);
  m_window.addDockWidget(Qt::BottomDockWidgetArea, m_pDock);
  m_pDock->hide();
}

CStmQtToolsCommands::~CStmQtToolsCommands() { delete m_pDock; }

CStmQtDialog* CStmQtToolsCommands::ToolDialog(unsigned templateId) const {
  for (const auto& [dialog, widget] : m_dialogs)
    if (dialog->GetTemplateId() == templateId) return widget;
  return nullptr;
}

void CStmQtToolsCommands::Follow(CDialog* dialog) {
  if (!dialog || m_dialogs.count(dialog)) return;
  auto* widget = new CStmQtDialog(*dialog, m_pDock->widget(), true);
  widget->SetFollowFocus(true);
  // Letters never make a number: refused in the field, with a word on the status line. Values
  // out of the limits are the dialog's to refuse, with the limit named.
  for (QLineEdit* edit : widget->findChildren<QLineEdit*>()) {
    auto* validator = new QDoubleValidator(edit);
    validator->setLocale(QLocale::c());
    edit->setValidator(validator);
    connect(edit, &QLineEdit::inputRejected, this,
            [this] { m_window.SetStatus(StmText("Only a number is taken here")); });
  }
  connect(widget, &CStmQtDialog::Changed, this, [this] { m_window.AfterChange(); });
  widget->installEventFilter(this);
  m_pLayout->insertWidget(static_cast<int>(m_dialogs.size()), widget);
  m_dialogs[dialog] = widget;
}

bool CStmQtToolsCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel) return CStmQtCommandArea::eventFilter(watched, event);
  const auto* wheel = static_cast<QWheelEvent*>(event);
  for (const auto& [dialog, widget] : m_dialogs) {
    if (widget != watched || wheel->angleDelta().y() == 0) continue;
    // The pointer is off the view: the view's middle stays where it is.
    CStmQtRenderWidget* view = m_window.View();
    const CPoint middle(view->FramebufferWidth() / 2, view->FramebufferHeight() / 2);
    dialog->OnMouseWheel(0, static_cast<short>(wheel->angleDelta().y()), middle);
    m_window.AfterChange();
    return true;
  }
  return CStmQtCommandArea::eventFilter(watched, event);
}

void CStmQtToolsCommands::Refresh() {
  if (!m_pDock) return;
  CStmUbManager& manager = m_window.Manager();
  Follow(manager.GetDlgCoord());
  Follow(manager.GetDlgAngle());
  Follow(manager.GetDlgOffset());
  for (const auto& [dialog, widget] : m_dialogs) {
    // The dialog gave the keyboard back (a point taken, the tool gone): the view has it again.
    if (widget->isAncestorOf(QApplication::focusWidget()) && (CWnd::GetFocus() != dialog || !dialog->IsWindowVisible()))
      m_window.View()->setFocus(Qt::OtherFocusReason);
  }
  m_pTemplates->Follow(manager.GetAction(m_window.RenderWnd().GetActionTypeCur()));
  bool any = m_pTemplates->isVisibleTo(m_pDock);
  for (const auto& [dialog, widget] : m_dialogs) {
    widget->setVisible(dialog->IsWindowVisible());
    any = any || dialog->IsWindowVisible();
  }
  if (any != m_pDock->isVisibleTo(&m_window)) m_pDock->setVisible(any);
  // Now shown, a dialog can take the keyboard where the layer asks.
  for (const auto& [dialog, widget] : m_dialogs)
    if (dialog->IsWindowVisible()) widget->Refresh();
  // The area tool's outcome reaches only the main window.
  const auto& messages = m_window.Host().GetMessages();
  for (; m_nMessagesSeen < messages.size(); ++m_nMessagesSeen) {
    const CString outcome = StmOutlineOutcome(messages[m_nMessagesSeen].message, messages[m_nMessagesSeen].wParam,
                                              messages[m_nMessagesSeen].lParam);
    if (!outcome.IsEmpty()) m_window.SetStatus(outcome);
  }
}
