// The Draw menu's outline entries: the outer outline, opening and property area tools, which
// turn a closed chain of picked elements into an outline or an area when the right button
// confirms it.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "CStmCommandTable.h"

class CStmEditorUiHost;
class CStmModel;
class CStmUbRenderer;

class CStmEditorOutlineTools {
public:
  CStmEditorOutlineTools(CStmUbRenderer& wnd, CStmModel& model) : m_wnd(wnd), m_model(model) {}

  // The entries of the Draw menu, into the editor's command table; false with the reason when
  // the table refuses one.
  bool AddCommands(CStmCommandTable& table, std::string& error);
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
