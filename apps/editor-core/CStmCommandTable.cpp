#include "CStmCommandTable.h"

bool CStmCommandTable::Add(SStmCommand command, std::string& error) {
  if (command.id.empty() || !command.run) {
    error = "a command needs an id and a handler";
    return false;
  }
  if (Find(command.id)) {
    error = "the command \"" + command.id + "\" is there already";
    return false;
  }
  SStmKeyChord chord;
  if (!command.key.empty()) {
    if (!StmParseKeyChord(command.key, chord, error)) return false;
    if (const SStmCommand* other = FindByKey(chord)) {
      error = command.key + " belongs to \"" + other->id + "\" already";
      return false;
    }
    // Menus show the key one way whatever way it was written.
    command.key = StmFormatKeyChord(chord);
  }
  m_commands.push_back(std::move(command));
  m_chords.push_back(chord);
  return true;
}

const SStmCommand* CStmCommandTable::Find(const std::string& id) const {
  for (const SStmCommand& command : m_commands)
    if (command.id == id) return &command;
  return nullptr;
}

const SStmCommand* CStmCommandTable::FindByKey(const SStmKeyChord& chord) const {
  if (chord.IsNone()) return nullptr;
  for (size_t i = 0; i < m_chords.size(); ++i)
    if (m_chords[i] == chord) return &m_commands[i];
  return nullptr;
}

std::vector<const SStmCommand*> CStmCommandTable::InMenu(const std::string& menu) const {
  std::vector<const SStmCommand*> entries;
  for (const SStmCommand& command : m_commands)
    for (const std::string& in : command.menus)
      if (in == menu) entries.push_back(&command);
  return entries;
}

bool CStmCommandTable::Run(const std::string& id) const {
  const SStmCommand* command = Find(id);
  if (!command || !IsEnabled(*command)) return false;
  command->run();
  return true;
}

bool CStmCommandTable::RunKey(const SStmKeyChord& chord) const {
  const SStmCommand* command = FindByKey(chord);
  if (!command) return false;
  command->run();
  return true;
}

std::vector<StmKeyRow> CStmCommandTable::KeyList(const std::vector<StmKeyRow>& before) const {
  std::vector<StmKeyRow> rows = before;
  const size_t first = rows.size();
  for (const SStmCommand& command : m_commands) {
    if (command.key.empty() || command.help.empty()) continue;
    if (rows.size() > first && rows.back().second == command.help) rows.back().first += " / " + command.key;
    else rows.emplace_back(command.key, command.help);
  }
  return rows;
}
