// The editor's Draw menu: the node, element and guideline tools, typed coordinates through the
// coordinate dialog, the snap modes, orthogonal drawing and the length prompt; and the floating
// dialogs of the scene's tools, drawn beside the view.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "CStmCommandTable.h"
#include "CStmEditorDialogView.h"
#include "host/platform/CString.h"

class CStmUbManager;
class CStmUbRenderer;
class CStmModel;

class CStmEditorDrawTools {
public:
  using NoteItemFn = CStmEditorDialogView::NoteItemFn;

  CStmEditorDrawTools(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model)
      : m_manager(manager), m_wnd(wnd), m_model(model) {}

  // The Draw menu's entries into the editor's command table: the tools with their keys first,
  // the snap modes after; the editor puts orthogonal drawing between them. False with the
  // reason when the table refuses one.
  bool AddToolCommands(CStmCommandTable& table, std::string& error);
  bool AddSnapCommands(CStmCommandTable& table, std::string& error);
  // Inside an overlay frame: the tools' dialogs that are shown, clear of the overlay's bars.
  void DrawDialogs(float barTop, float barBottom, const NoteItemFn& note);
  // After the frame: runs the commands chosen and hands the dialogs what the user did there.
  void Run();
  // A key pressed in the window while no modal window is up; true when a dialog of the tools
  // that holds the keyboard took it.
  bool OnKey(int glfwKey);
  // What the running drawing tool waits for; empty when none runs.
  CString Prompt() const;
  // The dialogs shown and what their edits hold, for the idle report.
  std::string Describe() const { return m_dialogs.Describe(); }

private:
  enum class ECommand { kNode, kElement, kGuideline, kTypedCoordinate, kAskLength, kSnap };
  struct SCommand {
    ECommand command;
    long snapBit;
  };

  void RunCommand(const SCommand& command);
  // The tools snap to grid points, so while one runs the grid follows the view: laid again
  // whenever the view or the model's grid has changed since it was laid.
  void FollowGrid();
  // Starts a drawing tool, unless the model is locked.
  void StartTool(long id);

  CStmUbManager& m_manager;
  CStmUbRenderer& m_wnd;
  CStmModel& m_model;
  CStmEditorDialogView m_dialogs;
  std::deque<SCommand> m_commands;
  // What the grid was last laid for: view, scale, centre, size, spacing and origin.
  std::vector<double> m_arGridFor;
};
