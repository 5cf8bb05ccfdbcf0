// The base of the template tools: collects the defining points with snaps, shows them joined
// by a rubber band up to the cursor, and inserts the whole mechanism as one undo step once the
// last point is picked; nodes and elements already in place are reused, not doubled.
#pragma once

#include <vector>

#include "geometry/CVector.h"
#include "host/framework/CUbActionBase.h"

class CStmEntityElement;
class CStmModel;
class CStmUbManager;

class CStmActionAddUseTemplateBase : public CUbActionBase {
public:
  enum { kPickFirst = 0, kPickMore = 1 };

  explicit CStmActionAddUseTemplateBase(int requiredPoints) : m_nRequiredPoints(requiredPoints) {}

  void RenderPost(CUbRenderWnd* wnd, int flag) override;
  void InitAction(CUbRenderWnd* wnd) override;
  void OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  // Drops the points picked (the base cancels) and asks for the first one again.
  void OnRButtonUp(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnMouseMove(CUbRenderWnd* wnd, UINT flags, const CPoint& pt) override;
  void OnTimer(CUbRenderWnd* wnd) override;
  int OnSetCursor(CUbRenderWnd* wnd) override;
  // Abandoning a template drops the points picked for it, so the next click starts afresh.
  void CancelCmd(CUbRenderWnd* wnd) override;

  // Builds the mechanism from the picked points, or tells the user why it cannot.
  virtual void InsertEntity(CUbRenderWnd* wnd) = 0;
  virtual int IsValid(const std::vector<CVector>& points) const = 0;

  const std::vector<CVector>& GetPickedPoints() const { return m_arPoint; }
  int GetRequiredPointCount() const { return m_nRequiredPoints; }

protected:
  // What to pick as the point of that index; each template names its points.
  virtual CString GetPrompt(int index) const = 0;

  static CStmUbManager* StmManager(CUbRenderWnd* wnd);
  // Three distinct points, the second and third not on one line through the first.
  static int IsValidThreePoints(const std::vector<CVector>& points);
  // "Input Failure" in a message box, the reason on the status line, and a repaint.
  void Refuse(CUbRenderWnd* wnd, const CString& reason);
  // The element from a to b: the one already there, else a new one with any missing end node
  // made first (cutting the elements it falls on). Null for coincident ends.
  static CStmEntityElement* Join(CStmUbManager& manager, const CVector& a, const CVector& b);
  // The first strut or tie type of the definitions on the element's record, when there is one;
  // a record that has it already is left untouched, so a repeated insertion records nothing.
  static void MakeStrut(CStmModel& model, const CStmEntityElement* element);
  static void MakeTie(CStmModel& model, const CStmEntityElement* element);
  // The in-plane axes of the window's view (0 x, 1 y, 2 z): across, up and the view normal.
  static void GetPlaneAxes(const CUbRenderWnd* wnd, int& across, int& up, int& normal);
  // Turns v by quarter turns about the view normal, right-handed (about +y in the x-z plane),
  // exactly: the side nodes of a template land on round coordinates when its points do.
  static CVector TurnInPlane(const CUbRenderWnd* wnd, const CVector& v, int quarterTurns);

private:
  void PromptNext();

  std::vector<CVector> m_arPoint;
  int m_nRequiredPoints;
  bool m_bRefused = false;
};
