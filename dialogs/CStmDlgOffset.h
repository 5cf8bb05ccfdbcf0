// The offset tool's dialog: how far apart and how many parallel copies of the selected element;
// the click in the view that follows gives the side.
#pragma once

#include "host/platform/CDialog.h"

class CStmUbManager;
class CStmUbRenderer;

class CStmDlgOffset : public CDialog {
public:
  static constexpr UINT IDD = 4007;
  static constexpr int IDC_DISTANCE = 4126;
  static constexpr int IDC_ITERATIONS = 4127;
  static constexpr int IDC_DISTANCE_LABEL = 4128;
  static constexpr int IDC_ITERATIONS_LABEL = 4129;
  static constexpr int IDC_HINT = 4130;

  explicit CStmDlgOffset(CStmUbRenderer* wnd);

  int OnInitDialog() override;
  // Enter only takes the values over; the click in the view is what makes the copies.
  void OnOK() override;
  // Esc: back to the selection.
  void OnCancel() override;

  double GetDistance() const { return m_dDistance; }
  int GetIterations() const { return m_nIterations; }

protected:
  void DoDataExchange(CDataExchange* pDX) override;

private:
  CStmUbRenderer* m_pRenderWnd;
  CStmUbManager* m_pManager;
  double m_dDistance = 1.0;
  int m_nIterations = 1;
};
