// The truss template: equal panels between a bottom chord from the first to the second point
// and a top chord that the third point places, with verticals and the chosen diagonals.
#pragma once

#include "actions/CStmActionAddUseTemplateBase.h"
#include "actions/StmTemplateTypes.h"

class CStmActionAddTruss : public CStmActionAddUseTemplateBase {
public:
  CStmActionAddTruss() : CStmActionAddUseTemplateBase(3) {}

  void InsertEntity(CUbRenderWnd* wnd) override;
  // Three distinct points that do not lie on one line.
  int IsValid(const std::vector<CVector>& points) const override;

  void SetBay(int bay) { m_nBay = bay; }
  int GetBay() const { return m_nBay; }
  void SetType(EStmTypeTrussPoint type) { m_eType = type; }
  EStmTypeTrussPoint GetType() const { return m_eType; }
  void SetDirection(EStmTypeTrussDirection direction) { m_eDirection = direction; }
  EStmTypeTrussDirection GetDirection() const { return m_eDirection; }

protected:
  CString GetPrompt(int index) const override;

private:
  // The node positions along the outline: the bottom chord, then the top chord back. closedEnds
  // is 1 when the end verticals close the outline, 0 when triangles stand beyond them; side is 1
  // when the top chord ends short of the second point. Empty when no truss fits the points.
  void CalcPosition(CUbRenderWnd* wnd, const std::vector<CVector>& points, std::vector<CVector>& positions,
                    int& closedEnds, int& side) const;
  void CreateElement(CStmUbManager& manager, const std::vector<CVector>& positions, int closedEnds, int side);
  void CreateElementInnerStrut(CStmUbManager& manager, CStmModel& model, const std::vector<CVector>& positions,
                               int closedEnds, int side);
  int IsVaildPosition(const std::vector<CVector>& positions, int closedEnds) const;

  int m_nBay = 3;
  EStmTypeTrussPoint m_eType = STM_TRUSS_POINT_HEIGHT;
  EStmTypeTrussDirection m_eDirection = STM_TRUSS_DIAGONAL_TO_P0;
};
