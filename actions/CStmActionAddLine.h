// The two-click line tool that the element and guideline tools and the transform tools build
// on: a start point, then an end point (snapped, typed, or with orthogonal drawing on, the
// cursor squared to the start point), a rubber line between them, and, for tools in element
// mode, the distance prompt whose answer sets the line's length. Derived tools say what a
// finished line does in OnLineCompleted.
//
// The middle button, the wheel and the hover timer are the base's, so the view can be panned
// and zoomed in the middle of a line. The picked points live in the manager (GetStartPoint,
// GetEndPoint), so that the renderer and other tools can read them; the step says which one is
// awaited.
#pragma once

#include "geometry/CVector.h"
#include "host/framework/CUbActionBase.h"
#include "host/platform/CString.h"

class CStmActionAddLine : public CUbActionBase {
public:
  enum EStep { kPickStart = 0, kPickEnd = 1 };

  explicit CStmActionAddLine(int elementMode = 0) : m_nElementMode(elementMode) {}

  void RenderPost(CUbRenderWnd* wnd, int flag) override;
  void InitAction(CUbRenderWnd* wnd) override;
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;
  void OnStatusMessage(const CString& text) override;
  // Called once both points are known (the manager's start and end point); the line tool itself
  // does nothing with them.
  virtual void OnLineCompleted(CUbRenderWnd* wnd);

  // 1: the distance prompt may ask for the length of the line (elements, moves); 0: never.
  int GetElementMode() const { return m_nElementMode; }
  void SetElementMode(int mode) { m_nElementMode = mode ? 1 : 0; }
  // The length typed for the line being finished; empty: the picked end point stands.
  const CString& GetLengthText() const { return m_strLength; }
  void SetLengthText(const CString& text) { m_strLength = text; }
  // With a length text, end becomes start + length along start->end: the picked end point
  // gives only the direction. False, with a word on the status line, when the text is not a
  // positive number; end is then unchanged.
  bool ApplyLengthText(const CVector& start, CVector& end);
  // What the tool waits for now, as the status line says it.
  CString GetPrompt() const;

protected:
  // Each step's prompt, in one place.
  void PromptStart();
  void PromptEnd();

private:
  int m_nElementMode;
  CString m_strLength;
  // Messages shown so far, to tell whether a finished line said something of its own.
  int m_nSaid = 0;
};
