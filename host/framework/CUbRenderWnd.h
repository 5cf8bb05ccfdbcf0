// The OpenGL view of a scene: an orthographic camera over one of three model planes, the frame,
// picking through GL selection, and the dispatch of mouse and key input to the current action.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "geometry/CVector.h"
#include "host/framework/CUbEntityObj.h"
#include "host/framework/CUbSurface.h"
#include "host/platform/CMapStringToPtr.h"
#include "host/platform/CRect.h"
#include "host/platform/CWnd.h"
#include "host/platform/WinDefs.h"

class CUbActionBase;
class CUbManage;

class CUbRenderWnd {
public:
  // Which model plane faces the viewer: 0 x-y (right +x, up +y), 2 y-z (right +y, up +z),
  // 4 x-z (right +x, up +z). Other values look at the x-y plane.
  enum VIEW_POS : int { VIEW_POS_XY = 0, VIEW_POS_YZ = 2, VIEW_POS_XZ = 4 };

  // Selection modes of SelectionPoint/SelectionRect/SelectionObj (bits of the last argument).
  static constexpr long kSelectRaw = 0x01;    // derived windows leave the result unfiltered
  static constexpr long kSelectHover = 0x03;  // the value that fills the hover map
  static constexpr long kSelectQuery = 0x40;  // fill the map only; the selection stays as it is

  CUbRenderWnd();
  virtual ~CUbRenderWnd();
  CUbRenderWnd(const CUbRenderWnd&) = delete;
  CUbRenderWnd& operator=(const CUbRenderWnd&) = delete;

  // Joins the manager's windows and draws into the surface from now on. Returns the window's
  // index, or -1 (nothing changed) without a manager or surface or when already created.
  int Create(CUbManage* manage, std::unique_ptr<CUbSurface> surface);
  CUbManage* GetManage() const { return m_pManage; }
  // Called by a manager that is going away before its windows.
  void DetachManage() { m_pManage = nullptr; }
  int GetWndIndex() const;
  CWnd* GetWnd() { return &m_wnd; }
  CUbSurface* GetSurface() const { return m_pSurface.get(); }
  int GetWidth() const;
  int GetHeight() const;

  // Slots derived windows override, in slot order.
  virtual void InvalidateAllWnd();
  // The scene pass, also run for picking (pick non-zero) with each entity's handle as GL name.
  virtual void RenderNoDepth(int pick);
  virtual void SetViewPos(VIEW_POS pos);
  virtual void OnLButtonDown(UINT flags, const CPoint& pt);
  virtual void OnLButtonUp(UINT flags, const CPoint& pt);
  virtual void OnRButtonDown(UINT flags, const CPoint& pt);
  virtual void OnRButtonUp(UINT flags, const CPoint& pt);
  virtual void OnMButtonDown(UINT flags, const CPoint& pt);
  virtual void OnMButtonUp(UINT flags, const CPoint& pt);
  virtual void OnMouseMove(UINT flags, CPoint& pt);
  virtual void OnMouseWheel(UINT flags, short delta, const CPoint& pt);
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  // Fits the view range of this window, with a margin.
  virtual void ZoomAll(long);
  // Turns the hit buffer of the last pick into entities (with more hits than maxHits, the
  // nearest first, ties to the one drawn last) and hands them to SelectionObj.
  virtual void SetSelectObject(int hits, long maxHits, int flag, CMapStringToPtr* map, long mode);
  virtual void RecreateCallListTotal(CUbEntityObj::TYPE_ENTITY_OBJ kind);
  virtual void RemoveAllDataCallList(long);
  virtual void CreateAllDataCallList(long);
  virtual CUbActionBase* SetAction(long id, long param, int init);
  // A small axis triad in the lower-left corner.
  virtual void DrawCoordinate();
  // Outlines the pick box around a model point.
  virtual void DrawPlanRectOnDC(CVector pos);
  // The drawing cursor: a cross-hair and the pick box at a model point.
  virtual void DrawAddCursor(const CVector& pos);
  // The object-snap glyph at a model point; not drawn twice for the same stamp in a slot.
  virtual void DrawOSnapCursor(const CVector& pos, int stamp, long type, long slot, CVector colour);
  // Drawn after the scene and before the action's overlay; the base has nothing to add.
  virtual void RenderOwner();

  // The frame: background, the action's pre-pass, the scene, axes, the action's overlay and the
  // snap marker; then the surface shows it.
  void Render();
  void Invalidate() { m_bInvalid = true; }
  bool IsInvalid() const { return m_bInvalid; }
  // Makes the context current with the camera set (nested calls are counted); 0 on failure.
  int OpenGLRenderStart();
  void OpenGLRenderEnd();

  // Camera. The view scale is model units per pixel; the centre is the in-plane position at
  // the middle of the window.
  VIEW_POS GetViewPos() const { return m_eViewPos; }
  double GetViewScale() const { return m_dViewScale; }
  // Ignores a scale that is not positive and finite.
  void SetViewScale(double scale);
  void GetViewCenter(double& u, double& v) const { u = m_dCenterU; v = m_dCenterV; }
  void SetViewCenter(double u, double v) { m_dCenterU = u; m_dCenterV = v; Invalidate(); }
  // Moves the picture by a number of pixels (the model follows the mouse).
  void Pan(int dx, int dy);
  // Scales the view by factor, keeping the model point under the pixel where it is.
  void ZoomAt(const CPoint& pt, double factor);
  // Arrow keys move the picture by a tenth of the window.
  void MovePerspectivePos(UINT key);
  CVector GetViewNormal() const;
  CPoint ExtToClient(const CVector& p) const;
  // The model point at the centre of a pixel; `depth` is the coordinate along the view normal
  // axis (z, x or y for the three views).
  CVector ClientToExt(const CPoint& pt, double depth) const;
  // The in-plane (right, up) coordinates of a model point.
  void ModelToPlane(const CVector& p, double& u, double& v) const;
  // No user coordinate system here: model directions are view directions.
  CVector ChangeUCSApplyPosition(const CVector& v) const { return v; }

  // Picking. Both run the scene pass in GL selection mode and end in SetSelectObject. maxHits
  // -1 keeps every hit. SelectionRect with `inside` non-zero keeps only what lies inside.
  // Each returns the number of entities put into the map.
  int SelectionPoint(const CPoint& pt, const CSize& box, long maxHits, int flag, CMapStringToPtr* map, long mode);
  // Fills the manager's hover map with everything under the box around pt; a window may answer
  // it otherwise than by the selection pass, as long as the answer is the same.
  virtual int HoverPoint(const CPoint& pt, const CSize& box);
  int SelectionRect(const CPoint& p1, const CPoint& p2, int inside, int flag, CMapStringToPtr* map, long mode);
  // Puts entities into a map: the hover map or a query replace its contents; a selection is
  // replaced unless the flag holds MK_CONTROL, and selection marks follow the current selection.
  int SelectionObj(const std::vector<CUbEntityObj*>& entities, int flag, CMapStringToPtr* map, long mode);
  const std::vector<GLuint>& GetSelectBuffer() const { return m_arSelectBuffer; }
  // While a pick runs: the entities that can be hit, those whose range meets the pick region
  // widened by a few pixels, in registry order. Null otherwise: every entity takes part.
  const std::vector<CUbEntityObj*>* GetPickCandidates() const {
    return m_bPickFromIndex ? &m_arPickCandidates : nullptr;
  }

  // Orthogonal drawing: 0 off, otherwise on (the layer uses 2 and 3).
  void SetVHDraw(int mode) { m_nVHDraw = mode; }
  int GetVHDraw() const { return m_nVHDraw; }
  // Whether line tools may offer the distance prompt.
  void SetDistPrompt(int on) { m_bDistPrompt = on ? 1 : 0; }
  int IsDistPrompt() const { return m_bDistPrompt; }

  // A line drawn at once, outside the frame, with a GL logic operation (GL_COPY, GL_XOR, ...).
  void DrawLine(const CVector& a, const CVector& b, double width, const CVector& colour, int logicOp);

  // The snap marker the frame shows; type < 0 hides it.
  void SetOSnapCursor(const CVector& pos, long type);
  long GetOSnapType() const { return m_nSnapType; }
  const CVector& GetOSnapPos() const { return m_vSnapPos; }
  // Hides the marker and forgets the stamps, so the next one is drawn whatever its stamp.
  void ResetOsnapCursor();

  // The rubber band of a selection gesture, in client pixels.
  void SetRubberBand(const CPoint& press, const CPoint& release, bool active);
  const CPoint& GetRubberBandPress() const { return m_ptBandPress; }
  const CPoint& GetRubberBandRelease() const { return m_ptBandRelease; }
  bool IsRubberBandActive() const { return m_bBandActive; }

  // Background colours (top and bottom of the gradient) and highlight colours.
  void SetBackColor(COLORREF top, COLORREF bottom);
  void DeleteEraseBackList();
  // The compiled gradient, 0 until a frame has drawn it since the last colour change.
  GLuint GetEraseBackList() const { return m_nEraseBackList; }
  void SetHighlightColorLine(const CVector& rgb) { m_vHighlightLine = rgb; }
  const CVector& GetHighlightColorLine() const { return m_vHighlightLine; }
  void SetHighlightColorNode(const CVector& rgb) { m_vHighlightNode = rgb; }
  const CVector& GetHighlightColorNode() const { return m_vHighlightNode; }

  // The hover timer fired (the host calls this), and the cursor shape is asked for.
  void OnTimer(UINT id);
  void OnSetCursor();
  long GetActionTypeCur() const;
  CUbActionBase* GetActionCurrent() const;

protected:
  // The window region SelectionPoint picks in: box pixels centred on pt.
  static CRect PointPickRegion(const CPoint& pt, const CSize& box);
  // The index's entities near the region (with the pick margin), to be picked by
  // PickCandidatesInRegion, which may be given fewer of them.
  std::vector<CUbEntityObj*>& GatherPickCandidates(const CRect& region);
  // The selection pass over the gathered candidates alone, into map (the selection when null);
  // the GL context must be current. Clears the candidates.
  int PickCandidatesInRegion(const CRect& region, long maxHits, int flag, CMapStringToPtr* map, long mode);

  // The snap-kind glyph around pos, sized by the pick box, in the view plane; GL state is the caller's.
  void DrawSnapGlyph(long type, const CVector& pos, const CVector& colour);
  // For derived snap markers: whether this stamp was the last one drawn in the slot, and
  // remembering it; the current snap type without moving the marker.
  bool IsSnapStampDrawn(long slot, int stamp) const;
  void SetSnapStamp(long slot, int stamp) { m_mapSnapStamp[slot] = stamp; }
  void SetOSnapType(long type) { m_nSnapType = type; }

private:
  void SetupCamera() const;
  void DrawBackground();
  int RunSelection(const CRect& region, long maxHits, int flag, CMapStringToPtr* map, long mode);

  CUbManage* m_pManage = nullptr;
  std::unique_ptr<CUbSurface> m_pSurface;
  CWnd m_wnd;
  int m_nRenderDepth = 0;
  bool m_bInvalid = true;

  VIEW_POS m_eViewPos = VIEW_POS_XY;
  double m_dViewScale = 1.0;
  double m_dCenterU = 0.0;
  double m_dCenterV = 0.0;

  std::vector<GLuint> m_arSelectBuffer;
  std::vector<CUbEntityObj*> m_arPickCandidates;
  bool m_bPickFromIndex = false;
  bool m_bPickInside = false;
  CRect m_rectPick;

  int m_nVHDraw = 0;
  int m_bDistPrompt = 0;

  CVector m_vSnapPos;
  long m_nSnapType = -1;
  std::map<long, int> m_mapSnapStamp;
  int m_nFrame = 0;

  CPoint m_ptBandPress, m_ptBandRelease;
  bool m_bBandActive = false;

  COLORREF m_crBackTop = RGB(0, 0, 0);
  COLORREF m_crBackBottom = RGB(40, 40, 60);
  GLuint m_nEraseBackList = 0;
  CVector m_vHighlightLine{1.0, 0.0, 0.0};
  CVector m_vHighlightNode{1.0, 0.0, 0.0};
};
