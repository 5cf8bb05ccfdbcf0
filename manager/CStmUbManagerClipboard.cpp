// Scene manager: cut, copy and paste of nodes and elements through a private clipboard model.
#include <algorithm>
#include <cmath>

#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/platform/StmText.h"
#include "manager/CStmUbManager.h"

namespace {
// Copies the node's supports from one model to a node of another.
void CopySupports(const CStmModel& from, int idFrom, CStmModel& to, int idTo) {
  if (const CStmObjRestraint* restraint = from.GetRestraintNode(idFrom, 1))
    to.AddRestraint(idTo, restraint->GetDof(), restraint->GetRollerAngle());
  if (const CStmObjBearingPlate* plate = from.GetBearingPlateNode(idFrom))
    to.AddBearingPlate(idTo, plate->GetProperty());
  if (const CStmObjSpring* spring = from.GetSpringNode(idFrom)) to.AddSpring(idTo, spring->GetU(), spring->GetR());
}
}  // namespace

void CStmUbManager::Copy() {
  CStmModel* source = GetStmModel();
  if (!source) return;
  m_pClipboard = std::make_unique<CStmModel>();
  CopyNodes(source);
  CopyElements(source);
}

void CStmUbManager::Cut() {
  Copy();
  DeleteSelectedEntity();
}

void CStmUbManager::CopyNodes(CStmModel* source) {
  std::vector<CStmObjNode*> nodes;
  GetSelectedNodeObjects(nodes);
  for (const CStmObjNode* node : nodes) {
    CStmObjNode* copy = m_pClipboard->AddNode(node->GetCoord(), -1);
    if (!copy) continue;
    *copy = *node;
    CopySupports(*source, node->GetId(), *m_pClipboard, copy->GetId());
  }
}

void CStmUbManager::CopyElements(CStmModel*) {
  std::vector<CStmObjElement*> elements;
  GetSelectedElementObjects(elements);
  auto nodeAt = [this](const CVector& p) {
    const CStmObjNode* node = m_pClipboard->GetNode(p);
    if (!node) node = m_pClipboard->AddNode(p, -1);
    return node ? node->GetId() : -1;
  };
  for (const CStmObjElement* element : elements) {
    const int begin = nodeAt(element->GetCoordBegin());
    const int end = nodeAt(element->GetCoordEnd());
    if (begin < 0 || end < 0) continue;
    if (CStmObjElement* copy = m_pClipboard->AddElement(begin, end, element->GetProperty())) *copy = *element;
  }
}

int CStmUbManager::IsCopiedData() const {
  return m_pClipboard && (m_pClipboard->GetCountNode(0) > 0 || m_pClipboard->GetCountElement(0) > 0) ? 1 : 0;
}

CVector CStmUbManager::GetCoordPasteOrigin() const {
  if (!m_pClipboard) return CVector();
  const CStmObjNode* origin = nullptr;
  CDPoint best;
  for (const auto& [id, node] : m_pClipboard->GetNodes()) {
    const CDPoint p = GetPointPlane(node->GetCoord());
    if (!origin || p.y < best.y || (p.y == best.y && p.x < best.x)) {
      origin = node;
      best = p;
    }
  }
  return origin ? origin->GetCoord() : CVector();
}

void CStmUbManager::GetBoundaryOfNodeAndElement(const std::vector<CStmObject*>& objects, CVector& min,
                                                CVector& max) const {
  CVectorArray points;
  for (CStmObject* object : objects) {
    if (const auto* node = dynamic_cast<const CStmObjNode*>(object)) {
      points.Add(node->GetCoord());
    } else if (const auto* element = dynamic_cast<const CStmObjElement*>(object)) {
      points.Add(element->GetCoordBegin());
      points.Add(element->GetCoordEnd());
    }
  }
  GetBoundary(points, min, max);
}

bool CStmUbManager::Paste(const CVector& pos) {
  CStmModel* target = GetStmModel();
  if (!target || !IsCopiedData()) return false;
  const CVector offset = pos - GetCoordPasteOrigin();

  std::vector<CStmObject*> objects;
  for (const auto& [id, node] : m_pClipboard->GetNodes()) objects.push_back(node);
  for (const auto& [id, element] : m_pClipboard->GetElements()) objects.push_back(element);

  // Whatever already lies where the content lands may be reused: the index gives what meets
  // the content's box there, whatever the window shows.
  std::vector<CUbEntityObj*> candidates;
  CVector min, max;
  GetBoundaryOfNodeAndElement(objects, min, max);
  // The corners of the box are as far out as any point of the content goes.
  if (RefuseBeyondLimits({min + offset, max + offset})) return false;
  const double t = 2.0 * kStmPointTolerance;  // a hair wider than the tolerance, for rounding
  const CVector margin(t, t, t);
  GetEttInBox(min + offset - margin, max + offset + margin, CUbEntityObj::TYPE_ENTITY_ALL, candidates);
  CUbHistoryBracket bracket(*this, StmText("Paste"));
  PasteElements(target, offset, candidates);
  PasteNodes(target, offset, candidates);
  return true;
}

void CStmUbManager::PasteElements(CStmModel* target, const CVector& offset, std::vector<CUbEntityObj*>& candidates) {
  const auto remember = [&candidates](CUbEntityObj* entity) {
    if (entity && std::find(candidates.begin(), candidates.end(), entity) == candidates.end())
      candidates.push_back(entity);
  };
  for (const auto& [id, element] : m_pClipboard->GetElements()) {
    const CVector a = element->GetCoordBegin() + offset;
    const CVector b = element->GetCoordEnd() + offset;
    if (CompareVectorTolerance(a, b, "==", kStmPointTolerance)) continue;
    // The ends of elements already lying along the span cut it: they are reused piece by piece
    // rather than overlaid by one long element that the next paste would lay again.
    const CVector along = (b - a).Unit();
    const auto onLine = [&](const CVector& p) { return Cross(p - a, along).Length() <= kStmPointTolerance; };
    // Only what lies in the span's own box can run along it; the index finds that without a walk
    // over everything the paste may reuse.
    const double t = 2.0 * kStmPointTolerance;
    const CVector lo(std::fmin(a.x, b.x) - t, std::fmin(a.y, b.y) - t, std::fmin(a.z, b.z) - t);
    const CVector hi(std::fmax(a.x, b.x) + t, std::fmax(a.y, b.y) + t, std::fmax(a.z, b.z) + t);
    std::vector<CUbEntityObj*> near;
    GetEttInBox(lo, hi, static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(CStmEntityObject::kKindElement), near);
    std::vector<CVector> stops;
    for (CUbEntityObj* candidate : near) {
      const auto* other = dynamic_cast<const CStmEntityElement*>(candidate);
      if (!other || !onLine(other->GetCoordBegin()) || !onLine(other->GetCoordEnd())) continue;
      for (const CVector& end : {other->GetCoordBegin(), other->GetCoordEnd()}) {
        if (IsPointInsideSegment(end, a, b)) stops.push_back(end);
      }
    }
    std::sort(stops.begin(), stops.end(),
              [&a](const CVector& p, const CVector& q) { return (p - a).Length() < (q - a).Length(); });
    stops.insert(stops.begin(), a);
    stops.push_back(b);
    for (size_t i = 0; i + 1 < stops.size(); ++i) {
      CStmEntityElement* entity = AddElement(stops[i], stops[i + 1], 1, 1, 1, &candidates);
      if (!entity) continue;  // coincident ends
      // Later objects of this paste must find what this one made.
      remember(entity);
      for (const CVector& end : {stops[i], stops[i + 1]}) {
        if (!GetEntNode(end, &candidates)) remember(GetEntNode(end, nullptr));
      }
      if (CStmObjElement* record = target->GetElement(entity->GetIdStm())) *record = *element;
    }
  }
}

void CStmUbManager::PasteNodes(CStmModel* target, const CVector& offset, std::vector<CUbEntityObj*>& candidates) {
  for (const auto& [id, node] : m_pClipboard->GetNodes()) {
    const CVector p = node->GetCoord() + offset;
    CStmEntityNode* entity = GetEntNode(p, &candidates);
    if (!entity) {
      entity = AddNode(p, 1, 1, 1, 0, nullptr);
      candidates.push_back(entity);
    }
    CStmObjNode* record = target->GetNode(entity->GetIdStm());
    if (!record) continue;
    *record = *node;
    CopySupports(*m_pClipboard, node->GetId(), *target, record->GetId());
  }
}
