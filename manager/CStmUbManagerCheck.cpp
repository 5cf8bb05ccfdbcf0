// Scene manager: compares the scene with the one a rebuild from the model would make, and the
// model with itself, so that tests can tell when the two have drifted apart.
#include <cmath>
#include <cstdarg>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "entities/CStmEntityArea.h"
#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "manager/CStmUbManager.h"

namespace {

CUbEntityObj::TYPE_ENTITY_OBJ KindOf(int kind) { return static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind); }

bool SamePoint(const CVector& a, const CVector& b) {
  return CompareVectorTolerance(a, b, "==", kStmPointTolerance) != 0;
}

bool SamePolygon(const std::vector<CVector>& a, const std::vector<CVector>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!SamePoint(a[i], b[i])) return false;
  }
  return true;
}

std::string Point(const CVector& p) {
  CString text;
  text.Format("(%.6g, %.6g, %.6g)", p.x, p.y, p.z);
  return text.str();
}

// A node the model would not draw is as bad as a missing one for everything that hangs on it.
const char* NodeProblem(const CStmModel& model, int id) {
  const CStmObjNode* node = model.GetNode(id);
  if (!node) return "missing";
  return node->IsEnable() ? nullptr : "disabled";
}

class CReport {
public:
  void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    CString line;
    line.FormatV(format, args);
    va_end(args);
    m_text += line;
    m_text += "\n";
  }
  const CString& Text() const { return m_text; }

private:
  CString m_text;
};

void CheckNodes(const CStmUbManager& manager, const CStmModel& model, CReport& report) {
  std::map<int, std::vector<const CStmEntityNode*>> byId;
  for (const auto& entry : manager.GetEttMap(KindOf(CStmEntityObject::kKindNode))) {
    const auto* node = dynamic_cast<const CStmEntityNode*>(entry.second);
    if (!node) continue;
    if (node->GetIdStm() < 0) {
      report.Add("node entity %s at %s has no model id", entry.first.c_str(), Point(node->GetCoord()).c_str());
    } else {
      byId[node->GetIdStm()].push_back(node);
    }
  }
  for (const auto& [id, entities] : byId) {
    const CStmObjNode* record = model.GetNode(id);
    if (!record || !record->IsEnable()) {
      report.Add("node %d: drawn at %s but %s in the model", id, Point(entities.front()->GetCoord()).c_str(),
                 record ? "disabled" : "missing");
      continue;
    }
    if (entities.size() > 1) report.Add("node %d: %zu entities", id, entities.size());
    for (const CStmEntityNode* entity : entities) {
      if (!SamePoint(entity->GetCoord(), record->GetCoord()))
        report.Add("node %d: drawn at %s, model at %s", id, Point(entity->GetCoord()).c_str(),
                   Point(record->GetCoord()).c_str());
    }
  }
  for (const auto& [id, record] : model.GetNodes()) {
    if (record->IsEnable() && !byId.count(id))
      report.Add("node %d: enabled in the model at %s but not in the scene", id, Point(record->GetCoord()).c_str());
  }
}

void CheckElements(const CStmUbManager& manager, const CStmModel& model, CReport& report) {
  std::map<int, std::vector<const CStmEntityElement*>> byId;
  for (const auto& entry : manager.GetEttMap(KindOf(CStmEntityObject::kKindElement))) {
    const auto* element = dynamic_cast<const CStmEntityElement*>(entry.second);
    if (!element) continue;
    if (element->GetIdStm() < 0) {
      report.Add("element entity %s %s-%s has no model id", entry.first.c_str(),
                 Point(element->GetCoordBegin()).c_str(), Point(element->GetCoordEnd()).c_str());
    } else {
      byId[element->GetIdStm()].push_back(element);
    }
  }
  // What a rebuild draws: enabled elements whose two node records exist, disabled or not.
  auto drawable = [&model](const CStmObjElement& record) {
    return record.IsEnable() && model.GetNode(record.GetIdNodeBegin()) && model.GetNode(record.GetIdNodeEnd());
  };
  for (const auto& [id, entities] : byId) {
    const CStmObjElement* record = model.GetElement(id);
    if (!record || !drawable(*record)) {
      const char* why = !record ? "missing in the model" : !record->IsEnable() ? "disabled in the model"
                                                                                : "without both model nodes";
      report.Add("element %d: drawn %s-%s but %s", id, Point(entities.front()->GetCoordBegin()).c_str(),
                 Point(entities.front()->GetCoordEnd()).c_str(), why);
      continue;
    }
    if (entities.size() > 1) report.Add("element %d: %zu entities", id, entities.size());
    const CVector begin = record->GetCoordBegin();
    const CVector end = record->GetCoordEnd();
    // A rebuild colours an element by the outline membership its record holds.
    const int membership = record->GetAttributeInt(CStmObject::kAttrBoundary);
    for (const CStmEntityElement* entity : entities) {
      if (entity->GetTypeElement() != (membership >= 0 ? membership : 0))
        report.Add("element %d: drawn as outline type %d, model says %d", id, entity->GetTypeElement(), membership);
    }
    for (const CStmEntityElement* entity : entities) {
      const CVector& a = entity->GetCoordBegin();
      const CVector& b = entity->GetCoordEnd();
      if (SamePoint(a, begin) && SamePoint(b, end)) continue;
      const bool reversed = SamePoint(a, end) && SamePoint(b, begin);
      report.Add("element %d: drawn %s-%s, model nodes %d-%d at %s-%s%s", id, Point(a).c_str(), Point(b).c_str(),
                 record->GetIdNodeBegin(), record->GetIdNodeEnd(), Point(begin).c_str(), Point(end).c_str(),
                 reversed ? " (reversed)" : "");
    }
  }
  for (const auto& [id, record] : model.GetElements()) {
    if (drawable(*record) && !byId.count(id))
      report.Add("element %d: enabled in the model (nodes %d-%d) but not in the scene", id, record->GetIdNodeBegin(),
                 record->GetIdNodeEnd());
  }
}

void CheckOutlines(const CStmUbManager& manager, const CStmModel& model, CReport& report) {
  std::map<std::pair<int, int>, std::vector<const CStmEntityBoundary*>> boundaries;
  for (const auto& entry : manager.GetEttMap(KindOf(CStmEntityObject::kKindBoundary))) {
    const auto* boundary = dynamic_cast<const CStmEntityBoundary*>(entry.second);
    if (!boundary) continue;
    if (boundary->GetIdStm() < 0) {
      report.Add("boundary entity %s has no model id", entry.first.c_str());
    } else {
      boundaries[{static_cast<int>(boundary->GetType()), boundary->GetIdStm()}].push_back(boundary);
    }
  }
  for (const auto& [key, entities] : boundaries) {
    const auto type = static_cast<EStmTypeBoundary>(key.first);
    const CStmObjBoundary* record = model.GetBoundaryObj(type, key.second, 0);
    if (!record || !record->IsEnable()) {
      report.Add("boundary %d (type %d): drawn but %s in the model", key.second, key.first,
                 record ? "disabled" : "missing");
      continue;
    }
    if (entities.size() > 1) report.Add("boundary %d (type %d): %zu entities", key.second, key.first, entities.size());
    if (!SamePolygon(entities.front()->GetBoundaryArray(), record->GetBoundaryPos()))
      report.Add("boundary %d (type %d): drawn polygon differs from the model's", key.second, key.first);
  }
  for (const EStmTypeBoundary type : {STM_BOUNDARY_OUTER, STM_BOUNDARY_INNER}) {
    for (const auto& [id, record] : model.GetBoundarys(type)) {
      if (record->IsEnable() && !boundaries.count({static_cast<int>(type), id}))
        report.Add("boundary %d (type %d): enabled in the model but not in the scene", id, static_cast<int>(type));
    }
  }

  std::map<int, std::vector<const CStmEntityArea*>> areas;
  for (const auto& entry : manager.GetEttMap(KindOf(CStmEntityObject::kKindArea))) {
    const auto* area = dynamic_cast<const CStmEntityArea*>(entry.second);
    if (!area) continue;
    if (area->GetIdStm() < 0) {
      report.Add("area entity %s has no model id", entry.first.c_str());
    } else {
      areas[area->GetIdStm()].push_back(area);
    }
  }
  for (const auto& [id, entities] : areas) {
    const CStmObjArea* record = model.GetPropertyArea(id, 0);
    if (!record || !record->IsEnable()) {
      report.Add("area %d: drawn but %s in the model", id, record ? "disabled" : "missing");
      continue;
    }
    if (entities.size() > 1) report.Add("area %d: %zu entities", id, entities.size());
    if (!SamePolygon(entities.front()->GetAreaPosArray(), record->GetBoundaryPos()))
      report.Add("area %d: drawn polygon differs from the model's", id);
  }
  for (const auto& [id, record] : model.GetPropertyAreas()) {
    if (record->IsEnable() && !areas.count(id)) report.Add("area %d: enabled in the model but not in the scene", id);
  }
}

void CheckModelLinks(const CStmModel& model, CReport& report) {
  for (const auto& [id, element] : model.GetElements()) {
    if (!element->IsEnable()) continue;
    const int begin = element->GetIdNodeBegin();
    const int end = element->GetIdNodeEnd();
    if (begin == end) report.Add("model element %d joins node %d to itself", id, begin);
    if (const char* problem = NodeProblem(model, begin))
      report.Add("model element %d: begin node %d is %s", id, begin, problem);
    if (const char* problem = NodeProblem(model, end)) report.Add("model element %d: end node %d is %s", id, end, problem);
  }
  auto supports = [&](const char* what, const auto& map) {
    for (const auto& [id, record] : map) {
      if (!record->IsEnable()) continue;
      if (const char* problem = NodeProblem(model, record->GetIdNode()))
        report.Add("%s %d: node %d is %s", what, id, record->GetIdNode(), problem);
    }
  };
  supports("restraint", model.GetRestraints());
  supports("spring", model.GetSprings());
  supports("bearing plate", model.GetBearingPlates());
  // Load records carry no enabled flag of their own in a file, so every one of them counts.
  for (const auto& [idCondition, condition] : model.GetLoadConditionStatics()) {
    for (const auto& [id, load] : condition->GetLoadNodes()) {
      if (const char* problem = NodeProblem(model, load->GetIdNode()))
        report.Add("load %d of condition \"%s\": node %d is %s", id, condition->GetName().c_str(), load->GetIdNode(),
                   problem);
    }
  }
}

// Cells twice the tolerance wide: two coincident points lie in the same or neighbouring cells.
void CheckCoincidentNodes(const CStmModel& model, CReport& report) {
  using Cell = std::tuple<long long, long long, long long>;
  const double width = 2.0 * kStmPointTolerance;
  auto cellOf = [width](const CVector& p) {
    return Cell{static_cast<long long>(std::floor(p.x / width)), static_cast<long long>(std::floor(p.y / width)),
                static_cast<long long>(std::floor(p.z / width))};
  };
  std::map<Cell, std::vector<const CStmObjNode*>> cells;
  for (const auto& [id, node] : model.GetNodes()) {
    if (node->IsEnable()) cells[cellOf(node->GetCoord())].push_back(node);
  }
  for (const auto& [id, node] : model.GetNodes()) {
    if (!node->IsEnable()) continue;
    const auto [cx, cy, cz] = cellOf(node->GetCoord());
    for (long long dx = -1; dx <= 1; ++dx) {
      for (long long dy = -1; dy <= 1; ++dy) {
        for (long long dz = -1; dz <= 1; ++dz) {
          const auto it = cells.find(Cell{cx + dx, cy + dy, cz + dz});
          if (it == cells.end()) continue;
          for (const CStmObjNode* other : it->second) {
            // Each pair once, from its lower id.
            if (other->GetId() > id && SamePoint(other->GetCoord(), node->GetCoord()))
              report.Add("model nodes %d and %d coincide at %s", id, other->GetId(), Point(node->GetCoord()).c_str());
          }
        }
      }
    }
  }
}

}  // namespace

CString CStmUbManager::CheckConsistency() const {
  const CStmModel* model = GetStmModel();
  CReport report;
  if (!model) {
    for (const int kind : {CStmEntityObject::kKindBoundary, CStmEntityObject::kKindNode,
                           CStmEntityObject::kKindElement, CStmEntityObject::kKindArea}) {
      if (!GetEttMap(KindOf(kind)).empty()) report.Add("entities of kind %d but no current model", kind);
    }
    return report.Text();
  }
  CheckNodes(*this, *model, report);
  CheckElements(*this, *model, report);
  CheckOutlines(*this, *model, report);
  CheckModelLinks(*model, report);
  CheckCoincidentNodes(*model, report);
  // Lookups by position trust the index, so an entity it has in the wrong place is a fault of
  // the scene as much as a wrong coordinate.
  CString why;
  if (!CheckEttIndex(&why)) report.Add("position index: %s", why.c_str());
  // So are undo's lookups of entities by record id.
  size_t mapped = 0;
  for (const auto& [key, entity] : GetEttMap()) {
    const auto* stm = dynamic_cast<const CStmEntityObject*>(entity);
    if (!stm || stm->GetIdStm() < 0) continue;
    ++mapped;
    const auto it = m_mapRecordKey.find({static_cast<int>(entity->GetTypeEntity()), stm->GetIdStm()});
    if (it == m_mapRecordKey.end() || it->second != key)
      report.Add("entity %s of kind %d is not found by its record id %d", key.c_str(),
                 static_cast<int>(entity->GetTypeEntity()), stm->GetIdStm());
  }
  if (mapped != m_mapRecordKey.size())
    report.Add("%zu entities by record id, %zu entities with one", m_mapRecordKey.size(), mapped);
  return report.Text();
}
