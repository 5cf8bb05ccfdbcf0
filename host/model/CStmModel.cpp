// The strut-and-tie model: record bookkeeping, chains into polygons, naming and result queries.
#include "host/model/CStmModel.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <type_traits>
#include <unordered_map>

#include "geometry/StmGeometry.h"

namespace {

bool IsFinite(const CVector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

template <class T>
T* Find(const std::map<int, T*>& map, int id) {
  auto it = map.find(id);
  return it == map.end() ? nullptr : it->second;
}

template <class T>
void DeleteAll(std::map<int, T*>& map) {
  for (auto& [id, record] : map) delete record;
  map.clear();
}

template <class T>
int NextId(const std::map<int, T*>& map) {
  return map.empty() ? 1 : std::max(1, map.rbegin()->first + 1);
}

template <class T>
int CountOf(const std::map<int, T*>& map, int onlyEnabled) {
  if (!onlyEnabled) return static_cast<int>(map.size());
  return static_cast<int>(
      std::count_if(map.begin(), map.end(), [](const auto& entry) { return entry.second->IsEnable(); }));
}

// byIndex 0: by id, -1 the first enabled; byIndex 1: position among the enabled.
template <class T>
T* Pick(const std::map<int, T*>& map, int key, int byIndex) {
  if (!byIndex && key != -1) return Find(map, key);
  int position = 0;
  for (const auto& [id, record] : map) {
    if (!record->IsEnable()) continue;
    if (!byIndex || position == key) return record;
    ++position;
  }
  return nullptr;
}

// Bijective base 26: 1 A, 26 Z, 27 AA.
CString Letters(int number) {
  if (number < 1) return CString();
  std::string text;
  while (number > 0) {
    --number;
    text.insert(text.begin(), static_cast<char>('A' + number % 26));
    number /= 26;
  }
  return CString(text);
}

CString Numbered(const char* prefix, int id) {
  CString name;
  name.Format("%s%d", prefix, id);
  return name;
}

}  // namespace

CStmModel::CStmModel() = default;

CStmModel::~CStmModel() { Clear(); }

void CStmModel::Clear() {
  ++m_nRecordGeneration;
  m_pChange.reset();
  m_nChangeDepth = 0;
  m_nodeElements.clear();
  DeleteAll(m_nodes);
  DeleteAll(m_elements);
  DeleteAll(m_boundaries[0]);
  DeleteAll(m_boundaries[1]);
  DeleteAll(m_areas);
  DeleteAll(m_restraints);
  DeleteAll(m_springs);
  DeleteAll(m_plates);
  DeleteAll(m_statics);
  DeleteAll(m_combos);
  m_view = CStmDataView();
  m_define.RemoveAll();
  m_config = CStmDataConfig();
  m_nPlane = STM_PLANE_XZ;
  m_bLock = false;
  m_bInputModel = true;
  m_bModified = false;
  m_strDescription.Empty();
  m_strUnitLength = "mm";
  m_strUnitForce = "kN";
  m_materials = SStmMaterials();
  ClearResults();
}

void CStmModel::Swap(CStmModel& other) {
  std::swap(m_nodes, other.m_nodes);
  std::swap(m_elements, other.m_elements);
  std::swap(m_boundaries[0], other.m_boundaries[0]);
  std::swap(m_boundaries[1], other.m_boundaries[1]);
  std::swap(m_areas, other.m_areas);
  std::swap(m_restraints, other.m_restraints);
  std::swap(m_springs, other.m_springs);
  std::swap(m_plates, other.m_plates);
  std::swap(m_statics, other.m_statics);
  std::swap(m_combos, other.m_combos);
  std::swap(m_view, other.m_view);
  std::swap(m_define, other.m_define);
  std::swap(m_config, other.m_config);
  std::swap(m_nPlane, other.m_nPlane);
  std::swap(m_bLock, other.m_bLock);
  std::swap(m_bInputModel, other.m_bInputModel);
  std::swap(m_bModified, other.m_bModified);
  std::swap(m_strDescription, other.m_strDescription);
  std::swap(m_strUnitLength, other.m_strUnitLength);
  std::swap(m_strUnitForce, other.m_strUnitForce);
  std::swap(m_materials, other.m_materials);
  std::swap(m_esoSteps, other.m_esoSteps);
  std::swap(m_nStepEso, other.m_nStepEso);
  std::swap(m_stressFlow, other.m_stressFlow);
  std::swap(m_nodalZones, other.m_nodalZones);
  std::swap(m_nNodalZone, other.m_nNodalZone);
  std::swap(m_meshPlane, other.m_meshPlane);
  std::swap(m_meshSpace, other.m_meshSpace);
  std::swap(m_nTypeMesh, other.m_nTypeMesh);
  std::swap(m_boundaryRefs, other.m_boundaryRefs);
  std::swap(m_reactions, other.m_reactions);
  std::swap(m_checks, other.m_checks);
  std::swap(m_nodeElements, other.m_nodeElements);
  ++m_nRecordGeneration;
  ++other.m_nRecordGeneration;
  AttachAll();
  other.AttachAll();
}

void CStmModel::AttachAll() {
  auto attach = [this](auto& map) {
    for (auto& [id, record] : map) record->m_pModel = this;
  };
  attach(m_nodes);
  attach(m_elements);
  attach(m_boundaries[0]);
  attach(m_boundaries[1]);
  attach(m_areas);
  attach(m_restraints);
  attach(m_springs);
  attach(m_plates);
  attach(m_statics);
  attach(m_combos);
}

template <class T>
T* CStmModel::Adopt(Map<T>& map, T* record, int id) {
  record->m_nId = id;
  record->m_pModel = this;
  map[id] = record;
  ++m_nRecordGeneration;
  if (m_pChange) {
    // A boundary learns its type after this, so the collection comes from the map it joins.
    CStmModelChange::ECollection collection = CollectionOf(*record);
    if (static_cast<const void*>(&map) == &m_boundaries[1]) collection = CStmModelChange::kInnerBoundaries;
    const auto key = std::make_pair(static_cast<int>(collection), id);
    if (!m_pChange->m_mapSeen.count(key)) {
      m_pChange->m_mapSeen[key] = m_pChange->m_entries.size();
      m_pChange->m_entries.push_back({collection, id, nullptr, nullptr});
    }
  }
  return record;
}

// ---- Creation

CStmObjNode* CStmModel::AddNode(const CVector& pos, int id) {
  if (!IsFinite(pos)) return nullptr;
  if (id == -1) id = NextId(m_nodes);
  if (id < 1 || m_nodes.count(id)) return nullptr;
  CStmObjNode* node = Adopt(m_nodes, new CStmObjNode, id);
  node->SetCoord(pos);
  NameNode(*node);
  return node;
}

CStmObjElement* CStmModel::AddElement(int idNodeBegin, int idNodeEnd, const SStmPropElement& prop, int id) {
  if (idNodeBegin == idNodeEnd) return nullptr;
  return RestoreElement(idNodeBegin, idNodeEnd, prop, id);
}

CStmObjElement* CStmModel::RestoreElement(int idNodeBegin, int idNodeEnd, const SStmPropElement& prop, int id) {
  if (!GetNode(idNodeBegin) || !GetNode(idNodeEnd)) return nullptr;
  if (id == -1) id = NextId(m_elements);
  if (id < 1 || m_elements.count(id)) return nullptr;
  CStmObjElement* element = Adopt(m_elements, new CStmObjElement, id);
  element->m_nIdNodeBegin = idNodeBegin;
  element->m_nIdNodeEnd = idNodeEnd;
  LinkElement(*element);
  element->SetProperty(prop);
  NameElement(*element);
  return element;
}

CStmObjRestraint* CStmModel::AddRestraint(int idNode, const SStmDof& dof, double rollerAngle, int id) {
  if (!GetNode(idNode) || !std::isfinite(rollerAngle)) return nullptr;
  CStmObjRestraint* restraint = GetRestraintNode(idNode, 0);
  if (!restraint) {
    if (id == -1) id = NextId(m_restraints);
    if (id < 1 || m_restraints.count(id)) return nullptr;
    restraint = Adopt(m_restraints, new CStmObjRestraint, id);
    restraint->SetName(Numbered("R", id));
    restraint->SetIdNode(idNode);
  }
  restraint->SetEnable(1);
  restraint->SetDof(dof);
  restraint->SetRollerAngle(rollerAngle);
  return restraint;
}

CStmObjSpring* CStmModel::AddSpring(int idNode, const CVector& u, const CVector& r, int id) {
  if (!GetNode(idNode) || !IsFinite(u) || !IsFinite(r)) return nullptr;
  CStmObjSpring* spring = GetSpringNode(idNode);
  if (!spring) {
    if (id == -1) id = NextId(m_springs);
    if (id < 1 || m_springs.count(id)) return nullptr;
    spring = Adopt(m_springs, new CStmObjSpring, id);
    spring->SetName(Numbered("S", id));
    spring->SetIdNode(idNode);
  }
  spring->SetEnable(1);
  spring->SetU(u);
  spring->SetR(r);
  return spring;
}

CStmObjBearingPlate* CStmModel::AddBearingPlate(int idNode, const SStmPropBearingPlate& prop, int id) {
  if (!GetNode(idNode) || !std::isfinite(prop.dWidth) || !std::isfinite(prop.dThickness)) return nullptr;
  CStmObjBearingPlate* plate = GetBearingPlateNode(idNode);
  if (!plate) {
    if (id == -1) id = NextId(m_plates);
    if (id < 1 || m_plates.count(id)) return nullptr;
    plate = Adopt(m_plates, new CStmObjBearingPlate, id);
    plate->SetName(Numbered("P", id));
    plate->SetIdNode(idNode);
  }
  plate->SetEnable(1);
  plate->SetProperty(prop);
  return plate;
}

CStmObjArea* CStmModel::AddPropertyArea(const std::vector<int>& idElements, int id) {
  std::vector<CVector> points;
  std::vector<int> ordered;
  if (!OrderChain(idElements, points, ordered)) return nullptr;
  if (id == -1) id = NextId(m_areas);
  if (id < 1 || m_areas.count(id)) return nullptr;
  CStmObjArea* area = Adopt(m_areas, new CStmObjArea, id);
  area->SetName(Numbered("Area", id));
  area->m_points = std::move(points);
  area->m_idElements = std::move(ordered);
  return area;
}

int CStmModel::NextBoundaryId() const { return std::max(NextId(m_boundaries[0]), NextId(m_boundaries[1])); }

CStmObjBoundary* CStmModel::SetBoundary(EStmTypeBoundary type, const std::vector<CVector>& polygon, int id) {
  if (!std::all_of(polygon.begin(), polygon.end(), IsFinite)) return nullptr;
  Map<CStmObjBoundary>& map = m_boundaries[type == STM_BOUNDARY_OUTER ? 0 : 1];
  CStmObjBoundary* boundary = nullptr;
  if (id == -1) {
    id = NextBoundaryId();
    boundary = Adopt(map, new CStmObjBoundary, id);
    boundary->m_eType = type == STM_BOUNDARY_OUTER ? STM_BOUNDARY_OUTER : STM_BOUNDARY_INNER;
    boundary->SetName(Numbered(type == STM_BOUNDARY_OUTER ? "Outer" : "Inner", id));
  } else {
    boundary = Find(map, id);
    if (!boundary) return nullptr;
    boundary->Touch();
  }
  boundary->m_points = polygon;
  boundary->m_idElements.clear();
  UpdateBoundaryMembership();
  return boundary;
}

CStmObjBoundary* CStmModel::SetBoudaryByElementGroup(EStmTypeBoundary type, const std::vector<int>& idElements,
                                                     int id) {
  std::vector<CVector> points;
  std::vector<int> ordered;
  if (!OrderChain(idElements, points, ordered)) return nullptr;
  if (id != -1 && !Find(m_boundaries[type == STM_BOUNDARY_OUTER ? 0 : 1], id)) return nullptr;
  CStmObjBoundary* boundary = SetBoundary(type, points, id);
  boundary->Touch();
  boundary->m_idElements = std::move(ordered);
  UpdateBoundaryMembership();
  return boundary;
}

CStmObjBoundary* CStmModel::RestoreBoundary(EStmTypeBoundary type, int id, std::vector<CVector> points,
                                            std::vector<int> idElements) {
  if (id < 1 || Find(m_boundaries[0], id) || Find(m_boundaries[1], id)) return nullptr;
  for (int idElement : idElements) {
    if (!GetElement(idElement)) return nullptr;
  }
  auto* boundary = Adopt(m_boundaries[type == STM_BOUNDARY_OUTER ? 0 : 1], new CStmObjBoundary, id);
  boundary->m_eType = type == STM_BOUNDARY_OUTER ? STM_BOUNDARY_OUTER : STM_BOUNDARY_INNER;
  boundary->m_points = std::move(points);
  boundary->m_idElements = std::move(idElements);
  return boundary;
}

CStmObjArea* CStmModel::RestoreArea(int id, std::vector<CVector> points, std::vector<int> idElements) {
  if (id < 1 || m_areas.count(id)) return nullptr;
  for (int idElement : idElements) {
    if (!GetElement(idElement)) return nullptr;
  }
  CStmObjArea* area = Adopt(m_areas, new CStmObjArea, id);
  area->m_points = std::move(points);
  area->m_idElements = std::move(idElements);
  return area;
}

CStmObjLoadConditionStatic* CStmModel::AddLoadConditionStatic(const CString& name, int id) {
  if (name.IsEmpty() || GetLoadConditionStatic(name)) return nullptr;
  return RestoreLoadConditionStatic(name, id);
}

CStmObjLoadConditionStatic* CStmModel::RestoreLoadConditionStatic(const CString& name, int id) {
  if (name.IsEmpty()) return nullptr;
  if (id == -1) id = NextId(m_statics);
  if (id < 1 || m_statics.count(id)) return nullptr;
  CStmObjLoadConditionStatic* condition = Adopt(m_statics, new CStmObjLoadConditionStatic, id);
  condition->SetName(name);
  return condition;
}

CStmObjLoadConditionCombo* CStmModel::AddLoadConditionCombo(const CString& name, int id) {
  if (name.IsEmpty() || GetLoadConditionCombo(name)) return nullptr;
  return RestoreLoadConditionCombo(name, id);
}

CStmObjLoadConditionCombo* CStmModel::RestoreLoadConditionCombo(const CString& name, int id) {
  if (name.IsEmpty()) return nullptr;
  if (id == -1) id = NextId(m_combos);
  if (id < 1 || m_combos.count(id)) return nullptr;
  CStmObjLoadConditionCombo* combo = Adopt(m_combos, new CStmObjLoadConditionCombo, id);
  combo->SetName(name);
  return combo;
}

CStmObjLoadNode* CStmModel::AddLoadNode(const CString& nameCondition, int idNode, const CVector& load) {
  CStmObjLoadConditionStatic* condition = GetLoadConditionStatic(nameCondition);
  const CStmObjNode* node = GetNode(idNode);
  if (!condition || !node) return nullptr;
  return condition->AddLoadNode(node->GetName(), idNode, load, 0);
}

CStmObjLoadComboFactor* CStmModel::AddComboFactor(const CString& nameCombo, const CString& nameCondition, int type,
                                                  double scale) {
  CStmObjLoadConditionCombo* combo = GetLoadConditionCombo(nameCombo);
  return combo ? combo->AddComboFactor(nameCondition, type, scale) : nullptr;
}

// ---- Edits

int CStmModel::MergeNode(int idKeep, int idOld) {
  if (idKeep == idOld || !GetNode(idKeep) || !GetNode(idOld)) return 0;
  const auto linked = m_nodeElements.find(idOld);
  const std::vector<int> elements = linked == m_nodeElements.end() ? std::vector<int>() : linked->second;
  for (const int idElement : elements) {
    CStmObjElement* element = GetElement(idElement);
    if (!element) continue;
    element->SetIdNodes(element->m_nIdNodeBegin == idOld ? idKeep : element->m_nIdNodeBegin,
                        element->m_nIdNodeEnd == idOld ? idKeep : element->m_nIdNodeEnd);
  }
  for (auto& [id, condition] : m_statics) {
    for (const auto& [idLoad, load] : condition->GetLoadNodes()) {
      if (load->GetIdNode() == idOld) load->SetIdNode(idKeep);
    }
  }
  auto handOver = [&](auto& map) {
    const bool keepHasOne = std::any_of(map.begin(), map.end(), [&](const auto& entry) {
      return entry.second->GetIdNode() == idKeep && entry.second->IsEnable();
    });
    std::vector<int> held;
    for (const auto& [id, record] : map) {
      if (record->GetIdNode() == idOld) held.push_back(id);
    }
    for (const int id : held) {
      if (keepHasOne) {
        // The survivor's own support stands; a second one would be saved against a node
        // that is gone.
        EraseRecord(map, id);
      } else {
        map.at(id)->SetIdNode(idKeep);
      }
    }
  };
  handOver(m_restraints);
  handOver(m_springs);
  handOver(m_plates);
  return 1;
}

CStmModel::SRemovedOfNode CStmModel::RemoveNodeDependants(int idNode) {
  SRemovedOfNode removed;
  for (auto& [id, condition] : m_statics) removed.nLoads += condition->RemoveLoadNodes(idNode);
  auto removeFrom = [&](auto& map) {
    std::vector<int> held;
    for (const auto& [id, record] : map) {
      if (record->GetIdNode() == idNode) held.push_back(id);
    }
    for (const int id : held) {
      if (map.at(id)->IsEnable()) ++removed.nSupports;
      EraseRecord(map, id);
    }
  };
  removeFrom(m_restraints);
  removeFrom(m_springs);
  removeFrom(m_plates);
  return removed;
}

namespace {
template <class T>
int IdOfNodeRecord(const std::map<int, T*>& map, int idNode) {
  for (const auto& [id, record] : map) {
    if (record->GetIdNode() == idNode) return id;
  }
  return 0;
}
}  // namespace

int CStmModel::RemoveRestraint(int idNode) {
  const int id = IdOfNodeRecord(m_restraints, idNode);
  if (id) EraseRecord(m_restraints, id);
  return id ? 1 : 0;
}

int CStmModel::RemoveSpring(int idNode) {
  const int id = IdOfNodeRecord(m_springs, idNode);
  if (id) EraseRecord(m_springs, id);
  return id ? 1 : 0;
}

int CStmModel::RemoveBearingPlate(int idNode) {
  const int id = IdOfNodeRecord(m_plates, idNode);
  if (id) EraseRecord(m_plates, id);
  return id ? 1 : 0;
}

const CStmObjLoadConditionCombo* CStmModel::GetComboUsing(int type, const CString& name) const {
  for (const auto& [id, combo] : m_combos) {
    for (const auto& [idFactor, factor] : combo->GetComboFactors()) {
      if (factor->GetTypeLoadCondition() == type && factor->GetNameLoadCondition() == name) return combo;
    }
  }
  return nullptr;
}

int CStmModel::RemoveLoadCondition(int type, const CString& name) {
  if (GetComboUsing(type, name)) return 0;
  if (type == CStmObjLoadComboFactor::kTypeStatic) {
    const CStmObjLoadConditionStatic* condition = GetLoadConditionStatic(name);
    if (!condition) return 0;
    EraseRecord(m_statics, condition->GetId());
  } else {
    const CStmObjLoadConditionCombo* combo = GetLoadConditionCombo(name);
    if (!combo) return 0;
    EraseRecord(m_combos, combo->GetId());
  }
  return 1;
}

int CStmModel::RenameLoadCondition(int type, const CString& from, const CString& to) {
  const bool isStatic = type == CStmObjLoadComboFactor::kTypeStatic;
  CStmObject* condition = isStatic ? static_cast<CStmObject*>(GetLoadConditionStatic(from))
                                   : static_cast<CStmObject*>(GetLoadConditionCombo(from));
  if (!condition || to.IsEmpty()) return 0;
  if (isStatic ? GetLoadConditionStatic(to) != nullptr : GetLoadConditionCombo(to) != nullptr) return 0;
  // Terms find their condition by name, so they follow it.
  for (auto& [id, combo] : m_combos) {
    for (const auto& [idFactor, factor] : combo->GetComboFactors()) {
      if (factor->GetTypeLoadCondition() == type && factor->GetNameLoadCondition() == from) {
        factor->SetNameLoadCondition(to);
        factor->SetName(to);
      }
    }
  }
  condition->SetName(to);
  return 1;
}

void CStmModel::SetEnableNode(int id, int enable) {
  if (CStmObjNode* node = GetNode(id)) node->SetEnable(enable);
}

void CStmModel::SetEnableElement(int id, int enable) {
  if (CStmObjElement* element = GetElement(id)) element->SetEnable(enable);
}

void CStmModel::SetEnableBoundary(EStmTypeBoundary type, int id, int enable) {
  if (CStmObjBoundary* boundary = Find(GetBoundarys(type), id)) boundary->SetEnable(enable);
}

void CStmModel::SetEnablePropertyArea(int id, int enable) {
  if (CStmObjArea* area = Find(m_areas, id)) area->SetEnable(enable);
}

void CStmModel::SetElementType() {
  for (auto& [id, element] : m_elements) element->DeriveTypes(m_view.GetFixedPointNumber());
}

void CStmModel::NameNode(CStmObjNode& node) const {
  switch (m_view.GetTypeNamingNode()) {
    case STM_NAMING_PREFIX: node.SetName(Numbered("N", node.GetId())); break;
    case STM_NAMING_LETTER: node.SetName(Letters(node.GetId())); break;
    default: node.SetName(Numbered("", node.GetId())); break;
  }
}

void CStmModel::NameElement(CStmObjElement& element) const {
  switch (m_view.GetTypeNamingElement()) {
    case STM_NAMING_PREFIX: element.SetName(Numbered("E", element.GetId())); break;
    case STM_NAMING_LETTER: {
      const CStmObjNode* begin = GetNode(element.m_nIdNodeBegin);
      const CStmObjNode* end = GetNode(element.m_nIdNodeEnd);
      element.SetName((begin ? begin->GetName() : CString("?")) + (end ? end->GetName() : CString("?")));
      break;
    }
    default: element.SetName(Numbered("", element.GetId())); break;
  }
}

void CStmModel::RenameObject() {
  // Nodes first: letter names of elements are made of their nodes' names.
  for (auto& [id, node] : m_nodes) NameNode(*node);
  for (auto& [id, element] : m_elements) NameElement(*element);
}

void CStmModel::UpdateBoundaryMembership() {
  for (auto& [id, element] : m_elements) element->SetAttributeInt(CStmObject::kAttrBoundary, 0);
  // Inner first, so that an element on both outlines counts as an outer boundary element.
  for (int map : {1, 0}) {
    for (const auto& [id, boundary] : m_boundaries[map]) {
      if (!boundary->IsEnable()) continue;
      for (int idElement : boundary->m_idElements) {
        if (CStmObjElement* element = GetElement(idElement)) {
          element->SetAttributeInt(CStmObject::kAttrBoundary, map == 0 ? 1 : 2);
        }
      }
    }
  }
}

bool CStmModel::OrderChain(const std::vector<int>& idElements, std::vector<CVector>& points,
                           std::vector<int>& ordered) const {
  points.clear();
  ordered.clear();
  if (idElements.size() < 3) return false;
  std::map<int, int> uses;
  for (size_t i = 0; i < idElements.size(); ++i) {
    const CStmObjElement* element = GetElement(idElements[i]);
    if (!element || !GetNode(element->m_nIdNodeBegin) || !GetNode(element->m_nIdNodeEnd)) return false;
    if (std::count(idElements.begin(), idElements.begin() + static_cast<long>(i), idElements[i])) return false;
    ++uses[element->m_nIdNodeBegin];
    ++uses[element->m_nIdNodeEnd];
  }
  // Every node of a simple closed loop joins exactly two of its elements.
  for (const auto& [idNode, count] : uses) {
    if (count != 2) return false;
  }
  std::vector<bool> used(idElements.size(), false);
  const CStmObjElement* first = GetElement(idElements[0]);
  const int start = first->m_nIdNodeBegin;
  int current = first->m_nIdNodeEnd;
  used[0] = true;
  ordered.push_back(idElements[0]);
  points.push_back(GetNode(start)->GetCoord());
  while (current != start) {
    points.push_back(GetNode(current)->GetCoord());
    size_t next = idElements.size();
    for (size_t i = 0; i < idElements.size() && next == idElements.size(); ++i) {
      const CStmObjElement* element = GetElement(idElements[i]);
      if (!used[i] && (element->m_nIdNodeBegin == current || element->m_nIdNodeEnd == current)) next = i;
    }
    if (next == idElements.size()) return false;
    used[next] = true;
    ordered.push_back(idElements[next]);
    const CStmObjElement* element = GetElement(idElements[next]);
    current = element->m_nIdNodeBegin == current ? element->m_nIdNodeEnd : element->m_nIdNodeBegin;
  }
  // A second loop would leave elements behind.
  return ordered.size() == idElements.size();
}

// ---- Queries

const CStmModel::Map<CStmObjBoundary>& CStmModel::GetBoundarys(EStmTypeBoundary type) const {
  return m_boundaries[type == STM_BOUNDARY_OUTER ? 0 : 1];
}

CStmObjNode* CStmModel::GetNode(int id) const { return Find(m_nodes, id); }

CStmObjNode* CStmModel::GetNode(const CVector& pos) const {
  for (const auto& [id, node] : m_nodes) {
    if (node->IsEnable() && CompareVectorTolerance(node->GetCoord(), pos, "==", kStmPointTolerance)) return node;
  }
  return nullptr;
}

CStmObjElement* CStmModel::GetElement(int id) const { return Find(m_elements, id); }

CStmObjBoundary* CStmModel::GetBoundaryObj(EStmTypeBoundary type, int key, int byIndex) const {
  return Pick(GetBoundarys(type), key, byIndex);
}

std::vector<CVector> CStmModel::GetBoundary(EStmTypeBoundary type, int id) const {
  const CStmObjBoundary* boundary = GetBoundaryObj(type, id, 0);
  return boundary ? boundary->GetBoundaryPos() : std::vector<CVector>();
}

CStmObjArea* CStmModel::GetPropertyArea(int key, int byIndex) const { return Pick(m_areas, key, byIndex); }

CStmObjRestraint* CStmModel::GetRestraintNode(int idNode, int onlyEnabled) const {
  for (const auto& [id, restraint] : m_restraints) {
    if (restraint->GetIdNode() == idNode && (!onlyEnabled || restraint->IsEnable())) return restraint;
  }
  return nullptr;
}

CStmObjSpring* CStmModel::GetSpringNode(int idNode) const {
  for (const auto& [id, spring] : m_springs) {
    if (spring->GetIdNode() == idNode && spring->IsEnable()) return spring;
  }
  return nullptr;
}

CStmObjBearingPlate* CStmModel::GetBearingPlateNode(int idNode) const {
  for (const auto& [id, plate] : m_plates) {
    if (plate->GetIdNode() == idNode && plate->IsEnable()) return plate;
  }
  return nullptr;
}

std::vector<std::vector<int>> CStmModel::GetRestraintGroup() const {
  std::vector<std::pair<const CStmObjRestraint*, std::vector<int>>> groups;
  for (const auto& entry : m_restraints) {
    const CStmObjRestraint* restraint = entry.second;
    if (!restraint->IsEnable()) continue;
    auto same = std::find_if(groups.begin(), groups.end(), [&](const auto& group) {
      return group.first->GetDof() == restraint->GetDof() && group.first->GetRollerAngle() == restraint->GetRollerAngle();
    });
    if (same == groups.end()) {
      groups.push_back({restraint, {restraint->GetIdNode()}});
    } else {
      same->second.push_back(restraint->GetIdNode());
    }
  }
  std::vector<std::vector<int>> out;
  for (auto& group : groups) out.push_back(std::move(group.second));
  return out;
}

std::vector<std::vector<int>> CStmModel::GetSpringGroup() const {
  std::vector<std::pair<const CStmObjSpring*, std::vector<int>>> groups;
  for (const auto& entry : m_springs) {
    const CStmObjSpring* spring = entry.second;
    if (!spring->IsEnable()) continue;
    auto same = std::find_if(groups.begin(), groups.end(), [&](const auto& group) {
      return group.first->GetU() == spring->GetU() && group.first->GetR() == spring->GetR();
    });
    if (same == groups.end()) {
      groups.push_back({spring, {spring->GetIdNode()}});
    } else {
      same->second.push_back(spring->GetIdNode());
    }
  }
  std::vector<std::vector<int>> out;
  for (auto& group : groups) out.push_back(std::move(group.second));
  return out;
}

std::vector<CStmObjElement*> CStmModel::GetInvolvedElements(int idNode) const {
  std::vector<CStmObjElement*> out;
  const auto linked = m_nodeElements.find(idNode);
  if (linked == m_nodeElements.end()) return out;
  std::vector<int> ids = linked->second;
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  for (const int id : ids) {
    CStmObjElement* element = GetElement(id);
    if (element && element->IsEnable() && (element->m_nIdNodeBegin == idNode || element->m_nIdNodeEnd == idNode)) {
      out.push_back(element);
    }
  }
  return out;
}

int CStmModel::GetCountInvolvedElements(int idNode) const {
  return static_cast<int>(GetInvolvedElements(idNode).size());
}

int CStmModel::GetCountNode(int onlyEnabled) const { return CountOf(m_nodes, onlyEnabled); }

int CStmModel::GetCountElement(int onlyEnabled) const { return CountOf(m_elements, onlyEnabled); }

int CStmModel::GetCountBoundary(EStmTypeBoundary type, int onlyEnabled) const {
  return CountOf(GetBoundarys(type), onlyEnabled);
}

int CStmModel::GetCountPropertyArea(int onlyEnabled) const { return CountOf(m_areas, onlyEnabled); }

CStmObjLoadConditionStatic* CStmModel::GetLoadConditionStaticIndex(int index) const {
  if (index < 0 || index >= GetCountLoadConditionStatic()) return nullptr;
  return std::next(m_statics.begin(), index)->second;
}

CStmObjLoadConditionCombo* CStmModel::GetLoadConditionComboIndex(int index) const {
  if (index < 0 || index >= GetCountLoadConditionCombo()) return nullptr;
  return std::next(m_combos.begin(), index)->second;
}

CStmObjLoadConditionStatic* CStmModel::GetLoadConditionStatic(const CString& name) const {
  for (const auto& [id, condition] : m_statics) {
    if (condition->GetName() == name) return condition;
  }
  return nullptr;
}

CStmObjLoadConditionCombo* CStmModel::GetLoadConditionCombo(const CString& name) const {
  for (const auto& [id, combo] : m_combos) {
    if (combo->GetName() == name) return combo;
  }
  return nullptr;
}

bool CStmModel::IsComboReaching(const CString& from, const CString& target) const {
  std::set<std::string> seen;
  std::vector<CString> pending{from};
  while (!pending.empty()) {
    const CString name = pending.back();
    pending.pop_back();
    if (name == target) return true;
    if (!seen.insert(name.str()).second) continue;
    if (const CStmObjLoadConditionCombo* combo = GetLoadConditionCombo(name)) {
      for (const auto& [id, factor] : combo->GetComboFactors()) {
        if (factor->GetTypeLoadCondition() == CStmObjLoadComboFactor::kTypeCombo) {
          pending.push_back(factor->GetNameLoadCondition());
        }
      }
    }
  }
  return false;
}

std::vector<std::pair<const CStmObjLoadConditionStatic*, double>> CStmModel::GetComboWeights(
    const CStmObjLoadConditionCombo& root) const {
  // Names are looked up once each; the first record of a name wins, as in the lookups by name.
  std::unordered_map<std::string, const CStmObjLoadConditionCombo*> combos;
  std::unordered_map<std::string, const CStmObjLoadConditionStatic*> statics;
  for (const auto& [id, combo] : m_combos) combos.emplace(combo->GetName().str(), combo);
  for (const auto& [id, condition] : m_statics) statics.emplace(condition->GetName().str(), condition);
  auto inner = [&](const CStmObjLoadComboFactor& factor) -> const CStmObjLoadConditionCombo* {
    if (factor.GetTypeLoadCondition() != CStmObjLoadComboFactor::kTypeCombo) return nullptr;
    const auto it = combos.find(factor.GetNameLoadCondition().str());
    return it == combos.end() ? nullptr : it->second;
  };

  // Reverse post-order of the combinations reached: each comes after every one that names it, so
  // its weight is complete before it hands it on. A cycle (never made through the model) is cut.
  enum { kOpen = 1, kDone = 2 };
  std::unordered_map<const CStmObjLoadConditionCombo*, int> state;
  std::vector<const CStmObjLoadConditionCombo*> order;
  std::vector<std::pair<const CStmObjLoadConditionCombo*, std::map<int, CStmObjLoadComboFactor*>::const_iterator>> stack;
  stack.emplace_back(&root, root.GetComboFactors().begin());
  state[&root] = kOpen;
  while (!stack.empty()) {
    auto& top = stack.back();
    if (top.second == top.first->GetComboFactors().end()) {
      state[top.first] = kDone;
      order.push_back(top.first);
      stack.pop_back();
      continue;
    }
    const CStmObjLoadConditionCombo* next = inner(*(top.second++)->second);
    if (next && !state[next]) {
      state[next] = kOpen;
      stack.emplace_back(next, next->GetComboFactors().begin());
    }
  }

  std::unordered_map<const CStmObjLoadConditionCombo*, double> weight{{&root, 1.0}};
  std::unordered_map<const CStmObjLoadConditionStatic*, size_t> place;
  std::vector<std::pair<const CStmObjLoadConditionStatic*, double>> out;
  std::unordered_map<const CStmObjLoadConditionCombo*, size_t> rank;
  for (size_t i = 0; i < order.size(); ++i) rank[order[i]] = i;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const double w = weight[*it];
    for (const auto& [id, factor] : (*it)->GetComboFactors()) {
      const double term = w * factor->GetScaleFactor();
      if (factor->GetTypeLoadCondition() == CStmObjLoadComboFactor::kTypeStatic) {
        const auto found = statics.find(factor->GetNameLoadCondition().str());
        if (found == statics.end()) continue;
        const auto [at, fresh] = place.emplace(found->second, out.size());
        if (fresh) out.emplace_back(found->second, 0.0);
        out[at->second].second += term;
      } else if (const CStmObjLoadConditionCombo* next = inner(*factor)) {
        // Only forward along the order: a cut cycle's way back adds nothing.
        if (rank[next] < rank[*it]) weight[next] += term;
      }
    }
  }
  return out;
}

const CString* CStmModel::GetStrutType(const CStmObjElement* element) const {
  const SStmStrutType* type = element ? m_define.GetStrutType(element->GetIndexStrutType()) : nullptr;
  return type ? &type->strName : nullptr;
}

const CString* CStmModel::GetTieType(const CStmObjElement* element) const {
  const SStmTieType* type = element ? m_define.GetTieType(element->GetIndexTieType()) : nullptr;
  return type ? &type->strName : nullptr;
}

void CStmModel::ForEachCaseLoad(int loadCase,
                                 const std::function<void(const CStmObjLoadNode&, double)>& visit) const {
  const auto add = [&](const CStmObjLoadConditionStatic* condition, double weight) {
    if (!condition) return;
    for (const auto& [id, record] : condition->GetLoadNodes()) {
      if (record->IsEnable()) visit(*record, weight);
    }
  };
  const int statics = GetCountLoadConditionStatic();
  if (loadCase < statics) {
    add(GetLoadConditionStaticIndex(loadCase), 1.0);
  } else if (const CStmObjLoadConditionCombo* combo = GetLoadConditionComboIndex(loadCase - statics)) {
    for (const auto& [condition, weight] : GetComboWeights(*combo)) add(condition, weight);
  }
}

CString CStmModel::NodeTypeOf(const CStmObjNode& node, int loadCase, const CVector& load) const {
  int struts = 0, ties = 0;
  // Towards the members, from the node: a load along it bears on the node.
  CVector inward;
  for (const CStmObjElement* element : GetInvolvedElements(node.GetId())) {
    if (element->IsStableElement()) continue;
    const EStmTypeElement type = element->GetType(loadCase);
    if (type == STM_ELEMENT_STRUT) ++struts;
    if (type == STM_ELEMENT_TIE) ++ties;
    const CVector far = element->GetIdNodeBegin() == node.GetId() ? element->GetCoordEnd() : element->GetCoordBegin();
    if (type != STM_ELEMENT_NONE) inward = inward + (far - node.GetCoord()).Unit();
  }
  return NodeTypeFrom(node.GetId(), loadCase, struts, ties, inward, load);
}

CString CStmModel::NodeTypeFrom(int idNode, int loadCase, int struts, int ties, const CVector& inward,
                                const CVector& load) const {
  // A force that the values shown round to zero meets the node with nothing.
  const double scale = std::pow(10.0, std::clamp(m_view.GetFixedPointNumber(), 0, 15));
  const auto shown = [scale](double v) { return std::round(v * scale) != 0.0; };
  // The support pushes on the node as a strut would.
  const auto reaction = m_reactions.find(idNode);
  if (reaction != m_reactions.end() && static_cast<size_t>(loadCase) < reaction->second.size() &&
      shown(reaction->second[static_cast<size_t>(loadCase)].Length()))
    ++struts;
  // A load pushing into the node is a bearing load, a strut; one pulling it away hangs on it, a tie.
  if (shown(load.Length())) {
    const double bearing = load.Dot(inward);
    if (bearing > 0.0) ++struts;
    if (bearing < 0.0) ++ties;
  }
  return CString(std::string(static_cast<size_t>(struts), 'C') + std::string(static_cast<size_t>(ties), 'T'));
}

CString CStmModel::GetNodeType(const CStmObjNode* node, int loadCase) const {
  if (!node || !m_bLock || loadCase < 0) return CString();
  CVector load;
  ForEachCaseLoad(loadCase, [&](const CStmObjLoadNode& record, double weight) {
    if (record.GetIdNode() == node->GetId()) load = load + record.GetLoad() * weight;
  });
  return NodeTypeOf(*node, loadCase, load);
}

std::vector<std::pair<int, CString>> CStmModel::GetNodeTypes(int loadCase) const {
  std::vector<std::pair<int, CString>> out;
  if (!m_bLock || loadCase < 0) return out;
  // Each node's loads are summed in the order GetNodeType sums them, so the two agree exactly.
  std::unordered_map<int, CVector> loads;
  ForEachCaseLoad(loadCase, [&](const CStmObjLoadNode& record, double weight) {
    CVector& load = loads[record.GetIdNode()];
    load = load + record.GetLoad() * weight;
  });
  // What NodeTypeOf finds per node, from one pass over the elements in id order, so that each
  // node's sum towards its members adds up in the same order.
  struct SMeeting {
    int id;
    const CStmObjNode* node;
    int struts = 0, ties = 0;
    CVector inward;
  };
  std::vector<SMeeting> nodes;
  nodes.reserve(m_nodes.size());
  for (const auto& [id, node] : m_nodes) nodes.push_back({id, node, 0, 0, CVector()});
  const auto meetingOf = [&nodes](int id) -> SMeeting* {
    const auto it = std::lower_bound(nodes.begin(), nodes.end(), id, [](const SMeeting& m, int v) { return m.id < v; });
    return it != nodes.end() && it->id == id ? &*it : nullptr;
  };
  for (const auto& [id, element] : m_elements) {
    if (!element->IsEnable() || element->IsStableElement()) continue;
    const EStmTypeElement type = element->GetType(loadCase);
    SMeeting* ends[2] = {meetingOf(element->m_nIdNodeBegin), meetingOf(element->m_nIdNodeEnd)};
    const CVector at[2] = {ends[0] ? ends[0]->node->GetCoord() : CVector(), ends[1] ? ends[1]->node->GetCoord() : CVector()};
    for (int end = 0; end < 2; ++end) {
      SMeeting* meeting = ends[end];
      // An element on one node meets it once.
      if (!meeting || (end == 1 && ends[0] == ends[1])) continue;
      if (type == STM_ELEMENT_STRUT) ++meeting->struts;
      if (type == STM_ELEMENT_TIE) ++meeting->ties;
      const CVector& far = end == 0 ? at[1] : at[0];
      if (type != STM_ELEMENT_NONE) meeting->inward = meeting->inward + (far - meeting->node->GetCoord()).Unit();
    }
  }
  out.reserve(m_nodes.size());
  for (const SMeeting& m : nodes) {
    const auto load = loads.find(m.id);
    out.emplace_back(m.id, NodeTypeFrom(m.id, loadCase, m.struts, m.ties, m.inward,
                                   load == loads.end() ? CVector() : load->second));
  }
  return out;
}

// ---- Results

CString CStmModel::GetReactionText(const CVector& force) const {
  const int decimals = std::clamp(m_view.GetFixedPointNumber(), 0, 15);
  const char* axes = m_nPlane == STM_PLANE_XY ? "xy" : m_nPlane == STM_PLANE_YZ ? "yz" : "xz";
  CString text;
  for (int i = 0; i < 2; ++i) {
    double v = axes[i] == 'x' ? force.x : axes[i] == 'y' ? force.y : force.z;
    // Round-off about zero must not read "-0.0".
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0.0;
    text.AppendFormat("%sR%c %.*f %s", i ? ", " : "", axes[i], decimals, v, m_strUnitForce.c_str());
  }
  return text;
}

bool CStmModel::GetEffectiveRegion(int idElement, std::vector<CVector>& out) const {
  const CStmObjElement* element = GetElement(idElement);
  out = element ? element->GetEffectiveRegion() : std::vector<CVector>();
  return !out.empty();
}

bool CStmModel::GetMaxEffectiveRegion(int idElement, std::vector<CVector>& out) const {
  const CStmObjElement* element = GetElement(idElement);
  out = element ? element->GetMaxEffectiveRegion() : std::vector<CVector>();
  return !out.empty();
}

double CStmModel::GetMinResultEso(int absolute, int step) const {
  if (step < 0 || step >= GetCountStepEso() || m_esoSteps[static_cast<size_t>(step)].cells.empty()) return 0.0;
  double low = HUGE_VAL;
  for (const SStmEsoCell& cell : m_esoSteps[static_cast<size_t>(step)].cells) {
    low = std::min(low, absolute ? std::fabs(cell.dValue) : cell.dValue);
  }
  return low;
}

double CStmModel::GetMaxResultEso(int absolute, int step) const {
  if (step < 0 || step >= GetCountStepEso() || m_esoSteps[static_cast<size_t>(step)].cells.empty()) return 0.0;
  double high = -HUGE_VAL;
  for (const SStmEsoCell& cell : m_esoSteps[static_cast<size_t>(step)].cells) {
    high = std::max(high, absolute ? std::fabs(cell.dValue) : cell.dValue);
  }
  return high;
}

void CStmModel::ClearResults() {
  for (auto& [id, element] : m_elements) {
    element->SetResultAxialForces({});
    element->SetEffectiveZones({});
    element->SetEffectiveRegion({});
    element->SetMaxEffectiveRegion({});
  }
  for (auto& [id, node] : m_nodes) {
    node->SetNodalZones({});
    node->SetMaxWidthZones({});
  }
  m_reactions.clear();
  m_checks = SStmCheckResults();
  m_esoSteps.clear();
  m_nStepEso = -1;
  m_stressFlow.clear();
  m_nodalZones.clear();
  m_nNodalZone = -1;
  m_meshPlane = SStmMeshPlane();
  m_meshSpace = SStmMeshSpace();
  m_nTypeMesh = 0;
  m_boundaryRefs.clear();
  m_bLock = false;
}

// ---- Node-to-element lists

void CStmModel::LinkElement(const CStmObjElement& element) {
  m_nodeElements[element.m_nIdNodeBegin].push_back(element.GetId());
  m_nodeElements[element.m_nIdNodeEnd].push_back(element.GetId());
}

void CStmModel::UnlinkElement(const CStmObjElement& element) {
  for (const int idNode : {element.m_nIdNodeBegin, element.m_nIdNodeEnd}) {
    auto linked = m_nodeElements.find(idNode);
    if (linked == m_nodeElements.end()) continue;
    std::vector<int>& ids = linked->second;
    auto it = std::find(ids.begin(), ids.end(), element.GetId());
    if (it != ids.end()) ids.erase(it);
    if (ids.empty()) m_nodeElements.erase(linked);
  }
}

void CStmModel::RebuildNodeLinks() {
  m_nodeElements.clear();
  for (const auto& [id, element] : m_elements) LinkElement(*element);
}

// ---- Changes

CStmModelChange::ECollection CStmModel::CollectionOf(const CStmObject& record) {
  switch (record.GetTypeObject()) {
    case STM_OBJ_NODE: return CStmModelChange::kNodes;
    case STM_OBJ_ELEMENT: return CStmModelChange::kElements;
    case STM_OBJ_BOUNDARY:
      return static_cast<const CStmObjBoundary&>(record).GetTypeBoundary() == STM_BOUNDARY_OUTER
                 ? CStmModelChange::kOuterBoundaries
                 : CStmModelChange::kInnerBoundaries;
    case STM_OBJ_AREA: return CStmModelChange::kAreas;
    case STM_OBJ_RESTRAINT: return CStmModelChange::kRestraints;
    case STM_OBJ_SPRING: return CStmModelChange::kSprings;
    case STM_OBJ_BEARING_PLATE: return CStmModelChange::kBearingPlates;
    case STM_OBJ_LOAD_STATIC: return CStmModelChange::kLoadStatics;
    default: return CStmModelChange::kLoadCombos;
  }
}

template <class F>
void CStmModel::WithCollection(CStmModelChange::ECollection collection, F&& f) {
  switch (collection) {
    case CStmModelChange::kNodes: f(m_nodes); break;
    case CStmModelChange::kElements: f(m_elements); break;
    case CStmModelChange::kOuterBoundaries: f(m_boundaries[0]); break;
    case CStmModelChange::kInnerBoundaries: f(m_boundaries[1]); break;
    case CStmModelChange::kAreas: f(m_areas); break;
    case CStmModelChange::kRestraints: f(m_restraints); break;
    case CStmModelChange::kSprings: f(m_springs); break;
    case CStmModelChange::kBearingPlates: f(m_plates); break;
    case CStmModelChange::kLoadStatics: f(m_statics); break;
    default: f(m_combos); break;
  }
}

void CStmModel::BeginChange() {
  if (m_nChangeDepth++ > 0) return;
  m_pChange = std::make_unique<CStmModelChange>();
  m_pChange->m_nNamingNode = m_view.GetTypeNamingNode();
  m_pChange->m_nNamingElement = m_view.GetTypeNamingElement();
}

std::unique_ptr<CStmModelChange> CStmModel::EndChange() {
  if (m_nChangeDepth == 0 || --m_nChangeDepth > 0) return nullptr;
  std::unique_ptr<CStmModelChange> change = std::move(m_pChange);
  change->m_mapSeen.clear();
  std::vector<CStmModelChange::SEntry> kept;
  for (CStmModelChange::SEntry& entry : change->m_entries) {
    WithCollection(entry.eCollection, [&](auto& map) {
      if (const auto* record = Find(map, entry.nId)) entry.pAfter = record->Clone();
    });
    // A record made and taken away again, or put back as it was, leaves no trace.
    const bool same = entry.pBefore && entry.pAfter ? entry.pBefore->IsEqual(*entry.pAfter)
                                                    : !entry.pBefore && !entry.pAfter;
    if (!same) kept.push_back(std::move(entry));
  }
  change->m_entries = std::move(kept);
  if (change->m_bMaterials) {
    change->m_materialsAfter = m_materials;
    change->m_bMaterials = change->m_materialsBefore != change->m_materialsAfter;
  }
  if (change->IsEmpty()) return nullptr;
  return change;
}

void CStmModel::SetMaterials(const SStmMaterials& materials) {
  if (m_pChange && !m_pChange->m_bMaterials) {
    m_pChange->m_bMaterials = true;
    m_pChange->m_materialsBefore = m_materials;
  }
  m_materials = materials;
}

void CStmModel::TouchRecord(const CStmObject& record) {
  if (!m_pChange) return;
  const CStmModelChange::ECollection collection = CollectionOf(record);
  const auto key = std::make_pair(static_cast<int>(collection), record.GetId());
  if (m_pChange->m_mapSeen.count(key)) return;
  m_pChange->m_mapSeen[key] = m_pChange->m_entries.size();
  m_pChange->m_entries.push_back({collection, record.GetId(), record.Clone(), nullptr});
}

template <class T>
void CStmModel::EraseRecord(Map<T>& map, int id) {
  auto it = map.find(id);
  if (it == map.end()) return;
  T* record = it->second;
  record->Touch();
  if constexpr (std::is_same_v<T, CStmObjElement>) UnlinkElement(*record);
  map.erase(it);
  delete record;
  ++m_nRecordGeneration;
}

void CStmModel::ApplyChange(const CStmModelChange& change, bool undo) {
  ++m_nRecordGeneration;
  // Names come back with their records while the naming they were made under is still the one
  // in force. The naming changes outside the history, renaming every record; after that, a
  // record that comes back is named by the naming of now.
  const bool renameNodes = change.m_nNamingNode != m_view.GetTypeNamingNode();
  const bool renameElements = renameNodes || change.m_nNamingElement != m_view.GetTypeNamingElement();
  std::vector<CStmObjNode*> namedNodes;
  std::vector<CStmObjElement*> namedElements;
  if (change.m_bMaterials) m_materials = undo ? change.m_materialsBefore : change.m_materialsAfter;
  for (const CStmModelChange::SEntry& entry : change.m_entries) {
    const CStmObject* image = undo ? entry.pBefore.get() : entry.pAfter.get();
    WithCollection(entry.eCollection, [&](auto& map) {
      using T = std::remove_pointer_t<typename std::remove_reference_t<decltype(map)>::mapped_type>;
      constexpr bool kElement = std::is_same_v<T, CStmObjElement>;
      T* current = Find(map, entry.nId);
      if (!image) {
        if (!current) return;
        if constexpr (kElement) UnlinkElement(*current);
        map.erase(entry.nId);
        delete current;
        return;
      }
      if (current) {
        if constexpr (kElement) UnlinkElement(*current);
        current->Restore(*image);
      } else {
        current = static_cast<T*>(image->Clone().release());
        current->m_pModel = this;
        map[entry.nId] = current;
      }
      if constexpr (kElement) {
        LinkElement(*current);
        if (renameElements) namedElements.push_back(current);
      }
      if constexpr (std::is_same_v<T, CStmObjNode>) {
        if (renameNodes) namedNodes.push_back(current);
      }
    });
  }
  // Nodes first: letter names of elements are made of their nodes' names.
  for (CStmObjNode* node : namedNodes) NameNode(*node);
  for (CStmObjElement* element : namedElements) NameElement(*element);
  // Boundary membership is read off the elements, which the images carry as they were.
}
