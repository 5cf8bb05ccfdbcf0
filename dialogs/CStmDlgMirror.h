// The mirror tool's question: does the mirror move the selection or make mirrored copies.
#pragma once

#include "host/platform/CDialog.h"

class CStmActionMirror;

class CStmDlgMirror : public CDialog {
public:
  static constexpr UINT IDD = 4006;
  static constexpr int IDC_MOVE = 4124;
  static constexpr int IDC_COPY = 4125;

  explicit CStmDlgMirror(CStmActionMirror* action);

  int OnInitDialog() override;
  // A click on either answer sets the tool's copy switch and closes the dialog.
  void OnClicked(int id) override;
  void OnClickedMove();
  void OnClickedCopy();

private:
  CStmActionMirror* m_pAction;
};
