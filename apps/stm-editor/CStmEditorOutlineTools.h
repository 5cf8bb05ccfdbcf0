// The Draw menu's outline entries: the outer outline, opening and property area tools, which
// turn a closed chain of picked elements into an outline or an area when the right button
// confirms it.
#pragma once

#include <deque>
#include <functional>
#include <string>

class CStmEditorUiHost;
class CStmModel;
class CStmUbRenderer;

class CStmEditorOutlineTools {
public:
  using NoteItemFn = std::function<void(const std::string& name, bool enabled)>;

  CStmEditorOutlineTools(CStmUbRenderer& wnd, CStmModel& model) : m_wnd(wnd), m_model(model) {}

  // Inside the menu bar: the entries, in a Draw menu of their own or appended to the one there.
  void DrawMenu(bool idle, const NoteItemFn& note);
  // After the frame: starts the tool chosen, and words the outcome that only the main window
  // hears of.
  void Run(CStmEditorUiHost& host);

private:
  CStmUbRenderer& m_wnd;
  CStmModel& m_model;
  std::deque<long> m_tools;
  // How many messages to the main window have been looked at.
  size_t m_nMessagesSeen = 0;
};
