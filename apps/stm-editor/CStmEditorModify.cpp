// The editor's Modify menu: the tools that move, stretch, turn, mirror, offset and paste what is
// drawn, from the menu or by their keys.
#include <GLFW/glfw3.h>
#include <imgui.h>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "host/platform/StmText.h"

namespace {

// Marks a text for the catalogue where it is looked up later.
constexpr const char* StmTextNoop(const char* id) { return id; }

constexpr long kActionOffset = 64;

struct SModifyTool {
  long id;
  const char* label;
  const char* keys;
  int glfwKey;  // 0: none of its own (paste has Ctrl+V)
};

const SModifyTool kTools[] = {
    {61, StmTextNoop("Move"), "M", GLFW_KEY_M},
    {62, StmTextNoop("Stretch"), "T", GLFW_KEY_T},
    {66, StmTextNoop("Rotate"), "R", GLFW_KEY_R},
    {65, StmTextNoop("Mirror"), "I", GLFW_KEY_I},
    {kActionOffset, StmTextNoop("Offset"), "O", GLFW_KEY_O},
    {55, StmTextNoop("Paste"), "Ctrl+V", 0},
};

}  // namespace

void CStmEditor::DrawModifyMenu() {
  const bool idle = !IsModal();
  const bool open = ImGui::BeginMenu(StmText("Modify").c_str(), idle);
  NoteItem("Modify", idle);
  if (!open) return;
  const bool unlocked = m_model.IsLock() == 0;
  const bool selected = m_manager.GetSelectMap().GetCount() > 0;
  for (const SModifyTool& tool : kTools) {
    const bool enabled = unlocked && (tool.id == kActionPaste ? m_manager.IsCopiedData() != 0 : selected);
    if (tool.id == kActionPaste) ImGui::Separator();
    if (ImGui::MenuItem(StmText(tool.label).c_str(), tool.keys, m_wnd.GetActionTypeCur() == tool.id, enabled))
      m_commands.push_back({ECommand::kModifyTool, std::string(), static_cast<int>(tool.id)});
    NoteItem(tool.label, enabled);
  }
  ImGui::EndMenu();
}

bool CStmEditor::QueueModifyKey(int glfwKey) {
  for (const SModifyTool& tool : kTools) {
    if (tool.glfwKey != 0 && tool.glfwKey == glfwKey) {
      m_commands.push_back({ECommand::kModifyTool, std::string(), static_cast<int>(tool.id)});
      return true;
    }
  }
  return false;
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
