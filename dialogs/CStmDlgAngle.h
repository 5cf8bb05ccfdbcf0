// The rotate tool's angle dialog: the angle typed in degrees reaches the tool as a click at the
// point ten units from the centre of rotation in the typed direction.
#pragma once

#include "host/platform/CDialog.h"

class CStmUbManager;
class CStmUbRenderer;

class CStmDlgAngle : public CDialog {
public:
  static constexpr UINT IDD = 4005;
  static constexpr int IDC_ANGLE = 4003;
  static constexpr int IDC_ANGLE_LABEL = 4099;
  // How far from the centre the typed direction is put as the tool's end point.
  static constexpr double kPointDistance = 10.0;

  explicit CStmDlgAngle(CStmUbRenderer* wnd);

  int OnInitDialog() override;
  // Enter and Esc as in every dialog; F8 toggles orthogonal drawing as in the view.
  int PreTranslateMessage(MSG* msg) override;
  // The wheel over the dialog zooms the view.
  void OnMouseWheel(UINT flags, short delta, const CPoint& pt) override;
  // Enter: the typed angle becomes the manager's cursor point and a click at it.
  void OnOK() override;
  // Esc: the running tool is abandoned for the selection.
  void OnCancel() override;

  double GetAngle() const { return m_dAngle; }
  // Shows an angle the cursor points at; the typed one is what Enter takes.
  void SetAngle(double degrees);
  int IsPending() const { return m_nPending; }
  void ClearPending() { m_nPending = 0; }
  // The in-plane direction of the angle, exact for whole quarter turns so that a typed 90
  // lands on the lattice instead of a hair beside it.
  static void GetDirection(double degrees, double& c, double& s);

protected:
  void DoDataExchange(CDataExchange* pDX) override;

private:
  CStmUbRenderer* m_pRenderWnd;
  CStmUbManager* m_pManager;
  double m_dAngle = 0.0;
  int m_nPending = 0;
};
