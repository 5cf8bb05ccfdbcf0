// The editor's Templates menu and the panel of the chosen template's settings. The settings
// live on the scene's template tools, which last as long as the scene, so each template keeps
// what the user set from one use to the next.
#include <imgui.h>

#include <algorithm>

#include "CStmEditor.h"
#include "actions/CStmActionAddArch.h"
#include "actions/CStmActionAddBottleShape.h"
#include "actions/CStmActionAddCombinedMechanism.h"
#include "actions/CStmActionAddTruss.h"
#include "host/platform/StmText.h"

namespace {

// Marks a text for the catalogue where it is looked up later.
constexpr const char* StmTextNoop(const char* id) { return id; }

struct STemplateEntry {
  const char* id;
  long action;
  const char* label;
};
const STemplateEntry kTemplates[] = {
    {"templates.truss", CStmUbManager::kActionTruss, StmTextNoop("Truss")},
    {"templates.arch", CStmUbManager::kActionArch, StmTextNoop("Arch")},
    {"templates.bottleShape", CStmUbManager::kActionBottleShape, StmTextNoop("Bottle shape")},
    {"templates.combinedMechanism", CStmUbManager::kActionCombinedMechanism, StmTextNoop("Combined mechanism")}};

// More bays than this would not be told apart on screen.
constexpr int kMaxBays = 50;
constexpr double kMinRatio = 0.1;
constexpr double kMaxRatio = 100.0;

}  // namespace

void CStmEditor::AddTemplateCommands() {
  for (const STemplateEntry& entry : kTemplates) {
    const long action = entry.action;
    AddCommand({entry.id, entry.label, {StmTextNoop("Templates")}, "", "", "", [this] { return m_model.IsLock() == 0; },
                [this, action] { return m_wnd.GetActionTypeCur() == action; },
                [this, action] { m_wnd.SetAction(action, -1, 1); }});
  }
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
    if (radio(StmTextNoop("height"), truss->GetType() == STM_TRUSS_POINT_HEIGHT)) truss->SetType(STM_TRUSS_POINT_HEIGHT);
    ImGui::SameLine();
    if (radio(StmTextNoop("top corner"), truss->GetType() == STM_TRUSS_POINT_CORNER))
      truss->SetType(STM_TRUSS_POINT_CORNER);
    // Each diagonal rises towards the first or the second point picked.
    caption(StmTextNoop("Diagonals"));
    static const std::pair<EStmTypeTrussDirection, const char*> kDirections[] = {
        {STM_TRUSS_DIAGONAL_TO_P0, StmTextNoop("up to 1st")},
        {STM_TRUSS_DIAGONAL_TO_P1, StmTextNoop("up to 2nd")},
        {STM_TRUSS_DIAGONAL_BOTH, StmTextNoop("both")}};
    for (const auto& [direction, label] : kDirections) {
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
    if (radio(StmTextNoop("one"), bottle->GetTie() == 1)) bottle->SetTie(1);
    ImGui::SameLine();
    if (radio(StmTextNoop("two"), bottle->GetTie() == 2)) bottle->SetTie(2);
  } else {
    ImGui::TextUnformatted(StmText("Combined mechanism").c_str());
    caption(StmTextNoop("Ties"));
    static const std::pair<EStmTypeCombinedMechanism, const char*> kTypes[] = {
        {STM_COMBINED_TIE_HORIZONTAL, StmTextNoop("across")},
        {STM_COMBINED_TIE_VERTICAL_ONE, StmTextNoop("one upright")},
        {STM_COMBINED_TIE_VERTICAL_TWO, StmTextNoop("two upright")}};
    for (const auto& [type, label] : kTypes) {
      if (radio(label, combined->GetType() == type)) combined->SetType(type);
      ImGui::SameLine();
    }
    ImGui::NewLine();
  }
  ImGui::End();
}
