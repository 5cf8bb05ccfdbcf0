// The render window: camera, frame, picking and input dispatch.
#include "host/framework/CUbRenderWnd.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "host/framework/CUbActionBase.h"
#include "host/framework/CUbManage.h"
#include "host/platform/CUiHost.h"

namespace {
// Far enough that nothing of a model lies outside the depth range.
constexpr double kDepthRange = 1.0e6;
constexpr double kZoomAllMargin = 1.1;
constexpr size_t kInitialSelectBuffer = 4096;
// How far, in pixels, an entity drawn for picking may reach beyond its range: a wide point
// reaches half its size. Names reach further but are not meant to be picked by.
constexpr double kPickMarginPixels = 8.0;

void ColorOf(COLORREF c, double rgb[3]) {
  rgb[0] = (c & 0xFF) / 255.0;
  rgb[1] = ((c >> 8) & 0xFF) / 255.0;
  rgb[2] = ((c >> 16) & 0xFF) / 255.0;
}
}  // namespace

CUbRenderWnd::CUbRenderWnd() = default;

CUbRenderWnd::~CUbRenderWnd() {
  if (m_pSurface && m_pSurface->MakeCurrent()) {
    if (m_pManage) RemoveAllDataCallList(GetWndIndex());
    DeleteEraseBackList();
  }
  if (m_pManage) m_pManage->RemoveRenderWnd(this);
}

int CUbRenderWnd::Create(CUbManage* manage, std::unique_ptr<CUbSurface> surface) {
  if (!manage || !surface || m_pManage) return -1;
  m_pManage = manage;
  m_pSurface = std::move(surface);
  return manage->AddRenderWnd(this);
}

int CUbRenderWnd::GetWndIndex() const { return m_pManage ? m_pManage->GetRenderWndIndex(this) : -1; }
int CUbRenderWnd::GetWidth() const { return m_pSurface ? m_pSurface->GetWidth() : 0; }
int CUbRenderWnd::GetHeight() const { return m_pSurface ? m_pSurface->GetHeight() : 0; }

CUbActionBase* CUbRenderWnd::GetActionCurrent() const {
  return m_pManage ? m_pManage->GetActionCurrent() : nullptr;
}

long CUbRenderWnd::GetActionTypeCur() const { return m_pManage ? m_pManage->GetActionTypeCur() : -1; }

// ---------------------------------------------------------------------------------------------
// Camera

void CUbRenderWnd::SetViewScale(double scale) {
  if (!(scale > 0.0) || !std::isfinite(scale)) return;
  m_dViewScale = scale;
  Invalidate();
}

void CUbRenderWnd::ModelToPlane(const CVector& p, double& u, double& v) const {
  switch (m_eViewPos) {
    case VIEW_POS_YZ: u = p.y; v = p.z; break;
    case VIEW_POS_XZ: u = p.x; v = p.z; break;
    default: u = p.x; v = p.y; break;
  }
}

CVector CUbRenderWnd::GetViewNormal() const {
  switch (m_eViewPos) {
    case VIEW_POS_YZ: return {1.0, 0.0, 0.0};
    case VIEW_POS_XZ: return {0.0, -1.0, 0.0};
    default: return {0.0, 0.0, 1.0};
  }
}

CPoint CUbRenderWnd::ExtToClient(const CVector& p) const {
  double u = 0.0, v = 0.0;
  ModelToPlane(p, u, v);
  const double wx = GetWidth() * 0.5 + (u - m_dCenterU) / m_dViewScale;
  const double wy = GetHeight() * 0.5 - (v - m_dCenterV) / m_dViewScale;
  // A typed point may lie far outside the view, further than a pixel number reaches.
  const auto pixel = [](double w) { return static_cast<int>(std::clamp(std::floor(w), -1e9, 1e9)); };
  return {pixel(wx), pixel(wy)};
}

CVector CUbRenderWnd::ClientToExt(const CPoint& pt, double depth) const {
  const double u = m_dCenterU + (pt.x + 0.5 - GetWidth() * 0.5) * m_dViewScale;
  const double v = m_dCenterV - (pt.y + 0.5 - GetHeight() * 0.5) * m_dViewScale;
  switch (m_eViewPos) {
    case VIEW_POS_YZ: return {depth, u, v};
    case VIEW_POS_XZ: return {u, depth, v};
    default: return {u, v, depth};
  }
}

void CUbRenderWnd::SetViewPos(VIEW_POS pos) {
  m_eViewPos = pos;
  Invalidate();
}

void CUbRenderWnd::Pan(int dx, int dy) {
  m_dCenterU -= dx * m_dViewScale;
  m_dCenterV += dy * m_dViewScale;
  Invalidate();
}

void CUbRenderWnd::ZoomAt(const CPoint& pt, double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return;
  double u = 0.0, v = 0.0;
  ModelToPlane(ClientToExt(pt, 0.0), u, v);
  m_dViewScale *= factor;
  m_dCenterU = u - (pt.x + 0.5 - GetWidth() * 0.5) * m_dViewScale;
  m_dCenterV = v + (pt.y + 0.5 - GetHeight() * 0.5) * m_dViewScale;
  Invalidate();
}

void CUbRenderWnd::MovePerspectivePos(UINT key) {
  const int stepX = std::max(1, GetWidth() / 10);
  const int stepY = std::max(1, GetHeight() / 10);
  switch (static_cast<int>(key)) {
    case VK_LEFT: Pan(-stepX, 0); break;
    case VK_RIGHT: Pan(stepX, 0); break;
    case VK_UP: Pan(0, -stepY); break;
    case VK_DOWN: Pan(0, stepY); break;
    default: break;
  }
}

void CUbRenderWnd::ZoomAll(long) {
  if (!m_pManage) return;
  const CCubeRange* range = m_pManage->GetViewRange(GetWndIndex());
  if (!range || range->IsEmpty() || GetWidth() <= 0 || GetHeight() <= 0) return;
  double uMin = 0.0, vMin = 0.0, uMax = 0.0, vMax = 0.0;
  ModelToPlane(range->GetMin(), uMin, vMin);
  ModelToPlane(range->GetMax(), uMax, vMax);
  m_dCenterU = (uMin + uMax) * 0.5;
  m_dCenterV = (vMin + vMax) * 0.5;
  const double scale = std::max((uMax - uMin) / GetWidth(), (vMax - vMin) / GetHeight()) * kZoomAllMargin;
  // A range without extent in the plane keeps the current scale and is only centred.
  if (scale > 0.0) m_dViewScale = scale;
  Invalidate();
}

void CUbRenderWnd::SetupCamera() const {
  const int w = GetWidth(), h = GetHeight();
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(m_dCenterU - w * 0.5 * m_dViewScale, m_dCenterU + w * 0.5 * m_dViewScale,
          m_dCenterV - h * 0.5 * m_dViewScale, m_dCenterV + h * 0.5 * m_dViewScale, -kDepthRange, kDepthRange);
  glMatrixMode(GL_MODELVIEW);
  // Rows map model x, y, z to the view's right, up and towards-the-viewer axes.
  GLdouble m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  if (m_eViewPos == VIEW_POS_YZ) {
    const GLdouble yz[16] = {0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    std::copy(yz, yz + 16, m);
  } else if (m_eViewPos == VIEW_POS_XZ) {
    const GLdouble xz[16] = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    std::copy(xz, xz + 16, m);
  }
  glLoadMatrixd(m);
}

// ---------------------------------------------------------------------------------------------
// Frame

int CUbRenderWnd::OpenGLRenderStart() {
  if (!m_pSurface) return 0;
  if (m_nRenderDepth == 0) {
    if (!m_pSurface->MakeCurrent()) return 0;
    SetupCamera();
  }
  ++m_nRenderDepth;
  return 1;
}

void CUbRenderWnd::OpenGLRenderEnd() {
  if (m_nRenderDepth > 0) --m_nRenderDepth;
}

void CUbRenderWnd::SetBackColor(COLORREF top, COLORREF bottom) {
  // Frames hand the colours over every time; only a change needs the gradient compiled again.
  if (top == m_crBackTop && bottom == m_crBackBottom) return;
  m_crBackTop = top;
  m_crBackBottom = bottom;
  DeleteEraseBackList();
  Invalidate();
}

void CUbRenderWnd::DeleteEraseBackList() {
  if (m_nEraseBackList != 0 && m_pSurface && m_pSurface->MakeCurrent()) glDeleteLists(m_nEraseBackList, 1);
  m_nEraseBackList = 0;
}

void CUbRenderWnd::DrawBackground() {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  if (m_nEraseBackList != 0) {
    glCallList(m_nEraseBackList);
  } else {
    // The gradient never changes between colour changes, so it is compiled once.
    m_nEraseBackList = glGenLists(1);
    glNewList(m_nEraseBackList, GL_COMPILE_AND_EXECUTE);
    double top[3], bottom[3];
    ColorOf(m_crBackTop, top);
    ColorOf(m_crBackBottom, bottom);
    glBegin(GL_QUADS);
    glColor3dv(bottom);
    glVertex2d(-1.0, -1.0);
    glVertex2d(1.0, -1.0);
    glColor3dv(top);
    glVertex2d(1.0, 1.0);
    glVertex2d(-1.0, 1.0);
    glEnd();
    glEndList();
  }
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

void CUbRenderWnd::Render() {
  if (!OpenGLRenderStart()) return;
  // Passes start with lighting and depth test on; colour material keeps glColor visible even
  // for a pass that leaves lighting on.
  glEnable(GL_LIGHT0);
  glEnable(GL_COLOR_MATERIAL);
  DrawBackground();
  CUbActionBase* action = GetActionCurrent();
  // Previews lie under the scene.
  if (action) action->RenderPre(this);
  RenderNoDepth(0);
  DrawCoordinate();
  RenderOwner();
  // Rubber lines, bands and grips lie over the scene.
  if (action) action->RenderPost(this, 0);
  // The snap marker comes last so that nothing hides it.
  if (m_nSnapType >= 0) DrawOSnapCursor(m_vSnapPos, ++m_nFrame, m_nSnapType, 0, CVector(1.0, 1.0, 1.0));
  glFinish();
  m_pSurface->SwapBuffers();
  m_bInvalid = false;
  OpenGLRenderEnd();
}

void CUbRenderWnd::RenderNoDepth(int pick) {
  if (!m_pManage) return;
  const long index = GetWndIndex();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  const auto draw = [&](CUbEntityObj* entity) {
    if (!entity->IsVisible() || entity->IsDrawVerify(index)) return;
    if (pick) {
      if (!entity->IsPickable()) return;
      glLoadName(entity->GetHandle());
    }
    entity->DrawEntity(index);
  };
  if (const std::vector<CUbEntityObj*>* candidates = pick ? GetPickCandidates() : nullptr) {
    for (CUbEntityObj* entity : *candidates) draw(entity);
  } else {
    for (const auto& entry : m_pManage->GetEttMap()) draw(entry.second);
  }
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

void CUbRenderWnd::RenderOwner() {}

void CUbRenderWnd::DrawCoordinate() {
  // The triad is laid out in pixels at the lower-left corner, whatever the zoom.
  const double s = m_dViewScale;
  const CVector origin = ClientToExt(CPoint(30, GetHeight() - 30), 0.0);
  CVector right, up;
  switch (m_eViewPos) {
    case VIEW_POS_YZ: right = {0, 1, 0}; up = {0, 0, 1}; break;
    case VIEW_POS_XZ: right = {1, 0, 0}; up = {0, 0, 1}; break;
    default: right = {1, 0, 0}; up = {0, 1, 0}; break;
  }
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
  glBegin(GL_LINES);
  glColor3d(std::fabs(right.x), std::fabs(right.y), std::fabs(right.z));
  glVertex3d(origin.x, origin.y, origin.z);
  const CVector r = origin + right * (20.0 * s);
  glVertex3d(r.x, r.y, r.z);
  glColor3d(std::fabs(up.x), std::fabs(up.y), std::fabs(up.z));
  glVertex3d(origin.x, origin.y, origin.z);
  const CVector t = origin + up * (20.0 * s);
  glVertex3d(t.x, t.y, t.z);
  glEnd();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

namespace {
// The two in-plane axes of a view, scaled.
void PlaneAxes(CUbRenderWnd::VIEW_POS pos, double h, CVector& u, CVector& v) {
  u = {h, 0.0, 0.0};
  v = {0.0, h, 0.0};
  if (pos == CUbRenderWnd::VIEW_POS_YZ) {
    u = {0.0, h, 0.0};
    v = {0.0, 0.0, h};
  } else if (pos == CUbRenderWnd::VIEW_POS_XZ) {
    v = {0.0, 0.0, h};
  }
}

void Vertex(const CVector& p) { glVertex3d(p.x, p.y, p.z); }
}  // namespace

void CUbRenderWnd::DrawPlanRectOnDC(CVector pos) {
  const int half = m_pManage ? m_pManage->GetSelectSize().cx : 7;
  CVector u, v;
  PlaneAxes(m_eViewPos, half * m_dViewScale, u, v);
  glBegin(GL_LINE_LOOP);
  Vertex(pos - u - v);
  Vertex(pos + u - v);
  Vertex(pos + u + v);
  Vertex(pos - u + v);
  glEnd();
}

void CUbRenderWnd::DrawAddCursor(const CVector& pos) {
  if (!OpenGLRenderStart()) return;
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
  glColor3d(1.0, 1.0, 1.0);
  CVector u, v;
  PlaneAxes(m_eViewPos, 20.0 * m_dViewScale, u, v);
  glBegin(GL_LINES);
  Vertex(pos - u);
  Vertex(pos + u);
  Vertex(pos - v);
  Vertex(pos + v);
  glEnd();
  DrawPlanRectOnDC(pos);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  OpenGLRenderEnd();
}

void CUbRenderWnd::DrawOSnapCursor(const CVector& pos, int stamp, long type, long slot, CVector colour) {
  auto it = m_mapSnapStamp.find(slot);
  if (it != m_mapSnapStamp.end() && it->second == stamp) return;
  if (type < 0 || !OpenGLRenderStart()) return;
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glLineWidth(1.0f);
  DrawSnapGlyph(type, pos, colour);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  m_mapSnapStamp[slot] = stamp;
  OpenGLRenderEnd();
}

void CUbRenderWnd::DrawSnapGlyph(long type, const CVector& pos, const CVector& colour) {
  const double h = ((m_pManage ? m_pManage->GetSelectSize().cx : 7) + 1) * m_dViewScale;
  CVector u, v;
  PlaneAxes(m_eViewPos, h, u, v);
  const CVector a = pos - u - v, b = pos - u + v, c = pos + u + v, d = pos + u - v;
  glColor3d(colour.x, colour.y, colour.z);
  switch (type) {
    case CUbManage::kGlyphEnd:
      glColor3d(1.0, 1.0, 0.0);
      glBegin(GL_LINE_STRIP); Vertex(a); Vertex(b); Vertex(c); glEnd();
      break;
    case CUbManage::kGlyphMid:
      glColor3d(1.0, 0.0, 1.0);
      glBegin(GL_LINE_LOOP); Vertex((a + d) * 0.5); Vertex((a + b) * 0.5); Vertex((b + c) * 0.5); Vertex((c + d) * 0.5); glEnd();
      break;
    case CUbManage::kGlyphNode:
      glColor3d(0.0, 1.0, 0.0);
      glBegin(GL_LINE_LOOP); Vertex(a); Vertex(b); Vertex(c); Vertex(d); glEnd();
      glBegin(GL_LINES); Vertex(a); Vertex(c); Vertex(b); Vertex(d); glEnd();
      break;
    case CUbManage::kGlyphCross:
      glBegin(GL_LINES); Vertex(a); Vertex(c); Vertex(b); Vertex(d); glEnd();
      break;
    case CUbManage::kGlyphPer:
      glColor3d(1.0, 1.0, 0.0);
      glBegin(GL_LINE_STRIP); Vertex(a); Vertex(c); Vertex(b); Vertex(d); Vertex(a); glEnd();
      break;
    default:
      break;
  }
}

bool CUbRenderWnd::IsSnapStampDrawn(long slot, int stamp) const {
  auto it = m_mapSnapStamp.find(slot);
  return it != m_mapSnapStamp.end() && it->second == stamp;
}

void CUbRenderWnd::SetOSnapCursor(const CVector& pos, long type) {
  m_vSnapPos = pos;
  m_nSnapType = type;
  Invalidate();
}

void CUbRenderWnd::ResetOsnapCursor() {
  m_nSnapType = -1;
  m_mapSnapStamp.clear();
  Invalidate();
}

void CUbRenderWnd::DrawLine(const CVector& a, const CVector& b, double width, const CVector& colour, int logicOp) {
  if (!OpenGLRenderStart()) return;
  GLint previousOp = GL_COPY;
  glGetIntegerv(GL_LOGIC_OP_MODE, &previousOp);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_COLOR_LOGIC_OP);
  glLogicOp(static_cast<GLenum>(logicOp));
  glLineWidth(static_cast<GLfloat>(width));
  glColor3d(colour.x, colour.y, colour.z);
  glBegin(GL_LINES);
  Vertex(a);
  Vertex(b);
  glEnd();
  glFlush();
  glLineWidth(1.0f);
  glLogicOp(static_cast<GLenum>(previousOp));
  glDisable(GL_COLOR_LOGIC_OP);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  OpenGLRenderEnd();
}

void CUbRenderWnd::InvalidateAllWnd() {
  if (m_pManage) {
    m_pManage->InvalidateAllWnd();
  } else {
    Invalidate();
  }
}

void CUbRenderWnd::SetRubberBand(const CPoint& press, const CPoint& release, bool active) {
  m_ptBandPress = press;
  m_ptBandRelease = release;
  m_bBandActive = active;
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Display lists

void CUbRenderWnd::RecreateCallListTotal(CUbEntityObj::TYPE_ENTITY_OBJ kind) {
  if (!m_pManage || !OpenGLRenderStart()) return;
  for (const auto& entry : m_pManage->GetEttMap(kind)) entry.second->RecreateCallList(-1);
  OpenGLRenderEnd();
  Invalidate();
}

void CUbRenderWnd::RemoveAllDataCallList(long index) {
  if (!m_pManage || !OpenGLRenderStart()) return;
  for (const auto& entry : m_pManage->GetEttMap()) entry.second->DeleteCallList(index);
  OpenGLRenderEnd();
}

void CUbRenderWnd::CreateAllDataCallList(long index) {
  // Compiling happens inside the entities' draw; with direct drawing there is nothing to build.
  if (!m_pManage || m_pManage->IsDirectDraw() || !OpenGLRenderStart()) return;
  if (index < 0) index = GetWndIndex();
  for (const auto& entry : m_pManage->GetEttMap()) entry.second->DrawEntity(index);
  OpenGLRenderEnd();
}

// ---------------------------------------------------------------------------------------------
// Picking

CRect CUbRenderWnd::PointPickRegion(const CPoint& pt, const CSize& box) {
  const int w = std::max(1, box.cx), h = std::max(1, box.cy);
  return CRect(pt.x - w / 2, pt.y - h / 2, pt.x - w / 2 + w, pt.y - h / 2 + h);
}

int CUbRenderWnd::SelectionPoint(const CPoint& pt, const CSize& box, long maxHits, int flag, CMapStringToPtr* map,
                                 long mode) {
  m_bPickInside = false;
  return RunSelection(PointPickRegion(pt, box), maxHits, flag, map, mode);
}

int CUbRenderWnd::HoverPoint(const CPoint& pt, const CSize& box) {
  if (!m_pManage) return 0;
  return SelectionPoint(pt, box, -1, 0, &m_pManage->GetHoverMap(), kSelectHover);
}

int CUbRenderWnd::SelectionRect(const CPoint& p1, const CPoint& p2, int inside, int flag, CMapStringToPtr* map,
                                long mode) {
  CRect region(p1, p2);
  region.NormalizeRect();
  // Both corners belong to the band.
  region.right += 1;
  region.bottom += 1;
  m_bPickInside = inside != 0;
  m_rectPick = region;
  const int count = RunSelection(region, -1, flag, map, mode);
  m_bPickInside = false;
  return count;
}

int CUbRenderWnd::RunSelection(const CRect& region, long maxHits, int flag, CMapStringToPtr* map, long mode) {
  if (!m_pManage || !OpenGLRenderStart()) return 0;
  GatherPickCandidates(region);
  const int count = PickCandidatesInRegion(region, maxHits, flag, map, mode);
  OpenGLRenderEnd();
  return count;
}

std::vector<CUbEntityObj*>& CUbRenderWnd::GatherPickCandidates(const CRect& region) {
  m_arPickCandidates.clear();
  if (!m_pManage) return m_arPickCandidates;
  // Only what lies near the region can be hit, so the pass draws only that: a click costs what
  // is under the cursor, not the whole scene. Along the view direction nothing is cut off.
  const CVector a = ClientToExt(CPoint(region.left, region.top), 0.0);
  const CVector b = ClientToExt(CPoint(region.right, region.bottom), 0.0);
  const double margin = (kPickMarginPixels + 1.0) * m_dViewScale;
  CVector lo(std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin, std::min(a.z, b.z) - margin);
  CVector hi(std::max(a.x, b.x) + margin, std::max(a.y, b.y) + margin, std::max(a.z, b.z) + margin);
  const CVector normal = GetViewNormal();
  constexpr double kUnbounded = 1e300;
  if (normal.x != 0.0) lo.x = -kUnbounded, hi.x = kUnbounded;
  if (normal.y != 0.0) lo.y = -kUnbounded, hi.y = kUnbounded;
  if (normal.z != 0.0) lo.z = -kUnbounded, hi.z = kUnbounded;
  m_pManage->GetEttInBox(lo, hi, CUbEntityObj::TYPE_ENTITY_ALL, m_arPickCandidates);
  return m_arPickCandidates;
}

int CUbRenderWnd::PickCandidatesInRegion(const CRect& region, long maxHits, int flag, CMapStringToPtr* map,
                                         long mode) {
  const int height = GetHeight();
  GLint viewport[4] = {0, 0, GetWidth(), height};
  if (m_arSelectBuffer.empty()) m_arSelectBuffer.resize(kInitialSelectBuffer);
  m_bPickFromIndex = true;
  GLint hits = -1;
  while (hits < 0) {
    glSelectBuffer(static_cast<GLsizei>(m_arSelectBuffer.size()), m_arSelectBuffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // The pick region in GL window coordinates, whose rows count from the bottom.
    const double cx = (region.left + region.right) * 0.5;
    const double cy = height - (region.top + region.bottom) * 0.5;
    gluPickMatrix(cx, cy, region.Width(), region.Height(), viewport);
    const int w = GetWidth();
    glOrtho(m_dCenterU - w * 0.5 * m_dViewScale, m_dCenterU + w * 0.5 * m_dViewScale,
            m_dCenterV - height * 0.5 * m_dViewScale, m_dCenterV + height * 0.5 * m_dViewScale, -kDepthRange,
            kDepthRange);
    glMatrixMode(GL_MODELVIEW);
    RenderNoDepth(1);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    hits = glRenderMode(GL_RENDER);
    // An overflowing buffer reports -1: grow it and pick again.
    if (hits < 0) m_arSelectBuffer.resize(m_arSelectBuffer.size() * 2);
  }
  m_bPickFromIndex = false;
  m_arPickCandidates.clear();
  CMapStringToPtr* target = map ? map : &m_pManage->GetSelectMap();
  SetSelectObject(hits, maxHits, flag, target, mode);
  return target->GetCount();
}

void CUbRenderWnd::SetSelectObject(int hits, long maxHits, int flag, CMapStringToPtr* map, long mode) {
  if (!m_pManage) return;
  struct SHit {
    GLuint m_nDepth;
    CUbEntityObj* m_pEntity;
  };
  std::vector<SHit> records;
  size_t pos = 0;
  for (int i = 0; i < hits && pos + 3 <= m_arSelectBuffer.size(); ++i) {
    const GLuint names = m_arSelectBuffer[pos];
    const GLuint minDepth = m_arSelectBuffer[pos + 1];
    CUbEntityObj* entity = nullptr;
    if (names > 0 && pos + 3 + names <= m_arSelectBuffer.size()) {
      entity = m_pManage->GetEttByHandle(m_arSelectBuffer[pos + 3 + names - 1]);
    }
    records.push_back({minDepth, entity});
    pos += 3 + names;
  }
  if (maxHits >= 0 && static_cast<long>(records.size()) > maxHits) {
    // What was drawn last lies on top, so among equal depths it comes first.
    std::reverse(records.begin(), records.end());
    std::stable_sort(records.begin(), records.end(), [](const SHit& a, const SHit& b) {
      if ((a.m_pEntity == nullptr) != (b.m_pEntity == nullptr)) return b.m_pEntity == nullptr;
      return a.m_nDepth < b.m_nDepth;
    });
    records.resize(static_cast<size_t>(maxHits));
  }
  std::vector<CUbEntityObj*> entities;
  for (const SHit& hit : records) {
    if (hit.m_pEntity) entities.push_back(hit.m_pEntity);
  }
  SelectionObj(entities, flag, map, mode);
}

int CUbRenderWnd::SelectionObj(const std::vector<CUbEntityObj*>& entities, int flag, CMapStringToPtr* map, long mode) {
  if (!m_pManage) return 0;
  CMapStringToPtr& selection = m_pManage->GetSelectMap();
  if (!map) map = mode == kSelectHover ? &m_pManage->GetHoverMap() : &selection;
  const bool replaceOnly = (mode & kSelectQuery) != 0 || mode == kSelectHover || map == &m_pManage->GetHoverMap();
  if (replaceOnly) {
    map->RemoveAll();
  } else if (!(flag & MK_CONTROL)) {
    if (map == &selection) {
      m_pManage->ResetSelection(1, 0);
    } else {
      map->RemoveAll();
    }
  }
  int added = 0;
  for (CUbEntityObj* entity : entities) {
    if (m_bPickInside && !entity->IsInRect(m_rectPick)) continue;
    map->SetAt(entity->GetName(), entity);
    if (!replaceOnly && map == &selection) entity->SetSelection(1);
    ++added;
  }
  if (!replaceOnly) InvalidateAllWnd();
  return added;
}

// ---------------------------------------------------------------------------------------------
// Input

CUbActionBase* CUbRenderWnd::SetAction(long id, long param, int init) {
  return m_pManage ? m_pManage->SetAction(this, id, param, init) : nullptr;
}

void CUbRenderWnd::OnLButtonDown(UINT flags, const CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnLButtonDown(this, flags, pt);
}

void CUbRenderWnd::OnLButtonUp(UINT flags, const CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnLButtonUp(this, flags, pt);
}

void CUbRenderWnd::OnRButtonDown(UINT flags, const CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnRButtonDown(this, flags, pt);
}

void CUbRenderWnd::OnRButtonUp(UINT flags, const CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnRButtonUp(this, flags, pt);
}

void CUbRenderWnd::OnMButtonDown(UINT flags, const CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnMButtonDown(this, flags, pt);
}

void CUbRenderWnd::OnMButtonUp(UINT flags, const CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnMButtonUp(this, flags, pt);
}

void CUbRenderWnd::OnMouseMove(UINT flags, CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnMouseMove(this, flags, pt);
}

void CUbRenderWnd::OnMouseWheel(UINT flags, short delta, const CPoint& pt) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnMouseWheel(this, flags, delta, pt);
}

void CUbRenderWnd::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (CUbActionBase* action = GetActionCurrent()) action->OnKeyDown(this, key, repeat, flags);
}

void CUbRenderWnd::OnTimer(UINT id) {
  CUbActionBase* action = GetActionCurrent();
  if (action && id == CUbActionBase::kHoverTimerId) action->OnTimer(this);
}

void CUbRenderWnd::OnSetCursor() {
  CUbActionBase* action = GetActionCurrent();
  if (!action || !action->OnSetCursor(this)) GetUiHost().SetCursor(IDC_NONE);
}
