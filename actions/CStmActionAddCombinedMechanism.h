// The combined-mechanism template: a rectangular panel between two opposite corners carried by
// inclined struts and either a tie across at mid-height or one or two upright ties.
#pragma once

#include "actions/CStmActionAddUseTemplateBase.h"
#include "actions/StmTemplateTypes.h"

class CStmActionAddCombinedMechanism : public CStmActionAddUseTemplateBase {
public:
  CStmActionAddCombinedMechanism() : CStmActionAddUseTemplateBase(2) {}

  void InsertEntity(CUbRenderWnd* wnd) override;
  // Two corners that differ both across and up the view's plane.
  int IsValid(const std::vector<CVector>& points) const override;

  void SetType(EStmTypeCombinedMechanism type) { m_eType = type; }
  EStmTypeCombinedMechanism GetType() const { return m_eType; }

protected:
  CString GetPrompt(int index) const override;

private:
  // The upper corner first, then around the panel; the rectangle's other corners get no node
  // unless the type needs them.
  void CalcPosition(CUbRenderWnd* wnd, const std::vector<CVector>& points, EStmTypeCombinedMechanism type,
                    std::vector<CVector>& positions) const;
  // Afterwards upper is the corner higher up the plane's up axis.
  static void NormalizePosition(CVector& upper, CVector& lower, int up);
  void CreateElement(CStmUbManager& manager, EStmTypeCombinedMechanism type, const std::vector<CVector>& positions);
  void CreateElementHor(CStmUbManager& manager, CStmModel& model, const std::vector<CVector>& positions);
  void CreateElementVert1(CStmUbManager& manager, CStmModel& model, const std::vector<CVector>& positions);
  void CreateElementVert2(CStmUbManager& manager, CStmModel& model, const std::vector<CVector>& positions);
  // The first tie type meant for horizontal ties with anchored bars; none leaves the tie untyped.
  static void AssignTieHor(CStmModel& model, const CStmEntityElement* element);

  // The view's axes of the last insertion, which IsValid reads.
  int m_nAcross = 0;
  int m_nUp = 2;
  EStmTypeCombinedMechanism m_eType = STM_COMBINED_TIE_HORIZONTAL;
};
