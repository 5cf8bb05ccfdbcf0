// The bare selection pass the picks are measured against.
#include "StmBenchScene.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/framework/CUbEttManage.h"

int BareSelectionPass(const CUbEttManage& manage, CUbRenderWnd& wnd, const CPoint& pt, int box,
                      std::vector<GLuint>& buffer) {
  // The candidates the renderer's pick draws: what the index has around the pick region, with
  // the same margin, unbounded along the view direction (y for the lattice's x-z plane).
  const CVector a = wnd.ClientToExt(CPoint(pt.x - box / 2, pt.y - box / 2), 0.0);
  const CVector b = wnd.ClientToExt(CPoint(pt.x - box / 2 + box, pt.y - box / 2 + box), 0.0);
  const double margin = 9.0 * wnd.GetViewScale();
  CVector lo(std::min(a.x, b.x) - margin, -1e300, std::min(a.z, b.z) - margin);
  CVector hi(std::max(a.x, b.x) + margin, 1e300, std::max(a.z, b.z) + margin);
  std::vector<CUbEntityObj*> candidates;
  manage.GetEttInBox(lo, hi, CUbEntityObj::TYPE_ENTITY_ALL, candidates);
  wnd.OpenGLRenderStart();
  const GLint viewport[4] = {0, 0, wnd.GetWidth(), wnd.GetHeight()};
  glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
  glRenderMode(GL_SELECT);
  glInitNames();
  glPushName(0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPickMatrix(pt.x + 0.5, viewport[3] - pt.y - 0.5, box, box, const_cast<GLint*>(viewport));
  const double halfU = viewport[2] * 0.5 * wnd.GetViewScale();
  const double halfV = viewport[3] * 0.5 * wnd.GetViewScale();
  double u = 0, v = 0;
  wnd.GetViewCenter(u, v);
  glOrtho(u - halfU, u + halfU, v - halfV, v + halfV, -1e6, 1e6);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // The lattice lies in the x-z plane: screen right is x, up is z.
  const GLdouble toXz[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
  glMultMatrixd(toXz);
  GLuint name = 1;
  CUbEntityObj::SegmentArray lines;
  for (CUbEntityObj* entity : candidates) {
    glLoadName(name++);
    lines.clear();
    entity->GetBoundLineArray(lines, 0);
    if (!lines.empty()) {
      glBegin(GL_LINES);
      for (const auto& [p, q] : lines) {
        glVertex3d(p.x, p.y, p.z);
        glVertex3d(q.x, q.y, q.z);
      }
      glEnd();
      continue;
    }
    CCubeRange range;
    entity->GetRange(range);
    if (range.IsEmpty()) continue;
    const CVector p = range.GetMin();
    glBegin(GL_POINTS);
    glVertex3d(p.x, p.y, p.z);
    glEnd();
  }
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  const int hits = glRenderMode(GL_RENDER);
  wnd.OpenGLRenderEnd();
  return hits;
}

void AddSyntheticResults(CStmModel& model) {
  model.SetPlane(STM_PLANE_XZ);
  unsigned seed = 12345u;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % 2001u) - 1000;
  };
  const double half = 0.15 * kCell;
  for (const auto& [id, element] : model.GetElements()) {
    const int draw = next();
    // About one in twenty rounds to zero and stays unclassified.
    element->SetResultAxialForces({std::abs(draw) < 50 ? 0.001 : draw * 0.37});
    const CVector a = element->GetNodeBegin()->GetCoord();
    const CVector b = element->GetNodeEnd()->GetCoord();
    const CDPoint d = CDPoint(b.x - a.x, b.z - a.z) * (1.0 / (b - a).Length());
    const CDPoint n(-d.y * half, d.x * half);
    const CDPoint p(a.x, a.z), q(b.x, b.z);
    element->SetEffectiveZones({{p + n, q + n, q - n, p - n}});
  }
  const double r = 0.25 * kCell;
  for (const auto& [id, node] : model.GetNodes()) {
    const CVector c = node->GetCoord();
    std::vector<CDPoint> hexagon;
    for (int k = 0; k < 6; ++k) hexagon.emplace_back(c.x + r * std::cos(k * M_PI / 3.0), c.z + r * std::sin(k * M_PI / 3.0));
    node->SetNodalZones({hexagon});
  }
  model.SetLock(1);
}

namespace {
void BareRegion(const std::vector<CDPoint>& polygon, const CVector& outline, const CVector& fill) {
  if (polygon.size() < 3) return;
  glColor4d(outline.x, outline.y, outline.z, 1.0);
  glBegin(GL_LINE_STRIP);
  for (const CDPoint& p : polygon) glVertex3d(p.x, 0.0, p.y);
  glVertex3d(polygon.front().x, 0.0, polygon.front().y);
  glEnd();
  glColor4d(fill.x, fill.y, fill.z, 0.4);
  glBegin(GL_TRIANGLE_FAN);
  for (const CDPoint& p : polygon) glVertex3d(p.x, 0.0, p.y);
  glEnd();
}
}  // namespace

void BareLayersPass(const CStmModel& model, const std::vector<CVector>& labelQuads) {
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (const auto& [id, element] : model.GetElements()) {
    if (element->IsEnable()) BareRegion(element->GetEffectiveZones().front(), CVector(1, 1, 0), CVector(1, 1, 0));
  }
  for (const auto& [id, node] : model.GetNodes()) {
    if (node->IsEnable()) BareRegion(node->GetNodalZones().front(), CVector(1, 0.2, 0.2), CVector(1, 0.2, 0.2));
  }
  glDisable(GL_BLEND);
  BarePass(model);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(3.0f);
  for (const bool dashed : {true, false}) {
    if (dashed) {
      glEnable(GL_LINE_STIPPLE);
      glLineStipple(10, 0xAAAA);
    }
    glBegin(GL_LINES);
    for (const auto& [id, element] : model.GetElements()) {
      if (!element->IsEnable() || (element->GetType(0) != STM_ELEMENT_TIE) != dashed) continue;
      const EStmTypeElement type = element->GetType(0);
      const double grey = type == STM_ELEMENT_NONE ? 0.5 : 0.0;
      glColor3d(type == STM_ELEMENT_STRUT ? 1.0 : grey, grey, type == STM_ELEMENT_TIE ? 1.0 : grey);
      const CVector a = element->GetNodeBegin()->GetCoord();
      const CVector b = element->GetNodeEnd()->GetCoord();
      glVertex3d(a.x, a.y, a.z);
      glVertex3d(b.x, b.y, b.z);
    }
    glEnd();
    glDisable(GL_LINE_STIPPLE);
  }
  glLineWidth(1.0f);
  glBegin(GL_QUADS);
  for (const CVector& v : labelQuads) glVertex3d(v.x, v.y, v.z);
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}
