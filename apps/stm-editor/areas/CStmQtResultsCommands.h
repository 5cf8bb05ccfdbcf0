// Analysis and the load path beside the view, the case shown, the input model.
#pragma once

#include <QString>
#include <memory>

#include "CStmQtCommandArea.h"
#include "host/platform/CString.h"

class CStmEditorResults;
class QAction;
class QEvent;
class QLabel;
class QMenu;
class QTimer;

class CStmQtResultsCommands : public CStmQtCommandArea {
  Q_OBJECT
public:
  explicit CStmQtResultsCommands(CStmMainWindow& window);
  // A computation still running stops before the model it reads goes.
  ~CStmQtResultsCommands() override;

  void AddHandlers(Handlers& run) override;
  void AfterBuild() override;
  void Refresh() override;
  // The load path runs: the model can be looked at, not changed.
  bool IsBusy() const;
  // The analysis or the load path runs.
  bool IsComputing() const;
  // The results are hidden so that the model can be seen as put in.
  bool IsInputModelShown() const;
  // What stands on the status line while nothing else is said: the load path's progress, or
  // empty when nothing runs.
  CString Progress() const;
  // The window closes: what runs stops at once and leaves the model as it was.
  void Stop();
  // The case whose results are shown, as the view's caption says it; empty without results.
  QString Caption() const;
  // The Results menu's entries for the load cases and combinations, in the dock's order.
  QList<QAction*> CaseActions() const { return m_caseActions; }

private:
  // Runs from the timer while something is computed; the view and the window follow the answer.
  void Poll();
  void StartPolling();
  // A load case or combination by its index in the model's one list; -1 for the model as put in.
  void ShowCase(int index);
  // While something is computed the view moves but takes no edit; Esc cancels the load path.
  bool AllowInput(QEvent* event);
  void FillCaseMenu();

  std::unique_ptr<CStmEditorResults> m_pResults;
  QTimer* m_pPoll = nullptr;
  QLabel* m_pCaption = nullptr;
  QMenu* m_pResultsMenu = nullptr;
  QAction* m_pCaseSeparator = nullptr;
  QList<QAction*> m_caseActions;
  // The docks take no edit while something is computed.
  bool m_bDocksEditable = true;
};
