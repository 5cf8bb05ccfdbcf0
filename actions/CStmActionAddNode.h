// The node tool: one node per click at a snapped or typed point; a node placed on an element
// splits it. It stays ready for the next node until another tool is chosen.
#pragma once

#include "geometry/CVector.h"
#include "host/framework/CUbActionBase.h"

class CStmEntityNode;
class CStmUbManager;

class CStmActionAddNode : public CUbActionBase {
public:
  void RenderPost(CUbRenderWnd* wnd, int flag) override;
  void InitAction(CUbRenderWnd* wnd) override;
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;

  // The point of a click for the tools that take single points: typed input (the exact value
  // typed, through OnKeboadInput as every tool takes it), else an object snap in the pick box
  // (none: 0, out unchanged).
  static int PickPoint(CUbActionBase& action, CUbRenderWnd* wnd, UINT flags, const CPoint& pt, CVector& out);
  // The node at pos, made (one undo step, splitting every element it lies inside, written to
  // the model) unless one is there already; made is set to whether it was.
  static CStmEntityNode* CreateNodeAt(CStmUbManager& manager, const CVector& pos, bool* made = nullptr);
  // Null when the window's manager is not a strut-and-tie manager.
  static CStmUbManager* GetStmManager(CUbRenderWnd* wnd);
  // The status line's answer to a click that gave no point.
  static void SayNoPoint(CUbActionBase& action);
  // What the tool waits for, as the status line says it.
  static CString GetPrompt();

private:
  void Prompt();
};
