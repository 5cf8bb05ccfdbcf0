// The floating dialogs of the scene's drawing tools (coordinates, angle, offset), drawn beside the
// view, and the prompt of the tool that runs.
#pragma once

#include <functional>
#include <string>

#include "CStmEditorDialogView.h"

class CStmUbManager;

class CStmEditorDrawTools {
public:
  using NoteItemFn = CStmEditorDialogView::NoteItemFn;

  explicit CStmEditorDrawTools(CStmUbManager& manager) : m_manager(manager) {}

  // Inside an overlay frame: the tools' dialogs that are shown, clear of the overlay's bars.
  void DrawDialogs(float barTop, float barBottom, const NoteItemFn& note);
  // After the frame: hands the dialogs what the user did there.
  void Run();
  // A key pressed in the window while no modal window is up; true when a dialog of the tools
  // that holds the keyboard took it.
  bool OnKey(int glfwKey);
  // The dialogs shown and what their edits hold, for the idle report.
  std::string Describe() const { return m_dialogs.Describe(); }

private:
  CStmUbManager& m_manager;
  CStmEditorDialogView m_dialogs;
};
