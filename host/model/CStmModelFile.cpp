// Model files: the JSON document, its checks on reading, and the safe replace on writing.
#include "host/model/CStmModelFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "geometry/StmGeometry.h"
#include "host/model/CStmModel.h"
#include "host/model/StmModelLimits.h"
#include "host/platform/StmText.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kFormat = "stm-model";
// The design codes by EStmDesignCode, as the file names them.
constexpr const char* kCodeNames[] = {"ACI 318-19", "EN 1992-1-1"};

using StmLimits::kMaxCoord;
using StmLimits::kMaxCount;
using StmLimits::kMaxDepth;
using StmLimits::kMaxFileBytes;
using StmLimits::kMaxId;
using StmLimits::kMaxNameBytes;
using StmLimits::kMaxTextBytes;
using StmLimits::kMaxValue;

CString Say(CString format, ...) {
  va_list args;
  va_start(args, format);
  CString text;
  text.FormatV(format.c_str(), args);
  va_end(args);
  return text;
}

// ---------------------------------------------------------------------------------------------
// Writing

Json Vec(const CVector& v) { return Json::array({v.x, v.y, v.z}); }
Json Pt(const CDPoint& p) { return Json::array({p.x, p.y}); }

template <class Seq, class Fn>
Json ArrayOf(const Seq& items, Fn fn) {
  Json out = Json::array();
  for (const auto& item : items) out.push_back(fn(item));
  return out;
}

Json Polygon3(const std::vector<CVector>& pts) { return ArrayOf(pts, Vec); }
Json Polygon2(const std::vector<CDPoint>& pts) { return ArrayOf(pts, Pt); }
Json Polygons2(const std::vector<std::vector<CDPoint>>& polys) { return ArrayOf(polys, Polygon2); }
Json Segment(const CVector& a, const CVector& b) { return Json::array({Vec(a), Vec(b)}); }

Json Attributes(const CStmObject& record) {
  Json out = Json::array();
  for (int i = 0; i < CStmObject::kAttrCount; ++i) out.push_back(record.GetAttributeInt(i));
  return out;
}

Json Head(const CStmObject& record) {
  Json out;
  out["id"] = record.GetId();
  out["name"] = record.GetName().str();
  out["enable"] = record.IsEnable();
  return out;
}

Json WriteView(const CStmDataView& view) {
  Json out;
  out["showOptions"] = view.GetShowOptions();
  out["sizeNumberNode"] = view.GetSizeNumberNode();
  out["sizeNumberElement"] = view.GetSizeNumberElement();
  out["sizeValueLoad"] = view.GetSizeValueLoad();
  out["sizeValueResult"] = view.GetSizeValueResult();
  out["lengthMinArrowHead"] = view.GetLengthMinArrowHead();
  out["lengthMaxArrowHead"] = view.GetLengthMaxArrowHead();
  out["fixedPointNumber"] = view.GetFixedPointNumber();
  out["namingNode"] = static_cast<int>(view.GetTypeNamingNode());
  out["namingElement"] = static_cast<int>(view.GetTypeNamingElement());
  out["colorStyle"] = static_cast<int>(view.GetTypeColor());
  out["colorsDark"] = ArrayOf(view.GetColorSet(STM_COLOR_DARK).colors, Vec);
  out["colorsLight"] = ArrayOf(view.GetColorSet(STM_COLOR_LIGHT).colors, Vec);
  out["contour"] = static_cast<int>(view.GetTypeContour());
  out["result"] = static_cast<int>(view.GetTypeResult());
  out["scaleDisplacement"] = view.GetScaleDisplacement();
  out["gridOrigin"] = Vec(view.GetGridOrigin());
  out["gridSpace"] = Vec(view.GetGridSpace());
  out["guidelines"] = Json::array({view.GetGuideline(0), view.GetGuideline(1), view.GetGuideline(2)});
  return out;
}

Json WriteBoundaryLike(const CStmObjBoundary& boundary) {
  Json out = Head(boundary);
  out["attributes"] = Attributes(boundary);
  out["attributeText"] = boundary.GetAttributeText().str();
  out["points"] = Polygon3(boundary.GetBoundaryPos());
  out["elements"] = boundary.GetIdElements();
  return out;
}

Json Flows(const std::vector<SStmStressFlow>& flows) {
  // A pull carries a third entry; a push keeps the two points that files always had.
  return ArrayOf(flows, [](const SStmStressFlow& f) {
    Json out = Segment(f.start, f.end);
    if (f.bTension) out.push_back(1);
    return out;
  });
}

Json Quads(const std::vector<SStmQuad>& quads) {
  return ArrayOf(quads, [](const SStmQuad& q) { return Json::array({q[0], q[1], q[2], q[3]}); });
}

Json WriteChecks(const SStmCheckResults& checks) {
  Json out;
  out["error"] = checks.strError.str();
  out["cases"] = ArrayOf(checks.cases, [](const SStmCheckCase& c) {
    Json j;
    j["elements"] = Json::array();
    for (const auto& [id, e] : c.elements) {
      j["elements"].push_back(Json{{"id", id}, {"force", e.dForce}, {"widthRequired", e.dWidthRequired},
                                   {"widthAvailable", e.dWidthAvailable}, {"steelRequired", e.dSteelRequired},
                                   {"steelProvided", e.dSteelProvided}, {"capacity", e.dCapacity},
                                   {"utilisation", e.dUtilisation}, {"angle", e.dAngle},
                                   {"clause", e.strClause.str()}, {"flags", e.nFlags}});
    }
    j["nodes"] = Json::array();
    for (const auto& [id, n] : c.nodes) {
      j["nodes"].push_back(Json{{"id", id}, {"class", n.strClass.str()}, {"stress", n.dStress},
                                {"utilisation", n.dUtilisation}, {"clause", n.strClause.str()}, {"flags", n.nFlags}});
    }
    j["plates"] = Json::array();
    for (const auto& [id, p] : c.plates) {
      j["plates"].push_back(Json{{"id", id}, {"force", p.dForce}, {"capacity", p.dCapacity},
                                 {"utilisation", p.dUtilisation}, {"clause", p.strClause.str()}, {"flags", p.nFlags}});
    }
    return j;
  });
  return out;
}

Json WriteResults(const CStmModel& model) {
  Json out;
  out["esoSteps"] = ArrayOf(model.GetEsoSteps(), [](const SStmEsoStep& step) {
    Json cells = ArrayOf(step.cells, [](const SStmEsoCell& cell) {
      Json c;
      c["corners"] = ArrayOf(cell.corners, Vec);
      c["value"] = cell.dValue;
      return c;
    });
    Json s;
    s["cells"] = std::move(cells);
    return s;
  });
  out["esoCurrentStep"] = model.GetCurrentStepEso();
  out["stressFlow"] = Flows(model.GetStressFlow());
  out["nodalZones"] = ArrayOf(model.GetResultNodalZones(), [](const SStmResultNodalZone& entry) {
    Json e;
    e["zones"] = ArrayOf(entry.zones, [](const SStmNodalZone& zone) {
      Json z;
      z["corners"] = zone.corners;
      z["compression"] = zone.bCompression != 0;
      z["tension"] = zone.bTension != 0;
      return z;
    });
    e["flows"] = Flows(entry.flows);
    return e;
  });
  out["nodalZoneCurrent"] = model.GetCurrentNodalZone();
  out["meshType"] = model.GetTypeMesh();
  Json plane;
  plane["coords"] = ArrayOf(model.GetMeshPlane().coords, Pt);
  plane["quads"] = Quads(model.GetMeshPlane().quads);
  out["meshPlane"] = std::move(plane);
  Json space;
  space["coords"] = ArrayOf(model.GetMeshSpace().coords, Vec);
  space["quads"] = Quads(model.GetMeshSpace().quads);
  out["meshSpace"] = std::move(space);
  out["boundaryRefs"] = ArrayOf(model.GetBoundaryRefs(), [](const SStmSegment& s) { return Segment(s.a, s.b); });
  Json reactions = Json::array();
  for (const auto& [id, values] : model.GetResultReactions()) {
    Json r;
    r["node"] = id;
    r["values"] = ArrayOf(values, Vec);
    reactions.push_back(std::move(r));
  }
  out["reactions"] = std::move(reactions);
  // Only a model that was checked has them, so that files from before the checks stay as they were.
  if (!model.GetCheckResults().IsEmpty()) out["checks"] = WriteChecks(model.GetCheckResults());
  return out;
}

Json WriteModel(const CStmModel& model) {
  Json doc;
  doc["format"] = kFormat;
  doc["version"] = CStmModelFile::kVersion;
  doc["description"] = model.GetDescription().str();
  doc["unitLength"] = model.GetUnitLength().str();
  doc["unitForce"] = model.GetUnitForce().str();
  doc["plane"] = model.GetPlane();
  doc["lock"] = model.IsLock() != 0;
  doc["inputModel"] = model.IsInputModel() != 0;
  doc["view"] = WriteView(*model.GetStmDataView());
  Json config;
  config["typeEffectiveRegion"] = model.GetStmDataConfig()->GetTypeEffectiveRegion();
  doc["config"] = std::move(config);

  const CStmDataDefine& define = *model.GetStmDataDefine();
  Json struts = Json::array(), ties = Json::array();
  for (int i = 0; i < define.GetCountStrut(); ++i) {
    const SStmStrutType& t = *define.GetStrutType(i);
    struts.push_back(Json{{"name", t.strName.str()}, {"shape", t.nShape}, {"betaS", t.dBetaS}});
  }
  for (int i = 0; i < define.GetCountTie(); ++i) {
    const SStmTieType& t = *define.GetTieType(i);
    ties.push_back(Json{{"name", t.strName.str()}, {"typeSteel", t.nTypeSteel}, {"horizontal", t.nHorizontal},
                        {"anchored", t.nAnchored}, {"diameter", t.dDiameter}, {"bars", t.nBars}});
  }
  doc["definitions"] = Json{{"struts", std::move(struts)}, {"ties", std::move(ties)}};

  Json nodes = Json::array();
  for (const auto& [id, node] : model.GetNodes()) {
    Json n = Head(*node);
    n["coord"] = Vec(node->GetCoord());
    n["movable"] = node->IsMoveable() != 0;
    n["thicknessScale"] = node->GetThicknessScale();
    n["attributes"] = Attributes(*node);
    n["attributeText"] = node->GetAttributeText().str();
    n["nodalZones"] = Polygons2(node->GetNodalZones());
    n["maxWidthZones"] = Polygons2(node->GetMaxWidthZones());
    nodes.push_back(std::move(n));
  }
  doc["nodes"] = std::move(nodes);

  Json elements = Json::array();
  for (const auto& [id, element] : model.GetElements()) {
    Json e = Head(*element);
    e["nodes"] = Json::array({element->GetIdNodeBegin(), element->GetIdNodeEnd()});
    const SStmPropElement& prop = element->GetProperty();
    e["property"] = Json{{"typeMember", prop.nTypeMember}, {"typeWidth", prop.nTypeWidth}, {"width", prop.dWidth}};
    e["strutType"] = element->GetIndexStrutType();
    e["tieType"] = element->GetIndexTieType();
    e["stable"] = element->IsStableElement() != 0;
    e["thicknessScale"] = element->GetThicknessScale();
    e["attributes"] = Attributes(*element);
    e["attributeText"] = element->GetAttributeText().str();
    e["axialForces"] = element->GetResultAxialForces();
    e["effectiveZones"] = Polygons2(element->GetEffectiveZones());
    e["effectiveRegion"] = Polygon3(element->GetEffectiveRegion());
    e["maxEffectiveRegion"] = Polygon3(element->GetMaxEffectiveRegion());
    elements.push_back(std::move(e));
  }
  doc["elements"] = std::move(elements);

  Json boundaries = Json::array();
  for (EStmTypeBoundary type : {STM_BOUNDARY_OUTER, STM_BOUNDARY_INNER}) {
    for (const auto& [id, boundary] : model.GetBoundarys(type)) {
      Json b = WriteBoundaryLike(*boundary);
      b["type"] = static_cast<int>(type);
      boundaries.push_back(std::move(b));
    }
  }
  doc["boundaries"] = std::move(boundaries);

  Json areas = Json::array();
  for (const auto& [id, area] : model.GetPropertyAreas()) {
    Json a = WriteBoundaryLike(*area);
    a["thickness"] = area->GetThickness();
    areas.push_back(std::move(a));
  }
  doc["propertyAreas"] = std::move(areas);

  Json restraints = Json::array();
  for (const auto& [id, r] : model.GetRestraints()) {
    Json j = Head(*r);
    const SStmDof& d = r->GetDof();
    j["node"] = r->GetIdNode();
    j["dof"] = Json::array({d.Ux, d.Uy, d.Uz, d.Rx, d.Ry, d.Rz});
    j["rollerAngle"] = r->GetRollerAngle();
    restraints.push_back(std::move(j));
  }
  doc["restraints"] = std::move(restraints);

  Json springs = Json::array();
  for (const auto& [id, s] : model.GetSprings()) {
    Json j = Head(*s);
    j["node"] = s->GetIdNode();
    j["u"] = Vec(s->GetU());
    j["r"] = Vec(s->GetR());
    springs.push_back(std::move(j));
  }
  doc["springs"] = std::move(springs);

  Json plates = Json::array();
  for (const auto& [id, p] : model.GetBearingPlates()) {
    Json j = Head(*p);
    j["node"] = p->GetIdNode();
    j["width"] = p->GetProperty().dWidth;
    j["thickness"] = p->GetProperty().dThickness;
    plates.push_back(std::move(j));
  }
  doc["bearingPlates"] = std::move(plates);

  Json statics = Json::array();
  for (const auto& [id, condition] : model.GetLoadConditionStatics()) {
    Json j = Head(*condition);
    j["loads"] = ArrayOf(condition->GetLoadNodes(), [](const auto& entry) {
      return Json{{"id", entry.first}, {"name", entry.second->GetName().str()}, {"node", entry.second->GetIdNode()},
                  {"load", Vec(entry.second->GetLoad())}};
    });
    statics.push_back(std::move(j));
  }
  doc["loadStatics"] = std::move(statics);

  Json combos = Json::array();
  for (const auto& [id, combo] : model.GetLoadConditionCombos()) {
    Json j = Head(*combo);
    j["factors"] = ArrayOf(combo->GetComboFactors(), [](const auto& entry) {
      return Json{{"id", entry.first}, {"condition", entry.second->GetNameLoadCondition().str()},
                  {"type", entry.second->GetTypeLoadCondition()}, {"scale", entry.second->GetScaleFactor()}};
    });
    combos.push_back(std::move(j));
  }
  doc["loadCombos"] = std::move(combos);
  doc["results"] = WriteResults(model);
  const SStmMaterials& m = model.GetMaterials();
  doc["materials"] = Json{{"code", kCodeNames[m.eCode == STM_CODE_EN_1992_1_1 ? 1 : 0]},
                          {"concreteStrength", m.dConcreteStrength},
                          {"concreteModulus", m.dConcreteModulus},
                          {"poisson", m.dPoisson},
                          {"steelYield", m.dSteelYield},
                          {"steelModulus", m.dSteelModulus},
                          {"thickness", m.dThickness},
                          {"cover", m.dCover},
                          {"loadPath", Json{{"elementSize", m.loadPath.dElementSize},
                                            {"rejectionRatio", m.loadPath.dRejectionRatio},
                                            {"evolutionRate", m.loadPath.dEvolutionRate},
                                            {"targetFraction", m.loadPath.dTargetFraction},
                                            {"zoneRadius", m.loadPath.dZoneRadius}}}};
  return doc;
}

bool IsScalar(const Json& j) { return !j.is_array() && !j.is_object(); }

bool IsFlat(const Json& j) {
  for (const Json& item : j) {
    if (!IsScalar(item)) return false;
  }
  return true;
}

// Objects one member per line; arrays of scalars on one line, so points stay readable. Numbers
// use the library's shortest form that reads back to the same double.
void Print(const Json& j, int depth, std::string& out) {
  const std::string pad(static_cast<size_t>(depth) * 2, ' ');
  const std::string inner(static_cast<size_t>(depth + 1) * 2, ' ');
  if (j.is_object()) {
    if (j.empty()) {
      out += "{}";
      return;
    }
    out += "{\n";
    bool first = true;
    for (auto it = j.begin(); it != j.end(); ++it) {
      if (!first) out += ",\n";
      first = false;
      out += inner + Json(it.key()).dump() + ": ";
      Print(it.value(), depth + 1, out);
    }
    out += "\n" + pad + "}";
  } else if (j.is_array()) {
    if (j.empty()) {
      out += "[]";
    } else if (IsFlat(j)) {
      out += "[";
      for (size_t i = 0; i < j.size(); ++i) out += (i ? ", " : "") + j[i].dump();
      out += "]";
    } else {
      out += "[\n";
      for (size_t i = 0; i < j.size(); ++i) {
        out += inner;
        Print(j[i], depth + 1, out);
        out += i + 1 < j.size() ? ",\n" : "\n";
      }
      out += pad + "]";
    }
  } else {
    out += j.dump();
  }
}

// The first non-finite number in the document, as a JSON pointer; empty when none.
std::string FindNonFinite(const Json& j, const std::string& path) {
  if (j.is_number_float()) return std::isfinite(j.get<double>()) ? std::string() : (path.empty() ? "/" : path);
  if (j.is_object()) {
    for (auto it = j.begin(); it != j.end(); ++it) {
      std::string found = FindNonFinite(it.value(), path + "/" + it.key());
      if (!found.empty()) return found;
    }
  } else if (j.is_array()) {
    for (size_t i = 0; i < j.size(); ++i) {
      std::string found = FindNonFinite(j[i], path + "/" + std::to_string(i));
      if (!found.empty()) return found;
    }
  }
  return std::string();
}

// ---------------------------------------------------------------------------------------------
// Reading

struct FileProblem {
  std::string path;
  CString problem;
};

[[noreturn]] void Fail(const std::string& path, const CString& problem) {
  throw FileProblem{path.empty() ? "/" : path, problem};
}

// A JSON value with the pointer that leads to it, so that every complaint can say where.
class Node {
public:
  Node(const Json& j, std::string path) : m_j(j), m_path(std::move(path)) {}

  const Json& json() const { return m_j; }
  const std::string& path() const { return m_path; }

  const Node& Object() const {
    if (!m_j.is_object()) Fail(m_path, StmText("expected an object"));
    return *this;
  }
  const Node& Array() const {
    if (!m_j.is_array()) Fail(m_path, StmText("expected an array"));
    return *this;
  }
  // Also checks that the object has exactly these members: a misspelt member is an error
  // rather than a silently lost value.
  // Optional members may be missing (files written before they existed).
  const Node& Members(std::initializer_list<const char*> names, std::initializer_list<const char*> optional = {}) const {
    Object();
    for (const char* name : names) {
      if (!m_j.contains(name)) Fail(m_path, Say(StmText("missing field \"%s\""), name));
    }
    for (auto it = m_j.begin(); it != m_j.end(); ++it) {
      bool known = false;
      for (const char* name : names) known = known || it.key() == name;
      for (const char* name : optional) known = known || it.key() == name;
      if (!known) Fail(m_path + "/" + it.key(), StmText("unknown field"));
    }
    return *this;
  }
  bool Has(const char* name) const { return m_j.is_object() && m_j.contains(name); }
  Node operator[](const char* name) const {
    Object();
    if (!m_j.contains(name)) Fail(m_path, Say(StmText("missing field \"%s\""), name));
    return Node(m_j.at(name), m_path + "/" + name);
  }
  size_t Size() const {
    const size_t size = Array().m_j.size();
    if (size > kMaxCount) Fail(m_path, Say(StmText("more than %d entries"), static_cast<int>(kMaxCount)));
    return size;
  }
  Node At(size_t i) const { return Node(Array().m_j.at(i), m_path + "/" + std::to_string(i)); }
  Node Sized(size_t count) const {
    if (Size() != count) Fail(m_path, Say(StmText("expected %d values, found %d"), static_cast<int>(count), static_cast<int>(Size())));
    return *this;
  }

  long long Long() const {
    if (!m_j.is_number_integer()) Fail(m_path, StmText("expected an integer"));
    return m_j.is_number_unsigned() && m_j.get<unsigned long long>() > 0x7fffffffffffffffULL
               ? (Fail(m_path, StmText("integer out of range")), 0LL)
               : m_j.get<long long>();
  }
  int Int(long long low = -2147483648LL, long long high = 2147483647LL) const {
    const long long v = Long();
    if (v < low || v > high) {
      if (v < 0 && low >= 0) Fail(m_path, Say(StmText("negative value %lld"), v));
      Fail(m_path, Say(StmText("%lld is outside %lld..%lld"), v, low, high));
    }
    return static_cast<int>(v);
  }
  double Double(double limit = kMaxValue) const {
    if (!m_j.is_number()) Fail(m_path, StmText("expected a number"));
    const double v = m_j.get<double>();
    if (!std::isfinite(v)) Fail(m_path, StmText("not a finite number"));
    if (std::fabs(v) > limit) Fail(m_path, Say(StmText("%g is beyond the limit of +/-%g"), v, limit));
    return v;
  }
  double NonNegative() const {
    const double v = Double();
    if (v < 0.0) Fail(m_path, Say(StmText("negative value %g"), v));
    return v;
  }
  bool Bool() const {
    if (!m_j.is_boolean()) Fail(m_path, StmText("expected true or false"));
    return m_j.get<bool>();
  }
  CString String(size_t limit = kMaxNameBytes) const {
    if (!m_j.is_string()) Fail(m_path, StmText("expected a string"));
    const std::string& text = m_j.get_ref<const std::string&>();
    if (text.size() > limit) Fail(m_path, Say(StmText("longer than %d bytes"), static_cast<int>(limit)));
    return CString(text);
  }
  CVector Vec(double limit = kMaxCoord) const {
    Sized(3);
    return CVector(At(0).Double(limit), At(1).Double(limit), At(2).Double(limit));
  }
  CDPoint Pt() const {
    Sized(2);
    return CDPoint(At(0).Double(kMaxCoord), At(1).Double(kMaxCoord));
  }
  template <class Fn>
  auto List(Fn fn) const {
    std::vector<decltype(fn(At(0)))> out;
    for (size_t i = 0; i < Size(); ++i) out.push_back(fn(At(i)));
    return out;
  }
  std::vector<CVector> Polygon3() const { return List([](const Node& n) { return n.Vec(); }); }
  std::vector<CDPoint> Polygon2() const { return List([](const Node& n) { return n.Pt(); }); }
  std::vector<std::vector<CDPoint>> Polygons2() const {
    return List([](const Node& n) { return n.Polygon2(); });
  }

private:
  const Json& m_j;
  std::string m_path;
};

// Ids are positive and unique within their kind.
int ReadId(const Node& record, std::set<int>& seen) {
  const Node idNode = record["id"];
  const int id = idNode.Int(1, kMaxId);
  if (!seen.insert(id).second) Fail(idNode.path(), Say(StmText("duplicate id %d"), id));
  return id;
}

void ReadHead(const Node& record, CStmObject& object) {
  object.SetName(record["name"].String());
  object.SetEnable(record["enable"].Bool() ? 1 : 0);
}

void ReadAttributes(const Node& record, CStmObject& object) {
  const Node attrs = record["attributes"].Sized(CStmObject::kAttrCount);
  for (int i = 0; i < CStmObject::kAttrCount; ++i) object.SetAttributeInt(i, attrs.At(static_cast<size_t>(i)).Int());
  object.SetAttributeText(record["attributeText"].String(kMaxTextBytes));
}

// Disabled records are kept only for undo, which gives them back exactly as they were: a merge
// leaves an element with both ends at one node, for instance. They are read without the checks
// that make a live record usable, so that every file the program writes opens again.
bool IsLive(const Node& record) { return record["enable"].Bool(); }

// Outlines and areas are made by the tools from chains that do not cross, at the tolerance of
// their chains; a file whose polygon crosses itself was not made by them. The polygon lies in
// one coordinate plane: the axis along which its points spread least is the one left out.
void RefuseSelfCrossing(const Node& points, const std::vector<CVector>& pts) {
  constexpr double kChainTolerance = 0.001;
  size_t count = pts.size();
  if (count > 1 && CompareVectorTolerance(pts.front(), pts.back(), "==", kChainTolerance)) --count;
  if (count < 4) return;
  CVector low = pts[0], high = pts[0];
  for (const CVector& p : pts) {
    low = CVector(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = CVector(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
  }
  const CVector spread = high - low;
  const auto plane = [&spread](const CVector& p) {
    if (spread.z <= spread.x && spread.z <= spread.y) return CDPoint(p.x, p.y);
    if (spread.y <= spread.x) return CDPoint(p.x, p.z);
    return CDPoint(p.y, p.z);
  };
  const auto same = [](const CVector& a, const CVector& b) {
    return CompareVectorTolerance(a, b, "==", kChainTolerance) != 0;
  };
  for (size_t i = 0; i < count; ++i) {
    const CVector& p1 = pts[i];
    const CVector& p2 = pts[(i + 1) % count];
    for (size_t j = i + 1; j < count; ++j) {
      const CVector& p3 = pts[j];
      const CVector& p4 = pts[(j + 1) % count];
      if (same(p1, p3) || same(p1, p4) || same(p2, p3) || same(p2, p4)) continue;
      CDPoint x;
      if (GetCrossPointOfSegments2D(plane(p1), plane(p2), plane(p3), plane(p4), x, kChainTolerance)) {
        Fail(points.path(), Say(StmText("crosses itself: the side from point %d meets the side from point %d"),
                                static_cast<int>(i), static_cast<int>(j)));
      }
    }
  }
}

int ReadNodeRef(const Node& ref, const CStmModel& model) {
  const int id = ref.Int();
  if (!model.GetNode(id)) Fail(ref.path(), Say(StmText("node %d does not exist"), id));
  return id;
}

void ReadView(const Node& n, CStmDataView& view) {
  n.Members({"showOptions", "sizeNumberNode", "sizeNumberElement", "sizeValueLoad", "sizeValueResult",
             "lengthMinArrowHead", "lengthMaxArrowHead", "fixedPointNumber", "namingNode", "namingElement",
             "colorStyle", "colorsDark", "colorsLight", "contour", "result", "scaleDisplacement", "gridOrigin",
             "gridSpace", "guidelines"});
  const long long options = n["showOptions"].Long();
  if (options < 0 || options > 0xFFFFFFFFLL) Fail(n["showOptions"].path(), StmText("not a 32-bit bit mask"));
  view.SetShowOptions(static_cast<unsigned>(options));
  view.SetSizeNumberNode(n["sizeNumberNode"].Int(0));
  view.SetSizeNumberElement(n["sizeNumberElement"].Int(0));
  view.SetSizeValueLoad(n["sizeValueLoad"].Int(0));
  view.SetSizeValueResult(n["sizeValueResult"].Int(0));
  view.SetLengthMinArrowHead(n["lengthMinArrowHead"].Int(0));
  view.SetLengthMaxArrowHead(n["lengthMaxArrowHead"].Int(0));
  view.SetFixedPointNumber(n["fixedPointNumber"].Int(0, 15));
  view.SetTypeNamingNode(static_cast<EStmTypeNaming>(n["namingNode"].Int(0, 2)));
  view.SetTypeNamingElement(static_cast<EStmTypeNaming>(n["namingElement"].Int(0, 2)));
  view.SetTypeColor(static_cast<EStmTypeColor>(n["colorStyle"].Int(0, 1)));
  for (EStmTypeColor style : {STM_COLOR_DARK, STM_COLOR_LIGHT}) {
    const Node colors = n[style == STM_COLOR_DARK ? "colorsDark" : "colorsLight"].Sized(kStmColorCount);
    SStmColorSet set;
    for (int i = 0; i < kStmColorCount; ++i) {
      const Node c = colors.At(static_cast<size_t>(i));
      set[i] = c.Vec();
      for (double channel : {set[i].x, set[i].y, set[i].z}) {
        if (channel < 0.0 || channel > 1.0) Fail(c.path(), StmText("colour channels lie in 0..1"));
      }
    }
    view.SetColorSet(style, set);
  }
  view.SetTypeContour(static_cast<EStmTypeContour>(n["contour"].Int(0, 7)));
  view.SetTypeResult(static_cast<EStmTypeResult>(n["result"].Int(0, 1)));
  view.SetScaleDisplacement(n["scaleDisplacement"].Int(1, 100));
  view.SetGridOrigin(n["gridOrigin"].Vec());
  const CVector space = n["gridSpace"].Vec();
  for (double s : {space.x, space.y, space.z}) {
    if (!StmLimits::IsGridSpacingInLimit(s)) Fail(n["gridSpace"].path(), Say(StmText("grid spacing %g is not greater than 0"), s));
  }
  view.SetGridSpace(space);
  const Node guides = n["guidelines"].Sized(3);
  for (int axis = 0; axis < 3; ++axis) {
    view.SetGuideline(axis, guides.At(static_cast<size_t>(axis)).List([](const Node& v) { return v.Double(kMaxCoord); }));
  }
}

std::vector<SStmStressFlow> ReadFlows(const Node& n) {
  return n.List([](const Node& f) {
    if (f.Size() != 3) f.Sized(2);
    return SStmStressFlow{f.At(0).Vec(), f.At(1).Vec(), f.Size() == 3 ? f.At(2).Int(1, 1) : 0};
  });
}

std::vector<SStmQuad> ReadQuads(const Node& n, size_t coordCount) {
  return n.List([coordCount](const Node& q) {
    q.Sized(4);
    SStmQuad quad{};
    for (size_t k = 0; k < 4; ++k) {
      quad[k] = q.At(k).Int(-1);
      if (quad[k] >= static_cast<int>(coordCount)) {
        Fail(q.At(k).path(), Say(StmText("mesh point %d does not exist"), quad[k]));
      }
    }
    return quad;
  });
}

class CModelReader {
public:
  explicit CModelReader(CStmModel& model) : m_model(model) {}

  void Read(const Json& doc) {
    const Node root(doc, "");
    root.Object();
    if (root["format"].String() != kFormat) Fail("/format", Say(StmText("not a model file (expected \"%s\")"), kFormat));
    const Node version = root["version"];
    if (version.Int() != CStmModelFile::kVersion) {
      Fail(version.path(), Say(StmText("unsupported version %d (this program reads version %d)"), version.Int(),
                               CStmModelFile::kVersion));
    }
    root.Members({"format", "version", "description", "unitLength", "unitForce", "plane", "lock", "inputModel",
                  "view", "config", "definitions", "nodes", "elements", "boundaries", "propertyAreas", "restraints",
                  "springs", "bearingPlates", "loadStatics", "loadCombos", "results"},
                 {"materials"});
    m_model.SetDescription(root["description"].String(kMaxTextBytes));
    m_model.SetUnitLength(root["unitLength"].String());
    m_model.SetUnitForce(root["unitForce"].String());
    m_model.SetPlane(root["plane"].Int(STM_PLANE_XY, STM_PLANE_YZ));
    m_model.SetLock(root["lock"].Bool());
    m_model.SetInputModel(root["inputModel"].Bool());
    // The view first: element types are derived at its decimals.
    ReadView(root["view"], *m_model.GetStmDataView());
    const Node config = root["config"].Members({"typeEffectiveRegion"});
    m_model.GetStmDataConfig()->SetTypeEffectiveRegion(config["typeEffectiveRegion"].Int(0, 1));
    ReadDefinitions(root["definitions"]);
    ReadNodes(root["nodes"]);
    ReadElements(root["elements"]);
    ReadBoundaries(root["boundaries"]);
    ReadAreas(root["propertyAreas"]);
    ReadSupports(root["restraints"], root["springs"], root["bearingPlates"]);
    ReadLoads(root["loadStatics"], root["loadCombos"]);
    ReadResults(root["results"]);
    if (doc.contains("materials")) ReadMaterials(root["materials"]);
  }

private:
  void ReadMaterials(const Node& n) {
    n.Members({"code", "concreteStrength", "concreteModulus", "poisson", "steelYield", "steelModulus", "thickness",
               "cover"},
              {"loadPath"});
    SStmMaterials m;
    const CString code = n["code"].String();
    if (code == kCodeNames[STM_CODE_ACI_318_19]) m.eCode = STM_CODE_ACI_318_19;
    else if (code == kCodeNames[STM_CODE_EN_1992_1_1]) m.eCode = STM_CODE_EN_1992_1_1;
    else Fail(n["code"].path(), Say(StmText("unknown design code \"%s\""), code.c_str()));
    m.dConcreteStrength = n["concreteStrength"].NonNegative();
    m.dConcreteModulus = n["concreteModulus"].NonNegative();
    m.dPoisson = n["poisson"].NonNegative();
    if (!StmLimits::IsPoissonInLimit(m.dPoisson))
      Fail(n["poisson"].path(), Say(StmText("Poisson's ratio %g is not below %g"), m.dPoisson, StmLimits::kMaxPoisson));
    m.dSteelYield = n["steelYield"].NonNegative();
    m.dSteelModulus = n["steelModulus"].NonNegative();
    m.dThickness = n["thickness"].NonNegative();
    m.dCover = n["cover"].NonNegative();
    // Files from before the load path keep its defaults.
    if (n.Has("loadPath")) m.loadPath = ReadLoadPath(n["loadPath"]);
    m_model.SetMaterials(m);
  }

  static SStmLoadPathSettings ReadLoadPath(const Node& n) {
    n.Members({"elementSize", "rejectionRatio", "evolutionRate", "targetFraction", "zoneRadius"});
    SStmLoadPathSettings s;
    const auto read = [&n](const char* name, bool (*inLimit)(double), const CString& rule) {
      const Node v = n[name];
      const double value = v.Double();
      if (!inLimit(value)) Fail(v.path(), Say(rule, value));
      return value;
    };
    s.dElementSize = read("elementSize", StmLimits::IsLoadPathSizeInLimit,
                          StmText("cell size %g is negative or beyond the limit"));
    s.dRejectionRatio = read("rejectionRatio", StmLimits::IsRejectionRatioInLimit,
                             StmText("rejection ratio %g is not in 0..1 (1 excluded)"));
    s.dEvolutionRate = read("evolutionRate", StmLimits::IsEvolutionRateInLimit,
                            StmText("evolution rate %g is not above 0 and at most 1"));
    s.dTargetFraction = read("targetFraction", StmLimits::IsTargetFractionInLimit,
                             StmText("target fraction %g is not above 0 and at most 1"));
    s.dZoneRadius = read("zoneRadius", StmLimits::IsLoadPathSizeInLimit,
                         StmText("zone radius %g is negative or beyond the limit"));
    return s;
  }

  void ReadDefinitions(const Node& n) {
    n.Members({"struts", "ties"});
    CStmDataDefine& define = *m_model.GetStmDataDefine();
    for (size_t i = 0; i < n["struts"].Size(); ++i) {
      const Node s = n["struts"].At(i).Members({"name", "shape", "betaS"});
      SStmStrutType type;
      type.strName = s["name"].String();
      type.nShape = s["shape"].Int(0, 1);
      type.dBetaS = s["betaS"].NonNegative();
      define.AddStrutType(type);
    }
    for (size_t i = 0; i < n["ties"].Size(); ++i) {
      const Node t = n["ties"].At(i).Members({"name", "typeSteel", "horizontal", "anchored", "diameter", "bars"});
      SStmTieType type;
      type.strName = t["name"].String();
      type.nTypeSteel = t["typeSteel"].Int(0, 1);
      type.nHorizontal = t["horizontal"].Int(0, 1);
      type.nAnchored = t["anchored"].Int(0, 1);
      type.dDiameter = t["diameter"].NonNegative();
      type.nBars = t["bars"].Int(0);
      define.AddTieType(type);
    }
  }

  void ReadNodes(const Node& list) {
    std::set<int> ids;
    for (size_t i = 0; i < list.Size(); ++i) {
      const Node n = list.At(i).Members({"id", "name", "enable", "coord", "movable", "thicknessScale", "attributes",
                                         "attributeText", "nodalZones", "maxWidthZones"});
      const int id = ReadId(n, ids);
      CStmObjNode* node = m_model.AddNode(n["coord"].Vec(), id);
      ReadHead(n, *node);
      node->SetMoveable(n["movable"].Bool());
      node->SetThicknessScale(n["thicknessScale"].NonNegative());
      ReadAttributes(n, *node);
      node->SetNodalZones(n["nodalZones"].Polygons2());
      node->SetMaxWidthZones(n["maxWidthZones"].Polygons2());
    }
  }

  void ReadElements(const Node& list) {
    std::set<int> ids;
    const CStmDataDefine& define = *m_model.GetStmDataDefine();
    for (size_t i = 0; i < list.Size(); ++i) {
      const Node e = list.At(i).Members({"id", "name", "enable", "nodes", "property", "strutType", "tieType", "stable",
                                         "thicknessScale", "attributes", "attributeText", "axialForces",
                                         "effectiveZones", "effectiveRegion", "maxEffectiveRegion"});
      const int id = ReadId(e, ids);
      const Node ends = e["nodes"].Sized(2);
      const int begin = ReadNodeRef(ends.At(0), m_model);
      const int end = ReadNodeRef(ends.At(1), m_model);
      if (IsLive(e)) {
        if (begin == end) Fail(ends.path(), Say(StmText("both ends are node %d"), begin));
        // The tools merge nodes that meet within the point tolerance, so a live element always
        // has a length.
        if (CompareVectorTolerance(m_model.GetNode(begin)->GetCoord(), m_model.GetNode(end)->GetCoord(), "==",
                                   kStmPointTolerance)) {
          Fail(ends.path(), Say(StmText("no length: nodes %d and %d lie at one point"), begin, end));
        }
      }
      const Node p = e["property"].Members({"typeMember", "typeWidth", "width"});
      const SStmPropElement prop(p["typeMember"].Int(STM_ELEMENT_NONE, STM_ELEMENT_TIE), p["typeWidth"].Int(0, 2),
                                 p["width"].NonNegative());
      CStmObjElement* element = m_model.RestoreElement(begin, end, prop, id);
      ReadHead(e, *element);
      element->SetIndexStrutType(e["strutType"].Int(-1, define.GetCountStrut() - 1));
      element->SetIndexTieType(e["tieType"].Int(-1, define.GetCountTie() - 1));
      element->SetStableElement(e["stable"].Bool());
      element->SetThicknessScale(e["thicknessScale"].NonNegative());
      ReadAttributes(e, *element);
      element->SetResultAxialForces(e["axialForces"].List([](const Node& f) { return f.Double(); }));
      element->SetEffectiveZones(e["effectiveZones"].Polygons2());
      element->SetEffectiveRegion(e["effectiveRegion"].Polygon3());
      element->SetMaxEffectiveRegion(e["maxEffectiveRegion"].Polygon3());
    }
  }

  std::vector<int> ReadElementRefs(const Node& list) {
    std::set<int> seen;
    return list.List([&](const Node& ref) {
      const int id = ref.Int();
      if (!m_model.GetElement(id)) Fail(ref.path(), Say(StmText("element %d does not exist"), id));
      if (!seen.insert(id).second) Fail(ref.path(), Say(StmText("element %d is listed twice"), id));
      return id;
    });
  }

  void ReadBoundaries(const Node& list) {
    std::set<int> ids;
    for (size_t i = 0; i < list.Size(); ++i) {
      const Node b = list.At(i).Members({"id", "name", "enable", "attributes", "attributeText", "points", "elements",
                                         "type"});
      const int id = ReadId(b, ids);
      const auto type = static_cast<EStmTypeBoundary>(b["type"].Int(0, 1));
      const std::vector<CVector> points = b["points"].Polygon3();
      if (IsLive(b)) RefuseSelfCrossing(b["points"], points);
      CStmObjBoundary* boundary = m_model.RestoreBoundary(type, id, points, ReadElementRefs(b["elements"]));
      ReadBoundaryLike(b, *boundary);
    }
  }

  void ReadAreas(const Node& list) {
    std::set<int> ids;
    for (size_t i = 0; i < list.Size(); ++i) {
      const Node a = list.At(i).Members({"id", "name", "enable", "attributes", "attributeText", "points", "elements",
                                         "thickness"});
      const int id = ReadId(a, ids);
      const std::vector<CVector> points = a["points"].Polygon3();
      if (IsLive(a)) RefuseSelfCrossing(a["points"], points);
      CStmObjArea* area = m_model.RestoreArea(id, points, ReadElementRefs(a["elements"]));
      ReadBoundaryLike(a, *area);
      area->SetThickness(a["thickness"].NonNegative());
    }
  }

  // Sets the flag directly: membership is stored with the elements and read as it was saved.
  void ReadBoundaryLike(const Node& n, CStmObjBoundary& boundary) {
    boundary.SetName(n["name"].String());
    boundary.CStmObject::SetEnable(n["enable"].Bool());
    ReadAttributes(n, boundary);
  }

  void ReadSupports(const Node& restraints, const Node& springs, const Node& plates) {
    std::set<int> ids, nodes;
    // One support of each kind per node, as the model keeps them.
    auto supportNode = [&](const Node& r) {
      const int idNode = ReadNodeRef(r["node"], m_model);
      if (!nodes.insert(idNode).second) {
        Fail(r["node"].path(), Say(StmText("node %d has more than one support of this kind"), idNode));
      }
      return idNode;
    };
    for (size_t i = 0; i < restraints.Size(); ++i) {
      const Node r = restraints.At(i).Members({"id", "name", "enable", "node", "dof", "rollerAngle"});
      const int id = ReadId(r, ids);
      const Node dof = r["dof"].Sized(6);
      SStmDof d;
      int* flags[] = {&d.Ux, &d.Uy, &d.Uz, &d.Rx, &d.Ry, &d.Rz};
      for (size_t k = 0; k < 6; ++k) *flags[k] = dof.At(k).Int(0, 1);
      CStmObjRestraint* restraint = m_model.AddRestraint(supportNode(r), d, r["rollerAngle"].Double(), id);
      ReadHead(r, *restraint);
    }
    ids.clear();
    nodes.clear();
    for (size_t i = 0; i < springs.Size(); ++i) {
      const Node s = springs.At(i).Members({"id", "name", "enable", "node", "u", "r"});
      const int id = ReadId(s, ids);
      // A stiffness is never negative: the Properties panel refuses one.
      const auto stiffness = [](const Node& v) {
        v.Sized(3);
        return CVector(v.At(0).NonNegative(), v.At(1).NonNegative(), v.At(2).NonNegative());
      };
      CStmObjSpring* spring = m_model.AddSpring(supportNode(s), stiffness(s["u"]), stiffness(s["r"]), id);
      ReadHead(s, *spring);
    }
    ids.clear();
    nodes.clear();
    for (size_t i = 0; i < plates.Size(); ++i) {
      const Node p = plates.At(i).Members({"id", "name", "enable", "node", "width", "thickness"});
      const int id = ReadId(p, ids);
      const SStmPropBearingPlate prop{p["width"].NonNegative(), p["thickness"].NonNegative()};
      CStmObjBearingPlate* plate = m_model.AddBearingPlate(supportNode(p), prop, id);
      ReadHead(p, *plate);
    }
  }

  void ReadLoads(const Node& statics, const Node& combos) {
    // Names are looked up here rather than through the model, whose lookups walk every record.
    std::unordered_set<std::string> staticNames;
    std::unordered_map<std::string, size_t> comboIndex;
    std::set<int> ids;
    for (size_t i = 0; i < statics.Size(); ++i) {
      const Node c = statics.At(i).Members({"id", "name", "enable", "loads"});
      const int id = ReadId(c, ids);
      const CString name = c["name"].String();
      if (name.IsEmpty()) Fail(c["name"].path(), StmText("a load condition needs a name"));
      if (!staticNames.insert(name.str()).second) Fail(c["name"].path(), Say(StmText("duplicate name \"%s\""), name.c_str()));
      CStmObjLoadConditionStatic* condition = m_model.RestoreLoadConditionStatic(name, id);
      ReadHead(c, *condition);
      std::set<int> loadIds;
      const Node loads = c["loads"];
      for (size_t k = 0; k < loads.Size(); ++k) {
        const Node l = loads.At(k).Members({"id", "name", "node", "load"});
        const int idLoad = ReadId(l, loadIds);
        condition->AddLoadNodeWithId(idLoad, l["name"].String(), ReadNodeRef(l["node"], m_model), l["load"].Vec(kMaxValue));
      }
    }
    ids.clear();
    // Combinations may name one another in any order, so all are made before their terms.
    std::vector<CStmObjLoadConditionCombo*> made;
    for (size_t i = 0; i < combos.Size(); ++i) {
      const Node c = combos.At(i).Members({"id", "name", "enable", "factors"});
      const int id = ReadId(c, ids);
      const CString name = c["name"].String();
      if (name.IsEmpty()) Fail(c["name"].path(), StmText("a load combination needs a name"));
      if (!comboIndex.emplace(name.str(), i).second) Fail(c["name"].path(), Say(StmText("duplicate name \"%s\""), name.c_str()));
      made.push_back(m_model.RestoreLoadConditionCombo(name, id));
      ReadHead(c, *made.back());
    }
    // Terms naming a combination, as (combination, index of the one named, place of the name).
    std::vector<std::vector<std::pair<size_t, std::string>>> inner(made.size());
    for (size_t i = 0; i < combos.Size(); ++i) {
      std::set<int> factorIds;
      const Node factors = combos.At(i)["factors"];
      for (size_t k = 0; k < factors.Size(); ++k) {
        const Node f = factors.At(k).Members({"id", "condition", "type", "scale"});
        const int idFactor = ReadId(f, factorIds);
        const CString target = f["condition"].String();
        const int type = f["type"].Int(0, 1);
        const bool isStatic = type == CStmObjLoadComboFactor::kTypeStatic;
        const auto named = comboIndex.find(target.str());
        const bool known = isStatic ? staticNames.count(target.str()) != 0 : named != comboIndex.end();
        if (!known) Fail(f["condition"].path(), Say(StmText("load condition \"%s\" does not exist"), target.c_str()));
        if (!isStatic) inner[i].emplace_back(named->second, f["condition"].path());
        made[i]->RestoreComboFactor(target, type, f["scale"].Double(), idFactor);
      }
    }
    RefuseCycles(inner, made);
  }

  // One walk over all the combinations: a term that leads back to a combination still being
  // walked closes a cycle, and its combination would contain itself.
  static void RefuseCycles(const std::vector<std::vector<std::pair<size_t, std::string>>>& inner,
                           const std::vector<CStmObjLoadConditionCombo*>& made) {
    enum { kNew = 0, kOpen = 1, kDone = 2 };
    std::vector<int> state(inner.size(), kNew);
    std::vector<std::pair<size_t, size_t>> stack;  // combination, next term
    for (size_t start = 0; start < inner.size(); ++start) {
      if (state[start] != kNew) continue;
      state[start] = kOpen;
      stack.emplace_back(start, 0);
      while (!stack.empty()) {
        auto& [at, next] = stack.back();
        if (next == inner[at].size()) {
          state[at] = kDone;
          stack.pop_back();
          continue;
        }
        const auto& [to, where] = inner[at][next++];
        if (state[to] == kOpen) {
          Fail(where, Say(StmText("combination \"%s\" would contain itself"), made[at]->GetName().c_str()));
        }
        if (state[to] == kNew) {
          state[to] = kOpen;
          stack.emplace_back(to, 0);
        }
      }
    }
  }

  void ReadResults(const Node& n) {
    // Files written before reactions or checks were kept have none.
    const Json& json = n.Object().json();
    n.Members({"esoSteps", "esoCurrentStep", "stressFlow", "nodalZones", "nodalZoneCurrent", "meshType", "meshPlane",
               "meshSpace", "boundaryRefs"},
              {"reactions", "checks"});
    if (json.contains("reactions")) {
      std::map<int, std::vector<CVector>> reactions;
      const Node list = n["reactions"];
      for (size_t i = 0; i < list.Size(); ++i) {
        const Node r = list.At(i).Members({"node", "values"});
        const int node = ReadNodeRef(r["node"], m_model);
        if (reactions.count(node)) Fail(r["node"].path(), Say(StmText("node %d has its reactions twice"), node));
        reactions[node] = r["values"].List([](const Node& v) { return v.Vec(kMaxValue); });
      }
      m_model.SetResultReactions(std::move(reactions));
    }
    if (json.contains("checks")) ReadChecks(n["checks"]);
    m_model.SetEsoSteps(n["esoSteps"].List([](const Node& s) {
      s.Members({"cells"});
      SStmEsoStep step;
      step.cells = s["cells"].List([](const Node& c) {
        c.Members({"corners", "value"});
        SStmEsoCell cell;
        const Node corners = c["corners"].Sized(4);
        for (size_t k = 0; k < 4; ++k) cell.corners[k] = corners.At(k).Vec();
        cell.dValue = c["value"].Double();
        return cell;
      });
      return step;
    }));
    m_model.SetCurrentStepEso(n["esoCurrentStep"].Int(-1, m_model.GetCountStepEso() - 1));
    m_model.SetStressFlow(ReadFlows(n["stressFlow"]));

    const Node plane = n["meshPlane"].Members({"coords", "quads"});
    SStmMeshPlane meshPlane;
    meshPlane.coords = plane["coords"].Polygon2();
    meshPlane.quads = ReadQuads(plane["quads"], meshPlane.coords.size());
    const Node space = n["meshSpace"].Members({"coords", "quads"});
    SStmMeshSpace meshSpace;
    meshSpace.coords = space["coords"].Polygon3();
    meshSpace.quads = ReadQuads(space["quads"], meshSpace.coords.size());
    const size_t planeCount = meshPlane.coords.size();
    m_model.SetMeshPlane(std::move(meshPlane));
    m_model.SetMeshSpace(std::move(meshSpace));
    m_model.SetTypeMesh(n["meshType"].Int(0, 1));

    // Zone corners index the plane mesh.
    m_model.SetResultNodalZones(n["nodalZones"].List([planeCount](const Node& e) {
      e.Members({"zones", "flows"});
      SStmResultNodalZone entry;
      entry.zones = e["zones"].List([planeCount](const Node& z) {
        z.Members({"corners", "compression", "tension"});
        SStmNodalZone zone;
        zone.corners = z["corners"].List([planeCount](const Node& k) {
          const int corner = k.Int(0);
          if (corner >= static_cast<int>(planeCount)) Fail(k.path(), Say(StmText("mesh point %d does not exist"), corner));
          return corner;
        });
        zone.bCompression = z["compression"].Bool();
        zone.bTension = z["tension"].Bool();
        return zone;
      });
      entry.flows = ReadFlows(e["flows"]);
      return entry;
    }));
    m_model.SetCurrentNodalZone(n["nodalZoneCurrent"].Int(-1, static_cast<int>(m_model.GetResultNodalZones().size()) - 1));
    m_model.SetBoundaryRefs(n["boundaryRefs"].List([](const Node& s) {
      s.Sized(2);
      return SStmSegment{s.At(0).Vec(), s.At(1).Vec()};
    }));
  }

  // Check values are what the checks computed; a utilisation may well pass the input limits.
  static double CheckValue(const Node& n) { return n.Double(std::numeric_limits<double>::max()); }

  template <class T, class Fn>
  static std::map<int, T> ById(const Node& list, Fn fn) {
    std::map<int, T> out;
    for (size_t i = 0; i < list.Size(); ++i) {
      const Node entry = list.At(i);
      const Node id = entry["id"];
      if (!out.emplace(id.Int(1, kMaxId), fn(entry)).second) Fail(id.path(), Say(StmText("duplicate id %d"), id.Int()));
    }
    return out;
  }

  void ReadChecks(const Node& n) {
    n.Members({"error", "cases"});
    SStmCheckResults checks;
    checks.strError = n["error"].String(kMaxTextBytes);
    checks.cases = n["cases"].List([](const Node& c) {
      c.Members({"elements", "nodes", "plates"});
      SStmCheckCase out;
      out.elements = ById<SStmCheckElement>(c["elements"], [](const Node& e) {
        e.Members({"id", "force", "widthRequired", "widthAvailable", "steelRequired", "steelProvided", "capacity",
                   "utilisation", "angle", "clause", "flags"});
        SStmCheckElement r;
        r.dForce = CheckValue(e["force"]);
        r.dWidthRequired = CheckValue(e["widthRequired"]);
        r.dWidthAvailable = CheckValue(e["widthAvailable"]);
        r.dSteelRequired = CheckValue(e["steelRequired"]);
        r.dSteelProvided = CheckValue(e["steelProvided"]);
        r.dCapacity = CheckValue(e["capacity"]);
        r.dUtilisation = CheckValue(e["utilisation"]);
        r.dAngle = CheckValue(e["angle"]);
        r.strClause = e["clause"].String();
        r.nFlags = e["flags"].Int(0, 0xFF);
        return r;
      });
      out.nodes = ById<SStmCheckNode>(c["nodes"], [](const Node& e) {
        e.Members({"id", "class", "stress", "utilisation", "clause", "flags"});
        SStmCheckNode r;
        r.strClass = e["class"].String();
        r.dStress = CheckValue(e["stress"]);
        r.dUtilisation = CheckValue(e["utilisation"]);
        r.strClause = e["clause"].String();
        r.nFlags = e["flags"].Int(0, 0xFF);
        return r;
      });
      out.plates = ById<SStmCheckPlate>(c["plates"], [](const Node& e) {
        e.Members({"id", "force", "capacity", "utilisation", "clause", "flags"});
        SStmCheckPlate r;
        r.dForce = CheckValue(e["force"]);
        r.dCapacity = CheckValue(e["capacity"]);
        r.dUtilisation = CheckValue(e["utilisation"]);
        r.strClause = e["clause"].String();
        r.nFlags = e["flags"].Int(0, 0xFF);
        return r;
      });
      return out;
    });
    m_model.SetCheckResults(std::move(checks));
  }

  CStmModel& m_model;
};

// Messages name files and quote the document; bytes that are not UTF-8, and control
// characters, are shown as \xNN so that they cannot garble or steer the terminal that shows them.
std::string Printable(const std::string& text) {
  std::string out;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = s[i];
    size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    bool valid = length != 0 && i + length <= n;
    for (size_t k = 1; valid && k < length; ++k) valid = (s[i + k] & 0xC0) == 0x80;
    if (valid && length > 1) {
      // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8 either.
      unsigned cp = c & (0x7F >> length);
      for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
      static const unsigned kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
      valid = cp >= kLeast[length] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    }
    if (!valid || (length == 1 && (c < 0x20 || c == 0x7F))) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
      ++i;
      continue;
    }
    out.append(text, i, length);
    i += length;
  }
  return out;
}

void SetError(std::string* error, const CString& text) {
  if (error) *error = Printable(text.str());
}

// The byte at which the text opens a level deeper than kMaxDepth, or npos. Checked before
// parsing, so that no part of the reading ever recurses that deep.
size_t TooDeepAt(const std::string& text) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxDepth) return i;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return std::string::npos;
}

// A member named twice in one object; the parser alone would keep one of them silently.
struct DuplicateKey {
  std::string path;
  std::string key;
};

// Builds the document as the plain parser does and refuses duplicate members, following the
// place in the document as it goes so that the refusal can say where. The parser's callback
// form would do the same at twice the cost of the plain one: it builds every value aside and
// copies it in, which on a large model is most of the time its editor takes to start.
class CDocumentBuilder {
public:
  using Dom = nlohmann::detail::json_sax_dom_parser<Json>;

  explicit CDocumentBuilder(Json& doc) : m_dom(doc, true) {}

  bool null() { return Value() && m_dom.null(); }
  bool boolean(bool value) { return Value() && m_dom.boolean(value); }
  bool number_integer(Json::number_integer_t value) { return Value() && m_dom.number_integer(value); }
  bool number_unsigned(Json::number_unsigned_t value) { return Value() && m_dom.number_unsigned(value); }
  bool number_float(Json::number_float_t value, const Json::string_t& text) {
    return Value() && m_dom.number_float(value, text);
  }
  bool string(Json::string_t& value) { return Value() && m_dom.string(value); }
  bool binary(Json::binary_t& value) { return Value() && m_dom.binary(value); }
  bool start_object(std::size_t count) { return Enter(true) && m_dom.start_object(count); }
  bool start_array(std::size_t count) { return Enter(false) && m_dom.start_array(count); }
  bool end_object() { return Leave() && m_dom.end_object(); }
  bool end_array() { return Leave() && m_dom.end_array(); }
  bool key(Json::string_t& name) {
    Level& level = m_levels[m_depth - 1];
    level.key = name;
    if (!level.keys.insert(name).second) throw DuplicateKey{Path(), name};
    return m_dom.key(name);
  }
  template <class Exception>
  bool parse_error(std::size_t position, const std::string& token, const Exception& problem) {
    return m_dom.parse_error(position, token, problem);
  }

private:
  struct Level {
    bool object = false;
    long long count = -1;  // arrays: index of the current element
    std::string key;       // objects: the current member
    std::unordered_set<std::string> keys;
  };

  bool Value() {
    if (m_depth > 0 && !m_levels[m_depth - 1].object) ++m_levels[m_depth - 1].count;
    return true;
  }
  // Levels are kept when left, so that the next object at that depth reuses their sets.
  bool Enter(bool object) {
    Value();
    if (m_depth == m_levels.size()) m_levels.emplace_back();
    Level& level = m_levels[m_depth++];
    level.object = object;
    level.count = -1;
    level.key.clear();
    level.keys.clear();
    return true;
  }
  bool Leave() {
    --m_depth;
    return true;
  }
  // The place of the innermost object, where the member is named twice.
  std::string Path() const {
    std::string out;
    for (size_t i = 0; i + 1 < m_depth; ++i)
      out += "/" + (m_levels[i].object ? m_levels[i].key : std::to_string(m_levels[i].count));
    return out.empty() ? std::string("/") : out;
  }

  Dom m_dom;
  std::vector<Level> m_levels;
  size_t m_depth = 0;
};

Json Parse(const std::string& text) {
  Json doc;
  CDocumentBuilder builder(doc);
  Json::sax_parse(text, &builder);
  return doc;
}

}  // namespace

bool CStmModelFile::ToText(const CStmModel& model, std::string& text, std::string* error) {
  const Json doc = WriteModel(model);
  const std::string bad = FindNonFinite(doc, "");
  if (!bad.empty()) {
    SetError(error, Say(StmText("%s: not a finite number"), bad.c_str()));
    return false;
  }
  text.clear();
  Print(doc, 0, text);
  text += "\n";
  return true;
}

bool CStmModelFile::FromText(const std::string& text, const std::string& name, CStmModel& model, std::string* error) {
  const size_t deep = TooDeepAt(text);
  if (deep != std::string::npos) {
    SetError(error, Say(StmText("%s: nested deeper than %d levels (at byte %lld)"), name.c_str(), kMaxDepth,
                        static_cast<long long>(deep)));
    return false;
  }
  Json doc;
  try {
    doc = Parse(text);
  } catch (const DuplicateKey& duplicate) {
    SetError(error, Say(StmText("%s: %s: member \"%s\" appears twice"), name.c_str(), duplicate.path.c_str(),
                        duplicate.key.c_str()));
    return false;
  } catch (const Json::exception& e) {  // syntax errors, and numbers beyond a double
    SetError(error, Say(StmText("%s: not a JSON document: %s"), name.c_str(), e.what()));
    return false;
  }
  CStmModel fresh;
  try {
    CModelReader(fresh).Read(doc);
  } catch (const FileProblem& problem) {
    SetError(error, Say("%s: %s: %s", name.c_str(), problem.path.c_str(), problem.problem.c_str()));
    return false;
  } catch (const std::exception& e) {
    SetError(error, Say(StmText("%s: unreadable: %s"), name.c_str(), e.what()));
    return false;
  }
  fresh.SetStmModifiedFlag(0);
  model.Swap(fresh);
  return true;
}

bool CStmModelFile::Load(const std::string& path, CStmModel& model, std::string* error) {
  // Only a regular file of bounded size is read: a device or a pipe may never end, and a folder
  // opens but reads as nothing.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    SetError(error, Say(StmText("%s: cannot open: %s"), path.c_str(), std::strerror(errno)));
    return false;
  }
  struct stat info {};
  CString refusal;
  if (fstat(fd, &info) != 0) {
    refusal = Say(StmText("%s: cannot read: %s"), path.c_str(), std::strerror(errno));
  } else if (S_ISDIR(info.st_mode)) {
    refusal = Say(StmText("%s: is a folder, not a model file"), path.c_str());
  } else if (!S_ISREG(info.st_mode)) {
    refusal = Say(StmText("%s: not a regular file"), path.c_str());
  } else if (info.st_size > kMaxFileBytes) {
    refusal = Say(StmText("%s: larger than the limit of %lld MB"), path.c_str(), kMaxFileBytes >> 20);
  }
  std::string text;
  if (refusal.IsEmpty()) {
    // A file that grows while it is read is still read no further than the limit.
    text.resize(static_cast<size_t>(info.st_size) + 1);
    size_t done = 0;
    for (;;) {
      if (done == text.size()) {
        if (static_cast<long long>(text.size()) > kMaxFileBytes) break;
        text.resize(std::min<size_t>(text.size() * 2, static_cast<size_t>(kMaxFileBytes) + 1));
      }
      const ssize_t n = read(fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        refusal = Say(StmText("%s: cannot read: %s"), path.c_str(), std::strerror(errno));
        break;
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    text.resize(done);
    if (refusal.IsEmpty() && static_cast<long long>(done) > kMaxFileBytes) {
      refusal = Say(StmText("%s: larger than the limit of %lld MB"), path.c_str(), kMaxFileBytes >> 20);
    }
  }
  close(fd);
  if (!refusal.IsEmpty()) {
    SetError(error, refusal);
    return false;
  }
  return FromText(text, path, model, error);
}

namespace {

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The file a name stands for: links are followed to their last target (which need not exist
// yet), each relative one from the folder holding it.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n <= 0) return path;
    target.resize(static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    if (target[0] != '/' && slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    path = target;
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is durable only once the folder that holds the new name is.
void SyncFolder(const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool CStmModelFile::Save(const std::string& path, CStmModel& model, std::string* error) {
  std::string text;
  std::string why;
  if (!ToText(model, text, &why)) {
    SetError(error, Say(StmText("%s: not saved: %s"), path.c_str(), why.c_str()));
    return false;
  }
  auto refuse = [&](const CString& what, int code) {
    if (code) SetError(error, Say(StmText("%s: not saved: %s: %s"), path.c_str(), what.c_str(), std::strerror(code)));
    else SetError(error, Say(StmText("%s: not saved: %s"), path.c_str(), what.c_str()));
    return false;
  };
  // Through a link the file saved is its target, and the link stays a link.
  const std::string target = FollowLinks(path);
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return refuse(StmText("not a regular file"), 0);
  // The mode bits too, as the superuser may write anything: a file without them is meant to stay.
  if (exists && ((old.st_mode & 0222) == 0 || access(target.c_str(), W_OK) != 0)) {
    return refuse(StmText("the file is read-only"), 0);
  }
  mode_t mode = 0666;
  if (exists) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }

  std::string temp = target + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    const int code = errno;
    // A writable file in a folder that is not: write over it where it is, keeping a copy.
    if (exists && (code == EACCES || code == EPERM || code == EROFS)) return SaveInPlace(target, path, text, model, error);
    return refuse(StmText("cannot create a temporary file beside it"), code);
  }
  auto fail = [&](const CString& what) {
    const int code = errno;
    close(fd);
    unlink(temp.c_str());
    return refuse(what, code);
  };
  if (!WriteAll(fd, text)) return fail(StmText("cannot write"));
  if (fchmod(fd, mode) != 0) return fail(StmText("cannot set permissions"));
  // Only the superuser can give a file away; anyone else writes over the old one in place, which
  // keeps its owner.
  if (exists && (old.st_uid != geteuid() || old.st_gid != getegid()) && fchown(fd, old.st_uid, old.st_gid) != 0) {
    close(fd);
    unlink(temp.c_str());
    return SaveInPlace(target, path, text, model, error);
  }
  if (fsync(fd) != 0) return fail(StmText("cannot flush"));
  if (close(fd) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    return refuse(StmText("cannot close"), code);
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    return refuse(StmText("cannot replace the file"), code);
  }
  SyncFolder(target);
  model.SetStmModifiedFlag(0);
  return true;
}

bool CStmModelFile::SaveInPlace(const std::string& target, const std::string& path, const std::string& text,
                                CStmModel& model, std::string* error) {
  auto refuse = [&](const CString& what, int code) {
    SetError(error, Say(StmText("%s: not saved: %s: %s"), path.c_str(), what.c_str(), std::strerror(code)));
    return false;
  };
  const int fd = open(target.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return refuse(StmText("cannot open"), errno);
  // The old bytes, kept in memory to put back and in a copy that outlives a crash mid-write.
  std::string before;
  {
    char buffer[65536];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
      if (n > 0) before.append(buffer, static_cast<size_t>(n));
    }
    if (n < 0) {
      const int code = errno;
      close(fd);
      return refuse(StmText("cannot read"), code);
    }
  }
  const char* tmp = std::getenv("TMPDIR");
  const size_t slash = target.rfind('/');
  std::string backup = std::string(tmp && *tmp ? tmp : "/tmp") + "/" +
                       (slash == std::string::npos ? target : target.substr(slash + 1)) + ".backup.XXXXXX";
  const int bfd = mkstemp(backup.data());
  if (bfd < 0 || !WriteAll(bfd, before) || fsync(bfd) != 0) {
    const int code = errno;
    if (bfd >= 0) {
      close(bfd);
      unlink(backup.c_str());
    }
    close(fd);
    return refuse(StmText("cannot keep a backup copy"), code);
  }
  close(bfd);
  const bool written = lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, text) &&
                       ftruncate(fd, static_cast<off_t>(text.size())) == 0 && fsync(fd) == 0;
  if (!written) {
    const int code = errno;
    // Put the old bytes back; only if that fails too is the copy the user's.
    const bool restored = lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, before) &&
                          ftruncate(fd, static_cast<off_t>(before.size())) == 0 && fsync(fd) == 0;
    close(fd);
    if (restored) {
      unlink(backup.c_str());
      return refuse(StmText("cannot write"), code);
    }
    SetError(error, Say(StmText("%s: not saved: cannot write: %s; the old contents are in %s"), path.c_str(),
                        std::strerror(code), backup.c_str()));
    return false;
  }
  close(fd);
  unlink(backup.c_str());
  model.SetStmModifiedFlag(0);
  return true;
}
