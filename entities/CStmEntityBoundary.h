// One closed outline of the concrete member, outer or inner (an opening), drawn as a line loop.
// It never writes its geometry back: the manager keeps the model boundary in step.
#pragma once

#include <vector>

#include "entities/CStmEntityObject.h"
#include "host/model/StmModelTypes.h"

class CStmEntityBoundary : public CStmEntityObject {
  DECLARE_SERIAL(CStmEntityBoundary)

public:
  CStmEntityBoundary();
  explicit CStmEntityBoundary(CUbEttManage* manage);
  CStmEntityBoundary(CUbEttManage* manage, EStmTypeBoundary type, const std::vector<CVector>& points);

  EStmTypeBoundary GetType() const { return m_eType; }
  void SetType(EStmTypeBoundary type) { m_eType = type; }
  void GetBoundaryArray(std::vector<CVector>& out) const { out = m_arBoundary; }
  const std::vector<CVector>& GetBoundaryArray() const { return m_arBoundary; }
  void SetBoundaryArray(const std::vector<CVector>& points) {
    m_arBoundary = points;
    UpdateEttIndex();
  }
  double GetThickness() const { return m_dThickness; }
  void SetThickness(double thickness) { m_dThickness = thickness; }

  void Serialize(CArchive& ar) override;
  void GetRange(CCubeRange& range) override;
  CString GetStringEntType() override;
  CString GetTooltipPropInfoTable() override;
  void Mirror(const CVector& p1, const CVector& p2) override;
  void Move(const CVector& d) override;
  int IsInRect(CRect rect) override;
  void GetSnapMovePointArray(CVectorArray& points) override;
  void MoveOnePoint(CVector from, CVector& to, int unused) override;

  CStmEntityBoundary& operator=(const CStmEntityObject& other) override;
  CStmEntityBoundary& operator=(const CStmEntityBoundary& other);
  // Replaces the framework's rotation, so that undo and redo, which turn entities through the
  // framework, turn outlines too.
  void Rotate(const CVector& origin, const CVector& axis, const CDPoint& cs) override;

protected:
  void Render(int pick) override;

private:
  void Init();

  EStmTypeBoundary m_eType = STM_BOUNDARY_OUTER;
  std::vector<CVector> m_arBoundary;
  double m_dThickness = 2.0;
};
