// Which commands sit on the toolbars, once for every front end: a toolbar per menu the user
// already knows, in the menu's order, holding what is worth one click.
#pragma once

#include <string>
#include <vector>

struct SStmToolbar {
  // A catalogue id, the menu's name where there is one.
  const char* name;
  // Ids of the command table.
  std::vector<std::string> commands;
};

const std::vector<SStmToolbar>& StmToolbars();

// Every toolbar command has an icon named after it, in the editor's resources.
std::string StmCommandIcon(const std::string& commandId);
