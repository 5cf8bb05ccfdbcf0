// The docks around the drawing that show the model rather than a tool: Properties (a grid over
// the selection), the model tree, Results and History. Each works on the scene's manager; the
// window tells them when anything changed and hears from them when they changed something.
#pragma once

#include <QList>
#include <QObject>

class CStmModel;
class CStmQtHistoryList;
class CStmQtModelTree;
class CStmQtPropertyGrid;
class CStmQtResultsPanel;
class CStmUbManager;
class QDockWidget;
class QMainWindow;

class CStmQtDocks : public QObject {
  Q_OBJECT
public:
  // Adds the docks to the window, each with an object name so that a saved layout finds it.
  CStmQtDocks(QMainWindow& window, CStmUbManager& manager, CStmModel& model);
  ~CStmQtDocks() override;

  QList<QDockWidget*> Docks() const { return m_docks; }
  // After a gesture, an undo step, a file opened or an analysis: every dock shows the model anew.
  void Refresh();
  // A running analysis holds edits off: the docks show, but change nothing.
  void SetEditable(bool editable);

  CStmQtPropertyGrid* GetProperties() const { return m_pProperties; }
  CStmQtHistoryList* GetHistory() const { return m_pHistory; }
  CStmQtModelTree* GetModelTree() const { return m_pTree; }
  CStmQtResultsPanel* GetResults() const { return m_pResults; }

signals:
  // A dock changed the model, the selection or the view: the window redraws and updates its title.
  void Changed();
  // The user chose a load case or combination (an index into the model's one list of cases) whose
  // results are to be shown; -1 for the model as put in.
  void ResultCaseChosen(int index);
  // The History dock undid or redid steps: the undo history now stands this deep, so the window's
  // modified state moves along it rather than counting a new step.
  void HistoryMoved(int depth);

private:
  CStmUbManager& m_manager;
  CStmModel& m_model;
  QDockWidget* AddDock(QMainWindow& window, const char* name, const char* title, QWidget* content,
                       Qt::DockWidgetArea area);

  QList<QDockWidget*> m_docks;
  CStmQtPropertyGrid* m_pProperties = nullptr;
  CStmQtHistoryList* m_pHistory = nullptr;
  CStmQtModelTree* m_pTree = nullptr;
  CStmQtResultsPanel* m_pResults = nullptr;
  bool m_bEditable = true;
};
