// The scene manager's outlines and property areas made from chains of elements, and the test
// that decides whether selected elements close into one simple loop.
#include <cmath>
#include <limits>
#include <map>

#include "entities/CStmEntityArea.h"
#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/platform/CUiHost.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {

constexpr double kChainTolerance = 0.001;

bool SameChainPoint(const CVector& a, const CVector& b) {
  return std::fabs(a.x - b.x) <= kChainTolerance && std::fabs(a.y - b.y) <= kChainTolerance &&
         std::fabs(a.z - b.z) <= kChainTolerance;
}

}  // namespace

CStmEntityBoundary* CStmUbManager::GetEntBoundary(int id) {
  for (const auto& entry : GetEttMap(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindBoundary))) {
    auto* boundary = dynamic_cast<CStmEntityBoundary*>(entry.second);
    if (boundary && boundary->GetIdStm() == id) return boundary;
  }
  return nullptr;
}

CStmEntityBoundary* CStmUbManager::AddBoundaryByElement(EStmTypeBoundary type, const std::vector<int>& idElements,
                                                        int toModel, int record) {
  CStmModel* model = GetStmModel();
  if (!model) return nullptr;
  CUbHistoryBracket bracket(*this, StmText("Add outline"));
  if (type == STM_BOUNDARY_OUTER && model->GetCountBoundary(STM_BOUNDARY_OUTER, 1) > 0) {
    const CString question =
        StmText("OutBoundary는 한개만 생성할수 있습니다.\n삭제하고 다시 생성하겠습니까?");
    if (AfxMessageBox(question, MB_YESNO) != IDYES) return nullptr;
    const CStmObjBoundary* old = model->GetBoundaryObj(STM_BOUNDARY_OUTER, -1, 0);
    // Recorded, unlike a plain view refresh: undo must bring the old outline back with its record.
    if (CStmEntityBoundary* entity = old ? GetEntBoundary(old->GetId()) : nullptr) DeleteEtt(entity, 0, 1, 1);
  }
  auto* entity = new CStmEntityBoundary(this, type, model->GetBoundary(type, -1));
  AddEtt(entity, record, 1);
  if (!toModel) return entity;
  if (const CStmObjBoundary* made = model->SetBoudaryByElementGroup(type, idElements, -1)) {
    entity->SetIdStm(made->GetId());
    entity->SetBoundaryArray(made->GetBoundaryPos());
  }
  SetElementEntityPropertyBoundaryGroup(entity);
  model->SetStmModifiedFlag(1);
  return entity;
}

CStmEntityArea* CStmUbManager::AddAreaByElement(const std::vector<int>& idElements, int toModel, int record) {
  CStmModel* model = GetStmModel();
  if (!model) return nullptr;
  CUbHistoryBracket bracket(*this, StmText("Add property area"));
  auto* entity = new CStmEntityArea(this);
  AddEtt(entity, record, 1);
  if (toModel) {
    if (const CStmObjArea* made = model->AddPropertyArea(idElements)) {
      entity->SetIdStm(made->GetId());
      entity->SetAreaPosArray(made->GetBoundaryPos());
    }
    model->SetStmModifiedFlag(1);
  }
  return entity;
}

CStmEntityBoundary* CStmUbManager::AddBoundary(EStmTypeBoundary type, const std::vector<CVector>& polygon, int toModel,
                                               int record) {
  CUbHistoryBracket bracket(*this, StmText("Add outline"));
  auto* entity = new CStmEntityBoundary(this, type, polygon);
  AddEtt(entity, record, 1);
  CStmModel* model = GetStmModel();
  if (toModel && model) {
    if (const CStmObjBoundary* made = model->SetBoundary(type, polygon)) entity->SetIdStm(made->GetId());
    model->SetStmModifiedFlag(1);
  }
  return entity;
}

CStmEntityArea* CStmUbManager::AddAreaByPos(const std::vector<CVector>& polygon, int, int record) {
  CUbHistoryBracket bracket(*this, StmText("Add property area"));
  auto* entity = new CStmEntityArea(this, polygon);
  AddEtt(entity, record, 1);
  return entity;
}

void CStmUbManager::GetBoundary(const CVectorArray& points, CVector& min, CVector& max) const {
  if (points.IsEmpty()) return;
  const double big = std::numeric_limits<double>::max();
  min = CVector(big, big, big);
  max = CVector(-big, -big, -big);
  for (int i = 0; i < points.GetSize(); ++i) {
    const CVector& p = points[i];
    min = CVector(std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z));
    max = CVector(std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z));
  }
}

void CStmUbManager::GetBoundaryOfNodeAndElement(const std::vector<CUbEntityObj*>& entities, CVector& min,
                                                CVector& max) const {
  CVectorArray points;
  for (CUbEntityObj* entity : entities) {
    if (const auto* node = dynamic_cast<const CStmEntityNode*>(entity)) {
      points.Add(node->GetCoord());
    } else if (const auto* element = dynamic_cast<const CStmEntityElement*>(entity)) {
      points.Add(element->GetCoordBegin());
      points.Add(element->GetCoordEnd());
    }
  }
  GetBoundary(points, min, max);
}

int CStmUbManager::CheckLineClosed(const std::vector<CStmObjElement*>& elements, std::vector<CVector>& points) {
  CStmModel* model = GetStmModel();
  if (!model || elements.size() < 3) return 0;
  // Every node of a loop joins exactly two of its elements; the others mark where it is open or
  // branches.
  std::map<int, int> counts;
  GetCountNodeAndLinkedElement(elements, counts);
  bool open = false;
  for (const auto& [idNode, count] : counts) {
    if (count == 2) continue;
    open = true;
    if (const CStmObjNode* node = model->GetNode(idNode)) points.push_back(node->GetCoord());
  }
  if (open) return 0;

  points.clear();
  std::vector<const CStmObjElement*> remaining;
  for (const CStmObjElement* element : elements) {
    if (const CStmObjNode* node = model->GetNode(element->GetIdNodeBegin())) points.push_back(node->GetCoord());
    remaining.push_back(element);
  }
  // Walk one loop from the first element; what is left over is a second loop.
  size_t current = 0;
  while (remaining.size() > 1) {
    const CStmObjElement* here = remaining[current];
    remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(current));
    size_t next = remaining.size();
    for (size_t i = 0; i < remaining.size(); ++i) {
      const CStmObjElement* other = remaining[i];
      if (other->GetIdNodeBegin() == here->GetIdNodeBegin() || other->GetIdNodeBegin() == here->GetIdNodeEnd() ||
          other->GetIdNodeEnd() == here->GetIdNodeBegin() || other->GetIdNodeEnd() == here->GetIdNodeEnd()) {
        next = i;
        break;
      }
    }
    if (next == remaining.size()) {
      remaining.push_back(here);  // the element where the walk stopped still counts
      break;
    }
    current = next;
  }
  if (remaining.size() >= 3) return 0;

  // A loop that crosses itself is no outline: its crossings are marked after its corners.
  std::vector<std::pair<CVector, CVector>> segments;
  for (const CStmObjElement* element : elements) {
    const CStmObjNode* a = model->GetNode(element->GetIdNodeBegin());
    const CStmObjNode* b = model->GetNode(element->GetIdNodeEnd());
    if (a && b) segments.emplace_back(a->GetCoord(), b->GetCoord());
  }
  int closed = 1;
  for (size_t i = 0; i < segments.size(); ++i) {
    for (size_t j = 0; j < segments.size(); ++j) {
      if (i == j) continue;
      const auto& [p1, p2] = segments[i];
      const auto& [p3, p4] = segments[j];
      if (SameChainPoint(p1, p3) || SameChainPoint(p1, p4) || SameChainPoint(p2, p3) || SameChainPoint(p2, p4))
        continue;
      CDPoint x;
      if (GetCrossPointOfSegments2D(GetPointPlane(p1), GetPointPlane(p2), GetPointPlane(p3), GetPointPlane(p4), x,
                                    kChainTolerance)) {
        closed = 0;
        points.push_back(GetCoordPlane(x));
      }
    }
  }
  return closed;
}

void CStmUbManager::GetSelectedElementBoundaryPos(std::vector<CVector>& out) {
  out.clear();
  std::vector<CStmObjElement*> elements;
  GetSelectedElementObjects(elements);
  std::vector<std::pair<CDPoint, CDPoint>> segments;
  for (const CStmObjElement* element : elements)
    segments.emplace_back(GetPointPlane(element->GetCoordBegin()), GetPointPlane(element->GetCoordEnd()));
  if (segments.empty()) return;
  const auto same = [](const CDPoint& a, const CDPoint& b) {
    return std::fabs(a.x - b.x) <= kChainTolerance && std::fabs(a.y - b.y) <= kChainTolerance;
  };
  // Grow the chain at either end from the segments left, whichever way round they were drawn.
  std::vector<CDPoint> chain{segments.front().first, segments.front().second};
  std::vector<bool> used(segments.size(), false);
  used[0] = true;
  for (bool grown = true; grown;) {
    grown = false;
    for (size_t i = 0; i < segments.size(); ++i) {
      if (used[i]) continue;
      const auto& [a, b] = segments[i];
      if (same(chain.back(), a)) chain.push_back(b);
      else if (same(chain.back(), b)) chain.push_back(a);
      else if (same(chain.front(), b)) chain.insert(chain.begin(), a);
      else if (same(chain.front(), a)) chain.insert(chain.begin(), b);
      else continue;
      used[i] = true;
      grown = true;
    }
  }
  std::vector<CDPoint> kept;
  for (const CDPoint& p : chain) {
    bool seen = false;
    for (const CDPoint& q : kept) seen = seen || same(p, q);
    if (!seen) kept.push_back(p);
  }
  for (const CDPoint& p : kept) out.push_back(GetCoordPlane(p));
}
