// The editor's Templates menu and the panel of the chosen template's settings. The settings
// live on the scene's template tools, which last as long as the scene, so each template keeps
// what the user set from one use to the next.
#include <imgui.h>

#include <algorithm>

#include "CStmEditor.h"
#include "StmToolCommands.h"
#include "actions/CStmActionAddArch.h"
#include "actions/CStmActionAddBottleShape.h"
#include "actions/CStmActionAddCombinedMechanism.h"
#include "actions/CStmActionAddTruss.h"
#include "host/platform/StmText.h"

namespace {

// Marks a text for the catalogue where it is looked up later.
constexpr const char* StmTextNoop(const char* id) { return id; }

using StmTemplateLimits::kMaxBays;
using StmTemplateLimits::kMaxRatio;
using StmTemplateLimits::kMinRatio;

}  // namespace

void CStmEditor::AddTemplateCommands() {
  for (SStmCommand& command :
       StmTemplateCommands(m_wnd, m_model, [this](long action) { m_wnd.SetAction(action, -1, 1); }))
    AddCommand(std::move(command));
}

void CStmEditor::DrawTemplateSettings() {
  const long id = m_wnd.GetActionTypeCur();
  CUbActionBase* action = m_manager.GetAction(id);
  auto* truss = dynamic_cast<CStmActionAddTruss*>(action);
  auto* arch = dynamic_cast<CStmActionAddArch*>(action);
  auto* bottle = dynamic_cast<CStmActionAddBottleShape*>(action);
  auto* combined = dynamic_cast<CStmActionAddCombinedMechanism*>(action);
  if (!truss && !arch && !bottle && !combined) return;

  // First under the menu bar at the right; the user may drag it off what it covers.
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  ImGui::SetNextWindowPos(ImVec2(viewport->Pos.x + viewport->Size.x - 6.0f,
                                 viewport->Pos.y + ImGui::GetFrameHeight() + 6.0f),
                          ImGuiCond_FirstUseEver, ImVec2(1.0f, 0.0f));
  const ImGuiWindowFlags flags = ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoSavedSettings |
                                 ImGuiWindowFlags_NoFocusOnAppearing | ImGuiWindowFlags_NoCollapse;
  const std::string title = std::string(StmText("Template settings").c_str()) + "##templates";
  if (!ImGui::Begin(title.c_str(), nullptr, flags)) {
    ImGui::End();
    return;
  }
  const auto radio = [this](const char* label, bool chosen) {
    const bool clicked = ImGui::RadioButton(StmText(label).c_str(), chosen);
    NoteItem(label, true);
    return clicked;
  };
  const auto caption = [](const char* label) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(StmText(label).c_str());
    ImGui::SameLine();
  };
  const auto bays = [this, &caption](int value) {
    caption(StmTextNoop("Bays"));
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 4.0f);
    ImGui::InputInt("##bays", &value, 0, 0);
    NoteItem("Bays", true);
    ImGui::SameLine();
    if (ImGui::Button("-##bays")) --value;
    NoteItem("Fewer bays", true);
    ImGui::SameLine();
    if (ImGui::Button("+##bays")) ++value;
    NoteItem("More bays", true);
    return std::clamp(value, 1, kMaxBays);
  };

  if (truss) {
    ImGui::TextUnformatted(StmText("Truss").c_str());
    truss->SetBay(bays(truss->GetBay()));
    caption(StmTextNoop("Third point"));
    for (const auto& [type, label] : StmTrussPointChoices()) {
      if (radio(label, truss->GetType() == type)) truss->SetType(type);
      ImGui::SameLine();
    }
    ImGui::NewLine();
    caption(StmTextNoop("Diagonals"));
    for (const auto& [direction, label] : StmTrussDirectionChoices()) {
      if (radio(label, truss->GetDirection() == direction)) truss->SetDirection(direction);
      ImGui::SameLine();
    }
    ImGui::NewLine();
  } else if (arch) {
    ImGui::TextUnformatted(StmText("Arch").c_str());
    arch->SetBay(bays(arch->GetBay()));
  } else if (bottle) {
    ImGui::TextUnformatted(StmText("Bottle shape").c_str());
    double ratio = bottle->GetRatio();
    caption(StmTextNoop("Length to width"));
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 5.0f);
    ImGui::InputDouble("##ratio", &ratio, 0.0, 0.0, "%.2f");
    NoteItem("Length to width", true);
    bottle->SetRatio(std::clamp(ratio, kMinRatio, kMaxRatio));
    caption(StmTextNoop("Ties"));
    for (const auto& [tie, label] : StmBottleTieChoices()) {
      if (radio(label, bottle->GetTie() == tie)) bottle->SetTie(tie);
      ImGui::SameLine();
    }
    ImGui::NewLine();
  } else {
    ImGui::TextUnformatted(StmText("Combined mechanism").c_str());
    caption(StmTextNoop("Ties"));
    for (const auto& [type, label] : StmCombinedChoices()) {
      if (radio(label, combined->GetType() == type)) combined->SetType(type);
      ImGui::SameLine();
    }
    ImGui::NewLine();
  }
  ImGui::End();
}
