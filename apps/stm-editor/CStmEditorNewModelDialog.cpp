// The new-model dialog's layout in the overlay.
#include "CStmEditorNewModelDialog.h"

#include <imgui.h>

#include "host/model/StmModelTypes.h"
#include "host/platform/StmText.h"

void CStmEditorNewModelDialog::Show(int plane, const std::string& unitLength, const std::string& unitForce) {
  m_eState = EState::kOpen;
  m_nPlane = plane;
  m_strLength = unitLength;
  m_strForce = unitForce;
}

void CStmEditorNewModelDialog::Draw(const NoteItemFn& noteItem) {
  if (m_eState != EState::kOpen) return;
  const std::string id = std::string(StmText("New model").c_str()) + "##new";
  if (!ImGui::IsPopupOpen(id.c_str())) ImGui::OpenPopup(id.c_str());
  ImGui::SetNextWindowPos(ImGui::GetMainViewport()->GetCenter(), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
  if (!ImGui::BeginPopupModal(id.c_str(), nullptr, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove |
                                                        ImGuiWindowFlags_NoSavedSettings)) {
    return;
  }
  static const std::pair<int, const char*> kPlanes[] = {
      {STM_PLANE_XY, "x-y"}, {STM_PLANE_XZ, "x-z"}, {STM_PLANE_YZ, "y-z"}};
  // Units as the model names them; the common metric ones are enough to start from.
  static const char* const kLengths[] = {"mm", "cm", "m"};
  static const char* const kForces[] = {"N", "kN", "MN"};

  // One column per choice, so that the three rows line up.
  const auto column = [](size_t i) { return ImGui::GetFontSize() * (9.0f + 4.0f * static_cast<float>(i)); };
  ImGui::AlignTextToFramePadding();
  ImGui::TextUnformatted(StmText("Drawing plane").c_str());
  for (size_t i = 0; i < 3; ++i) {
    ImGui::SameLine(column(i));
    if (ImGui::RadioButton(kPlanes[i].second, m_nPlane == kPlanes[i].first)) m_nPlane = kPlanes[i].first;
    noteItem(kPlanes[i].second, true);
  }
  const auto units = [&](const CString& title, const char* const (&names)[3], std::string& unit) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(title.c_str());
    for (size_t i = 0; i < 3; ++i) {
      ImGui::SameLine(column(i));
      if (ImGui::RadioButton(names[i], unit == names[i])) unit = names[i];
      noteItem(names[i], true);
    }
  };
  units(StmText("Length unit"), kLengths, m_strLength);
  units(StmText("Force unit"), kForces, m_strForce);
  static const char* const kCodes[] = {"ACI 318-19", "EN 1992-1-1"};
  ImGui::AlignTextToFramePadding();
  ImGui::TextUnformatted(StmText("Design code").c_str());
  for (int i = 0; i < 2; ++i) {
    ImGui::SameLine(column(static_cast<size_t>(2 * i)));
    if (ImGui::RadioButton(kCodes[i], m_nCode == i)) m_nCode = i;
    noteItem(kCodes[i], true);
  }
  ImGui::Separator();
  if (ImGui::Button(StmText("OK").c_str(), ImVec2(90.0f, 0.0f))) Confirm();
  noteItem("OK", true);
  ImGui::SameLine();
  if (ImGui::Button(StmText("Cancel").c_str(), ImVec2(90.0f, 0.0f))) Cancel();
  noteItem("Cancel", true);
  ImGui::TextDisabled("%s", StmText("Keys: Enter OK, Esc Cancel").c_str());
  if (m_eState != EState::kOpen) ImGui::CloseCurrentPopup();
  ImGui::EndPopup();
}
