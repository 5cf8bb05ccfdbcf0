// Actions, pick state and object snapping.
#include "host/framework/CUbManage.h"

#include <cmath>
#include <vector>

#include "host/framework/CUbActionBase.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/platform/CUiHost.h"

CUbManage::CUbManage(long snapMode, long snapMode2) : m_nOSnapMode(snapMode), m_nOSnapMode2(snapMode2) {}

// Actions go before the entities: an action may still refer to entities while it is released.
CUbManage::~CUbManage() { m_mapAction.clear(); }

CUbEntityObj* CUbManage::CreateEntityObj(CString className) {
  const CRuntimeClass* cls = CRuntimeClass::FromName(className.c_str());
  if (!cls || !cls->IsDerivedFrom(RUNTIME_CLASS(CUbEntityObj))) return nullptr;
  CObject* object = cls->CreateObject();
  if (!object) return nullptr;
  auto* entity = static_cast<CUbEntityObj*>(object);
  entity->SetEttManage(this);
  return entity;
}

int CUbManage::AddAction(long id, CUbActionBase* action) {
  if (!action || m_mapAction.count(id)) return 0;
  m_mapAction[id].reset(action);
  return 1;
}

CUbActionBase* CUbManage::GetAction(long id) {
  const auto it = m_mapAction.find(id);
  return it == m_mapAction.end() ? nullptr : it->second.get();
}

CUbActionBase* CUbManage::GetActionCurrent() { return GetAction(m_nActionCur); }

CUbActionBase* CUbManage::SetAction(CUbRenderWnd* wnd, long id, long, int init) {
  CUbActionBase* next = GetAction(id);
  if (!next) return nullptr;
  if (CUbActionBase* previous = GetActionCurrent()) previous->ReleaseAction(wnd);
  m_nActionCur = id;
  if (wnd) wnd->ResetOsnapCursor();
  if (init) next->InitAction(wnd);
  InvalidateAllWnd();
  return next;
}

CRect CUbManage::GetRectCursor(const CPoint& pt) const {
  return CRect(pt.x - m_sizeSelect.cx, pt.y - m_sizeSelect.cy, pt.x + m_sizeSelect.cx + 1,
               pt.y + m_sizeSelect.cy + 1);
}

int CUbManage::GetOSnapPoint(CUbRenderWnd* wnd, const CRect& rect, CVector& out, long mode, int marker, int model) {
  if (!wnd || rect.IsRectEmpty()) return 0;
  const CPoint centrePx = rect.CenterPoint();
  const CVector centre = GetcbCenterVector(-1);
  const CVector pt = wnd->ClientToExt(centrePx, 0.0) - centre;

  CMapStringToPtr found;
  wnd->SelectionPoint(centrePx, rect.Size(), -1, 0, &found, CUbRenderWnd::kSelectQuery | CUbRenderWnd::kSelectRaw);
  std::vector<CUbEntityObj*> entities;
  for (const auto& entry : found) entities.push_back(static_cast<CUbEntityObj*>(entry.second));

  const HWND hwnd = wnd->GetWnd()->GetSafeHwnd();
  CUbActionBase* action = GetActionCurrent();
  // A perpendicular needs a base: the start point of a gesture that already has one.
  const bool hasBase = action && action->GetStep() >= 1;
  const CVector base = m_vStartPoint - centre;

  double ptU = 0.0, ptV = 0.0;
  wnd->ModelToPlane(pt, ptU, ptV);
  long bestGlyph = 0;
  CVector best;
  double bestDist = 0.0;
  // Modes in the order that wins a tie.
  const long order[] = {kSnapNode, kSnapEnd, kSnapCross, kSnapMid, kSnapPer, kSnapNear};
  for (long bit : order) {
    if (!(mode & bit)) continue;
    if (bit == kSnapPer && !hasBase) continue;
    // A point along a segment is always nearer than the node or end it passes, so it counts only
    // where no such point is in the box: a click on a node means the node.
    if (bit == kSnapNear && bestGlyph != 0) continue;
    CVector candidate;
    int first = 1;
    for (CUbEntityObj* e : entities) {
      switch (bit) {
        case kSnapNode: e->GetOsnapNodePoint(pt, candidate, first); break;
        case kSnapEnd: e->GetOsnapEndPoint(pt, candidate, first); break;
        case kSnapMid: e->GetOsnapMidPoint(pt, candidate, first, 0); break;
        case kSnapPer: e->GetOsnapPerPoint(pt, candidate, first, base, hwnd, centrePx.x, centrePx.y, 0); break;
        case kSnapNear: e->GetOsnapNearPoint(pt, candidate, first, hwnd); break;
        case kSnapCross:
          for (CUbEntityObj* other : entities) e->GetOsnapCrossPoint(other, pt, candidate, first);
          break;
        default: break;
      }
    }
    if (first) continue;
    // Only a perpendicular foot may lie outside the pick box: it is where the line ends.
    if (bit != kSnapPer && !rect.PtInRect(wnd->ExtToClient(candidate + centre))) continue;
    double u = 0.0, v = 0.0;
    wnd->ModelToPlane(candidate, u, v);
    const double dist = std::hypot(u - ptU, v - ptV);
    if (bestGlyph == 0 || dist < bestDist) {
      best = candidate;
      bestDist = dist;
      switch (bit) {
        case kSnapNode: bestGlyph = kGlyphNode; break;
        case kSnapEnd: bestGlyph = kGlyphEnd; break;
        case kSnapMid: bestGlyph = kGlyphMid; break;
        case kSnapPer: bestGlyph = kGlyphPer; break;
        case kSnapCross: bestGlyph = kGlyphCross; break;
        default: bestGlyph = kGlyphNear; break;
      }
    }
  }
  if (bestGlyph == 0) {
    if (marker) wnd->SetOSnapCursor(CVector(), -1);
    return 0;
  }
  out = model ? best + centre : best;
  if (marker) wnd->SetOSnapCursor(best + centre, bestGlyph);
  return static_cast<int>(bestGlyph);
}

int CUbManage::TakeTypedPoint(CVector&) { return 0; }

int CUbManage::CheckOsnapSub(CUbRenderWnd* wnd, long flag) {
  if (!wnd) return 0;
  CUbActionBase* action = GetActionCurrent();
  const CPoint pt = action ? action->GetMouseMovePos() : GetUiHost().GetCursorPos();
  CVector out;
  const int kind = GetOSnapPoint(wnd, GetRectCursor(pt), out, m_nOSnapMode, flag != 0, 1);
  if (kind) m_vCursorPoint = out;
  return kind;
}
