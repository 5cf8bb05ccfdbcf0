// The modal distance prompt of the line tools: shows a length and gives back what the user
// typed.
#pragma once

#include "host/platform/CDialog.h"

class CRenderDistDlg : public CDialog {
public:
  static constexpr UINT IDD = 4090;
  static constexpr int IDC_DIST_LABEL = 4091;
  static constexpr int IDC_DIST_EDIT = 4092;

  explicit CRenderDistDlg(CWnd* parent = nullptr);

  // The text shown on opening and, after OK, the text entered.
  CString m_strDist;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
};
