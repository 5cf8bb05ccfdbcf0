// One point of the snapping grid: a small dot that only the scene knows, caught by the node snap.
#pragma once

#include "entities/CStmEntityObject.h"

class CStmEntityGridPoint : public CStmEntityObject {
  DECLARE_SERIAL(CStmEntityGridPoint)

public:
  CStmEntityGridPoint();
  explicit CStmEntityGridPoint(CUbEttManage* manage);
  CStmEntityGridPoint(CUbEttManage* manage, const CVector& coord);

  const CVector& GetCoord() const { return m_vCoord; }
  void SetCoord(const CVector& coord) {
    m_vCoord = coord;
    UpdateEttIndex();
  }

  // Only the container's part and a version are archived; the manager rebuilds the grid.
  void Serialize(CArchive& ar) override;
  void GetRange(CCubeRange& range) override;
  CString GetStringEntType() override;
  CString GetTooltipPropInfoTable() override;
  int GetOsnapNodePoint(CVector pt, CVector& out, int& first) override;

protected:
  void Render(int pick) override;

private:
  void Init();

  CVector m_vCoord;
};
