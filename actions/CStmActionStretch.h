// The stretch tool: the selected nodes move by the vector between the two points picked, and the
// elements that end at them stretch along; selected elements themselves stay where they are.
#pragma once

#include "actions/CStmActionMove.h"

class CStmActionStretch : public CStmActionMove {
public:
  CStmActionStretch();

  void OnLineCompleted(CUbRenderWnd* wnd) override;

protected:
  void GetPreview(CStmUbManager& manager, const CVector& start, const CVector& end, SStmPreview& out) override;
  CString StartPrompt() const override;
};
