// The render window of a strut-and-tie model: frame, entity passes, input and selection.
#include "render/CStmUbRenderer.h"

#include "render/CStmModelPainter.h"
#include "render/CStmResultPainter.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "dialogs/CStmDlgAngle.h"
#include "dialogs/CStmDlgCoord.h"
#include "entities/CStmEntityArea.h"
#include "entities/CStmEntityBoundary.h"
#include "entities/CStmEntityElement.h"
#include "entities/CStmEntityGridPoint.h"
#include "entities/CStmEntityGuideline.h"
#include "entities/CStmEntityNode.h"
#include "geometry/StmGeometry.h"
#include "host/framework/CUbActionNormal.h"
#include "host/framework/CUbGlState.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/model/CStmModel.h"
#include "host/platform/CUiHost.h"
#include "manager/CStmUbManager.h"
#include "render/StmDrawingLayer.h"

namespace {
constexpr long kActionSelect = 48;
constexpr long kActionPaste = 55;

constexpr int kColorBackTop = 0;
constexpr int kColorBackBottom = 1;
constexpr int kColorHighlight = 21;
constexpr float kAreaHighlightAlpha = 0.3f;

// A lone node still gives zoom-all this much room on each side.
constexpr double kLoneNodeMargin = 10.0;
constexpr double kEmptyRange = 10.0;

COLORREF PackColour(const CVector& rgb) {
  auto channel = [](double v) { return static_cast<unsigned>(static_cast<int>(v * 255.0)) & 0xFFu; };
  return RGB(channel(rgb.x), channel(rgb.y), channel(rgb.z));
}

CStmEntityObject* AsStm(CUbEntityObj* entity) { return dynamic_cast<CStmEntityObject*>(entity); }

}  // namespace

CStmUbRenderer::CStmUbRenderer() { InitStmRenderer(); }

CStmUbRenderer::~CStmUbRenderer() { DestroyStmRenderer(); }

void CStmUbRenderer::InitStmRenderer() { m_arCallList.fill(kNoList); }

void CStmUbRenderer::DestroyStmRenderer() { DeleteStmCallList(); }

CStmUbManager* CStmUbRenderer::GetUbManager() const { return dynamic_cast<CStmUbManager*>(GetManage()); }

bool CStmUbRenderer::GetScene(CStmUbManager*& manager, CStmModel*& model, CStmDataView*& view) const {
  manager = GetUbManager();
  model = manager ? manager->GetStmModel() : nullptr;
  view = model ? model->GetStmDataView() : nullptr;
  return view != nullptr;
}

// ---------------------------------------------------------------------------------------------
// Display lists and colours

GLuint CStmUbRenderer::GetStmCallList(EStmDisplayList list) const {
  if (list < 0 || list >= STM_LIST_COUNT) return kNoList;
  return m_arCallList[static_cast<size_t>(list)];
}

void CStmUbRenderer::DeleteStmCallList(EStmDisplayList list) {
  if (list < 0 || list >= STM_LIST_COUNT) return;
  GLuint& slot = m_arCallList[static_cast<size_t>(list)];
  if (slot != kNoList && OpenGLRenderStart()) {
    glDeleteLists(slot, 1);
    OpenGLRenderEnd();
  }
  slot = kNoList;
}

void CStmUbRenderer::DeleteStmCallList() {
  const bool current = OpenGLRenderStart() != 0;
  for (GLuint& slot : m_arCallList) {
    if (slot != kNoList && current) glDeleteLists(slot, 1);
    slot = kNoList;
  }
  if (current) OpenGLRenderEnd();
}

void CStmUbRenderer::ApplyColorSet() {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view)) return;
  m_colorSet = view->GetColorSet();
  SetBackColor(PackColour(m_colorSet[kColorBackTop]), PackColour(m_colorSet[kColorBackBottom]));
  SetHighlightColorLine(m_colorSet[kColorHighlight]);
}

void CStmUbRenderer::InvalidateAllWnd() {
  ApplyColorSet();
  CUbRenderWnd::InvalidateAllWnd();
}

// ---------------------------------------------------------------------------------------------
// Frame

void CStmUbRenderer::RenderNoDepth(int pick) {
  ApplyColorSet();
  // Lines are drawn unsmoothed in every frame, the first as the later ones: smoothing makes
  // llvmpipe spend about twice as long on a frame of many lines, and thin lines stay crisp.
  glDisable(GL_LINE_SMOOTH);
  // Labels are gathered over the whole frame and placed at its end, so that a node's name wins
  // over a load value and both over an element's name, whatever order the passes draw in.
  if (pick == 0) CUbRenderAPI::BeginLabels();
  // Symbols lie under the model so that nodes and elements stay readable over them.
  if (pick == 0) {
    CUbRenderAPI::SetLabelPriority(CUbRenderAPI::LABEL_OTHER);
    StmMarkDrawingLayer(STM_LAYER_SUPPORTS);
    RenderRestraint();
    RenderSpring();
    // Regions and fields lie under the model's lines, designed widths under calculated ones and
    // zones over widths, so that the smaller regions stay visible.
    StmMarkDrawingLayer(STM_LAYER_WIDTHS);
    RenderEffectiveWidthMax();
    RenderEffectiveWidth();
    StmMarkDrawingLayer(STM_LAYER_NODAL_ZONES);
    RenderNodalZoneMax();
    RenderNodalZone();
    RenderResultNodalZone();
    StmMarkDrawingLayer(STM_LAYER_CONTOUR);
    RenderESO();
    RenderStressFlow();
    RenderMesh();
    StmMarkDrawingLayer(STM_LAYER_MARKS);
    RenderMark();
    CUbRenderAPI::SetLabelPriority(CUbRenderAPI::LABEL_LOAD);
    StmMarkDrawingLayer(STM_LAYER_LOADS);
    RenderLoadUserInput();
  }
  // Later passes lie on top: nodes over elements over boundaries. The entities ask for their GL
  // state through one deferred pass, so that only real changes reach the driver.
  {
    CUbGlState::CPass entities(pick != 0);
    CUbRenderAPI::SetLabelPriority(CUbRenderAPI::LABEL_OTHER);
    if (pick == 0) StmMarkDrawingLayer(STM_LAYER_GRID);
    RenderGrid(pick);
    if (pick == 0) StmMarkDrawingLayer(STM_LAYER_GUIDELINES);
    RenderGuidelines(pick);
    if (pick == 0) StmMarkDrawingLayer(STM_LAYER_AREAS);
    RenderPropertyArea(pick);
    if (pick == 0) StmMarkDrawingLayer(STM_LAYER_OUTLINE);
    RenderBoundary(pick);
    CUbRenderAPI::SetLabelPriority(CUbRenderAPI::LABEL_ELEMENT);
    if (pick == 0) StmMarkDrawingLayer(STM_LAYER_TRUSS);
    RenderElement(pick);
    CUbRenderAPI::SetLabelPriority(CUbRenderAPI::LABEL_NODE);
    RenderNode(pick);
  }
  // Forces and loads come last so that no entity hides them.
  if (pick == 0) {
    CUbRenderAPI::SetLabelPriority(CUbRenderAPI::LABEL_LOAD);
    StmMarkDrawingLayer(STM_LAYER_FORCES);
    RenderResult(pick);
    StmMarkDrawingLayer(STM_LAYER_LOADS);
    RenderLoad(pick);
    StmMarkDrawingLayer(STM_LAYER_FORCES);
    Painter().RenderReaction(pick);
    StmMarkDrawingLayer(STM_LAYER_TEXT);
    m_nLabelsDrawn = CUbRenderAPI::EndLabels();
  }
}

void CStmUbRenderer::RenderOwner() {}

void CStmUbRenderer::DrawPlanRectOnDC(CVector) {}

// Walks one kind's registry in creation order, naming each entity for picking, and gives each
// the window's scale and view position before `draw` runs.
// A pick draws only the window's candidates from the index, still kind by kind in that order.
template <class F>
static void ForEachDrawn(CStmUbRenderer& wnd, CStmUbManager& manager, int kind, int pick, F draw) {
  const long index = wnd.GetWndIndex();
  const double scale = wnd.GetViewScale();
  const CUbRenderWnd::VIEW_POS pos = wnd.GetViewPos();
  const auto one = [&](CUbEntityObj* e) {
    // The registry's maps of this layer's kinds hold only this layer's entities.
    auto* entity = static_cast<CStmEntityObject*>(e);
    if (!entity || entity->IsDrawVerify(index)) return;
    if (pick) {
      // An entity drawn without its own name would be credited to the one named before it.
      if (!entity->IsPickable()) return;
      glLoadName(entity->GetHandle());
    }
    entity->SetViewScale(scale);
    entity->SetViewPos(pos);
    draw(entity, index);
  };
  if (const std::vector<CUbEntityObj*>* candidates = pick ? wnd.GetPickCandidates() : nullptr) {
    for (CUbEntityObj* e : *candidates) {
      if (e->GetTypeEntity() == kind) one(e);
    }
    return;
  }
  for (CUbEntityObj* e : manager.GetEttList(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind))) one(e);
}

void CStmUbRenderer::RenderGrid(int pick) {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view) || !view->IsShowOption(STM_SHOW_GRID_POINTS)) return;
  ForEachDrawn(*this, *manager, CStmEntityObject::kKindGridPoint, pick,
               [](CStmEntityObject* e, long) { e->Render(e->IsSelection()); });
}

void CStmUbRenderer::RenderGuidelines(int pick) {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view) || !view->IsShowOption(STM_SHOW_GUIDELINES)) return;
  ForEachDrawn(*this, *manager, CStmEntityObject::kKindGuideline, pick, [](CStmEntityObject* e, long) {
    if (e->IsVisible()) e->Render(e->IsSelection());
  });
}

void CStmUbRenderer::RenderPropertyArea(int pick) {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view) || !view->IsShowOption(STM_SHOW_AREAS)) return;
  const bool highlight = manager->IsEnableBoundarySelection() != 0;
  const CVector colour = m_colorSet[kColorHighlight];
  ForEachDrawn(*this, *manager, CStmEntityObject::kKindArea, pick, [&](CStmEntityObject* e, long index) {
    if (highlight && e->IsSelection()) {
      CUbGlState::LineWidth(1.0f);
      CUbGlState::Color(colour.x, colour.y, colour.z, kAreaHighlightAlpha);
      e->Render(1);
    } else {
      e->DrawEntity(index);
    }
  });
}

void CStmUbRenderer::RenderBoundary(int pick) {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view) || !view->IsShowOption(STM_SHOW_BOUNDARIES)) return;
  const bool highlight = manager->IsEnableBoundarySelection() != 0;
  const CVector colour = m_colorSet[kColorHighlight];
  ForEachDrawn(*this, *manager, CStmEntityObject::kKindBoundary, pick, [&](CStmEntityObject* e, long index) {
    auto* boundary = dynamic_cast<CStmEntityBoundary*>(e);
    if (highlight && boundary && e->IsSelection()) {
      CUbGlState::LineWidth(static_cast<GLfloat>(boundary->GetThickness()));
      CUbGlState::Color(colour.x, colour.y, colour.z);
      e->Render(1);
      CUbGlState::LineWidth(1.0f);
    } else {
      e->DrawEntity(index);
    }
  });
  CUbGlState::CImmediate painter;
  DrawBoundarySegment();
}

void CStmUbRenderer::RenderElement(int pick) {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view) || !view->IsShowOption(STM_SHOW_ELEMENTS)) return;
  const CVector colour = m_colorSet[kColorHighlight];
  ForEachDrawn(*this, *manager, CStmEntityObject::kKindElement, pick, [&](CStmEntityObject* e, long index) {
    if (e->IsSelection() && !pick) {
      CUbGlState::LineWidth(static_cast<GLfloat>(static_cast<CStmEntityElement*>(e)->GetThickness() + 2.0));
      CUbGlState::Color(colour.x, colour.y, colour.z);
      e->Render(1);
      CUbGlState::LineWidth(1.0f);
    } else {
      e->DrawEntity(index);
    }
  });
}

void CStmUbRenderer::RenderNode(int pick) {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view) || !view->IsShowOption(STM_SHOW_NODES)) return;
  const CVector colour = GetHighlightColorNode();
  ForEachDrawn(*this, *manager, CStmEntityObject::kKindNode, pick, [&](CStmEntityObject* e, long index) {
    if (e->IsSelection() && !pick) {
      CUbGlState::PointSize(static_cast<GLfloat>(static_cast<CStmEntityNode*>(e)->GetRadius() + 2.0));
      CUbGlState::Color(colour.x, colour.y, colour.z);
      e->Render(1);
      CUbGlState::PointSize(1.0f);
    } else {
      e->DrawEntity(index);
    }
  });
}

// ---------------------------------------------------------------------------------------------
// View

void CStmUbRenderer::InitViewRange() {
  CStmUbManager* manager = GetUbManager();
  CCubeRange* range = manager ? manager->GetViewRange(GetWndIndex()) : nullptr;
  if (!range) return;
  range->Clear();
  range->Apply(CVector(-kEmptyRange, -kEmptyRange, -kEmptyRange));
  range->Apply(CVector(kEmptyRange, kEmptyRange, kEmptyRange));
}

void CStmUbRenderer::ResetViewRange() {
  CStmUbManager* manager = GetUbManager();
  CCubeRange* range = manager ? manager->GetViewRange(GetWndIndex()) : nullptr;
  if (!range) return;
  using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
  const Kind boundaryKind = static_cast<Kind>(CStmEntityObject::kKindBoundary);
  const Kind nodeKind = static_cast<Kind>(CStmEntityObject::kKindNode);
  const int boundaries = manager->GetCount(boundaryKind);
  const int nodes = manager->GetCount(nodeKind);
  const int elements = manager->GetCount(static_cast<Kind>(CStmEntityObject::kKindElement));
  if (boundaries + nodes + elements == 0) {
    InitViewRange();
    return;
  }
  range->Clear();
  for (const auto& entry : manager->GetEttMap(boundaryKind)) entry.second->GetRange(*range);
  for (const auto& entry : manager->GetEttMap(nodeKind)) entry.second->GetRange(*range);
  if (boundaries == 0 && nodes == 1) {
    const auto* node = dynamic_cast<const CStmEntityNode*>(manager->GetEttMap(nodeKind).begin()->second);
    if (node) {
      range->Apply(node->GetCoord() + CVector(kLoneNodeMargin, 0.0, 0.0));
      range->Apply(node->GetCoord() - CVector(kLoneNodeMargin, 0.0, 0.0));
    }
  }
  ExtendViewRange(*range);
}

void CStmUbRenderer::ZoomAll(long param) {
  // Loads and supports keep their size in pixels, so the range they need grows with the scale
  // that the range itself decides. The fitted scale f(s) is piecewise affine in s (the larger
  // of the width and the height fit), so the secant method on f(s) - s finds the scale that fits
  // model and symbols at once in a few rounds. Symbols that alone would fill the window have no
  // such scale; the last round then stands.
  auto fit = [&](double scale) {
    SetViewScale(scale);
    ResetViewRange();
    CUbRenderWnd::ZoomAll(param);
    return GetViewScale();
  };
  constexpr int kMaxRounds = 12;
  double a = GetViewScale();
  double fa = fit(a);
  double b = fa;
  double fb = fit(b);
  for (int round = 0; round < kMaxRounds && std::fabs(fb - b) > 1e-6 * b; ++round) {
    const double slope = (fb - b) - (fa - a);
    if (slope == 0.0) break;
    const double next = b - (fb - b) * (b - a) / slope;
    if (!(next > 0.0) || !std::isfinite(next)) break;
    a = b;
    fa = fb;
    b = next;
    fb = fit(b);
  }
  RefreshViewAids(true);
}

void CStmUbRenderer::RefreshViewAids(bool always) {
  CStmUbManager* manager = GetUbManager();
  if (!manager || GetWidth() <= 0 || GetHeight() <= 0) return;
  const CVector corners[2] = {ClientToExt(CPoint(0, GetHeight()), 0.0), ClientToExt(CPoint(GetWidth(), 0), 0.0)};
  if (!always && corners[0] == m_arAidsCorner[0] && corners[1] == m_arAidsCorner[1]) return;
  m_arAidsCorner[0] = corners[0];
  m_arAidsCorner[1] = corners[1];
  manager->AddGridPoints();
  manager->AddGuidelines();
}

void CStmUbRenderer::SetViewPos(VIEW_POS pos) {
  CUbRenderWnd::SetViewPos(pos);
  if (CStmUbManager* manager = GetUbManager()) manager->SetViewPos(pos);
}

// ---------------------------------------------------------------------------------------------
// Commands and input

void CStmUbRenderer::CancelCommand() {
  ClearSelection();
  if (CUbActionBase* action = GetActionCurrent()) action->CancelCmd(this);
  SetAction(kActionSelect, -1, 1);
}

void CStmUbRenderer::OnLButtonDown(UINT flags, const CPoint& pt) {
  CUbRenderWnd::OnLButtonDown(flags, pt);
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || model->IsLock()) return;
  if (!dynamic_cast<CUbActionNormal*>(GetActionCurrent()) || GetActionTypeCur() != kActionSelect) return;
  manager->ClearRenderMarkPos();
}

void CStmUbRenderer::OnMButtonDown(UINT flags, const CPoint& pt) {
  m_bMButtonDown = 1;
  CUbRenderWnd::OnMButtonDown(flags, pt);
  GetUiHost().SetCursor(IDC_SIZEALL);
}

void CStmUbRenderer::OnMButtonUp(UINT flags, const CPoint& pt) {
  m_bMButtonDown = 0;
  CUbRenderWnd::OnMButtonUp(flags, pt);
  // The move cursor lasts as long as the drag; then the action's own cursor is back.
  OnSetCursor();
}

void CStmUbRenderer::OnMouseMove(UINT flags, CPoint& pt) {
  CStmUbManager* manager = GetUbManager();
  if (!manager) return;
  CUbRenderWnd::OnMouseMove(flags, pt);
  // Dragging the view (middle button or the pan tool) moves the region the aids cover.
  RefreshViewAids(false);
  switch (GetActionTypeCur()) {
    case 51: case 52: case 55: case 56: case 57: case 58: case 59: case 61: case 62: case 65: case 66:
      UpdateDlgCoord(*manager);
      break;
    default:
      break;
  }
  if (GetActionTypeCur() == 66) UpdateDlgAngle(*manager);
}

void CStmUbRenderer::UpdateDlgAngle(CStmUbManager& manager) {
  CStmDlgAngle* dlg = manager.GetDlgAngle();
  CUbActionBase* action = GetActionCurrent();
  // While the user types an angle, the cursor's must not replace it.
  if (!dlg || !action || action->GetStep() != 1 || CWnd::GetFocus() == dlg) return;
  const CDPoint d = manager.GetPointPlane(manager.GetCursorPoint()) - manager.GetPointPlane(manager.GetRotateCenter());
  const double degrees = GetAngleRadian(d) * 57.29577951308232;
  dlg->SetAngle(std::floor((degrees + 0.00005) * 1e4) / 1e4);
}

void CStmUbRenderer::UpdateDlgCoord(CStmUbManager& manager) {
  CStmDlgCoord* dlg = manager.GetDlgCoord();
  // What the user typed stands until it is confirmed or started again.
  if (!dlg || dlg->IsTyped()) return;
  // Rounded half up to four decimals, as typed values would be.
  const auto round = [](double v) { return std::floor((v + 0.00005) * 1e4) / 1e4; };
  const CDPoint p = manager.GetPointPlane(manager.GetCursorPoint());
  dlg->m_dFirst = round(p.x);
  dlg->m_dSecond = round(p.y);
  dlg->UpdateData(0);
  if (CWnd::GetFocus() != dlg) return;
  const int focus = dlg->GetFocusId();
  if (focus == CStmDlgCoord::IDC_EDIT_FIRST || focus == CStmDlgCoord::IDC_EDIT_SECOND) dlg->SetSel(focus, 0, -1);
}

CUbActionBase* CStmUbRenderer::SetAction(long id, long param, int init) {
  CUbActionBase* action = CUbRenderWnd::SetAction(id, param, init);
  CStmUbManager* manager = GetUbManager();
  if (!manager || !action) return action;
  // The angle waits for the rotate tool's centre; the offset dialog belongs to the offset tool.
  manager->ShowDlgAngle(0);
  manager->ShowDlgOffset(id == 64 ? 1 : 0);
  if (id == 64) manager->ShowDlgCoord(0);
  switch (id) {
    case 48: case 49: case 50:
      manager->ShowDlgCoord(0);
      break;
    case 51: case 52: case 55: case 56: case 57: case 58: case 59: case 61: case 62: case 65:
      manager->ShowDlgCoord(1);
      break;
    case 66:
      if (action->GetStep() == 0) manager->ShowDlgCoord(1);
      break;
    default:
      break;
  }
  return action;
}

void CStmUbRenderer::OnMouseWheel(UINT flags, short delta, const CPoint& pt) {
  CUbRenderWnd::OnMouseWheel(flags, delta, pt);
  RefreshViewAids(true);
}

void CStmUbRenderer::OnKeyDown(UINT key, UINT, UINT) {
  CStmUbManager* manager = GetUbManager();
  if (!manager) return;
  const bool ctrl = (GetUiHost().GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (ctrl) {
    if (key == 'C' || key == 'c') {
      manager->Copy();
    } else if (key == 'V' || key == 'v') {
      SetAction(kActionPaste, -1, 1);
    } else if (key == 'X' || key == 'x') {
      manager->Cut();
      SelectionChanged();
    }
    return;
  }
  switch (static_cast<int>(key)) {
    case VK_ESCAPE:
      CancelCommand();
      break;
    case VK_TAB:
      // Straight to typing the angle while the rotate tool waits for one.
      if (CStmDlgAngle* angle = manager->GetDlgAngle(); angle && angle->IsWindowVisible()) {
        angle->SetFocus();
        angle->SetFocusId(CStmDlgAngle::IDC_ANGLE);
        angle->SetSel(CStmDlgAngle::IDC_ANGLE, 0, -1);
        break;
      }
      // Straight to typing a coordinate, replacing what the read-out shows.
      if (CStmDlgCoord* dlg = manager->GetDlgCoord(); dlg && dlg->IsWindow()) dlg->StartTyping();
      break;
    case VK_DELETE:
      manager->DeleteSelectedEntity();
      // The grips belong to what was selected, so they go with it.
      SelectionChanged();
      break;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (GetActionTypeCur() == kActionSelect) MovePerspectivePos(key);
      RefreshViewAids(false);
      break;
    case VK_F8:
      if (GetVHDraw() != 0) {
        SetVHDraw(0);
        manager->SetOSnapMode(manager->GetOSnapMode() | CUbManage::kSnapNear);
      } else {
        SetVHDraw(GetViewPos() == VIEW_POS_XZ ? 2 : 3);
        manager->SetOSnapMode(manager->GetOSnapMode() & ~CUbManage::kSnapNear);
      }
      manager->SetOSnapMode2(0);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Picking

void CStmUbRenderer::SetSelectObject(int hits, long maxHits, int flag, CMapStringToPtr* map, long mode) {
  CStmUbManager* manager = GetUbManager();
  if (!manager) return;
  struct SHit {
    GLuint m_nDepth;
    CUbEntityObj* m_pEntity;
  };
  const std::vector<GLuint>& buffer = GetSelectBuffer();
  std::vector<SHit> records;
  size_t pos = 0;
  for (int i = 0; i < hits && pos + 3 <= buffer.size(); ++i) {
    const GLuint names = buffer[pos];
    CUbEntityObj* entity = nullptr;
    if (names > 0 && pos + 3 + names <= buffer.size()) entity = manager->GetEttByHandle(buffer[pos + 3 + names - 1]);
    if (entity) records.push_back({buffer[pos + 1], entity});
    pos += 3 + names;
  }
  const bool filtered = (mode & kSelectRaw) == 0;
  if (maxHits >= 0 && static_cast<long>(records.size()) > maxHits) {
    // What the filter drops must not take the place of what it keeps: a click on an element
    // lying on the outline means the element even while outlines cannot be selected.
    if (filtered) {
      records.erase(std::remove_if(records.begin(), records.end(),
                                   [this](const SHit& hit) { return !IsKeptBySelectionFilter(hit.m_pEntity); }),
                    records.end());
    }
    // A click means the smallest thing under it: nodes sit on element ends, elements inside
    // areas and on outlines; among equals the nearest wins.
    std::stable_sort(records.begin(), records.end(), [](const SHit& a, const SHit& b) {
      const int rankA = PickRank(a.m_pEntity->GetTypeEntity()), rankB = PickRank(b.m_pEntity->GetTypeEntity());
      if (rankA != rankB) return rankA < rankB;
      return a.m_nDepth < b.m_nDepth;
    });
    if (static_cast<long>(records.size()) > maxHits) records.resize(static_cast<size_t>(maxHits));
  }
  std::vector<CUbEntityObj*> entities;
  for (const SHit& hit : records) entities.push_back(hit.m_pEntity);
  SelectionObj(entities, flag, map, mode);
  if (!filtered) return;

  CMapStringToPtr* target = map ? map : &manager->GetSelectMap();
  std::vector<CUbEntityObj*> removed;
  for (const auto& entry : *target) {
    auto* entity = static_cast<CUbEntityObj*>(entry.second);
    if (entity && !IsKeptBySelectionFilter(entity)) removed.push_back(entity);
  }
  for (CUbEntityObj* entity : removed) {
    target->RemoveKey(entity->GetName());
    entity->SetSelection(0);
  }
  InvalidateAllWnd();
}

CUbEntityObj* CStmUbRenderer::GetHoverEntity() const {
  CStmUbManager* manager = GetUbManager();
  if (!manager) return nullptr;
  CUbEntityObj* best = nullptr;
  for (const auto& entry : manager->GetHoverMap()) {
    auto* candidate = static_cast<CUbEntityObj*>(entry.second);
    if (candidate && (!best || PickRank(candidate->GetTypeEntity()) < PickRank(best->GetTypeEntity()))) best = candidate;
  }
  return best;
}

// Hover picks under a resting cursor all the time. The GL selection pass of the driver keeps
// memory for every point and line drawn in select mode (some kilobytes a pick at a zoomed-out
// model, for good), and no way of issuing them stops it; its polygons do not. So hover tests
// nodes, elements, grid points and guidelines here, in window pixels against the same box the
// pass clips to, and leaves only outlines and areas to the pass. Clicks keep the pass.
int CStmUbRenderer::HoverPoint(const CPoint& pt, const CSize& box) {
  CStmUbManager* manager = nullptr;
  CStmModel* model = nullptr;
  CStmDataView* view = nullptr;
  if (!GetScene(manager, model, view)) return CUbRenderWnd::HoverPoint(pt, box);
  CMapStringToPtr& hover = manager->GetHoverMap();
  const CRect region = PointPickRegion(pt, box);
  std::vector<CUbEntityObj*>& candidates = GatherPickCandidates(region);
  std::vector<CUbEntityObj*> hits;
  size_t polygons = 0;
  for (CUbEntityObj* entity : candidates) {
    const int kind = entity->GetTypeEntity();
    if (kind == CStmEntityObject::kKindBoundary || kind == CStmEntityObject::kKindArea) {
      candidates[polygons++] = entity;
    } else if (IsHitOnCpu(entity, region, *model, *view)) {
      hits.push_back(entity);
    }
  }
  candidates.resize(polygons);
  if (polygons > 0 && OpenGLRenderStart()) {
    PickCandidatesInRegion(region, -1, 0, &hover, kSelectHover);
    OpenGLRenderEnd();
  } else {
    candidates.clear();
    hover.RemoveAll();
  }
  for (CUbEntityObj* entity : hits) hover.SetAt(entity->GetName(), entity);
  return hover.GetCount();
}

bool CStmUbRenderer::IsHitOnCpu(CUbEntityObj* entity, const CRect& region, CStmModel& model,
                                CStmDataView& view) const {
  if (!entity || entity->IsDrawVerify(GetWndIndex()) || !entity->IsPickable()) return false;
  CStmUbManager* manager = GetUbManager();
  CVector a, b;
  bool point = true;
  switch (static_cast<int>(entity->GetTypeEntity())) {
    case CStmEntityObject::kKindNode: {
      auto* node = static_cast<CStmEntityNode*>(entity);
      const CStmObjNode* record = model.GetNode(node->GetIdStm());
      if (!view.IsShowOption(STM_SHOW_NODES) || !record || !record->IsEnable()) return false;
      const SUbDisplayGroup& group = manager->GetCurDisplayGroup();
      if (group.m_bFilter && !group.m_setKeys.count(entity->GetName())) return false;
      a = node->GetCoord();
      break;
    }
    case CStmEntityObject::kKindElement: {
      auto* element = static_cast<CStmEntityElement*>(entity);
      if (!view.IsShowOption(STM_SHOW_ELEMENTS) || !model.GetElement(element->GetIdStm())) return false;
      a = element->GetCoordBegin();
      b = element->GetCoordEnd();
      point = false;
      break;
    }
    case CStmEntityObject::kKindGridPoint:
      if (!view.IsShowOption(STM_SHOW_GRID_POINTS)) return false;
      a = static_cast<CStmEntityGridPoint*>(entity)->GetCoord();
      break;
    case CStmEntityObject::kKindGuideline:
      if (!view.IsShowOption(STM_SHOW_GUIDELINES) || !entity->IsVisible()) return false;
      a = static_cast<CStmEntityGuideline*>(entity)->GetPoint1();
      b = static_cast<CStmEntityGuideline*>(entity)->GetPoint2();
      point = false;
      break;
    default: return false;
  }
  // GL window coordinates (rows from the bottom), relative to the region's centre: the pass
  // clips to half the region's size either way, whatever a point's size or a line's width.
  double centreU = 0.0, centreV = 0.0;
  GetViewCenter(centreU, centreV);
  const double scale = GetViewScale();
  const double cx = (region.left + region.right) * 0.5 - GetWidth() * 0.5;
  const double cy = GetHeight() * 0.5 - (region.top + region.bottom) * 0.5;
  const auto window = [&](const CVector& p, double& x, double& y) {
    double u = 0.0, v = 0.0;
    ModelToPlane(p, u, v);
    x = (u - centreU) / scale - cx;
    y = (v - centreV) / scale - cy;
  };
  const double hw = region.Width() * 0.5, hh = region.Height() * 0.5;
  double x0 = 0.0, y0 = 0.0;
  window(a, x0, y0);
  if (point) return std::fabs(x0) <= hw && std::fabs(y0) <= hh;
  double x1 = 0.0, y1 = 0.0;
  window(b, x1, y1);
  // The segment against the box: the part of it inside every slab is not empty.
  double t0 = 0.0, t1 = 1.0;
  const auto slab = [&](double p, double d, double half) {
    if (d == 0.0) return std::fabs(p) <= half;
    double lo = (-half - p) / d, hi = (half - p) / d;
    if (lo > hi) std::swap(lo, hi);
    t0 = std::max(t0, lo);
    t1 = std::min(t1, hi);
    return t0 <= t1;
  };
  return slab(x0, x1 - x0, hw) && slab(y0, y1 - y0, hh);
}

int CStmUbRenderer::PickRank(int kind) {
  switch (kind) {
    case CStmEntityObject::kKindNode: return 0;
    case CStmEntityObject::kKindElement: return 1;
    case CStmEntityObject::kKindGridPoint:
    case CStmEntityObject::kKindGuideline: return 3;
    case CStmEntityObject::kKindBoundary: return 4;
    case CStmEntityObject::kKindArea: return 5;
    default: return 2;
  }
}

bool CStmUbRenderer::IsKeptBySelectionFilter(CUbEntityObj* entity) const {
  CStmUbManager* manager = GetUbManager();
  if (!manager || !entity) return false;
  const int kind = entity->GetTypeEntity();
  if (kind == CStmEntityObject::kKindGridPoint || kind == CStmEntityObject::kKindGuideline) return false;
  if (kind == CStmEntityObject::kKindBoundary) return manager->IsEnableBoundarySelection() != 0;
  const EStmTypeSelection filter = manager->GetTypeSelection();
  if (filter == STM_SELECTION_NODE) return kind == CStmEntityObject::kKindNode;
  if (filter == STM_SELECTION_ELEMENT) return kind == CStmEntityObject::kKindElement;
  if (filter == STM_SELECTION_STRUT || filter == STM_SELECTION_TIE) {
    if (kind != CStmEntityObject::kKindElement) return false;
    auto* element = dynamic_cast<CStmEntityElement*>(entity);
    const CStmModel* model = manager->GetStmModel();
    const CStmObjElement* record = element && model ? model->GetElement(element->GetIdStm()) : nullptr;
    const EStmTypeElement wanted = filter == STM_SELECTION_STRUT ? STM_ELEMENT_STRUT : STM_ELEMENT_TIE;
    return !record || record->GetType(manager->GetIndexLoadConditionResult()) == wanted;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Selection commands

void CStmUbRenderer::SelectionChanged() {
  if (auto* normal = dynamic_cast<CUbActionNormal*>(GetActionCurrent())) {
    normal->GetSnapPointManage().OnChangeSelectedMember(this);
  }
  InvalidateAllWnd();
}

void CStmUbRenderer::SelectAllOfKind(int kind, int select) {
  CStmUbManager* manager = GetUbManager();
  if (!manager || GetActionTypeCur() != kActionSelect) return;
  if (select) manager->SelectRemoveAll();
  for (const auto& entry : manager->GetEttMap(static_cast<CUbEntityObj::TYPE_ENTITY_OBJ>(kind))) {
    manager->SelectEtt(entry.second, select);
  }
  SelectionChanged();
}

void CStmUbRenderer::SelectNodeObject(int id, int flag) {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  const CStmObjNode* node = model ? model->GetNode(id) : nullptr;
  if (!node) return;
  CStmEntityNode* entity = manager->GetEntNode(node->GetCoord(), nullptr);
  if (!entity) return;
  SelectionObj({entity}, flag, &manager->GetSelectMap(), 2);
}

void CStmUbRenderer::SelectElementObject(int id, int flag) {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  const CStmObjElement* element = model ? model->GetElement(id) : nullptr;
  const CStmObjNode* begin = element ? model->GetNode(element->GetIdNodeBegin()) : nullptr;
  const CStmObjNode* end = element ? model->GetNode(element->GetIdNodeEnd()) : nullptr;
  if (!begin || !end) return;
  CStmEntityElement* entity = manager->GetEntElement(begin->GetCoord(), end->GetCoord(), nullptr);
  if (!entity) return;
  SelectionObj({entity}, flag, &manager->GetSelectMap(), 2);
}

void CStmUbRenderer::SelectAllNode() { SelectAllOfKind(CStmEntityObject::kKindNode, 1); }
void CStmUbRenderer::SelectAllElement() { SelectAllOfKind(CStmEntityObject::kKindElement, 1); }
void CStmUbRenderer::DeselectAllNode() { SelectAllOfKind(CStmEntityObject::kKindNode, 0); }
void CStmUbRenderer::DeselectAllElement() { SelectAllOfKind(CStmEntityObject::kKindElement, 0); }
void CStmUbRenderer::DeselectAllRestraint() { DeselectAllNode(); }
void CStmUbRenderer::DeselectAllSpring() { DeselectAllNode(); }
void CStmUbRenderer::DeselectAllBearingPlate() { DeselectAllNode(); }

// The node ids of every record of a map whose records carry one.
template <class Map>
static std::set<int> NodeIdsOf(const Map& records) {
  std::set<int> ids;
  for (const auto& entry : records) ids.insert(entry.second->GetIdNode());
  return ids;
}

void CStmUbRenderer::SelectAllRestraint() {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || GetActionTypeCur() != kActionSelect) return;
  manager->SelectNewNode(NodeIdsOf(model->GetRestraints()));
  InvalidateAllWnd();
}

void CStmUbRenderer::SelectAllSpring() {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || GetActionTypeCur() != kActionSelect) return;
  manager->SelectNewNode(NodeIdsOf(model->GetSprings()));
  InvalidateAllWnd();
}

void CStmUbRenderer::SelectAllBearingPlate() {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || GetActionTypeCur() != kActionSelect) return;
  manager->SelectNewNode(NodeIdsOf(model->GetBearingPlates()));
  InvalidateAllWnd();
}

void CStmUbRenderer::SelectRestraintGroup(int index) {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || GetActionTypeCur() != kActionSelect) return;
  const std::vector<std::vector<int>> groups = model->GetRestraintGroup();
  if (index < 0 || index >= static_cast<int>(groups.size())) return;
  const std::vector<int>& group = groups[static_cast<size_t>(index)];
  manager->SelectNewNode(std::set<int>(group.begin(), group.end()));
}

void CStmUbRenderer::SelectSpringGroup(int index) {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || GetActionTypeCur() != kActionSelect) return;
  const std::vector<std::vector<int>> groups = model->GetSpringGroup();
  if (index < 0 || index >= static_cast<int>(groups.size())) return;
  const std::vector<int>& group = groups[static_cast<size_t>(index)];
  manager->SelectNewNode(std::set<int>(group.begin(), group.end()));
}

void CStmUbRenderer::SelectAllStrutTie(EStmTypeElement type) {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model) return;
  manager->SelectRemoveAll();
  // Struts and ties are known only while analysis results stand.
  if (model->IsLock() && GetActionTypeCur() == kActionSelect) {
    const int loadCase = manager->GetIndexLoadConditionResult();
    using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
    for (const auto& entry : manager->GetEttMap(static_cast<Kind>(CStmEntityObject::kKindElement))) {
      auto* entity = dynamic_cast<CStmEntityElement*>(entry.second);
      const CStmObjElement* element = entity ? model->GetElement(entity->GetIdStm()) : nullptr;
      if (element && element->GetType(loadCase) == type) manager->SelectEtt(entity, 1);
    }
  }
  SelectionChanged();
}

void CStmUbRenderer::SelectBoundary(EStmTypeBoundary type, int index, int select) {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || GetActionTypeCur() != kActionSelect) return;
  int target = -1;
  if (index > -1) {
    const CStmObjBoundary* record = model->GetBoundaryObj(type, index, 1);
    if (!record) return;
    target = record->GetId();
  }
  using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
  for (const auto& entry : manager->GetEttMap(static_cast<Kind>(CStmEntityObject::kKindBoundary))) {
    auto* boundary = dynamic_cast<CStmEntityBoundary*>(entry.second);
    if (!boundary || boundary->GetType() != type) continue;
    if (target != -1 && boundary->GetIdStm() != target) continue;
    manager->SelectEtt(boundary, select);
    if (target != -1) break;
  }
  SelectionChanged();
}

void CStmUbRenderer::SelectArea(int index, int select) {
  CStmUbManager* manager = GetUbManager();
  CStmModel* model = manager ? manager->GetStmModel() : nullptr;
  if (!model || GetActionTypeCur() != kActionSelect) return;
  int target = -1;
  if (index > -1) {
    const CStmObjArea* record = model->GetPropertyArea(index, 1);
    if (!record) return;
    target = record->GetId();
  }
  using Kind = CUbEntityObj::TYPE_ENTITY_OBJ;
  for (const auto& entry : manager->GetEttMap(static_cast<Kind>(CStmEntityObject::kKindArea))) {
    auto* area = AsStm(entry.second);
    if (!area || (target != -1 && area->GetIdStm() != target)) continue;
    manager->SelectEtt(area, select);
    if (target != -1) break;
  }
  SelectionChanged();
}

void CStmUbRenderer::SelectPrevious() {
  CStmUbManager* manager = GetUbManager();
  if (!manager) return;
  for (const CString& key : manager->GetPreviousSelection()) {
    if (CUbEntityObj* entity = manager->GetEtt(key)) manager->SelectEtt(entity, 1);
  }
  SelectionChanged();
}

void CStmUbRenderer::ClearSelection() {
  CStmUbManager* manager = GetUbManager();
  if (!manager || GetActionTypeCur() != kActionSelect) return;
  manager->SelectRemoveAll();
  SelectionChanged();
}

// ---------------------------------------------------------------------------------------------
// Cursors

void CStmUbRenderer::DrawAddCursor(const CVector& pos) {
  if (GetActionTypeCur() == kActionSelect) return;
  CUbRenderWnd::DrawAddCursor(pos);
}

void CStmUbRenderer::DrawOSnapCursor(const CVector& pos, int stamp, long type, long slot, CVector colour) {
  if (IsSnapStampDrawn(slot, stamp)) return;
  if (type >= 0) SetOSnapType(type);
  const long current = GetOSnapType();
  if (current < 0 || !OpenGLRenderStart()) return;
  DrawAddCursor(pos);

  GLint previousOp = GL_COPY;
  GLint previousBuffer = GL_BACK;
  glGetIntegerv(GL_LOGIC_OP_MODE, &previousOp);
  glGetIntegerv(GL_DRAW_BUFFER, &previousBuffer);
  const GLboolean smooth = glIsEnabled(GL_LINE_SMOOTH);
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_LIGHTING);
  glLineWidth(1.0f);
  glEnable(GL_COLOR_LOGIC_OP);
  glLogicOp(GL_XOR);
  glDisable(GL_DEPTH_TEST);
  // Drawn over what is on screen, so that the same XOR stroke takes it away again.
  glDrawBuffer(GL_FRONT);
  DrawSnapGlyph(current, pos, colour);
  glEnable(GL_DEPTH_TEST);
  glLogicOp(static_cast<GLenum>(previousOp));
  glDisable(GL_COLOR_LOGIC_OP);
  glDrawBuffer(static_cast<GLenum>(previousBuffer));
  glEnable(GL_LIGHTING);
  if (smooth) glEnable(GL_LINE_SMOOTH);
  glFinish();
  SetSnapStamp(slot, stamp);
  OpenGLRenderEnd();
}

// ---------------------------------------------------------------------------------------------
// Model symbols

// The painter is made per pass: it holds no state between frames, and the manager it draws
// for may be attached or replaced at any time.
CStmModelPainter CStmUbRenderer::Painter() { return CStmModelPainter(GetUbManager(), this, m_colorSet); }

void CStmUbRenderer::RenderRestraint() { Painter().RenderRestraint(); }
void CStmUbRenderer::RenderSpring() { Painter().RenderSpring(); }
void CStmUbRenderer::RenderLoad(int pick) { Painter().RenderLoad(pick); }
void CStmUbRenderer::RenderLoadUserInput() { Painter().RenderLoadUserInput(); }
void CStmUbRenderer::RenderMark() { Painter().RenderMark(); }
void CStmUbRenderer::DrawBoundarySegment() { Painter().DrawBoundarySegment(); }
void CStmUbRenderer::DrawCoordinate() { Painter().DrawCoordinate(); }
void CStmUbRenderer::DrawPolygon(const std::vector<CVector>& pts, int fill) { Painter().DrawPolygon(pts, fill); }
void CStmUbRenderer::DrawPolygon(const std::vector<CDPoint>& pts, int fill) { Painter().DrawPolygon(pts, fill); }
void CStmUbRenderer::ExtendViewRange(CCubeRange& range) { Painter().ExtendViewRange(range); }

// ---------------------------------------------------------------------------------------------
// Analysis results

CStmResultPainter CStmUbRenderer::ResultPainter() { return CStmResultPainter(GetUbManager(), this, m_colorSet); }

void CStmUbRenderer::RunResultLayer(EStmDisplayList slot, void (CStmResultPainter::*layer)()) {
  CStmUbManager* manager = GetUbManager();
  if (!manager) return;
  // Each layer runs in a deferred pass of its own, so that the many cells and segments of a
  // field make few GL state changes, and leaves GL as it found it.
  CUbGlState::CPass pass(false);
  CStmResultPainter painter = ResultPainter();
  if (slot == STM_LIST_COUNT) {
    (painter.*layer)();
    return;
  }
  GLuint& list = m_arCallList[static_cast<size_t>(slot)];
  if (!m_bImmediateDraw && list != kNoList) {
    CUbGlState::CImmediate replay;
    glCallList(list);
    return;
  }
  if (manager->IsDirectDraw()) {
    (painter.*layer)();
    return;
  }
  // A list records GL as it is, so the layer then draws without the deferred state; a list
  // opened here is closed here, whatever the immediate-drawing flag says.
  CUbGlState::CImmediate record;
  if (list != kNoList) glDeleteLists(list, 1);
  list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  (painter.*layer)();
  glEndList();
  glCallList(list);
}

void CStmUbRenderer::RenderEffectiveWidthMax() {
  RunResultLayer(STM_LIST_EFFECTIVE_WIDTH, &CStmResultPainter::RenderEffectiveWidthMax);
}
void CStmUbRenderer::RenderEffectiveWidth() {
  RunResultLayer(STM_LIST_EFFECTIVE_WIDTH, &CStmResultPainter::RenderEffectiveWidth);
}
void CStmUbRenderer::RenderNodalZoneMax() { RunResultLayer(STM_LIST_NODAL_ZONE, &CStmResultPainter::RenderNodalZoneMax); }
void CStmUbRenderer::RenderNodalZone() { RunResultLayer(STM_LIST_NODAL_ZONE, &CStmResultPainter::RenderNodalZone); }
void CStmUbRenderer::RenderESO() { RunResultLayer(STM_LIST_ESO_CONTOUR, &CStmResultPainter::RenderESO); }
// The zones, flow and mesh are not cached.
void CStmUbRenderer::RenderResultNodalZone() {
  RunResultLayer(STM_LIST_COUNT, &CStmResultPainter::RenderResultNodalZone);
}
void CStmUbRenderer::RenderStressFlow() { RunResultLayer(STM_LIST_COUNT, &CStmResultPainter::RenderStressFlow); }
void CStmUbRenderer::RenderMesh() { RunResultLayer(STM_LIST_COUNT, &CStmResultPainter::RenderMesh); }
void CStmUbRenderer::RenderResult(int pick) {
  if (pick == 0) RunResultLayer(STM_LIST_ANALYSIS_RESULT, &CStmResultPainter::RenderAxialForces);
}
