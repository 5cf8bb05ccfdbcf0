// Properties of the selection and the model's load cases, read for a panel and edited as undo
// steps of the scene's history.
#include "manager/CStmSelectionProperties.h"

#include <cmath>
#include <cstdlib>
#include <functional>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "host/model/StmModelLimits.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {

double& Component(CVector& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }
double Component(const CVector& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

// The model axes of the drawing plane: horizontal, vertical, and the one facing the viewer.
void PlaneAxes(int plane, int& h, int& v, int& n) {
  switch (plane) {
    case STM_PLANE_XY: h = 0, v = 1, n = 2; break;
    case STM_PLANE_YZ: h = 1, v = 2, n = 0; break;
    default: h = 0, v = 2, n = 1; break;
  }
}

CString Number(double value) {
  CString text;
  text.Format("%.10g", value == 0.0 ? 0.0 : value);
  return text;
}

// Folds one object's value into what the selection shares.
void Fold(CStmSelectionProperties::SValue& value, bool first, const CString& text) {
  if (first) {
    value.text = text;
    value.mixed = false;
  } else if (!value.mixed && !(value.text == text)) {
    value.mixed = true;
    value.text.Empty();
  }
}

void Fold(int& value, bool first, int each) {
  if (first) value = each;
  else if (value != each) value = CStmSelectionProperties::kMixed;
}

int* DofSlot(SStmDof& dof, int i) {
  int* slots[] = {&dof.Ux, &dof.Uy, &dof.Uz, &dof.Rx, &dof.Ry, &dof.Rz};
  return slots[i];
}

SStmDof DofOf(CStmSelectionProperties::ERestraint kind, int plane) {
  int h = 0, v = 0, n = 0;
  PlaneAxes(plane, h, v, n);
  SStmDof dof;
  if (kind == CStmSelectionProperties::kRestraintRoller) *DofSlot(dof, v) = 1;
  if (kind == CStmSelectionProperties::kRestraintPin || kind == CStmSelectionProperties::kRestraintFixed) {
    *DofSlot(dof, h) = 1;
    *DofSlot(dof, v) = 1;
  }
  // Every rotation, so that the symbol reads as clamped whichever way it is looked at.
  if (kind == CStmSelectionProperties::kRestraintFixed) dof.Rx = dof.Ry = dof.Rz = 1;
  return dof;
}

CStmSelectionProperties::ERestraint KindOf(const CStmObjRestraint* restraint, int plane) {
  if (!restraint) return CStmSelectionProperties::kRestraintFree;
  const SStmDof& dof = restraint->GetDof();
  if (dof == SStmDof()) return CStmSelectionProperties::kRestraintFree;
  for (auto kind : {CStmSelectionProperties::kRestraintPin, CStmSelectionProperties::kRestraintRoller,
                    CStmSelectionProperties::kRestraintFixed}) {
    if (dof == DofOf(kind, plane)) return kind;
  }
  return CStmSelectionProperties::kRestraintOther;
}

// The node's load in the case, all its records summed.
CVector LoadOf(const CStmObjLoadConditionStatic& condition, int idNode) {
  CVector sum;
  for (const auto& [id, load] : condition.GetLoadNodes()) {
    if (load->GetIdNode() == idNode) sum = sum + load->GetLoad();
  }
  return sum;
}

template <class T>
std::vector<T*> SelectedOfKind(CStmUbManager& manager, int kind) {
  std::vector<T*> out;
  for (const auto& entry : manager.GetSelectMap()) {
    auto* entity = static_cast<CUbEntityObj*>(entry.second);
    if (entity && entity->GetTypeEntity() == kind) {
      if (auto* typed = dynamic_cast<T*>(entity)) out.push_back(typed);
    }
  }
  return out;
}

template <class M>
auto MaterialSlot(M& m, CStmSelectionProperties::EMaterial field) {
  switch (field) {
    case CStmSelectionProperties::kConcreteStrength: return &m.dConcreteStrength;
    case CStmSelectionProperties::kConcreteModulus: return &m.dConcreteModulus;
    case CStmSelectionProperties::kSteelYield: return &m.dSteelYield;
    case CStmSelectionProperties::kSteelModulus: return &m.dSteelModulus;
    case CStmSelectionProperties::kThickness: return &m.dThickness;
    case CStmSelectionProperties::kPoisson: return &m.dPoisson;
    case CStmSelectionProperties::kElementSize: return &m.loadPath.dElementSize;
    case CStmSelectionProperties::kRejectionRatio: return &m.loadPath.dRejectionRatio;
    case CStmSelectionProperties::kEvolutionRate: return &m.loadPath.dEvolutionRate;
    case CStmSelectionProperties::kTargetFraction: return &m.loadPath.dTargetFraction;
    case CStmSelectionProperties::kZoneRadius: return &m.loadPath.dZoneRadius;
    default: return &m.dCover;
  }
}

// Why a value does not fit its field; empty when it does.
CString MaterialOutOfRange(CStmSelectionProperties::EMaterial field, double value) {
  using P = CStmSelectionProperties;
  switch (field) {
    case P::kPoisson:
      if (StmLimits::IsPoissonInLimit(value)) return CString();
      return StmText("Poisson's ratio must be at least 0 and below 0.5; nothing was changed");
    case P::kElementSize:
    case P::kZoneRadius:
      if (StmLimits::IsLoadPathSizeInLimit(value)) return CString();
      return StmText("A cell size or zone radius cannot be negative (0 chooses one from the outline); nothing was "
                     "changed");
    case P::kRejectionRatio:
      if (StmLimits::IsRejectionRatioInLimit(value)) return CString();
      return StmText("The rejection ratio must be at least 0 and below 1; nothing was changed");
    case P::kEvolutionRate:
      if (StmLimits::IsEvolutionRateInLimit(value)) return CString();
      return StmText("The evolution rate must be above 0 and at most 1; nothing was changed");
    case P::kTargetFraction:
      if (StmLimits::IsTargetFractionInLimit(value)) return CString();
      return StmText("The target fraction must be above 0 and at most 1; nothing was changed");
    default:
      if (StmLimits::IsMaterialInLimit(value)) return CString();
      return StmText("A strength, modulus, thickness or cover cannot be negative; nothing was changed");
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading

void CStmSelectionProperties::Refresh() {
  for (SValue& value : m_values) value = SValue();
  m_nRestraint = kRestraintFree;
  m_nMember = 0;
  m_nStrutType = m_nTieType = -1;
  m_arCase.clear();
  std::vector<CStmObjNode*> nodes;
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedNodeObjects(nodes);
  m_manager.GetSelectedElementObjects(elements);
  m_nNodes = static_cast<int>(nodes.size());
  m_nElements = static_cast<int>(elements.size());
  const CStmModel* model = m_manager.GetStmModel();
  m_nDesignCode = model ? model->GetMaterials().eCode : -1;
  for (int i = 0; i < kMaterialCount; ++i) {
    m_materials[i] = SValue();
    if (model) m_materials[i].text = Number(*MaterialSlot(model->GetMaterials(), static_cast<EMaterial>(i)));
  }
  if (!model) return;
  int h = 0, v = 0, n = 0;
  PlaneAxes(model->GetPlane(), h, v, n);

  const int statics = model->GetCountLoadConditionStatic();
  for (int i = 0; i < statics + model->GetCountLoadConditionCombo(); ++i) {
    SCase entry;
    if (i < statics) {
      const CStmObjLoadConditionStatic* condition = model->GetLoadConditionStaticIndex(i);
      entry.name = condition->GetName();
      for (size_t k = 0; k < nodes.size(); ++k) {
        const CVector load = LoadOf(*condition, nodes[k]->GetId());
        Fold(entry.load[0], k == 0, Number(Component(load, h)));
        Fold(entry.load[1], k == 0, Number(Component(load, v)));
      }
    } else {
      const CStmObjLoadConditionCombo* combo = model->GetLoadConditionComboIndex(i - statics);
      entry.name = combo->GetName();
      entry.combo = true;
      for (const auto& [id, factor] : combo->GetComboFactors()) {
        STerm term;
        term.id = id;
        term.name = factor->GetNameLoadCondition();
        for (int j = 0; j < statics + model->GetCountLoadConditionCombo(); ++j) {
          const bool isStatic = j < statics;
          if (isStatic != (factor->GetTypeLoadCondition() == CStmObjLoadComboFactor::kTypeStatic)) continue;
          const CString& name = isStatic ? model->GetLoadConditionStaticIndex(j)->GetName()
                                         : model->GetLoadConditionComboIndex(j - statics)->GetName();
          if (name == term.name) {
            term.caseIndex = j;
            break;
          }
        }
        term.scale.text = Number(factor->GetScaleFactor());
        entry.terms.push_back(term);
      }
    }
    m_arCase.push_back(entry);
  }

  for (size_t k = 0; k < nodes.size(); ++k) {
    const bool first = k == 0;
    const int id = nodes[k]->GetId();
    const CVector& coord = nodes[k]->GetCoord();
    Fold(m_values[kNodeH], first, Number(Component(coord, h)));
    Fold(m_values[kNodeV], first, Number(Component(coord, v)));
    const CStmObjRestraint* restraint = model->GetRestraintNode(id);
    Fold(m_nRestraint, first, KindOf(restraint, model->GetPlane()));
    Fold(m_values[kRollerAngle], first, restraint ? Number(restraint->GetRollerAngle()) : CString("0"));
    const CStmObjSpring* spring = model->GetSpringNode(id);
    for (int i = 0; i < 3; ++i) {
      Fold(m_values[kSpringUx + i], first, Number(spring ? Component(spring->GetU(), i) : 0.0));
      Fold(m_values[kSpringRx + i], first, Number(spring ? Component(spring->GetR(), i) : 0.0));
    }
    const CStmObjBearingPlate* plate = model->GetBearingPlateNode(id);
    Fold(m_values[kPlateWidth], first, Number(plate ? plate->GetProperty().dWidth : 0.0));
    Fold(m_values[kPlateThickness], first, Number(plate ? plate->GetProperty().dThickness : 0.0));
  }
  for (size_t k = 0; k < elements.size(); ++k) {
    const bool first = k == 0;
    const CStmObjElement* element = elements[k];
    Fold(m_values[kElementThicknessScale], first, Number(element->GetThicknessScale()));
    Fold(m_values[kElementAttribute], first, element->GetAttributeText());
    Fold(m_nMember, first, element->GetProperty().nTypeMember);
    Fold(m_nStrutType, first, element->GetIndexStrutType());
    Fold(m_nTieType, first, element->GetIndexTieType());
  }
}

const CStmModel* CStmSelectionProperties::GetModel() const { return m_manager.GetStmModel(); }

const char* CStmSelectionProperties::GetAxisName(int axis) const {
  static const char* const kNames[] = {"x", "y", "z"};
  const CStmModel* model = m_manager.GetStmModel();
  int h = 0, v = 0, n = 0;
  PlaneAxes(model ? model->GetPlane() : STM_PLANE_XZ, h, v, n);
  return kNames[axis == 0 ? h : v];
}

int CStmSelectionProperties::GetShownCase() const {
  const int index = m_manager.GetIndexLoadConditionLoad();
  return index >= 0 && index < static_cast<int>(m_arCase.size()) ? index : -1;
}

// ---------------------------------------------------------------------------------------------
// Editing

CStmModel* CStmSelectionProperties::GetEditableModel() {
  CStmModel* model = m_manager.GetStmModel();
  if (!model) return nullptr;
  if (model->IsLock()) {
    Refuse(StmLockedModelText());
    return nullptr;
  }
  return model;
}

bool CStmSelectionProperties::RefuseLongText(std::size_t limit) {
  CString message;
  message.Format(StmText("The text is longer than the limit of %d bytes; nothing was changed").c_str(),
                 static_cast<int>(limit));
  return Refuse(message);
}

bool CStmSelectionProperties::Refuse(const CString& message) {
  m_strMessage = message;
  GetUiHost().SetStatusText(message);
  return false;
}

bool CStmSelectionProperties::Change(const CString& message, const std::function<void()>& change) {
  const int steps = m_manager.GetUndoCount();
  {
    CUbHistoryBracket bracket(m_manager, message);
    change();
  }
  // A step is left only when a record changed.
  if (m_manager.GetUndoCount() == steps) return Unchanged();
  return Done(message);
}

bool CStmSelectionProperties::Unchanged() {
  m_strMessage = StmText("The value is the same; nothing was changed");
  GetUiHost().SetStatusText(m_strMessage);
  Refresh();
  return true;
}

bool CStmSelectionProperties::Done(const CString& message) {
  m_strMessage = message;
  GetUiHost().SetStatusText(message);
  if (CStmModel* model = m_manager.GetStmModel()) model->SetStmModifiedFlag(1);
  // The longest arrow of the case shown sets the length of every arrow.
  m_manager.SetIndexLoadConditionLoad(m_manager.GetIndexLoadConditionLoad(),
                                      m_manager.GetIndexLoadConditionLoadSubIndex());
  m_manager.InvalidateAllWnd();
  Refresh();
  return true;
}

bool CStmSelectionProperties::ParseNumber(const CString& text, double& value) {
  CString trimmed = text;
  trimmed.Trim();
  const char* begin = trimmed.c_str();
  char* end = nullptr;
  value = std::strtod(begin, &end);
  if (trimmed.IsEmpty() || *end != '\0' || !std::isfinite(value)) {
    CString message;
    message.Format(StmText("\"%s\" is not a number; nothing was changed").c_str(), text.c_str());
    return Refuse(message);
  }
  if (!StmLimits::IsValueInLimit(value)) {
    CString message;
    message.Format(StmText("%s is beyond the limit of +/-%g; nothing was changed").c_str(), trimmed.c_str(),
                   StmLimits::kMaxValue);
    return Refuse(message);
  }
  return true;
}

bool CStmSelectionProperties::IsSpringInPlane(EField field) const {
  const CStmModel* model = m_manager.GetStmModel();
  int h = 0, v = 2, n = 1;
  PlaneAxes(model ? model->GetPlane() : STM_PLANE_XZ, h, v, n);
  if (field >= kSpringUx && field <= kSpringUz) return field - kSpringUx == h || field - kSpringUx == v;
  if (field >= kSpringRx && field <= kSpringRz) return field - kSpringRx == n;
  return false;
}

bool CStmSelectionProperties::SetValue(EField field, const CString& text) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  Refresh();
  if (field >= kSpringUx && field <= kSpringRz && !IsSpringInPlane(field))
    return Refuse(StmText("A spring of a plane model acts only in its plane; nothing was changed"));
  const bool nodeField = field < kElementThicknessScale;
  if (nodeField ? m_nNodes == 0 : m_nElements == 0)
    return Refuse(nodeField ? StmText("Select a node first") : StmText("Select an element first"));

  if (field == kElementAttribute) {
    if (text.GetLength() > static_cast<int>(StmLimits::kMaxTextBytes)) return RefuseLongText(StmLimits::kMaxTextBytes);
    std::vector<CStmObjElement*> elements;
    m_manager.GetSelectedElementObjects(elements);
    return Change(StmText("Attribute text set"), [&] {
      for (CStmObjElement* element : elements) {
        if (!(element->GetAttributeText() == text)) element->SetAttributeText(text);
      }
    });
  }

  double value = 0.0;
  if (!ParseNumber(text, value)) return false;
  if ((field == kNodeH || field == kNodeV) && !StmLimits::IsCoordInLimit(value)) {
    CString message;
    message.Format(StmText("The coordinate %g is beyond the limit of +/-%g; nothing was changed").c_str(), value,
                   StmLimits::kMaxCoord);
    return Refuse(message);
  }
  if (field >= kSpringUx && field <= kSpringRz && value < 0.0)
    return Refuse(StmText("A spring's stiffness cannot be negative; nothing was changed"));
  if ((field == kPlateWidth || field == kPlateThickness) && value < 0.0)
    return Refuse(StmText("A bearing plate's width and thickness cannot be negative; nothing was changed"));
  if (field == kElementThicknessScale && value <= 0.0)
    return Refuse(StmText("The thickness scale must be greater than zero; nothing was changed"));

  if (field == kNodeH || field == kNodeV) {
    std::vector<CStmObjNode*> nodes;
    m_manager.GetSelectedNodeObjects(nodes);
    for (const CStmObjNode* node : nodes) {
      if (!node->IsMoveable()) {
        CString message;
        message.Format(StmText("Node %s is fixed in place and cannot be moved; nothing was changed").c_str(),
                       node->GetName().c_str());
        return Refuse(message);
      }
    }
    return Change(StmText("Moved to the typed coordinate"), [&] { MoveNodes(field == kNodeH ? 0 : 1, value); });
  }

  if (field == kRollerAngle && m_nRestraint == kRestraintFree)
    return Refuse(StmText("The angle turns a support; the selected nodes have none"));
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedElementObjects(elements);
  if (field == kElementThicknessScale) {
    return Change(StmText("Thickness scale set"), [&] {
      for (CStmObjElement* element : elements) {
        if (element->GetThicknessScale() != value) element->SetThicknessScale(value);
      }
    });
  }
  const CString message = field == kRollerAngle ? StmText("Support angle set")
                          : field <= kSpringRz  ? StmText("Spring set")
                                                : StmText("Bearing plate set");
  return Change(message, [&] { SetNodeValues(field, value); });
}

bool CStmSelectionProperties::SetMaterial(EMaterial field, const CString& text) {
  CStmModel* model = GetEditableModel();
  if (!model || static_cast<int>(field) < 0 || field >= kMaterialCount) return false;
  double value = 0.0;
  if (!ParseNumber(text, value)) return false;
  if (const CString why = MaterialOutOfRange(field, value); !why.IsEmpty()) return Refuse(why);
  SStmMaterials materials = model->GetMaterials();
  *MaterialSlot(materials, field) = value;
  return Change(field >= kElementSize ? StmText("Load-path settings set") : StmText("Materials set"), [&] {
    if (materials != model->GetMaterials()) model->SetMaterials(materials);
  });
}

bool CStmSelectionProperties::SetDesignCode(int code) {
  if (code != STM_CODE_ACI_318_19 && code != STM_CODE_EN_1992_1_1) return false;
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  SStmMaterials materials = model->GetMaterials();
  materials.eCode = static_cast<EStmDesignCode>(code);
  return Change(StmText("Design code set"), [&] {
    if (materials != model->GetMaterials()) model->SetMaterials(materials);
  });
}

void CStmSelectionProperties::SetNodeValues(EField field, double value) {
  CStmModel* model = m_manager.GetStmModel();
  std::vector<CStmObjNode*> nodes;
  m_manager.GetSelectedNodeObjects(nodes);
  for (const CStmObjNode* node : nodes) {
    const int id = node->GetId();
    if (field == kRollerAngle) {
      if (CStmObjRestraint* restraint = model->GetRestraintNode(id)) {
        if (restraint->GetRollerAngle() != value) restraint->SetRollerAngle(value);
      }
    } else if (field >= kSpringUx && field <= kSpringRz) {
      const CStmObjSpring* spring = model->GetSpringNode(id);
      CVector u = spring ? spring->GetU() : CVector();
      CVector r = spring ? spring->GetR() : CVector();
      if (field <= kSpringUz) Component(u, field - kSpringUx) = value;
      else Component(r, field - kSpringRx) = value;
      // What a file gave out of the plane goes with the first edit, so it is not saved as set.
      for (int i = 0; i < 3; ++i) {
        if (!IsSpringInPlane(static_cast<EField>(kSpringUx + i))) Component(u, i) = 0.0;
        if (!IsSpringInPlane(static_cast<EField>(kSpringRx + i))) Component(r, i) = 0.0;
      }
      // A spring without stiffness is no spring: the file then reads as if none was given.
      if (u == CVector() && r == CVector()) model->RemoveSpring(id);
      else if (!spring || !(spring->GetU() == u) || !(spring->GetR() == r)) model->AddSpring(id, u, r);
    } else {
      const CStmObjBearingPlate* plate = model->GetBearingPlateNode(id);
      SStmPropBearingPlate prop = plate ? plate->GetProperty() : SStmPropBearingPlate();
      (field == kPlateWidth ? prop.dWidth : prop.dThickness) = value;
      if (prop == SStmPropBearingPlate()) model->RemoveBearingPlate(id);
      else if (!plate || !(plate->GetProperty() == prop)) model->AddBearingPlate(id, prop);
    }
  }
}

void CStmSelectionProperties::MoveNodes(int axis, double value) {
  CStmModel* model = m_manager.GetStmModel();
  int h = 0, v = 0, n = 0;
  PlaneAxes(model->GetPlane(), h, v, n);
  std::vector<CString> keys;
  for (CStmEntityNode* node : SelectedOfKind<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode))
    keys.push_back(node->GetName());
  // As a grip drag does it, node by node: the elements at the old place follow, and a node that
  // lands on another merges with it. An earlier merge may have taken a later node away.
  for (const CString& key : keys) {
    auto* node = dynamic_cast<CStmEntityNode*>(m_manager.GetEtt(key));
    if (!node) continue;
    const CVector from = node->GetCoord();
    // The typed value itself: from + (value - from) can miss it by a bit.
    CVector to = from;
    Component(to, axis == 0 ? h : v) = value;
    if (to == from) continue;
    std::vector<CStmEntityElement*> attached;
    m_manager.GetEntityInvolvedElements(from, 0, attached);
    node->MoveOnePoint(from, to, 0);
    if (node->GetCoord() == from) continue;  // a fixed node said why it stays
    m_manager.AddHistory_ActionOneNode(node->GetName(), from, to, 0);
    m_manager.StretchElementMovedNode(node, attached);
  }
}

bool CStmSelectionProperties::SetRestraint(ERestraint kind) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  std::vector<CStmObjNode*> nodes;
  m_manager.GetSelectedNodeObjects(nodes);
  if (nodes.empty()) return Refuse(StmText("Select a node first"));
  if (kind == kRestraintOther) return Refuse(StmText("Choose free, pin, roller or fixed"));
  const SStmDof dof = DofOf(kind, model->GetPlane());
  return Change(StmText("Support set"), [&] {
    for (const CStmObjNode* node : nodes) {
      const CStmObjRestraint* restraint = model->GetRestraintNode(node->GetId());
      if (kind == kRestraintFree) model->RemoveRestraint(node->GetId());
      else if (!restraint || !(restraint->GetDof() == dof))
        model->AddRestraint(node->GetId(), dof, restraint ? restraint->GetRollerAngle() : 0.0);
    }
  });
}

bool CStmSelectionProperties::SetMember(int member) {
  if (member < 0 || member > 2) return false;
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedElementObjects(elements);
  if (elements.empty()) return Refuse(StmText("Select an element first"));
  return Change(StmText("Member type set"), [&] {
    for (CStmObjElement* element : elements) {
      SStmPropElement prop = element->GetProperty();
      if (prop.nTypeMember == member) continue;
      prop.nTypeMember = member;
      element->SetProperty(prop);
    }
  });
}

bool CStmSelectionProperties::SetStrutType(int index) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  if (index < -1 || index >= model->GetStmDataDefine()->GetCountStrut()) return false;
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedElementObjects(elements);
  if (elements.empty()) return Refuse(StmText("Select an element first"));
  return Change(StmText("Strut type set"), [&] {
    for (CStmObjElement* element : elements) {
      if (element->GetIndexStrutType() != index) element->SetIndexStrutType(index);
    }
  });
}

bool CStmSelectionProperties::SetTieType(int index) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  if (index < -1 || index >= model->GetStmDataDefine()->GetCountTie()) return false;
  std::vector<CStmObjElement*> elements;
  m_manager.GetSelectedElementObjects(elements);
  if (elements.empty()) return Refuse(StmText("Select an element first"));
  return Change(StmText("Tie type set"), [&] {
    for (CStmObjElement* element : elements) {
      if (element->GetIndexTieType() != index) element->SetIndexTieType(index);
    }
  });
}

bool CStmSelectionProperties::SetLoad(int caseIndex, int axis, const CString& text) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  CStmObjLoadConditionStatic* condition = model->GetLoadConditionStaticIndex(caseIndex);
  if (!condition || axis < 0 || axis > 1) return false;
  std::vector<CStmObjNode*> nodes;
  m_manager.GetSelectedNodeObjects(nodes);
  if (nodes.empty()) return Refuse(StmText("Select a node first"));
  double value = 0.0;
  if (!ParseNumber(text, value)) return false;
  int h = 0, v = 0, n = 0;
  PlaneAxes(model->GetPlane(), h, v, n);
  CString message;
  message.Format(StmText("Nodal load of %s set").c_str(), condition->GetName().c_str());
  return Change(message, [&] {
    for (const CStmObjNode* node : nodes) {
      const int id = node->GetId();
      const CVector before = LoadOf(*condition, id);
      CVector load = before;
      Component(load, axis == 0 ? h : v) = value;
      if (load == before) continue;
      int records = 0;
      CStmObjLoadNode* only = nullptr;
      for (const auto& [idLoad, record] : condition->GetLoadNodes()) {
        if (record->GetIdNode() == id) ++records, only = record;
      }
      // One record per node and case, and none for no load, as a file written by hand has it.
      if (records == 1 && !(load == CVector())) {
        only->SetLoad(load);
      } else {
        condition->RemoveLoadNodes(id);
        if (!(load == CVector())) model->AddLoadNode(condition->GetName(), id, load);
      }
    }
  });
}

// ---------------------------------------------------------------------------------------------
// Load cases and combinations

bool CStmSelectionProperties::AddCase(bool combo, const CString& text) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  CString name = text;
  name.Trim();
  if (name.IsEmpty()) return Refuse(StmText("A load case needs a name"));
  if (name.GetLength() > static_cast<int>(StmLimits::kMaxNameBytes)) return RefuseLongText(StmLimits::kMaxNameBytes);
  if (model->GetLoadConditionStatic(name) || model->GetLoadConditionCombo(name)) {
    CString message;
    message.Format(StmText("The name %s is taken; nothing was changed").c_str(), name.c_str());
    return Refuse(message);
  }
  {
    CUbHistoryBracket bracket(m_manager, combo ? StmText("Add combination") : StmText("Add load case"));
    m_manager.KeepIndexLoadConditionAcross([&] {
      if (combo) model->AddLoadConditionCombo(name);
      else model->AddLoadConditionStatic(name);
    });
  }
  CString message;
  message.Format(combo ? StmText("Combination %s added").c_str() : StmText("Load case %s added").c_str(),
                 name.c_str());
  return Done(message);
}

bool CStmSelectionProperties::RenameCase(int caseIndex, const CString& text) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  const int statics = model->GetCountLoadConditionStatic();
  const bool combo = caseIndex >= statics;
  const CStmObject* condition = combo ? static_cast<const CStmObject*>(model->GetLoadConditionComboIndex(caseIndex - statics))
                                      : model->GetLoadConditionStaticIndex(caseIndex);
  if (!condition) return false;
  CString name = text;
  name.Trim();
  if (name.IsEmpty()) return Refuse(StmText("A load case needs a name"));
  if (name.GetLength() > static_cast<int>(StmLimits::kMaxNameBytes)) return RefuseLongText(StmLimits::kMaxNameBytes);
  if (name == condition->GetName()) return Unchanged();
  if (model->GetLoadConditionStatic(name) || model->GetLoadConditionCombo(name)) {
    CString message;
    message.Format(StmText("The name %s is taken; nothing was changed").c_str(), name.c_str());
    return Refuse(message);
  }
  const CString old = condition->GetName();
  {
    CUbHistoryBracket bracket(m_manager, StmText("Rename load case"));
    model->RenameLoadCondition(combo ? CStmObjLoadComboFactor::kTypeCombo : CStmObjLoadComboFactor::kTypeStatic, old,
                               name);
  }
  CString message;
  message.Format(StmText("%s renamed to %s").c_str(), old.c_str(), name.c_str());
  return Done(message);
}

bool CStmSelectionProperties::DeleteCase(int caseIndex) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  const int statics = model->GetCountLoadConditionStatic();
  const bool combo = caseIndex >= statics;
  const int type = combo ? CStmObjLoadComboFactor::kTypeCombo : CStmObjLoadComboFactor::kTypeStatic;
  const CStmObjLoadConditionStatic* condition = combo ? nullptr : model->GetLoadConditionStaticIndex(caseIndex);
  const CStmObject* record = combo ? static_cast<const CStmObject*>(model->GetLoadConditionComboIndex(caseIndex - statics))
                                   : condition;
  if (!record) return false;
  const CString name = record->GetName();
  if (const CStmObjLoadConditionCombo* user = model->GetComboUsing(type, name)) {
    CString message;
    message.Format(StmText("%s cannot be deleted: combination %s uses it").c_str(), name.c_str(),
                   user->GetName().c_str());
    return Refuse(message);
  }
  const int loads = condition ? static_cast<int>(condition->GetLoadNodes().size()) : 0;
  {
    CUbHistoryBracket bracket(m_manager, StmText("Delete load case"));
    m_manager.KeepIndexLoadConditionAcross([&] { model->RemoveLoadCondition(type, name); });
  }
  CString message;
  if (loads > 0) message.Format(StmText("%s deleted with its nodal loads: %d").c_str(), name.c_str(), loads);
  else message.Format(StmText("%s deleted").c_str(), name.c_str());
  return Done(message);
}

bool CStmSelectionProperties::SetTerm(int comboIndex, int termCaseIndex, const CString& scaleText) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  const int statics = model->GetCountLoadConditionStatic();
  CStmObjLoadConditionCombo* combo = model->GetLoadConditionComboIndex(comboIndex - statics);
  const bool termStatic = termCaseIndex < statics;
  const CStmObject* term = termStatic ? static_cast<const CStmObject*>(model->GetLoadConditionStaticIndex(termCaseIndex))
                                      : model->GetLoadConditionComboIndex(termCaseIndex - statics);
  if (!combo || !term) return false;
  const int type = termStatic ? CStmObjLoadComboFactor::kTypeStatic : CStmObjLoadComboFactor::kTypeCombo;
  if (!termStatic && model->IsComboReaching(term->GetName(), combo->GetName())) {
    CString message;
    message.Format(StmText("%s cannot take %s: the combination would refer to itself; nothing was changed").c_str(),
                   combo->GetName().c_str(), term->GetName().c_str());
    return Refuse(message);
  }
  double scale = 0.0;
  if (!ParseNumber(scaleText, scale)) return false;
  CStmObjLoadComboFactor* existing = nullptr;
  for (const auto& [id, factor] : combo->GetComboFactors()) {
    if (factor->GetTypeLoadCondition() == type && factor->GetNameLoadCondition() == term->GetName()) existing = factor;
  }
  if (existing && existing->GetScaleFactor() == scale) return Unchanged();
  {
    CUbHistoryBracket bracket(m_manager, StmText("Set combination term"));
    if (existing) existing->SetScaleFactor(scale);
    else combo->AddComboFactor(term->GetName(), type, scale);
  }
  CString message;
  message.Format(StmText("%s takes %s x %s").c_str(), combo->GetName().c_str(), Number(scale).c_str(),
                 term->GetName().c_str());
  return Done(message);
}

bool CStmSelectionProperties::RemoveTerm(int comboIndex, int termId) {
  CStmModel* model = GetEditableModel();
  if (!model) return false;
  CStmObjLoadConditionCombo* combo = model->GetLoadConditionComboIndex(comboIndex - model->GetCountLoadConditionStatic());
  if (!combo || !combo->GetComboFactor(termId)) return false;
  const CString name = combo->GetComboFactor(termId)->GetNameLoadCondition();
  {
    CUbHistoryBracket bracket(m_manager, StmText("Remove combination term"));
    combo->RemoveComboFactor(termId);
  }
  CString message;
  message.Format(StmText("%s no longer takes %s").c_str(), combo->GetName().c_str(), name.c_str());
  return Done(message);
}

bool CStmSelectionProperties::ShowCase(int caseIndex) {
  const CStmModel* model = m_manager.GetStmModel();
  if (!model || caseIndex < 0 ||
      caseIndex >= model->GetCountLoadConditionStatic() + model->GetCountLoadConditionCombo())
    return false;
  m_manager.SetIndexLoadConditionLoad(caseIndex, -1);
  m_manager.InvalidateAllWnd();
  Refresh();
  return true;
}
