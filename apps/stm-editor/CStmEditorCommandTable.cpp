// The editor's commands in one table: the menus, the keys and the key list are drawn from it.
// Handlers queue the command for after the frame, as the menus always did, so that a command
// that opens a message box never runs inside the overlay's frame or a window callback.
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <map>
#include <stdexcept>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "StmEditorCommands.h"
#include "host/platform/StmText.h"

namespace {

// Marks a text for the catalogue where it is looked up later, under a name held elsewhere.
constexpr const char* StmTextNoop(const char* id) { return id; }

}  // namespace

void CStmEditor::AddCommand(SStmCommand command) {
  std::string error;
  // The table is the program's own; a clash is a mistake in it that must show at once.
  if (!m_table.Add(std::move(command), error)) throw std::logic_error("command table: " + error);
}

void CStmEditor::BuildCommandTable() {
  const auto queue = [this](ECommand command) {
    return [this, command] { m_commands.push_back({command, std::string()}); };
  };
  const auto later = [this](std::function<void()> run) {
    return [this, run] { m_commands.push_back({ECommand::kRun, std::string(), -1, run}); };
  };
  const auto drawTool = [this, later](long id) { return later([this, id] { m_actions.StartDrawTool(id); }); };
  const auto modifyTool = [this](long id) {
    return [this, id] { m_commands.push_back({ECommand::kModifyTool, std::string(), static_cast<int>(id)}); };
  };
  std::map<std::string, std::function<void()>> handlers = {
      {"file.new", queue(ECommand::kNew)},
      {"file.open", queue(ECommand::kOpen)},
      {"file.save", queue(ECommand::kSave)},
      {"file.saveAs", queue(ECommand::kSaveAs)},
      {"file.importDxf", queue(ECommand::kImportDxf)},
      {"file.exportDrawing", queue(ECommand::kExportDrawing)},
      {"file.exportReport", queue(ECommand::kExportReport)},
      {"file.exportTable", queue(ECommand::kExportTable)},
      {"file.quit", queue(ECommand::kQuit)},
      {"edit.undo", queue(ECommand::kUndo)},
      {"edit.redo", queue(ECommand::kRedo)},
      {"edit.cut", queue(ECommand::kCut)},
      {"edit.copy", queue(ECommand::kCopy)},
      {"edit.paste", queue(ECommand::kPaste)},
      {"edit.delete", queue(ECommand::kDelete)},
      {"edit.cancel", queue(ECommand::kCancel)},
      {"edit.outlineFromElements", queue(ECommand::kOutlineFromElements)},
      {"edit.areaFromElements", queue(ECommand::kAreaFromElements)},
      {"edit.ortho", queue(ECommand::kOrtho)},
      {"draw.node", drawTool(CStmUbManager::kActionAddNode)},
      {"draw.element", drawTool(CStmUbManager::kActionAddElement)},
      {"draw.guideline", drawTool(CStmUbManager::kActionAddGuideline)},
      {"draw.typedCoordinate", later([this] { m_manager.ShowDlgCoord(1); })},
      {"draw.askLength", later([this] { m_actions.ToggleAskLength(); })},
      {"modify.move", modifyTool(CStmUbManager::kActionMove)},
      {"modify.stretch", modifyTool(CStmUbManager::kActionStretch)},
      {"modify.rotate", modifyTool(CStmUbManager::kActionRotate)},
      {"modify.mirror", modifyTool(CStmUbManager::kActionMirror)},
      {"modify.offset", modifyTool(CStmUbManager::kActionOffset)},
      {"view.zoomAll", queue(ECommand::kZoomAll)},
      {"view.pan", queue(ECommand::kPan)},
      {"view.planeXY", queue(ECommand::kViewXY)},
      {"view.planeXZ", queue(ECommand::kViewXZ)},
      {"view.planeYZ", queue(ECommand::kViewYZ)},
      {"view.styleDark", queue(ECommand::kStyleDark)},
      {"view.styleLight", queue(ECommand::kStyleLight)},
      {"results.analyse", queue(ECommand::kAnalyse)},
      {"results.loadPath", queue(ECommand::kLoadPath)},
      {"results.clear", queue(ECommand::kClearResults)},
      {"results.inputModel", queue(ECommand::kInputModel)},
  };
  for (const SStmSnapMode& snap : StmSnapModes()) {
    const long bit = snap.bit;
    handlers[std::string("draw.snap.") + snap.id] = later([this, bit] { m_actions.ToggleSnap(bit); });
  }
  const SStmEditorCommandState state{[this] { return m_results.IsLoadPathRunning(); }, [this] { return m_results.IsInputModelShown(); }};
  for (SStmCommand& command : StmEditorCommands(m_manager, m_wnd, m_model, state)) {
    const auto handler = handlers.find(command.id);
    if (handler == handlers.end()) throw std::logic_error("command table: no handler for " + command.id);
    command.run = handler->second;
    AddCommand(std::move(command));
  }

  std::string error;
  if (!m_outlineTools.AddCommands(m_table, error)) throw std::logic_error("command table: " + error);
  // A panel shown or hidden is no command on the model: it switches within the frame.
  AddCommand({"view.properties", StmTextNoop("Properties"), {StmTextNoop("View")}, "", "", "", nullptr,
              [this] { return m_properties.IsOpen(); }, [this] { m_properties.Toggle(); }});
  AddTemplateCommands();
  AddCommand({"help.keys", StmTextNoop("Keys"), {StmTextNoop("Help")}, StmTextNoop("this list"), "F1", "", nullptr,
              [this] { return m_bShowKeys; }, queue(ECommand::kKeys)});
}

void CStmEditor::DrawCommandEntries(const std::string& menu, const std::function<void(const SStmCommand&)>& after) {
  bool first = true;
  for (const SStmCommand* command : m_table.InMenu(menu)) {
    if (command->separatorBefore && !first) ImGui::Separator();
    first = false;
    const bool enabled = CStmCommandTable::IsEnabled(*command);
    const std::string& keys = CStmCommandTable::KeyText(*command);
    if (ImGui::MenuItem(StmText(command->label.c_str()).c_str(), keys.empty() ? nullptr : keys.c_str(),
                        CStmCommandTable::IsChecked(*command), enabled))
      command->run();
    NoteItem(command->label, enabled);
    if (after) after(*command);
  }
}

void CStmEditor::DrawCommandMenu(const std::string& menu, bool enabled,
                                 const std::function<void(const SStmCommand&)>& after) {
  const bool open = ImGui::BeginMenu(StmText(menu.c_str()).c_str(), enabled);
  NoteItem(menu, enabled);
  if (!open) return;
  DrawCommandEntries(menu, after);
  ImGui::EndMenu();
}

SStmKeyChord CStmEditor::ChordOfGlfwKey(int key, int mods) {
  SStmKeyChord chord;
  if ((key >= GLFW_KEY_A && key <= GLFW_KEY_Z) || (key >= GLFW_KEY_0 && key <= GLFW_KEY_9)) chord.key = key;
  else if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F12) chord.key = kStmKeyF1 + (key - GLFW_KEY_F1);
  else {
    static const int kKeys[][2] = {{GLFW_KEY_ESCAPE, kStmKeyEscape},      {GLFW_KEY_TAB, kStmKeyTab},
                                   {GLFW_KEY_ENTER, kStmKeyEnter},        {GLFW_KEY_KP_ENTER, kStmKeyEnter},
                                   {GLFW_KEY_DELETE, kStmKeyDelete},      {GLFW_KEY_BACKSPACE, kStmKeyBackspace},
                                   {GLFW_KEY_INSERT, kStmKeyInsert},      {GLFW_KEY_HOME, kStmKeyHome},
                                   {GLFW_KEY_END, kStmKeyEnd},            {GLFW_KEY_PAGE_UP, kStmKeyPageUp},
                                   {GLFW_KEY_PAGE_DOWN, kStmKeyPageDown}, {GLFW_KEY_LEFT, kStmKeyLeft},
                                   {GLFW_KEY_RIGHT, kStmKeyRight},        {GLFW_KEY_UP, kStmKeyUp},
                                   {GLFW_KEY_DOWN, kStmKeyDown},          {GLFW_KEY_SPACE, kStmKeySpace}};
    for (const auto& pair : kKeys)
      if (pair[0] == key) chord.key = pair[1];
  }
  if (mods & GLFW_MOD_CONTROL) chord.mods |= kStmModCtrl;
  if (mods & GLFW_MOD_SHIFT) chord.mods |= kStmModShift;
  if (mods & GLFW_MOD_ALT) chord.mods |= kStmModAlt;
  return chord;
}

void CStmEditor::DrawKeyReference() {
  ImGui::SetNextWindowPos(ImVec2(40.0f, 60.0f), ImGuiCond_FirstUseEver);
  if (ImGui::Begin(StmText("Keys").c_str(), &m_bShowKeys, ImGuiWindowFlags_AlwaysAutoResize)) {
    if (ImGui::BeginTable("##keys", 2)) {
      for (const StmKeyRow& row : m_table.KeyList(StmViewKeyRows())) {
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        ImGui::TextUnformatted(StmText(row.first.c_str()).c_str());
        ImGui::TableSetColumnIndex(1);
        ImGui::TextUnformatted(StmText(row.second.c_str()).c_str());
      }
      ImGui::EndTable();
    }
  }
  ImGui::End();
}
