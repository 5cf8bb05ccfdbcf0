// The editor's commands in one table: the menus, the keys and the key list are drawn from it.
// Handlers queue the command for after the frame, as the menus always did, so that a command
// that opens a message box never runs inside the overlay's frame or a window callback.
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <stdexcept>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
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
  const auto unlocked = [this] { return m_model.IsLock() == 0; };
  const auto editSelected = [this] { return m_model.IsLock() == 0 && m_manager.GetSelectMap().GetCount() > 0; };
  const auto results = [this] { return m_model.IsLock() != 0 && !m_pLoadPath; };
  const std::vector<std::string> file = {StmTextNoop("File")};
  const std::vector<std::string> edit = {StmTextNoop("Edit")};
  const std::vector<std::string> view = {StmTextNoop("View")};
  const std::vector<std::string> style = {StmTextNoop("Style")};
  const std::vector<std::string> resultsMenu = {StmTextNoop("Results")};

  AddCommand({"file.new", StmTextNoop("New..."), file, StmTextNoop("new model (asks for its plane and units)"),
              "Ctrl+N", "", nullptr, nullptr, queue(ECommand::kNew)});
  AddCommand({"file.open", StmTextNoop("Open..."), file, StmTextNoop("open a model file"), "Ctrl+O", "", nullptr,
              nullptr, queue(ECommand::kOpen)});
  AddCommand({"file.save", StmTextNoop("Save"), file, StmTextNoop("save"), "Ctrl+S", "", nullptr, nullptr,
              queue(ECommand::kSave), true});
  AddCommand({"file.saveAs", StmTextNoop("Save as..."), file, StmTextNoop("save under another name"), "Ctrl+Shift+S",
              "", nullptr, nullptr, queue(ECommand::kSaveAs)});
  AddCommand({"file.importDxf", StmTextNoop("Import DXF..."), file, "", "", "", unlocked, nullptr,
              queue(ECommand::kImportDxf), true});
  AddCommand({"file.exportDrawing", StmTextNoop("Export drawing..."), file,
              StmTextNoop("what the view shows, to scale, as PDF, SVG or DXF"), "", "", nullptr, nullptr,
              queue(ECommand::kExportDrawing), true});
  // There is nothing to report before an analysis.
  const auto analysed = [this] { return m_model.IsLock() != 0; };
  AddCommand({"file.exportReport", StmTextNoop("Export report..."), file, "", "", "", analysed, nullptr,
              queue(ECommand::kExportReport), true});
  AddCommand({"file.exportTable", StmTextNoop("Export table..."), file, "", "", "", analysed, nullptr,
              queue(ECommand::kExportTable)});
  AddCommand({"file.quit", StmTextNoop("Quit"), file, StmTextNoop("quit (asks about unsaved changes)"), "Ctrl+Q", "",
              nullptr, nullptr, queue(ECommand::kQuit), true});

  AddCommand({"edit.undo", StmTextNoop("Undo"), edit, StmTextNoop("undo / redo"), "Ctrl+Z", "",
              [this] { return m_model.IsLock() == 0 && m_manager.CanUndo() != 0; }, nullptr, queue(ECommand::kUndo)});
  AddCommand({"edit.redo", StmTextNoop("Redo"), edit, StmTextNoop("undo / redo"), "Ctrl+Y", "",
              [this] { return m_model.IsLock() == 0 && m_manager.CanRedo() != 0; }, nullptr, queue(ECommand::kRedo)});
  AddCommand({"edit.cut", StmTextNoop("Cut"), edit, StmTextNoop("cut / copy the selection"), "Ctrl+X", "", editSelected,
              nullptr, queue(ECommand::kCut), true});
  AddCommand({"edit.copy", StmTextNoop("Copy"), edit, StmTextNoop("cut / copy the selection"), "Ctrl+C", "",
              [this] { return m_manager.GetSelectMap().GetCount() > 0; }, nullptr, queue(ECommand::kCopy)});
  AddCommand({"edit.paste", StmTextNoop("Paste"), {StmTextNoop("Edit"), StmTextNoop("Modify")},
              StmTextNoop("paste the clipboard at each click, until Esc"), "Ctrl+V", "",
              [this] { return m_model.IsLock() == 0 && m_manager.IsCopiedData() != 0; },
              [this] { return m_wnd.GetActionTypeCur() == kActionPaste; }, queue(ECommand::kPaste)});
  AddCommand({"edit.delete", StmTextNoop("Delete"), edit, StmTextNoop("delete the selection"), "Delete", "",
              editSelected, nullptr, queue(ECommand::kDelete)});
  // Esc itself goes to the view, which cancels what runs there.
  AddCommand({"edit.cancel", StmTextNoop("Cancel and select none"), edit, "", "", "Esc", nullptr, nullptr,
              queue(ECommand::kCancel)});
  AddCommand({"edit.outlineFromElements", StmTextNoop("Outline from selected elements"), edit, "", "", "",
              editSelected, nullptr, queue(ECommand::kOutlineFromElements), true});
  AddCommand({"edit.areaFromElements", StmTextNoop("Area from selected elements"), edit, "", "", "", editSelected,
              nullptr, queue(ECommand::kAreaFromElements)});

  std::string error;
  if (!m_drawTools.AddToolCommands(m_table, error)) throw std::logic_error("command table: " + error);
  AddCommand({"edit.ortho", StmTextNoop("Orthogonal drawing"), {StmTextNoop("Edit"), StmTextNoop("Draw")},
              StmTextNoop("orthogonal drawing on or off"), "F8", "", nullptr,
              [this] { return m_wnd.GetVHDraw() != 0; }, queue(ECommand::kOrtho), true});
  if (!m_drawTools.AddSnapCommands(m_table, error)) throw std::logic_error("command table: " + error);
  if (!m_outlineTools.AddCommands(m_table, error)) throw std::logic_error("command table: " + error);
  AddModifyCommands();

  AddCommand({"view.zoomAll", StmTextNoop("Zoom all"), view, "", "", "", nullptr, nullptr,
              queue(ECommand::kZoomAll)});
  AddCommand({"view.pan", StmTextNoop("Pan"), view, "", "", "Esc ends", nullptr, nullptr, queue(ECommand::kPan)});
  // A panel shown or hidden is no command on the model: it switches within the frame.
  AddCommand({"view.properties", StmTextNoop("Properties"), view, "", "", "", nullptr,
              [this] { return m_properties.IsOpen(); }, [this] { m_properties.Toggle(); }});
  const auto plane = [this](CUbRenderWnd::VIEW_POS pos) { return [this, pos] { return m_wnd.GetViewPos() == pos; }; };
  AddCommand({"view.planeXY", StmTextNoop("Plane x-y"), view, "", "", "", nullptr,
              plane(CUbRenderWnd::VIEW_POS_XY), queue(ECommand::kViewXY), true});
  AddCommand({"view.planeXZ", StmTextNoop("Plane x-z"), view, "", "", "", nullptr,
              plane(CUbRenderWnd::VIEW_POS_XZ), queue(ECommand::kViewXZ)});
  AddCommand({"view.planeYZ", StmTextNoop("Plane y-z"), view, "", "", "", nullptr,
              plane(CUbRenderWnd::VIEW_POS_YZ), queue(ECommand::kViewYZ)});
  const auto light = [this] { return m_model.GetStmDataView()->GetTypeColor() == STM_COLOR_LIGHT; };
  AddCommand({"view.styleDark", StmTextNoop("Dark"), style, "", "", "", nullptr, [light] { return !light(); },
              queue(ECommand::kStyleDark)});
  AddCommand({"view.styleLight", StmTextNoop("Light"), style, "", "", "", nullptr, light,
              queue(ECommand::kStyleLight)});

  AddCommand({"results.analyse", StmTextNoop("Analyse"), resultsMenu, StmTextNoop("analyse the truss"), "F5", "",
              unlocked, nullptr, queue(ECommand::kAnalyse)});
  // The load path is the concrete's: without an outline there is nothing to compute.
  AddCommand({"results.loadPath", StmTextNoop("Load path"), resultsMenu,
              StmTextNoop("load path of the concrete (Esc cancels)"), "F6", "",
              [this] { return !m_pLoadPath && m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1) > 0; }, nullptr,
              queue(ECommand::kLoadPath)});
  // Results of a model whose load path is being computed are not there yet.
  AddCommand({"results.clear", StmTextNoop("Clear results"), resultsMenu, "", "", "", results, nullptr,
              queue(ECommand::kClearResults)});
  AddCommand({"results.inputModel", StmTextNoop("Input model"), resultsMenu, "", "", "",
              [this, results] { return results() && !m_bInputModel; }, [this] { return m_bInputModel; },
              queue(ECommand::kInputModel), true});

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
  // What the mouse and the view's own keys do; every command's key follows from the table.
  static const std::vector<StmKeyRow> kView = {
      {StmTextNoop("Left click"), StmTextNoop("select what is under the cursor")},
      {StmTextNoop("Left drag to the right"), StmTextNoop("select what lies inside the window")},
      {StmTextNoop("Left drag to the left"), StmTextNoop("select what the window crosses or holds")},
      {StmTextNoop("Middle drag"), StmTextNoop("move the view")},
      {StmTextNoop("Wheel"), StmTextNoop("zoom about the cursor")},
      {StmTextNoop("Arrow keys"), StmTextNoop("move the view")},
      {StmTextNoop("Esc"), StmTextNoop("cancel the command and the selection")},
      {StmTextNoop("Tab"), StmTextNoop("type a coordinate; a comma goes to the second field, Enter takes it")},
  };
  ImGui::SetNextWindowPos(ImVec2(40.0f, 60.0f), ImGuiCond_FirstUseEver);
  if (ImGui::Begin(StmText("Keys").c_str(), &m_bShowKeys, ImGuiWindowFlags_AlwaysAutoResize)) {
    if (ImGui::BeginTable("##keys", 2)) {
      for (const StmKeyRow& row : m_table.KeyList(kView)) {
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
