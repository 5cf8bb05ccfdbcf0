// The arch template: a fan of struts from an apex to the equal divisions of a base line,
// closed by the base line and the two outer legs.
#pragma once

#include "actions/CStmActionAddUseTemplateBase.h"

class CStmActionAddArch : public CStmActionAddUseTemplateBase {
public:
  CStmActionAddArch() : CStmActionAddUseTemplateBase(3) {}

  void InsertEntity(CUbRenderWnd* wnd) override;
  // The apex and the two ends of the base line: distinct and not on one line.
  int IsValid(const std::vector<CVector>& points) const override;

  void SetBay(int bay) { m_nBay = bay; }
  int GetBay() const { return m_nBay; }

protected:
  CString GetPrompt(int index) const override;

private:
  // The apex, then the base line from its first end through the divisions to its second end.
  void CalcPosition(const std::vector<CVector>& points, std::vector<CVector>& positions) const;
  void CreateElement(CStmUbManager& manager, const std::vector<CVector>& positions);
  int IsVaildPosition(const std::vector<CVector>& positions) const;

  int m_nBay = 4;
};
