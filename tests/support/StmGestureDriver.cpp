// The gesture driver: the manager calls of each editing gesture, in the order the actions make
// them, and random gestures drawn from what the scene holds.
#include "support/StmGestureDriver.h"

#include <cstdio>

#include "actions/CStmActionAddUseTemplateBase.h"
#include "actions/CStmActionMove.h"
#include "dialogs/CStmDlgCoord.h"
#include "dialogs/CStmDlgOffset.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/model/CStmModel.h"
#include "host/model/CStmModelFile.h"
#include "host/model/StmModelLimits.h"
#include "manager/CStmUbManager.h"
#include "render/CStmUbRenderer.h"

namespace {

// The x-z view: rotations turn about the y axis, pointing away from the viewer.
const CVector kRotationAxis(0.0, -1.0, 0.0);
constexpr int kLatticeColumns = 9;
constexpr int kLatticeRows = 7;

bool SamePoint(const CVector& a, const CVector& b) {
  return CompareVectorTolerance(a, b, "==", kStmPointTolerance) != 0;
}

// Every digit, so that a typed value is the value meant.
std::string Exact(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

template <class T>
std::vector<T*> EntitiesOf(const CStmUbManager& manager) {
  const int kind = std::is_same_v<T, CStmEntityNode> ? CStmEntityObject::kKindNode : CStmEntityObject::kKindElement;
  std::vector<T*> out;
  for (const auto& entry : manager.GetEttMap(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind))) {
    if (auto* entity = dynamic_cast<T*>(entry.second)) out.push_back(entity);
  }
  return out;
}

int Roll(std::mt19937& rng, int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); }

template <class T>
T* Any(std::mt19937& rng, const std::vector<T*>& all) {
  return all[std::uniform_int_distribution<size_t>(0, all.size() - 1)(rng)];
}

CVector Middle(const CStmEntityElement* e) { return (e->GetCoordBegin() + e->GetCoordEnd()) * 0.5; }

CVector RandomLatticePoint(std::mt19937& rng) {
  std::uniform_int_distribution<int> column(0, kLatticeColumns - 1);
  std::uniform_int_distribution<int> row(0, kLatticeRows - 1);
  return CVector(CStmGestureDriver::kLattice * column(rng), 0.0, CStmGestureDriver::kLattice * row(rng));
}

SStmGestureView RandomView(std::mt19937& rng) {
  SStmGestureView view;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  if (unit(rng) < 0.4) {
    // Zoomed in somewhere, so that parts of the lattice lie outside the window.
    view.m_dScale = Roll(rng, 1, 4) * 0.1;
    view.m_dCenterU = Roll(rng, -2, 10) * CStmGestureDriver::kLattice;
    view.m_dCenterV = Roll(rng, -2, 8) * CStmGestureDriver::kLattice;
  }
  view.m_bHideNodes = unit(rng) < 0.15;
  view.m_bHideElements = unit(rng) < 0.08;
  view.m_bNodeGroup = unit(rng) < 0.08;
  return view;
}

}  // namespace

SStmGesture SStmGesture::Of(EKind kind, const CVector& a, const CVector& b, int variant) {
  SStmGesture g;
  g.m_eKind = kind;
  g.m_a = a;
  g.m_b = b;
  g.m_nVariant = variant;
  return g;
}

bool SStmGesture::IsBeyondLimits() const {
  std::vector<CVector> points = {m_a};
  if (m_eKind != kTyped || m_nVariant != 0) points.push_back(m_b);
  for (const CVector& p : points) {
    for (const double v : {p.x, p.y, p.z}) {
      if (!StmLimits::IsCoordInLimit(v)) return true;
    }
  }
  return false;
}

SStmGesture& SStmGesture::WithElement(const CVector& a, const CVector& b) {
  m_arElements.emplace_back(a, b);
  return *this;
}

SStmGesture& SStmGesture::WithNode(const CVector& p) {
  m_arNodes.push_back(p);
  return *this;
}

SStmGesture& SStmGesture::In(const SStmGestureView& view) {
  m_view = view;
  return *this;
}

// ---------------------------------------------------------------------------------------------
// Running gestures

CStmGestureDriver::CStmGestureDriver(CStmUbManager& manager, CStmUbRenderer& wnd, CStmModel& model)
    : m_manager(manager), m_wnd(wnd), m_model(model), m_nShowOptions(model.GetStmDataView()->GetShowOptions()) {}

void CStmGestureDriver::ApplyView(const SStmGestureView& view) {
  m_wnd.SetViewScale(view.m_dScale);
  m_wnd.SetViewCenter(view.m_dCenterU, view.m_dCenterV);
  unsigned options = m_nShowOptions;
  if (view.m_bHideNodes) options &= ~STM_SHOW_NODES;
  if (view.m_bHideElements) options &= ~STM_SHOW_ELEMENTS;
  m_model.GetStmDataView()->SetShowOptions(options);
  m_manager.GetCurDisplayGroup().m_bFilter = view.m_bNodeGroup ? 1 : 0;
}

std::string CStmGestureDriver::Apply(const SStmGesture& gesture) {
  ApplyView(gesture.m_view);
  // A typed point beyond the limits is refused in the dialog, before any tool sees it.
  const bool refused = gesture.m_eKind == SStmGesture::kTyped && gesture.IsBeyondLimits();
  const std::string before = refused ? ModelText() : std::string();
  const int steps = m_manager.GetUndoCount();
  {
    CUbHistoryBracket bracket(m_manager);
    Run(gesture);
  }
  m_manager.SelectRemoveAll();
  if (!refused) return std::string();
  if (ModelText() != before) return "a typed point beyond the limits changed the model";
  if (m_manager.GetUndoCount() != steps) return "a typed point beyond the limits left an undo step";
  return std::string();
}

std::string CStmGestureDriver::ModelText() const {
  std::string text, error;
  return CStmModelFile::ToText(m_model, text, &error) ? text : "cannot be saved: " + error;
}

// The tools' own routines with the selection the gesture made; the tools used in the window get
// their clicks and typed values there. A click that finds nothing leaves a tool waiting, and
// going back to selection drops what it picked; a chain that does not close is refused in a
// message box, which the scripted host answers.
void CStmGestureDriver::Run(const SStmGesture& g) {
  using G = SStmGesture;
  const auto transform = [&](auto&& each) {
    CStmActionMove::TransformSelection(m_manager, CStmActionMove::GetSelection(m_manager), each, false);
  };
  const auto tool = [&](long id, auto&& use) {
    m_wnd.SetAction(id, -1, 1);
    use();
    m_wnd.SetAction(CStmUbManager::kActionNormal, -1, 1);
  };
  Select(g);
  switch (g.m_eKind) {
    case G::kDrawElement: m_manager.AddElement(g.m_a, g.m_b, 1, 1, 1, nullptr); break;
    case G::kAddNode:
    case G::kAddNodeNoSplit: m_manager.AddNode(g.m_a, g.m_eKind == G::kAddNode, 1, 1, 1, nullptr); break;
    case G::kMove:
      CStmActionMove::MoveSelection(m_manager, CStmActionMove::GetSelection(m_manager), g.m_b - g.m_a);
      break;
    case G::kRotate: {
      // Exact quarter turns keep lattice points on the lattice, so undo gives back the same bits.
      static const CDPoint kTurns[] = {{1.0, 0.0}, {0.0, 1.0}, {-1.0, 0.0}, {0.0, -1.0}};
      const CDPoint cs = kTurns[((g.m_nVariant % 4) + 4) % 4];
      transform([&](CUbEntityObj& e) {
        e.Rotate(g.m_a, kRotationAxis, cs);
        m_manager.AddHistory_ActionRotate(e.GetName(), g.m_a, kRotationAxis, cs);
        return true;
      });
      break;
    }
    case G::kMirror:
      transform([&](CUbEntityObj& e) {
        e.Mirror(g.m_a, g.m_b);
        m_manager.AddHistory_ActionMirror(e.GetName(), g.m_a, g.m_b);
        return true;
      });
      break;
    case G::kStretch: m_manager.StretchNodes(SelectedNodes(), g.m_a, g.m_b); break;
    case G::kMerge:
      for (CStmEntityNode* node : EntitiesOf<CStmEntityNode>(m_manager)) {
        if (!SamePoint(node->GetCoord(), g.m_a)) continue;
        m_manager.AddNode(g.m_a, 0, 1, 1, 0, nullptr);
        m_manager.DeleteNodeDuplication(node);
        break;
      }
      break;
    case G::kDelete: m_manager.DeleteSelectedEntity(); break;
    case G::kCut: m_manager.Cut(); break;
    case G::kCopy: m_manager.Copy(); break;
    case G::kPaste: m_manager.Paste(g.m_a); break;
    case G::kTemplate: {
      static const long kIds[] = {CStmUbManager::kActionTruss, CStmUbManager::kActionArch,
                                  CStmUbManager::kActionBottleShape, CStmUbManager::kActionCombinedMechanism};
      const long id = kIds[g.m_nVariant % 4];
      tool(id, [&] {
        const auto* action = dynamic_cast<const CStmActionAddUseTemplateBase*>(m_manager.GetAction(id));
        const CVector points[] = {g.m_a, g.m_b, g.m_c};
        for (int i = 0; action && i < action->GetRequiredPointCount(); ++i) Click(points[i]);
      });
      break;
    }
    case G::kOutline: {
      // With the chain selected the tool runs at once.
      static const long kIds[] = {49, 50, 54};
      tool(kIds[g.m_nVariant % 3], [] {});
      break;
    }
    case G::kOffset:
      tool(CStmUbManager::kActionOffset, [&] {
        if (CStmDlgOffset* dlg = m_manager.GetDlgOffset()) {
          char text[32];
          std::snprintf(text, sizeof text, "%g", g.m_dDistance);
          dlg->SetDlgItemText(CStmDlgOffset::IDC_DISTANCE, text);
          dlg->SetDlgItemText(CStmDlgOffset::IDC_ITERATIONS, std::to_string(g.m_nCount).c_str());
          Click(g.m_a);
        }
      });
      break;
    case G::kTyped:
      tool(g.m_nVariant == 0 ? CStmUbManager::kActionAddNode : CStmUbManager::kActionAddElement, [&] {
        CStmDlgCoord* dlg = m_manager.GetDlgCoord();
        for (const CVector& p : {g.m_a, g.m_b}) {
          if (!dlg) break;
          const CDPoint uv = m_manager.GetPointPlane(p);
          dlg->SetDlgItemText(CStmDlgCoord::IDC_EDIT_FIRST, Exact(uv.x).c_str());
          dlg->SetDlgItemText(CStmDlgCoord::IDC_EDIT_SECOND, Exact(uv.y).c_str());
          dlg->SendKey(VK_RETURN);
          if (g.m_nVariant == 0) break;
        }
      });
      break;
  }
}

// The selection is found by walking the registry, never through the window, so that what a
// gesture works on does not depend on the view under test.
void CStmGestureDriver::Select(const SStmGesture& gesture) {
  m_manager.SelectRemoveAll();
  for (CStmEntityElement* element : EntitiesOf<CStmEntityElement>(m_manager)) {
    const CVector& p = element->GetCoordBegin();
    const CVector& q = element->GetCoordEnd();
    for (const auto& [a, b] : gesture.m_arElements) {
      if ((SamePoint(p, a) && SamePoint(q, b)) || (SamePoint(p, b) && SamePoint(q, a))) m_manager.SelectEtt(element, 1);
    }
  }
  for (CStmEntityNode* node : EntitiesOf<CStmEntityNode>(m_manager)) {
    for (const CVector& p : gesture.m_arNodes) {
      if (SamePoint(node->GetCoord(), p)) m_manager.SelectEtt(node, 1);
    }
  }
}

std::vector<CStmEntityNode*> CStmGestureDriver::SelectedNodes() const {
  std::vector<CStmEntityNode*> out;
  for (const auto& entry : m_manager.GetSelectMap()) {
    auto* entity = static_cast<CUbEntityObj*>(entry.second);
    if (entity->GetTypeEntity() == CStmEntityObject::kKindNode) out.push_back(dynamic_cast<CStmEntityNode*>(entity));
  }
  return out;
}

void CStmGestureDriver::Click(const CVector& p) {
  CPoint pt = m_wnd.ExtToClient(p);
  m_wnd.OnMouseMove(0, pt);
  m_wnd.OnLButtonDown(MK_LBUTTON, pt);
  m_wnd.OnLButtonUp(0, pt);
}

// ---------------------------------------------------------------------------------------------
// Random gestures

bool CStmGestureDriver::RandomTriangle(std::mt19937& rng, SStmGesture& gesture) const {
  const auto all = EntitiesOf<CStmEntityElement>(m_manager);
  if (all.empty()) return false;
  const size_t first = std::uniform_int_distribution<size_t>(0, all.size() - 1)(rng);
  for (size_t k = 0; k < all.size(); ++k) {
    const CStmEntityElement* e = all[(first + k) % all.size()];
    const CVector a = e->GetCoordBegin(), b = e->GetCoordEnd();
    for (const CStmEntityElement* f : all) {
      if (f == e) continue;
      CVector c;
      if (SamePoint(f->GetCoordBegin(), b)) c = f->GetCoordEnd();
      else if (SamePoint(f->GetCoordEnd(), b)) c = f->GetCoordBegin();
      else continue;
      if (SamePoint(c, a)) continue;
      for (const CStmEntityElement* g : all) {
        if ((SamePoint(g->GetCoordBegin(), c) && SamePoint(g->GetCoordEnd(), a)) ||
            (SamePoint(g->GetCoordBegin(), a) && SamePoint(g->GetCoordEnd(), c))) {
          gesture.WithElement(a, b).WithElement(b, c).WithElement(c, a);
          return true;
        }
      }
    }
  }
  return false;
}

// Existing nodes and element midpoints are where the interesting edits happen.
CVector CStmGestureDriver::RandomPoint(std::mt19937& rng) const {
  const auto nodes = EntitiesOf<CStmEntityNode>(m_manager);
  const auto elements = EntitiesOf<CStmEntityElement>(m_manager);
  const int choice = Roll(rng, 0, 99);
  if (choice < 40 && !nodes.empty()) return Any(rng, nodes)->GetCoord();
  if (choice < 65 && !elements.empty()) return Middle(Any(rng, elements));
  return RandomLatticePoint(rng);
}

void CStmGestureDriver::RandomSelection(std::mt19937& rng, SStmGesture& gesture, bool elements, bool nodes) const {
  if (elements) {
    const auto all = EntitiesOf<CStmEntityElement>(m_manager);
    for (int i = Roll(rng, 1, 3); i > 0 && !all.empty(); --i) {
      const CStmEntityElement* e = Any(rng, all);
      gesture.WithElement(e->GetCoordBegin(), e->GetCoordEnd());
    }
  }
  if (nodes) {
    const auto all = EntitiesOf<CStmEntityNode>(m_manager);
    for (int i = Roll(rng, 1, 3) - 1; i > 0 && !all.empty(); --i) gesture.WithNode(Any(rng, all)->GetCoord());
  }
}

SStmGesture CStmGestureDriver::Generate(std::mt19937& rng) {
  SStmGesture g = GenerateAnyKind(rng);
  // The tools take clicks in the window, which must then show what they snap to.
  if (g.m_eKind != SStmGesture::kTemplate && g.m_eKind != SStmGesture::kOffset) g.m_view = RandomView(rng);
  return g;
}

SStmGesture CStmGestureDriver::GenerateAnyKind(std::mt19937& rng) {
  using G = SStmGesture;
  const auto nodes = EntitiesOf<CStmEntityNode>(m_manager);
  const auto elements = EntitiesOf<CStmEntityElement>(m_manager);
  const auto twoPoints = [&](G::EKind kind, int variant) {
    CVector a = RandomPoint(rng), b = RandomPoint(rng);
    if (SamePoint(a, b)) b = RandomLatticePoint(rng);
    return G::Of(kind, a, b, variant);
  };
  const int tools = Roll(rng, 0, 99);
  if (tools < 6) {
    // Nodes and element middles, which the clicks snap to.
    const auto snapped = [&]() {
      if (!elements.empty() && (nodes.empty() || Roll(rng, 0, 3) == 0)) return Middle(Any(rng, elements));
      return nodes.empty() ? RandomLatticePoint(rng) : Any(rng, nodes)->GetCoord();
    };
    const CVector a = snapped(), b = snapped(), c = snapped();
    G g = G::Of(G::kTemplate, a, b, Roll(rng, 0, 3));
    g.m_c = c;
    return g;
  }
  if (tools < 10) {
    G g = G::Of(G::kOutline, CVector(), CVector(), Roll(rng, 0, 2));
    if (!RandomTriangle(rng, g)) RandomSelection(rng, g, true, false);
    return g;
  }
  if (tools < 17) {
    G g = twoPoints(G::kTyped, tools % 2);
    // Now and then a value just past the limit, which must be refused and change nothing.
    if (Roll(rng, 0, 3) == 0) {
      const double beyond = StmLimits::kMaxCoord * (Roll(rng, 0, 1) ? 1.0 : -1.0) * (1.0 + 1e-9 * Roll(rng, 1, 1000));
      CVector& p = Roll(rng, 0, g.m_nVariant) == 0 ? g.m_a : g.m_b;
      (Roll(rng, 0, 1) ? p.x : p.z) = beyond;
    }
    return g;
  }
  if (tools < 20) {
    static const double kDistances[] = {2.5, 5.0, 10.0, 20.0};
    G g = G::Of(G::kOffset);
    g.m_nCount = Roll(rng, 1, 2);
    g.m_dDistance = kDistances[Roll(rng, 0, 3)];
    g.m_a = RandomLatticePoint(rng);
    if (!elements.empty()) {
      const CStmEntityElement* e = Any(rng, elements);
      g.WithElement(e->GetCoordBegin(), e->GetCoordEnd());
    }
    return g;
  }
  const int roll = Roll(rng, 0, 99);
  std::uniform_int_distribution<int> step(-2, 2);
  const CVector shift(kLattice * step(rng), 0.0, kLattice * step(rng));
  // Axis-parallel or diagonal lines of short direction keep mirrored points exact.
  static const CVector kMirrorLines[] = {CVector(1, 0, 0), CVector(0, 0, 1), CVector(1, 0, 1), CVector(1, 0, -1)};
  G g;
  bool select = true;
  if (roll < 24) {
    return twoPoints(G::kDrawElement, 0);
  } else if (roll < 35) {
    return G::Of(roll < 32 ? G::kAddNode : G::kAddNodeNoSplit, RandomPoint(rng));
  } else if (roll < 47) {
    const CVector from = RandomPoint(rng);
    g = G::Of(G::kMove, from, from + shift);
  } else if (roll < 53) {
    const int turns = Roll(rng, 1, 3);
    g = G::Of(G::kRotate, RandomLatticePoint(rng), CVector(), turns);
  } else if (roll < 59) {
    const CVector p = RandomLatticePoint(rng);
    g = G::Of(G::kMirror, p, p + kMirrorLines[Roll(rng, 0, 3)]);
  } else if (roll < 72) {
    if (nodes.empty()) {
      const CVector b = RandomLatticePoint(rng) + shift;
      return G::Of(G::kDrawElement, RandomLatticePoint(rng), b);
    }
    const CVector from = Any(rng, nodes)->GetCoord();
    CVector to = RandomPoint(rng);
    if (SamePoint(from, to)) to = from + CVector(kLattice, 0.0, 0.0);
    g = G::Of(G::kStretch, from, to).WithNode(from);
    // Sometimes a stretch of several nodes, their elements following.
    if (Roll(rng, 0, 3) == 0) RandomSelection(rng, g, false, true);
    select = false;
  } else if (roll < 76) {
    return G::Of(G::kMerge, nodes.empty() ? RandomLatticePoint(rng) : Any(rng, nodes)->GetCoord());
  } else if (roll < 94) {
    g = G::Of(roll < 86 ? G::kDelete : roll < 90 ? G::kCut : G::kCopy);
    select = roll != 85;
  } else {
    return G::Of(G::kPaste, RandomPoint(rng));
  }
  if (select) RandomSelection(rng, g, true, true);
  return g;
}
