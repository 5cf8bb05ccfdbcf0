// The coordinate dialog: a pair of plane coordinates typed instead of clicked. Enter hands the
// pair to the running tool as a click at that place, and the tool then takes the exact values.
#pragma once

#include "geometry/CVector.h"
#include "host/platform/CDialog.h"

class CStmUbManager;
class CStmUbRenderer;

class CStmDlgCoord : public CDialog {
public:
  static constexpr UINT IDD = 4001;
  static constexpr int IDC_EDIT_FIRST = 4001;
  static constexpr int IDC_EDIT_SECOND = 4002;
  static constexpr int IDC_STATIC_COORD = 4098;

  explicit CStmDlgCoord(CStmUbRenderer* wnd);

  int OnInitDialog() override;
  // Enter confirms, Escape cancels the running tool, F8 toggles orthogonal drawing as in the
  // view, Tab starts a coordinate (StartTyping) in whichever field the keyboard is; a comma in
  // the first edit moves on to the second, one in the second is refused on the status line, and
  // no comma ever reaches an edit.
  int PreTranslateMessage(MSG* msg) override;
  // The keyboard into the first edit with its text selected, so that typing replaces it.
  void StartTyping();
  // Whether the user has typed into the edits since the last start or confirmation: the cursor's
  // read-out must then leave the text alone, or a mouse move would replace the typed point.
  int IsTyped() const { return m_bTyped; }
  void OnControlChanged(int id) override;
  // The wheel over the dialog zooms the view.
  void OnMouseWheel(UINT flags, short delta, const CPoint& pt) override;

  // The coordinate confirmed last, once: only while the dialog is shown and a value is pending.
  // out becomes the model point of the pair in the view's plane; returns 1 when it was written.
  int GetTypedCoord(CVector& out);
  int IsPending() const { return m_bPending; }
  CStmUbRenderer* GetRenderer() const { return m_pWnd; }

  double m_dFirst = 0.0;
  double m_dSecond = 0.0;

protected:
  void DoDataExchange(CDataExchange* pDX) override;

private:
  void Confirm();
  void Cancel();

  CStmUbRenderer* m_pWnd;
  CStmUbManager* m_pManager;
  int m_bPending = 0;
  int m_bTyped = 0;
};
