// The mirror tool: the two points picked give the mirror line; a question then says whether the
// selection moves to its mirror image or mirrored copies are made beside it.
#pragma once

#include "actions/CStmActionMove.h"

class CStmActionMirror : public CStmActionMove {
public:
  // The main window's message that a mirror changed the model (wParam 111).
  static constexpr UINT kMsgModelChanged = WM_USER + 2;

  CStmActionMirror();

  void OnLineCompleted(CUbRenderWnd* wnd) override;

  // 0: the selection itself is mirrored; otherwise mirrored copies are made.
  int GetCopy() const { return m_nCopy; }
  void SetCopy(int copy) { m_nCopy = copy; }

protected:
  CVector PreviewPoint(const CVector& p, const CVector& start, const CVector& end) const override;
  CString StartPrompt() const override;

private:
  void MakeCopies(CStmUbManager& manager, const SSelection& selection, const CVector& a, const CVector& b);

  int m_nCopy = 0;
};
