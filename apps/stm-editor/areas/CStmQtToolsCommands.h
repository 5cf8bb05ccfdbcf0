// The tools' own dialogs (typed coordinates, angle, offset) and the template settings in a dock
// below the view, shown while their tool runs; the template and outline tools as commands.
#pragma once

#include <map>

#include "CStmQtCommandArea.h"

class CDialog;
class CStmQtDialog;
class CStmQtTemplateSettings;
class QDockWidget;
class QHBoxLayout;
class QWidget;

class CStmQtToolsCommands : public CStmQtCommandArea {
  Q_OBJECT
public:
  using CStmQtCommandArea::CStmQtCommandArea;
  // The dialogs' forms go with the area, before the manager's dialogs they show.
  ~CStmQtToolsCommands() override;

  void AddCommands(CStmCommandTable& table) override;
  void AddHandlers(Handlers& run) override;
  void AfterBuild() override;
  void Refresh() override;

  // The dock below the view that holds what the running tool asks for.
  QDockWidget* InputDock() const { return m_pDock; }
  // The Qt form of a tool's dialog by its template id (4001 coordinates, 4005 angle, 4007
  // offset); null before the tool first showed it.
  CStmQtDialog* ToolDialog(unsigned templateId) const;
  CStmQtTemplateSettings* TemplateSettings() const { return m_pTemplates; }

protected:
  // The wheel over a tool's dialog zooms the view, as it does over the view.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // The Qt form of a dialog of the manager's, made when the manager first makes the dialog.
  void Follow(CDialog* dialog);
  void StartOutlineTool(long tool);

  QDockWidget* m_pDock = nullptr;
  QHBoxLayout* m_pLayout = nullptr;
  CStmQtTemplateSettings* m_pTemplates = nullptr;
  std::map<CDialog*, CStmQtDialog*> m_dialogs;
  // How many messages to the main window have been looked at.
  size_t m_nMessagesSeen = 0;
};
