// Grips of the selected entities: a press on a grip starts a drag, the next press drops it on
// a snapped or typed point and moves the entities that own the grip.
#pragma once

#include <vector>

#include "geometry/CVector.h"
#include "host/platform/CRect.h"
#include "host/platform/CString.h"
#include "host/platform/WinDefs.h"

class CUbRenderWnd;

class CSnapPointManage {
public:
  // One grip: where it is and, per owning entity, which vertex it moves (-1: the whole entity).
  struct SGrip {
    CVector m_vPos;
    std::vector<std::pair<CString, int>> m_arOwner;
  };

  // Returns 0 when the press belongs to grip editing (it started a drag, dropped one, or was
  // taken while dragging without giving a point), non-zero when it did not touch a grip.
  int OnLButtonDown(CUbRenderWnd* wnd, UINT flags, const CPoint& pt);
  // Rebuilds the grips from the current selection; a drag under way is abandoned.
  void OnChangeSelectedMember(CUbRenderWnd* wnd);
  // Grips and, while dragging, the line from the grip to the cursor.
  void RenderPre(CUbRenderWnd* wnd);
  void RenderPost(CUbRenderWnd* wnd);
  // Whether a drop is recorded in the undo history (one step per drop).
  void EnableHistory(int enable) { m_bHistory = enable != 0; }
  int IsHistoryEnabled() const { return m_bHistory ? 1 : 0; }
  void CancelDrag();

  int IsDragging() const { return m_bDragging ? 1 : 0; }
  // The entities that move with the grip being dragged (or last dropped).
  const std::vector<CString>& GetGripEntityNames() const { return m_arGripNames; }
  const std::vector<SGrip>& GetGrips() const { return m_arGrip; }

private:
  int FindGrip(CUbRenderWnd* wnd, const CPoint& pt) const;
  void Drop(CUbRenderWnd* wnd, const SGrip& grip, const CVector& target);

  std::vector<SGrip> m_arGrip;
  std::vector<CString> m_arGripNames;
  int m_nDragGrip = -1;
  bool m_bDragging = false;
  bool m_bHistory = true;
};
