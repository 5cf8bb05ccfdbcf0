// The docks around the drawing that show the model rather than a tool: Properties (a grid over
// the selection), the model tree, Results and History. Each works on the scene's manager; the
// window tells them when anything changed and hears from them when they changed something.
#pragma once

#include <QList>
#include <QObject>

class CStmModel;
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

signals:
  // A dock changed the model, the selection or the view: the window redraws and updates its title.
  void Changed();
  // The user chose a load case or combination (an index into the model's one list of cases) whose
  // results are to be shown; -1 for the model as put in.
  void ResultCaseChosen(int index);

private:
  CStmUbManager& m_manager;
  CStmModel& m_model;
  QList<QDockWidget*> m_docks;
  bool m_bEditable = true;
};
