// Drawing a transform's preview.
#include "actions/StmTransformPreview.h"

#include <GL/gl.h>

#include "host/framework/CUbRenderWnd.h"

void StmDrawPreview(CUbRenderWnd* wnd, const SStmPreview& preview) {
  if (!wnd || preview.IsEmpty()) return;
  const CVector& colour = wnd->GetHighlightColorLine();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glColor3d(colour.x, colour.y, colour.z);
  glLineWidth(1.0f);
  // Dashed, so that the preview never reads as part of the model.
  glEnable(GL_LINE_STIPPLE);
  glLineStipple(2, 0x5555);
  glBegin(GL_LINES);
  for (const auto& [a, b] : preview.m_arLine) {
    glVertex3d(a.x, a.y, a.z);
    glVertex3d(b.x, b.y, b.z);
  }
  glEnd();
  glDisable(GL_LINE_STIPPLE);
  glPointSize(5.0f);
  glBegin(GL_POINTS);
  for (const CVector& p : preview.m_arNode) glVertex3d(p.x, p.y, p.z);
  glEnd();
  glPointSize(1.0f);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}
