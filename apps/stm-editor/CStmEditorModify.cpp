// The editor's Modify menu: the tools that move, stretch, turn, mirror, offset and paste what is
// drawn, from the menu or by their keys.
#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "host/platform/StmText.h"

namespace {

// Marks a text for the catalogue where it is looked up later.
constexpr const char* StmTextNoop(const char* id) { return id; }

constexpr long kActionOffset = 64;

struct SModifyTool {
  const char* id;
  long action;
  const char* label;
  const char* key;
  const char* help;
};

// One row of the key list for all of them.
const char* const kToolsHelp = StmTextNoop("move / stretch / rotate / mirror / offset the selection");

const SModifyTool kTools[] = {
    {"modify.move", 61, StmTextNoop("Move"), "M", kToolsHelp},
    {"modify.stretch", 62, StmTextNoop("Stretch"), "T", kToolsHelp},
    {"modify.rotate", 66, StmTextNoop("Rotate"), "R", kToolsHelp},
    {"modify.mirror", 65, StmTextNoop("Mirror"), "I", kToolsHelp},
    {"modify.offset", kActionOffset, StmTextNoop("Offset"), "O", kToolsHelp},
};

}  // namespace

void CStmEditor::AddModifyCommands() {
  // Paste sits in this menu too; the Edit menu's entry has it.
  for (const SModifyTool& tool : kTools) {
    const long action = tool.action;
    AddCommand({tool.id, tool.label, {StmTextNoop("Modify")}, tool.help, tool.key, "",
                [this] { return m_model.IsLock() == 0 && m_manager.GetSelectMap().GetCount() > 0; },
                [this, action] { return m_wnd.GetActionTypeCur() == action; },
                [this, action] { m_commands.push_back({ECommand::kModifyTool, std::string(), static_cast<int>(action)}); }});
  }
}

void CStmEditor::StartModifyTool(long id) {
  if (!CheckUnlocked()) return;
  if (id == kActionPaste) {
    if (!m_manager.IsCopiedData()) {
      m_pHost->SetStatusText(StmText("Nothing to paste: copy a selection first (Ctrl+C)"));
      return;
    }
  } else {
    std::vector<CStmObjNode*> nodes;
    std::vector<CStmObjElement*> elements;
    m_manager.GetSelectedNodeObjects(nodes);
    m_manager.GetSelectedElementObjects(elements);
    if (id == kActionOffset && elements.empty()) {
      m_pHost->SetStatusText(StmText("Select the element to offset first"));
      return;
    }
    if (nodes.empty() && elements.empty()) {
      m_pHost->SetStatusText(StmText("Nothing is selected: select nodes or elements first"));
      return;
    }
  }
  // The tool says on the status line what it waits for.
  m_wnd.SetAction(id, -1, 1);
}
