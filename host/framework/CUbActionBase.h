// The base of every interactive action: the window hands it mouse, key, timer and cursor
// events; it keeps a step number and the mouse positions, takes points from typed input, snaps
// and orthogonal drawing, and shows prompts on the status line.
#pragma once

#include "geometry/CVector.h"
#include "host/platform/CRect.h"
#include "host/platform/CString.h"
#include "host/platform/WinDefs.h"

class CUbManage;
class CUbRenderWnd;

class CUbActionBase {
public:
  static constexpr UINT kHoverTimerId = 1;
  static constexpr UINT kHoverDelayMs = 300;

  CUbActionBase() = default;
  virtual ~CUbActionBase() = default;
  CUbActionBase(const CUbActionBase&) = delete;
  CUbActionBase& operator=(const CUbActionBase&) = delete;

  // Slots, in slot order.
  // Remembers where the mouse is.
  virtual void OnMouseMoveSub(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  // Pans the view while the middle button drags.
  virtual void MButtonPerspective(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  // The rubber line being drawn, if any (returns 0 when there is none).
  virtual int GetVectorCurLine(CUbRenderWnd* wnd, CVector& from, CVector& to);
  // A click without MK_LBUTTON is typed input: out becomes the point typed (the manager's
  // TakeTypedPoint, taken once), else the model point under the click; returns 1.
  virtual int OnKeboadInput(CUbRenderWnd* wnd, UINT flags, const CPoint& pt, CVector& out);
  // The point of a click: typed input, else an object snap in the pick box (modes of the
  // manager masked by `mask`), else, for the second point (`which` 1) with orthogonal drawing
  // on, the cursor projected onto the horizontal or vertical through the start point.
  // Returns 1 when out was written.
  virtual int GetSnapPoint(CUbRenderWnd* wnd, CVector& out, const CPoint& pt, int which, UINT flags, long mask);
  // Holds a command that a keyword or a menu asked of the action (0 and empty: none).
  virtual void SetActionCmd(long cmd, const CString& text);
  // Overlay after the scene; with `flag` non-zero also the rubber line.
  virtual void RenderPost(CUbRenderWnd* wnd, int flag);
  // Drawn before the scene.
  virtual void RenderPre(CUbRenderWnd* wnd);
  virtual void InitAction(CUbRenderWnd* wnd);
  virtual void ReleaseAction(CUbRenderWnd* wnd);
  virtual void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnLButtonDblClk(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnRButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnRButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  // Tracks the model point under the cursor in the manager.
  virtual void OnMouseMovePre(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnMButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnMButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  virtual void OnMouseWheel(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt);
  // The hover timer: picks under the cursor into the hover map.
  virtual void OnTimer(CUbRenderWnd* wnd);
  // Sets the cursor shape and returns non-zero; 0 leaves the window's own cross-hair.
  virtual int OnSetCursor(CUbRenderWnd* wnd);
  virtual void OnKeyDown(CUbRenderWnd* wnd, UINT key, UINT repeat, UINT flags);
  // Abandons what is under way: step 0, no rubber line.
  virtual void CancelCmd(CUbRenderWnd* wnd);
  virtual int IsEnableContextMeun();
  // Menu commands while the action runs; non-zero when handled.
  virtual int OnCommandMessage(CUbRenderWnd* wnd, UINT id);
  virtual int OnCommandMessagePrev(CUbRenderWnd* wnd, UINT id);
  virtual void OnStatusMessage(const CString& text);
  // A typed keyword; non-zero when the action took it.
  virtual int DoKewordInput(CUbRenderWnd* wnd, const CString& text);
  // Non-zero when the action runs a command of its own that must finish first.
  virtual int IsCmdAct();

  int GetStep() const { return m_nStep; }
  void SetStep(int step) { m_nStep = step; }
  long GetActionCmd() const { return m_nActionCmd; }
  const CString& GetActionCmdText() const { return m_strActionCmd; }

  const CPoint& GetMouseClickPos() const { return m_ptClick; }
  void SetMouseClickPos(const CPoint& pt) { m_ptClick = pt; }
  // The last position of the mouse as the action uses it, and as the mouse reported it.
  const CPoint& GetMouseMovePos() const { return m_ptMove; }
  const CPoint& GetMouseMovePosReal() const { return m_ptMoveReal; }
  void ResetMousePos(const CPoint& pt) { m_ptMove = m_ptMoveReal = pt; }

  // Shows a rubber line from a model point to another in the overlay.
  void RenderVectorLine(CUbRenderWnd* wnd, const CVector& from, const CVector& to);
  void ClearVectorLine() { m_bVectorLine = false; }
  // Non-zero (and a repaint) when the hover map differs from the one last reported.
  int ModifySelectionChange(CUbRenderWnd* wnd);
  // The selection that ends a gesture at the release: a point pick for a band under 3 pixels
  // or no movement, a crossing pick for a band drawn right to left, else a window pick.
  void SelectEttOnLButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  int IsTimerSet() const { return m_bTimerSet ? 1 : 0; }
  int IsHoverPending() const { return m_bHoverPending ? 1 : 0; }
  static UINT GetRegMsgStatusToolTip();

  // The view routines that tools reuse between their own steps.
  void OnMButtonDownSub(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  void OnMButtonUpSub(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  void OnMouseWheelActionSub(CUbRenderWnd* wnd, UINT flags, short delta, const CPoint& pt);

protected:
  static CUbManage* GetManage(CUbRenderWnd* wnd);
  void HoverPick(CUbRenderWnd* wnd);

  int m_nStep = 0;

private:
  long m_nActionCmd = 0;
  CString m_strActionCmd;
  CPoint m_ptClick, m_ptMove, m_ptMoveReal;
  bool m_bMiddleDrag = false;
  CPoint m_ptMiddleLast;
  bool m_bVectorLine = false;
  CVector m_vLineFrom, m_vLineTo;
  bool m_bTimerSet = false;
  bool m_bHoverPending = false;
  CString m_strHoverKeys;
};
