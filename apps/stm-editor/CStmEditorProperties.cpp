// The Properties panel's layout in the overlay.
#include "CStmEditorProperties.h"

#include <imgui.h>

#include <cstring>

#include "host/model/CStmModel.h"
#include "host/platform/StmText.h"

namespace {

constexpr size_t kBufferSize = 256;
constexpr float kPanelWidth = 300.0f;

std::string Text(const char* id) { return StmText(id).c_str(); }

}  // namespace

bool CStmEditorProperties::Draw(const NoteItemFn& noteItem, bool editable) {
  if (!m_bOpen) return false;
  m_state.Refresh();
  m_pNote = &noteItem;
  // Docked between the menu bar and the status line, so that it never hides either.
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  const float bar = ImGui::GetFrameHeight();
  ImGui::SetNextWindowPos(ImVec2(viewport->Pos.x + viewport->Size.x - kPanelWidth, viewport->Pos.y + bar));
  ImGui::SetNextWindowSize(ImVec2(kPanelWidth, viewport->Size.y - 2.0f * bar));
  const ImGuiWindowFlags flags = ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                 ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoFocusOnAppearing;
  const std::string title = Text("Properties") + "##properties";
  if (ImGui::Begin(title.c_str(), &m_bOpen, flags)) {
    ImGui::PushItemWidth(-110.0f);
    if (!editable) ImGui::BeginDisabled();
    if (m_state.GetCountNode() + m_state.GetCountElement() == 0) {
      ImGui::TextDisabled("%s", Text("Nothing selected").c_str());
    } else {
      CString counts;
      counts.Format(StmText("Selected: %d nodes, %d elements").c_str(), m_state.GetCountNode(),
                    m_state.GetCountElement());
      ImGui::TextUnformatted(counts.c_str());
    }
    if (m_state.GetCountNode() > 0) DrawNodes();
    if (m_state.GetCountElement() > 0) DrawElements();
    DrawCases();
    DrawModel();
    if (!editable) ImGui::EndDisabled();
    ImGui::PopItemWidth();
  }
  ImGui::End();
  m_pNote = nullptr;
  return !m_arPending.empty();
}

void CStmEditorProperties::ApplyPending() {
  std::vector<std::function<void()>> pending;
  pending.swap(m_arPending);
  for (const auto& edit : pending) edit();
}

void CStmEditorProperties::Field(const std::string& name, const CString& label,
                                 const CStmSelectionProperties::SValue& value,
                                 const std::function<void(const CString&)>& edit) {
  std::string& buffer = m_mapBuffer[name];
  // While the user types, the field keeps what is typed; otherwise it shows the model.
  if (!m_setActive.count(name) || buffer.size() != kBufferSize) {
    buffer.assign(kBufferSize, '\0');
    std::strncpy(&buffer[0], value.mixed ? "" : value.text.c_str(), kBufferSize - 1);
  }
  const std::string id = std::string(label.c_str()) + "##" + name;
  const bool enter = ImGui::InputTextWithHint(id.c_str(), value.mixed ? StmText("mixed").c_str() : "", &buffer[0],
                                              kBufferSize,
                                              ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_AutoSelectAll);
  // Enter also takes the focus away; that is one edit, not two.
  if (ImGui::IsItemActivated()) m_setEntered.erase(name);
  const bool left = ImGui::IsItemDeactivatedAfterEdit() && !m_setEntered.count(name);
  if (enter) m_setEntered.insert(name);
  if (ImGui::IsItemActive()) m_setActive.insert(name);
  else m_setActive.erase(name);
  (*m_pNote)(name, true);
  if (enter || left) {
    const CString typed(buffer.c_str());
    // Leaving a mixed field without typing is no edit.
    if (!(value.mixed && typed.IsEmpty())) m_arPending.push_back([edit, typed] { edit(typed); });
  }
}

void CStmEditorProperties::Choice(const std::string& name, const CString& label, int current,
                                  const std::vector<std::string>& choices, int first,
                                  const std::function<void(int)>& edit, const std::string& none) {
  const int at = current - first;
  const std::string preview = current == CStmSelectionProperties::kMixed                    ? Text("mixed")
                              : at >= 0 && at < static_cast<int>(choices.size())            ? choices[at]
                              : !none.empty()                                              ? none
                                                                                           : Text("other");
  const std::string id = std::string(label.c_str()) + "##" + name;
  const bool open = ImGui::BeginCombo(id.c_str(), preview.c_str());
  (*m_pNote)(name, true);
  if (!open) return;
  for (size_t i = 0; i < choices.size(); ++i) {
    const int value = first + static_cast<int>(i);
    if (ImGui::Selectable((choices[i] + "##" + name + std::to_string(i)).c_str(), value == current))
      m_arPending.push_back([edit, value] { edit(value); });
    (*m_pNote)(name + ": " + choices[i], true);
  }
  ImGui::EndCombo();
}

void CStmEditorProperties::DrawNodes() {
  using P = CStmSelectionProperties;
  if (!ImGui::CollapsingHeader(StmText("Nodes").c_str(), ImGuiTreeNodeFlags_DefaultOpen)) return;
  for (int axis = 0; axis < 2; ++axis) {
    const P::EField field = axis == 0 ? P::kNodeH : P::kNodeV;
    Field(std::string("Node ") + m_state.GetAxisName(axis), m_state.GetAxisName(axis), m_state.GetValue(field),
          [this, field](const CString& text) { m_state.SetValue(field, text); });
  }
  Choice("Support", StmText("Support"), m_state.GetRestraint(),
         {Text("Free"), Text("Pin"), Text("Roller"), Text("Fixed")}, P::kRestraintFree,
         [this](int kind) { m_state.SetRestraint(static_cast<P::ERestraint>(kind)); });
  if (m_state.GetRestraint() != P::kRestraintFree)
    Field("Support angle", StmText("Angle (deg)"), m_state.GetValue(P::kRollerAngle),
          [this](const CString& text) { m_state.SetValue(P::kRollerAngle, text); });
  static const char* const kSprings[] = {"Spring Ux", "Spring Uy", "Spring Uz", "Spring Rx", "Spring Ry", "Spring Rz"};
  for (int i = 0; i < 6; ++i) {
    const P::EField field = static_cast<P::EField>(P::kSpringUx + i);
    if (!m_state.IsSpringInPlane(field)) continue;
    Field(kSprings[i], StmText(kSprings[i]), m_state.GetValue(field),
          [this, field](const CString& text) { m_state.SetValue(field, text); });
  }
  Field("Plate width", StmText("Plate width"), m_state.GetValue(P::kPlateWidth),
        [this](const CString& text) { m_state.SetValue(P::kPlateWidth, text); });
  Field("Plate thickness", StmText("Plate thickness"), m_state.GetValue(P::kPlateThickness),
        [this](const CString& text) { m_state.SetValue(P::kPlateThickness, text); });
  // One row per static case: its nodal load along the plane's two axes.
  const std::vector<P::SCase>& cases = m_state.GetCases();
  for (int i = 0; i < static_cast<int>(cases.size()); ++i) {
    if (cases[i].combo) continue;
    for (int axis = 0; axis < 2; ++axis) {
      CString label;
      label.Format(StmText("Load %s %s").c_str(), cases[i].name.c_str(), m_state.GetAxisName(axis));
      Field(std::string("Load ") + cases[i].name.c_str() + " " + m_state.GetAxisName(axis), label,
            cases[i].load[axis], [this, i, axis](const CString& text) { m_state.SetLoad(i, axis, text); });
    }
  }
}

void CStmEditorProperties::DrawElements() {
  using P = CStmSelectionProperties;
  if (!ImGui::CollapsingHeader(StmText("Elements").c_str(), ImGuiTreeNodeFlags_DefaultOpen)) return;
  Choice("Member", StmText("Member"), m_state.GetMember(),
         {Text("Analysis decides"), Text("Strut"), Text("Tie")}, 0, [this](int member) { m_state.SetMember(member); });
  // The type tables are the model's own words.
  const CStmModel* model = m_state.GetModel();
  std::vector<std::string> struts{Text("None")}, ties{Text("None")};
  for (int i = 0; model && i < model->GetStmDataDefine()->GetCountStrut(); ++i)
    struts.push_back(model->GetStmDataDefine()->GetStrutType(i)->strName.c_str());
  for (int i = 0; model && i < model->GetStmDataDefine()->GetCountTie(); ++i)
    ties.push_back(model->GetStmDataDefine()->GetTieType(i)->strName.c_str());
  Choice("Strut type", StmText("Strut type"), m_state.GetStrutType(), struts, -1,
         [this](int index) { m_state.SetStrutType(index); });
  Choice("Tie type", StmText("Tie type"), m_state.GetTieType(), ties, -1, [this](int index) { m_state.SetTieType(index); });
  Field("Thickness scale", StmText("Thickness scale"), m_state.GetValue(P::kElementThicknessScale),
        [this](const CString& text) { m_state.SetValue(P::kElementThicknessScale, text); });
  Field("Attribute", StmText("Attribute"), m_state.GetValue(P::kElementAttribute),
        [this](const CString& text) { m_state.SetValue(P::kElementAttribute, text); });
}

void CStmEditorProperties::DrawCases() {
  using P = CStmSelectionProperties;
  if (!ImGui::CollapsingHeader(StmText("Load cases").c_str(), ImGuiTreeNodeFlags_DefaultOpen)) return;
  const std::vector<P::SCase>& cases = m_state.GetCases();
  // The selector of the loads the view shows.
  std::vector<std::string> names;
  for (const P::SCase& entry : cases) names.push_back(entry.name.c_str());
  if (!cases.empty())
    Choice("Loads shown", StmText("Loads shown"), m_state.GetShownCase(), names, 0,
           [this](int index) { m_state.ShowCase(index); });
  for (int i = 0; i < static_cast<int>(cases.size()); ++i) {
    const P::SCase& entry = cases[i];
    const std::string key = std::string(entry.combo ? "Combination " : "Case ") + entry.name.c_str();
    ImGui::PushID(key.c_str());
    P::SValue name;
    name.text = entry.name;
    ImGui::PushItemWidth(140.0f);
    Field(key, entry.combo ? StmText("Combination") : StmText("Load case"), name,
          [this, i](const CString& text) { m_state.RenameCase(i, text); });
    ImGui::PopItemWidth();
    ImGui::SameLine();
    if (ImGui::SmallButton(StmText("Delete").c_str())) m_arPending.push_back([this, i] { m_state.DeleteCase(i); });
    (*m_pNote)("Delete " + std::string(entry.name.c_str()), true);
    if (entry.combo) {
      ImGui::Indent();
      for (const P::STerm& term : entry.terms) {
        CString label;
        label.Format("x %s", term.name.c_str());
        const std::string termKey = key + " x " + term.name.c_str();
        const int termCase = term.caseIndex;
        Field(termKey, label, term.scale, [this, i, termCase](const CString& text) {
          if (termCase >= 0) m_state.SetTerm(i, termCase, text);
        });
        ImGui::SameLine();
        const int termId = term.id;
        if (ImGui::SmallButton((std::string("-##") + termKey).c_str()))
          m_arPending.push_back([this, i, termId] { m_state.RemoveTerm(i, termId); });
        (*m_pNote)("Remove " + termKey, true);
      }
      // A new term: the case chosen here joins with a scale of 1, which can then be typed.
      Choice(key + " term", StmText("Add term"), -1, names, 0,
             [this, i](int index) { m_state.SetTerm(i, index, "1"); }, Text("choose a case"));
      ImGui::Unindent();
    }
    ImGui::PopID();
  }
  ImGui::Separator();
  // The name waits here until one of the two buttons takes it.
  P::SValue fresh;
  fresh.text = m_strNewName;
  Field("New case name", StmText("Name"), fresh, [this](const CString& text) { m_strNewName = text; });
  const auto add = [this](bool combo) {
    if (m_state.AddCase(combo, m_strNewName)) m_strNewName.Empty();
  };
  if (ImGui::Button(StmText("Add load case").c_str())) m_arPending.push_back([add] { add(false); });
  (*m_pNote)("Add load case", true);
  ImGui::SameLine();
  if (ImGui::Button(StmText("Add combination").c_str())) m_arPending.push_back([add] { add(true); });
  (*m_pNote)("Add combination", true);
}

void CStmEditorProperties::DrawModel() {
  using P = CStmSelectionProperties;
  const CStmModel* model = m_state.GetModel();
  if (!model || !ImGui::CollapsingHeader(StmText("Model").c_str(), ImGuiTreeNodeFlags_DefaultOpen)) return;
  Choice("Design code", StmText("Design code"), m_state.GetDesignCode(), {"ACI 318-19", "EN 1992-1-1"},
         STM_CODE_ACI_318_19, [this](int code) { m_state.SetDesignCode(code); });
  // Stresses in the model's force per length squared, as stored.
  const std::string force = model->GetUnitForce().c_str(), length = model->GetUnitLength().c_str();
  const std::string stress = " (" + force + "/" + length + "^2)", size = " (" + length + ")";
  const bool en = m_state.GetDesignCode() == STM_CODE_EN_1992_1_1;
  const struct {
    P::EMaterial field;
    const char* name;
    std::string label;
  } fields[] = {
      {P::kConcreteStrength, "Concrete strength", (en ? "f_ck" : "f'c") + stress},
      {P::kConcreteModulus, "Concrete modulus", "E_c" + stress},
      {P::kSteelYield, "Steel yield", "f_y" + stress},
      {P::kSteelModulus, "Steel modulus", "E_s" + stress},
      {P::kThickness, "Thickness", Text("Thickness") + size},
      {P::kCover, "Cover", Text("Cover") + size},
      {P::kPoisson, "Poisson", Text("Poisson's ratio")},
      // How Results > Load path meshes the concrete and removes what carries little.
      {P::kElementSize, "Cell size", Text("Cell size") + size},
      {P::kRejectionRatio, "Rejection ratio", Text("Rejection ratio")},
      {P::kEvolutionRate, "Evolution rate", Text("Evolution rate")},
      {P::kTargetFraction, "Target fraction", Text("Target fraction")},
      {P::kZoneRadius, "Zone radius", Text("Zone radius") + size},
  };
  for (const auto& f : fields) {
    const P::EMaterial field = f.field;
    if (field == P::kElementSize) {
      ImGui::Separator();
      ImGui::TextUnformatted(Text("Load path").c_str());
    }
    Field(f.name, CString(f.label.c_str()), m_state.GetMaterial(field),
          [this, field](const CString& text) { m_state.SetMaterial(field, text); });
  }
}
