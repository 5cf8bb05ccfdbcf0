// Grip editing of the selected entities.
#include "host/framework/CSnapPointManage.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <tuple>

#include "host/framework/CUbActionBase.h"
#include "host/framework/CUbManage.h"
#include "host/framework/CUbRenderWnd.h"
#include "host/framework/CUbRenderAPI.h"
#include "host/platform/StmText.h"

namespace {
constexpr int kGripHalfPx = 4;
}

void CSnapPointManage::OnChangeSelectedMember(CUbRenderWnd* wnd) {
  CancelDrag();
  m_arGrip.clear();
  CUbManage* manage = wnd ? wnd->GetManage() : nullptr;
  if (!manage) return;
  // Grips at the same point are one grip with several owners; found through an ordered map so
  // that selecting everything stays n log n instead of a search per point.
  std::map<std::tuple<double, double, double>, size_t> gripAt;
  auto addGrip = [this, &gripAt](const CVector& pos, const CString& key, int vertex) {
    const auto [it, added] = gripAt.emplace(std::make_tuple(pos.x, pos.y, pos.z), m_arGrip.size());
    if (!added) {
      m_arGrip[it->second].m_arOwner.emplace_back(key, vertex);
      return;
    }
    m_arGrip.push_back(SGrip{pos, {{key, vertex}}});
  };
  for (const auto& entry : manage->GetSelectMap()) {
    auto* entity = static_cast<CUbEntityObj*>(entry.second);
    CVectorArray vertices;
    entity->GetSnapMovePointArray(vertices);
    for (int i = 0; i < vertices.GetSize(); ++i) addGrip(vertices[i], entity->GetName(), i);
    CVectorArray whole;
    entity->GetSnapMoveAllPointArray(whole);
    for (int i = 0; i < whole.GetSize(); ++i) addGrip(whole[i], entity->GetName(), -1);
  }
  wnd->Invalidate();
}

void CSnapPointManage::CancelDrag() {
  m_bDragging = false;
  m_nDragGrip = -1;
}

int CSnapPointManage::FindGrip(CUbRenderWnd* wnd, const CPoint& pt) const {
  const CUbManage* manage = wnd->GetManage();
  const int reach = manage ? manage->GetSelectSize().cx : kGripHalfPx;
  int found = -1;
  int bestDist = 0;
  for (size_t i = 0; i < m_arGrip.size(); ++i) {
    const CPoint p = wnd->ExtToClient(m_arGrip[i].m_vPos);
    const int dx = std::abs(p.x - pt.x), dy = std::abs(p.y - pt.y);
    if (dx > reach || dy > reach) continue;
    if (found < 0 || dx + dy < bestDist) {
      found = static_cast<int>(i);
      bestDist = dx + dy;
    }
  }
  return found;
}

int CSnapPointManage::OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) {
  CUbManage* manage = wnd ? wnd->GetManage() : nullptr;
  if (!manage) return 1;
  if (!m_bDragging) {
    const int grip = FindGrip(wnd, pt);
    if (grip < 0) return 1;
    m_nDragGrip = grip;
    m_bDragging = true;
    m_arGripNames.clear();
    for (const auto& owner : m_arGrip[static_cast<size_t>(grip)].m_arOwner) {
      if (std::find(m_arGripNames.begin(), m_arGripNames.end(), owner.first) == m_arGripNames.end())
        m_arGripNames.push_back(owner.first);
    }
    wnd->Invalidate();
    return 0;
  }
  // The drop point is exact: typed, or an object snap in the pick box; elsewhere nothing drops.
  CVector target;
  CUbActionBase* action = manage->GetActionCurrent();
  bool has = false;
  if (action) has = action->OnKeboadInput(wnd, flags, pt, target) != 0;
  if (!has) has = manage->GetOSnapPoint(wnd, manage->GetRectCursor(pt), target, manage->GetOSnapMode(), 0, 1) != 0;
  if (!has) return 0;
  const SGrip grip = m_arGrip[static_cast<size_t>(m_nDragGrip)];
  m_bDragging = false;
  m_nDragGrip = -1;
  Drop(wnd, grip, target);
  // The grips move with their entities; rebuilding keeps the names of what was dropped.
  const std::vector<CString> names = m_arGripNames;
  OnChangeSelectedMember(wnd);
  m_arGripNames = names;
  return 0;
}

void CSnapPointManage::Drop(CUbRenderWnd* wnd, const SGrip& grip, const CVector& target) {
  CUbManage* manage = wnd->GetManage();
  const CVector d = target - grip.m_vPos;
  std::optional<CUbHistoryBracket> bracket;
  if (m_bHistory) bracket.emplace(*manage, StmText("Move"));
  for (const auto& owner : grip.m_arOwner) {
    CUbEntityObj* entity = manage->GetEtt(owner.first);
    if (!entity) continue;  // the entity went away since the grips were made
    if (owner.second < 0) {
      entity->Move(d);
      if (m_bHistory) manage->AddHistory_ActionMoveAllPoint(owner.first, d);
    } else {
      CVector to = target;
      const int atBegin = owner.second == 0 ? 1 : 0;
      entity->MoveOnePoint(grip.m_vPos, to, atBegin);
      if (m_bHistory) manage->AddHistory_ActionOneNode(owner.first, grip.m_vPos, target, atBegin);
    }
  }
  bracket.reset();
  manage->InvalidateAllWnd();
}

void CSnapPointManage::RenderPre(CUbRenderWnd*) {}

void CSnapPointManage::RenderPost(CUbRenderWnd* wnd) {
  if (!wnd || m_arGrip.empty()) return;
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glPointSize(static_cast<GLfloat>(kGripHalfPx * 2 + 1));
  glBegin(GL_POINTS);
  for (size_t i = 0; i < m_arGrip.size(); ++i) {
    if (m_bDragging && static_cast<int>(i) == m_nDragGrip) {
      glColor3d(1.0, 0.0, 0.0);
    } else {
      glColor3d(0.0, 0.4, 1.0);
    }
    const CVector& p = m_arGrip[i].m_vPos;
    glVertex3d(p.x, p.y, p.z);
  }
  glEnd();
  glPointSize(1.0f);
  CUbManage* manage = wnd->GetManage();
  if (m_bDragging && manage) {
    const CVector& from = m_arGrip[static_cast<size_t>(m_nDragGrip)].m_vPos;
    const CVector& to = manage->GetCursorPoint();
    glColor3d(1.0, 0.0, 0.0);
    CUbRenderAPI::DrawLine(from, to);
  }
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}
