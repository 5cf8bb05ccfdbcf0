// One area of the editor's commands (files, results, tools): it adds the commands only it
// declares, gives handlers to the shared commands it runs, and finds its menus, toolbars and
// keys once the window has built them. Each area is a child of the main window and goes before
// the model and the scene do.
#pragma once

#include <QObject>
#include <functional>
#include <map>
#include <string>

class CStmCommandTable;
class CStmMainWindow;

class CStmQtCommandArea : public QObject {
  Q_OBJECT
public:
  using Handlers = std::map<std::string, std::function<void()>>;

  explicit CStmQtCommandArea(CStmMainWindow& window);

  // Commands of the area's own, added after the shared ones (so after them in their menus).
  virtual void AddCommands(CStmCommandTable& table);
  // Handlers for the shared commands (StmEditorCommands) that this area runs.
  virtual void AddHandlers(Handlers& run) = 0;
  // The menus, toolbars, docks and status bar exist now.
  virtual void AfterBuild() {}
  // At the end of every AfterChange of the window: the area's widgets follow the model, the
  // scene and the tool running (a tool's dialog shown or hidden, the results' caption).
  virtual void Refresh() {}

protected:
  CStmMainWindow& m_window;
};
