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
  m_items.clear();
  if (ImGui::BeginMainMenuBar()) {
    DrawCommandMenu("File", idle, [this](const SStmCommand& command) {
      if (command.id != "file.open") return;
      const std::vector<std::string>& recent = m_actions.GetRecentFiles().GetFiles();
      const bool anyRecent = !recent.empty();
      const bool recentOpen = ImGui::BeginMenu(StmText("Recent").c_str(), anyRecent);
      NoteItem("Recent", anyRecent);
      if (!recentOpen) return;
      // A file that has gone since is shown, greyed, so that the list keeps its order.
      for (const std::string& path : recent) {
        std::error_code ec;
        const bool there = std::filesystem::is_regular_file(path, ec);
        if (ImGui::MenuItem(path.c_str(), nullptr, false, there)) m_commands.push_back({ECommand::kOpenRecent, path});
        NoteItem(path, there);
      }
      ImGui::EndMenu();
    });
    DrawCommandMenu("Edit", idle);
    // The tools that draw wait for the load path; the view does not.
    DrawCommandMenu("Draw", idle && !m_results.IsLoadPathRunning());
    DrawCommandMenu("Modify", idle);
    DrawCommandMenu("View", idle, [this](const SStmCommand& command) {
      if (command.id == "view.properties") {
        m_viewPanel.DrawMenuItem([this](const std::string& name, bool enabled) { NoteItem(name, enabled); });
      } else if (command.id == "view.planeYZ") {
        ImGui::Separator();
        const bool styleOpen = ImGui::BeginMenu(StmText("Style").c_str());
        NoteItem("Style", true);
        if (styleOpen) {
          DrawCommandEntries("Style");
          ImGui::EndMenu();
        }
      }
    });
    DrawCommandMenu("Results", idle, [this](const SStmCommand& command) {
      if (command.id != "results.clear") return;
      ImGui::Separator();
      // Case names are the model's own words, so they are shown as they are.
      const bool results = m_model.IsLock() != 0 && !m_results.IsLoadPathRunning();
      const int statics = m_model.GetCountLoadConditionStatic();
      const int count = statics + m_model.GetCountLoadConditionCombo();
      const int shown = m_manager.GetIndexLoadConditionResult();
      for (int i = 0; i < count; ++i) {
        if (i == statics && statics > 0) ImGui::Separator();
        const CString name = i < statics ? m_model.GetLoadConditionStaticIndex(i)->GetName()
                                         : m_model.GetLoadConditionComboIndex(i - statics)->GetName();
        if (ImGui::MenuItem(name.c_str(), nullptr, i == shown && !m_results.IsInputModelShown(), results))
          m_commands.push_back({ECommand::kResultCase, std::string(), i});
        NoteItem(name.c_str(), results);
      }
      if (count == 0) {
        ImGui::MenuItem(StmText("No load cases").c_str(), nullptr, false, false);
        NoteItem("No load cases", false);
      }
    });
    DrawCommandMenu("Templates", idle);
    DrawCommandMenu("Help", idle);
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

void CStmEditor::DrawResultCaption() {
  const CString caption = m_results.CaseCaption();
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
