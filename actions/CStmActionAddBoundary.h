// The outline tools: the user selects a closed chain of elements and confirms with the right
// button; the chain becomes the member's outer outline or an opening in it. Refusals are told in
// a message box and change nothing.
#pragma once

#include <vector>

#include "geometry/CVector.h"
#include "host/framework/CUbActionNormal.h"
#include "host/model/StmModelTypes.h"

class CStmUbManager;

class CStmActionAddBoundary : public CUbActionNormal {
public:
  // The id the window knows each tool by, sent to the main window with the outcome.
  static constexpr long kActionOuter = 49;
  static constexpr long kActionInner = 50;
  static constexpr long kActionArea = 54;
  // What the main window is told after a run: the tool's id and 1 when something was added.
  static constexpr UINT kMsgAdded = 0x5F4;

  void SetType(EStmTypeBoundary type) { m_eType = type; }
  EStmTypeBoundary GetType() const { return m_eType; }

  void InitAction(CUbRenderWnd* wnd) override;
  // Left presses start a pick like the selection tool's; the release adds to the chain.
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnRButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnTimer(CUbRenderWnd* wnd) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;
  // The right button confirms here, so it must never open a menu.
  int IsEnableContextMeun() override { return 0; }
  // 1 when the outline (or area) was added.
  virtual int RunAcition(CUbRenderWnd* wnd);

  // 1 when the selected elements form one closed, simple chain; otherwise the places where they
  // do not are marked.
  int CheckSelectedLineClosed(CUbRenderWnd* wnd);
  // 1 when the new outline may be added beside the outlines already there.
  int CheckCrossOtherBoundary(CUbRenderWnd* wnd);
  int MakeboundaryBySelectedElement(CUbRenderWnd* wnd);
  int MakeAreaBySelectedElement(CUbRenderWnd* wnd);
  int CheckCrossOtherArea(CUbRenderWnd* wnd);
  // Non-zero when a vertex of one polygon lies inside the other; a vertex on the other's outline
  // ends that side's test.
  int IsCross(std::vector<CVector> a, std::vector<CVector> b);

protected:
  static CStmUbManager* GetStmManager(CUbRenderWnd* wnd);
  // Back to the selection tool and tell the main window how it went.
  void Finish(CUbRenderWnd* wnd, long actionId, int result);

private:
  EStmTypeBoundary m_eType = STM_BOUNDARY_OUTER;
};
