// The bare selection pass the picks are measured against.
#include "StmBenchScene.h"

#include <GL/glu.h>

#include <algorithm>

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
