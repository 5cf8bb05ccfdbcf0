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
#include <atomic>
#include <cmath>
#include <map>
#include <thread>
#include <unordered_map>
#include <vector>

#include "analysis/StmDenseIndex.h"
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

// What a member's room in the concrete is measured and clipped from, kept from run to run.
struct SMemberRoom {
  CDPoint ends[2];
  bool onEdge[2] = {false, false};
  double widthMax = 0.0;
  // The widest (or designed) band clipped, for the width it was clipped at.
  bool bRegion = false;
  double regionWidth = 0.0;
  Polygon region;
};

// A node's widest zone in one case, clipped, with what it was built from.
struct SWidestZone {
  bool bValid = false;
  std::vector<double> from;
  Polygon zone;
};

// A member as the checks see it in one case.
struct SMember {
  CStmObjElement* element = nullptr;
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
  // The stress of its strut type, alone; the steel of its tie type.
  const SStmDesignStress* strut = nullptr;
  double steelProvided = 0.0;
  // Its room in the concrete, kept by the cache; null for a stability element or without regions.
  SMemberRoom* room = nullptr;
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

// A node members reach: its members are nodeList[first, last).
struct SNodeAt {
  int id = 0;
  size_t first = 0, last = 0;
  CStmObjNode* node = nullptr;
  CDPoint at;
  double thickness = 0.0;
  const CStmObjBearingPlate* plate = nullptr;
  // Its widest zone per case, kept by the cache.
  std::vector<SWidestZone>* widest = nullptr;
};

// Items per turn when the bands and zones are shared out over the cores.
constexpr size_t kChunk = 256;

// Runs fn(first, last) over [0, n) in chunks that up to threads threads take in turn. Every item
// writes only its own slots, so the answer is the same whoever took which chunk.
template <class Fn>
void ForChunks(size_t n, int threads, size_t chunk, const Fn& fn) {
  const size_t chunks = (n + chunk - 1) / chunk;
  if (threads <= 1 || chunks <= 1) {
    fn(0, n);
    return;
  }
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t c = next++; c < chunks; c = next++) fn(c * chunk, std::min(n, (c + 1) * chunk));
  };
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < std::min(static_cast<size_t>(threads), chunks); ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
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
  std::unordered_map<int, SMemberRoom> members;
  // Each node's widest zone per case, clipped, with what it was built from.
  std::unordered_map<int, std::vector<SWidestZone>> widest;
  int nMeasured = 0;
};

CStmCheckCache::CStmCheckCache() : m_p(std::make_unique<SImpl>()) {}
CStmCheckCache::~CStmCheckCache() = default;
int CStmCheckCache::GetCountMeasured() const { return m_p->nMeasured; }

// The checks of every case. With results, also the bands, zones and everything found about them,
// written to the model's elements and nodes; with required alone, only the largest width each
// strut requires, which the room in the concrete does not change, and the model is not touched.
bool CStmChecks::Check(CStmModel& model, int shownCase, CStmCheckCache* cache, int threads, SStmCheckResults* results,
                       std::map<int, double>* required) {
  const bool withRegions = results != nullptr;
  const SStmMaterials& materials = model.GetMaterials();
  const CString error = CStmDesignCode::Validate(materials, model.GetUnitForce(), model.GetUnitLength());
  if (withRegions) {
    results->strError = error;
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
  if (!error.IsEmpty()) return false;
  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
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
  // The members do not change from case to case, nor does the room about them, nor what their
  // types give.
  const CStmDataDefine& define = *model.GetStmDataDefine();
  const SStmDesignStress tieStress = code.Tie();
  std::map<int, SStmDesignStress> strutStress;
  const CStmDenseIndex<CStmObjNode> nodeOf(model.GetNodes());
  std::vector<SMember> members;
  members.reserve(model.GetElements().size());
  std::vector<std::pair<int, size_t>> ends;
  ends.reserve(2 * model.GetElements().size());
  std::vector<size_t> measure;
  for (const auto& [id, element] : model.GetElements()) {
    CStmObjNode* begin = nodeOf(element->GetIdNodeBegin());
    CStmObjNode* end = nodeOf(element->GetIdNodeEnd());
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
    // The member's room, measured again only when its ends moved.
    if (!m.stable && withRegions) {
      auto [it, added] = kept.members.try_emplace(id);
      m.room = &it->second;
      if (added || !(m.room->ends[0] == m.ends[0]) || !(m.room->ends[1] == m.ends[1])) {
        *m.room = SMemberRoom();
        m.room->ends[0] = m.ends[0];
        m.room->ends[1] = m.ends[1];
        measure.push_back(members.size());
      }
    }
    const int strutType = element->GetIndexStrutType();
    auto strut = strutStress.find(strutType);
    if (strut == strutStress.end()) {
      const SStmStrutType* type = define.GetStrutType(strutType);
      strut = strutStress.emplace(strutType, code.Strut(type ? type->dBetaS : 1.0)).first;
    }
    m.strut = &strut->second;
    const SStmTieType* tie = define.GetTieType(element->GetIndexTieType());
    m.steelProvided = tie ? tie->nBars * kPi * tie->dDiameter * tie->dDiameter / 4.0 : 0.0;
    ends.emplace_back(m.nodes[0], members.size());
    ends.emplace_back(m.nodes[1], members.size());
    members.push_back(m);
  }
  kept.nMeasured = static_cast<int>(measure.size());
  ForChunks(measure.size(), threads, 8, [&](size_t first, size_t last) {
    for (size_t i = first; i < last; ++i) {
      SMember& m = members[measure[i]];
      SMemberRoom& room = *m.room;
      for (int end = 0; end < 2; ++end) room.onEdge[end] = regions.OnEdge(m.ends[end]);
      room.widthMax = regions.MaxWidth(m.ends[0], m.ends[1], room.onEdge[0], room.onEdge[1]);
    }
  });
  for (SMember& m : members) {
    if (m.room) m.widthMax = m.room->widthMax;
  }
  // The nodes members reach, in id order, each with its members in id order.
  std::sort(ends.begin(), ends.end());
  std::vector<SNodeAt> nodes;
  std::vector<size_t> nodeList(ends.size());
  std::unordered_map<int, const CStmObjBearingPlate*> plates;
  if (withRegions) {
    for (const auto& [id, plate] : model.GetBearingPlates())
      if (plate->IsEnable()) plates.emplace(plate->GetIdNode(), plate);
  }
  for (size_t e = 0; e < ends.size(); ++e) {
    const auto& [idNode, i] = ends[e];
    if (nodes.empty() || nodes.back().id != idNode) {
      SNodeAt n;
      n.id = idNode;
      n.first = e;
      n.node = nodeOf(idNode);
      n.at = ToPlane(plane, n.node->GetCoord());
      n.thickness = materials.dThickness * n.node->GetThicknessScale();
      if (withRegions) {
        const auto plate = plates.find(idNode);
        if (plate != plates.end()) n.plate = plate->second;
        n.widest = &kept.widest[idNode];
      }
      nodes.push_back(n);
    }
    nodes.back().last = e + 1;
    nodeList[e] = i;
    members[i].at[members[i].nodes[0] == idNode ? 0 : 1] = nodes.size() - 1;
  }
  const size_t nMembers = members.size(), nNodes = nodes.size();
  const int cases = std::max(model.GetCountLoadConditionStatic() + model.GetCountLoadConditionCombo(), 0);
  const size_t nCases = static_cast<size_t>(cases);
  const double tieWidth = 2.0 * materials.dCover;
  const SStmDesignStress classStress[3] = {code.Node(STM_NODE_CCC), code.Node(STM_NODE_CCT), code.Node(STM_NODE_CTT)};

  // Per case and member (k * nMembers + i), per case and node (k * nNodes + n).
  std::vector<EStmTypeElement> kinds(nCases * nMembers, STM_ELEMENT_NONE);
  std::vector<double> forces(nCases * nMembers, 0.0), bandWidth(nCases * nMembers, 0.0),
      checkWidth(nCases * nMembers, 0.0);
  std::vector<SStmCheckElement> checks(nCases * nMembers);
  std::vector<int> nodeTies(nCases * nNodes, 0);
  std::vector<CDPoint> outside(nCases * nNodes);
  std::vector<double> largest(nCases * nNodes, 0.0);
  for (size_t k = 0; k < nCases; ++k) {
    const size_t em = k * nMembers, en = k * nNodes;
    // Node classes, and the outside force that holds each node in balance.
    {
      // Both in id order.
      const std::vector<std::pair<int, CString>> types = model.GetNodeTypes(static_cast<int>(k));
      auto found = types.begin();
      for (size_t n = 0; n < nNodes; ++n) {
        while (found != types.end() && found->first < nodes[n].id) ++found;
        if (found != types.end() && found->first == nodes[n].id)
          nodeTies[en + n] = static_cast<int>(std::count(found->second.str().begin(), found->second.str().end(), 'T'));
      }
    }
    // Members: width, steel and utilisation.
    for (size_t i = 0; i < nMembers; ++i) {
      const SMember& m = members[i];
      const double force = m.element->GetResultAxialForce(static_cast<int>(k));
      const EStmTypeElement kind = m.element->GetType(static_cast<int>(k));
      forces[em + i] = force;
      for (int end = 0; end < 2; ++end) {
        // The member pulls its node towards its other end with its force.
        const double sign = end == 0 ? 1.0 : -1.0;
        CDPoint& sum = outside[en + m.at[end]];
        sum = CDPoint(sum.x - sign * force * m.dir.x, sum.y - sign * force * m.dir.y);
        largest[en + m.at[end]] = std::max(largest[en + m.at[end]], std::fabs(force));
      }
      if (m.stable || kind == STM_ELEMENT_NONE || force == 0.0) continue;
      kinds[em + i] = kind;
      SStmCheckElement& check = checks[em + i];
      check.dForce = force;
      const double demand = std::fabs(force);
      if (kind == STM_ELEMENT_STRUT) {
        const SStmDesignStress* governing = m.strut;
        for (int end = 0; end < 2; ++end) {
          const SStmDesignStress& node = classStress[CStmDesignCode::ClassOfNode(nodeTies[en + m.at[end]])];
          if (node.dStress < governing->dStress) governing = &node;
        }
        check.strClause = governing->strClause;
        check.dWidthRequired = demand / (governing->dStress * m.thickness);
        check.dWidthAvailable = m.designed > 0.0 ? m.designed : m.widthMax;
        bandWidth[em + i] = m.designed > 0.0 ? m.designed : check.dWidthRequired;
        checkWidth[em + i] = check.dWidthAvailable;
        check.dCapacity = governing->dStress * m.thickness * check.dWidthAvailable;
      } else {
        check.strClause = tieStress.strClause;
        check.dSteelRequired = demand / tieStress.dStress;
        check.dSteelProvided = m.steelProvided;
        check.dCapacity = tieStress.dStress * check.dSteelProvided;
        check.dWidthRequired = tieWidth;
        check.dWidthAvailable = m.designed > 0.0 ? m.designed : tieWidth;
        bandWidth[em + i] = checkWidth[em + i] = check.dWidthAvailable;
      }
      if (check.dCapacity > 0.0) {
        check.dUtilisation = demand / check.dCapacity;
        SetOver(check.dUtilisation, check.nFlags);
      } else {
        check.nFlags |= STM_CHECK_INCOMPLETE;
      }
    }
    if (!withRegions) continue;

    // Angles between struts and ties that meet.
    for (size_t i = 0; i < nMembers; ++i) {
      const EStmTypeElement kind = kinds[em + i];
      if (kind == STM_ELEMENT_NONE) continue;
      SStmCheckElement& check = checks[em + i];
      for (int end = 0; end < 2; ++end) {
        const SNodeAt& n = nodes[members[i].at[end]];
        for (size_t e = n.first; e < n.last; ++e) {
          const size_t j = nodeList[e];
          if (kinds[em + j] == STM_ELEMENT_NONE || kinds[em + j] == kind) continue;
          const double angle = AngleBetweenLines(members[i].dir, members[j].dir);
          if (check.dAngle == 0.0 || angle < check.dAngle) check.dAngle = angle;
        }
      }
      if (code.GetMinAngle() > 0.0 && check.dAngle > 0.0 && check.dAngle < code.GetMinAngle()) {
        check.nFlags |= STM_CHECK_ANGLE;
        if (!(check.nFlags & STM_CHECK_OVER_CAPACITY)) check.strClause = code.GetAngleClause();
      }
    }
  }

  if (!withRegions) {
    // A strut's check has no steel; a tie's always asks for some.
    for (size_t k = 0; k < nCases; ++k) {
      for (size_t i = 0; i < nMembers; ++i) {
        const SStmCheckElement& check = checks[k * nMembers + i];
        if (kinds[k * nMembers + i] == STM_ELEMENT_NONE || check.dSteelRequired != 0.0 || !(check.dWidthRequired > 0.0))
          continue;
        double& w = (*required)[members[i].id];
        w = std::max(w, check.dWidthRequired);
      }
    }
    return true;
  }

  // Bands and zones of every case: each item writes only its own slots, so they are shared out
  // over the cores. Bands: what the force takes, clipped to the concrete; the widest band of the
  // shown case. Zones: a face per member and for the outside force; the widest zone depends on
  // the forces only through which members carry any and through the load or reaction, so a
  // gesture leaves it as it was at most nodes.
  std::vector<std::vector<Polygon>> bands(nCases, std::vector<Polygon>(nMembers)),
      nodal(nCases, std::vector<Polygon>(nNodes));
  std::vector<SStmCheckNode> nodeChecks(nCases * nNodes);
  std::vector<SStmCheckPlate> plateChecks(nCases * nNodes);
  std::vector<char> nodeChecked(nCases * nNodes, 0);
  for (SNodeAt& n : nodes) n.widest->resize(nCases);
  const auto band = [&](size_t k, size_t i) {
    const size_t at = k * nMembers + i;
    if (kinds[at] == STM_ELEMENT_NONE) return;
    const SMember& m = members[i];
    SMemberRoom& room = *m.room;
    const auto clip = [&](double width, bool& leaves) {
      return regions.ClipBand(m.ends[0], m.ends[1], width, room.onEdge[0], room.onEdge[1], room.widthMax, leaves);
    };
    bool leaves = false;
    bands[k][i] = clip(bandWidth[at], leaves);
    if (leaves) checks[at].nFlags |= STM_CHECK_OUTSIDE;
    if (static_cast<int>(k) == shownCase) {
      const double width = m.designed > 0.0 ? m.designed : m.widthMax;
      if (!room.bRegion || room.regionWidth != width) {
        room.region = clip(width, leaves);
        room.regionWidth = width;
        room.bRegion = true;
      }
    }
  };
  const auto zone = [&](size_t k, size_t s, std::vector<SFace>& faces, std::vector<double>& from) {
    const size_t at = k * nNodes + s;
    const SNodeAt& n = nodes[s];
    const SStmDesignStress& stress = classStress[CStmDesignCode::ClassOfNode(nodeTies[at])];
    faces.clear();
    for (size_t e = n.first; e < n.last; ++e) {
      const size_t i = nodeList[e];
      const size_t mi = k * nMembers + i;
      if (kinds[mi] == STM_ELEMENT_NONE) continue;
      const SMember& m = members[i];
      const double sign = m.nodes[0] == n.id ? 1.0 : -1.0;
      SFace face;
      face.out = CDPoint(sign * m.dir.x, sign * m.dir.y);
      face.force = std::fabs(forces[mi]);
      face.width = bandWidth[mi];
      face.widthMax = kinds[mi] == STM_ELEMENT_STRUT && !(m.designed > 0.0) ? m.widthMax : bandWidth[mi];
      face.widthCheck = checkWidth[mi];
      faces.push_back(face);
    }
    const CDPoint sum = outside[at];
    const double external = std::hypot(sum.x, sum.y);
    const double plateWidth = n.plate ? n.plate->GetProperty().dWidth : 0.0;
    // Below this the members balance each other and the sum is rounding.
    const bool loaded = external > 1e-9 * largest[at];
    if (loaded) {
      SFace face;
      face.out = CDPoint(-sum.x / external, -sum.y / external);
      face.force = external;
      face.width = face.widthMax = plateWidth > 0.0 ? plateWidth : external / (stress.dStress * n.thickness);
      face.widthCheck = plateWidth;
      face.reach = regions.Reach(n.at, face.out, std::max(face.width, face.widthMax) / 2.0);
      faces.push_back(face);
    }
    if (n.plate) {
      SStmCheckPlate& check = plateChecks[at];
      check.dForce = loaded ? external : 0.0;
      check.strClause = stress.strClause;
      check.dCapacity = stress.dStress * n.thickness * plateWidth;
      if (check.dCapacity > 0.0) {
        check.dUtilisation = check.dForce / check.dCapacity;
        SetOver(check.dUtilisation, check.nFlags);
      } else {
        check.nFlags |= STM_CHECK_INCOMPLETE;
      }
    }
    if (faces.empty()) return;
    SStmCheckNode& check = nodeChecks[at];
    check.strClass = CStmDesignCode::NameOfClass(CStmDesignCode::ClassOfNode(nodeTies[at]));
    check.dStress = stress.dStress;
    check.strClause = stress.strClause;
    for (const SFace& face : faces) {
      if (face.widthCheck > 0.0)
        check.dUtilisation = std::max(check.dUtilisation, face.force / (stress.dStress * n.thickness * face.widthCheck));
    }
    SetOver(check.dUtilisation, check.nFlags);
    bool leaves = false;
    nodal[k][s] = regions.Clip(Zone(n.at, faces, false), leaves);
    if (leaves) check.nFlags |= STM_CHECK_OUTSIDE;
    from.assign({n.at.x, n.at.y});
    for (const SFace& face : faces) from.insert(from.end(), {face.out.x, face.out.y, face.widthMax, face.reach});
    SWidestZone& keptZone = (*n.widest)[k];
    if (!keptZone.bValid || keptZone.from != from) {
      keptZone.zone = regions.Clip(Zone(n.at, faces, true));
      keptZone.from = from;
      keptZone.bValid = true;
    }
    nodeChecked[at] = 1;
  };
  const size_t bandItems = nCases * nMembers;
  ForChunks(bandItems + nCases * nNodes, threads, kChunk, [&](size_t first, size_t last) {
    std::vector<SFace> faces;
    std::vector<double> from;
    for (size_t item = first; item < last; ++item) {
      if (item < bandItems) {
        band(item / nMembers, item % nMembers);
      } else {
        zone((item - bandItems) / nNodes, (item - bandItems) % nNodes, faces, from);
      }
    }
  });

  // Overlaps, per case among the bands and among the zones. Members that meet at a node overlap
  // there by design.
  const auto meet = [&members](size_t i, size_t j) {
    const SMember &a = members[i], &b = members[j];
    return a.nodes[0] == b.nodes[0] || a.nodes[0] == b.nodes[1] || a.nodes[1] == b.nodes[0] ||
           a.nodes[1] == b.nodes[1];
  };
  std::vector<std::vector<std::pair<size_t, size_t>>> overlaps(2 * nCases);
  ForChunks(2 * nCases, threads, 1, [&](size_t first, size_t last) {
    for (size_t job = first; job < last; ++job) {
      const size_t k = job / 2;
      overlaps[job] = job % 2 == 0 ? CStmRegions::OverlappingPairs(bands[k], meet)
                                   : CStmRegions::OverlappingPairs(nodal[k]);
    }
  });
  for (size_t k = 0; k < nCases; ++k) {
    for (const auto& [i, j] : overlaps[2 * k]) {
      checks[k * nMembers + i].nFlags |= STM_CHECK_OVERLAP;
      checks[k * nMembers + j].nFlags |= STM_CHECK_OVERLAP;
    }
    for (const auto& [i, j] : overlaps[2 * k + 1]) {
      nodeChecks[k * nNodes + i].nFlags |= STM_CHECK_OVERLAP;
      nodeChecks[k * nNodes + j].nFlags |= STM_CHECK_OVERLAP;
    }
  }

  // The records, in id order, and the regions onto the model.
  results->cases.resize(nCases);
  for (size_t k = 0; k < nCases; ++k) {
    SStmCheckCase& out = results->cases[k];
    for (size_t i = 0; i < nMembers; ++i) {
      if (kinds[k * nMembers + i] != STM_ELEMENT_NONE)
        out.elements.emplace_hint(out.elements.end(), members[i].id, std::move(checks[k * nMembers + i]));
    }
    for (size_t s = 0; s < nNodes; ++s) {
      if (nodeChecked[k * nNodes + s])
        out.nodes.emplace_hint(out.nodes.end(), nodes[s].id, std::move(nodeChecks[k * nNodes + s]));
      if (nodes[s].plate) out.plates[nodes[s].plate->GetId()] = std::move(plateChecks[k * nNodes + s]);
    }
  }
  const auto toModel = [plane](const Polygon& polygon) {
    std::vector<CVector> out;
    out.reserve(polygon.size());
    for (const CDPoint& p : polygon) out.push_back(ToModel(plane, p));
    return out;
  };
  for (size_t i = 0; i < nMembers; ++i) {
    const SMember& m = members[i];
    bool any = false;
    for (size_t k = 0; k < nCases && !any; ++k) any = kinds[k * nMembers + i] != STM_ELEMENT_NONE;
    if (!any) continue;
    if (shownCase >= 0 && static_cast<size_t>(shownCase) < nCases &&
        kinds[static_cast<size_t>(shownCase) * nMembers + i] != STM_ELEMENT_NONE) {
      m.element->SetEffectiveRegion(toModel(bands[static_cast<size_t>(shownCase)][i]));
      m.element->SetMaxEffectiveRegion(toModel(m.room->region));
    }
    std::vector<Polygon> zones(nCases);
    for (size_t k = 0; k < nCases; ++k) zones[k] = std::move(bands[k][i]);
    m.element->SetEffectiveZones(std::move(zones));
  }
  for (size_t s = 0; s < nNodes; ++s) {
    bool any = false;
    for (size_t k = 0; k < nCases && !any; ++k) any = nodeChecked[k * nNodes + s] != 0;
    if (!any) continue;
    std::vector<Polygon> zones(nCases), widest(nCases);
    for (size_t k = 0; k < nCases; ++k) {
      if (!nodeChecked[k * nNodes + s]) continue;
      zones[k] = std::move(nodal[k][s]);
      widest[k] = (*nodes[s].widest)[k].zone;
    }
    nodes[s].node->SetNodalZones(std::move(zones));
    nodes[s].node->SetMaxWidthZones(std::move(widest));
  }
  return true;
}

bool CStmChecks::Run(CStmModel& model, int shownCase, CStmCheckCache* cache, int threads) {
  SStmCheckResults results;
  const bool checked = Check(model, shownCase, cache, threads, &results, nullptr);
  model.SetCheckResults(std::move(results));
  return checked;
}

std::map<int, double> CStmChecks::RequiredStrutWidths(CStmModel& model) {
  std::map<int, double> required;
  Check(model, -1, nullptr, 1, nullptr, &required);
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
