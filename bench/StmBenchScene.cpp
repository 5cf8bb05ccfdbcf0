// The bare selection pass the picks are measured against.
#include "StmBenchScene.h"

#include <GL/glu.h>

int BareSelectionPass(const CStmModel& model, CUbRenderWnd& wnd, const CPoint& pt, int box,
                      std::vector<GLuint>& buffer) {
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
  for (const auto& [id, element] : model.GetElements()) {
    if (!element->IsEnable()) continue;
    const CVector a = element->GetCoordBegin(), b = element->GetCoordEnd();
    glLoadName(name++);
    glBegin(GL_LINES);
    glVertex3d(a.x, a.y, a.z);
    glVertex3d(b.x, b.y, b.z);
    glEnd();
  }
  for (const auto& [id, node] : model.GetNodes()) {
    if (!node->IsEnable()) continue;
    const CVector p = node->GetCoord();
    glLoadName(name++);
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
