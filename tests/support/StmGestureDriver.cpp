// The gesture driver: the manager calls of each editing gesture, in the order the actions make
// them, and random gestures drawn from what the scene holds.
#include "support/StmGestureDriver.h"

#include <algorithm>
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

CUbEntityObj::TYPE_ENTITY_OBJ KindOf(int kind) { return static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind); }

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
std::vector<T*> EntitiesOf(const CStmUbManager& manager, int kind) {
  std::vector<T*> out;
  for (const auto& entry : manager.GetEttMap(KindOf(kind))) {
    if (auto* entity = dynamic_cast<T*>(entry.second)) out.push_back(entity);
  }
  return out;
}

// Exact quarter turns keep lattice points on the lattice, so undo gives back the same bits.
CDPoint QuarterTurn(int turns) {
  switch (((turns % 4) + 4) % 4) {
    case 1: return {0.0, 1.0};
    case 2: return {-1.0, 0.0};
    case 3: return {0.0, -1.0};
    default: return {1.0, 0.0};
  }
}

}  // namespace

SStmGesture SStmGesture::Of(EKind kind, const CVector& a, const CVector& b) {
  SStmGesture g;
  g.m_eKind = kind;
  g.m_a = a;
  g.m_b = b;
  return g;
}

SStmGesture SStmGesture::DrawElement(const CVector& a, const CVector& b) { return Of(kDrawElement, a, b); }

SStmGesture SStmGesture::AddNode(const CVector& p, bool split) { return Of(split ? kAddNode : kAddNodeNoSplit, p); }

SStmGesture SStmGesture::Move(const CVector& from, const CVector& to) { return Of(kMove, from, to); }

SStmGesture SStmGesture::Rotate(const CVector& centre, int quarterTurns) {
  SStmGesture g = Of(kRotate, centre);
  g.m_nQuarterTurns = quarterTurns;
  return g;
}

SStmGesture SStmGesture::Mirror(const CVector& p1, const CVector& p2) { return Of(kMirror, p1, p2); }

SStmGesture SStmGesture::DragNode(const CVector& from, const CVector& to) {
  SStmGesture g = Of(kStretch, from, to);
  g.m_arNodes.push_back(from);
  return g;
}

SStmGesture SStmGesture::Merge(const CVector& p) { return Of(kMerge, p); }

SStmGesture SStmGesture::Delete() { return Of(kDelete); }

SStmGesture SStmGesture::Cut() { return Of(kCut); }

SStmGesture SStmGesture::Copy() { return Of(kCopy); }

SStmGesture SStmGesture::Paste(const CVector& p) { return Of(kPaste, p); }

SStmGesture SStmGesture::Template(int which, const CVector& a, const CVector& b, const CVector& c) {
  SStmGesture g = Of(kTemplate, a, b);
  g.m_c = c;
  g.m_nVariant = which;
  return g;
}

SStmGesture SStmGesture::Outline(int which) {
  SStmGesture g = Of(kOutline);
  g.m_nVariant = which;
  return g;
}

SStmGesture SStmGesture::Offset(const CVector& side, double distance, int count) {
  SStmGesture g = Of(kOffset, side);
  g.m_dDistance = distance;
  g.m_nCount = count;
  return g;
}

SStmGesture SStmGesture::Typed(int tool, const CVector& a, const CVector& b) {
  SStmGesture g = Of(kTyped, a, b);
  g.m_nVariant = tool;
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

void CStmGestureDriver::RestoreView() { ApplyView(SStmGestureView()); }

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

void CStmGestureDriver::Run(const SStmGesture& gesture) {
  switch (gesture.m_eKind) {
    case SStmGesture::kDrawElement: m_manager.AddElement(gesture.m_a, gesture.m_b, 1, 1, 1, nullptr); break;
    case SStmGesture::kAddNode: m_manager.AddNode(gesture.m_a, 1, 1, 1, 1, nullptr); break;
    case SStmGesture::kAddNodeNoSplit: m_manager.AddNode(gesture.m_a, 0, 1, 1, 1, nullptr); break;
    case SStmGesture::kMove:
      Select(gesture);
      MoveSelection(gesture.m_b - gesture.m_a);
      break;
    case SStmGesture::kRotate:
      Select(gesture);
      RotateSelection(gesture.m_a, gesture.m_nQuarterTurns);
      break;
    case SStmGesture::kMirror:
      Select(gesture);
      MirrorSelection(gesture.m_a, gesture.m_b);
      break;
    case SStmGesture::kStretch:
      Select(gesture);
      StretchSelection(gesture.m_a, gesture.m_b);
      break;
    case SStmGesture::kMerge: Merge(gesture.m_a); break;
    case SStmGesture::kDelete:
      Select(gesture);
      m_manager.DeleteSelectedEntity();
      break;
    case SStmGesture::kCut:
      Select(gesture);
      m_manager.Cut();
      break;
    case SStmGesture::kCopy:
      Select(gesture);
      m_manager.Copy();
      break;
    case SStmGesture::kPaste: m_manager.Paste(gesture.m_a); break;
    case SStmGesture::kTemplate: InsertTemplate(gesture); break;
    case SStmGesture::kOutline:
      Select(gesture);
      MakeOutline(gesture);
      break;
    case SStmGesture::kOffset:
      Select(gesture);
      Offset(gesture);
      break;
    case SStmGesture::kTyped: TypePoints(gesture); break;
  }
}

// The selection is found by walking the registry, never through the window, so that what a
// gesture works on does not depend on the view under test.
void CStmGestureDriver::Select(const SStmGesture& gesture) {
  m_manager.SelectRemoveAll();
  for (CStmEntityElement* element : EntitiesOf<CStmEntityElement>(m_manager, CStmEntityObject::kKindElement)) {
    const CVector& p = element->GetCoordBegin();
    const CVector& q = element->GetCoordEnd();
    for (const auto& [a, b] : gesture.m_arElements) {
      if ((SamePoint(p, a) && SamePoint(q, b)) || (SamePoint(p, b) && SamePoint(q, a))) m_manager.SelectEtt(element, 1);
    }
  }
  for (CStmEntityNode* node : EntitiesOf<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode)) {
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

// The tools' own routines, with the selection the gesture made.
void CStmGestureDriver::MoveSelection(const CVector& d) {
  CStmActionMove::MoveSelection(m_manager, CStmActionMove::GetSelection(m_manager), d);
}

void CStmGestureDriver::RotateSelection(const CVector& centre, int quarterTurns) {
  const CDPoint cs = QuarterTurn(quarterTurns);
  CStmActionMove::TransformSelection(
      m_manager, CStmActionMove::GetSelection(m_manager),
      [&](CUbEntityObj& e) {
        e.Rotate(centre, kRotationAxis, cs);
        m_manager.AddHistory_ActionRotate(e.GetName(), centre, kRotationAxis, cs);
        return true;
      },
      false);
}

void CStmGestureDriver::MirrorSelection(const CVector& p1, const CVector& p2) {
  CStmActionMove::TransformSelection(
      m_manager, CStmActionMove::GetSelection(m_manager),
      [&](CUbEntityObj& e) {
        e.Mirror(p1, p2);
        m_manager.AddHistory_ActionMirror(e.GetName(), p1, p2);
        return true;
      },
      false);
}

void CStmGestureDriver::StretchSelection(const CVector& from, const CVector& to) {
  m_manager.StretchNodes(SelectedNodes(), from, to);
}

void CStmGestureDriver::Merge(const CVector& p) {
  CStmEntityNode* existing = nullptr;
  for (CStmEntityNode* node : EntitiesOf<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode)) {
    if (SamePoint(node->GetCoord(), p)) {
      existing = node;
      break;
    }
  }
  if (!existing) return;
  m_manager.AddNode(p, 0, 1, 1, 0, nullptr);
  m_manager.DeleteNodeDuplication(existing);
}

void CStmGestureDriver::Click(const CVector& p) {
  CPoint pt = m_wnd.ExtToClient(p);
  m_wnd.OnMouseMove(0, pt);
  m_wnd.OnLButtonDown(MK_LBUTTON, pt);
  m_wnd.OnLButtonUp(0, pt);
}

// Each click snaps to what lies under it, as the user's would; one that finds nothing leaves the
// tool waiting, and going back to selection drops what it picked.
void CStmGestureDriver::InsertTemplate(const SStmGesture& gesture) {
  static const long kIds[] = {CStmUbManager::kActionTruss, CStmUbManager::kActionArch,
                              CStmUbManager::kActionBottleShape, CStmUbManager::kActionCombinedMechanism};
  const long id = kIds[gesture.m_nVariant % 4];
  m_wnd.SetAction(id, -1, 1);
  const auto* tool = dynamic_cast<const CStmActionAddUseTemplateBase*>(m_manager.GetAction(id));
  const CVector points[] = {gesture.m_a, gesture.m_b, gesture.m_c};
  for (int i = 0; tool && i < tool->GetRequiredPointCount(); ++i) Click(points[i]);
  m_wnd.SetAction(CStmUbManager::kActionNormal, -1, 1);
}

// With the chain selected the tool runs at once; a chain that does not close is refused in a
// message box, which the scripted host answers.
void CStmGestureDriver::MakeOutline(const SStmGesture& gesture) {
  static const long kIds[] = {49, 50, 54};
  m_wnd.SetAction(kIds[gesture.m_nVariant % 3], -1, 1);
  m_wnd.SetAction(CStmUbManager::kActionNormal, -1, 1);
}

void CStmGestureDriver::Offset(const SStmGesture& gesture) {
  m_wnd.SetAction(CStmUbManager::kActionOffset, -1, 1);
  if (CStmDlgOffset* dlg = m_manager.GetDlgOffset()) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", gesture.m_dDistance);
    dlg->SetDlgItemText(CStmDlgOffset::IDC_DISTANCE, text);
    dlg->SetDlgItemText(CStmDlgOffset::IDC_ITERATIONS, std::to_string(gesture.m_nCount).c_str());
    Click(gesture.m_a);
  }
  m_wnd.SetAction(CStmUbManager::kActionNormal, -1, 1);
}

void CStmGestureDriver::TypePoints(const SStmGesture& gesture) {
  m_wnd.SetAction(gesture.m_nVariant == 0 ? CStmUbManager::kActionAddNode : CStmUbManager::kActionAddElement, -1, 1);
  if (CStmDlgCoord* dlg = m_manager.GetDlgCoord()) {
    for (const CVector& p : {gesture.m_a, gesture.m_b}) {
      const CDPoint uv = m_manager.GetPointPlane(p);
      dlg->SetDlgItemText(CStmDlgCoord::IDC_EDIT_FIRST, Exact(uv.x).c_str());
      dlg->SetDlgItemText(CStmDlgCoord::IDC_EDIT_SECOND, Exact(uv.y).c_str());
      dlg->SendKey(VK_RETURN);
      if (gesture.m_nVariant == 0) break;
    }
  }
  m_wnd.SetAction(CStmUbManager::kActionNormal, -1, 1);
}

bool CStmGestureDriver::RandomTriangle(std::mt19937& rng, SStmGesture& gesture) const {
  const auto all = EntitiesOf<CStmEntityElement>(m_manager, CStmEntityObject::kKindElement);
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

// ---------------------------------------------------------------------------------------------
// Random gestures

CVector CStmGestureDriver::RandomLatticePoint(std::mt19937& rng) const {
  std::uniform_int_distribution<int> column(0, kLatticeColumns - 1);
  std::uniform_int_distribution<int> row(0, kLatticeRows - 1);
  return CVector(kLattice * column(rng), 0.0, kLattice * row(rng));
}

// Existing nodes and element midpoints are where the interesting edits happen.
CVector CStmGestureDriver::RandomPoint(std::mt19937& rng) const {
  const auto nodes = EntitiesOf<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode);
  const auto elements = EntitiesOf<CStmEntityElement>(m_manager, CStmEntityObject::kKindElement);
  const int choice = std::uniform_int_distribution<int>(0, 99)(rng);
  if (choice < 40 && !nodes.empty())
    return nodes[std::uniform_int_distribution<size_t>(0, nodes.size() - 1)(rng)]->GetCoord();
  if (choice < 65 && !elements.empty()) {
    const CStmEntityElement* e = elements[std::uniform_int_distribution<size_t>(0, elements.size() - 1)(rng)];
    return (e->GetCoordBegin() + e->GetCoordEnd()) * 0.5;
  }
  return RandomLatticePoint(rng);
}

SStmGestureView CStmGestureDriver::RandomView(std::mt19937& rng) const {
  SStmGestureView view;
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  if (unit(rng) < 0.4) {
    // Zoomed in somewhere, so that parts of the lattice lie outside the window.
    view.m_dScale = std::uniform_int_distribution<int>(1, 4)(rng) * 0.1;
    view.m_dCenterU = std::uniform_int_distribution<int>(-2, 10)(rng) * kLattice;
    view.m_dCenterV = std::uniform_int_distribution<int>(-2, 8)(rng) * kLattice;
  }
  view.m_bHideNodes = unit(rng) < 0.15;
  view.m_bHideElements = unit(rng) < 0.08;
  view.m_bNodeGroup = unit(rng) < 0.08;
  return view;
}

void CStmGestureDriver::RandomSelection(std::mt19937& rng, SStmGesture& gesture, bool elements, bool nodes) const {
  std::uniform_int_distribution<int> count(1, 3);
  if (elements) {
    const auto all = EntitiesOf<CStmEntityElement>(m_manager, CStmEntityObject::kKindElement);
    for (int i = count(rng); i > 0 && !all.empty(); --i) {
      const CStmEntityElement* e = all[std::uniform_int_distribution<size_t>(0, all.size() - 1)(rng)];
      gesture.WithElement(e->GetCoordBegin(), e->GetCoordEnd());
    }
  }
  if (nodes) {
    const auto all = EntitiesOf<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode);
    for (int i = count(rng) - 1; i > 0 && !all.empty(); --i)
      gesture.WithNode(all[std::uniform_int_distribution<size_t>(0, all.size() - 1)(rng)]->GetCoord());
  }
}

SStmGesture CStmGestureDriver::Generate(std::mt19937& rng) {
  SStmGesture g = GenerateAnyKind(rng);
  // The tools take clicks in the window, which must then show what they snap to.
  const bool clicks = g.m_eKind == SStmGesture::kTemplate || g.m_eKind == SStmGesture::kOffset;
  if (!clicks) g.m_view = RandomView(rng);
  return g;
}

SStmGesture CStmGestureDriver::GenerateAnyKind(std::mt19937& rng) {
  SStmGesture g;
  const int tools = std::uniform_int_distribution<int>(0, 99)(rng);
  if (tools < 6) {
    // Nodes and element middles, which the clicks snap to.
    const auto nodes = EntitiesOf<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode);
    const auto elements = EntitiesOf<CStmEntityElement>(m_manager, CStmEntityObject::kKindElement);
    const auto snapped = [&]() {
      const bool middle = !elements.empty() && (nodes.empty() || std::uniform_int_distribution<int>(0, 3)(rng) == 0);
      if (middle) {
        const CStmEntityElement* e = elements[std::uniform_int_distribution<size_t>(0, elements.size() - 1)(rng)];
        return (e->GetCoordBegin() + e->GetCoordEnd()) * 0.5;
      }
      return nodes.empty() ? RandomLatticePoint(rng)
                           : nodes[std::uniform_int_distribution<size_t>(0, nodes.size() - 1)(rng)]->GetCoord();
    };
    const CVector a = snapped(), b = snapped(), c = snapped();
    return SStmGesture::Template(std::uniform_int_distribution<int>(0, 3)(rng), a, b, c);
  }
  if (tools < 10) {
    g = SStmGesture::Outline(std::uniform_int_distribution<int>(0, 2)(rng));
    if (!RandomTriangle(rng, g)) RandomSelection(rng, g, true, false);
    return g;
  }
  if (tools < 17) {
    const int tool = tools % 2;
    CVector a = RandomPoint(rng), b = RandomPoint(rng);
    if (SamePoint(a, b)) b = RandomLatticePoint(rng);
    // Now and then a value just past the limit, which must be refused and change nothing.
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) {
      const double beyond = StmLimits::kMaxCoord * (std::uniform_int_distribution<int>(0, 1)(rng) ? 1.0 : -1.0) *
                            (1.0 + 1e-9 * std::uniform_int_distribution<int>(1, 1000)(rng));
      CVector& p = std::uniform_int_distribution<int>(0, tool)(rng) == 0 ? a : b;
      (std::uniform_int_distribution<int>(0, 1)(rng) ? p.x : p.z) = beyond;
    }
    return SStmGesture::Typed(tool, a, b);
  }
  if (tools < 20) {
    static const double kDistances[] = {2.5, 5.0, 10.0, 20.0};
    g = SStmGesture::Offset(RandomLatticePoint(rng), kDistances[std::uniform_int_distribution<int>(0, 3)(rng)],
                            std::uniform_int_distribution<int>(1, 2)(rng));
    const auto all = EntitiesOf<CStmEntityElement>(m_manager, CStmEntityObject::kKindElement);
    if (!all.empty()) {
      const CStmEntityElement* e = all[std::uniform_int_distribution<size_t>(0, all.size() - 1)(rng)];
      g.WithElement(e->GetCoordBegin(), e->GetCoordEnd());
    }
    return g;
  }
  const int roll = std::uniform_int_distribution<int>(0, 99)(rng);
  std::uniform_int_distribution<int> step(-2, 2);
  const CVector shift(kLattice * step(rng), 0.0, kLattice * step(rng));
  if (roll < 24) {
    CVector a = RandomPoint(rng);
    CVector b = RandomPoint(rng);
    if (SamePoint(a, b)) b = RandomLatticePoint(rng);
    g = SStmGesture::DrawElement(a, b);
  } else if (roll < 32) {
    g = SStmGesture::AddNode(RandomPoint(rng), true);
  } else if (roll < 35) {
    g = SStmGesture::AddNode(RandomPoint(rng), false);
  } else if (roll < 47) {
    const CVector from = RandomPoint(rng);
    g = SStmGesture::Move(from, from + shift);
    RandomSelection(rng, g, true, true);
  } else if (roll < 53) {
    g = SStmGesture::Rotate(RandomLatticePoint(rng), std::uniform_int_distribution<int>(1, 3)(rng));
    RandomSelection(rng, g, true, true);
  } else if (roll < 59) {
    // Axis-parallel or diagonal lines of short direction keep mirrored points exact.
    static const CVector kDirections[] = {CVector(1, 0, 0), CVector(0, 0, 1), CVector(1, 0, 1), CVector(1, 0, -1)};
    const CVector p = RandomLatticePoint(rng);
    g = SStmGesture::Mirror(p, p + kDirections[std::uniform_int_distribution<int>(0, 3)(rng)]);
    RandomSelection(rng, g, true, true);
  } else if (roll < 72) {
    const auto nodes = EntitiesOf<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode);
    if (nodes.empty()) return SStmGesture::DrawElement(RandomLatticePoint(rng), RandomLatticePoint(rng) + shift);
    const CVector from = nodes[std::uniform_int_distribution<size_t>(0, nodes.size() - 1)(rng)]->GetCoord();
    CVector to = RandomPoint(rng);
    if (SamePoint(from, to)) to = from + CVector(kLattice, 0.0, 0.0);
    g = SStmGesture::DragNode(from, to);
    // Sometimes a stretch of several nodes, their elements following.
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) RandomSelection(rng, g, false, true);
  } else if (roll < 76) {
    const auto nodes = EntitiesOf<CStmEntityNode>(m_manager, CStmEntityObject::kKindNode);
    g = SStmGesture::Merge(nodes.empty() ? RandomLatticePoint(rng)
                                         : nodes[std::uniform_int_distribution<size_t>(0, nodes.size() - 1)(rng)]
                                               ->GetCoord());
  } else if (roll < 86) {
    g = SStmGesture::Delete();
    if (roll != 85) RandomSelection(rng, g, true, true);
  } else if (roll < 90) {
    g = SStmGesture::Cut();
    RandomSelection(rng, g, true, true);
  } else if (roll < 94) {
    g = SStmGesture::Copy();
    RandomSelection(rng, g, true, true);
  } else {
    g = SStmGesture::Paste(RandomPoint(rng));
  }
  return g;
}
