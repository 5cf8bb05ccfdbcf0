// The editor's Properties panel, docked at the right edge: what the selection's properties
// state holds, drawn as fields, choices and the load cases, with the edits asked for kept
// until the frame is over.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "manager/CStmSelectionProperties.h"

class CStmEditorProperties {
public:
  using NoteItemFn = std::function<void(const std::string& name, bool enabled)>;

  explicit CStmEditorProperties(CStmUbManager& manager) : m_state(manager) {}

  bool IsOpen() const { return m_bOpen; }
  void Toggle() { m_bOpen = !m_bOpen; }
  // Inside an overlay frame; true when the user asked for an edit, which ApplyPending runs
  // once the frame is over (an edit may ask the user, which runs frames of its own).
  bool Draw(const NoteItemFn& noteItem, bool editable);
  void ApplyPending();

private:
  // A typed value: shows the state's text until the user types, and asks for the edit on
  // Enter or when the field loses the focus after a change.
  void Field(const std::string& name, const CString& label, const CStmSelectionProperties::SValue& value,
             const std::function<void(const CString&)>& edit);
  // A drop list of choices; kMixed shows as "mixed", a value outside them as none (or "other").
  void Choice(const std::string& name, const CString& label, int current, const std::vector<std::string>& choices,
              int first, const std::function<void(int)>& edit, const std::string& none = std::string());
  void DrawNodes();
  void DrawElements();
  void DrawCases();
  // The model's materials and design code, whatever is selected.
  void DrawModel();

  CStmSelectionProperties m_state;
  bool m_bOpen = false;
  const NoteItemFn* m_pNote = nullptr;
  std::vector<std::function<void()>> m_arPending;
  // The text of each field, by name, and the fields the user is typing in.
  std::map<std::string, std::string> m_mapBuffer;
  std::set<std::string> m_setActive;
  // The fields left by Enter, whose edit has been asked for already.
  std::set<std::string> m_setEntered;
  // The name typed for a new load case or combination.
  CString m_strNewName;
};
