// The editor's commands as every front end declares them: id, label, menus, key, help and the
// tests for enabled and checked, from the scene and the model. Handlers are each front end's
// own: it fills in `run` by id and leaves out what it does not offer.
#pragma once

#include <functional>
#include <vector>

#include "CStmCommandTable.h"

class CStmModel;
class CStmUbManager;
class CStmUbRenderer;

// What the front end knows beyond the scene: whether a computation holds edits off (busy), and
// whether results are on screen that can be hidden.
struct SStmEditorCommandState {
  std::function<bool()> busy;
  std::function<bool()> inputModelShown;
};

std::vector<SStmCommand> StmEditorCommands(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model,
                                           const SStmEditorCommandState& state);

// The snap modes a user turns on and off, with the manager's bit of each.
struct SStmSnapMode {
  const char* id;
  const char* label;
  long bit;
};
const std::vector<SStmSnapMode>& StmSnapModes();

// What the mouse and the view's own keys do, first in the key list; every command's key follows
// from the table.
const std::vector<StmKeyRow>& StmViewKeyRows();
