// The editor's overlay: the menus, the status line, tooltips, the key list and the dialogs.
#include <imgui.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "CStmEditor.h"
#include "CStmEditorUiHost.h"
#include "StmTooltipTable.h"
#include "host/platform/StmText.h"

namespace {

// Marks a text for the catalogue where it is looked up later, under a name held elsewhere.
constexpr const char* StmTextNoop(const char* id) { return id; }

// The text, or as much of it as fits the width with "..." after it; cut between characters,
// never inside one.
std::string FitText(const std::string& text, float width) {
  if (ImGui::CalcTextSize(text.c_str()).x <= width) return text;
  const char* const kMore = "...";
  size_t keep = 0;
  for (size_t end = 0; end < text.size();) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    if (ImGui::CalcTextSize((text.substr(0, end) + kMore).c_str()).x > width) break;
    keep = end;
  }
  return text.substr(0, keep) + kMore;
}

}  // namespace

void CStmEditor::DrawOverlay() {
  const bool idle = !IsModal();
  const bool unlocked = m_model.IsLock() == 0;
  const bool selected = m_manager.GetSelectMap().GetCount() > 0;
  m_items.clear();
  const auto item = [this](const char* label, const char* keys, ECommand command, bool enabled = true,
                           bool checked = false) {
    if (ImGui::MenuItem(StmText(label).c_str(), keys, checked, enabled)) m_commands.push_back({command, std::string()});
    NoteItem(label, enabled);
  };
  const auto menu = [this, idle](const char* label) {
    const bool open = ImGui::BeginMenu(StmText(label).c_str(), idle);
    NoteItem(label, idle);
    return open;
  };
  if (ImGui::BeginMainMenuBar()) {
    if (menu(StmTextNoop("File"))) {
      item(StmTextNoop("New..."), "Ctrl+N", ECommand::kNew);
      item(StmTextNoop("Open..."), "Ctrl+O", ECommand::kOpen);
      const std::vector<std::string>& recent = m_recent.GetFiles();
      const bool anyRecent = !recent.empty();
      const bool recentOpen = ImGui::BeginMenu(StmText("Recent").c_str(), anyRecent);
      NoteItem("Recent", anyRecent);
      if (recentOpen) {
        // A file that has gone since is shown, greyed, so that the list keeps its order.
        for (const std::string& path : recent) {
          std::error_code ec;
          const bool there = std::filesystem::is_regular_file(path, ec);
          if (ImGui::MenuItem(path.c_str(), nullptr, false, there)) m_commands.push_back({ECommand::kOpenRecent, path});
          NoteItem(path, there);
        }
        ImGui::EndMenu();
      }
      ImGui::Separator();
      item(StmTextNoop("Save"), "Ctrl+S", ECommand::kSave);
      item(StmTextNoop("Save as..."), "Ctrl+Shift+S", ECommand::kSaveAs);
      ImGui::Separator();
      item(StmTextNoop("Import DXF..."), nullptr, ECommand::kImportDxf, unlocked);
      // There is nothing to report before an analysis.
      item(StmTextNoop("Export report..."), nullptr, ECommand::kExportReport, !unlocked);
      item(StmTextNoop("Export table..."), nullptr, ECommand::kExportTable, !unlocked);
      ImGui::Separator();
      item(StmTextNoop("Quit"), "Ctrl+Q", ECommand::kQuit);
      ImGui::EndMenu();
    }
    if (menu(StmTextNoop("Edit"))) {
      item(StmTextNoop("Undo"), "Ctrl+Z", ECommand::kUndo, unlocked && m_manager.CanUndo() != 0);
      item(StmTextNoop("Redo"), "Ctrl+Y", ECommand::kRedo, unlocked && m_manager.CanRedo() != 0);
      ImGui::Separator();
      item(StmTextNoop("Cut"), "Ctrl+X", ECommand::kCut, unlocked && selected);
      item(StmTextNoop("Copy"), "Ctrl+C", ECommand::kCopy, selected);
      item(StmTextNoop("Paste"), "Ctrl+V", ECommand::kPaste, unlocked && m_manager.IsCopiedData());
      item(StmTextNoop("Delete"), "Delete", ECommand::kDelete, unlocked && selected);
      item(StmTextNoop("Cancel and select none"), "Esc", ECommand::kCancel);
      ImGui::Separator();
      item(StmTextNoop("Outline from selected elements"), nullptr, ECommand::kOutlineFromElements, unlocked && selected);
      item(StmTextNoop("Area from selected elements"), nullptr, ECommand::kAreaFromElements, unlocked && selected);
      ImGui::Separator();
      item(StmTextNoop("Orthogonal drawing"), "F8", ECommand::kOrtho, true, m_wnd.GetVHDraw() != 0);
      ImGui::EndMenu();
    }
    // The tools that draw wait for the load path; the view does not.
    const bool drawing = idle && !m_pLoadPath;
    m_drawTools.DrawMenu(drawing, [this](const std::string& name, bool enabled) { NoteItem(name, enabled); });
    m_outlineTools.DrawMenu(drawing, [this](const std::string& name, bool enabled) { NoteItem(name, enabled); });
    DrawModifyMenu();
    if (menu(StmTextNoop("View"))) {
      const CUbRenderWnd::VIEW_POS pos = m_wnd.GetViewPos();
      item(StmTextNoop("Zoom all"), nullptr, ECommand::kZoomAll);
      item(StmTextNoop("Pan"), "Esc ends", ECommand::kPan);
      if (ImGui::MenuItem(StmText("Properties").c_str(), nullptr, m_properties.IsOpen())) m_properties.Toggle();
      NoteItem("Properties", true);
      m_viewPanel.DrawMenuItem([this](const std::string& name, bool enabled) { NoteItem(name, enabled); });
      ImGui::Separator();
      item(StmTextNoop("Plane x-y"), nullptr, ECommand::kViewXY, true, pos == CUbRenderWnd::VIEW_POS_XY);
      item(StmTextNoop("Plane x-z"), nullptr, ECommand::kViewXZ, true, pos == CUbRenderWnd::VIEW_POS_XZ);
      item(StmTextNoop("Plane y-z"), nullptr, ECommand::kViewYZ, true, pos == CUbRenderWnd::VIEW_POS_YZ);
      ImGui::Separator();
      const bool styleOpen = ImGui::BeginMenu(StmText("Style").c_str());
      NoteItem("Style", true);
      if (styleOpen) {
        const bool light = m_model.GetStmDataView()->GetTypeColor() == STM_COLOR_LIGHT;
        item(StmTextNoop("Dark"), nullptr, ECommand::kStyleDark, true, !light);
        item(StmTextNoop("Light"), nullptr, ECommand::kStyleLight, true, light);
        ImGui::EndMenu();
      }
      ImGui::EndMenu();
    }
    if (menu(StmTextNoop("Results"))) {
      item(StmTextNoop("Analyse"), "F5", ECommand::kAnalyse, unlocked);
      // The load path is the concrete's: without an outline there is nothing to compute.
      item(StmTextNoop("Load path"), "F6", ECommand::kLoadPath,
           !m_pLoadPath && m_model.GetCountBoundary(STM_BOUNDARY_OUTER, 1) > 0);
      // Results of a model whose load path is being computed are not there yet.
      const bool results = !unlocked && !m_pLoadPath;
      item(StmTextNoop("Clear results"), nullptr, ECommand::kClearResults, results);
      ImGui::Separator();
      // Case names are the model's own words, so they are shown as they are.
      const int statics = m_model.GetCountLoadConditionStatic();
      const int count = statics + m_model.GetCountLoadConditionCombo();
      const int shown = m_manager.GetIndexLoadConditionResult();
      for (int i = 0; i < count; ++i) {
        if (i == statics && statics > 0) ImGui::Separator();
        const CString name = i < statics ? m_model.GetLoadConditionStaticIndex(i)->GetName()
                                         : m_model.GetLoadConditionComboIndex(i - statics)->GetName();
        if (ImGui::MenuItem(name.c_str(), nullptr, i == shown && !m_bInputModel, results))
          m_commands.push_back({ECommand::kResultCase, std::string(), i});
        NoteItem(name.c_str(), results);
      }
      if (count == 0) item(StmTextNoop("No load cases"), nullptr, ECommand::kResultCase, false);
      ImGui::Separator();
      item(StmTextNoop("Input model"), nullptr, ECommand::kInputModel, results && !m_bInputModel, m_bInputModel);
      ImGui::EndMenu();
    }
    DrawTemplatesMenu();
    if (menu(StmTextNoop("Help"))) {
      item(StmTextNoop("Keys"), "F1", ECommand::kKeys, true, m_bShowKeys);
      ImGui::EndMenu();
    }
    ImGui::EndMainMenuBar();
  }

  DrawResultCaption();

  // The status line along the bottom edge: the message on the left; where the cursor points,
  // in the model's units, and how much is selected on the right.
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  const float height = ImGui::GetFrameHeight();
  ImGui::SetNextWindowPos(ImVec2(viewport->Pos.x, viewport->Pos.y + viewport->Size.y - height));
  ImGui::SetNextWindowSize(ImVec2(viewport->Size.x, height));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(6.0f, 2.0f));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowRounding, 0.0f);
  const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                 ImGuiWindowFlags_NoNav;
  if (ImGui::Begin("##status", nullptr, flags)) {
    // Where a click would put the point: on the snap marked under the cursor, if there is one.
    const CVector p = m_wnd.GetOSnapType() >= 0 ? m_wnd.GetOSnapPos() : m_wnd.ClientToExt(m_pHost->GetCursorPos(), 0.0);
    static const char* const kAxes[] = {"x", "y", "z"};
    int first = 0, second = 1;
    if (m_wnd.GetViewPos() == CUbRenderWnd::VIEW_POS_XZ) second = 2;
    if (m_wnd.GetViewPos() == CUbRenderWnd::VIEW_POS_YZ) first = 1, second = 2;
    const double coords[] = {p.x, p.y, p.z};
    CString where;
    where.Format(StmText("%s %.1f  %s %.1f %s   %d selected").c_str(), kAxes[first], coords[first], kAxes[second],
                 coords[second], m_model.GetUnitLength().c_str(), m_manager.GetSelectMap().GetCount());
    m_strWhere = where.c_str();
    const float width = ImGui::CalcTextSize(where.c_str()).x;
    const float whereX = std::max(ImGui::GetWindowWidth() - width - 8.0f, 0.0f);
    // A message longer than the room left of the cursor's place is cut short rather than
    // written over by it; the whole message shows when the pointer rests on the line.
    const std::string status = m_pHost->GetStatusText().c_str();
    const float room = whereX - ImGui::GetCursorPosX() - 2.0f * ImGui::GetFontSize();
    m_strStatusShown = FitText(status, room);
    ImGui::TextUnformatted(m_strStatusShown.c_str());
    if (m_strStatusShown != status && ImGui::IsWindowHovered()) ImGui::SetTooltip("%s", status.c_str());
    ImGui::SameLine(whereX);
    ImGui::TextUnformatted(where.c_str());
  }
  ImGui::End();
  ImGui::PopStyleVar(2);

  DrawTooltip();
  DrawTemplateSettings();
  if (m_bShowKeys) DrawKeyReference();
  const auto note = [this](const std::string& name, bool enabled) { NoteItem(name, enabled); };
  if (m_properties.Draw(note, unlocked && idle)) m_commands.push_back({ECommand::kProperties, std::string()});
  m_fileDialog.Draw(note);
  m_newDialog.Draw(note);
  m_drawTools.DrawDialogs(ImGui::GetFrameHeight(), height, note);
  m_viewPanel.Draw(ImGui::GetFrameHeight(), height, note);
  m_pHost->DrawModalDialog(note);
  m_pHost->DrawMessageBox();
}

void CStmEditor::FollowStyle() {
  const int style = m_model.GetStmDataView()->GetTypeColor() == STM_COLOR_LIGHT ? 1 : 0;
  if (style == m_nOverlayStyle) return;
  m_nOverlayStyle = style;
  if (style == 1) ImGui::StyleColorsLight();
  else ImGui::StyleColorsDark();
}

void CStmEditor::DrawTooltip() {
  m_strTooltip.clear();
  // Only while the cursor rests where the hover pick was made, and nothing else claims it.
  if (m_buttonsHeld != 0 || IsModal() || ImGui::GetIO().WantCaptureMouse) return;
  // The scene's cursor stays where the pointer left the scene for the overlay; a menu that
  // closes leaves the pointer somewhere else, where the pick no longer holds.
  if (!(m_pHost->GetCursorPos() == m_ptHover) || !(ToClient(m_dCursorX, m_dCursorY) == m_ptHover)) return;
  CUbEntityObj* entity = m_wnd.GetHoverEntity();
  if (!entity) return;
  StmTooltipRows rows = StmReadTooltipTable(entity->GetTooltipPropInfoTable().c_str());
  StmPresentTooltip(rows, m_model.GetStmDataView()->GetFixedPointNumber(), m_model.GetUnitLength().str(),
                    m_model.GetUnitForce().str());
  if (rows.empty()) return;
  size_t columns = 0;
  for (const auto& row : rows) {
    columns = std::max(columns, row.size());
    for (size_t i = 0; i < row.size(); ++i) m_strTooltip += (i ? " " : (m_strTooltip.empty() ? "" : "; ")) + row[i];
  }
  ImGui::BeginTooltip();
  if (ImGui::BeginTable("##tooltip", static_cast<int>(columns))) {
    for (const auto& row : rows) {
      ImGui::TableNextRow();
      for (size_t i = 0; i < row.size(); ++i) {
        ImGui::TableSetColumnIndex(static_cast<int>(i));
        ImGui::TextUnformatted(row[i].c_str());
      }
    }
    ImGui::EndTable();
  }
  ImGui::EndTooltip();
}

void CStmEditor::NoteItem(const std::string& label, bool enabled) {
  if (m_options.idleFd < 0) return;
  const ImVec2 lo = ImGui::GetItemRectMin();
  const ImVec2 hi = ImGui::GetItemRectMax();
  m_items.push_back(label + ":" + std::to_string(static_cast<int>((lo.x + hi.x) * 0.5f)) + "," +
                    std::to_string(static_cast<int>((lo.y + hi.y) * 0.5f)) + "," + (enabled ? "1" : "0"));
}

void CStmEditor::DrawKeyReference() {
  static const char* const kKeys[][2] = {
      {StmTextNoop("Left click"), StmTextNoop("select what is under the cursor")},
      {StmTextNoop("Left drag to the right"), StmTextNoop("select what lies inside the window")},
      {StmTextNoop("Left drag to the left"), StmTextNoop("select what the window crosses or holds")},
      {StmTextNoop("Middle drag"), StmTextNoop("move the view")},
      {StmTextNoop("Wheel"), StmTextNoop("zoom about the cursor")},
      {StmTextNoop("Arrow keys"), StmTextNoop("move the view")},
      {StmTextNoop("Esc"), StmTextNoop("cancel the command and the selection")},
      {StmTextNoop("Delete"), StmTextNoop("delete the selection")},
      {StmTextNoop("Ctrl+C / Ctrl+X"), StmTextNoop("copy / cut the selection")},
      {StmTextNoop("Ctrl+Z / Ctrl+Y"), StmTextNoop("undo / redo")},
      {StmTextNoop("Ctrl+N"), StmTextNoop("new model (asks for its plane and units)")},
      {StmTextNoop("Ctrl+O"), StmTextNoop("open a model file")},
      {StmTextNoop("Ctrl+S"), StmTextNoop("save")},
      {StmTextNoop("Ctrl+Shift+S"), StmTextNoop("save under another name")},
      {StmTextNoop("Ctrl+Q"), StmTextNoop("quit (asks about unsaved changes)")},
      {StmTextNoop("F8"), StmTextNoop("orthogonal drawing on or off")},
      {StmTextNoop("F5"), StmTextNoop("analyse the truss")},
      {StmTextNoop("F6"), StmTextNoop("load path of the concrete (Esc cancels)")},
      {StmTextNoop("N / E / G"), StmTextNoop("draw nodes / elements / guidelines")},
      {StmTextNoop("Tab"), StmTextNoop("type a coordinate; a comma goes to the second field, Enter takes it")},
      {StmTextNoop("M / T / R / I / O"), StmTextNoop("move / stretch / rotate / mirror / offset the selection")},
      {StmTextNoop("Ctrl+V"), StmTextNoop("paste the clipboard at each click, until Esc")},
      {StmTextNoop("F1"), StmTextNoop("this list")},
  };
  ImGui::SetNextWindowPos(ImVec2(40.0f, 60.0f), ImGuiCond_FirstUseEver);
  if (ImGui::Begin(StmText("Keys").c_str(), &m_bShowKeys, ImGuiWindowFlags_AlwaysAutoResize)) {
    if (ImGui::BeginTable("##keys", 2)) {
      for (const auto& row : kKeys) {
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        ImGui::TextUnformatted(StmText(row[0]).c_str());
        ImGui::TableSetColumnIndex(1);
        ImGui::TextUnformatted(StmText(row[1]).c_str());
      }
      ImGui::EndTable();
    }
  }
  ImGui::End();
}


CString CStmEditor::ResultCaseCaption() const {
  if (!m_model.IsLock()) return CString();
  if (m_bInputModel) return StmText("Input model (results hidden)");
  const int index = m_manager.GetIndexLoadConditionResult();
  const int statics = m_model.GetCountLoadConditionStatic();
  CString caption;
  if (index >= 0 && index < statics) {
    caption.Format(StmText("Load case %s").c_str(), m_model.GetLoadConditionStaticIndex(index)->GetName().c_str());
  } else if (index >= statics && index < statics + m_model.GetCountLoadConditionCombo()) {
    caption.Format(StmText("Combination %s").c_str(),
                   m_model.GetLoadConditionComboIndex(index - statics)->GetName().c_str());
  }
  return caption;
}

void CStmEditor::DrawResultCaption() {
  const CString caption = ResultCaseCaption();
  if (caption.IsEmpty()) return;
  // Under the menu bar at the right, where the model seldom reaches after zoom-all.
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  ImGui::SetNextWindowPos(ImVec2(viewport->Pos.x + viewport->Size.x - 6.0f,
                                 viewport->Pos.y + ImGui::GetFrameHeight() + 4.0f),
                          ImGuiCond_Always, ImVec2(1.0f, 0.0f));
  const ImGuiWindowFlags flags = ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove |
                                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing |
                                 ImGuiWindowFlags_NoNav | ImGuiWindowFlags_AlwaysAutoResize |
                                 ImGuiWindowFlags_NoInputs;
  if (ImGui::Begin("##case", nullptr, flags)) ImGui::TextUnformatted(caption.c_str());
  ImGui::End();
}
