// The desktop editor's main window: the render window in the middle; menus, toolbars and the
// keys drawn from the one command table; a status bar with the cursor's model point, the snap
// modes, the selection count and the last message; docks around; autosave and the question
// about unsaved changes on close.
#pragma once

#include <QMainWindow>
#include <QString>
#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "CStmAutosave.h"
#include "CStmCommandTable.h"
#include "CStmEditorActions.h"
#include "StmEditorCommandLine.h"
#include "host/model/CStmModel.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

class CStmQtDialog;
class CStmQtDocks;
class CStmQtFileCommands;
class CStmQtResultsCommands;
class CStmQtToolsCommands;
class CStmQtRenderWidget;
class CStmQtUiHost;
class QAction;
class QLabel;
class QTimer;
class QToolBar;

class CStmMainWindow : public QMainWindow {
  Q_OBJECT
public:
  // frames, with a screenshot: the frames to draw before the window is written out and closed.
  struct SOptions : SStmEditorCommandLine {
    // How long a change may stay out of the recovery file.
    std::chrono::milliseconds autosave = std::chrono::minutes(1);
  };

  explicit CStmMainWindow(const SOptions& options, QWidget* parent = nullptr);
  ~CStmMainWindow() override;

  // Loads the model given (false with the message when it cannot be read), then offers a
  // recovery copy left by a session that did not end cleanly.
  bool Open(std::string& error);
  // The window is shown: the recovery copy, if any, is offered (Open it / Discard).
  void OfferRecovery();

  // The editor's settings folder: $XDG_CONFIG_HOME/stm-editor (or ~/.config/stm-editor).
  static QString SettingsDir();

  CStmModel& Model() { return m_model; }
  CStmUbManager& Manager() { return m_manager; }
  CStmUbRenderer& RenderWnd() { return m_wnd; }
  CStmQtRenderWidget* View() const { return m_pView; }
  CStmEditorActions& Actions() { return m_actions; }
  QAction* Action(const std::string& id) const;
  QToolBar* ToolBar(const QString& name) const;
  QString StatusMessage() const;
  int PaintCount() const;
  CStmQtUiHost& Host() { return *m_pHost; }
  CStmQtDocks* Docks() const { return m_pDocks; }
  CStmCommandTable& Table() { return m_table; }
  CStmQtFileCommands& FileCommands() { return *m_pFile; }
  CStmQtResultsCommands& ResultsCommands() { return *m_pResults; }
  CStmQtToolsCommands& ToolsCommands() { return *m_pTools; }
  // After anything that may have changed the model, the selection or the view: the history,
  // the title, the commands' states, the status bar and the docks follow, and the view redraws
  // if the scene asks.
  void AfterChange();
  // Shows a message on the status line until the user does something else.
  void SetStatus(const CString& text);

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void BuildCommands();
  void BuildMenus();
  void BuildToolBars();
  void BuildStatusBar();
  // The view control panel as a dock, built from its control table like every dialog.
  void BuildViewPanel();
  void RefreshActions();
  void UpdateWhere();
  // A message stands until the user does something else; a drawing tool's prompt then.
  QString IdleStatus();
  // What the scene's hover pick rests on, as the entity's tooltip table in the model's units.
  QString HoverTooltip() const;
  bool AskSavePath(std::string& path);
  void OpenModel();
  void AutosaveTick();
  void RestoreLayout();
  void SaveLayout();
  void TakeScreenshot();

  SOptions m_options;
  // The host outlives the scene, which may speak to it as it goes.
  std::unique_ptr<CStmQtUiHost> m_pHost;
  CStmModel m_model;
  CStmUbManager m_manager;
  CStmUbRenderer m_wnd;
  CStmEditorActions m_actions{m_manager, m_wnd, m_model};
  CStmCommandTable m_table;
  std::map<std::string, QAction*> m_actionsById;
  std::map<QString, QToolBar*> m_toolBars;
  CStmQtRenderWidget* m_pView = nullptr;
  CStmQtDocks* m_pDocks = nullptr;
  // The areas of commands; children of the window, deleted before the model and the scene.
  CStmQtFileCommands* m_pFile = nullptr;
  CStmQtResultsCommands* m_pResults = nullptr;
  CStmQtToolsCommands* m_pTools = nullptr;
  QLabel* m_pWhere = nullptr;
  QLabel* m_pSelected = nullptr;
  QLabel* m_pMessage = nullptr;
  QAction* m_pGridAction = nullptr;
  CStmQtDialog* m_pViewPanel = nullptr;
  CStmAutosave m_autosave;
  QTimer* m_pAutosaveTimer = nullptr;
};
