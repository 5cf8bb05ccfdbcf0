// Every user command of the editor, declared once: the menus, the key handling and the key list
// are all drawn from this table, so that a key shown in a menu is the key that runs it.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "StmKeyChord.h"

struct SStmCommand {
  // A stable name ("edit.cut") that front ends and tests refer to.
  std::string id;
  // Catalogue ids: the menu entry, the menus it sits in (none: reached by its key only) and
  // what the key list says of its key (empty: not listed).
  std::string label;
  std::vector<std::string> menus;
  std::string help;
  // As a user reads it: "Ctrl+S", "F5", "Delete", "M"; empty for none.
  std::string key;
  // Shown in the menu beside an entry whose key the view itself handles ("Esc", "Tab").
  std::string hint;
  // Null: always enabled, never checked.
  std::function<bool()> enabled;
  std::function<bool()> checked;
  std::function<void()> run;
  // A line above the entry in its menu.
  bool separatorBefore = false;
};

// One row of the key list: the keys and what they do, both catalogue ids.
using StmKeyRow = std::pair<std::string, std::string>;

class CStmCommandTable {
public:
  // Refuses, with the reason and the table unchanged, a command without an id or handler, an id
  // already there, key text that names no key, and a key another command already has.
  bool Add(SStmCommand command, std::string& error);

  const SStmCommand* Find(const std::string& id) const;
  const SStmCommand* FindByKey(const SStmKeyChord& chord) const;
  // The commands of one menu in the order they were added.
  std::vector<const SStmCommand*> InMenu(const std::string& menu) const;
  const std::vector<SStmCommand>& GetAll() const { return m_commands; }

  static bool IsEnabled(const SStmCommand& command) { return !command.enabled || command.enabled(); }
  static bool IsChecked(const SStmCommand& command) { return command.checked && command.checked(); }

  // Runs the command when it is enabled; false when it is not (or there is no such command).
  bool Run(const std::string& id) const;
  // Runs the command that has the key, enabled or not: its handler tells the user why nothing
  // happens, which a greyed menu entry shows by itself; and a key never falls through to
  // something else. False when no command has the key.
  bool RunKey(const SStmKeyChord& chord) const;
  // What the menu shows beside the entry: its key, or the hint.
  static const std::string& KeyText(const SStmCommand& command) {
    return command.key.empty() ? command.hint : command.key;
  }

  // The key list: the rows given first (mouse and keys no command owns), then each command
  // with a key and a help text, in table order; commands in a row that share one help text
  // ("undo / redo") share one row, so the list stays short enough to leave the view free.
  std::vector<StmKeyRow> KeyList(const std::vector<StmKeyRow>& before) const;

private:
  std::vector<SStmCommand> m_commands;
  std::vector<SStmKeyChord> m_chords;  // parallel to m_commands
};

// Whether the model differs from its file, followed through the undo history: undo and redo
// move along it, a new step after an undo cuts the saved state off for good.
class CStmModifiedState {
public:
  // The model was just opened, made or saved with this many undo steps behind it.
  void MarkSaved(int depth) { m_nSaved = m_nSeen = depth; }
  // Undo or redo moved along the history to this depth.
  void Moved(int depth) { m_nSeen = depth; }
  // After any other command: a deeper history than seen is a new step.
  void Follow(int depth) {
    if (depth > m_nSeen && m_nSaved > m_nSeen) m_nSaved = -1;
    m_nSeen = depth;
  }
  bool IsModified() const { return m_nSeen != m_nSaved; }

private:
  int m_nSaved = 0;
  int m_nSeen = 0;
};
