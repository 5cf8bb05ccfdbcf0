// The bottle-shape template: the stress field that spreads between two points, drawn as struts
// bulging sideways around one or two transverse ties.
#pragma once

#include "actions/CStmActionAddUseTemplateBase.h"

class CStmActionAddBottleShape : public CStmActionAddUseTemplateBase {
public:
  CStmActionAddBottleShape() : CStmActionAddUseTemplateBase(2) {}

  void InsertEntity(CUbRenderWnd* wnd) override;
  // Two points apart.
  int IsValid(const std::vector<CVector>& points) const override;

  // Length over width of the bottle.
  void SetRatio(double ratio) { m_dRatio = ratio; }
  double GetRatio() const { return m_dRatio; }
  // One or two ties across.
  void SetTie(int tie) { m_nTie = tie; }
  int GetTie() const { return m_nTie; }

protected:
  CString GetPrompt(int index) const override;

private:
  // Around the outline from the first point: a diamond for one tie, a hexagon for two.
  void CalcPosition(CUbRenderWnd* wnd, const std::vector<CVector>& points, std::vector<CVector>& positions) const;
  void CreateElement(CStmUbManager& manager, const std::vector<CVector>& positions);
  void CreateElementTie1(CStmUbManager& manager, CStmModel& model, const std::vector<CVector>& positions);
  void CreateElementTie2(CStmUbManager& manager, CStmModel& model, const std::vector<CVector>& positions);
  int IsVaildPosition(const std::vector<CVector>& positions, int tie) const;

  double m_dRatio = 2.0;
  int m_nTie = 1;
};
