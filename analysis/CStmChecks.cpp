// The checks work in the coordinates of the model's plane. Each member gets a width: a strut
// the width at which neither it nor the faces of its end nodes are over their design stress,
// a tie twice the cover; a designed width replaces either. Its capacity is taken at the width
// the concrete offers: the designed one, or else the widest band about its axis that stays in
// the concrete (from half its width in at a node on the concrete's edge). A nodal zone is the convex hull of the node and of one face per member and per
// outside force (load and reaction together) meeting there: each face is perpendicular to its
// force, as wide as its band, and sits half its width out from the node, so that two members
// at right angles of one width give a square of that width; an outside force's face sits no
// farther out than the concrete's face, where its plate bears.
#include "analysis/CStmChecks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <vector>

#include "analysis/StmDesignCode.h"
#include "analysis/StmRegions.h"
#include "host/model/CStmModel.h"
#include "host/platform/StmTextN.h"

namespace {

using Polygon = CStmRegions::Polygon;

constexpr double kPi = 3.14159265358979323846;
// Utilisation beyond 1 by rounding alone is not over capacity.
constexpr double kOverCapacity = 1.0 + 1e-9;

CDPoint ToPlane(int plane, const CVector& v) {
  switch (plane) {
    case STM_PLANE_XY: return {v.x, v.y};
    case STM_PLANE_YZ: return {v.y, v.z};
    default: return {v.x, v.z};
  }
}

CVector ToModel(int plane, const CDPoint& p) {
  switch (plane) {
    case STM_PLANE_XY: return {p.x, p.y, 0.0};
    case STM_PLANE_YZ: return {0.0, p.x, p.y};
    default: return {p.x, 0.0, p.y};
  }
}

std::vector<CDPoint> ToPlane(int plane, const std::vector<CVector>& points) {
  std::vector<CDPoint> out;
  for (const CVector& p : points) out.push_back(ToPlane(plane, p));
  return out;
}

// A member as the checks see it in one case.
struct SMember {
  const CStmObjElement* element = nullptr;
  int id = 0;
  int nodes[2] = {0, 0};
  // The ends as indices into the checked nodes (in id order).
  size_t at[2] = {0, 0};
  CDPoint ends[2];
  CDPoint dir;  // unit, from the first end to the second
  double thickness = 0.0;
  double designed = 0.0;
  double widthMax = 0.0;
  // Keeps the truss stable and is not designed, but what it carries still reaches its nodes.
  bool stable = false;
};

// One face of a nodal zone.
struct SFace {
  CDPoint out;  // unit, from the node towards where the force comes from
  double force = 0.0;
  double width = 0.0;      // as banded
  double widthMax = 0.0;   // at the widest the concrete allows
  double widthCheck = 0.0; // the width its capacity is taken at; 0 when none is known
  // A load or reaction comes through a plate on the concrete's face: its face sits no farther out
  // than that face.
  double reach = -1.0;
};

Polygon Zone(const CDPoint& at, const std::vector<SFace>& faces, bool widest) {
  std::vector<CDPoint> points{at};
  for (const SFace& face : faces) {
    const double w = widest ? face.widthMax : face.width;
    if (!(w > 0.0)) continue;
    const double offset = face.reach >= 0.0 ? std::min(w / 2.0, face.reach) : w / 2.0;
    const CDPoint centre(at.x + face.out.x * offset, at.y + face.out.y * offset);
    const CDPoint across(-face.out.y * w / 2.0, face.out.x * w / 2.0);
    points.emplace_back(centre.x + across.x, centre.y + across.y);
    points.emplace_back(centre.x - across.x, centre.y - across.y);
  }
  return points.size() < 3 ? Polygon() : CStmRegions::Hull(points);
}

double AngleBetweenLines(const CDPoint& a, const CDPoint& b) {
  const double c = std::min(1.0, std::fabs(a.x * b.x + a.y * b.y));
  return std::acos(c) * 180.0 / kPi;
}

void SetOver(double utilisation, int& flags) {
  if (utilisation > kOverCapacity) flags |= STM_CHECK_OVER_CAPACITY;
}

}  // namespace

struct CStmCheckCache::SImpl {
  // The concrete the regions were built for.
  std::vector<Polygon> outers, openings;
  bool bBuilt = false;
  CStmRegions regions;
  struct SMemberRoom {
    CDPoint ends[2];
    double widthMax = 0.0;
    // The widest (or designed) band clipped, for the width it was clipped at.
    bool bRegion = false;
    double regionWidth = 0.0;
    Polygon region;
  };
  std::unordered_map<int, SMemberRoom> members;
  // Each node's widest zone per case, clipped, with what it was built from.
  struct SWidestZone {
    bool bValid = false;
    std::vector<double> from;
    Polygon zone;
  };
  std::unordered_map<int, std::vector<SWidestZone>> widest;
  int nMeasured = 0;
};

CStmCheckCache::CStmCheckCache() : m_p(std::make_unique<SImpl>()) {}
CStmCheckCache::~CStmCheckCache() = default;
int CStmCheckCache::GetCountMeasured() const { return m_p->nMeasured; }

// The checks of every case into results; with regions, also the bands, zones and everything
// found about them, written to the model's elements and nodes. Without, the members' widths,
// steel and utilisations come out as with them, except what the room in the concrete decides
// (the available width and what it is measured against), and the model is not touched.
bool CStmChecks::Check(CStmModel& model, int shownCase, CStmCheckCache* cache, bool withRegions,
                       SStmCheckResults& results) {
  const SStmMaterials& materials = model.GetMaterials();
  results.strError = CStmDesignCode::Validate(materials, model.GetUnitForce(), model.GetUnitLength());
  if (withRegions) {
    for (auto& [id, element] : model.GetElements()) {
      element->SetEffectiveZones({});
      element->SetEffectiveRegion({});
      element->SetMaxEffectiveRegion({});
    }
    for (auto& [id, node] : model.GetNodes()) {
      node->SetNodalZones({});
      node->SetMaxWidthZones({});
    }
  }
  if (!results.strError.IsEmpty()) return false;
  const CStmDesignCode code(materials, CStmDesignCode::MpaPerStressUnit(model.GetUnitForce(), model.GetUnitLength()));
  const int plane = model.GetPlane();

  CStmCheckCache local;
  CStmCheckCache::SImpl& kept = *(cache ? cache : &local)->m_p;
  kept.nMeasured = 0;
  const CStmRegions& regions = kept.regions;
  if (withRegions) {
    std::vector<Polygon> outers, openings;
    for (const auto& [id, b] : model.GetBoundarys(STM_BOUNDARY_OUTER))
      if (b->IsEnable()) outers.push_back(ToPlane(plane, b->GetBoundaryPos()));
    for (const auto& [id, b] : model.GetBoundarys(STM_BOUNDARY_INNER))
      if (b->IsEnable()) openings.push_back(ToPlane(plane, b->GetBoundaryPos()));
    if (!kept.bBuilt || outers != kept.outers || openings != kept.openings) {
      kept.regions.SetConcrete(outers, openings);
      kept.outers = std::move(outers);
      kept.openings = std::move(openings);
      kept.members.clear();
      kept.widest.clear();
      kept.bBuilt = true;
    }
  }
  // The member's room, measured again only when its ends moved.
  const auto roomOf = [&kept, &regions](int id, const CDPoint (&ends)[2]) -> CStmCheckCache::SImpl::SMemberRoom& {
    auto [it, added] = kept.members.try_emplace(id);
    CStmCheckCache::SImpl::SMemberRoom& room = it->second;
    if (added || !(room.ends[0] == ends[0]) || !(room.ends[1] == ends[1])) {
      room = CStmCheckCache::SImpl::SMemberRoom();
      room.ends[0] = ends[0];
      room.ends[1] = ends[1];
      room.widthMax = regions.MaxWidth(ends[0], ends[1]);
      ++kept.nMeasured;
    }
    return room;
  };

  // The members do not change from case to case, nor does the room about them.
  std::vector<SMember> members;
  std::map<int, std::vector<size_t>> atNode;
  for (const auto& [id, element] : model.GetElements()) {
    const CStmObjNode* begin = element->GetNodeBegin();
    const CStmObjNode* end = element->GetNodeEnd();
    if (!element->IsEnable() || !begin || !end) continue;
    SMember m;
    m.element = element;
    m.stable = element->IsStableElement() != 0;
    m.id = id;
    m.nodes[0] = begin->GetId();
    m.nodes[1] = end->GetId();
    m.ends[0] = ToPlane(plane, begin->GetCoord());
    m.ends[1] = ToPlane(plane, end->GetCoord());
    const double length = std::hypot(m.ends[1].x - m.ends[0].x, m.ends[1].y - m.ends[0].y);
    if (!(length > 0.0)) continue;
    m.dir = CDPoint((m.ends[1].x - m.ends[0].x) / length, (m.ends[1].y - m.ends[0].y) / length);
    m.thickness = materials.dThickness * element->GetThicknessScale();
    m.designed = element->GetProperty().dWidth;
    if (!m.stable && withRegions) m.widthMax = roomOf(id, m.ends).widthMax;
    atNode[m.nodes[0]].push_back(members.size());
    atNode[m.nodes[1]].push_back(members.size());
    members.push_back(m);
  }
  // Per-case values of the nodes go into vectors by index, not into maps by id.
  std::vector<const std::vector<size_t>*> nodeMembers;
  {
    std::unordered_map<int, size_t> index;
    for (const auto& [idNode, list] : atNode) {
      index.emplace(idNode, nodeMembers.size());
      nodeMembers.push_back(&list);
    }
    for (SMember& m : members) {
      for (int end = 0; end < 2; ++end) m.at[end] = index.at(m.nodes[end]);
    }
  }
  const int cases = model.GetCountLoadConditionStatic() + model.GetCountLoadConditionCombo();
  const double tieWidth = 2.0 * materials.dCover;
  const CStmDataDefine& define = *model.GetStmDataDefine();

  std::map<int, std::vector<Polygon>> elementZones, nodeZones, nodeMaxZones;
  std::map<int, Polygon> shownRegions, shownMaxRegions;
  results.cases.resize(static_cast<size_t>(std::max(cases, 0)));
  for (int k = 0; k < cases; ++k) {
    SStmCheckCase& out = results.cases[static_cast<size_t>(k)];

    // Node classes, and the outside force that holds each node in balance.
    std::vector<SStmDesignStress> nodeStress(nodeMembers.size());
    std::vector<int> nodeTies(nodeMembers.size(), 0);
    size_t n = 0;
    const std::unordered_map<int, CString> types = model.GetNodeTypes(k);
    for (const auto& [idNode, list] : atNode) {
      const auto found = types.find(idNode);
      const CString type = found == types.end() ? CString() : found->second;
      const int ties = static_cast<int>(std::count(type.str().begin(), type.str().end(), 'T'));
      nodeTies[n] = ties;
      nodeStress[n++] = code.Node(CStmDesignCode::ClassOfNode(ties));
    }

    // Members: width, steel and utilisation.
    std::vector<EStmTypeElement> kinds(members.size(), STM_ELEMENT_NONE);
    std::vector<double> bandWidth(members.size(), 0.0), checkWidth(members.size(), 0.0);
    std::vector<CDPoint> outside(nodeMembers.size());
    std::vector<double> largest(nodeMembers.size(), 0.0);
    for (size_t i = 0; i < members.size(); ++i) {
      const SMember& m = members[i];
      const CStmObjElement* element = m.element;
      const double force = element->GetResultAxialForce(k);
      const EStmTypeElement kind = element->GetType(k);
      for (int end = 0; end < 2; ++end) {
        // The member pulls its node towards its other end with its force.
        const double sign = end == 0 ? 1.0 : -1.0;
        CDPoint& sum = outside[m.at[end]];
        sum = CDPoint(sum.x - sign * force * m.dir.x, sum.y - sign * force * m.dir.y);
        largest[m.at[end]] = std::max(largest[m.at[end]], std::fabs(force));
      }
      if (m.stable || kind == STM_ELEMENT_NONE || force == 0.0) continue;
      kinds[i] = kind;
      SStmCheckElement check;
      check.dForce = force;
      const double demand = std::fabs(force);
      if (kind == STM_ELEMENT_STRUT) {
        const SStmStrutType* type = define.GetStrutType(element->GetIndexStrutType());
        SStmDesignStress governing = code.Strut(type ? type->dBetaS : 1.0);
        for (int end = 0; end < 2; ++end) {
          const SStmDesignStress& node = nodeStress[m.at[end]];
          if (node.dStress < governing.dStress) governing = node;
        }
        check.strClause = governing.strClause;
        check.dWidthRequired = demand / (governing.dStress * m.thickness);
        check.dWidthAvailable = m.designed > 0.0 ? m.designed : m.widthMax;
        bandWidth[i] = m.designed > 0.0 ? m.designed : check.dWidthRequired;
        checkWidth[i] = check.dWidthAvailable;
        check.dCapacity = governing.dStress * m.thickness * check.dWidthAvailable;
      } else {
        const SStmDesignStress steel = code.Tie();
        const SStmTieType* type = define.GetTieType(element->GetIndexTieType());
        check.strClause = steel.strClause;
        check.dSteelRequired = demand / steel.dStress;
        check.dSteelProvided = type ? type->nBars * kPi * type->dDiameter * type->dDiameter / 4.0 : 0.0;
        check.dCapacity = steel.dStress * check.dSteelProvided;
        check.dWidthRequired = tieWidth;
        check.dWidthAvailable = m.designed > 0.0 ? m.designed : tieWidth;
        bandWidth[i] = checkWidth[i] = check.dWidthAvailable;
      }
      if (check.dCapacity > 0.0) {
        check.dUtilisation = demand / check.dCapacity;
        SetOver(check.dUtilisation, check.nFlags);
      } else {
        check.nFlags |= STM_CHECK_INCOMPLETE;
      }
      out.elements[m.id] = check;
    }

    // Angles between struts and ties that meet.
    for (size_t i = 0; i < members.size(); ++i) {
      if (kinds[i] == STM_ELEMENT_NONE) continue;
      SStmCheckElement& check = out.elements[members[i].id];
      for (int end = 0; end < 2; ++end) {
        for (size_t j : *nodeMembers[members[i].at[end]]) {
          if (kinds[j] == STM_ELEMENT_NONE || kinds[j] == kinds[i]) continue;
          const double angle = AngleBetweenLines(members[i].dir, members[j].dir);
          if (check.dAngle == 0.0 || angle < check.dAngle) check.dAngle = angle;
        }
      }
      if (code.GetMinAngle() > 0.0 && check.dAngle > 0.0 && check.dAngle < code.GetMinAngle()) {
        check.nFlags |= STM_CHECK_ANGLE;
        if (!(check.nFlags & STM_CHECK_OVER_CAPACITY)) check.strClause = code.GetAngleClause();
      }
    }
    if (!withRegions) continue;

    // Bands: what the force takes, clipped to the concrete; the widest band of the shown case.
    std::vector<Polygon> bands(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
      if (kinds[i] == STM_ELEMENT_NONE) continue;
      const SMember& m = members[i];
      const Polygon band = CStmRegions::Band(m.ends[0], m.ends[1], bandWidth[i]);
      if (regions.BandLeaves(m.ends[0], m.ends[1], bandWidth[i])) out.elements[m.id].nFlags |= STM_CHECK_OUTSIDE;
      bands[i] = regions.Clip(band);
      auto& zones = elementZones[m.id];
      zones.resize(static_cast<size_t>(cases));
      zones[static_cast<size_t>(k)] = bands[i];
      if (k == shownCase) {
        shownRegions[m.id] = bands[i];
        const double width = m.designed > 0.0 ? m.designed : m.widthMax;
        CStmCheckCache::SImpl::SMemberRoom& room = roomOf(m.id, m.ends);
        if (!room.bRegion || room.regionWidth != width) {
          room.region = regions.Clip(CStmRegions::Band(m.ends[0], m.ends[1], width));
          room.regionWidth = width;
          room.bRegion = true;
        }
        shownMaxRegions[m.id] = room.region;
      }
    }
    // Members that meet at a node overlap there by design.
    const auto meet = [&members](size_t i, size_t j) {
      const SMember &a = members[i], &b = members[j];
      return a.nodes[0] == b.nodes[0] || a.nodes[0] == b.nodes[1] || a.nodes[1] == b.nodes[0] ||
             a.nodes[1] == b.nodes[1];
    };
    for (const auto& [i, j] : CStmRegions::OverlappingPairs(bands, meet)) {
      const SMember &a = members[i], &b = members[j];
      out.elements[a.id].nFlags |= STM_CHECK_OVERLAP;
      out.elements[b.id].nFlags |= STM_CHECK_OVERLAP;
    }

    // Nodes and their plates.
    std::vector<int> zoneNodes;
    std::vector<Polygon> zones;
    size_t slot = 0;
    for (auto it = atNode.begin(); it != atNode.end(); ++it, ++slot) {
      const int idNode = it->first;
      const std::vector<size_t>& list = it->second;
      const CStmObjNode* node = model.GetNode(idNode);
      const SStmDesignStress& stress = nodeStress[slot];
      const double thickness = materials.dThickness * node->GetThicknessScale();
      const CDPoint at = ToPlane(plane, node->GetCoord());
      std::vector<SFace> faces;
      for (size_t i : list) {
        if (kinds[i] == STM_ELEMENT_NONE) continue;
        const SMember& m = members[i];
        const double sign = m.nodes[0] == idNode ? 1.0 : -1.0;
        SFace face;
        face.out = CDPoint(sign * m.dir.x, sign * m.dir.y);
        face.force = std::fabs(out.elements[m.id].dForce);
        face.width = bandWidth[i];
        face.widthMax = kinds[i] == STM_ELEMENT_STRUT && !(m.designed > 0.0) ? m.widthMax : bandWidth[i];
        face.widthCheck = checkWidth[i];
        faces.push_back(face);
      }
      const CDPoint sum = outside[slot];
      const double external = std::hypot(sum.x, sum.y);
      const CStmObjBearingPlate* plate = model.GetBearingPlateNode(idNode);
      if (plate && !plate->IsEnable()) plate = nullptr;
      const double plateWidth = plate ? plate->GetProperty().dWidth : 0.0;
      // Below this the members balance each other and the sum is rounding.
      const bool loaded = external > 1e-9 * largest[slot];
      if (loaded) {
        SFace face;
        face.out = CDPoint(-sum.x / external, -sum.y / external);
        face.force = external;
        face.width = face.widthMax = plateWidth > 0.0 ? plateWidth : external / (stress.dStress * thickness);
        face.widthCheck = plateWidth;
        face.reach = regions.Reach(at, face.out, std::max(face.width, face.widthMax) / 2.0);
        faces.push_back(face);
      }
      if (plate) {
        SStmCheckPlate check;
        check.dForce = loaded ? external : 0.0;
        check.strClause = stress.strClause;
        check.dCapacity = stress.dStress * thickness * plateWidth;
        if (check.dCapacity > 0.0) {
          check.dUtilisation = check.dForce / check.dCapacity;
          SetOver(check.dUtilisation, check.nFlags);
        } else {
          check.nFlags |= STM_CHECK_INCOMPLETE;
        }
        out.plates[plate->GetId()] = check;
      }
      if (faces.empty()) continue;
      SStmCheckNode check;
      check.strClass = CStmDesignCode::NameOfClass(CStmDesignCode::ClassOfNode(nodeTies[slot]));
      check.dStress = stress.dStress;
      check.strClause = stress.strClause;
      for (const SFace& face : faces) {
        if (face.widthCheck > 0.0)
          check.dUtilisation = std::max(check.dUtilisation, face.force / (stress.dStress * thickness * face.widthCheck));
      }
      SetOver(check.dUtilisation, check.nFlags);
      bool leaves = false;
      auto& nodal = nodeZones[idNode];
      auto& widest = nodeMaxZones[idNode];
      nodal.resize(static_cast<size_t>(cases));
      widest.resize(static_cast<size_t>(cases));
      nodal[static_cast<size_t>(k)] = regions.Clip(Zone(at, faces, false), leaves);
      if (leaves) check.nFlags |= STM_CHECK_OUTSIDE;
      // The widest zone depends on the forces only through which members carry any and through
      // the load or reaction: a gesture leaves it as it was at most nodes.
      std::vector<double> from{at.x, at.y};
      for (const SFace& face : faces) from.insert(from.end(), {face.out.x, face.out.y, face.widthMax, face.reach});
      auto& keptZones = kept.widest[idNode];
      keptZones.resize(static_cast<size_t>(cases));
      CStmCheckCache::SImpl::SWidestZone& keptZone = keptZones[static_cast<size_t>(k)];
      if (!keptZone.bValid || keptZone.from != from) {
        keptZone.zone = regions.Clip(Zone(at, faces, true));
        keptZone.from = std::move(from);
        keptZone.bValid = true;
      }
      widest[static_cast<size_t>(k)] = keptZone.zone;
      zoneNodes.push_back(idNode);
      zones.push_back(nodal[static_cast<size_t>(k)]);
      out.nodes[idNode] = check;
    }
    for (const auto& [i, j] : CStmRegions::OverlappingPairs(zones)) {
      out.nodes[zoneNodes[i]].nFlags |= STM_CHECK_OVERLAP;
      out.nodes[zoneNodes[j]].nFlags |= STM_CHECK_OVERLAP;
    }
  }

  const auto toModel = [plane](const Polygon& polygon) {
    std::vector<CVector> out;
    for (const CDPoint& p : polygon) out.push_back(ToModel(plane, p));
    return out;
  };
  for (auto& [id, zones] : elementZones) model.GetElement(id)->SetEffectiveZones(std::move(zones));
  for (auto& [id, region] : shownRegions) model.GetElement(id)->SetEffectiveRegion(toModel(region));
  for (auto& [id, region] : shownMaxRegions) model.GetElement(id)->SetMaxEffectiveRegion(toModel(region));
  for (auto& [id, zones] : nodeZones) model.GetNode(id)->SetNodalZones(std::move(zones));
  for (auto& [id, zones] : nodeMaxZones) model.GetNode(id)->SetMaxWidthZones(std::move(zones));
  return true;
}

bool CStmChecks::Run(CStmModel& model, int shownCase, CStmCheckCache* cache) {
  SStmCheckResults results;
  const bool checked = Check(model, shownCase, cache, true, results);
  model.SetCheckResults(std::move(results));
  return checked;
}

std::map<int, double> CStmChecks::RequiredStrutWidths(CStmModel& model) {
  SStmCheckResults results;
  std::map<int, double> required;
  if (!Check(model, -1, nullptr, false, results)) return required;
  // A strut's check has no steel; a tie's always asks for some.
  for (const SStmCheckCase& checked : results.cases) {
    for (const auto& [id, check] : checked.elements) {
      if (check.dSteelRequired != 0.0 || !(check.dWidthRequired > 0.0)) continue;
      double& w = required[id];
      w = std::max(w, check.dWidthRequired);
    }
  }
  return required;
}

void CStmChecks::ShowCase(CStmModel& model, int loadCase) {
  // Regions a file brought without checks are the file's to keep.
  if (model.GetCheckResults().cases.empty()) return;
  const int plane = model.GetPlane();
  for (const auto& [id, element] : model.GetElements()) {
    std::vector<CVector> region;
    for (const CDPoint& p : element->GetCoordEffectiveZones(loadCase)) region.push_back(ToModel(plane, p));
    if (region != element->GetEffectiveRegion()) element->SetEffectiveRegion(std::move(region));
  }
}

CString CStmChecks::Summary(const CStmModel& model, int loadCase) {
  const SStmCheckResults& results = model.GetCheckResults();
  if (!results.strError.IsEmpty()) return results.strError;
  const SStmCheckCase* checks = results.GetCase(loadCase);
  if (!checks) return CString();
  int struts = 0, ties = 0, nodes = 0, plates = 0, regions = 0, angles = 0;
  for (const auto& [id, check] : checks->elements) {
    if (check.nFlags & STM_CHECK_OVER_CAPACITY) ++(check.dForce < 0.0 ? struts : ties);
    if (check.nFlags & (STM_CHECK_OUTSIDE | STM_CHECK_OVERLAP)) ++regions;
    if ((check.nFlags & STM_CHECK_ANGLE) && check.dForce < 0.0) ++angles;
  }
  for (const auto& [id, check] : checks->nodes) {
    if (check.nFlags & STM_CHECK_OVER_CAPACITY) ++nodes;
    if (check.nFlags & (STM_CHECK_OUTSIDE | STM_CHECK_OVERLAP)) ++regions;
  }
  for (const auto& [id, check] : checks->plates)
    if (check.nFlags & STM_CHECK_OVER_CAPACITY) ++plates;

  std::vector<CString> parts;
  const auto count = [&parts](int n, const CString& counted) {
    if (n > 0) parts.push_back(counted);
  };
  count(struts, StmTextCount("%d strut", "%d struts", struts));
  count(ties, StmTextCount("%d tie", "%d ties", ties));
  count(nodes, StmTextCount("%d node", "%d nodes", nodes));
  count(plates, StmTextCount("%d bearing plate", "%d bearing plates", plates));
  CString text;
  if (!parts.empty()) {
    CString list;
    for (size_t i = 0; i < parts.size(); ++i) {
      if (i > 0) list += i + 1 == parts.size() ? StmText(" and ") : CString(", ");
      list += parts[i];
    }
    text.Format(StmText("%s over capacity").c_str(), list.c_str());
  }
  const auto note = [&text](int n, const CString& counted) {
    if (n == 0) return;
    if (!text.IsEmpty()) text += "; ";
    text += counted;
  };
  note(regions, StmTextCount("%d region leaves the concrete or overlaps another",
                             "%d regions leave the concrete or overlap others", regions));
  note(angles, StmTextCount("%d strut meets a tie at too small an angle",
                            "%d struts meet a tie at too small an angle", angles));
  return text.IsEmpty() ? StmText("all checks pass") : text;
}
