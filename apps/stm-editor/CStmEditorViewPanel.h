// The view control panel in the editor: View > Control panel shows or hides it, docked against
// the right edge of the view, where it follows the model on screen.
#pragma once

#include <string>

#include "CStmEditorDialogView.h"

class CStmUbManager;

class CStmEditorViewPanel {
public:
  using NoteItemFn = CStmEditorDialogView::NoteItemFn;

  explicit CStmEditorViewPanel(CStmUbManager& manager) : m_manager(manager) {}

  // Inside the View menu: the entry that shows or hides the panel.
  void DrawMenuItem(const NoteItemFn& note);
  // Inside an overlay frame: the panel while it is shown, clear of the overlay's bars.
  void Draw(float barTop, float barBottom, const NoteItemFn& note);
  // After the frame: shows or hides the panel as asked, and hands it what the user did there.
  void Run();
  // A key pressed in the window; true when the panel holds the keyboard and took it.
  bool OnKey(int glfwKey) { return m_view.OnKey(glfwKey); }
  std::string Describe() const { return m_view.Describe(); }

private:
  bool IsShown() const;

  CStmUbManager& m_manager;
  CStmEditorDialogView m_view;
  bool m_bToggle = false;
};
